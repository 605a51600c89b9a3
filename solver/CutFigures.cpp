// SPDX-License-Identifier: GPL-3.0-or-later
// Walks a pattern cut sample by sample from its forward peak.
#include "CutFigures.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace velkora {

namespace {

class Walk {
  public:
    Walk(const std::vector<CutPoint>& cut, bool circle) : cut_(cut), circle_(circle) {}

    std::optional<std::size_t> Next(std::size_t at, int direction) const {
        const auto n = static_cast<std::ptrdiff_t>(cut_.size());
        std::ptrdiff_t next = static_cast<std::ptrdiff_t>(at) + direction;
        if (circle_) return static_cast<std::size_t>((next + n) % n);
        if (next < 0 || next >= n) return std::nullopt;
        return static_cast<std::size_t>(next);
    }
    double Gain(std::size_t at) const { return cut_[at].gainDbi; }
    std::size_t Size() const { return cut_.size(); }

    // Uphill from start to a maximum.
    std::size_t Climb(std::size_t at) const {
        for (std::size_t steps = 0; steps < Size(); ++steps) {
            std::size_t best = at;
            for (const int direction : {-1, 1})
                if (const auto next = Next(at, direction); next && Gain(*next) > Gain(best))
                    best = *next;
            if (best == at) break;
            at = best;
        }
        return at;
    }

    // Samples from the peak down to the first minimum on one side.
    std::size_t StepsDown(std::size_t peak, int direction) const {
        std::size_t steps = 0;
        for (std::size_t at = peak; steps + 1 < Size(); ++steps) {
            const auto next = Next(at, direction);
            if (!next || Gain(*next) > Gain(at)) break;
            at = *next;
        }
        return steps;
    }

    // Degrees from the peak to where the gain falls below level on one side.
    double Reach(std::size_t peak, int direction, double level, double step) const {
        std::size_t at = peak;
        for (std::size_t steps = 0; steps < Size(); ++steps) {
            const auto next = Next(at, direction);
            if (!next) return static_cast<double>(steps) * step;
            if (Gain(*next) < level)
                return (static_cast<double>(steps) +
                        (Gain(at) - level) / (Gain(at) - Gain(*next))) *
                       step;
            at = *next;
        }
        return static_cast<double>(Size()) * step;
    }

  private:
    const std::vector<CutPoint>& cut_;
    bool circle_;
};

double OffForward(double angle) {
    const double off = std::fmod(std::fmod(angle, 360.0) + 360.0, 360.0);
    return std::min(off, 360.0 - off);
}

}  // namespace

CutFigures FiguresOfCut(const std::vector<CutPoint>& cut, std::size_t start, bool circle) {
    const Walk walk(cut, circle);
    const double step = cut[1].angleDeg - cut[0].angleDeg;
    CutFigures figures;
    figures.peak = walk.Climb(start);
    figures.peakGain = walk.Gain(figures.peak);
    const double level = figures.peakGain - 3.0;
    figures.beamwidth = std::min(
        walk.Reach(figures.peak, -1, level, step) + walk.Reach(figures.peak, 1, level, step),
        static_cast<double>(cut.size()) * step);

    std::vector<bool> inLobe(cut.size(), false);
    inLobe[figures.peak] = true;
    for (const int direction : {-1, 1}) {
        std::size_t at = figures.peak;
        for (std::size_t steps = walk.StepsDown(figures.peak, direction); steps > 0; --steps) {
            at = *walk.Next(at, direction);
            inLobe[at] = true;
        }
    }
    double outside = -std::numeric_limits<double>::infinity();
    double rear = outside;
    double deepest = figures.peakGain;
    for (std::size_t i = 0; i < cut.size(); ++i) {
        if (!inLobe[i]) outside = std::max(outside, cut[i].gainDbi);
        if (OffForward(cut[i].angleDeg) > 90.0 + 1e-9) rear = std::max(rear, cut[i].gainDbi);
        deepest = std::min(deepest, cut[i].gainDbi);
    }
    figures.sidelobe = (std::isinf(outside) ? deepest : outside) - figures.peakGain;
    figures.rearGain = std::isinf(rear) ? deepest : rear;
    return figures;
}

}  // namespace velkora
