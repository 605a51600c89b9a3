// SPDX-License-Identifier: GPL-3.0-or-later
#include "Pictures.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace velkora {

namespace {

constexpr int kSize = 16;

void DrawGenerate(QPainter& p, bool enabled) {
    // A sheet of paper with a few written lines.
    p.setPen(QPen(enabled ? QColor(40, 40, 40) : QColor(128, 128, 128), 1));
    p.setBrush(enabled ? QColor(255, 255, 255) : QColor(220, 220, 220));
    p.drawRect(QRectF(2.5, 0.5, 10, 14));
    p.setPen(QPen(enabled ? QColor(0, 0, 160) : QColor(150, 150, 150), 1));
    for (int y = 4; y <= 11; y += 2) p.drawLine(QPointF(4.5, y + 0.5), QPointF(10.5, y + 0.5));
}

void DrawClose(QPainter& p, bool enabled) {
    // An open door frame with an arrow leaving it.
    p.setPen(QPen(enabled ? QColor(90, 60, 20) : QColor(128, 128, 128), 1));
    p.setBrush(enabled ? QColor(200, 150, 80) : QColor(200, 200, 200));
    p.drawRect(QRectF(1.5, 1.5, 7, 13));
    p.setPen(QPen(enabled ? QColor(180, 0, 0) : QColor(128, 128, 128), 2));
    p.drawLine(QPointF(6, 8), QPointF(14, 8));
    p.drawLine(QPointF(11, 5), QPointF(14, 8));
    p.drawLine(QPointF(11, 11), QPointF(14, 8));
}

void DrawCheck(QPainter& p, bool enabled) {
    // A beam's pattern: a long forward lobe and a small one behind.
    p.setPen(QPen(enabled ? QColor(0, 100, 0) : QColor(128, 128, 128), 1.5));
    p.setBrush(enabled ? QColor(150, 220, 150) : QColor(210, 210, 210));
    p.drawEllipse(QRectF(5, 4.5, 10, 7));
    p.drawEllipse(QRectF(1, 6, 4, 4));
}

void DrawNavigator(QPainter& p, Picture picture, bool enabled) {
    const QColor ink = enabled ? QColor(0, 0, 0) : QColor(160, 160, 160);
    p.setPen(QPen(ink, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(ink);
    switch (picture) {
        case Picture::Insert:
            p.drawLine(QPointF(8, 3), QPointF(8, 13));
            p.drawLine(QPointF(3, 8), QPointF(13, 8));
            break;
        case Picture::Delete:
            p.drawLine(QPointF(3, 8), QPointF(13, 8));
            break;
        case Picture::Edit: {
            p.setPen(Qt::NoPen);
            QPainterPath triangle;
            triangle.moveTo(8, 3);
            triangle.lineTo(14, 12);
            triangle.lineTo(2, 12);
            triangle.closeSubpath();
            p.drawPath(triangle);
            break;
        }
        case Picture::Post:
            p.setBrush(Qt::NoBrush);
            p.drawPolyline(QPolygonF({QPointF(3, 8), QPointF(6.5, 12), QPointF(13, 4)}));
            break;
        case Picture::Cancel:
            p.drawLine(QPointF(4, 4), QPointF(12, 12));
            p.drawLine(QPointF(12, 4), QPointF(4, 12));
            break;
        default:
            break;
    }
}

QPixmap Draw(Picture picture, bool enabled) {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (picture == Picture::Generate)
        DrawGenerate(p, enabled);
    else if (picture == Picture::Close)
        DrawClose(p, enabled);
    else if (picture == Picture::Check)
        DrawCheck(p, enabled);
    else
        DrawNavigator(p, picture, enabled);
    return pixmap;
}

// Draws a picture when a button first paints it, not when the button is
// made: most buttons never show their disabled version, and the pictures of
// a page not shown yet are not drawn at all. Each version is drawn once.
class PictureEngine : public QIconEngine {
  public:
    explicit PictureEngine(Picture picture) : picture_(picture) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        painter->drawPixmap(rect, Drawn(mode));
    }
    QPixmap pixmap(const QSize&, QIcon::Mode mode, QIcon::State) override { return Drawn(mode); }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        return size.boundedTo(QSize(kSize, kSize));
    }
    QIconEngine* clone() const override { return new PictureEngine(*this); }

  private:
    const QPixmap& Drawn(QIcon::Mode mode) {
        const bool enabled = mode != QIcon::Disabled;
        QPixmap& drawn = enabled ? normal_ : disabled_;
        if (drawn.isNull()) drawn = Draw(picture_, enabled);
        return drawn;
    }

    Picture picture_;
    QPixmap normal_;
    QPixmap disabled_;
};

}  // namespace

QIcon PictureIcon(Picture picture) { return QIcon(new PictureEngine(picture)); }

}  // namespace velkora
