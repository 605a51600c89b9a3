// What velkora-cli solve reads from a report of nec2c: per frequency the
// source's impedance and the total power gains of the pattern, and the
// figures a Yagi is judged by.
#pragma once

#include <string_view>
#include <vector>

namespace velkora {

struct PatternGain {
    double theta;  // degrees
    double phi;    // degrees
    double total;  // dBi
};

struct FrequencyReport {
    double mhz = 0;
    double resistance = 0;  // ohm, at the source
    double reactance = 0;   // ohm
    std::vector<PatternGain> pattern;
};

// One entry per "FREQUENCY" block of the report, in its order. Throws
// Failure when a block lacks the input parameters or a pattern.
std::vector<FrequencyReport> ParseNecReport(std::string_view report);

struct YagiFigures {
    double mhz;
    double forwardGain;  // dBi, the best total gain towards forwardAzimuth
    double frontToBack;  // dB, that minus the gain at the same elevation behind
    double resistance;
    double reactance;
    double swr;  // against the reference impedance
};

// Throws Failure when the pattern has no point towards forwardAzimuth or
// behind it.
YagiFigures FiguresOf(const FrequencyReport& report, double forwardAzimuth, double z0);

}  // namespace velkora
