// SPDX-License-Identifier: GPL-3.0-or-later
// SWR against frequency: SWR on the left axis, R and X on the right one,
// markers at F0 and at the lowest SWR.
#include "SwrPlot.h"

#include <QFontMetricsF>
#include <QPainterPath>
#include <algorithm>
#include <functional>

#include "PictureScales.h"
#include "PictureStyle.h"
#include "SweepHeading.h"

namespace velkora {

namespace {

// A value range drawn onto a pixel range.
struct Axis {
    double low;
    double high;
    double from;  // pixel of low
    double to;    // pixel of high
    double operator()(double value) const {
        return from + (value - low) / (high - low) * (to - from);
    }
};

struct SwrFrame {
    QRectF plot;
    Axis mhz;
    Axis swr;
    Axis ohm;
    std::vector<double> swrTicks;
    std::vector<double> ohmTicks;
};

SwrFrame FrameOf(const std::vector<FrequencyFigures>& sweep, const QRectF& plot, double f0) {
    double low = std::min(sweep.front().mhz, f0);
    double high = std::max(sweep.back().mhz, f0);
    if (high - low < 1e-9) {
        low *= 0.995;
        high *= 1.005;
    }
    double swrHigh = 1.5;
    double ohmLow = 0;
    double ohmHigh = 0;
    for (const FrequencyFigures& f : sweep) {
        swrHigh = std::max(swrHigh, std::min(f.swr, kMostSwrShown));
        ohmLow = std::min({ohmLow, f.resistance, f.reactance});
        ohmHigh = std::max({ohmHigh, f.resistance, f.reactance});
    }
    SwrFrame frame{plot, {}, {}, {}, AxisTicks(1.0, swrHigh, 6), AxisTicks(ohmLow, ohmHigh, 6)};
    frame.mhz = {low, high, plot.left(), plot.right()};
    frame.swr = {frame.swrTicks.front(), frame.swrTicks.back(), plot.bottom(), plot.top()};
    frame.ohm = {frame.ohmTicks.front(), frame.ohmTicks.back(), plot.bottom(), plot.top()};
    return frame;
}

QString Number(double value) { return QString::number(value, 'g', 6); }

void PaintGrid(QPainter& painter, const SwrFrame& frame) {
    const QRectF& plot = frame.plot;
    const QFontMetricsF metrics(painter.font());
    for (const double tick : AxisTicks(frame.mhz.low, frame.mhz.high, 6)) {
        if (tick < frame.mhz.low - 1e-9 || tick > frame.mhz.high + 1e-9) continue;
        const double x = frame.mhz(tick);
        painter.setPen(kGrid);
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        painter.setPen(kInk);
        painter.drawText(QRectF(x - 40, plot.bottom() + 2, 80, metrics.height()), Qt::AlignCenter,
                         Number(tick));
    }
    for (const double tick : frame.swrTicks) {
        const double y = frame.swr(tick);
        painter.setPen(kGrid);
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(kTrace);
        painter.drawText(QRectF(0, y - 10, plot.left() - 6, 20), Qt::AlignRight | Qt::AlignVCenter,
                         Number(tick));
    }
    painter.setPen(kInk);
    for (const double tick : frame.ohmTicks)
        painter.drawText(QRectF(plot.right() + 6, frame.ohm(tick) - 10, 80, 20),
                         Qt::AlignLeft | Qt::AlignVCenter, Number(tick));
    painter.setPen(QPen(kInk, 1.2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot);
}

void PaintCurve(QPainter& painter, const std::vector<FrequencyFigures>& sweep, const Axis& x,
                const Axis& y, const std::function<double(const FrequencyFigures&)>& value,
                const QPen& pen) {
    QPainterPath path;
    path.moveTo(x(sweep.front().mhz), y(value(sweep.front())));
    for (const FrequencyFigures& f : sweep) path.lineTo(x(f.mhz), y(value(f)));
    painter.setPen(pen);
    painter.setBrush(sweep.size() == 1 ? QBrush(pen.color()) : QBrush(Qt::NoBrush));
    if (sweep.size() == 1) painter.drawEllipse(path.currentPosition(), 3, 3);
    painter.drawPath(path);
}

void PaintMarkers(QPainter& painter, const SwrFrame& frame,
                  const std::vector<FrequencyFigures>& sweep, double f0) {
    const QRectF& plot = frame.plot;
    painter.setPen(QPen(kMark, 1.2, Qt::DashLine));
    painter.drawLine(QPointF(frame.mhz(f0), plot.top()), QPointF(frame.mhz(f0), plot.bottom()));
    painter.drawText(QPointF(frame.mhz(f0) + 4, plot.top() + 14),
                     QString("F0 %1 MHz").arg(f0, 0, 'f', 3));
    const FrequencyFigures* lowest = LowestSwr(sweep);
    const QPointF at(frame.mhz(lowest->mhz), frame.swr(std::min(lowest->swr, kMostSwrShown)));
    painter.setPen(QPen(kMark, 1.5));
    painter.setBrush(kMark);
    painter.drawEllipse(at, 4, 4);
    const QString text =
        QString("SWR %1 at %2 MHz").arg(lowest->swr, 0, 'f', 2).arg(lowest->mhz, 0, 'f', 3);
    const double width = QFontMetricsF(painter.font()).horizontalAdvance(text);
    const double left = std::clamp(at.x() - width / 2, plot.left() + 2, plot.right() - width - 2);
    painter.drawText(QPointF(left, at.y() - 8), text);
}

void PaintLegend(QPainter& painter, const QRectF& plot, double z0) {
    const QFontMetricsF metrics(painter.font());
    const double y = plot.bottom() + 2.4 * metrics.height();
    const QString items[] = {QString("SWR (%1 ohm)").arg(z0), "R ohm", "X ohm", "MHz"};
    const QColor colours[] = {kTrace, kSecond, kThird, kInk};
    double x = plot.left();
    for (int i = 0; i < 4; ++i) {
        if (i < 3) {
            painter.setPen(QPen(colours[i], 2.5, i == 2 ? Qt::DashLine : Qt::SolidLine));
            painter.drawLine(QPointF(x, y - metrics.height() / 3),
                             QPointF(x + 24, y - metrics.height() / 3));
            x += 30;
        }
        painter.setPen(colours[i]);
        painter.drawText(QPointF(x, y), items[i]);
        x += metrics.horizontalAdvance(items[i]) + 30;
    }
}

}  // namespace

const FrequencyFigures* LowestSwr(const std::vector<FrequencyFigures>& sweep) {
    const auto lowest = std::min_element(
        sweep.begin(), sweep.end(),
        [](const FrequencyFigures& a, const FrequencyFigures& b) { return a.swr < b.swr; });
    return lowest == sweep.end() ? nullptr : &*lowest;
}

void PaintSwr(QPainter& painter, const QSizeF& size, const std::vector<FrequencyFigures>& sweep,
              double f0, double z0, const QString& title) {
    const std::optional<double> heading =
        PaintSweepHeading(painter, size, sweep, title, QStringLiteral("SWR, R and X from "));
    if (!heading) return;
    const double top = *heading;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(PictureFont(size, 0.9));
    const double line = QFontMetricsF(painter.font()).height();
    const QRectF plot(5 * line, top + line, size.width() - 10 * line,
                      size.height() - top - 5 * line);
    const SwrFrame frame = FrameOf(sweep, plot, f0);
    PaintGrid(painter, frame);
    PaintCurve(
        painter, sweep, frame.mhz, frame.ohm, [](const auto& f) { return f.resistance; },
        QPen(kSecond, 1.8));
    PaintCurve(
        painter, sweep, frame.mhz, frame.ohm, [](const auto& f) { return f.reactance; },
        QPen(kThird, 1.8, Qt::DashLine));
    PaintCurve(
        painter, sweep, frame.mhz, frame.swr,
        [](const auto& f) { return std::min(f.swr, kMostSwrShown); }, QPen(kTrace, 2.8));
    PaintMarkers(painter, frame, sweep, f0);
    PaintLegend(painter, plot, z0);
}

}  // namespace velkora
