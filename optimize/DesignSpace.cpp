// SPDX-License-Identifier: GPL-3.0-or-later
// Points of the optimizer's space turned into designs.
#include "DesignSpace.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace velkora {

namespace {

constexpr double kCut = 1e-4;  // metres: lengths and positions are cut to 0.1 mm

double Rounded(double metres) { return std::round(metres / kCut) * kCut; }

}  // namespace

DesignSpace::DesignSpace(const Design& start, const VaryOptions& vary)
    : start_(start), vary_(vary) {
    double previous = 0;
    for (const ElementRow& element : start_.elements) {
        lengths_.push_back(DoubleOfField(element.len, "LEN"));
        const double distance = DoubleOfField(element.distance, "DISTANCE");
        if (lengths_.size() == 1)
            first_ = distance;
        else
            gaps_.push_back(distance - previous);
        previous = distance;
    }
}

std::size_t DesignSpace::Dimension() const {
    return (vary_.lengths ? lengths_.size() : 0) + (vary_.positions ? gaps_.size() : 0);
}

// Each element's distance from the rearmost one.
std::vector<double> DesignSpace::Offsets(const double* point) const {
    std::vector<double> gaps(gaps_.size()), room(gaps_.size());
    for (std::size_t i = 0; i < gaps_.size(); ++i) {
        gaps[i] = gaps_[i] * (1 + vary_.range * point[i]);
        room[i] = gaps[i] - gaps_[i] * (1 - vary_.range);
    }
    const double boom = std::accumulate(gaps_.begin(), gaps_.end(), 0.0);
    const double excess = std::accumulate(gaps.begin(), gaps.end(), 0.0) - boom;
    const double totalRoom = std::accumulate(room.begin(), room.end(), 0.0);
    if (excess > 0 && totalRoom > 0)
        for (std::size_t i = 0; i < gaps.size(); ++i) gaps[i] -= excess * room[i] / totalRoom;
    std::vector<double> offsets{0};
    for (double gap : gaps) offsets.push_back(offsets.back() + gap);
    for (double& offset : offsets) offset = std::min(Rounded(offset), boom);
    return offsets;
}

Design DesignSpace::At(const std::vector<double>& point) const {
    Design design = start_;
    const double* next = point.data();
    if (vary_.lengths) {
        for (std::size_t i = 0; i < lengths_.size(); ++i)
            design.elements[i].len =
                DbValue::Real(Rounded(lengths_[i] * (1 + vary_.range * *next++)));
    }
    if (vary_.positions) {
        const std::vector<double> offsets = Offsets(next);
        for (std::size_t i = 1; i < offsets.size(); ++i)
            design.elements[i].distance = DbValue::Real(first_ + offsets[i]);
    }
    return design;
}

}  // namespace velkora
