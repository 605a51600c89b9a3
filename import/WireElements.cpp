// SPDX-License-Identifier: GPL-3.0-or-later
// Wires into elements: axis, grouping, symmetric pieces, tubes.
#include "WireElements.h"

#include <algorithm>
#include <cmath>

#include "NumberPattern.h"

namespace velkora {

namespace {

constexpr double kNear = 1e-6;  // metres: two coordinates of one point

bool Near(double a, double b) { return std::fabs(a - b) <= kNear; }

// A wire on its element: from lo to hi along the element's axis.
struct Piece {
    const FileWire* wire;
    double lo, hi;
};

struct Group {
    double boom, height;
    std::vector<Piece> pieces;
};

// The boom axis of one wire: Y when the wire runs along X, X when along Y.
bool BoomAlongY(const SourceText& text, const FileWire& w) {
    const bool alongX = !Near(w.x1, w.x2);
    const bool alongY = !Near(w.y1, w.y2);
    if (!Near(w.z1, w.z2))
        Refuse(text, w.line,
               "the wire is vertical or sloping; only horizontal elements across a boom are read");
    if (alongX && alongY)
        Refuse(text, w.line, "the wire runs neither along X nor along Y, so it is no Yagi element");
    if (!alongX && !alongY) Refuse(text, w.line, "the wire has no length");
    return alongX;
}

std::vector<Group> GroupWires(const SourceText& text, const std::vector<FileWire>& wires,
                              bool boomAlongY) {
    std::vector<Group> groups;
    for (const FileWire& w : wires) {
        if (BoomAlongY(text, w) != boomAlongY)
            Refuse(text, w.line,
                   std::string("the wire runs along ") + (boomAlongY ? "Y" : "X") +
                       " across the other elements, so the model is no Yagi");
        const double boom = boomAlongY ? w.y1 : w.x1;
        const double u1 = boomAlongY ? w.x1 : w.y1;
        const double u2 = boomAlongY ? w.x2 : w.y2;
        auto group = std::find_if(groups.begin(), groups.end(), [&](const Group& g) {
            return Near(g.boom, boom) && Near(g.height, w.z1);
        });
        if (group == groups.end()) group = groups.insert(groups.end(), Group{boom, w.z1, {}});
        group->pieces.push_back({&w, std::min(u1, u2), std::max(u1, u2)});
    }
    return groups;
}

// Decimals of a number's text, or a large count for exponent forms.
int DecimalsOf(const std::string& text) {
    if (text.empty() || text.find_first_of("eE") != std::string::npos) return 12;
    const std::size_t point = text.find('.');
    return point == std::string::npos ? 0 : static_cast<int>(text.size() - point - 1);
}

// The radii of two pieces that the file wrote with different decimals agree
// when the coarser text holds the finer value.
bool SameRadius(const FileWire& a, const FileWire& b) {
    const int decimals = std::min(DecimalsOf(a.radiusText), DecimalsOf(b.radiusText));
    const double allowed = a.radiusText.empty() || b.radiusText.empty()
                               ? 1e-12
                               : 0.5 * std::pow(10.0, -decimals) + 1e-12;
    return std::fabs(a.radiusM - b.radiusM) <= allowed;
}

}  // namespace

namespace {

// One side of an element: the pieces' parts from the boom out.
struct SidePiece {
    const FileWire* wire;
    double inner, outer;
};

std::vector<SidePiece> Side(const std::vector<Piece>& pieces, bool positive) {
    std::vector<SidePiece> side;
    for (const Piece& p : pieces) {
        const double lo = positive ? p.lo : -p.hi;
        const double hi = positive ? p.hi : -p.lo;
        if (hi > kNear) side.push_back({p.wire, std::max(lo, 0.0), hi});
    }
    std::sort(side.begin(), side.end(),
              [](const SidePiece& a, const SidePiece& b) { return a.inner < b.inner; });
    return side;
}

void CheckJoined(const SourceText& text, std::vector<Piece>& pieces) {
    std::sort(pieces.begin(), pieces.end(),
              [](const Piece& a, const Piece& b) { return a.lo < b.lo; });
    for (std::size_t i = 1; i < pieces.size(); ++i)
        if (!Near(pieces[i].lo, pieces[i - 1].hi))
            Refuse(text, pieces[i].wire->line,
                   pieces[i].lo > pieces[i - 1].hi
                       ? "the wire leaves a gap in its element, so it is a wire off any element"
                       : "the wire overlaps another wire of its element");
    if (!Near(pieces.front().lo, -pieces.back().hi))
        Refuse(text, pieces.front().wire->line,
               "the element is not centred on the boom: one side is longer than the other");
}

// The diameter whose radius the MMANA writer writes as the file did: the
// first wire of a tube with five decimals, its mirror with four.
double DiameterOf(const FileWire& first, const FileWire* mirror) {
    const FileWire& finer =
        mirror != nullptr && DecimalsOf(mirror->radiusText) > DecimalsOf(first.radiusText) ? *mirror
                                                                                           : first;
    const double base = std::round(finer.radiusM * 2000 * 1e6) / 1e6;
    if (first.radiusText.empty()) return base;
    static const CompiledPattern firstPattern("#####0.0####");
    static const CompiledPattern mirrorPattern("#####0.0###");
    const RegionalMarks marks;
    for (int k = 0; k <= 20; ++k) {
        const double d = base + (k % 2 == 0 ? k / 2 : -(k + 1) / 2) * 0.001;
        if (NumberPattern(firstPattern, d / 2 / 1000, marks) != first.radiusText) continue;
        if (mirror == nullptr ||
            NumberPattern(mirrorPattern, d / 2 / 1000, marks) == mirror->radiusText)
            return d;
    }
    return base;
}

std::vector<Tube> TubesOf(const SourceText& text, Group& group) {
    CheckJoined(text, group.pieces);
    const std::vector<SidePiece> plus = Side(group.pieces, true);
    const std::vector<SidePiece> minus = Side(group.pieces, false);
    std::vector<Tube> tubes;
    for (std::size_t i = 0; i < plus.size(); ++i) {
        const bool paired = i < minus.size() && Near(plus[i].outer, minus[i].outer) &&
                            SameRadius(*plus[i].wire, *minus[i].wire);
        if (!paired || plus.size() != minus.size())
            Refuse(text, plus[i].wire->line,
                   "the element's two sides differ (the pieces left and right of the boom are "
                   "not mirror images)");
        const FileWire* mirror = minus[i].wire == plus[i].wire ? nullptr : minus[i].wire;
        const bool sameTube = i > 0 && plus[i].wire->radiusM == plus[i - 1].wire->radiusM &&
                              minus[i].wire->radiusM == minus[i - 1].wire->radiusM;
        if (sameTube)
            tubes.back().endM = Rounded9(plus[i].outer);
        else
            tubes.push_back({DiameterOf(*plus[i].wire, mirror), Rounded9(plus[i].outer)});
    }
    return tubes;
}

}  // namespace

WireElements GatherElements(const SourceText& text, const std::vector<FileWire>& wires,
                            std::optional<FileFeed> feed) {
    if (wires.empty()) Refuse(text, 1, "the model has no wires");
    const bool boomAlongY = BoomAlongY(text, wires.front());
    std::vector<Group> groups = GroupWires(text, wires, boomAlongY);
    WireElements result{{}, std::nullopt, boomAlongY};
    for (Group& group : groups)
        result.elements.push_back(
            {Rounded9(group.boom), Rounded9(group.height), TubesOf(text, group)});
    if (feed) {
        const FileWire& fed = wires[feed->wire];
        const double u1 = boomAlongY ? fed.x1 : fed.y1;
        const double u2 = boomAlongY ? fed.x2 : fed.y2;
        const double at = feed->place == WirePlace::First  ? u1
                          : feed->place == WirePlace::Last ? u2
                                                           : (u1 + u2) / 2;
        for (std::size_t g = 0; g < groups.size(); ++g)
            for (const Piece& piece : groups[g].pieces)
                if (piece.wire == &fed) result.feed = FeedPoint{g, at, feed->place};
    }
    return result;
}

ImportedDesign DesignFromWires(DesignOutline outline, WireElements found) {
    if (found.boomAlongY)
        outline.notes.push_back("the boom lies along Y: write its models with the axis Y");
    outline.elements = std::move(found.elements);
    outline.feed = found.feed;
    return BuildDesign(std::move(outline));
}

}  // namespace velkora
