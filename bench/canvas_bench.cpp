// Drawing a consist of 50 textured wagons with the OpenGL device at 1280x720, as
// the consist window's first view shows it, and loading those 50 models with the
// shape and texture caches cold and warm. Needs a display with OpenGL (run it
// under xvfb-run for Mesa's software renderer); prints frames per second and the
// peak memory of the process after the table.
//
// The wagons are the demo's boxcar, read through the shape model like the
// window's; two more frame benchmarks draw 50 generated wagons of 6,240
// triangles with a 512x512 DXT1 texture each, closer to the simulator's own.

#if defined(__unix__)
#include <sys/resource.h>
#endif

#include <QApplication>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "view3d/GLDevice.h"
#include "view3d/OffscreenRenderer.h"
#include "view3d/ShapeFileModel.h"
#include "view3d/ShapeLibrary.h"

namespace {

using namespace vantor::view3d;

constexpr int kWagons = 50;
constexpr int kWidth = 1280;
constexpr int kHeight = 720;
constexpr float kWagonLength = 14.0F;
const char* const kWagonShape = VANTOR_SOURCE_DIR "/demo/Trains/Trainset/Boxcar/Boxcar40.s";

// Made in main, after Qt and gone before it.
OffscreenRenderer* g_renderer = nullptr;

OffscreenRenderer& Renderer() {
    return *g_renderer;
}

// Returns where wagon i stands: one after the other from Z = 0 towards -Z.
Matrix4 Placement(int i) {
    return MatrixTranslation(0, 0, -kWagonLength * (static_cast<float>(i) + 0.5F));
}

// The consist window's first view of the consist: from the side, at its middle.
void FirstView(Camera& camera) {
    const float middle = -kWagonLength * kWagons / 2;
    camera.eye = {10, 2, middle};
    camera.target = {0, 2, middle};
}

// A view that shows all 50 wagons at once, from further off.
void WholeConsist(Camera& camera) {
    const float middle = -kWagonLength * kWagons / 2;
    camera.eye = {420, 60, middle};
    camera.target = {0, 2, middle};
}

std::vector<std::unique_ptr<ShapeFileModel>> LoadWagons(
    const std::shared_ptr<ShapeLibrary>& library, RenderDevice* device) {
    std::vector<std::unique_ptr<ShapeFileModel>> models;
    for (int i = 0; i < kWagons; ++i) {
        auto model = std::make_unique<ShapeFileModel>(library);
        model->SetDevice(device);
        model->SetTextureFolder("..\\textures\\");
        model->LoadShapeFile(kWagonShape);
        model->SetTransform(Placement(i));
        models.push_back(std::move(model));
    }
    return models;
}

bool Usable(benchmark::State& state) {
    if (Renderer().Device() == nullptr) {
        state.SkipWithError(Renderer().Error().c_str());
        return false;
    }
    return true;
}

// Loads the 50 wagons with empty caches: every read and upload happens once.
void BM_LoadCold(benchmark::State& state) {
    if (!Usable(state)) {
        return;
    }
    for (auto _ : state) {
        // A new library; the textures of the last round left the card with its models.
        auto models = LoadWagons(std::make_shared<ShapeLibrary>(), Renderer().Device());
        benchmark::DoNotOptimize(models);
        state.PauseTiming();
        models.clear();
        state.ResumeTiming();
    }
}

// Loads the 50 wagons again with the shape read and the texture uploaded.
void BM_LoadWarm(benchmark::State& state) {
    if (!Usable(state)) {
        return;
    }
    auto library = std::make_shared<ShapeLibrary>();
    const auto kept = LoadWagons(library, Renderer().Device());
    for (auto _ : state) {
        auto models = LoadWagons(library, Renderer().Device());
        benchmark::DoNotOptimize(models);
    }
}

void DrawFrames(benchmark::State& state,
                const std::vector<std::unique_ptr<ShapeFileModel>>& models) {
    GLDevice* device = Renderer().Device();
    device->BeginFrame();
    for (const auto& model : models) {
        std::int32_t flags = 1;
        float level = -1;
        model->Render(flags, level);
    }
    device->EndFrame();
    for (auto _ : state) {
        Renderer().Draw();
    }
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_FrameFirstView(benchmark::State& state) {
    if (!Usable(state)) {
        return;
    }
    const auto models = LoadWagons(std::make_shared<ShapeLibrary>(), Renderer().Device());
    FirstView(Renderer().View());
    DrawFrames(state, models);
}

void BM_FrameWholeConsist(benchmark::State& state) {
    if (!Usable(state)) {
        return;
    }
    const auto models = LoadWagons(std::make_shared<ShapeLibrary>(), Renderer().Device());
    WholeConsist(Renderer().View());
    DrawFrames(state, models);
}

// Adds a face of a box as a grid of columns x rows quads, wound clockwise from
// outside: corner is its top left seen from outside, across and down its edges.
void AddGrid(ShapeMesh& mesh, const Vector3& corner, const Vector3& across, const Vector3& down,
             int columns, int rows) {
    const auto first = static_cast<std::uint32_t>(mesh.vertices.size());
    for (int row = 0; row <= rows; ++row) {
        for (int column = 0; column <= columns; ++column) {
            const float a = static_cast<float>(column) / static_cast<float>(columns);
            const float d = static_cast<float>(row) / static_cast<float>(rows);
            mesh.vertices.push_back(
                {{corner.x + a * across.x + d * down.x, corner.y + a * across.y + d * down.y,
                  corner.z + a * across.z + d * down.z},
                 {0, 1, 0},
                 a,
                 d});
        }
    }
    const auto width = static_cast<std::uint32_t>(columns + 1);
    for (std::uint32_t row = 0; row < static_cast<std::uint32_t>(rows); ++row) {
        for (std::uint32_t column = 0; column < static_cast<std::uint32_t>(columns); ++column) {
            const std::uint32_t topLeft = first + row * width + column;
            for (const std::uint32_t index : {topLeft, topLeft + 1, topLeft + width + 1, topLeft,
                                              topLeft + width + 1, topLeft + width}) {
                mesh.indices.push_back(index);
            }
        }
    }
}

// A wagon-sized box of 6,240 triangles about a hand wide: 14 m long, 3 m wide,
// 3.6 m high above 0.4 m, its faces across a 512x512 DXT1 texture.
std::shared_ptr<const ShapeMesh> GeneratedWagon() {
    auto mesh = std::make_shared<ShapeMesh>();
    const float x = 1.5F;
    const float z = kWagonLength / 2;
    const float top = 4.0F;
    const float bottom = 0.4F;
    const float height = top - bottom;
    // Sides (+X, -X), roof, floor, ends (+Z, -Z).
    AddGrid(*mesh, {x, top, -z}, {0, 0, 2 * z}, {0, -height, 0}, 60, 15);
    AddGrid(*mesh, {-x, top, z}, {0, 0, -2 * z}, {0, -height, 0}, 60, 15);
    AddGrid(*mesh, {-x, top, -z}, {0, 0, 2 * z}, {2 * x, 0, 0}, 60, 8);
    AddGrid(*mesh, {x, bottom, -z}, {0, 0, 2 * z}, {-2 * x, 0, 0}, 60, 8);
    AddGrid(*mesh, {x, top, z}, {-2 * x, 0, 0}, {0, -height, 0}, 12, 15);
    AddGrid(*mesh, {-x, top, -z}, {2 * x, 0, 0}, {0, -height, 0}, 12, 15);
    mesh->batches.push_back({0, BlendMode::Opaque, AddressMode::Wrap, true, 0,
                             static_cast<std::uint32_t>(mesh->indices.size())});
    mesh->radius = kWagonLength / 2;
    return mesh;
}

TextureImage GeneratedTexture() {
    TextureImage image{PixelFormat::Dxt1, {}, false};
    for (int size = 512; size >= 4; size /= 2) {
        TextureLevel level{size, size, {}};
        for (int block = 0; block < (size / 4) * (size / 4); ++block) {
            const auto colour = static_cast<std::uint16_t>(block * 2654435761U >> 16);
            level.data.insert(level.data.end(), {static_cast<std::uint8_t>(colour & 0xFF),
                                                 static_cast<std::uint8_t>(colour >> 8), 0, 0, 0x1B,
                                                 0xE4, 0x1B, 0xE4});
        }
        image.levels.push_back(std::move(level));
    }
    return image;
}

void DrawGeneratedWagons(benchmark::State& state, void (*view)(Camera&)) {
    if (!Usable(state)) {
        return;
    }
    GLDevice* device = Renderer().Device();
    const auto mesh = GeneratedWagon();
    // VANTOR_BENCH_DECODE=1 decodes the DXT blocks first, as for drivers without S3TC.
    device->SetCompressedTextures(qEnvironmentVariableIsEmpty("VANTOR_BENCH_DECODE"));
    const TextureHandle texture = device->UploadTexture("generated wagon", GeneratedTexture());
    view(Renderer().View());
    device->BeginFrame();
    for (int i = 0; i < kWagons; ++i) {
        device->DrawMesh(mesh, Placement(i), {texture});
    }
    device->EndFrame();
    for (auto _ : state) {
        Renderer().Draw();
    }
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["triangles"] = static_cast<double>(mesh->indices.size() / 3 * kWagons);
}

void BM_FrameGeneratedFirstView(benchmark::State& state) {
    DrawGeneratedWagons(state, FirstView);
}

void BM_FrameGeneratedWholeConsist(benchmark::State& state) {
    DrawGeneratedWagons(state, WholeConsist);
}

BENCHMARK(BM_LoadCold)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_LoadWarm)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_FrameFirstView)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_FrameWholeConsist)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_FrameGeneratedFirstView)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_FrameGeneratedWholeConsist)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    QApplication application(argc, argv);
    OffscreenRenderer renderer(kWidth, kHeight);
    g_renderer = &renderer;
    vantor::bench::SummaryReporter reporter;
    if (!vantor::bench::RunBenchmarks(argc, argv, reporter)) {
        return 1;
    }
    const auto& t = reporter.m_milliseconds;
    std::printf("\n%d wagons at %dx%d (%s)\n", kWagons, kWidth, kHeight,
                Renderer().Error().empty() ? "OpenGL" : Renderer().Error().c_str());
    const std::pair<const char*, const char*> frames[] = {
        {"BM_FrameFirstView", "Frames per second, demo boxcars, first view:         "},
        {"BM_FrameWholeConsist", "Frames per second, demo boxcars, whole consist:      "},
        {"BM_FrameGeneratedFirstView", "Frames per second, 6,240-triangle wagons, first view:"},
        {"BM_FrameGeneratedWholeConsist", "Frames per second, 6,240-triangle wagons, whole:     "}};
    for (const auto& [name, label] : frames) {
        if (t.count(name) != 0 && t.at(name) > 0) {
            std::printf("%s %.1f (target at least 30)\n", label, 1000.0 / t.at(name));
        }
    }
    if (t.count("BM_LoadCold") != 0 && t.count("BM_LoadWarm") != 0) {
        std::printf("Loading the 50 models, caches cold: %.1f ms\n", t.at("BM_LoadCold"));
        std::printf("Loading the 50 models, caches warm: %.2f ms\n", t.at("BM_LoadWarm"));
    }
#if defined(__unix__)
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("Peak memory of the process: %.1f MB\n",
                static_cast<double>(usage.ru_maxrss) / 1024.0);
#endif
    return 0;
}
