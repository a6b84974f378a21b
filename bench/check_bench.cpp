// Speed of checking all stock on a generated installation of 5,000 engines and
// wagons with their shapes, sounds and cab views.
//
// Prints Google Benchmark's table, then the check's time against the floor:
// reading every file that the check reads (engine and wagon files, sound
// definitions, cab views) once, whole, into memory. Three more runs show where
// the time goes: the same files loaded by Corvane, the folders the check looks
// in listed by the path layer, and the same folders read with readdir alone.

#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include <cstdio>
#include <filesystem>
#include <map>
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

void BM_Floor(benchmark::State& state) {
    const auto& files = TheInstallation().made.readFiles;
    std::vector<char> buffer(1 << 16);
    for (auto _ : state) {
        std::uintmax_t bytes = 0;
        for (const fs::path& file : files) {
            std::FILE* in = std::fopen(file.c_str(), "rb");
            if (in == nullptr) {
                state.SkipWithError("a file of the installation cannot be read");
                break;
            }
            std::string text;
            for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), in)) > 0;) {
                text.append(buffer.data(), n);
            }
            std::fclose(in);
            bytes += text.size();
            benchmark::DoNotOptimize(text);
        }
        if (bytes != TheInstallation().made.readBytes) {
            state.SkipWithError("the floor read the wrong number of bytes");
        }
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}

void BM_CheckAllStock(benchmark::State& state) {
    const std::string folder = TheInstallation().folder.string();
    for (auto _ : state) {
        vantor::TSValidation validator(folder);
        const auto status = validator.CheckAllStock("");
        if (status != vantor::TSValidation::IsValid() || !validator.Errors().empty()) {
            state.SkipWithError(
                ("the check found problems: " +
                 (validator.Errors().empty() ? std::string() : validator.Errors().front()))
                    .c_str());
        }
    }
    state.SetItemsProcessed(state.iterations() * kItems);
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
        std::printf("CheckAllStock / floor time:   %8.2f (target at most 2)\n",
                    t.at("BM_CheckAllStock") / t.at("BM_Floor"));
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
