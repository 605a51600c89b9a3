// SPDX-License-Identifier: GPL-3.0-or-later
// What every picture shares: a white canvas, fonts that grow with the
// canvas, a heading, and a reason in words where nothing can be drawn.
#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QSizeF>
#include <QString>

namespace velkora {

inline const QColor kInk(0x20, 0x20, 0x20);
inline const QColor kGrid(0xb8, 0xb8, 0xb8);
inline const QColor kTrace(0x1f, 0x4e, 0xb4);   // the main curve
inline const QColor kSecond(0x2e, 0x8b, 0x3a);  // a second curve (R)
inline const QColor kThird(0xd0, 0x6a, 0x00);   // a third curve (X)
inline const QColor kMark(0xc8, 0x10, 0x2e);    // the source, markers

// A font of `scale` times the canvas's text size.
QFont PictureFont(const QSizeF& size, double scale = 1.0);

// Fills the canvas white and writes the heading's two lines at the top;
// returns the height they take.
double PaintHeading(QPainter& painter, const QSizeF& size, const QString& title,
                    const QString& subtitle);

// A canvas that says why its picture cannot be drawn.
void PaintReason(QPainter& painter, const QSizeF& size, const QString& title,
                 const QString& reason);

}  // namespace velkora
