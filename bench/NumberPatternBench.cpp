// SPDX-License-Identifier: GPL-3.0-or-later
// NumberPattern against std::to_chars with three fixed decimals, over the
// same million values of the magnitudes antenna models hold.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "NumberPattern.h"

namespace {

using velkora::CompiledPattern;
using velkora::NumberTextBuffer;
using velkora::RegionalMarks;

const std::vector<double>& Values() {
    static const std::vector<double> values = [] {
        std::mt19937_64 random(42);
        std::uniform_real_distribution<double> power(-4, 6);
        std::uniform_real_distribution<double> mantissa(1, 10);
        std::vector<double> v(1000000);
        for (std::size_t i = 0; i < v.size(); ++i) {
            const double magnitude = mantissa(random) * std::pow(10.0, std::floor(power(random)));
            v[i] = i % 3 == 0 ? -magnitude : magnitude;
        }
        return v;
    }();
    return values;
}

void PerValue(benchmark::State& state) {
    state.counters["per_value"] = benchmark::Counter(
        static_cast<double>(Values().size()),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_ToCharsFixed3(benchmark::State& state) {
    char text[64];
    for (auto _ : state) {
        for (const double value : Values()) {
            const auto result =
                std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 3);
            benchmark::DoNotOptimize(result.ptr);
            benchmark::ClobberMemory();
        }
    }
    PerValue(state);
}
BENCHMARK(BM_ToCharsFixed3)->Unit(benchmark::kMillisecond);

void BM_NumberPatternBuffer(benchmark::State& state, const char* pattern) {
    const CompiledPattern compiled(pattern);
    const RegionalMarks marks;
    NumberTextBuffer buffer;
    for (auto _ : state) {
        for (const double value : Values()) {
            const std::string_view text = velkora::NumberPattern(buffer, compiled, value, marks);
            benchmark::DoNotOptimize(text.data());
            benchmark::ClobberMemory();
        }
    }
    PerValue(state);
}

void BM_NumberPatternString(benchmark::State& state, const char* pattern) {
    const RegionalMarks marks;
    for (auto _ : state) {
        for (const double value : Values()) {
            std::string text = velkora::NumberPattern(pattern, value, marks);
            benchmark::DoNotOptimize(text.data());
            benchmark::ClobberMemory();
        }
    }
    PerValue(state);
}

#define VELKORA_PATTERN_BENCH(function, pattern) \
    BENCHMARK_CAPTURE(function, pattern, pattern)->Unit(benchmark::kMillisecond)

VELKORA_PATTERN_BENCH(BM_NumberPatternBuffer, "#####0.0##");
VELKORA_PATTERN_BENCH(BM_NumberPatternBuffer, "###,##0.###");
VELKORA_PATTERN_BENCH(BM_NumberPatternBuffer, "#####0.0####");
VELKORA_PATTERN_BENCH(BM_NumberPatternString, "#####0.0##");
VELKORA_PATTERN_BENCH(BM_NumberPatternString, "###,##0.###");
VELKORA_PATTERN_BENCH(BM_NumberPatternString, "#####0.0####");

}  // namespace

BENCHMARK_MAIN();
