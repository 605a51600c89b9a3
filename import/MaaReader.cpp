// SPDX-License-Identifier: GPL-3.0-or-later
// Reads an MMANA .maa model: blocks found by their order, whatever their
// header text says.
#include <algorithm>
#include <cctype>
#include <cmath>

#include "Readers.h"
#include "WireElements.h"

namespace velkora {

namespace {

class Lines {
  public:
    explicit Lines(const SourceText& text) : text_(text) {}
    // The next line; refuses when the file ends before `what`.
    const std::string& Take(const std::string& what) {
        if (next_ >= text_.lines.size())
            Refuse(text_, std::max<std::size_t>(text_.lines.size(), 1),
                   "the file ends before " + what);
        return text_.lines[next_++];
    }
    std::size_t Line() const { return next_; }  // of the line taken last
    const SourceText& Text() const { return text_; }

  private:
    const SourceText& text_;
    std::size_t next_ = 0;
};

// Fields separated by a comma and blanks or tabs, or by commas alone. A
// field keeps an inner comma (a height written with a decimal comma).
std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    const bool blanks = line.find_first_of(" \t") != std::string::npos;
    for (std::string_view token : Tokens(line, blanks ? " \t" : ",")) {
        if (blanks && token.back() == ',') token.remove_suffix(1);
        if (!token.empty()) fields.emplace_back(token);
    }
    return fields;
}

double Number(const Lines& lines, const std::string& field, const char* what) {
    if (const std::optional<double> value = NumberOf(field)) return *value;
    Refuse(lines.Text(), lines.Line(), std::string(what) + " \"" + field + "\" is not a number");
}

int Count(const Lines& lines, const std::string& line, const char* what) {
    const std::vector<std::string> fields = Fields(line);
    const double count = fields.empty() ? -1 : Number(lines, fields[0], what);
    if (count < 0 || count != std::floor(count) || count > 100000)
        Refuse(lines.Text(), lines.Line(), std::string(what) + " is not a count");
    return static_cast<int>(count);
}

FileWire WireOf(const Lines& lines, const std::string& line, bool& manualSegments) {
    const std::vector<std::string> f = Fields(line);
    if (f.size() != 8)
        Refuse(lines.Text(), lines.Line(),
               "a wire line has 8 fields (X1, Y1, Z1, X2, Y2, Z2, R, SEG), this one " +
                   std::to_string(f.size()));
    double v[8];
    for (int i = 0; i < 8; ++i) v[i] = Number(lines, f[i], "the wire's field");
    if (v[6] < 0)
        Refuse(lines.Text(), lines.Line(),
               "a negative radius points into MMANA's own taper table, which cannot be read; "
               "give the wire its radius in metres");
    if (v[6] == 0) Refuse(lines.Text(), lines.Line(), "the wire has no radius");
    manualSegments = manualSegments || v[7] > 0;
    return {lines.Line(), v[0], v[1], v[2], v[3], v[4], v[5], v[6], f[6]};
}

}  // namespace

