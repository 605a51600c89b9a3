// SPDX-License-Identifier: GPL-3.0-or-later
// Reads a NEC-2 deck: straight wires (GW, GC), scaling (GS), moves (GM),
// symbols (SY), the source (EX) and the frequency (FR).
#include <algorithm>
#include <cmath>
#include <set>

#include "Failure.h"
#include "NecExpression.h"
#include "Readers.h"
#include "WireElements.h"

namespace velkora {

namespace {

struct TaggedWire {
    FileWire wire;
    int tag;
    int segments;
};

struct Deck {
    std::string title;
    NecSymbols symbols;
    std::vector<TaggedWire> wires;
    bool geometryEnded = false;
    bool awaitingTaper = false;  // a GW of radius 0 wants its GC
    std::optional<double> f0;
    std::optional<std::pair<int, int>> source;  // tag, segment
    std::size_t sourceLine = 0;
    std::set<std::string> notes;
};

struct Card {
    const SourceText& text;
    std::size_t line;
    std::string name;                 // upper case
    std::string rest;                 // after the name, comment cut off
    std::vector<std::string> fields;  // separated by blanks or commas
};

Card CardOf(const SourceText& text, std::size_t line) {
    std::string body = text.lines[line - 1];
    body = body.substr(0, body.find('\''));
    const std::size_t start = body.find_first_not_of(" \t");
    body = start == std::string::npos ? std::string() : body.substr(start);
    Card card{text, line, body.substr(0, 2), body.size() > 2 ? body.substr(2) : "", {}};
    for (char& c : card.name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (std::string_view field : Tokens(card.rest, " \t,")) card.fields.emplace_back(field);
    return card;
}

double Value(const Card& card, const Deck& deck, std::size_t i) {
    if (i >= card.fields.size())
        Refuse(card.text, card.line,
               card.name + " needs at least " + std::to_string(i + 1) + " fields");
    try {
        return EvaluateNec(card.fields[i], deck.symbols);
    } catch (const Failure& failure) {
        Refuse(card.text, card.line, failure.Message());
    }
}

int Whole(const Card& card, const Deck& deck, std::size_t i) {
    const double value = Value(card, deck, i);
    if (value != std::round(value) || std::fabs(value) > 1e9)
        Refuse(card.text, card.line,
               card.name + " field " + std::to_string(i + 1) + " must be a whole number");
    return static_cast<int>(value);
}

// "SY A=1, B=A*2": each symbol may use the ones before it.
void Symbols(const Card& card, Deck& deck) {
    for (std::string_view part : Tokens(card.rest, ",")) {
        std::string assignment;
        for (char c : part)
            if (!std::isspace(static_cast<unsigned char>(c))) assignment += c;
        const std::size_t equals = assignment.find('=');
        if (equals == std::string::npos || equals == 0)
            Refuse(card.text, card.line, "SY needs NAME=EXPRESSION, not \"" + assignment + "\"");
        try {
            deck.symbols[LowerCase(assignment.substr(0, equals))] =
                EvaluateNec(assignment.substr(equals + 1), deck.symbols);
        } catch (const Failure& failure) {
            Refuse(card.text, card.line, failure.Message());
        }
    }
}

}  // namespace

namespace {

void Wire(const Card& card, Deck& deck) {
    double v[7];
    for (std::size_t i = 0; i < 7; ++i) v[i] = Value(card, deck, i + 2);
    const int tag = Whole(card, deck, 0);
    const int segments = Whole(card, deck, 1);
    if (segments < 1) Refuse(card.text, card.line, "GW needs at least one segment");
    if (v[6] < 0) Refuse(card.text, card.line, "the wire's radius is negative");
    deck.wires.push_back(
        {{card.line, v[0], v[1], v[2], v[3], v[4], v[5], v[6], {}}, tag, segments});
    deck.awaitingTaper = v[6] == 0;
}

// A GW tapered by GC becomes one piece a segment, each of its own radius:
// segment lengths grow by RDEL, radii go from RAD1 to RAD2 by a constant
// ratio, as NEC-2 makes them.
void SplitTapered(Deck& deck, double ratio, double rad1, double rad2) {
    const TaggedWire whole = deck.wires.back();
    deck.wires.pop_back();
    const int n = whole.segments;
    const double first = ratio == 1 ? 1.0 / n : (1 - ratio) / (1 - std::pow(ratio, n));
    double from = 0;
    for (int i = 0; i < n; ++i) {
        const double to = i + 1 == n ? 1.0 : from + first * std::pow(ratio, i);
        const FileWire& w = whole.wire;
        const auto at = [&](double a, double b, double t) { return a + (b - a) * t; };
        FileWire piece{w.line,
                       at(w.x1, w.x2, from),
                       at(w.y1, w.y2, from),
                       at(w.z1, w.z2, from),
                       at(w.x1, w.x2, to),
                       at(w.y1, w.y2, to),
                       at(w.z1, w.z2, to),
                       rad1 * std::pow(rad2 / rad1, n == 1 ? 0.0 : i / (n - 1.0)),
                       {}};
        deck.wires.push_back({piece, whole.tag, 1});
        from = to;
    }
}

// "GC 0 0 RDEL RAD1 RAD2" (or without the two integers) gives the radius of
// a GW of radius 0.
void Taper(const Card& card, Deck& deck) {
    if (!deck.awaitingTaper) Refuse(card.text, card.line, "GC follows no GW of radius 0");
    const std::size_t first = card.fields.size() >= 5 ? 2 : 0;
    const double ratio = Value(card, deck, first);
    const double rad1 = Value(card, deck, first + 1);
    const double rad2 = Value(card, deck, first + 2);
    if (!(ratio > 0) || !(rad1 > 0) || !(rad2 > 0))
        Refuse(card.text, card.line, "GC needs RDEL, RAD1 and RAD2 above 0");
    deck.awaitingTaper = false;
    if (std::fabs(rad1 - rad2) <= 1e-12 * rad1 && ratio == 1) {
        deck.wires.back().wire.radiusM = rad1;
        return;
    }
    SplitTapered(deck, ratio, rad1, rad2);
}

void Scale(const Card& card, Deck& deck) {
    const double scale = Value(card, deck, 2);
    if (!(scale > 0)) Refuse(card.text, card.line, "GS scales by a factor above 0");
    for (TaggedWire& w : deck.wires)
        for (double* v : {&w.wire.x1, &w.wire.y1, &w.wire.z1, &w.wire.x2, &w.wire.y2, &w.wire.z2,
                          &w.wire.radiusM})
            *v *= scale;
}

// "GM ITGI NRPT ROX ROY ROZ XS YS ZS ITS": a move of the wires from the one
// tagged ITS on (all when 0), their tags raised by ITGI.
void Move(const Card& card, Deck& deck) {
    const int increment = Whole(card, deck, 0);
    if (Whole(card, deck, 1) != 0)
        Refuse(card.text, card.line, "GM makes copies; only a move (NRPT 0) is read");
    for (std::size_t i = 2; i < 5; ++i)
        if (Value(card, deck, i) != 0)
            Refuse(card.text, card.line, "GM rotates; only a move (no rotation) is read");
    const double dx = Value(card, deck, 5), dy = Value(card, deck, 6), dz = Value(card, deck, 7);
    const int from = card.fields.size() > 8 ? Whole(card, deck, 8) : 0;
    auto first = deck.wires.begin();
    if (from != 0)
        first = std::find_if(deck.wires.begin(), deck.wires.end(),
                             [&](const TaggedWire& w) { return w.tag == from; });
    if (first == deck.wires.end())
        Refuse(card.text, card.line,
               "GM moves from tag " + std::to_string(from) + ", which no wire has");
    for (auto it = first; it != deck.wires.end(); ++it) {
        TaggedWire& w = *it;
        w.wire.x1 += dx, w.wire.x2 += dx, w.wire.y1 += dy, w.wire.y2 += dy;
        w.wire.z1 += dz, w.wire.z2 += dz;
        if (w.tag != 0) w.tag += increment;
    }
}

// F0: the middle of the sweep (linear for FR type 0, by factors for type 1).
void Frequency(const Card& card, Deck& deck) {
    if (deck.f0) return;
    const int type = Whole(card, deck, 0);
    const int count = std::max(1, Whole(card, deck, 1));
    const double start = Value(card, deck, 4);
    const double step = card.fields.size() > 5 ? Value(card, deck, 5) : 0;
    const double middle =
        type == 1 ? start * std::pow(step, (count - 1) / 2.0) : start + step * (count - 1) / 2.0;
    if (!(middle > 0)) Refuse(card.text, card.line, "the frequency is not above 0");
    deck.f0 = middle;
}

void Source(const Card& card, Deck& deck) {
    const int type = Whole(card, deck, 0);
    if (type != 0 && type != 5)
        Refuse(card.text, card.line,
               "EX type " + std::to_string(type) +
                   " is no voltage source on a wire, the only kind read");
    if (deck.source) {
        deck.notes.insert("only the first source (EX) is kept");
        return;
    }
    deck.source = {Whole(card, deck, 1), Whole(card, deck, 2)};
    deck.sourceLine = card.line;
}

}  // namespace

namespace {

enum class Kind { Geometry, Program };

struct CardRule {
    const char* name;
    Kind kind;
    void (*read)(const Card&, Deck&);  // null: nothing kept
    const char* note;                  // what the user is told, or null
};

// The first CM card's text is the design's name.
void Comment(const Card& card, Deck& deck) {
    if (!deck.title.empty() || card.name != "CM") return;
    const std::string& line = card.text.lines[card.line - 1];
    const std::size_t from = line.find_first_not_of(" \t", line.find_first_not_of(" \t") + 2);
    const std::size_t to = line.find_last_not_of(" \t");
    if (from != std::string::npos) deck.title = line.substr(from, to + 1 - from);
}

void GroundEnd(const Card& card, Deck& deck) {
    if (!card.fields.empty() && Whole(card, deck, 0) != 0)
        deck.notes.insert("the ground is not kept: choose it when solving (--ground)");
    deck.geometryEnded = true;
}

const CardRule kCards[] = {
    {"CM", Kind::Program, Comment, nullptr},
    {"CE", Kind::Program, Comment, nullptr},
    {"SY", Kind::Program, Symbols, nullptr},
    {"GW", Kind::Geometry, Wire, nullptr},
    {"GC", Kind::Geometry, Taper, nullptr},
    {"GS", Kind::Geometry, Scale, nullptr},
    {"GM", Kind::Geometry, Move, nullptr},
    {"GE", Kind::Geometry, GroundEnd, nullptr},
    {"GN", Kind::Program, nullptr, "the ground is not kept: choose it when solving (--ground)"},
    {"EX", Kind::Program, Source, nullptr},
    {"FR", Kind::Program, Frequency, nullptr},
    {"LD", Kind::Program, nullptr, "loads and wire conductivity (LD) are not kept"},
    {"NT", Kind::Program, nullptr, "networks (NT) are not kept"},
    {"TL", Kind::Program, nullptr, "transmission lines (TL) are not kept"},
    {"RP", Kind::Program, nullptr, nullptr},
    {"XQ", Kind::Program, nullptr, nullptr},
    {"NE", Kind::Program, nullptr, nullptr},
    {"NH", Kind::Program, nullptr, nullptr},
    {"PQ", Kind::Program, nullptr, nullptr},
    {"PT", Kind::Program, nullptr, nullptr},
    {"KH", Kind::Program, nullptr, nullptr},
    {"EK", Kind::Program, nullptr, nullptr},
    {"WG", Kind::Program, nullptr, nullptr},
    {"CP", Kind::Program, nullptr, nullptr},
    {"PL", Kind::Program, nullptr, nullptr},
};

void ReadCard(const Card& card, Deck& deck) {
    const auto rule = std::find_if(std::begin(kCards), std::end(kCards),
                                   [&](const CardRule& r) { return card.name == r.name; });
    if (rule == std::end(kCards))
        Refuse(card.text, card.line,
               "the card \"" + card.name +
                   "\" is not read: only straight wires (GW, GC, GS, GM) make a Yagi here");
    if (deck.awaitingTaper && card.name != "GC")
        Refuse(card.text, card.line, "the GW before has radius 0 but no GC card follows it");
    if (rule->kind == Kind::Geometry && deck.geometryEnded)
        Refuse(card.text, card.line, card.name + " comes after GE, which ends the geometry");
    if (rule->read != nullptr) rule->read(card, deck);
    if (rule->note != nullptr) deck.notes.insert(rule->note);
}

}  // namespace

namespace {

// The place the source's segment names on its wire: the middle segment, the
// first, the last, or else the middle of the wire. Segments are counted over
// every wire of the tag, as NEC-2 counts them.
FileFeed FeedOf(const SourceText& text, const Deck& deck, std::vector<std::string>& notes) {
    const int tag = deck.source->first;
    const int segment = deck.source->second;
    int before = 0;  // segments of the tag on the wires before
    bool tagged = false;
    std::optional<std::size_t> index;
    for (std::size_t i = 0; i < deck.wires.size() && !index; ++i) {
        if (deck.wires[i].tag != tag) continue;
        tagged = true;
        if (segment > before && segment <= before + deck.wires[i].segments)
            index = i;
        else
            before += deck.wires[i].segments;
    }
    if (!tagged)
        Refuse(text, deck.sourceLine,
               "the source (EX) names tag " + std::to_string(tag) + ", which no wire has");
    if (!index)
        Refuse(text, deck.sourceLine,
               "the source (EX) names segment " + std::to_string(segment) + " of tag " +
                   std::to_string(tag) + ", which has " + std::to_string(before));
    const int n = deck.wires[*index].segments;
    const int local = segment - before;
    if (n % 2 == 1 && local == (n + 1) / 2) return {*index, WirePlace::Middle};
    if (local == 1) return {*index, WirePlace::First};
    if (local == n) return {*index, WirePlace::Last};
    notes.push_back("the source is moved from segment " + std::to_string(segment) +
                    " to the middle of its wire");
    return {*index, WirePlace::Middle};
}

std::string StemOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    std::string stem = slash == std::string::npos ? path : path.substr(slash + 1);
    return stem.substr(0, stem.find_last_of('.'));
}

}  // namespace

ImportedDesign ReadNec(const SourceText& text) {
    Deck deck;
    std::size_t line = 1;
    for (; line <= text.lines.size(); ++line) {
        const Card card = CardOf(text, line);
        if (card.name.empty()) continue;
        if (card.name == "EN") break;
        ReadCard(card, deck);
    }
    const std::size_t last = std::max<std::size_t>(1, std::min(line, text.lines.size()));
    if (deck.wires.empty()) Refuse(text, last, "the deck has no wires (GW)");
    if (deck.awaitingTaper) Refuse(text, last, "the last GW has radius 0 but no GC follows it");
    if (!deck.geometryEnded) Refuse(text, last, "the deck has no GE card ending its geometry");
    if (!deck.f0) Refuse(text, last, "the deck has no frequency (FR)");
    DesignOutline outline{deck.title.empty() ? StemOf(text.name) : deck.title,
                          *deck.f0,
                          0,
                          {},
                          std::nullopt,
                          {deck.notes.begin(), deck.notes.end()}};
    std::vector<FileWire> wires;
    for (const TaggedWire& w : deck.wires) wires.push_back(w.wire);
    std::optional<FileFeed> feed;
    if (deck.source)
        feed = FeedOf(text, deck, outline.notes);
    else
        outline.notes.push_back("the deck has no source (EX), so no element is the driver");
    WireElements found = GatherElements(text, wires, feed);
    return DesignFromWires(std::move(outline), std::move(found));
}

}  // namespace velkora
