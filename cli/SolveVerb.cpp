// SPDX-License-Identifier: GPL-3.0-or-later
// velkora-cli solve: the NEC-2 model of one project run through nec2c, with
// gain, front-to-back, front-to-rear, beamwidths, side lobe, take-off, feed
// impedance and SWR per frequency.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

#include "Cli.h"
#include "CliSupport.h"
#include "CliVerbs.h"
#include "GenerationQueries.h"
#include "ModelArguments.h"
#include "ReadSnapshot.h"
#include "SolveOptions.h"
#include "Solver.h"
#include "StopOnSignals.h"

namespace velkora {

namespace {

constexpr int kMostFrequencies = 10000;

// Differences of gains printed to two decimals carry sums' binary noise;
// a figure is kept to a ten-thousandth.
double Kept(double value) { return std::round(value * 1e4) / 1e4; }

}  // namespace

FrequencySweep SweepOf(const QString& text, const QString& option) {
    const QStringList parts = text.split(':');
    const QString usage =
        QString("%1 takes START:STOP:STEP in MHz, for example 14:14.35:0.05, not \"%2\"")
            .arg(option, text);
    if (parts.size() != 3) throw UsageError(usage);
    double values[3];
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        values[i] = parts[i].trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(values[i])) throw UsageError(usage);
    }
    const FrequencySweep sweep{values[0], values[1], values[2]};
    if (!(sweep.start > 0) || !(sweep.stop >= sweep.start) || !(sweep.step > 0))
        throw UsageError(usage + ": START above 0, STOP not below START, STEP above 0");
    const double count = std::floor((sweep.stop - sweep.start) / sweep.step + 1e-9) + 1;
    if (!(count <= kMostFrequencies))
        throw UsageError(
            QString("%1 asks for %2 frequencies; at most %3 fit one run")
                .arg(option)
                .arg(std::isfinite(count) ? QString::number(count, 'g', 6) : QString("countless"))
                .arg(kMostFrequencies));
    return sweep;
}

// A number above 0 and finite, or a usage error naming the option.
double PositiveOf(const CliArguments& parsed, const QString& option, double fallback,
                  const QString& what) {
    if (!parsed.Has(option)) return fallback;
    bool ok = false;
    const double value = parsed.Value(option).trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || !(value > 0))
        throw UsageError(
            QString("--%1 takes %2 above 0, not \"%3\"").arg(option, what, parsed.Value(option)));
    return value;
}

SolveSettings SolveSettingsOf(const CliArguments& parsed) {
    SolveSettings settings;
    settings.axis = AxisOf(parsed, &settings.axis);
    settings.nec = NecOptionsOf(parsed);
    if (parsed.Has("sweep")) settings.nec.sweep = SweepOf(parsed.Value("sweep"));
    settings.z0 = PositiveOf(parsed, "z0", settings.z0, "an impedance in ohm");
    settings.timeout = PositiveOf(parsed, "timeout", settings.timeout, "the seconds nec2c may run");
    return settings;
}

std::vector<std::pair<QString, QJsonValue>> FigureColumns(const FrequencyFigures& row) {
    return {{"mhz", row.mhz},
            {"gain_dbi", row.forwardGain},
            {"front_to_back_db", Kept(row.frontToBack)},
            {"front_to_rear_e_db", Kept(row.frontToRearE)},
            {"front_to_rear_h_db", Kept(row.frontToRearH)},
            {"beamwidth_e_deg", Kept(row.beamwidthE)},
            {"beamwidth_h_deg", Kept(row.beamwidthH)},
            {"sidelobe_db", Kept(row.sidelobe)},
            {"takeoff_deg", row.takeoff ? QJsonValue(*row.takeoff) : QJsonValue()},
            {"r_ohm", row.resistance},
            {"x_ohm", row.reactance},
            {"swr", std::isfinite(row.swr) ? QJsonValue(Kept(row.swr)) : QJsonValue()}};
}

