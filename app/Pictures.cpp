// SPDX-License-Identifier: GPL-3.0-or-later
#include "Pictures.h"

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

}  // namespace

QIcon PictureIcon(Picture picture) {
    QIcon icon;
    icon.addPixmap(Draw(picture, true), QIcon::Normal);
    icon.addPixmap(Draw(picture, false), QIcon::Disabled);
    return icon;
}

}  // namespace velkora
