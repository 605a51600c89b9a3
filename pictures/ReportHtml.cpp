// SPDX-License-Identifier: GPL-3.0-or-later
// The report page: plain HTML and CSS, pictures inline, no script and
// nothing fetched, so it opens and prints anywhere.
#include "ReportHtml.h"

#include <algorithm>

#include "CutList.h"
#include "PictureFile.h"
#include "PictureKinds.h"

namespace velkora {

namespace {

const char* const kHead = R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta http-equiv="Content-Security-Policy" content="default-src 'none'; style-src 'unsafe-inline'">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Velkora report</title>
<style>
body { font-family: "DejaVu Sans", sans-serif; color: #202020; margin: 1.5em; }
h1 { font-size: 1.6em; margin: 0 0 0.2em; }
h2 { font-size: 1.35em; border-bottom: 2px solid #1f4eb4; padding-bottom: 0.2em; }
h3 { font-size: 1.05em; margin: 1.2em 0 0.4em; }
table { border-collapse: collapse; font-size: 0.9em; }
th, td { border: 1px solid #b8b8b8; padding: 0.2em 0.5em; text-align: right; }
th:first-child, td:first-child { text-align: left; }
.pictures { display: grid; grid-template-columns: repeat(2, 1fr); gap: 1em; }
figure { margin: 0; break-inside: avoid; }
figure.wide { grid-column: 1 / -1; }
figure svg { width: 100%; height: auto; border: 1px solid #e0e0e0; }
figcaption { font-size: 0.85em; text-align: center; }
.problem { color: #c8102e; font-weight: bold; }
@media print {
  body { margin: 0; }
  section.project + section.project { break-before: page; }
  .pictures { grid-template-columns: repeat(2, 1fr); }
}
</style>
</head>
<body>
)";

QString Fixed(double value, int decimals) { return QString::number(value, 'f', decimals); }

// A stored number as the table shows it; a value that is no number as it is stored.
QString Number(const DbValue& value, int decimals) {
    try {
        return Fixed(value.ToDouble(), decimals);
    } catch (const Failure&) {
        return QString::fromStdString(value.ToText()).toHtmlEscaped();
    }
}

QString Row(const QStringList& cells, const char* tag = "td") {
    QString row = "<tr>";
    for (const QString& cell : cells) row += QString("<%1>%2</%1>").arg(tag, cell);
    return row + "</tr>\n";
}

QString FiguresTable(const PictureInput& input) {
    QString html = "<h3>Figures</h3>\n<table>\n" +
                   Row({"MHz", "Gain dBi", "F/B dB", "F/R E dB", "F/R H dB", "BW E &deg;",
                        "BW H &deg;", "Side lobe dB", "Take-off &deg;", "R ohm", "X ohm", "SWR"},
                       "th");
    for (const std::size_t i : ReportedPoints(input.sweep, input.f0)) {
        const FrequencyFigures& f = input.sweep[i];
        html += Row({Fixed(f.mhz, 3), Fixed(f.forwardGain, 2), Fixed(f.frontToBack, 1),
                     Fixed(f.frontToRearE, 1), Fixed(f.frontToRearH, 1), Fixed(f.beamwidthE, 1),
                     Fixed(f.beamwidthH, 1), Fixed(f.sidelobe, 1),
                     f.takeoff ? Fixed(*f.takeoff, 1) : "&ndash;", Fixed(f.resistance, 1),
                     Fixed(f.reactance, 1), Fixed(f.swr, 2)});
    }
    return html + "</table>\n";
}

QString ElementTables(const PictureInput& input) {
    QString elements =
        "<h3>Elements</h3>\n<table>\n" +
        Row({"Element", "Type", "Wires", "Half length m", "Distance m", "Height m"}, "th");
    QString cuts = "<h3>Cut list</h3>\n<table>\n" +
                   Row({"Element",
                        "Tubes from the centre out: diameter mm &times; length per "
                        "side m",
                        "Tip to tip m"},
                       "th");
    for (const NumberedElement& numbered : input.elements) {
        const ElementRow& e = numbered.element;
        const QString name = QString::fromStdString(e.nome.ToText()).toHtmlEscaped();
        const QString wires =
            numbered.wires.empty()
                ? "none"
                : QString("%1&ndash;%2").arg(numbered.firstWire).arg(numbered.LastWire());
        elements += Row({name, QString::fromStdString(e.type.ToText()).toHtmlEscaped(), wires,
                         Number(e.len, 4), Number(e.distance, 4), Number(e.height, 3)});
        const ElementCut cut = CutOf(numbered);
        QStringList tubes;
        for (const TubeCut& tube : cut.tubes)
            tubes << QString("%1 &times; %2")
                         .arg(Fixed(tube.diameterMm, 1), Fixed(tube.lengthPerSideM, 4));
        cuts += Row({name, tubes.join(", "), Fixed(cut.tipToTipM, 4)});
    }
    return elements + "</table>\n" + cuts + "</table>\n";
}

// The SVG file's markup from its <svg> element on, for use inside HTML.
QString InlineSvg(const PictureKind& kind, const PictureInput& input) {
    const std::string bytes = PictureBytes(
        PictureFormat::Svg, kind.size, input.title,
        [&](QPainter& painter, const QSizeF& size) { PaintPicture(kind, painter, size, input); });
    const QString svg = QString::fromStdString(bytes);
    return svg.mid(std::max<qsizetype>(0, svg.indexOf("<svg")));
}

QString ProjectSection(const PictureInput& input) {
    QString html =
        QString("<section class=\"project\">\n<h2>%1</h2>\n<p>F0 %2 MHz, source %3</p>\n")
            .arg(input.title.toHtmlEscaped(), Fixed(input.f0, 3), input.sourceText.toHtmlEscaped());
    for (const QString& problem : {input.geometryProblem, input.solveProblem})
        if (!problem.isEmpty())
            html += "<p class=\"problem\">" + problem.toHtmlEscaped() + "</p>\n";
    if (!input.sweep.empty()) html += FiguresTable(input);
    html += "<div class=\"pictures\">\n";
    for (const PictureKind& kind : PictureKinds())
        html += QString(kind.wide ? "<figure class=\"wide\">" : "<figure>") +
                InlineSvg(kind, input) + "<figcaption>" + kind.caption + "</figcaption></figure>\n";
    html += "</div>\n";
    if (input.geometryProblem.isEmpty()) html += ElementTables(input);
    return html + "</section>\n";
}

}  // namespace

std::vector<std::size_t> ReportedPoints(const std::vector<FrequencyFigures>& sweep, double f0) {
    if (sweep.empty()) return {};
    std::vector<std::size_t> points{
        0, static_cast<std::size_t>(FiguresNearest(sweep, f0) - sweep.data()), sweep.size() - 1};
    std::sort(points.begin(), points.end());
    points.erase(std::unique(points.begin(), points.end()), points.end());
    return points;
}

std::string ReportHtml(const std::vector<PictureInput>& projects, const QString& settings) {
    QString html = kHead;
    html += QString("<header><h1>Yagi designs</h1>\n<p>%1 project(s); %2</p></header>\n")
                .arg(projects.size())
                .arg(settings.toHtmlEscaped());
    for (const PictureInput& input : projects) html += ProjectSection(input);
    html += "</body>\n</html>\n";
    return html.toStdString();
}

}  // namespace velkora
