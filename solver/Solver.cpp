// SPDX-License-Identifier: GPL-3.0-or-later
// Splits a band into parts, one nec2c each, asks each for the pattern cuts
// the figures need, and joins the results in order.
#include "Solver.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <thread>

#include "NecReport.h"
#include "YagiFigures.h"

namespace velkora {

namespace {

std::string Number(double value) {
    char text[32];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value);
    return error == std::errc() ? std::string(text, end) : "0";
}

// The RP cards of one frequency: what a part's deck asks nec2c for.
using Cards = std::string (*)(double forward, double extra);

// Free space: the azimuth cut in the plane of the elements, then the vertical
// circle through the boom.
std::string FreeSpaceCuts(double forward, double) {
    const std::string phi = Number(forward);
    return "RP 0 1 360 1000 90 " + phi + " 0 1\nRP 0 360 1 1000 0 " + phi + " 1 0\n";
}

// Over ground, first: up from the forward and from the back horizon.
std::string ElevationOverGround(double forward, double) {
    return "RP 0 91 2 1000 0 " + Number(forward) + " 1 180\n";
}

// Over ground, second: the azimuth cut at the take-off elevation.
std::string AzimuthAt(double forward, double takeoff) {
    return "RP 0 1 360 1000 " + Number(90.0 - takeoff) + ' ' + Number(forward) + " 0 1\n";
}

int PartsFor(const SolveJob& job) {
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const int wanted = job.parts > 0 ? job.parts : cores;
    return std::clamp(wanted, 1, static_cast<int>(std::max<std::size_t>(1, job.mhz.size())));
}

// One deck per part of the band; extra[i] goes to the cards of frequency i.
std::vector<std::string> DecksOf(const SolveJob& job, Cards cards,
                                 const std::vector<double>& extra) {
    const std::size_t count = job.mhz.size();
    const std::size_t parts = static_cast<std::size_t>(PartsFor(job));
    std::vector<std::string> decks;
    for (std::size_t part = 0, first = 0; part < parts; ++part) {
        const std::size_t last = first + (count - first) / (parts - part);
        std::string deck = job.deck + "PT -1 0 0 0\n";  // no currents: only what is read
        for (std::size_t i = first; i < last; ++i)
            deck +=
                "FR 0 1 0 0 " + Number(job.mhz[i]) + " 0\n" + cards(job.forwardAzimuth, extra[i]);
        decks.push_back(deck + "EN\n");
        first = last;
    }
    return decks;
}

// One report per frequency, from parts of the band run side by side.
std::vector<FrequencyReport> RunParts(const SolveJob& job, Cards cards,
                                      const std::vector<double>& extra, const RunControl& control) {
    std::vector<FrequencyReport> reports;
    for (const std::string& report : RunNec2c(DecksOf(job, cards, extra), control))
        for (FrequencyReport& frequency : ParseNecReport(report))
            reports.push_back(std::move(frequency));
    if (reports.size() != job.mhz.size())
        throw Failure("the report of nec2c holds " + std::to_string(reports.size()) +
                      " frequencies instead of " + std::to_string(job.mhz.size()));
    return reports;
}

// Progress over two runs of every frequency counts each run as half.
RunControl Half(const RunControl& control, int before) {
    RunControl half = control;
    if (control.progress)
        half.progress = [progress = control.progress, before](int done) {
            progress((before + done) / 2);
        };
    return half;
}

const std::vector<PatternGain>& Block(const FrequencyReport& report, std::size_t index) {
    if (report.patterns.size() <= index)
        throw Failure("the report of nec2c lacks a pattern cut the deck asked for");
    return report.patterns[index];
}

}  // namespace

std::vector<double> FrequenciesOf(const NecOptions& options, double f0) {
    if (!options.sweep) return {f0};
    std::vector<double> mhz;
    for (int i = 0; i < options.sweep->Count(); ++i)
        mhz.push_back(std::round((options.sweep->start + i * options.sweep->step) * 1e9) / 1e9);
    return mhz;
}

SolveJob SolveJobOf(const ModelJob& job, const NecOptions& options, double z0) {
    NecOptions open = options;
    open.withoutRequests = true;
    SolveJob solve;
    solve.deck = NecDeckText(job, open);
    solve.mhz = FrequenciesOf(options, job.project.f0.ToDouble());
    solve.ground = options.ground;
    solve.forwardAzimuth = ForwardAzimuth(job.axis);
    solve.z0 = z0;
    return solve;
}

std::vector<std::string> FirstRunDecks(const SolveJob& job) {
    const bool overGround = job.ground != NecGround::Free;
    return DecksOf(job, overGround ? ElevationOverGround : FreeSpaceCuts,
                   std::vector<double>(job.mhz.size(), 0.0));
}

std::vector<FrequencyFigures> Solve(const SolveJob& job, const RunControl& control) {
    if (job.mhz.empty()) return {};
    const bool overGround = job.ground != NecGround::Free;
    const std::vector<double> none(job.mhz.size(), 0.0);
    const int count = static_cast<int>(job.mhz.size());
    const std::vector<FrequencyReport> first =
        RunParts(job, overGround ? ElevationOverGround : FreeSpaceCuts, none,
                 overGround ? Half(control, 0) : control);
    std::vector<double> takeoffs;
    for (const FrequencyReport& report : first)
        takeoffs.push_back(TakeoffOf(ElevationCut(Block(report, 0), job.forwardAzimuth)));
    const std::vector<FrequencyReport> second =
        overGround ? RunParts(job, AzimuthAt, takeoffs, Half(control, count))
                   : std::vector<FrequencyReport>();

    std::vector<FrequencyFigures> results;
    for (std::size_t i = 0; i < first.size(); ++i) {
        const std::vector<PatternGain>& azimuth =
            overGround ? Block(second[i], 0) : Block(first[i], 0);
        const std::vector<PatternGain>& elevation = Block(first[i], overGround ? 0 : 1);
        FrequencyFigures figures =
            FiguresOf(AzimuthCut(azimuth, job.forwardAzimuth),
                      ElevationCut(elevation, job.forwardAzimuth), overGround);
        figures.mhz = job.mhz[i];
        figures.resistance = first[i].resistance;
        figures.reactance = first[i].reactance;
        figures.swr = SwrOf(figures.resistance, figures.reactance, job.z0);
        results.push_back(std::move(figures));
    }
    return results;
}

}  // namespace velkora
