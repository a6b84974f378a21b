// Speed of loading the 3D view's models: 50 textured wagons of the demo's kinds
// (a locomotive, boxcars, a hopper and a caboose with bogies and wheels, shapes
// in text, binary and compressed form, textures in ACE and DDS), with the shape
// library cold (a new library for each load of the 50) and warm (shared, as the
// models of one program are). "Demo" uses the demo's 16x16 textures; "Large"
// a copy whose ACE textures are 512x512 with mipmaps. Drawing is recorded by a
// device that keeps one handle per texture and draws nothing: the OpenGL side is
// measured with the canvas. Prints the table, then a summary with peak memory.

#include <benchmark/benchmark.h>
#if !defined(_WIN32)
#include <sys/resource.h>
#endif

#include "BenchSupport.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "corvane/TSFile.h"
#include "view3d/MeshBuilder.h"
#include "view3d/ShapeFile.h"
#include "view3d/ShapeFileModel.h"
#include "view3d/SimisData.h"

namespace {

namespace fs = std::filesystem;
using namespace vantor::view3d;

constexpr int kModels = 50;
const char* const kShapes[] = {"GP38/GP38.s", "Boxcar/Boxcar40.s", "Boxcar/Boxcar40Red.s",
                               "Hopper/Hopper.s", "Caboose/Caboose.s"};

class NullDevice : public RenderDevice {
public:
    TextureHandle UploadTexture(const std::string& key, const TextureImage& /*image*/) override {
        auto& handle = m_handles[key];
        if (!handle) {
            handle = std::make_shared<DeviceTexture>();
        }
        return handle;
    }
    void DrawMesh(const std::shared_ptr<const ShapeMesh>& mesh, const Matrix4& /*world*/,
                  const std::vector<TextureHandle>& /*textures*/) override {
        benchmark::DoNotOptimize(mesh.get());
    }

private:
    std::map<std::string, TextureHandle> m_handles;
};

void Put32(std::string& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

// A size x size RGB ACE with mipmaps: a gradient, so that rows differ.
std::string LargeAce(std::uint32_t size) {
    std::string body;
    for (const std::uint32_t v : {1U, 1U, size, size, 0x0EU, 3U, 0U}) {
        Put32(body, v);
    }
    body += std::string(124, '\0');
    for (std::uint32_t type = 3; type <= 5; ++type) {
        Put32(body, 8);
        Put32(body, 0);
        Put32(body, type);
        Put32(body, 0);
    }
    std::uint32_t rows = 0;
    for (std::uint32_t s = size; s >= 1; s /= 2) {
        rows += s;
    }
    std::string data;
    std::size_t at = body.size() + 4 * rows;
    for (std::uint32_t s = size; s >= 1; s /= 2) {
        for (std::uint32_t y = 0; y < s; ++y) {
            Put32(body, static_cast<std::uint32_t>(at + data.size()));
            for (int c = 0; c < 3; ++c) {
                for (std::uint32_t x = 0; x < s; ++x) {
                    data += static_cast<char>((x * (c + 1) + y) & 0xFF);
                }
            }
        }
    }
    return "SIMISA@@@@@@@@@@" + body + data;
}

const fs::path& DemoStock() {
    static const fs::path stock = fs::path(VANTOR_SOURCE_DIR) / "demo" / "Trains" / "Trainset";
    return stock;
}

// A copy of the demo's stock with 512x512 ACE textures, made once.
const fs::path& LargeStock() {
    static const fs::path folder = [] {
        const fs::path path = fs::temp_directory_path() /
                              ("vantor-shape-bench-" + std::to_string(std::random_device{}()));
        fs::copy(DemoStock(), path, fs::copy_options::recursive);
        const std::string ace = LargeAce(512);
        for (const auto& entry : fs::recursive_directory_iterator(path)) {
            if (entry.path().extension() == ".ace") {
                std::ofstream(entry.path(), std::ios::binary | std::ios::trunc) << ace;
            }
        }
        return path;
    }();
    return folder;
}

// A large 8-bit text shape: a grid of squares, kTextSquares of them, with its
// index list wrapped over many lines as real shapes have it.
constexpr int kTextSquares = 100000;

const std::string& LargeTextShape() {
    static const std::string path = [] {
        std::string text = "SIMISA@@@@@@@@@@JINX0s1t______\r\n\r\nshape (\r\n";
        text += "\tshader_names ( 1 named_shader ( TexDiff ) )\r\n";
        const int points = 4 * kTextSquares;
        text += "\tpoints ( " + std::to_string(points) + "\r\n";
        for (int i = 0; i < kTextSquares; ++i) {
            const std::string x = std::to_string(i % 300) + "." + std::to_string(i % 7);
            const std::string z = std::to_string(i / 300) + ".25";
            text += "\t\tpoint ( " + x + " 0 " + z + " ) point ( " + x + " 1 " + z + " )\r\n";
            text += "\t\tpoint ( " + x + " 1 " + z + "5 ) point ( " + x + " 0 " + z + "5 )\r\n";
        }
        text += "\t)\r\n\tuv_points ( 1 uv_point ( 0 0 ) )\r\n\tnormals ( 1 vector ( 0 1 0 ) )\r\n";
        text += "\tmatrices ( 1 matrix MAIN ( 1 0 0 0 1 0 0 0 1 0 0 0 ) )\r\n";
        text += "\timages ( 0 )\r\n\ttextures ( 0 )\r\n";
        text += "\tvtx_states ( 1 vtx_state ( 00000000 0 -5 0 00000002 ) )\r\n";
        text += "\tprim_states ( 1 prim_state ( 00000000 0 tex_idxs ( 0 ) 0 0 0 0 1 ) )\r\n";
        text +=
            "\tlod_controls ( 1 lod_control ( distance_levels_header ( 0 ) distance_levels ( 1\r\n";
        text += "\t\tdistance_level ( distance_level_header ( dlevel_selection ( 2000 ) ";
        text += "hierarchy ( 1 -1 ) )\r\n\t\tsub_objects ( 1 sub_object ( vertices ( ";
        text += std::to_string(points) + "\r\n";
        for (int i = 0; i < points; ++i) {
            text += "\t\t\tvertex ( 00000000 " + std::to_string(i) +
                    " 0 ffffffff ff808080 vertex_uvs ( 1 0 ) )\r\n";
        }
        text += "\t\t) primitives ( 2 prim_state_idx ( 0 ) indexed_trilist ( vertex_idxs ( ";
        text += std::to_string(6 * kTextSquares);
        for (int i = 0; i < kTextSquares; ++i) {
            const int a = 4 * i;
            for (const int v : {a, a + 1, a + 2, a, a + 2, a + 3}) {
                text += " " + std::to_string(v);
            }
            text += i % 40 == 39 ? "\r\n" : "";
        }
        text += " ) ) ) ) ) ) ) ) ) )\r\n";
        const std::string file =
            (fs::temp_directory_path() /
             ("vantor-large-shape-" + std::to_string(std::random_device{}()) + ".s"))
                .string();
        std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
        return file;
    }();
    return path;
}

// The shape reader and mesh builder on the large text shape.
void BM_LargeTextShape(benchmark::State& state) {
    const std::string bytes = ReadFileBytes(LargeTextShape());
    for (auto _ : state) {
        const ShapeMesh mesh = BuildMesh(ReadShape(bytes));
        if (mesh.indices.size() != 6U * kTextSquares) {
            state.SkipWithError("the large shape lost triangles");
        }
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}

// The item tree's reader on the same file, for comparison (it joins lines and
// keeps only the last run of words of a block, so its tree cannot make a mesh).
void BM_LargeTextShapeItemTree(benchmark::State& state) {
    for (auto _ : state) {
        corvane::TSFile file(LargeTextShape());
        file.Load();
        benchmark::DoNotOptimize(file.Items().get());
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(fs::file_size(LargeTextShape())));
}

// Loads 50 models, cycling through the shapes, and draws them once.
void LoadFifty(const fs::path& stock, const std::shared_ptr<ShapeLibrary>& library,
               NullDevice& device, benchmark::State& state) {
    std::vector<std::unique_ptr<ShapeFileModel>> models;
    for (int i = 0; i < kModels; ++i) {
        auto model = std::make_unique<ShapeFileModel>(library);
        model->SetDevice(&device);
        model->SetTextureFolder("..\\textures\\");
        model->LoadShapeFile((stock / kShapes[i % std::size(kShapes)]).string());
        if (!model->LoadError().empty()) {
            state.SkipWithError(model->LoadError().c_str());
            return;
        }
        std::int32_t flags = 1;
        float level = -1;
        model->Render(flags, level);
        models.push_back(std::move(model));
    }
}

void Cold(benchmark::State& state, const fs::path& stock) {
    for (auto _ : state) {
        NullDevice device;
        LoadFifty(stock, std::make_shared<ShapeLibrary>(), device, state);
    }
}

void Warm(benchmark::State& state, const fs::path& stock) {
    const auto library = std::make_shared<ShapeLibrary>();
    NullDevice device;
    LoadFifty(stock, library, device, state);
    for (auto _ : state) {
        LoadFifty(stock, library, device, state);
    }
}

void BM_DemoCold(benchmark::State& state) {
    Cold(state, DemoStock());
}
void BM_DemoWarm(benchmark::State& state) {
    Warm(state, DemoStock());
}
void BM_LargeCold(benchmark::State& state) {
    Cold(state, LargeStock());
}
void BM_LargeWarm(benchmark::State& state) {
    Warm(state, LargeStock());
}

BENCHMARK(BM_DemoCold)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_DemoWarm)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_LargeCold)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_LargeWarm)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_LargeTextShape)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_LargeTextShapeItemTree)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    vantor::bench::SummaryReporter reporter;
    if (!vantor::bench::RunBenchmarks(argc, argv, reporter)) {
        return 1;
    }
    std::printf("\nLoading %d wagon models (%zu shapes in turn):\n", kModels, std::size(kShapes));
    for (const auto& [name, milliseconds] : reporter.m_milliseconds) {
        std::printf("%-12s %10.3f ms\n", name.c_str() + 3, milliseconds);
    }
#if !defined(_WIN32)
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("Peak memory  %10.1f MB\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
#endif
    std::printf("Large text shape: %.1f MB, %d triangles\n",
                static_cast<double>(fs::file_size(LargeTextShape())) / 1e6, 2 * kTextSquares);
    std::error_code ec;
    fs::remove_all(LargeStock(), ec);
    fs::remove(LargeTextShape(), ec);
    return 0;
}
