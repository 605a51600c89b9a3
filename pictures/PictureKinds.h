// SPDX-License-Identifier: GPL-3.0-or-later
// The five pictures of a project by name, each with its canvas size and
// whether it needs the solver's figures.
#pragma once

#include <QPainter>
#include <QSize>
#include <QString>
#include <vector>

#include "PictureInput.h"

namespace velkora {

struct PictureKind {
    const char* name;     // as velkora-cli plot --kind takes it
    const char* caption;  // what the picture shows, for a report
    bool needsSolver;     // false: drawn from the store alone
    QSize size;           // the canvas of a file, in pixels
    bool wide;            // a report gives it the page's width
    void (*paint)(QPainter& painter, const QSizeF& size, const PictureInput& input);
};

const std::vector<PictureKind>& PictureKinds();

// nullptr for a name that is no kind.
const PictureKind* FindPictureKind(const QString& name);

// The names of the kinds, as "a|b|c".
QString PictureKindNames();

// Draws the picture, or in its place the reason it cannot be drawn.
void PaintPicture(const PictureKind& kind, QPainter& painter, const QSizeF& size,
                  const PictureInput& input);

}  // namespace velkora