namespace {

QString Fixed(double value, int decimals) { return QString::number(value, 'f', decimals); }

void PrintTable(QTextStream& out, const QString& heading,
                const std::vector<FrequencyFigures>& rows) {
    out << heading << "\n";
    out << "       MHz  Gain dBi  F/B dB   R ohm   X ohm    SWR\n";
    for (const FrequencyFigures& row : rows)
        out << Fixed(row.mhz, 3).rightJustified(10) << Fixed(row.forwardGain, 2).rightJustified(10)
            << Fixed(row.frontToBack, 1).rightJustified(8)
            << Fixed(row.resistance, 1).rightJustified(8)
            << ((row.reactance < 0 ? "" : "+") + Fixed(row.reactance, 1)).rightJustified(8)
            << Fixed(row.swr, 2).rightJustified(7) << "\n";
}

QJsonArray CutJson(const std::vector<CutPoint>& cut) {
    QJsonArray points;
    for (const CutPoint& point : cut) points.append(QJsonArray{point.angleDeg, point.gainDbi});
    return points;
}

void PrintJson(QTextStream& out, QJsonObject head, const std::vector<FrequencyFigures>& rows,
               bool pattern) {
    QJsonArray results;
    for (const FrequencyFigures& row : rows) {
        QJsonObject result;
        for (const auto& [key, value] : FigureColumns(row)) result.insert(key, value);
        if (pattern) {
            result.insert("azimuth_cut", CutJson(row.azimuthCut));
            result.insert("elevation_cut", CutJson(row.elevationCut));
        }
        results.append(result);
    }
    head.insert("results", results);
    out << QJsonDocument(head).toJson(QJsonDocument::Indented);
}

void PrintCsv(QTextStream& out, const std::vector<FrequencyFigures>& rows) {
    QStringList header;
    for (const auto& column : FigureColumns(FrequencyFigures())) header << column.first;
    out << header.join(',') << "\n";
    for (const FrequencyFigures& row : rows) {
        QStringList fields;
        for (const auto& column : FigureColumns(row))
            fields << (column.second.isNull() ? QString()
                                              : QString::number(column.second.toDouble(), 'g', 12));
        out << fields.join(',') << "\n";
    }
}

struct SolveInput {
    SolveJob job;
    QString heading;
    QJsonObject head;
};

SolveInput InputOf(const CliArguments& parsed, const SolveSettings& settings) {
    const NecOptions& options = settings.nec;
    const double z0 = settings.z0;
    const CliConnection connection(DataLinkOf(parsed));
    const ReadSnapshot snapshot(connection.Db());  // one state of the store
    const ProjectRow project = ChosenProject(connection.Db(), parsed);
    SqlModelSource source(connection.Db());
    const RegionalMarks marks;
    SolveInput input{SolveJobOf({project, source, settings.axis, marks}, options, z0), {}, {}};
    const QString name = QString::fromStdString(project.nome.ToText());
    const QString taper = TaperName(options.taper);
    const QString ground = GroundName(options.ground);
    const QString wire = QString::fromStdString(project.sourceWire.ToText());
    input.heading = QString("%1: taper %2, ground %3, source %4, SWR against %5 ohm")
                        .arg(OneLine(name), taper, ground, wire, QString::number(z0));
    input.head = {
        {"project", name}, {"taper", taper}, {"ground", ground}, {"source", wire}, {"z0_ohm", z0}};
    return input;
}

}  // namespace

std::vector<FrequencyFigures> SolveWithProgress(const SolveJob& job, double timeout,
                                                const StopOnSignals& stop) {
    const int count = static_cast<int>(job.mhz.size());
    QTextStream progress(stderr);
    RunControl control;
    control.stopRequested = [&stop] { return stop.Requested(); };
    control.timeout = std::chrono::milliseconds(static_cast<long long>(std::ceil(timeout * 1000)));
    control.progress = [&](int done) {
        progress << "nec2c: " << done << " of " << count << " frequencies\n";
        progress.flush();
    };
    try {
        return Solve(job, control);
    } catch (const Stopped&) {
        throw Failure("stopped by " + stop.Reason() +
                      ": nec2c was ended and its temporary files removed");
    }
}

int SolveVerb(const QStringList& args, QTextStream& out) {
    const CliArguments parsed = ParseArguments(
        args, {"solve",
               {"project", "axis", "taper", "ground", "sweep", "z0", "timeout", "data-link"},
               {"json", "csv", "pattern"},
               0});
    if (parsed.Has("json") && parsed.Has("csv"))
        throw UsageError("--json and --csv each choose the output; give one");
    if (parsed.Has("pattern") && !parsed.Has("json"))
        throw UsageError("--pattern adds the cuts to the JSON; give --json too");
    const SolveSettings settings = SolveSettingsOf(parsed);
    const StopOnSignals stop(1);  // output on standard output
    const SolveInput input = InputOf(parsed, settings);
    const std::vector<FrequencyFigures> rows = SolveWithProgress(input.job, settings.timeout, stop);
    if (parsed.Has("json"))
        PrintJson(out, input.head, rows, parsed.Has("pattern"));
    else if (parsed.Has("csv"))
        PrintCsv(out, rows);
    else
        PrintTable(out, input.heading, rows);
    out.flush();
    if (stop.Requested()) throw Failure("stopped by " + stop.Reason());
    return kCliSuccess;
}

}  // namespace velkora
