// SPDX-License-Identifier: GPL-3.0-or-later
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "engine/BoltCircle.h"
#include "engine/HoleTable.h"
#include "engine/Indexing.h"

namespace {

void BM_BuildThis(benchmark::State& state) {
    const std::string count = std::to_string(state.range(0));
    std::size_t bytes = 0;
    for (auto _ : state) {
        const morvanta::BuildResult result = morvanta::BuildThisTable(count);
        bytes = result.value().size();
        benchmark::DoNotOptimize(result.value().data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_BuildThis)->Arg(7)->Arg(360)->Arg(400)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BuildThis)->Arg(7'000'000)->Unit(benchmark::kMillisecond)->Iterations(3);

// The yardstick the table builder is measured against: the same loop with each angle written by
// printf's %.14E, which is exact but general. Only the formatting differs, not the field rules.
// One pass takes seconds, long enough to time on its own.
void BM_BuildThisWithPrintf(benchmark::State& state) {
    const double step = 360.0 / static_cast<double>(state.range(0));
    for (auto _ : state) {
        std::string table;
        table.reserve(static_cast<std::size_t>(state.range(0)) * 11 + 64);
        char buf[32];
        for (double a = 0; a <= 359; a += step) {
            const int n = std::snprintf(buf, sizeof buf, "%.14E", a);
            table.append(buf, static_cast<std::size_t>(n));
            table += "\r\n";
        }
        benchmark::DoNotOptimize(table.data());
    }
}
BENCHMARK(BM_BuildThisWithPrintf)->Arg(7'000'000)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_BuildAll(benchmark::State& state, const char* to) {
    for (auto _ : state) {
        const morvanta::BuildResult result = morvanta::BuildAllTable("2", to);
        benchmark::DoNotOptimize(result.value().data());
    }
}
BENCHMARK_CAPTURE(BM_BuildAll, to100, "100")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_BuildAll, to1e9, "1e9")->Unit(benchmark::kMicrosecond);

// `morvanta-table index 10000`: the plan and its 10,000 division lines, as the command makes them.
void BM_IndexTable(benchmark::State& state) {
    const std::string count = std::to_string(state.range(0));
    std::size_t bytes = 0;
    for (auto _ : state) {
        const morvanta::Result<morvanta::IndexPlan> plan =
            morvanta::planIndex(morvanta::Inputs{{"count", count}});
        const std::string text = morvanta::indexText(plan.value());
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_IndexTable)->Arg(127)->Arg(10'000)->Unit(benchmark::kMillisecond);

// `morvanta-table index --survey 1 100000`, as text and as CSV.
void BM_IndexSurvey(benchmark::State& state, bool csv) {
    std::size_t bytes = 0;
    for (auto _ : state) {
        const morvanta::Result<morvanta::SurveyPlan> plan =
            morvanta::planSurvey(morvanta::Inputs{{"from", "1"}, {"to", "100000"}});
        const std::string text =
            csv ? morvanta::surveyCsv(plan.value()) : morvanta::surveyText(plan.value());
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK_CAPTURE(BM_IndexSurvey, text, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_IndexSurvey, csv, true)->Unit(benchmark::kMillisecond);

// A bolt circle planned (every X and Y correctly rounded) and written. "readout": a 100 mm circle
// at 4 decimals, which long double decides almost everywhere; "wide": a radius of nine digits and
// nine decimals at 8 decimals, too long for long double, so that nearly every coordinate is
// decided in fixed point.
void BM_BoltCircle(benchmark::State& state, const char* radius, const char* decimals,
                   bool program) {
    morvanta::Inputs inputs{{"count", std::to_string(state.range(0))},
                            {"radius", radius},
                            {"centre", "10,-5"},
                            {"start", "15"},
                            {"decimals", decimals}};
    if (program) {
        for (const auto& [id, text] :
             {std::pair{"depth", "-5"}, std::pair{"retract", "2"}, std::pair{"feed", "100"}}) {
            inputs.set(id, text);
        }
    }
    std::size_t bytes = 0;
    for (auto _ : state) {
        const morvanta::Result<morvanta::Made> made =
            morvanta::makeRequest(morvanta::kBoltCircleCalculation, inputs);
        const std::string text = program ? made.value().gcode->write() : made.value().sheet.write();
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK_CAPTURE(BM_BoltCircle, readout, "50", "4", false)
    ->Arg(6)
    ->Arg(10'000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BoltCircle, gcode, "50", "4", true)
    ->Arg(10'000)
    ->Unit(benchmark::kMillisecond);
// The widest radius there is, below 500000000 so that its diameter has nine digits.
BENCHMARK_CAPTURE(BM_BoltCircle, wide, "487654321.987654321", "8", false)
    ->Arg(10'000)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
