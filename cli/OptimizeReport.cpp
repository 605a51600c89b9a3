// SPDX-License-Identifier: GPL-3.0-or-later
// Printing the outcome of velkora-cli optimize.
#include "OptimizeReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

#include "CliSupport.h"
#include "SolveOptions.h"

namespace velkora {

namespace {

QString Fixed(double value, int decimals) { return QString::number(value, 'f', decimals); }

QString Signed(double value, int decimals) {
    return (value < 0 ? "" : "+") + Fixed(value, decimals);
}

void PrintFigures(QTextStream& out, const char* label, const Evaluation& evaluation) {
    for (const FrequencyFigures& row : evaluation.band)
        out << QString(label).leftJustified(8) << Fixed(row.mhz, 3).rightJustified(9)
            << Fixed(row.forwardGain, 2).rightJustified(10)
            << Fixed(row.frontToBack, 1).rightJustified(8)
            << Fixed(std::min(row.frontToRearE, row.frontToRearH), 1).rightJustified(8)
            << Fixed(row.resistance, 1).rightJustified(8)
            << Signed(row.reactance, 1).rightJustified(8) << Fixed(row.swr, 2).rightJustified(7)
            << "\n";
}

QString NameOf(const ElementRow& element) {
    return element.nome.IsNull() ? QString()
                                 : OneLine(QString::fromStdString(element.nome.ToText()));
}

void PrintElements(QTextStream& out, const Design& before, const Design& after) {
    out << "Element               LEN m  ->  LEN m     DISTANCE m  ->  DISTANCE m\n";
    for (std::size_t i = 0; i < before.elements.size(); ++i)
        out << NameOf(before.elements[i]).leftJustified(16, ' ', true)
            << Fixed(before.elements[i].len.ToDouble(), 4).rightJustified(10)
            << Fixed(after.elements[i].len.ToDouble(), 4).rightJustified(11)
            << Fixed(before.elements[i].distance.ToDouble(), 4).rightJustified(15)
            << Fixed(after.elements[i].distance.ToDouble(), 4).rightJustified(16) << "\n";
}

// One frequency under the keys of solve --json.
QJsonObject FiguresJson(const FrequencyFigures& row) {
    QJsonObject json;
    for (const auto& [key, value] : FigureColumns(row)) json.insert(key, value);
    return json;
}

QJsonObject EvaluationJson(const Evaluation& evaluation) {
    QJsonArray results, elements;
    for (const FrequencyFigures& row : evaluation.band) results.append(FiguresJson(row));
    for (const ElementRow& element : evaluation.design.elements)
        elements.append(QJsonObject{{"name", NameOf(element)},
                                    {"len_m", element.len.ToDouble()},
                                    {"distance_m", element.distance.ToDouble()}});
    return {{"score", evaluation.score.value}, {"results", results}, {"elements", elements}};
}

}  // namespace

void PrintOptimizeText(QTextStream& out, const OptimizeOutcome& outcome,
                       const SearchOptions& search) {
    if (!outcome.stoppedBy.isEmpty())
        out << "Stopped by " << outcome.stoppedBy << " after " << outcome.runs << " of "
            << search.runs << " runs; the best design so far is kept\n";
    out << "New project " << outcome.project << ": " << OneLine(outcome.name) << "\n"
        << outcome.runs << " runs in " << Fixed(outcome.seconds, 1) << " s, seed " << search.seed
        << "; score " << Fixed(outcome.start.score.value, 2) << " before, "
        << Fixed(outcome.best.score.value, 2) << " after\n"
        << "             MHz  Gain dBi  F/B dB  F/R dB   R ohm   X ohm    SWR\n";
    PrintFigures(out, "before", outcome.start);
    PrintFigures(out, "after", outcome.best);
    PrintElements(out, outcome.start.design, outcome.best.design);
}

void PrintOptimizeJson(QTextStream& out, const OptimizeOutcome& outcome,
                       const SearchOptions& search) {
    const QJsonObject json{
        {"project", outcome.project},
        {"name", outcome.name},
        {"runs", outcome.runs},
        {"budget", search.runs},
        {"seed", static_cast<double>(search.seed)},
        {"seconds", outcome.seconds},
        {"stopped", outcome.stoppedBy.isEmpty() ? QJsonValue() : QJsonValue(outcome.stoppedBy)},
        {"before", EvaluationJson(outcome.start)},
        {"after", EvaluationJson(outcome.best)}};
    out << QJsonDocument(json).toJson(QJsonDocument::Indented);
}

}  // namespace velkora
