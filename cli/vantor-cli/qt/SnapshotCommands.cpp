// The commands that draw a shape or a consist into a PNG picture.

#include <QByteArray>
#include <QSaveFile>
#include <QString>
#include <charconv>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "Cli.h"
#include "Commands.h"
#include "qt/QtSession.h"
#include "view3d/GLDevice.h"
#include "view3d/OffscreenRenderer.h"
#include "view3d/ShapeFileModel.h"

namespace vantor::cli {
namespace {

constexpr int kDefaultWidth = 1280;
constexpr int kDefaultHeight = 720;
constexpr int kLargestSide = 8192;

struct PictureSize {
    int width = kDefaultWidth;
    int height = kDefaultHeight;
};

// Returns the size of "WxH", or nothing when it is not two whole numbers from 1
// to the largest side.
std::optional<PictureSize> ParseSize(const std::string& text) {
    const std::size_t cross = text.find_first_of("xX");
    if (cross == std::string::npos) {
        return std::nullopt;
    }
    PictureSize size;
    const char* end = text.data() + text.size();
    const auto width = std::from_chars(text.data(), text.data() + cross, size.width);
    const auto height = std::from_chars(text.data() + cross + 1, end, size.height);
    if (width.ec != std::errc() || width.ptr != text.data() + cross || height.ec != std::errc() ||
        height.ptr != end || size.width < 1 || size.height < 1 || size.width > kLargestSide ||
        size.height > kLargestSide) {
        return std::nullopt;
    }
    return size;
}

int Fail(const Context& context, const std::string& message) {
    context.err << "vantor-cli: " << message << "\n";
    return kExitUsage;
}

// Writes the picture as a PNG file, replacing the file only when all was written.
std::string WritePicture(const QImage& picture, const std::string& path) {
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) {
        return "cannot write " + path + ": " + file.errorString().toStdString();
    }
    if (!picture.save(&file, "PNG") || !file.commit()) {
        return "cannot write " + path + ": " + file.errorString().toStdString();
    }
    return {};
}

// Draws the shape as the shape window's first view shows it: at the origin,
// unturned, seen from (10, 2, 0) towards (0, 2, 0), 50 degrees high, up to 600 m.
int SnapshotShape(const Context& context, const std::vector<std::string>& arguments) {
    std::vector<std::string> files;
    PictureSize size;
    bool options = true;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (options && argument == "--") {
            options = false;
        } else if (options && (argument == "--size" || argument.starts_with("--size="))) {
            const bool separate = argument == "--size";
            if (separate && i + 1 == arguments.size()) {
                return Fail(context, "option --size needs a size such as 1280x720");
            }
            const std::string text = separate ? arguments[++i] : argument.substr(7);
            const auto parsed = ParseSize(text);
            if (!parsed) {
                return Fail(context, "the size '" + text +
                                         "' is not WIDTHxHEIGHT with each from 1 to " +
                                         std::to_string(kLargestSide));
            }
            size = *parsed;
        } else if (options && argument.starts_with("--")) {
            return Fail(context, "unknown option " + argument);
        } else {
            files.push_back(argument);
        }
    }
    if (files.size() != 2) {
        return Fail(context,
                    "wrong arguments; usage: vantor-cli snapshot shape FILE OUT.png [--size WxH]");
    }
    if (const std::string error = StartQt(); !error.empty()) {
        return Fail(context, "cannot draw: " + error);
    }
    view3d::OffscreenRenderer renderer(size.width, size.height);
    if (!renderer.Error().empty()) {
        return Fail(context, "cannot draw: " + renderer.Error());
    }
    view3d::GLDevice* device = renderer.Device();
    view3d::ShapeFileModel model;
    try {
        model.SetDevice(device);
        model.SetTextureFolder("..\\textures\\");
        model.LoadShapeFile(files[0]);
        if (const std::string error = model.LoadError(); !error.empty()) {
            return Fail(context, "cannot load the shape " + files[0] + ": " + error);
        }
        model.SetTransform(view3d::MatrixIdentity());
        device->BeginFrame();
        std::int32_t flags = 1;
        float level = -1;
        model.Render(flags, level);
        device->EndFrame();
    } catch (const std::exception& error) {
        return Fail(context, "cannot load the shape " + files[0] + ": " + error.what());
    }
    const QImage picture = renderer.Render();
    if (picture.isNull()) {
        return Fail(context, "cannot draw: the picture could not be made");
    }
    if (const std::string error =
            WritePicture(picture.convertToFormat(QImage::Format_RGB32), files[1]);
        !error.empty()) {
        return Fail(context, error);
    }
    context.out << "Wrote " << files[1] << " (" << size.width << "x" << size.height << ")\n";
    return kExitOk;
}

}  // namespace

const std::vector<Command>& SnapshotCommands() {
    static const std::vector<Command> commands = [] {
        std::vector<Command> rows{
            {"snapshot shape", "FILE OUT.png [--size WxH]",
             "draw a shape as the shape window first shows it into a PNG picture (default "
             "1280x720)",
             2, 5, SnapshotShape, true},
        };
        const auto& consist = ConsistSnapshotCommands();
        rows.insert(rows.end(), consist.begin(), consist.end());
        return rows;
    }();
    return commands;
}

}  // namespace vantor::cli
