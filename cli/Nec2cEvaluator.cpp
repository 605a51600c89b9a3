// SPDX-License-Identifier: GPL-3.0-or-later
// A design in memory through generate's NEC-2 deck and nec2c.
#include "Nec2cEvaluator.h"

#include "Nec2cRun.h"
#include "NecReport.h"

namespace velkora {

std::vector<FrequencyFigures> Nec2cEvaluator::Evaluate(const Design& design,
                                                       const std::optional<FrequencySweep>& band) {
    DesignSource source(design);
    const RegionalMarks marks;
    NecOptions options;
    options.sweep = band;
    const std::string deck = NecDeckText({design.project, source, MainLobeAxis::X, marks}, options);
    std::vector<FrequencyFigures> figures;
    for (const FrequencyReport& report : ParseNecReport(RunNec2c(deck, [](int) {}))) {
        const YagiFigures yagi = FiguresOf(report, ForwardAzimuth(MainLobeAxis::X), z0_);
        FrequencyFigures row;
        row.mhz = yagi.mhz;
        row.resistance = yagi.resistance;
        row.reactance = yagi.reactance;
        row.swr = yagi.swr;
        row.forwardGain = yagi.forwardGain;
        row.frontToBack = yagi.frontToBack;
        row.frontToRearE = row.frontToRearH = yagi.frontToBack;
        figures.push_back(row);
    }
    return figures;
}

}  // namespace velkora
