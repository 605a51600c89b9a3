// SPDX-License-Identifier: GPL-3.0-or-later
// velkora-cli optimize against a spoilt design: the 6-element sample with
// its directors' half-lengths moved by up to 5 % and its gaps by up to 15 %
// (a fixed seed) is optimized with the default goals and budget, once per
// seed; the goal is the original's gain within 0.2 dB and its F/B within
// 3 dB, in at most 1,500 runs and 60 s. With --compare, NLopt's local
// methods are run on the same design instead.
#include <sys/resource.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QTextStream>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>

#include "Cli.h"
#include "Connection.h"
#include "GenerationQueries.h"
#include "NecEvaluator.h"
#include "ProjectVariant.h"
#include "Search.h"

namespace {

using namespace velkora;

constexpr qint64 kSample = 4;
constexpr int kMostRuns = 1500;
constexpr int kCompareRuns = 600;  // the default budget, as the benchmark runs
constexpr double kSeconds = 60;
constexpr std::uint64_t kSpoilSeed = 7;
const int kSeeds[] = {1, 2, 3};

QJsonObject RunJson(const QStringList& args) {
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    if (RunCli(args, outStream, errStream) != kCliSuccess) {
        std::fprintf(stderr, "optimize_bench: %s\n", qPrintable(err));
        std::exit(1);
    }
    return QJsonDocument::fromJson(out.toUtf8()).object();
}

Design ReadSample(const QSqlDatabase& db, qint64 id) {
    SqlModelSource source(db);
    return ReadDesign(*ReadProjectRow(db, id), source);
}

// The sample with the directors' half-lengths and every gap moved at random.
QList<ElementPlace> Spoilt(const Design& design) {
    std::mt19937_64 random(kSpoilSeed);
    std::uniform_real_distribution<double> length(-0.05, 0.05), gap(-0.15, 0.15);
    QList<ElementPlace> places;
    bool pastDriven = false;
    double previous = 0;
    for (const ElementRow& element : design.elements) {
        const double len = element.len.ToDouble();
        const double distance = element.distance.ToDouble();
        const double place =
            places.isEmpty() ? distance
                             : places.back().distance + (distance - previous) * (1 + gap(random));
        places << ElementPlace{static_cast<qint64>(element.id.ToDouble()),
                               pastDriven ? len * (1 + length(random)) : len, place};
        pastDriven = pastDriven || element.type.ToText() == "Driver";
        previous = distance;
    }
    return places;
}

qint64 StoreSpoilt() {
    const QSqlDatabase db = OpenConnection("velkora.udl", "bench");
    const qint64 id =
        InsertProjectVariant(db, kSample, "NW3Z spoilt", Spoilt(ReadSample(db, kSample)));
    return id;
}

// Processor seconds of this process and of the nec2c runs it waited for, so
// that a busy machine's waiting can be told from the work.
double ProcessorSeconds() {
    double seconds = 0;
    for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage usage{};
        getrusage(who, &usage);
        seconds += usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                   (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    }
    return seconds;
}

QJsonObject AtF0(const QJsonObject& figures) { return figures["results"][0].toObject(); }

void Benchmark(qint64 spoilt) {
    const QJsonObject original =
        RunJson({"solve", "--project", QString::number(kSample), "--json"})["results"][0]
            .toObject();
    const double gain = original["gain_dbi"].toDouble();
    const double frontToBack = original["front_to_back_db"].toDouble();
    std::printf("6-element sample at 14.175 MHz: gain %.2f dBi, F/B %.1f dB\n", gain, frontToBack);
    std::printf("goal: gain >= %.2f dBi, F/B >= %.1f dB, <= %d runs, <= %.0f s\n\n", gain - 0.2,
                frontToBack - 3, kMostRuns, kSeconds);
    std::printf("seed  spoilt gain  F/B  ->  optimized gain  F/B   runs  seconds  cpu s  goal\n");
    for (int seed : kSeeds) {
        const double processor = ProcessorSeconds();
        const QJsonObject json = RunJson({"optimize", "--project", QString::number(spoilt),
                                          "--seed", QString::number(seed), "--json"});
        const QJsonObject before = AtF0(json["before"].toObject());
        const QJsonObject after = AtF0(json["after"].toObject());
        const bool met = after["gain_dbi"].toDouble() >= gain - 0.2 &&
                         after["front_to_back_db"].toDouble() >= frontToBack - 3 &&
                         json["runs"].toInt() <= kMostRuns &&
                         json["seconds"].toDouble() <= kSeconds;
        std::printf("%4d  %11.2f %5.1f  %18.2f %5.1f %6d %8.1f %6.1f  %s\n", seed,
                    before["gain_dbi"].toDouble(), before["front_to_back_db"].toDouble(),
                    after["gain_dbi"].toDouble(), after["front_to_back_db"].toDouble(),
                    json["runs"].toInt(), json["seconds"].toDouble(),
                    ProcessorSeconds() - processor, met ? "met" : "MISSED");
        std::fflush(stdout);
    }
}

// Whether figures meet the goal set by the original's.
bool MeetsGoal(const FrequencyFigures& got, const FrequencyFigures& original) {
    return got.forwardGain >= original.forwardGain - 0.2 &&
           got.frontToBack >= original.frontToBack - 3;
}

// NLopt's local methods on the spoilt design, each with the same smaller budget,
// and the run at which each first met the goal.
void Compare(qint64 spoilt) {
    const QSqlDatabase db = OpenConnection("velkora.udl", "compare");
    NecEvaluator evaluator(50, {});
    const FrequencyFigures original =
        evaluator.Evaluate(ReadSample(db, kSample), std::nullopt).front();
    const DesignSpace space(ReadSample(db, spoilt), {});
    std::printf("method      seed  gain dBi  F/B dB   score   runs  goal at  seconds\n");
    for (const SearchMethodRow& row : SearchMethods())
        for (int seed : kSeeds) {
            const auto start = std::chrono::steady_clock::now();
            Objective objective(space, evaluator, {}, std::nullopt);
            int reached = 0;
            Search(
                objective, {kCompareRuns, static_cast<std::uint64_t>(seed), row.method},
                [] { return false; },
                [&](const Objective& o) {
                    if (!reached && MeetsGoal(o.Best().band.front(), original)) reached = o.Runs();
                });
            const double seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            const FrequencyFigures& best = objective.Best().band.front();
            std::printf("%-10s %5d %9.2f %7.1f %7.2f %6d %8d %8.1f\n", row.name.data(), seed,
                        best.forwardGain, best.frontToBack, objective.Best().score.value,
                        objective.Runs(), reached, seconds);
            std::fflush(stdout);
        }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const bool compare = argc > 1 && QString(argv[1]) == "--compare";
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("velkora-optimize-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    std::filesystem::current_path(folder);
    RunJson({"init", "--sample"});
    const qint64 spoilt = StoreSpoilt();
    CloseConnection("bench");
    if (compare)
        Compare(spoilt);
    else
        Benchmark(spoilt);
    std::filesystem::current_path(folder.parent_path());
    std::filesystem::remove_all(folder);
    return 0;
}
