// SPDX-License-Identifier: GPL-3.0-or-later
// The Smith chart: constant-R circles, constant-X arcs, the SWR 2 circle and
// the locus of the feed impedance with its frequencies.
#include "SmithChart.h"

#include <QFontMetricsF>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "PictureInput.h"
#include "PictureScales.h"
#include "PictureStyle.h"
#include "SweepHeading.h"

namespace velkora {

namespace {

const double kResistances[] = {0.2, 0.5, 1.0, 2.0, 5.0};
const double kReactances[] = {0.2, 0.5, 1.0, 2.0, 5.0};

struct Chart {
    QPointF centre;
    double radius;
    QPointF At(std::complex<double> gamma) const {
        return {centre.x() + gamma.real() * radius, centre.y() - gamma.imag() * radius};
    }
};

void PaintCircles(QPainter& painter, const Chart& chart) {
    painter.setBrush(Qt::NoBrush);
    for (const double r : kResistances) {
        const double radius = chart.radius / (1 + r);
        const QPointF centre = chart.At({r / (1 + r), 0});
        painter.setPen(kGrid);
        painter.drawEllipse(centre, radius, radius);
        painter.setPen(kInk);
        painter.drawText(chart.At({(r - 1) / (r + 1), 0}) + QPointF(3, -3), QString::number(r));
    }
    // Each constant-X arc is traced as the locus of r + jx for r from 0 up,
    // so it stays inside the chart without a clip, which SVG output lacks.
    painter.setPen(kGrid);
    for (const double x : kReactances)
        for (const double sign : {1.0, -1.0}) {
            QPainterPath arc(chart.At(Reflection(0, sign * x, 1)));
            for (int i = 1; i < 200; ++i) {
                const double t = i / 200.0;
                arc.lineTo(chart.At(Reflection(t / (1 - t), sign * x, 1)));
            }
            arc.lineTo(chart.At({1, 0}));
            painter.drawPath(arc);
        }
    for (const double x : kReactances)
        for (const double sign : {1.0, -1.0}) {
            const QPointF edge = chart.At(Reflection(0, sign * x, 1));
            const QPointF outwards = (edge - chart.centre) * (1.0 + 14.0 / chart.radius);
            painter.setPen(kInk);
            painter.drawText(QRectF(chart.centre + outwards - QPointF(25, 9), QSizeF(50, 18)),
                             Qt::AlignCenter, QString(sign > 0 ? "+j%1" : "-j%1").arg(x));
        }
    painter.setPen(QPen(kInk, 1.5));
    painter.drawEllipse(chart.centre, chart.radius, chart.radius);
    painter.drawLine(chart.At({-1, 0}), chart.At({1, 0}));
    painter.setPen(QPen(kMark, 1.0, Qt::DashLine));
    painter.drawEllipse(chart.centre, chart.radius / 3, chart.radius / 3);  // |gamma| of SWR 2
}

void PaintLocus(QPainter& painter, const Chart& chart, const std::vector<FrequencyFigures>& sweep,
                double f0, double z0) {
    QPainterPath path;
    for (std::size_t i = 0; i < sweep.size(); ++i) {
        const QPointF at = chart.At(Reflection(sweep[i].resistance, sweep[i].reactance, z0));
        if (i == 0) path.moveTo(at);
        path.lineTo(at);
    }
    painter.setPen(QPen(kTrace, 2.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
    painter.setBrush(kTrace);
    const double apart = QFontMetricsF(painter.font()).height() * 1.2;
    std::vector<QPointF> labelled;
    for (const std::size_t i : LabelledPoints(sweep, f0, 7)) {
        const QPointF at = chart.At(Reflection(sweep[i].resistance, sweep[i].reactance, z0));
        painter.setPen(kTrace);
        painter.drawEllipse(at, 3.5, 3.5);
        // A well matched antenna crowds its locus near the centre: a label
        // that would cover another is left out.
        const bool crowded = std::any_of(labelled.begin(), labelled.end(), [&](const QPointF& p) {
            return QLineF(p, at).length() < apart;
        });
        if (crowded) continue;
        labelled.push_back(at);
        painter.setPen(kInk);
        painter.drawText(at + QPointF(6, -6), QString::number(sweep[i].mhz, 'f', 3));
    }
}

}  // namespace

std::vector<std::size_t> LabelledPoints(const std::vector<FrequencyFigures>& sweep, double f0,
                                        std::size_t most) {
    std::vector<std::size_t> points;
    if (sweep.empty() || most == 0) return points;
    const std::size_t last = sweep.size() - 1;
    const std::size_t between = std::max<std::size_t>(most, 3) - 2;
    for (std::size_t k = 0; k <= between; ++k) points.push_back(last * k / between);
    points.push_back(static_cast<std::size_t>(FiguresNearest(sweep, f0) - sweep.data()));
    std::sort(points.begin(), points.end());
    points.erase(std::unique(points.begin(), points.end()), points.end());
    return points;
}

void PaintSmith(QPainter& painter, const QSizeF& size, const std::vector<FrequencyFigures>& sweep,
                double f0, double z0, const QString& title) {
    const std::optional<double> heading = PaintSweepHeading(
        painter, size, sweep, title, QString("Smith chart, normalised to %1 ohm, ").arg(z0));
    if (!heading) return;
    const double top = *heading;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(PictureFont(size, 0.85));
    const double margin = 3 * QFontMetricsF(painter.font()).height();
    const double radius =
        std::min(size.width() - 2 * margin, size.height() - top - 2 * margin) / 2.0;
    const Chart chart{QPointF(size.width() / 2, top + margin + radius), radius};
    PaintCircles(painter, chart);
    PaintLocus(painter, chart, sweep, f0, z0);
}

}  // namespace velkora
