// SPDX-License-Identifier: GPL-3.0-or-later
// The antenna to scale: every tube as thick as its diameter, the wires
// numbered as the MMANA model numbers them, the source in red.
#include "GeometryPlot.h"

#include <QFontMetricsF>
#include <algorithm>
#include <cmath>

#include "PictureScales.h"
#include "PictureStyle.h"

namespace velkora {

namespace {

// The thinnest stroke drawn, in pixels, so that thin tubes stay visible.
constexpr double kThinnestStroke = 1.2;
// The side view's band above and below the wires, as a share of the boom.
constexpr double kSideBand = 0.06;

struct Views {
    GeometryLayout layout;
    GeometryExtent extent;
    QPointF Above(double x, double y) const {
        return {layout.left + (x - extent.minX) * layout.scale, layout.boomY - y * layout.scale};
    }
    QPointF Side(double x, double z) const {
        return {layout.left + (x - extent.minX) * layout.scale,
                layout.sideZ - (z - (extent.minZ + extent.maxZ) / 2) * layout.scale};
    }
    double Stroke(double diameterMm) const {
        return std::max(kThinnestStroke, diameterMm / 1000.0 * layout.scale);
    }
};

QPointF FeedPoint(const Views& views, const WireSpan& span, WirePlace place) {
    const double share = place == WirePlace::First ? 0.05 : place == WirePlace::Last ? 0.95 : 0.5;
    return views.Above(span.x1 + share * (span.x2 - span.x1),
                       span.y1 + share * (span.y2 - span.y1));
}

void PaintAbove(QPainter& painter, const Views& views, const PictureInput& input) {
    const GeometryExtent& e = views.extent;
    painter.setPen(QPen(kGrid, 2.0));
    painter.drawLine(views.Above(e.minX, 0), views.Above(e.maxX, 0));
    const std::optional<WireSpan> fed =
        input.source ? SourceSpan(input.elements, *input.source) : std::nullopt;
    const QFontMetricsF metrics(painter.font());
    for (const NumberedElement& element : input.elements) {
        for (std::size_t i = 0; i < element.wires.size(); ++i) {
            const WireSpan& w = element.wires[i];
            const int number = element.firstWire + static_cast<int>(i);
            const bool source = input.source && input.source->wire == number;
            painter.setPen(
                QPen(source ? kMark : kInk, views.Stroke(w.diameter), Qt::SolidLine, Qt::FlatCap));
            painter.drawLine(views.Above(w.x1, w.y1), views.Above(w.x2, w.y2));
            const QPointF middle = views.Above((w.x1 + w.x2) / 2, (w.y1 + w.y2) / 2);
            painter.setPen(source ? kMark : kTrace);
            painter.drawText(
                middle + QPointF(views.Stroke(w.diameter) / 2 + 3, metrics.ascent() / 2),
                QString::number(number));
        }
    }
    if (fed) {
        const QPointF at = FeedPoint(views, *fed, input.source->place);
        painter.setPen(QPen(kMark, 2.0));
        painter.setBrush(Qt::white);
        painter.drawEllipse(at, 5, 5);
        painter.drawText(at + QPointF(-metrics.horizontalAdvance("feed") - 8, -6), "feed");
    }
}

void PaintSide(QPainter& painter, const Views& views, const PictureInput& input) {
    const GeometryExtent& e = views.extent;
    painter.setPen(QPen(kGrid, 2.0));
    painter.drawLine(views.Side(e.minX, e.minZ), views.Side(e.maxX, e.minZ));
    for (const NumberedElement& element : input.elements) {
        if (element.wires.empty()) continue;
        const WireSpan& centre = element.wires.front();
        // End-on a tube is a dot; a few pixels at least, so that it shows.
        const double radius = std::max(3.0, views.Stroke(centre.diameter) / 2);
        const bool source = input.source && input.source->wire >= element.firstWire &&
                            input.source->wire <= element.LastWire();
        painter.setPen(QPen(source ? kMark : kInk, 1.0));
        painter.setBrush(source ? kMark : kInk);
        painter.drawEllipse(views.Side(centre.x1, centre.z1), radius, radius);
    }
}

QString Caption(const PictureInput& input, const GeometryExtent& e) {
    QString source = QString("source %1").arg(input.sourceText);
    if (!input.source || !SourceSpan(input.elements, *input.source))
        source = QString("SOURCE_WIRE \"%1\" names no wire of the model").arg(input.sourceText);
    return QString("Boom %1 m, elements up to %2 m tip to tip, height %3 m; %4")
        .arg(e.maxX - e.minX, 0, 'f', 2)
        .arg(2 * e.halfSpan, 0, 'f', 2)
        .arg(e.minZ == e.maxZ ? QString::number(e.minZ, 'f', 2)
                              : QString("%1 to %2").arg(e.minZ, 0, 'f', 2).arg(e.maxZ, 0, 'f', 2))
        .arg(source);
}

void PaintScaleBar(QPainter& painter, const Views& views, const QPointF& at) {
    const double metres =
        AxisTicks(
            0, 0.15 * std::max(views.extent.maxX - views.extent.minX, 2 * views.extent.halfSpan), 1)
            .back();
    painter.setPen(QPen(kInk, 2.0));
    painter.drawLine(at, at + QPointF(metres * views.layout.scale, 0));
    painter.drawText(at + QPointF(metres * views.layout.scale + 6, 4), QString("%1 m").arg(metres));
}

}  // namespace

GeometryExtent ExtentOf(const std::vector<NumberedElement>& elements) {
    GeometryExtent e{0, 0, 0, 0, 0};
    bool first = true;
    for (const NumberedElement& element : elements)
        for (const WireSpan& w : element.wires) {
            if (first) e = {w.x1, w.x1, 0, w.z1, w.z1};
            first = false;
            e.minX = std::min({e.minX, w.x1, w.x2});
            e.maxX = std::max({e.maxX, w.x1, w.x2});
            e.halfSpan = std::max({e.halfSpan, std::abs(w.y1), std::abs(w.y2)});
            e.minZ = std::min({e.minZ, w.z1, w.z2});
            e.maxZ = std::max({e.maxZ, w.z1, w.z2});
        }
    return e;
}

GeometryLayout LayoutGeometry(const GeometryExtent& extent, double left, double top, double width,
                              double height, double gap) {
    const double boom = extent.maxX - extent.minX;
    const double side = extent.maxZ - extent.minZ + 2 * kSideBand * std::max(boom, 1.0);
    const double above = 2 * extent.halfSpan;
    const double scale = FitScale(boom, above + side, width, height - gap, 1000.0);
    const double used = (above + side) * scale + gap;
    const double top0 = top + (height - used) / 2;
    return {scale, left + (width - boom * scale) / 2, top0 + extent.halfSpan * scale,
            top0 + above * scale + gap + side * scale / 2};
}

std::optional<WireSpan> SourceSpan(const std::vector<NumberedElement>& elements,
                                   const SourceWire& source) {
    for (const NumberedElement& element : elements)
        if (source.wire >= element.firstWire && source.wire <= element.LastWire())
            return element.wires[static_cast<std::size_t>(source.wire - element.firstWire)];
    return std::nullopt;
}

void PaintGeometry(QPainter& painter, const QSizeF& size, const PictureInput& input) {
    if (!input.geometryProblem.isEmpty()) {
        PaintReason(painter, size, input.title, input.geometryProblem);
        return;
    }
    const double top = PaintHeading(painter, size, input.title,
                                    "Seen from above (top) and from the side (bottom), to scale");
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(PictureFont(size, 0.8));
    const double line = QFontMetricsF(painter.font()).height();
    const Views views{
        LayoutGeometry(ExtentOf(input.elements), 2 * line, top + line, size.width() - 4 * line,
                       size.height() - top - 5 * line, 2 * line),
        ExtentOf(input.elements)};
    PaintAbove(painter, views, input);
    PaintSide(painter, views, input);
    painter.setPen(kInk);
    painter.drawText(
        views.Above(views.extent.minX, views.extent.halfSpan) + QPointF(-1.5 * line, -0.4 * line),
        "From above");
    painter.drawText(
        views.Side(views.extent.minX, views.extent.maxZ) + QPointF(-1.5 * line, -0.8 * line),
        "From the side");
    painter.setFont(PictureFont(size, 0.9));
    painter.setPen(kInk);
    PaintScaleBar(painter, views, QPointF(2 * line, size.height() - 2.6 * line));
    painter.drawText(QRectF(0, size.height() - 1.6 * line, size.width(), 1.4 * line),
                     Qt::AlignCenter, Caption(input, views.extent));
}

}  // namespace velkora
