// Speed of checking all stock on a generated installation of 5,000 engines and
// wagons with their shapes, sounds and cab views.
//
// Prints Google Benchmark's table, then the check's time against the floor:
// reading every file that the check reads (engine and wagon files, sound
// definitions, cab views) once, whole, into memory. The target's figure comes from
// rounds that time the floor and the check in turns: the median of their ratios.
// Three more runs show where the time goes: the same files loaded by Corvane, the
// folders the check looks in listed by the path layer, and the same folders read
// with readdir alone.

#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <dirent.h>
#include <unistd.h>

#include "CheckInstallation.h"
#include "corvane/TSFile.h"
#include "platform/Paths.h"
#include "validation/TSValidation.h"

namespace {

namespace fs = std::filesystem;

constexpr int kItems = 5000;

struct Installation {
    fs::path folder;
    vantor::bench::CheckInstallation made;
};

// The generated installation, made once and removed at the end.
const Installation& TheInstallation() {
    static const Installation installation = [] {
        Installation made;
        made.folder = fs::temp_directory_path() /
                      ("vantor-check-bench-" + std::to_string(std::random_device{}()));
        made.made = vantor::bench::MakeCheckInstallation(made.folder, kItems);
        // The files just written go to the disk now, not while the runs are timed.
        ::sync();
        return made;
    }();
    return installation;
}

// Reads every file that the check reads, once, whole, into memory; returns the
// number of bytes read, or nothing when a file cannot be read.
std::optional<std::uintmax_t> ReadEveryFile() {
    std::vector<char> buffer(1 << 16);
    std::uintmax_t bytes = 0;
    for (const fs::path& file : TheInstallation().made.readFiles) {
        std::FILE* in = std::fopen(file.c_str(), "rb");
        if (in == nullptr) {
            return std::nullopt;
        }
        std::string text;
        for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), in)) > 0;) {
            text.append(buffer.data(), n);
        }
        std::fclose(in);
        bytes += text.size();
        benchmark::DoNotOptimize(text);
    }
    return bytes;
}

// Checks all stock; returns the first finding, empty when there is none.
std::string CheckAll() {
    vantor::TSValidation validator(TheInstallation().folder.string());
    const auto status = validator.CheckAllStock("");
    if (status != vantor::TSValidation::IsValid() || !validator.Errors().empty()) {
        return validator.Errors().empty()
                   ? std::string("(a status without findings)")
                   : vantor::TSValidation::TranslateError(validator.Errors().front());
    }
    return {};
}

void BM_Floor(benchmark::State& state) {
    TheInstallation();  // made before the timing starts
    for (auto _ : state) {
        if (ReadEveryFile() != TheInstallation().made.readBytes) {
            state.SkipWithError("the floor did not read the installation's files");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}

void BM_CheckAllStock(benchmark::State& state) {
    TheInstallation();
    for (auto _ : state) {
        if (const std::string finding = CheckAll(); !finding.empty()) {
            state.SkipWithError(("the check found problems: " + finding).c_str());
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}

// The floor and the check timed in turns, in milliseconds: the medians of each,
// and the median of each turn's check / floor, which a machine that gets slower or
// faster during the run weighs on alike.
struct Turns {
    double floor = 0;
    double check = 0;
    double ratio = 0;
};

Turns TimeInTurns(int rounds) {
    using Clock = std::chrono::steady_clock;
    std::vector<double> floors;
    std::vector<double> checks;
    std::vector<double> ratios;
    for (int round = 0; round < rounds; ++round) {
        const auto start = Clock::now();
        benchmark::DoNotOptimize(ReadEveryFile());
        const auto middle = Clock::now();
        benchmark::DoNotOptimize(CheckAll());
        const auto end = Clock::now();
        floors.push_back(std::chrono::duration<double, std::milli>(middle - start).count());
        checks.push_back(std::chrono::duration<double, std::milli>(end - middle).count());
        ratios.push_back(checks.back() / floors.back());
    }
    const auto median = [](std::vector<double> values) {
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    return {median(floors), median(checks), median(ratios)};
}

void BM_CorvaneLoad(benchmark::State& state) {
    const auto& files = TheInstallation().made.readFiles;
    for (auto _ : state) {
        for (const fs::path& path : files) {
            corvane::TSFile file(path.string());
            file.Load();
            if (file.Items()->Count() == 0) {
                state.SkipWithError("a file loaded no items");
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}

void BM_PathLayerListings(benchmark::State& state) {
    const auto& folders = TheInstallation().made.folders;
    for (auto _ : state) {
        const vantor::platform::ListingCache cache;
        std::size_t entries = 0;
        for (const fs::path& folder : folders) {
            entries += vantor::platform::ListEntries(folder.string() + "/*",
                                                     vantor::platform::EntryTypes::Both)
                           .size();
        }
        benchmark::DoNotOptimize(entries);
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}

void BM_ReaddirListings(benchmark::State& state) {
    const auto& folders = TheInstallation().made.folders;
    for (auto _ : state) {
        std::size_t entries = 0;
        for (const fs::path& folder : folders) {
            DIR* dir = opendir(folder.c_str());
            if (dir == nullptr) {
                state.SkipWithError("a folder cannot be listed");
                break;
            }
            while (const dirent* entry = readdir(dir)) {
                entries += entry->d_type == DT_DIR ? 2 : 1;
            }
            closedir(dir);
        }
        benchmark::DoNotOptimize(entries);
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}

BENCHMARK(BM_Floor)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_CheckAllStock)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_CorvaneLoad)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PathLayerListings)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReaddirListings)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    vantor::bench::SummaryReporter reporter;
    if (!vantor::bench::RunBenchmarks(argc, argv, reporter)) {
        return 1;
    }

    const auto& made = TheInstallation().made;
    const auto& t = reporter.m_milliseconds;
    std::printf("\nInstallation: %d engines and %d wagons; the check reads %zu files, %.1f MB\n",
                made.engines, made.wagons, made.readFiles.size(),
                static_cast<double>(made.readBytes) / 1e6);
    if (t.count("BM_Floor") && t.count("BM_CheckAllStock")) {
        std::printf("Floor (each file read once):  %8.2f ms\n", t.at("BM_Floor"));
        std::printf("CheckAllStock:                %8.2f ms\n", t.at("BM_CheckAllStock"));
        std::printf("CheckAllStock / floor time:   %8.2f\n",
                    t.at("BM_CheckAllStock") / t.at("BM_Floor"));
        constexpr int kRounds = 15;
        const Turns turns = TimeInTurns(kRounds);
        std::printf("In %d turns of floor then check, medians: floor %.2f ms, check %.2f ms\n",
                    kRounds, turns.floor, turns.check);
        std::printf(
            "CheckAllStock / floor, in turns: %5.2f (median of the turns' ratios; "
            "target at most 2)\n",
            turns.ratio);
    }
    if (t.count("BM_CorvaneLoad") && t.count("BM_PathLayerListings") &&
        t.count("BM_ReaddirListings")) {
        std::printf(
            "Where it goes: Corvane loads %.2f ms, path-layer listings of %zu folders "
            "%.2f ms (readdir alone %.2f ms)\n",
            t.at("BM_CorvaneLoad"), made.folders.size(), t.at("BM_PathLayerListings"),
            t.at("BM_ReaddirListings"));
    }
    std::error_code ec;
    fs::remove_all(TheInstallation().folder, ec);
    return 0;
}