namespace {

// "w<N><b|c|e>", optionally with a segment offset ("w2c+1").
FileFeed FeedOf(const Lines& lines, const std::string& ref, std::size_t wireCount,
                std::vector<std::string>& notes) {
    const std::string r = LowerCase(ref);
    std::size_t i = 1;
    while (i < r.size() && std::isdigit(static_cast<unsigned char>(r[i]))) ++i;
    const bool shaped = r.size() > 2 && r[0] == 'w' && i > 1 && i < r.size() &&
                        std::string("bce").find(r[i]) != std::string::npos &&
                        (i + 1 == r.size() || r[i + 1] == '+' || r[i + 1] == '-');
    const std::size_t wire = shaped && i < 10 ? std::stoul(r.substr(1, i - 1)) : 0;
    if (!shaped || (i + 1 < r.size() && !NumberOf(std::string_view(r).substr(i + 1))))
        Refuse(lines.Text(), lines.Line(),
               "the source \"" + ref + "\" does not name a wire as w<number><b|c|e> does");
    if (wire < 1 || wire > wireCount)
        Refuse(lines.Text(), lines.Line(),
               "the source names wire " + std::to_string(wire) + ", but the model has " +
                   std::to_string(wireCount) + " wires");
    if (i + 1 < r.size())
        notes.push_back("the source's segment offset (" + ref.substr(i + 1) + ") is not kept");
    const WirePlace place = r[i] == 'b'   ? WirePlace::First
                            : r[i] == 'e' ? WirePlace::Last
                                          : WirePlace::Middle;
    return {wire - 1, place};
}

std::optional<FileFeed> ReadSources(Lines& lines, std::size_t wireCount,
                                    std::vector<std::string>& notes) {
    lines.Take("the source block");
    const int count = Count(lines, lines.Take("the source block"), "the number of sources");
    std::optional<FileFeed> feed;
    for (int i = 0; i < count; ++i) {
        const std::vector<std::string> fields = Fields(lines.Take("the last source"));
        if (fields.empty()) Refuse(lines.Text(), lines.Line(), "the source line is empty");
        const FileFeed found = FeedOf(lines, fields[0], wireCount, notes);
        if (!feed) feed = found;
    }
    if (count > 1)
        notes.push_back("only the first of the " + std::to_string(count) + " sources is kept");
    if (count == 0) notes.push_back("the model has no source, so no element is the driver");
    return feed;
}

void SkipLoads(Lines& lines, std::vector<std::string>& notes) {
    lines.Take("the load block");
    const int count = Count(lines, lines.Take("the load block"), "the number of loads");
    for (int i = 0; i < count; ++i) lines.Take("the last load");
    if (count > 0) notes.push_back(std::to_string(count) + " load(s) are not kept");
}

// The ground line's height: a whole number of metres is the project's
// HEIGHT; any other is added to the elements' heights.
double GroundHeight(Lines& lines, std::vector<std::string>& notes) {
    lines.Take("the segmentation block");
    if (Fields(lines.Take("the segmentation line")) !=
        std::vector<std::string>{"800", "80", "2.0", "2"})
        notes.push_back("MMANA's segmentation settings are not kept");
    lines.Take("the ground block");
    const std::vector<std::string> fields = Fields(lines.Take("the ground line"));
    if (fields.size() < 2) Refuse(lines.Text(), lines.Line(), "the ground line has no height");
    std::string height = fields[1];
    for (char& c : height)
        if (c == ',') c = '.';
    return Number(lines, height, "the ground height");
}

}  // namespace

ImportedDesign ReadMaa(const SourceText& text) {
    Lines lines(text);
    DesignOutline outline{lines.Take("the title"), 0, 0, {}, std::nullopt, {}};
    if (lines.Take("the line \"*\"").rfind('*', 0) != 0)
        Refuse(text, lines.Line(), "the second line of an MMANA model is \"*\"");
    const std::vector<std::string> f0 = Fields(lines.Take("the frequency"));
    outline.f0 = f0.size() == 1 ? Number(lines, f0[0], "the frequency") : -1;
    if (!(outline.f0 > 0)) Refuse(text, lines.Line(), "the frequency is not a number above 0");
    lines.Take("the wire block");
    const int count = Count(lines, lines.Take("the wire block"), "the number of wires");
    std::vector<FileWire> wires;
    bool manualSegments = false;
    for (int i = 0; i < count; ++i)
        wires.push_back(WireOf(lines, lines.Take("the last wire"), manualSegments));
    if (manualSegments) outline.notes.push_back("the wires' own segment counts are not kept");
    const std::optional<FileFeed> feed = ReadSources(lines, wires.size(), outline.notes);
    SkipLoads(lines, outline.notes);
    const double height = GroundHeight(lines, outline.notes);
    WireElements found = GatherElements(text, wires, feed);
    if (height == std::round(height) && std::fabs(height) < 1e6) {
        outline.height = static_cast<int>(height);
    } else {
        for (OutlineElement& element : found.elements)
            element.height = Rounded9(element.height + height);
        outline.notes.push_back(
            "the ground height is not whole metres, so it is added to the "
            "elements' heights");
    }
    return DesignFromWires(std::move(outline), std::move(found));
}

}  // namespace velkora
