// 65,535 service-like rows of 17 columns: the whole workbook stream against
// a bare loop that writes the same ROW and LABELSST bytes with no cell
// model, format layer or string sharing; and the CSV form against a bare
// copy of the texts with separators.
#include "export/BiffRecord.h"
#include "export/CsvWriter.h"
#include "export/ExportSheet.h"
#include "export/Workbook.h"

#include <benchmark/benchmark.h>

#include <sstream>

using namespace kelvane;

namespace {

const ExportSheet& serviceRows() {
    static const ExportSheet sheet = [] {
        ExportSheet s;
        for (int c = 0; c < 17; ++c) {
            s.columns.push_back({"Column " + std::to_string(c), c == 5 ? u"0" : u"General",
                                 uint8_t(c == 5 ? 3 : 0)});
        }
        const char* states[] = {"Running", "Stopped"};
        for (int r = 0; r < 65535; ++r) {
            std::vector<std::string> cells;
            for (int c = 0; c < 17; ++c) {
                if (c == 0) {
                    cells.push_back("service" + std::to_string(r));
                } else if (c == 4) {
                    cells.push_back(states[r % 2]);
                } else if (c == 7) {
                    cells.push_back("C:\\Windows\\system32\\svchost.exe -k group" +
                                    std::to_string(r % 40));
                } else {
                    cells.push_back("value " + std::to_string((r * 17 + c) % 5000));
                }
            }
            s.rows.push_back(cells);
        }
        return s;
    }();
    return sheet;
}

void xlsOurs(benchmark::State& state) {
    const auto& rows = serviceRows();
    for (auto _ : state) {
        Workbook workbook;
        fillWorkbook(workbook, rows);
        benchmark::DoNotOptimize(workbook.buildStream());
    }
}
BENCHMARK(xlsOurs)->Name("xls-65535:ours")->Unit(benchmark::kMillisecond);

void xlsBaseline(benchmark::State& state) {
    const auto& rows = serviceRows();
    for (auto _ : state) {
        biff::Bytes out;
        uint32_t sst = 0;
        for (size_t r = 0; r <= rows.rows.size(); ++r) {
            biff::putHeader(out, biff::kRow, 16);
            biff::put16(out, static_cast<unsigned>(r));
            for (unsigned v : {0u, 17u, 255u, 0u, 0u, 0x100u, 0u}) {
                biff::put16(out, v);
            }
            for (unsigned c = 0; c < 17; ++c) {
                biff::putHeader(out, biff::kLabelSst, 10);
                biff::put16(out, static_cast<unsigned>(r));
                biff::put16(out, c);
                biff::put16(out, 22);
                biff::put32(out, sst++);
            }
        }
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(xlsBaseline)->Name("xls-65535:baseline")->Unit(benchmark::kMillisecond);

void csvOurs(benchmark::State& state) {
    const auto& rows = serviceRows();
    for (auto _ : state) {
        std::ostringstream out;
        writeCsv(out, rows);
        benchmark::DoNotOptimize(out.str());
    }
}
BENCHMARK(csvOurs)->Name("csv-65535:ours")->Unit(benchmark::kMillisecond);

void csvBaseline(benchmark::State& state) {
    const auto& rows = serviceRows();
    for (auto _ : state) {
        std::string out;
        for (const auto& row : rows.rows) {
            for (const auto& cell : row) {
                out += cell;
                out += ';';
            }
            out += '\n';
        }
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(csvBaseline)->Name("csv-65535:baseline")->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
