// SPDX-License-Identifier: GPL-3.0-or-later
// Checking and reading the options of velkora-cli optimize.
#include "OptimizeArguments.h"

#include <QStringList>
#include <cmath>
#include <limits>

#include "SolveOptions.h"

namespace velkora {

namespace {

constexpr int kMostRuns = 1000000;
// Seeds are printed in JSON, whose numbers hold whole numbers exactly up to here.
constexpr quint64 kLargestSeed = (quint64(1) << 53) - 1;

double NumberOf(const QString& text, bool* ok) {
    const double value = text.trimmed().toDouble(ok);
    *ok = *ok && std::isfinite(value);
    return value;
}

GoalWeights WeightsOf(const QString& text) {
    GoalWeights weights{0, 0, 0, 0, 0};
    QStringList names;
    for (const GoalRow& row : GoalRows()) names << QString::fromUtf8(row.name);
    QStringList given;
    for (const QString& item : text.split(',')) {
        const QString name = item.section('=', 0, 0).trimmed();
        const int index = names.indexOf(name);
        if (index < 0 || !item.contains('='))
            throw UsageError(QString("--goal: \"%1\" is not NAME=WEIGHT with NAME one of %2")
                                 .arg(item, names.join(", ")));
        if (given.contains(name))
            throw UsageError(QString("--goal gives the weight of %1 twice").arg(name));
        given << name;
        bool ok = false;
        const double weight = NumberOf(item.section('=', 1), &ok);
        if (!ok || weight < 0)
            throw UsageError(QString("--goal: the weight of %1 must be a number of at least 0, "
                                     "not \"%2\"")
                                 .arg(name, item.section('=', 1)));
        weights.*GoalRows()[index].weight = weight;
    }
    bool any = false;
    for (const GoalRow& row : GoalRows()) any = any || weights.*row.weight > 0;
    if (!any) throw UsageError("--goal gives every goal a weight of 0; give one a weight above 0");
    return weights;
}

VaryOptions VaryOf(const CliArguments& parsed) {
    VaryOptions vary;
    if (parsed.Has("vary")) {
        const QStringList parts = parsed.Value("vary").split(',');
        vary.lengths = parts.contains("lengths");
        vary.positions = parts.contains("positions");
        if (parts.size() != int(vary.lengths) + int(vary.positions))
            throw UsageError(QString("--vary takes lengths, positions or lengths,positions, "
                                     "not \"%1\"")
                                 .arg(parsed.Value("vary")));
    }
    if (parsed.Has("range")) {
        bool ok = false;
        const double percent = NumberOf(parsed.Value("range"), &ok);
        if (!ok || !(percent > 0) || percent > 50)
            throw UsageError(
                QString("--range takes a percentage above 0 and at most 50, not \"%1\"")
                    .arg(parsed.Value("range")));
        vary.range = percent / 100;
    }
    return vary;
}

double PositiveOf(const CliArguments& parsed, const QString& option, double fallback, double least,
                  const QString& what) {
    if (!parsed.Has(option)) return fallback;
    bool ok = false;
    const double value = NumberOf(parsed.Value(option), &ok);
    if (!ok || !(value >= least) || value <= 0)
        throw UsageError(
            QString("--%1 takes %2, not \"%3\"").arg(option, what, parsed.Value(option)));
    return value;
}

SearchOptions SearchOf(const CliArguments& parsed) {
    SearchOptions search;
    if (parsed.Has("runs")) {
        bool ok = false;
        search.runs = parsed.Value("runs").trimmed().toInt(&ok);
        if (!ok || search.runs < 1 || search.runs > kMostRuns)
            throw UsageError(QString("--runs takes a whole number from 1 to %1, not \"%2\"")
                                 .arg(kMostRuns)
                                 .arg(parsed.Value("runs")));
    }
    if (parsed.Has("seed")) {
        bool ok = false;
        search.seed = parsed.Value("seed").trimmed().toULongLong(&ok);
        if (!ok || search.seed > kLargestSeed)
            throw UsageError(QString("--seed takes a whole number from 0 to %1, not \"%2\"")
                                 .arg(kLargestSeed)
                                 .arg(parsed.Value("seed")));
    }
    return search;
}

}  // namespace

OptimizeSettings OptimizeSettingsOf(const CliArguments& parsed) {
    OptimizeSettings settings;
    if (parsed.Has("goal")) settings.goals.weights = WeightsOf(parsed.Value("goal"));
    if (parsed.Has("max-swr"))
        settings.goals.maxSwr =
            PositiveOf(parsed, "max-swr", 0, 1, "an SWR of at least 1, for example 1.5");
    settings.z0 = PositiveOf(parsed, "z0", 50, 0, "an impedance in ohm above 0");
    settings.vary = VaryOf(parsed);
    settings.search = SearchOf(parsed);
    if (parsed.Has("band")) settings.band = SweepOf(parsed.Value("band"), "--band");
    if (parsed.Has("name")) {
        settings.name = parsed.Value("name").trimmed();
        if (settings.name.isEmpty() || settings.name.size() > 255)
            throw UsageError("--name takes a project name of 1 to 255 characters");
    }
    return settings;
}

}  // namespace velkora
