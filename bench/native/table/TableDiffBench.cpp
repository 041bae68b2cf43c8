// One step of a refresh: the difference of the reader's and the shown table,
// then the copy of the reader's table into the shown one, for 10,000 services
// of which 1% changed. The baseline does the same merge walk and copy over
// plain maps of the same strings.
#include "inventory/ServiceColumns.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

using namespace kelvane;

namespace {

constexpr int rowCount = 10000;

using PlainTable = std::map<std::string, std::vector<std::string>>;

// Fifteen texts shaped like a service's columns.
std::vector<std::string> serviceTexts(int n, bool changed) {
    char name[32];
    std::snprintf(name, sizeof name, "svc%05dHost", n);
    const std::string s = name;
    return {s,
            "Display name of service " + s,
            "own process",
            "automatic",
            changed ? "-" : "started",
            changed ? "" : std::to_string(1000 + n),
            "LocalSystem",
            "C:\\Windows\\system32\\svchost.exe -k " + s,
            "C:\\Windows\\system32\\svchost.exe",
            "16",
            "2",
            changed ? "2" : "1",
            changed ? "4" : "5",
            "01.02.2026 03:04:05",
            ""};
}

struct Fixture {
    ServiceTable reader = ServiceColumns::newTable();
    ServiceTable shown = ServiceColumns::newTable();
    PlainTable plainReader, plainShown;

    Fixture() {
        for (int n = 0; n < rowCount; ++n) {
            const auto before = serviceTexts(n, false);
            const auto after = serviceTexts(n, n % 100 == 0);
            plainShown[before[0]] = before;
            plainReader[after[0]] = after;
            shown.addRow(rowOf(before));
            reader.addRow(rowOf(after));
        }
    }

    static TableRow rowOf(const std::vector<std::string>& texts) {
        TableRow row;
        for (const auto& text : texts) {
            row.cells.push_back(TableCell(SharedText(text)));
        }
        return row;
    }
};

const Fixture& fixture() {
    static const Fixture f;
    return f;
}

void diffAssignOurs(benchmark::State& state) {
    const Fixture& f = fixture();
    ServiceTable target(f.shown);
    for (auto _ : state) {
        ServiceTable difference = ServiceTable::diff(f.reader, target);
        target.assign(f.reader);
        benchmark::DoNotOptimize(difference.rowCount());
        state.PauseTiming();
        target.assign(f.shown);
        state.ResumeTiming();
    }
}
BENCHMARK(diffAssignOurs)->Name("table-diff-assign:ours")->Unit(benchmark::kMicrosecond);

struct PlainRow {
    std::vector<std::string> cells;
    unsigned mark;
};

std::map<std::string, PlainRow> plainDiff(const PlainTable& newer, const PlainTable& older) {
    std::map<std::string, PlainRow> result;
    auto n = newer.begin();
    auto o = older.begin();
    while (n != newer.end() || o != older.end()) {
        const int order =
            n == newer.end() ? 1 : (o == older.end() ? -1 : n->first.compare(o->first));
        if (order > 0) {
            result.emplace_hint(result.end(), o->first, PlainRow{o->second, 255});
            ++o;
        } else if (order < 0) {
            result.emplace_hint(result.end(), n->first, PlainRow{n->second, 0});
            ++n;
        } else {
            if (n->second != o->second) {
                result.emplace_hint(result.end(), n->first, PlainRow{n->second, 0});
            }
            ++n;
            ++o;
        }
    }
    return result;
}

void diffAssignBaseline(benchmark::State& state) {
    const Fixture& f = fixture();
    PlainTable target = f.plainShown;
    for (auto _ : state) {
        auto difference = plainDiff(f.plainReader, target);
        target = f.plainReader;
        benchmark::DoNotOptimize(difference.size());
        state.PauseTiming();
        target = f.plainShown;
        state.ResumeTiming();
    }
}
BENCHMARK(diffAssignBaseline)->Name("table-diff-assign:baseline")->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
