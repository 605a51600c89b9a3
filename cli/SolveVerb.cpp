// velkora-cli solve: the NEC-2 model of one project run through nec2c, with
// gain, front-to-back, feed impedance and SWR per frequency.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <optional>

#include "Cli.h"
#include "CliSupport.h"
#include "CliVerbs.h"
#include "GenerationQueries.h"
#include "ModelArguments.h"
#include "Nec2cRun.h"
#include "NecReport.h"
#include "ReadSnapshot.h"

namespace velkora {

namespace {

constexpr int kMostFrequencies = 10000;

FrequencySweep SweepOf(const QString& text) {
    const QStringList parts = text.split(':');
    const QString usage =
        QString("--sweep takes START:STOP:STEP in MHz, for example 14:14.35:0.05, not \"%1\"")
            .arg(text);
    if (parts.size() != 3) throw UsageError(usage);
    double values[3];
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        values[i] = parts[i].trimmed().toDouble(&ok);
        if (!ok) throw UsageError(usage);
    }
    const FrequencySweep sweep{values[0], values[1], values[2]};
    if (!(sweep.start > 0) || !(sweep.stop >= sweep.start) || !(sweep.step > 0))
        throw UsageError(usage + ": START above 0, STOP not below START, STEP above 0");
    if (sweep.Count() > kMostFrequencies)
        throw UsageError(QString("--sweep asks for %1 frequencies; at most %2 fit one run")
                             .arg(sweep.Count())
                             .arg(kMostFrequencies));
    return sweep;
}

double Z0Of(const CliArguments& parsed) {
    if (!parsed.Has("z0")) return 50.0;
    bool ok = false;
    const double z0 = parsed.Value("z0").trimmed().toDouble(&ok);
    if (!ok || !(z0 > 0))
        throw UsageError(
            QString("--z0 takes an impedance in ohm above 0, not \"%1\"").arg(parsed.Value("z0")));
    return z0;
}

QString Fixed(double value, int decimals) { return QString::number(value, 'f', decimals); }

void PrintTable(QTextStream& out, const QString& heading, const std::vector<YagiFigures>& rows) {
    out << heading << "\n";
    out << "       MHz  Gain dBi  F/B dB   R ohm   X ohm    SWR\n";
    for (const YagiFigures& row : rows)
        out << Fixed(row.mhz, 3).rightJustified(10) << Fixed(row.forwardGain, 2).rightJustified(10)
            << Fixed(row.frontToBack, 1).rightJustified(8)
            << Fixed(row.resistance, 1).rightJustified(8)
            << ((row.reactance < 0 ? "" : "+") + Fixed(row.reactance, 1)).rightJustified(8)
            << Fixed(row.swr, 2).rightJustified(7) << "\n";
}

void PrintJson(QTextStream& out, QJsonObject head, const std::vector<YagiFigures>& rows) {
    QJsonArray results;
    for (const YagiFigures& row : rows)
        results.append(QJsonObject{{"mhz", row.mhz},
                                   {"gain_dbi", row.forwardGain},
                                   {"front_to_back_db", row.frontToBack},
                                   {"r_ohm", row.resistance},
                                   {"x_ohm", row.reactance},
                                   {"swr", row.swr}});
    head.insert("results", results);
    out << QJsonDocument(head).toJson(QJsonDocument::Indented);
}

}  // namespace

int SolveVerb(const QStringList& args, QTextStream& out) {
    const CliArguments parsed = ParseArguments(
        args,
        {"solve", {"project", "axis", "taper", "ground", "sweep", "z0", "data-link"}, {"json"}, 0});
    const MainLobeAxis defaultAxis = MainLobeAxis::X;
    const MainLobeAxis axis = AxisOf(parsed, &defaultAxis);
    NecOptions options = NecOptionsOf(parsed);
    if (parsed.Has("sweep")) options.sweep = SweepOf(parsed.Value("sweep"));
    const double z0 = Z0Of(parsed);

    std::string deck;
    ProjectRow project;
    {
        const CliConnection connection(DataLinkOf(parsed));
        const ReadSnapshot snapshot(connection.Db());  // one state of the store
        project = ChosenProject(connection.Db(), parsed);
        SqlModelSource source(connection.Db());
        const RegionalMarks marks;
        deck = NecDeckText({project, source, axis, marks}, options);
    }
    const int count = options.sweep ? options.sweep->Count() : 1;
    QTextStream progress(stderr);
    const std::string report = RunNec2c(deck, [&](int done) {
        progress << "nec2c: " << done << " of " << count << " frequencies\n";
        progress.flush();
    });
    std::vector<YagiFigures> rows;
    for (const FrequencyReport& frequency : ParseNecReport(report))
        rows.push_back(FiguresOf(frequency, ForwardAzimuth(axis), z0));

    const QString name = QString::fromStdString(project.nome.ToText());
    const QString taper = TaperName(options.taper);
    const QString ground = GroundName(options.ground);
    const QString source = QString::fromStdString(project.sourceWire.ToText());
    if (parsed.Has("json")) {
        PrintJson(out,
                  {{"project", name},
                   {"taper", taper},
                   {"ground", ground},
                   {"source", source},
                   {"z0_ohm", z0}},
                  rows);
    } else {
        PrintTable(out,
                   QString("%1: taper %2, ground %3, source %4, SWR against %5 ohm")
                       .arg(OneLine(name), taper, ground, source, QString::number(z0)),
                   rows);
    }
    return kCliSuccess;
}

}  // namespace velkora
