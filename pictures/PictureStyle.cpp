// SPDX-License-Identifier: GPL-3.0-or-later
// The canvas, fonts and heading every picture shares.
#include "PictureStyle.h"

#include <QFontMetricsF>
#include <algorithm>

namespace velkora {

QFont PictureFont(const QSizeF& size, double scale) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(
        std::max(1, qRound(scale * std::max(11.0, std::max(size.width(), size.height()) / 56.0))));
    return font;
}

double PaintHeading(QPainter& painter, const QSizeF& size, const QString& title,
                    const QString& subtitle) {
    painter.fillRect(QRectF(QPointF(0, 0), size), Qt::white);
    QFont bold = PictureFont(size, 1.15);
    bold.setBold(true);
    const double line = QFontMetricsF(bold).height();
    painter.setPen(kInk);
    painter.setFont(bold);
    const QRectF first(0, line * 0.3, size.width(), line);
    painter.drawText(first, Qt::AlignHCenter | Qt::AlignVCenter, title);
    painter.setFont(PictureFont(size));
    painter.drawText(QRectF(0, first.bottom(), size.width(), line),
                     Qt::AlignHCenter | Qt::AlignVCenter, subtitle);
    return first.bottom() + line * 1.3;
}

void PaintReason(QPainter& painter, const QSizeF& size, const QString& title,
                 const QString& reason) {
    const double top = PaintHeading(painter, size, title, QStringLiteral("Nothing to draw"));
    painter.setPen(kMark);
    painter.setFont(PictureFont(size, 1.1));
    const double margin = size.width() * 0.08;
    painter.drawText(QRectF(margin, top, size.width() - 2 * margin, size.height() - top - margin),
                     Qt::AlignCenter | Qt::TextWordWrap, reason);
}

}  // namespace velkora
