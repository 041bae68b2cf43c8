// Reading and writing a settings file that carries a 5,000-row baseline,
// against pugixml parsing the same bytes.
#include "inventory/ServiceColumns.h"
#include "shell/Settings.h"
#include "xml/XmlDocument.h"

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <string>

namespace {

constexpr int rowCount = 5000;

using C = kelvane::ServiceColumns;

kelvane::ServiceTable sampleBaseline() {
    kelvane::ServiceTable table = C::newTable();
    for (int i = 0; i < rowCount; ++i) {
        const std::string name = "Service" + std::to_string(100000 + i);
        kelvane::TableRow row;
        row.cells.resize(C::count);
        auto text = [&](int index, const std::string& value) {
            row.cells[index] = kelvane::TableCell(kelvane::SharedText(value));
        };
        text(C::serviceName, name);
        text(C::displayName, "Sample service " + std::to_string(i) + " & helper");
        text(C::start, i % 3 ? "automatic" : "manual");
        text(C::status, i % 2 ? "started" : "-");
        text(C::account, i % 3 ? "LocalSystem" : "NT AUTHORITY\\LocalService");
        text(C::command, "C:\\Windows\\system32\\svchost.exe -k netsvcs -p " + name);
        text(C::time, "01.02.2026 03:04:05");
        row.cells[C::pid] = kelvane::TableCell::integer(1000 + i);
        row.cells[C::type] = kelvane::TableCell::integer(16 << (i % 2));
        row.cells[C::active] = kelvane::TableCell::integer(1 + i % 2);
        row.cells[C::typeImage] = kelvane::TableCell::integer(i % 6);
        table.addRow(std::move(row));
    }
    return table;
}

const kelvane::ServiceTable& baseline() {
    static const kelvane::ServiceTable table = sampleBaseline();
    return table;
}

kelvane::Settings sampleSettings() {
    kelvane::Settings settings;
    settings.placement = "100/80/900/600 - 1";
    settings.computerHistory = {"SERVER-1", "SERVER-2"};
    settings.searchHistory = {"svc*", "net"};
    return settings;
}

const std::string& fileBytes() {
    static const std::string bytes = kelvane::settingsDocument(sampleSettings(), baseline());
    return bytes;
}

} // namespace

// The whole read: parsing, the settings and the baseline table with its cells.
static void readOurs(benchmark::State& state) {
    const std::string& bytes = fileBytes();
    for (auto _ : state) {
        kelvane::XmlDocument document;
        document.readBytes(bytes, "bench");
        kelvane::Settings settings;
        kelvane::ServiceTable table = C::newTable();
        kelvane::readSettingsDocument(document, settings, table);
        benchmark::DoNotOptimize(table.rowCount());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}
BENCHMARK(readOurs)->Name("settings-read:ours");

// Parsing alone, and a walk over every attribute of every row.
static void readPugixml(benchmark::State& state) {
    const std::string& bytes = fileBytes();
    for (auto _ : state) {
        pugi::xml_document document;
        document.load_buffer(bytes.data(), bytes.size());
        size_t cells = 0;
        for (pugi::xml_node row : document.child("kelvane").child("last-entries").children("row")) {
            for (pugi::xml_attribute attribute : row.attributes()) {
                benchmark::DoNotOptimize(attribute.value());
                ++cells;
            }
        }
        benchmark::DoNotOptimize(cells);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}
BENCHMARK(readPugixml)->Name("settings-read:baseline");

// The document alone, without the settings and the table built from it.
static void parseOurs(benchmark::State& state) {
    const std::string& bytes = fileBytes();
    for (auto _ : state) {
        kelvane::XmlDocument document;
        document.readBytes(bytes, "bench");
        benchmark::DoNotOptimize(document.root().children.size());
    }
}
BENCHMARK(parseOurs)->Name("xml-parse:ours");
BENCHMARK(readPugixml)->Name("xml-parse:baseline");

static void writeOurs(benchmark::State& state) {
    const kelvane::Settings settings = sampleSettings();
    for (auto _ : state) {
        benchmark::DoNotOptimize(kelvane::settingsDocument(settings, baseline()));
    }
}
BENCHMARK(writeOurs)->Name("settings-write:ours");

// Writing is measured against our own reading of the same file.
BENCHMARK(readOurs)->Name("settings-write:baseline");

BENCHMARK_MAIN();
