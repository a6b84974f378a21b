// Speed of a consist's facts and of replacing a stock item across the consists, on
// an installation of 20,000 stock items and 5,000 consists, each of which also
// holds the wagon "Shared". Prints Google Benchmark's table, then a summary with
// the replacement's time over the time of reading and writing the consists it changes.

#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "StockInstallation.h"
#include "corvane/TSFile.h"
#include "documents/ConsistFacts.h"
#include "documents/ReplaceStock.h"

namespace {

namespace fs = std::filesystem;

constexpr int kStockItems = 20000;
constexpr int kConsists = 5000;
constexpr int kFactsVehicles = 200;

std::string Utf16(const std::string& text) {
    std::string bytes;
    for (const char c : text) {
        bytes.push_back(c);
        bytes.push_back('\0');
    }
    return bytes;
}

void Write(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// A stock file with the figures the facts read, as the simulator writes them.
std::string StockText(bool engine) {
    std::string text =
        "SIMISA@@@@@@@@@@JINX0D0t______\r\n\r\nWagon ( W\r\n\tSize ( 3m 4.2m 18.5m )\r\n"
        "\tMass ( 62t )\r\n\tMaxBrakeForce ( 45kN )\r\n"
        "\tCoupling (\r\n\t\tSpring (\r\n\t\t\tBreak ( 1.2e6N 1e7N )\r\n\t\t)\r\n\t)\r\n)\r\n";
    if (engine) {
        text += "Engine ( E\r\n\tMaxPower ( 2200kW )\r\n\tMaxVelocity ( 70mph )\r\n)\r\n";
    }
    return "\xFF\xFE" + Utf16(text);
}

// The generated installation, made once and removed at the end.
const fs::path& Installation() {
    static const fs::path folder = [] {
        const fs::path path = fs::temp_directory_path() /
                              ("vantor-facts-bench-" + std::to_string(std::random_device{}()));
        vantor::bench::MakeStockInstallation(path, kStockItems, kConsists);
        const fs::path trainset = path / "Trains" / "Trainset";
        for (const char* name : {"Shared", "Other", "F0", "F1", "F2", "F3", "F4"}) {
            const bool engine = name[0] == 'F' && name[1] == '0';
            Write(trainset / name / (std::string(name) + (engine ? ".eng" : ".wag")),
                  StockText(engine));
        }
        // Every consist gets the wagon "Shared" as its last vehicle.
        const std::string end = Utf16("\t)\r\n)");
        const std::string shared = Utf16(
            "\t\tWagon (\r\n\t\t\tUiD ( 999 )\r\n\t\t\tWagonData ( Shared Shared )\r\n\t\t)\r\n");
        for (const auto& entry : fs::directory_iterator(path / "Trains" / "Consists")) {
            std::ifstream in(entry.path(), std::ios::binary);
            std::string bytes((std::istreambuf_iterator<char>(in)), {});
            in.close();
            bytes.resize(bytes.size() - end.size());
            Write(entry.path(), bytes + shared + end);
        }
        return path;
    }();
    return folder;
}

// The vehicles of a 200-vehicle consist of five kinds.
std::vector<vantor::VehicleRow> FactsRows() {
    std::vector<vantor::VehicleRow> rows;
    for (int i = 0; i < kFactsVehicles; ++i) {
        const std::string name = "F" + std::to_string(i % 5);
        rows.push_back({i % 5 == 0 ? "Engine" : "Wagon", name, name, i + 1});
    }
    return rows;
}

void BM_FactsCold(benchmark::State& state) {
    const std::string folder = Installation().string();
    const auto rows = FactsRows();
    for (auto _ : state) {
        vantor::FactsCache cache;
        const auto facts = vantor::ComputeFacts(rows, folder, 20.0, cache);
        if (cache.FilesRead() != 5 || !facts.partial.empty()) {
            state.SkipWithError("the facts did not read five whole stock files");
        }
        benchmark::DoNotOptimize(facts.mass.value);
    }
}

// As the consist window after an edit: the cache already holds the five files.
void BM_FactsWarm(benchmark::State& state) {
    const std::string folder = Installation().string();
    const auto rows = FactsRows();
    vantor::FactsCache cache;
    vantor::ComputeFacts(rows, folder, 20.0, cache);
    for (auto _ : state) {
        const auto facts = vantor::ComputeFacts(rows, folder, 20.0, cache);
        benchmark::DoNotOptimize(facts.mass.value);
    }
}

// The floor of a replacement: reading and writing every consist it changes.
void BM_ReadWriteConsists(benchmark::State& state) {
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(Installation() / "Trains" / "Consists")) {
        files.push_back(entry.path().string());
    }
    for (auto _ : state) {
        for (const std::string& file : files) {
            corvane::TSFile consist(file);
            consist.Load();
            consist.Save();
        }
    }
}

// Replaces "Shared" with "Other" in every consist, and back on the next run; the
// backups of each run are removed outside the timing.
void BM_ReplaceEverywhere(benchmark::State& state) {
    const std::string folder = Installation().string();
    bool forth = true;
    for (auto _ : state) {
        const vantor::StockRow shared{"Wagon", "Shared", "Shared"};
        const vantor::StockRow other{"Wagon", "Other", "Other"};
        const auto result =
            vantor::ReplaceStock(folder, {forth ? shared : other, forth ? other : shared});
        forth = !forth;
        state.PauseTiming();
        if (result.changed.size() != static_cast<std::size_t>(kConsists)) {
            state.SkipWithError("the replacement did not change every consist");
        }
        fs::remove_all(result.backupFolder);
        state.ResumeTiming();
    }
}

BENCHMARK(BM_FactsCold)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_FactsWarm)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_ReadWriteConsists)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(BM_ReplaceEverywhere)->Unit(benchmark::kMillisecond)->Iterations(4);

}  // namespace

int main(int argc, char** argv) {
    vantor::bench::SummaryReporter reporter;
    if (!vantor::bench::RunBenchmarks(argc, argv, reporter)) {
        return 1;
    }
    std::printf("\nInstallation: %d stock items, %d consists each holding the replaced wagon\n",
                kStockItems, kConsists);
    for (const auto& [name, milliseconds] : reporter.m_milliseconds) {
        std::printf("%-22s %10.3f ms\n", name.c_str() + 3, milliseconds);
    }
    const auto floor = reporter.m_milliseconds.find("BM_ReadWriteConsists");
    const auto replace = reporter.m_milliseconds.find("BM_ReplaceEverywhere");
    if (floor != reporter.m_milliseconds.end() && replace != reporter.m_milliseconds.end()) {
        std::printf("Replacement over reading and writing the changed consists: %.2f\n",
                    replace->second / floor->second);
    }
    std::error_code ec;
    fs::remove_all(Installation(), ec);
    return 0;
}
