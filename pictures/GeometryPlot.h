// SPDX-License-Identifier: GPL-3.0-or-later
// The antenna seen from above and from the side, to scale, with the wire
// numbers of the MMANA model and the source marked.
#pragma once

#include <QPainter>
#include <QSizeF>
#include <vector>

#include "PictureInput.h"

namespace velkora {

// How far the wires reach, in metres: along the boom (x), out from it (the
// larger |y|) and in height (z).
struct GeometryExtent {
    double minX;
    double maxX;
    double halfSpan;
    double minZ;
    double maxZ;
};
GeometryExtent ExtentOf(const std::vector<NumberedElement>& elements);

// Both views at one scale (pixels per metre) in a box: the view from above
// centred on boomY, the view from the side below it with the wires' mean
// height on sideZ; the boom's first element at left.
struct GeometryLayout {
    double scale;
    double left;
    double boomY;
    double sideZ;
};
GeometryLayout LayoutGeometry(const GeometryExtent& extent, double left, double top, double width,
                              double height, double gap);

// Where the feed sits on the wire SOURCE_WIRE names; empty when that wire is
// not in the model.
std::optional<WireSpan> SourceSpan(const std::vector<NumberedElement>& elements,
                                   const SourceWire& source);

void PaintGeometry(QPainter& painter, const QSizeF& size, const PictureInput& input);

}  // namespace velkora
