// "snapshot consist": draws a consist into a PNG picture as a consist window's
// first view shows it (the same layout and camera), without a window.

#include <QImage>
#include <QString>
#include <charconv>
#include <memory>
#include <string>
#include <vector>

#include "Cli.h"
#include "Commands.h"
#include "common/Prompter.h"
#include "common/Text.h"
#include "platform/Paths.h"
#include "qt/QtSession.h"
#include "view3d/OffscreenCanvas.h"
#include "view3d/ShapeFileModel.h"
#include "view3d/View3DController.h"

namespace vantor::cli {

namespace {

constexpr int kDefaultWidth = 1280;
constexpr int kDefaultHeight = 720;
constexpr int kLargestSide = 8192;

// Messages of the 3D logic go to standard error; the render's own failure is
// remembered.
class ErrorStreamPrompter : public Prompter {
public:
    explicit ErrorStreamPrompter(std::ostream& err) : m_err(err) {}

    Answer Message(MessageIcon /*icon*/, const std::string& title, const std::string& text,
                   MessageButtons /*buttons*/) override {
        m_err << "vantor-cli: " << title << ": " << text << "\n";
        if (title == "Render Consist") {
            renderFailed = true;
        }
        return Answer::Ok;
    }
    std::string Input(const std::string&, const std::string&, const std::string&) override {
        return {};
    }
    std::string OpenFileName(const FileDialogRequest&) override { return {}; }
    std::string SaveFileName(const FileDialogRequest&) override { return {}; }
    std::string FolderName(const std::string&, const std::string&) override { return {}; }
    bool PrintDialog(PrintRequest&) override { return false; }

    bool renderFailed = false;

private:
    std::ostream& m_err;
};

// A window that shows nothing.
class NoWindow : public view3d::View3DHost {
public:
    void ShowStatus(const std::string&) override {}
    void SetCaption(const std::string&) override {}
    void ScrollBarsChanged() override {}
    void LetEventsRun() override {}
};

struct SnapshotRequest {
    std::string consist;
    std::string output;
    int width = kDefaultWidth;
    int height = kDefaultHeight;
};

// Reads "WxH"; false when it is not two whole numbers from 1 to the largest side.
bool ParseSize(const std::string& text, int& width, int& height) {
    const auto x = text.find_first_of("xX");
    if (x == std::string::npos) {
        return false;
    }
    const auto number = [](const std::string& part, int& value) {
        const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
        return error == std::errc() && end == part.data() + part.size() && value >= 1 &&
               value <= kLargestSide;
    };
    return number(text.substr(0, x), width) && number(text.substr(x + 1), height);
}

// Returns a usage problem, empty when the arguments make a request.
std::string ParseRequest(const std::vector<std::string>& arguments, SnapshotRequest& request) {
    std::vector<std::string> positional;
    bool optionsDone = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        std::string size;
        if (optionsDone) {
            positional.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsDone = true;
        } else if (argument == "--size") {
            if (i + 1 >= arguments.size()) {
                return "--size needs a value WxH";
            }
            size = arguments[++i];
        } else if (argument.rfind("--size=", 0) == 0) {
            size = argument.substr(7);
            if (size.empty()) {
                return "--size needs a value WxH";
            }
        } else if (argument.size() > 1 && argument[0] == '-' && argument != "-") {
            return "unknown option " + argument;
        } else {
            positional.push_back(argument);
        }
        if (size.empty()) {
            continue;
        }
        if (!ParseSize(size, request.width, request.height)) {
            return "--size takes WxH, two whole numbers from 1 to " + std::to_string(kLargestSide) +
                   ", not " + size;
        }
    }
    if (positional.size() != 2) {
        return "snapshot consist takes a consist (NAME or FILE) and OUT.png";
    }
    request.consist = positional[0];
    request.output = positional[1];
    return {};
}

// Returns the installation a consist file lies in when it lies in one
// ("...\Trains\Consists\name.con"), empty otherwise.
std::string InstallationOf(const std::string& consistFile) {
    const std::string consists = AnyParentFolder(consistFile);
    const std::string trains = AnyParentFolder(consists);
    if (AsciiLower(AnyFileNamePart(consists)) != "consists" ||
        AsciiLower(AnyFileNamePart(trains)) != "trains") {
        return {};
    }
    return AnyParentFolder(trains);
}

int Problem(const Context& context, const std::string& message) {
    context.err << "vantor-cli: " << message << "\n";
    return kExitUsage;
}

int SnapshotConsist(const Context& context, const std::vector<std::string>& arguments) {
    SnapshotRequest request;
    if (const std::string problem = ParseRequest(arguments, request); !problem.empty()) {
        context.err << "vantor-cli: " << problem << "\nTry 'vantor-cli --help'.\n";
        return kExitUsage;
    }
    const auto file = ConsistFile(context, request.consist);
    if (!file) {
        return Problem(context, NoInstallation(request.consist));
    }
    if (!platform::FileExists(*file)) {
        return Problem(context, "cannot read the consist " + *file + ": there is no such file");
    }
    const std::string installFolder =
        context.installFolder.empty() ? InstallationOf(*file) : context.installFolder;
    if (const std::string why = StartQt(); !why.empty()) {
        return Problem(context, "cannot draw: " + why);
    }
    view3d::OffscreenCanvas canvas(request.width, request.height);
    if (!canvas.DeviceError().empty()) {
        return Problem(context,
                       "cannot draw: there is no OpenGL here (" + canvas.DeviceError() + ")");
    }
    ErrorStreamPrompter prompts(context.err);
    NoWindow window;
    auto library = view3d::ShapeLibrary::Shared();
    view3d::View3DController controller(
        &canvas, [library] { return std::make_unique<view3d::ShapeFileModel>(library); },
        {&prompts, nullptr}, window, installFolder);
    controller.RenderConsistFile(*file);
    if (prompts.renderFailed) {
        return Problem(context, "cannot draw the consist " + *file + "; no picture was written");
    }
    for (const std::string& shape : controller.FailedShapes()) {
        context.err << "vantor-cli: warning: the shape " << shape
                    << " could not be loaded; its vehicle's place is left empty\n";
    }
    canvas.SetSnapshotLocation(platform::HostPath(request.output));
    if (const std::string error = canvas.SaveSnapshot(); !error.empty()) {
        return Problem(context, error);
    }
    context.out << "Wrote " << request.output << " (" << request.width << "x" << request.height
                << ")\n";
    return kExitOk;
}

}  // namespace

const std::vector<Command>& ConsistSnapshotCommands() {
    static const std::vector<Command> commands{
        {"snapshot consist", "NAME_OR_FILE OUT.png [--size WxH]",
         "draw a consist as its 3D window first shows it into a PNG picture (default 1280x720)", 2,
         6, SnapshotConsist, true},
    };
    return commands;
}

}  // namespace vantor::cli
