// SPDX-License-Identifier: GPL-3.0-or-later
// The azimuth and elevation plots: rings, angle labels, the trace and the
// figures designers quote from them.
#include "PolarPlot.h"

#include <QFontMetricsF>
#include <QPainterPath>
#include <algorithm>

#include "PictureStyle.h"

namespace velkora {

namespace {

double MaximumGain(const std::vector<CutPoint>& cut) {
    double most = cut.front().gainDbi;
    for (const CutPoint& point : cut) most = std::max(most, point.gainDbi);
    return most;
}

QPointF At(const PolarFrame& frame, PolarView view, double angleDeg, double radius) {
    const PlotPoint point = PolarPosition(view, angleDeg, radius);
    return {frame.cx + point.x * frame.radius, frame.cy + point.y * frame.radius};
}

void PaintRings(QPainter& painter, const PolarFrame& frame, PolarView view, bool half) {
    painter.setBrush(Qt::NoBrush);
    for (const double db : kPolarRingsDb) {
        painter.setPen(QPen(db == 0 ? kInk : kGrid, db == 0 ? 1.5 : 1.0));
        const double r = ArrlRadius(db) * frame.radius;
        const QRectF box(frame.cx - r, frame.cy - r, 2 * r, 2 * r);
        if (half)
            painter.drawArc(box, 0, 180 * 16);
        else
            painter.drawEllipse(box);
        // Labelled along a direction behind the antenna, where the trace is small.
        const QPointF label =
            At(frame, view, view == PolarView::Azimuth ? 195 : 100, ArrlRadius(db));
        painter.setPen(kInk);
        painter.drawText(label + QPointF(3, -3), QString::number(db, 'f', 0));
    }
}

void PaintSpokes(QPainter& painter, const PolarFrame& frame, PolarView view, bool half) {
    const QFontMetricsF metrics(painter.font());
    for (int angle = 0; angle < 360; angle += 30) {
        if (half && angle > 180) break;
        painter.setPen(QPen(kGrid, 1.0, Qt::DotLine));
        painter.drawLine(At(frame, view, angle, 0), At(frame, view, angle, 1));
        const QString text = QString::number(angle) + QChar(0x00b0);
        const QPointF centre = At(frame, view, angle, 1.0) +
                               (At(frame, view, angle, 1.0) - At(frame, view, angle, 0)) *
                                   (metrics.height() * 0.9 / frame.radius);
        painter.setPen(kInk);
        painter.drawText(QRectF(centre.x() - 30, centre.y() - 10, 60, 20), Qt::AlignCenter, text);
    }
}

void PaintTrace(QPainter& painter, const PolarFrame& frame, PolarView view,
                const std::vector<CutPoint>& cut) {
    QPainterPath path;
    const std::vector<PlotPoint> points = PolarTrace(view, cut);
    for (std::size_t i = 0; i < points.size(); ++i) {
        const QPointF at(frame.cx + points[i].x * frame.radius,
                         frame.cy + points[i].y * frame.radius);
        if (i == 0)
            path.moveTo(at);
        else
            path.lineTo(at);
    }
    if (!IsUpperHalf(view, cut)) path.closeSubpath();
    painter.setPen(QPen(kTrace, 2.2));
    painter.setBrush(QColor(kTrace.red(), kTrace.green(), kTrace.blue(), 40));
    painter.drawPath(path);
}

QString Figure(const char* name, double value, int decimals, const QString& unit) {
    const QString separator = unit.startsWith(QChar(0x00b0)) ? "" : " ";
    return QString("%1 %2%3%4").arg(name, QString::number(value, 'f', decimals), separator, unit);
}

QStringList FigureLines(PolarView view, const FrequencyFigures& f, double maximum) {
    const bool azimuth = view == PolarView::Azimuth;
    const QString deg = QString(QChar(0x00b0));
    QStringList first{Figure("Gain", f.forwardGain, 2, "dBi"),
                      Figure("F/B", f.frontToBack, 1, "dB"),
                      Figure("F/R", azimuth ? f.frontToRearE : f.frontToRearH, 1, "dB")};
    QStringList second{Figure("Beamwidth", azimuth ? f.beamwidthE : f.beamwidthH, 1, deg),
                       Figure("Side lobe", f.sidelobe, 1, "dB")};
    if (!azimuth && f.takeoff) second << Figure("Take-off", *f.takeoff, 1, deg);
    second << QString("0 dB = %1 dBi").arg(maximum, 0, 'f', 2);
    return {first.join("    "), second.join("    ")};
}

}  // namespace

std::vector<PlotPoint> PolarTrace(PolarView view, const std::vector<CutPoint>& cut) {
    std::vector<PlotPoint> points;
    if (cut.empty()) return points;
    const double most = MaximumGain(cut);
    for (const CutPoint& point : cut)
        points.push_back(PolarPosition(view, point.angleDeg, ArrlRadius(point.gainDbi - most)));
    return points;
}

bool IsUpperHalf(PolarView view, const std::vector<CutPoint>& cut) {
    if (view != PolarView::Elevation || cut.empty()) return false;
    return std::all_of(cut.begin(), cut.end(),
                       [](const CutPoint& point) { return point.angleDeg <= 180.0; });
}

PolarFrame PolarFrameOf(double left, double top, double width, double height, bool upperHalf) {
    if (upperHalf) {
        const double radius = std::min(width / 2.0, height);
        return {left + width / 2.0, top + (height + radius) / 2.0, radius};
    }
    const double radius = std::min(width, height) / 2.0;
    return {left + width / 2.0, top + height / 2.0, radius};
}

void PaintPolar(QPainter& painter, const QSizeF& size, PolarView view,
                const FrequencyFigures& figures, const QString& title) {
    const bool azimuth = view == PolarView::Azimuth;
    const std::vector<CutPoint>& cut = azimuth ? figures.azimuthCut : figures.elevationCut;
    const QString plane = azimuth ? "Azimuth pattern (E-plane)" : "Elevation pattern (H-plane)";
    if (cut.empty()) {
        PaintReason(painter, size, title, "The solver gave no pattern cut for this plot.");
        return;
    }
    const double top = PaintHeading(painter, size, title,
                                    QString("%1 at %2 MHz").arg(plane).arg(figures.mhz, 0, 'f', 3));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(PictureFont(size, 0.9));
    const double line = QFontMetricsF(painter.font()).height();
    const double margin = 2.6 * line;
    const bool half = IsUpperHalf(view, cut);
    const PolarFrame frame = PolarFrameOf(margin, top + margin, size.width() - 2 * margin,
                                          size.height() - top - 2 * margin - 2.4 * line, half);
    PaintRings(painter, frame, view, half);
    PaintSpokes(painter, frame, view, half);
    PaintTrace(painter, frame, view, cut);
    painter.setPen(kInk);
    painter.setFont(PictureFont(size));
    const QStringList lines = FigureLines(view, figures, MaximumGain(cut));
    const double textTop = size.height() - 2.6 * QFontMetricsF(painter.font()).height();
    for (int i = 0; i < lines.size(); ++i)
        painter.drawText(QRectF(0, textTop + i * QFontMetricsF(painter.font()).height(),
                                size.width(), QFontMetricsF(painter.font()).height()),
                         Qt::AlignCenter, lines[i]);
}

}  // namespace velkora
