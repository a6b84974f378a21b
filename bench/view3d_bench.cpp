// Opening a 50-vehicle consist in a 3D window (stock files, shapes and textures
// read through the shared library) and the frames per second of that window, on
// the demo's stock. Needs a display with OpenGL (run it under xvfb-run); prints
// the figures.

#include <QApplication>
#include <QElapsedTimer>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QOpenGLWidget>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "common/Installation.h"
#include "common/Prompter.h"
#include "documents/DocumentWindow.h"
#include "documents/View3DPage.h"
#include "ui/WindowHost.h"
#include "view3d/GLCanvas.h"
#include "view3d/OpenGLParts.h"
#include "view3d/ShapeLibrary.h"

namespace {

constexpr int kVehicles = 50;
constexpr double kFrameSeconds = 3.0;

// Prints every message instead of showing it.
class PrintingPrompter : public vantor::Prompter {
public:
    vantor::Answer Message(vantor::MessageIcon, const std::string& title, const std::string& text,
                           vantor::MessageButtons) override {
        std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
        return vantor::Answer::Ok;
    }
    std::string Input(const std::string&, const std::string&, const std::string&) override {
        return {};
    }
    std::string OpenFileName(const vantor::FileDialogRequest&) override { return {}; }
    std::string SaveFileName(const vantor::FileDialogRequest&) override { return {}; }
    std::string FolderName(const std::string&, const std::string&) override { return {}; }
    bool PrintDialog(vantor::PrintRequest&) override { return false; }
};

class BenchHost : public vantor::WindowHost {
public:
    explicit BenchHost(const std::string& demo)
        : m_installation(vantor::platform::RegistrySource{}) {
        m_installation.SetMSTSPath(demo);
        m_services.prompts = &m_prompts;
        m_services.installation = &m_installation;
        m_services.processEvents = [] { QApplication::processEvents(); };
    }
    vantor::Services& Services() override { return m_services; }
    void ShowStatus(const std::string&) override {}
    void OpenDocumentWindow(const std::string&, vantor::DocumentMode, const std::string&,
                            corvane::TSFileItemPtr) override {}
    bool SaveConsist(vantor::ConsistSaveTarget&, bool) override { return false; }
    [[nodiscard]] std::string TemporaryConsistPath() const override { return {}; }
    void PopupMenu(vantor::ContextMenu, const QPoint&) override {}
    [[nodiscard]] const vantor::view3d::View3DParts* View3D() const override {
        return &vantor::view3d::OpenGLParts();
    }

private:
    PrintingPrompter m_prompts;
    vantor::Installation m_installation;
    vantor::Services m_services;
};

// Writes a consist of kVehicles vehicles of the demo's stock, some flipped.
std::string WriteConsist(const std::filesystem::path& folder) {
    const std::vector<std::string> stock{
        "EngineData ( GP38 GP38 )",         "WagonData ( Boxcar40 Boxcar )",
        "WagonData ( Hopper Hopper )",      "WagonData ( Caboose Caboose )",
        "WagonData ( Boxcar40Red Boxcar )", "WagonData ( HopperLoaded Hopper )"};
    std::string text =
        "SIMISA@@@@@@@@@@JINX0D0t______\r\n\r\nTrain (\r\n\tTrainCfg ( Fifty\r\n\t\tName ( Fifty "
        ")\r\n\t\tMaxVelocity ( 22.35200 0.10000 )\r\n\t\tNextWagonUID ( 50 )\r\n\t\tDurability ( "
        "1.00000 )\r\n";
    for (int i = 0; i < kVehicles; ++i) {
        const std::string& data = i == 0 ? stock[0] : stock[1 + static_cast<std::size_t>(i) % 5];
        const std::string type = data.substr(0, data.find("Data"));
        text += "\t\t" + type + " (\r\n" + (i % 7 == 3 ? "\t\t\tFlip ( )\r\n" : "") +
                "\t\t\tUiD ( " + std::to_string(i) + " )\r\n\t\t\t" + data + "\r\n\t\t)\r\n";
    }
    text += "\t)\r\n)\r\n";
    const auto path = folder / "Fifty.con";
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", qEnvironmentVariableIsEmpty("DISPLAY") ? "offscreen" : "xcb");
    }
    QApplication application(argc, argv);
    if (const std::string why = vantor::view3d::ProbeOpenGL(); !why.empty()) {
        std::fprintf(stderr, "view3d_bench: no OpenGL here (%s); run it under xvfb-run\n",
                     why.c_str());
        return 2;
    }
    const auto folder = std::filesystem::temp_directory_path() / "vantor-view3d-bench";
    std::filesystem::create_directories(folder);
    const std::string consist = WriteConsist(folder);
    BenchHost host(VANTOR_SOURCE_DIR "/demo");

    std::unique_ptr<vantor::DocumentWindow> window;
    std::vector<double> opens;
    for (int run = 0; run < 4; ++run) {
        window.reset();
        QApplication::processEvents();
        QElapsedTimer timer;
        timer.start();
        window = std::make_unique<vantor::DocumentWindow>(host);
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        window->resize(1280, 720);
        window->SetFileName(consist);
        window->SetMode(vantor::DocumentMode::Consist3D);
        window->show();
        QApplication::processEvents();
        opens.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        std::printf("open %s: %.0f ms (%d models)\n", run == 0 ? "cold library" : "warm",
                    opens.back(), window->View3D()->Controller()->View()->Models()->Count());
    }
    const auto library = vantor::view3d::ShapeLibrary::Shared();
    std::printf("shape files read: %d, texture files read: %d\n", library->ShapeReads(),
                library->TextureReads());

    auto& logic = *window->View3D()->Controller();
    auto* canvas = dynamic_cast<vantor::view3d::GLCanvas*>(window->View3D()->Canvas());
    auto* surface = canvas->findChild<QOpenGLWidget*>();
    QElapsedTimer timer;
    timer.start();
    int frames = 0;
    qint64 recording = 0;
    const int length = logic.HorizontalBar().maximum;
    while (static_cast<double>(timer.nsecsElapsed()) / 1e9 < kFrameSeconds) {
        // Walk along the consist as the scroll bar does, a frame a step (the view
        // lets the window paint it), and wait until each picture is finished.
        const qint64 before = timer.nsecsElapsed();
        logic.HorizontalScrolled(frames % std::max(length, 1));
        recording += timer.nsecsElapsed() - before;
        QApplication::processEvents();
        surface->makeCurrent();
        surface->context()->functions()->glFinish();
        surface->doneCurrent();
        ++frames;
    }
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    std::sort(opens.begin() + 1, opens.end());
    std::printf("open warm median: %.0f ms (target < 2000)\n", opens[2]);
    std::printf("frames: %d in %.2f s = %.1f per second at 1280x720 (target >= 30)\n", frames,
                seconds, frames / seconds);
    std::printf("of which the scroll handler and the paint it lets run: %.2f ms a frame\n",
                static_cast<double>(recording) / 1e6 / std::max(frames, 1));
    window.reset();
    std::filesystem::remove_all(folder);
    return 0;
}
