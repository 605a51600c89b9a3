// SPDX-License-Identifier: GPL-3.0-or-later
// A picture painted on an SVG generator or an image, as file bytes.
#include "PictureFile.h"

#include <QBuffer>
#include <QImage>
#include <QSvgGenerator>

#include "Failure.h"

namespace velkora {

std::optional<PictureFormat> PictureFormatOf(const QString& path) {
    if (path.endsWith(".svg", Qt::CaseInsensitive)) return PictureFormat::Svg;
    if (path.endsWith(".png", Qt::CaseInsensitive)) return PictureFormat::Png;
    return std::nullopt;
}

std::string PictureBytes(PictureFormat format, const QSize& size, const QString& title,
                         const PaintFunction& paint) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (format == PictureFormat::Svg) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setResolution(96);  // so that a browser shows it at its size in pixels
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(title.toHtmlEscaped());  // the generator writes it unescaped
        QPainter painter(&svg);
        paint(painter, QSizeF(size));
    } else {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            paint(painter, QSizeF(size));
        }
        if (!image.save(&buffer, "PNG")) throw Failure("The picture could not be encoded as PNG");
    }
    return buffer.data().toStdString();
}

}  // namespace velkora
