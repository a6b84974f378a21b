// Speed of opening the consist editor, and of the consist list, on an installation
// of 5,000 stock items and 2,000 consists.
//
// Opening the editor is what a consist window in mode 1 does: load the consist
// and list the installed stock. Prints Google Benchmark's table, then a summary.

#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "StockInstallation.h"
#include "documents/ConsistEditor.h"
#include "documents/ConsistFiles.h"
#include "documents/ConsistList.h"
#include "documents/StockList.h"

namespace {

namespace fs = std::filesystem;

constexpr int kStockItems = 5000;
constexpr int kConsists = 2000;

// The generated installation, made once and removed at the end.
const fs::path& Installation() {
    static const fs::path folder = [] {
        const fs::path path = fs::temp_directory_path() /
                              ("vantor-consist-bench-" + std::to_string(std::random_device{}()));
        vantor::bench::MakeStockInstallation(path, kStockItems, kConsists);
        return path;
    }();
    return folder;
}

// Returns the path of the consist used by iteration i, cycling through all sizes.
std::string ConsistName(std::int64_t i) {
    char name[32];
    std::snprintf(name, sizeof name, "Consist%05d", static_cast<int>(i % kConsists));
    return vantor::ConsistPath(Installation().string(), name);
}

void BM_LoadConsist(benchmark::State& state) {
    Installation();  // made before the timing starts
    std::int64_t i = 0;
    for (auto _ : state) {
        vantor::ConsistEditor editor;
        editor.Load(ConsistName(i++));
        benchmark::DoNotOptimize(editor.Rows().data());
    }
}

void BM_ScanStock(benchmark::State& state) {
    const std::string folder = Installation().string();
    for (auto _ : state) {
        auto rows = vantor::ScanStock(folder, "");
        if (rows.size() != static_cast<std::size_t>(kStockItems)) {
            state.SkipWithError("ScanStock found the wrong number of rows");
        }
        benchmark::DoNotOptimize(rows.data());
    }
}

void BM_OpenConsistEditor(benchmark::State& state) {
    const std::string folder = Installation().string();
    std::int64_t i = 0;
    for (auto _ : state) {
        vantor::ConsistEditor editor;
        editor.Load(ConsistName(i++));
        auto rows = vantor::ScanStock(folder, "");
        benchmark::DoNotOptimize(editor.Rows().data());
        benchmark::DoNotOptimize(rows.data());
    }
}

void BM_ListConsists(benchmark::State& state) {
    const std::string folder = Installation().string();
    for (auto _ : state) {
        auto names = vantor::ListConsists(folder, "");
        if (names.size() != static_cast<std::size_t>(kConsists)) {
            state.SkipWithError("ListConsists found the wrong number of consists");
        }
        benchmark::DoNotOptimize(names.data());
    }
}

BENCHMARK(BM_LoadConsist)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(BM_ScanStock)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_OpenConsistEditor)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ListConsists)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    vantor::bench::SummaryReporter reporter;
    if (!vantor::bench::RunBenchmarks(argc, argv, reporter)) {
        return 1;
    }

    std::printf("\nInstallation: %d stock items, %d consists of 5 to 44 vehicles\n", kStockItems,
                kConsists);
    for (const auto& [name, milliseconds] : reporter.m_milliseconds) {
        std::printf("%-22s %10.3f ms\n", name.c_str() + 3, milliseconds);
    }
    std::error_code ec;
    fs::remove_all(Installation(), ec);
    return 0;
}
