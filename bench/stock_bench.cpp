// Speed of the installed stock scan on an installation of 5,000 stock folders.
//
// Prints Google Benchmark's table, then ScanStock's time against the floor: the
// same folders listed with std::filesystem, keeping the names that the scan keeps.

#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "StockInstallation.h"
#include "documents/StockList.h"

namespace {

namespace fs = std::filesystem;

constexpr int kItems = 5000;

// The generated installation, made once and removed at the end.
const fs::path& Installation() {
    static const fs::path folder = [] {
        const fs::path path = fs::temp_directory_path() /
                              ("vantor-stock-bench-" + std::to_string(std::random_device{}()));
        vantor::bench::MakeStockInstallation(path, kItems);
        return path;
    }();
    return folder;
}

// Returns true when a file name has a three-character extension ending in g or G.
bool IsStockFile(const std::string& name) {
    return name.size() >= 4 && name[name.size() - 4] == '.' &&
           (name.back() == 'g' || name.back() == 'G');
}

void BM_Floor(benchmark::State& state) {
    const fs::path trainset = Installation() / "Trains" / "Trainset";
    for (auto _ : state) {
        std::vector<vantor::StockRow> rows;
        for (const fs::directory_entry& folder : fs::directory_iterator(trainset)) {
            const std::string folderName = folder.path().filename().string();
            if (folderName.find('.') != std::string::npos || !folder.is_directory()) {
                continue;
            }
            for (const fs::directory_entry& file : fs::directory_iterator(folder.path())) {
                std::string name = file.path().filename().string();
                if (IsStockFile(name) && file.is_regular_file()) {
                    const bool engine = name.ends_with("eng");
                    name.resize(name.size() - 4);
                    rows.push_back({engine ? "Engine" : "Wagon", folderName, std::move(name)});
                }
            }
        }
        benchmark::DoNotOptimize(rows);
        if (rows.size() != static_cast<std::size_t>(kItems)) {
            state.SkipWithError("the floor found the wrong number of rows");
        }
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}

void BM_ScanStock(benchmark::State& state) {
    const std::string folder = Installation().string();
    for (auto _ : state) {
        auto rows = vantor::ScanStock(folder, "");
        benchmark::DoNotOptimize(rows);
        if (rows.size() != static_cast<std::size_t>(kItems)) {
            state.SkipWithError("ScanStock found the wrong number of rows");
        }
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}

BENCHMARK(BM_Floor)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ScanStock)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    vantor::bench::SummaryReporter reporter;
    if (!vantor::bench::RunBenchmarks(argc, argv, reporter)) {
        return 1;
    }

    const auto& t = reporter.m_milliseconds;
    std::printf("\nInstallation: %d stock items in %d folders\n", kItems, kItems);
    if (t.count("BM_Floor") && t.count("BM_ScanStock")) {
        std::printf("Floor (std::filesystem listing): %8.2f ms\n", t.at("BM_Floor"));
        std::printf("ScanStock:                       %8.2f ms\n", t.at("BM_ScanStock"));
        std::printf("ScanStock / floor time:          %8.2f\n",
                    t.at("BM_ScanStock") / t.at("BM_Floor"));
    }
    std::error_code ec;
    fs::remove_all(Installation(), ec);
    return 0;
}
