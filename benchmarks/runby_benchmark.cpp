#include "runby_rules.h"

#include <benchmark/benchmark.h>

#include <string>
#include <utility>
#include <vector>

using runby::UnitMode;

namespace {

// One speed in every range of both modes, each evaluation formatting its texts.
const std::vector<std::pair<UnitMode, std::string>> kSpeeds{
    {UnitMode::Imperial, "-5"},
    {UnitMode::Imperial, "50"},
    {UnitMode::Imperial, "150"},
    {UnitMode::Imperial, "100.00001"},
    {UnitMode::Imperial, "250"},
    {UnitMode::Imperial, "1e-9"},
    {UnitMode::Metric, "0"},
    {UnitMode::Metric, "0.25"},
    {UnitMode::Metric, "0.75"},
    {UnitMode::Metric, "2"},
    {UnitMode::Metric, ".499999995"},
    {UnitMode::Metric, "1e306"},
};

void computeRunbyEveryRange(benchmark::State &state)
{
    std::size_t next = 0;
    for (auto _ : state) {
        const auto &[mode, speed] = kSpeeds[next];
        benchmark::DoNotOptimize(runby::computeRunby(mode, speed));
        next = (next + 1) % kSpeeds.size();
    }
}
BENCHMARK(computeRunbyEveryRange);

void computeRunbyOneRange(benchmark::State &state)
{
    const auto &[mode, speed] = kSpeeds[static_cast<std::size_t>(state.range(0))];
    state.SetLabel(speed);
    for (auto _ : state)
        benchmark::DoNotOptimize(runby::computeRunby(mode, speed));
}
BENCHMARK(computeRunbyOneRange)->DenseRange(0, static_cast<int>(kSpeeds.size()) - 1);

} // namespace

BENCHMARK_MAIN();
