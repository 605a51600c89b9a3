// SPDX-License-Identifier: GPL-3.0-or-later
// Reads the input parameters and radiation patterns of a report of nec2c.
#include "NecReport.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <string>

#include "Failure.h"

namespace velkora {

namespace {

// The first fields of a line (at most `most`), split at blanks.
std::vector<std::string_view> Fields(std::string_view line, std::size_t most = 16) {
    std::vector<std::string_view> fields;
    fields.reserve(most);
    std::size_t at = 0;
    while (fields.size() < most) {
        at = line.find_first_not_of(" \t\r", at);
        if (at == std::string_view::npos) return fields;
        const std::size_t end = std::min(line.find_first_of(" \t\r", at), line.size());
        fields.push_back(line.substr(at, end - at));
        at = end;
    }
    return fields;
}

std::optional<double> Number(std::string_view text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// A row of the input parameters: TAG SEG V(re im) I(re im) Z(re im) ...
bool ReadImpedance(std::string_view line, FrequencyReport& report) {
    const std::vector<std::string_view> fields = Fields(line, 8);
    if (fields.size() < 8 || !Number(fields[0])) return false;
    const std::optional<double> r = Number(fields[6]);
    const std::optional<double> x = Number(fields[7]);
    if (!r || !x) return false;
    report.resistance = *r;
    report.reactance = *x;
    return true;
}

// A row of the pattern: THETA PHI VERTC HORIZ TOTAL ...
bool ReadGain(std::string_view line, FrequencyReport& report) {
    const std::vector<std::string_view> fields = Fields(line, 5);
    if (fields.size() < 5) return false;
    const std::optional<double> theta = Number(fields[0]);
    const std::optional<double> phi = Number(fields[1]);
    const std::optional<double> total = Number(fields[4]);
    if (!theta || !phi || !total) return false;
    report.patterns.back().push_back({*theta, *phi, *total});
    return true;
}

}  // namespace

std::vector<FrequencyReport> ParseNecReport(std::string_view report) {
    enum class Block { None, Input, Pattern } block = Block::None;
    std::vector<FrequencyReport> frequencies;
    bool impedance = false;
    std::size_t at = 0;
    while (at < report.size()) {
        const std::size_t end = std::min(report.find('\n', at), report.size());
        const std::string_view line = report.substr(at, end - at);
        at = end + 1;
        // Most lines are pattern rows: read them before looking for headings.
        if (block == Block::Pattern && ReadGain(line, frequencies.back())) continue;
        if (const std::size_t mark = line.find("FREQUENCY :"); mark != std::string_view::npos) {
            const std::vector<std::string_view> fields = Fields(line.substr(mark + 11));
            if (!fields.empty() && Number(fields[0])) {
                frequencies.push_back({*Number(fields[0]), 0, 0, {}});
                impedance = false;
            }
            block = Block::None;
        } else if (frequencies.empty()) {
            continue;
        } else if (line.find("ANTENNA INPUT PARAMETERS") != std::string_view::npos) {
            block = Block::Input;
        } else if (line.find("RADIATION PATTERNS") != std::string_view::npos) {
            block = Block::Pattern;
            frequencies.back().patterns.emplace_back();
        } else if (block == Block::Input && !impedance) {
            impedance = ReadImpedance(line, frequencies.back());
        }
    }
    if (frequencies.empty()) throw Failure("the report of nec2c holds no frequency");
    for (const FrequencyReport& frequency : frequencies)
        if (frequency.patterns.empty() || frequency.patterns.back().empty())
            throw Failure("the report of nec2c holds no radiation pattern");
    return frequencies;
}

int FrequenciesIn(std::string_view report) {
    int count = 0;
    for (std::size_t at = report.find("FREQUENCY :"); at != std::string_view::npos;
         at = report.find("FREQUENCY :", at + 1))
        ++count;
    return count;
}

}  // namespace velkora
