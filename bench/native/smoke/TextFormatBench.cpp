// How the program's formatter compares with snprintf on a typical status text.
#include "framework/TextFormat.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

static void formatStatus(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(Plinth::formatText("%s: %d of %d services (%s)", "Stopping", 12, 340, "remote"));
}
BENCHMARK(formatStatus)->Name("text-format:ours");

static void snprintfStatus(benchmark::State& state)
{
    for (auto _ : state) {
        char buffer[128];
        std::snprintf(buffer, sizeof buffer, "%s: %d of %d services (%s)", "Stopping", 12, 340, "remote");
        benchmark::DoNotOptimize(std::string(buffer));
    }
}
BENCHMARK(snprintfStatus)->Name("text-format:baseline");

BENCHMARK_MAIN();
