// SPDX-License-Identifier: GPL-3.0-or-later
// velkora-cli optimize: a project's element lengths and positions searched
// for the goals given, the best design stored as a new project beside it.
#include <unistd.h>

#include <QElapsedTimer>
#include <cstdio>

#include "Cli.h"
#include "CliSupport.h"
#include "CliVerbs.h"
#include "GenerationQueries.h"
#include "ModelArguments.h"
#include "OptimizeArguments.h"
#include "OptimizeReport.h"
#include "ProjectVariant.h"
#include "ReadSnapshot.h"
#include "StopOnSignals.h"

namespace velkora {

namespace {

// One line on a terminal, rewritten in place a few times a second.
class ProgressLine {
  public:
    explicit ProgressLine(int budget) : budget_(budget), terminal_(::isatty(STDERR_FILENO)) {
        clock_.start();
    }
    void operator()(const Objective& objective) {
        if (!terminal_ || (shown_ >= 0 && clock_.elapsed() - shown_ < 200)) return;
        shown_ = clock_.elapsed();
        std::fprintf(stderr, "\roptimize: %d of %d runs, best score %.2f, %.1f s   ",
                     objective.Runs(), budget_, objective.Best().score.value, shown_ / 1000.0);
        std::fflush(stderr);
    }
    ~ProgressLine() {
        if (terminal_ && shown_ >= 0) std::fputs("\n", stderr);
    }

  private:
    int budget_;
    bool terminal_;
    QElapsedTimer clock_;
    qint64 shown_ = -1;
};

Design ReadChosenDesign(const QSqlDatabase& db, const CliArguments& parsed) {
    const ReadSnapshot snapshot(db);  // one state of the store
    parsed.Required("project");
    const ProjectRow project = ChosenProject(db, parsed);
    SqlModelSource source(db);
    Design design = ReadDesign(project, source);
    if (design.elements.size() < 2)
        throw Failure(QString("project %1 has %2 element(s); optimizing needs at least two")
                          .arg(QString::fromStdString(project.id.ToText()))
                          .arg(design.elements.size())
                          .toStdString());
    return design;
}

OptimizeOutcome RunSearch(const Design& design, const OptimizeSettings& settings) {
    const StopOnSignals stop(STDOUT_FILENO);
    ProgressLine progress(settings.search.runs);
    OptimizeOutcome outcome;
    static_cast<OptimizeResult&>(outcome) = Optimize(
        design, settings, [&stop] { return stop.Requested(); }, std::ref(progress));
    if (outcome.stopped)
        outcome.stoppedBy =
            stop.Reason() == "SIGINT" ? QString("Ctrl-C") : QString::fromStdString(stop.Reason());
    return outcome;
}

}  // namespace

int OptimizeVerb(const QStringList& args, QTextStream& out) {
    const CliArguments parsed =
        ParseArguments(args, {"optimize",
                              {"project", "band", "goal", "max-swr", "z0", "vary", "range", "runs",
                               "seed", "name", "data-link"},
                              {"json"},
                              0});
    const OptimizeSettings settings = OptimizeSettingsOf(parsed);
    const CliConnection connection(DataLinkOf(parsed), StoreAccess::ReadWrite);
    const Design design = ReadChosenDesign(connection.Db(), parsed);
    OptimizeOutcome outcome = RunSearch(design, settings);
    if (!outcome.best.score.Feasible())
        throw Failure(QString("no design with an SWR of at most %1 came up in %2 runs (the best "
                              "reached %3 over the limit); nothing was written")
                          .arg(*settings.goals.maxSwr)
                          .arg(outcome.runs)
                          .arg(outcome.best.score.swrExcess, 0, 'f', 2)
                          .toStdString());
    outcome.name = settings.name.isEmpty() ? OptimizedName(design.project) : settings.name;
    outcome.project =
        InsertProjectVariant(connection.Db(), static_cast<qint64>(design.project.id.ToDouble()),
                             outcome.name, ElementPlacesOf(outcome.best.design.elements));
    if (parsed.Has("json"))
        PrintOptimizeJson(out, outcome, settings.search);
    else
        PrintOptimizeText(out, outcome, settings.search);
    return kCliSuccess;
}

}  // namespace velkora
