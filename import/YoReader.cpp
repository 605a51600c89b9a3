// SPDX-License-Identifier: GPL-3.0-or-later
// Reads a Yagi Optimizer file: title, options, frequency, the elements line,
// then taper lines (tube diameters) and length lines (one element each).
#include <charconv>
#include <cmath>
#include <map>

#include "DesignOutline.h"
#include "Readers.h"

namespace velkora {

namespace {

constexpr double kSpeedOfLight = 299.792458;  // metres times MHz
constexpr double kWavelengths = -1;           // a unit that needs F0

// Metres per unit, by the unit's first two letters or its sign.
double UnitOf(std::string_view word) {
    static const std::map<std::string, double> units = {
        {"fe", 0.3048}, {"ft", 0.3048},       {"'", 0.3048},      {"in", 0.0254}, {"\"", 0.0254},
        {"me", 1.0},    {"m", 1.0},           {"ce", 0.01},       {"cm", 0.01},   {"mi", 0.001},
        {"mm", 0.001},  {"wa", kWavelengths}, {"w", kWavelengths}};
    const auto found = units.find(LowerCase(word.substr(0, 2)));
    return found == units.end() ? 0 : found->second;
}

struct YoHeader {
    std::string title;
    double f0 = 0;
    double heightValue = 0;
    std::string heightUnit;
    std::size_t count = 0;
    double unitM = 0;
    std::vector<std::string> notes;
};

std::vector<std::string_view> Words(const std::string& line) { return Tokens(line, " \t,"); }

void ReadHeight(const SourceText& text, std::size_t line, YoHeader& header) {
    const std::string& whole = text.lines[line - 1];
    std::size_t from = LowerCase(whole).find("height") + 6;
    while (from < whole.size() && std::isspace(static_cast<unsigned char>(whole[from]))) ++from;
    const char* end = whole.data() + whole.size();
    const auto [rest, error] = std::from_chars(whole.data() + from, end, header.heightValue);
    if (error != std::errc() || header.heightValue < 0)
        Refuse(text, line, "the height is not a number of 0 or more");
    header.heightUnit =
        std::string(Words(std::string(rest, end)).empty() ? std::string_view()
                                                          : Words(std::string(rest, end)).front());
    if (!header.heightUnit.empty() && UnitOf(header.heightUnit) == 0)
        Refuse(text, line, "the height's unit \"" + header.heightUnit + "\" is unknown");
}

void ReadOption(const SourceText& text, std::size_t line, YoHeader& header) {
    const std::string word = LowerCase(Words(text.lines[line - 1]).front());
    if (word == "height") return ReadHeight(text, line, header);
    if (word == "stacked")
        header.notes.push_back("stacking is not kept");
    else if (word == "dual" || word == "klm")
        header.notes.push_back("the Dual (KLM) driven element is not kept");
    else
        header.notes.push_back("the material (" + text.lines[line - 1] + ") is not kept");
}

}  // namespace

namespace {

// Splits a trailing KHz, MHz or GHz off a word ("14.35MHz", or the unit
// alone); the power of 1000 that takes its numbers to MHz.
int SplitFrequencyUnit(std::string_view& word) {
    static const std::pair<const char*, int> kUnits[] = {{"khz", -1}, {"mhz", 0}, {"ghz", 1}};
    const std::string lower = LowerCase(word);
    for (const auto& [unit, power] : kUnits) {
        if (lower.size() >= 3 && lower.compare(lower.size() - 3, 3, unit) == 0) {
            word.remove_suffix(3);
            return power;
        }
    }
    return 0;
}

bool IsFrequencyLine(const std::string& line) {
    std::string_view first = Words(line).front();
    SplitFrequencyUnit(first);
    return NumberOf(first).has_value();
}

// One frequency, or low, middle, high and a matching frequency; F0 is the
// middle of a band.
void ReadFrequency(const SourceText& text, std::size_t line, YoHeader& header) {
    std::vector<std::string_view> words = Words(text.lines[line - 1]);
    const int power = SplitFrequencyUnit(words.back());
    if (words.back().empty()) words.pop_back();
    std::vector<double> values;
    for (std::string_view word : words) {
        const std::optional<double> value = NumberOf(word);
        if (!value || !(*value > 0))
            Refuse(text, line,
                   "the frequency \"" + std::string(word) + "\" is not a number above 0");
        // Dividing by 1000 keeps 144300 kHz at the double nearest 144.3.
        values.push_back(power < 0 ? *value / 1000 : power > 0 ? *value * 1000 : *value);
    }
    if (values.size() != 1 && values.size() != 3 && values.size() != 4)
        Refuse(text, line,
               "a frequency line has one frequency, or low, middle and high and an optional "
               "matching frequency");
    header.f0 = values.size() == 1 ? values[0] : values[1];
}

// "N elements, UNIT".
void ReadCount(const SourceText& text, std::size_t line, YoHeader& header) {
    const std::vector<std::string_view> words = Words(text.lines[line - 1]);
    const std::optional<double> count = words.empty() ? std::nullopt : NumberOf(words[0]);
    if (words.size() < 3 || !count || *count < 1 || *count != std::floor(*count) || *count > 1000 ||
        LowerCase(words[1]).rfind("element", 0) != 0)
        Refuse(text, line, "expected \"N elements, UNIT\", for example \"5 elements, inches\"");
    header.count = static_cast<std::size_t>(*count);
    header.unitM = UnitOf(words[2]);
    if (header.unitM == 0)
        Refuse(text, line,
               "the unit \"" + std::string(words[2]) +
                   "\" is none of feet, inches, meters, centimeters, millimeters, wavelengths");
    if (header.unitM == kWavelengths) header.unitM = kSpeedOfLight / header.f0;
}

bool Blank(const std::string& line) { return Words(line).empty(); }

// Reads up to the elements line; returns the number of the line after it.
std::size_t ReadHeader(const SourceText& text, YoHeader& header) {
    header.title = std::string(text.lines[0]);
    std::size_t line = 2;
    const auto next = [&](const char* what) {
        while (line <= text.lines.size() && Blank(text.lines[line - 1])) ++line;
        if (line > text.lines.size())
            Refuse(text, text.lines.size(), std::string("the file ends before ") + what);
        return line++;
    };
    std::size_t at = next("the frequency line");
    while (!IsFrequencyLine(text.lines[at - 1])) {
        ReadOption(text, at, header);
        at = next("the frequency line");
    }
    ReadFrequency(text, at, header);
    ReadCount(text, next("the \"N elements, UNIT\" line"), header);
    return line;
}

}  // namespace

namespace {

struct Table {
    std::vector<double> diameters;  // file units, from the boom out
    bool spacing = false;
    double previous = 0;  // the last element's position, file units
};

std::vector<double> Numbers(const SourceText& text, std::size_t line,
                            const std::vector<std::string_view>& words) {
    std::vector<double> values;
    for (std::string_view word : words) {
        const std::optional<double> value = NumberOf(word);
        if (!value) Refuse(text, line, "\"" + std::string(word) + "\" is not a number");
        values.push_back(*value);
    }
    return values;
}

OutlineElement ElementOf(const SourceText& text, std::size_t line, const std::vector<double>& v,
                         Table& table, const YoHeader& header) {
    if (table.diameters.empty())
        Refuse(text, line, "a length line comes before any taper line, so its tubes are unknown");
    if (v.size() - 1 > table.diameters.size())
        Refuse(text, line,
               "the line has " + std::to_string(v.size() - 1) +
                   " section lengths, the taper line " + std::to_string(table.diameters.size()) +
                   " diameters");
    const double position = table.spacing ? table.previous + v[0] : v[0];
    table.previous = position;
    const double lambda = kSpeedOfLight / header.f0;
    const bool tipToTip =
        table.diameters.size() == 1 && v.size() == 2 && v[1] * header.unitM > 0.3 * lambda;
    OutlineElement element{Rounded9(position * header.unitM), 0, {}};
    double end = 0;
    for (std::size_t i = 1; i < v.size(); ++i) {
        if (v[i] < 0) Refuse(text, line, "a section length is negative");
        if (v[i] == 0) continue;
        end += tipToTip ? v[i] / 2 : v[i];
        const double diameter = std::round(table.diameters[i - 1] * header.unitM * 1e9) / 1e6;
        element.tubes.push_back({diameter, Rounded9(end * header.unitM)});
    }
    if (element.tubes.empty()) Refuse(text, line, "the element has no length");
    return element;
}

}  // namespace

ImportedDesign ReadYo(const SourceText& text) {
    YoHeader header;
    std::size_t line = ReadHeader(text, header);
    const double lambda = kSpeedOfLight / header.f0;
    const double height = header.heightUnit.empty() ? header.heightValue * header.unitM
                          : UnitOf(header.heightUnit) == kWavelengths
                              ? header.heightValue * lambda
                              : header.heightValue * UnitOf(header.heightUnit);
    DesignOutline outline{header.title, header.f0, 0, {}, std::nullopt, std::move(header.notes)};
    Table table;
    for (; outline.elements.size() < header.count; ++line) {
        if (line > text.lines.size())
            Refuse(text, text.lines.size(),
                   "the file ends after " + std::to_string(outline.elements.size()) + " of its " +
                       std::to_string(header.count) + " elements");
        std::vector<std::string_view> words = Words(text.lines[line - 1]);
        if (words.empty()) continue;
        const bool spacing = LowerCase(words.front()) == "spacing";
        if (spacing) words.erase(words.begin());
        const std::vector<double> values = Numbers(text, line, words);
        double sum = 0;
        for (double value : values) sum += std::fabs(value) * header.unitM;
        // Diameters add up to little; an element's position and half-length
        // reach beyond a sixth of a wavelength.
        if (spacing || sum <= 0.15 * lambda) {
            if (values.empty() || values.size() > 20)
                Refuse(text, line, "a taper line lists 1 to 20 tube diameters");
            for (double value : values)
                if (!(value > 0)) Refuse(text, line, "a tube diameter is not above 0");
            table = Table{values, spacing, table.previous};
            continue;
        }
        outline.elements.push_back(ElementOf(text, line, values, table, header));
        outline.elements.back().height = Rounded9(height);
    }
    outline.feed = FeedPoint{outline.elements.size() > 1 ? 1u : 0u, 0.0, WirePlace::Middle};
    return BuildDesign(std::move(outline));
}

}  // namespace velkora
