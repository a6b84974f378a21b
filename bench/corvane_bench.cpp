// Speed and memory of the file library on a large file shaped like the
// simulator's shape and world files: deep items, many numbers, long lines; and
// the memory of a file dense with tiny items, the worst case for the tree.
//
// Prints Google Benchmark's table, then a summary with the figures that matter:
// Load throughput against the floor (reading the file, decoding it to UTF-8 and
// counting its parentheses), the memory of the loaded tree and its peak during
// Load against the file's size, for both files, and Save throughput.

#include <malloc.h>

#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "corvane/TSFile.h"

// ---------------------------------------------------------------------------
// Counting every allocation of the process, the library's included.

namespace {
std::atomic<long long> g_live{0};
std::atomic<long long> g_peak{0};
bool g_counting = false;  // counting is for the memory figures only, never while timing

void Count(void* p) {
    if (g_counting && p != nullptr) {
        const long long now = g_live += static_cast<long long>(malloc_usable_size(p));
        long long peak = g_peak.load();
        while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
        }
    }
}
}  // namespace

void* operator new(std::size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    Count(p);
    return p;
}
void operator delete(void* p) noexcept {
    if (g_counting && p != nullptr) {
        g_live -= static_cast<long long>(malloc_usable_size(p));
    }
    if (p != nullptr) {
        std::free(p);
    }
}
void operator delete(void* p, std::size_t) noexcept {
    operator delete(p);
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void operator delete[](void* p) noexcept {
    operator delete(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    operator delete(p);
}

namespace {

// ---------------------------------------------------------------------------
// The sample file.

class ShapeText {
public:
    explicit ShapeText(std::size_t targetBytes) : m_random(7) { Build(targetBytes); }
    const std::string& Text() const { return m_text; }

private:
    std::string Number() {
        return std::to_string(std::uniform_int_distribution<int>(-99999, 99999)(m_random) / 1000.0)
            .substr(0, 8);
    }
    void Line(int depth, const std::string& text) {
        m_text.append(static_cast<std::size_t>(depth), '\t').append(text).append("\r\n");
    }
    void Build(std::size_t targetBytes) {
        m_text = "SIMISA@@@@@@@@@@JINX0s1t______\r\n\r\nshape (\r\n";
        Line(1, "shape_header ( 00000000 00000000 )");
        int block = 0;
        while (m_text.size() * 2 < targetBytes) {
            Line(1, "points ( 2000");
            for (int i = 0; i < 2000; ++i) {
                Line(2, "point ( " + Number() + " " + Number() + " " + Number() + " )");
            }
            Line(1, ")");
            Line(1, "matrices ( 20");
            for (int i = 0; i < 20; ++i) {
                std::string m = "matrix PART" + std::to_string(block * 20 + i) + " (";
                for (int k = 0; k < 12; ++k) {
                    m += " " + Number();
                }
                Line(2, m + " )");
            }
            Line(1, ")");
            Line(1, "lod_controls ( 1");
            Line(2, "lod_control (");
            Line(3, "distance_levels ( 1");
            Line(4, "distance_level (");
            Line(5, "sub_objects ( 1");
            Line(6, "sub_object (");
            Line(7, "vertices ( 1000");
            for (int i = 0; i < 1000; ++i) {
                Line(8, "vertex ( 00000000 " + std::to_string(i) + " " + std::to_string(i) +
                            " ff000000 ff000000");
                Line(9, "vertex_uvs ( 1 " + std::to_string(i) + " )");
                Line(8, ")");
            }
            Line(7, ")");
            std::string indices = "vertex_idxs ( 6000";
            for (int i = 0; i < 6000; ++i) {
                indices += " " + std::to_string(i % 1000);
                if (i % 2000 == 1999) {
                    Line(8, indices);  // long lines, wrapped as the simulator's tools wrap them
                    indices.clear();
                }
            }
            Line(7, "primitives ( 1");
            Line(8, "indexed_trilist (");
            Line(8, indices + " )");
            Line(8, ")");
            Line(7, ")");
            Line(6, ")");
            Line(5, ")");
            Line(4, ")");
            Line(3, ")");
            Line(2, ")");
            Line(1, ")");
            ++block;
        }
        m_text += ")";
    }

    std::mt19937 m_random;
    std::string m_text;
};

// An 8-bit file of tiny items, a few to a line: "a ( )", "b ( 1 )", "c ( d ( ) )".
std::string DenseText(std::size_t targetBytes) {
    std::string text = "SIMISA@@@@@@@@@@JINX0s1t______\r\n\r\nshape (\r\n";
    static const char* const kLines[] = {"a ( ) b ( 1 ) c ( ) d ( ) e ( 2 ) f ( )\r\n",
                                         "uv ( 0 1 ) g ( h ( ) ) i ( ) j ( )\r\n",
                                         "Flip ( ) x ( 3 ) y ( ) z ( ) w ( )\r\n"};
    std::size_t line = 0;
    while (text.size() < targetBytes) {
        text += "\tgroup (\r\n";
        for (int i = 0; i < 1000; ++i) {
            text += kLines[line++ % 3];
        }
        text += "\t)\r\n";
    }
    return text + ")";
}

std::string Utf16(const std::string& text) {
    std::string bytes = "\xFF\xFE";
    bytes.reserve(2 + 2 * text.size());
    for (char c : text) {
        bytes.push_back(c);
        bytes.push_back('\0');
    }
    return bytes;
}

struct Sample {
    std::filesystem::path folder;
    std::string path;
    std::size_t bytes = 0;
};

std::filesystem::path BenchFolder() {
    auto folder = std::filesystem::temp_directory_path() / "corvane-bench";
    std::filesystem::create_directories(folder);
    return folder;
}

Sample WriteSample(const std::string& name, const std::string& bytes) {
    Sample s;
    s.folder = BenchFolder();
    s.path = (s.folder / name).string();
    std::ofstream(s.path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    s.bytes = bytes.size();
    return s;
}

const Sample& TheSample() {
    static const Sample sample = WriteSample("sample.s", Utf16(ShapeText(20 * 1000 * 1000).Text()));
    return sample;
}

const Sample& DenseSample() {
    static const Sample sample = WriteSample("dense.s", DenseText(20 * 1000 * 1000));
    return sample;
}

// ---------------------------------------------------------------------------
// Benchmarks.

// The floor: read the bytes, decode UTF-16 to UTF-8, count the parentheses.
void BM_Floor(benchmark::State& state) {
    const Sample& sample = TheSample();
    for (auto _ : state) {
        std::string bytes(sample.bytes, '\0');
        std::FILE* in = std::fopen(sample.path.c_str(), "rb");
        bytes.resize(std::fread(bytes.data(), 1, bytes.size(), in));
        std::fclose(in);
        std::string text(bytes.size() / 2 * 3, '\0');
        char* out = text.data();
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            const unsigned unit =
                static_cast<unsigned char>(bytes[i]) |
                (static_cast<unsigned>(static_cast<unsigned char>(bytes[i + 1])) << 8);
            if (unit < 0x80) {
                *out++ = static_cast<char>(unit);
            } else if (unit < 0x800) {
                *out++ = static_cast<char>(0xC0 | (unit >> 6));
                *out++ = static_cast<char>(0x80 | (unit & 0x3F));
            } else {
                *out++ = static_cast<char>(0xE0 | (unit >> 12));
                *out++ = static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
                *out++ = static_cast<char>(0x80 | (unit & 0x3F));
            }
        }
        text.resize(static_cast<std::size_t>(out - text.data()));
        long long parentheses = 0;
        for (char c : text) {
            parentheses += (c == '(' || c == ')') ? 1 : 0;
        }
        benchmark::DoNotOptimize(parentheses);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * sample.bytes));
}

void BM_Load(benchmark::State& state) {
    const Sample& sample = TheSample();
    for (auto _ : state) {
        auto file = std::make_unique<corvane::TSFile>(sample.path);
        file->Load();
        state.PauseTiming();
        file.reset();
        // The allocator sorts the freed tree's small blocks at its next large
        // request; that request is made here, so the work is not counted in Load.
        benchmark::DoNotOptimize(std::unique_ptr<char[]>(new char[4096]));
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * sample.bytes));
}

struct MemoryFigures {
    long long tree = 0;  // bytes held by the loaded tree
    long long peak = 0;  // most bytes held at once during Load
};

// Loads a sample once with every allocation counted.
MemoryFigures MeasureMemory(const Sample& sample) {
    g_counting = true;
    g_live = 0;
    g_peak = 0;
    MemoryFigures figures;
    {
        corvane::TSFile file(sample.path);
        file.Load();
        figures.tree = g_live.load();
        figures.peak = g_peak.load();
    }
    g_counting = false;
    return figures;
}

void BM_Save(benchmark::State& state) {
    const Sample& sample = TheSample();
    corvane::TSFile file(sample.path);
    file.Load();
    file.SetFileName((sample.folder / "saved.s").string());
    for (auto _ : state) {
        file.Save();
    }
    state.SetBytesProcessed(static_cast<int64_t>(
        state.iterations() * std::filesystem::file_size(sample.folder / "saved.s")));
}

BENCHMARK(BM_Floor)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    vantor::bench::SummaryReporter reporter;
    if (!vantor::bench::RunBenchmarks(argc, argv, reporter)) {
        return 1;
    }
    const MemoryFigures memory = MeasureMemory(TheSample());
    const MemoryFigures dense = MeasureMemory(DenseSample());

    const auto& t = reporter.m_bytesPerSecond;
    const double mb = 1e6;
    std::printf("\nSample: %zu bytes of UTF-16 text\n", TheSample().bytes);
    if (t.count("BM_Floor") && t.count("BM_Load")) {
        std::printf("Floor (read, decode, count parentheses): %.1f MB/s\n", t.at("BM_Floor") / mb);
        std::printf("Load:                                    %.1f MB/s\n", t.at("BM_Load") / mb);
        std::printf("Load / floor throughput:                 %.2f (target at least 0.33)\n",
                    t.at("BM_Load") / t.at("BM_Floor"));
        std::printf("Tree memory / file size:                 %.2f\n",
                    static_cast<double>(memory.tree) / static_cast<double>(TheSample().bytes));
        std::printf("Peak memory during Load / file size:     %.2f (target at most 4)\n",
                    static_cast<double>(memory.peak) / static_cast<double>(TheSample().bytes));
    }
    std::printf("Dense sample: %zu bytes of 8-bit text with tiny items\n", DenseSample().bytes);
    std::printf("Dense tree memory / file size:           %.2f (target at most 8)\n",
                static_cast<double>(dense.tree) / static_cast<double>(DenseSample().bytes));
    std::printf("Dense peak memory during Load / size:    %.2f\n",
                static_cast<double>(dense.peak) / static_cast<double>(DenseSample().bytes));
    if (t.count("BM_Save")) {
        std::printf("Save:                                    %.1f MB/s\n", t.at("BM_Save") / mb);
    }
    std::error_code ec;
    std::filesystem::remove_all(TheSample().folder, ec);
    return 0;
}
