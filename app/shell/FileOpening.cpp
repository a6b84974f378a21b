#include "shell/FileOpening.h"

#include <cctype>
#include <cstdlib>
#include <stdexcept>

#include "common/Text.h"
#include "platform/Paths.h"

namespace vantor {

std::string OpenExtension(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    return AsciiLower(std::string(dot == std::string_view::npos ? path : path.substr(dot + 1)));
}

std::vector<corvane::TSFileItemPtr> LooseConsists(const corvane::TSFile& activity) {
    const auto top = activity.Child("tr_activity");
    const auto file = top ? top->Child("Tr_Activity_File") : nullptr;
    const auto objects = file ? file->Child("ActivityObjects") : nullptr;
    if (!objects) {
        throw std::runtime_error(activity.FileName() +
                                 " is not a usable activity: it has no activity objects.");
    }
    std::vector<corvane::TSFileItemPtr> consists;
    int position = 0;
    for (const auto& object : *objects->Children()) {
        ++position;
        const auto config = object->Child("Train_Config");
        if (!config || !config->HasChildren()) {
            throw std::runtime_error(activity.FileName() + " is not a usable activity: object " +
                                     std::to_string(position) + " has no consist.");
        }
        consists.push_back(config->Children()->Item(1));
    }
    return consists;
}

std::string LooseConsistQuestion(std::size_t count, const std::string& activityFile) {
    return "Found " + std::to_string(count) + " loose consist(s) in activity " + activityFile +
           "\r\n\r\nWhich do you want to load?";
}

double LeadingNumber(std::string_view text) {
    std::string compact;
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r') {
            compact.push_back(c);
        }
    }
    std::size_t end = 0;
    auto digits = [&] {
        const std::size_t start = end;
        while (end < compact.size() && std::isdigit(static_cast<unsigned char>(compact[end]))) {
            ++end;
        }
        return end > start;
    };
    if (end < compact.size() && (compact[end] == '+' || compact[end] == '-')) {
        ++end;
    }
    bool any = digits();
    if (end < compact.size() && compact[end] == '.') {
        ++end;
        any = digits() || any;
    }
    if (!any) {
        return 0;
    }
    if (end < compact.size() && (compact[end] == 'e' || compact[end] == 'E')) {
        const std::size_t mark = end++;
        if (end < compact.size() && (compact[end] == '+' || compact[end] == '-')) {
            ++end;
        }
        if (!digits()) {
            end = mark;
        }
    }
    return std::strtod(compact.substr(0, end).c_str(), nullptr);
}

bool LooseConsistChosen(const std::string& answer, int index) {
    return answer == "*" || LeadingNumber(answer) == static_cast<double>(index);
}

StockShape StockShapeOf(const std::string& path, bool isEngine) {
    corvane::TSFile file(platform::HostPath(path));
    file.Load();
    const auto wagon = file.Child("Wagon");
    const auto shape = wagon ? wagon->Child("WagonShape") : nullptr;
    if (!wagon || !shape || shape->NumParameters() < 1) {
        throw std::runtime_error(path + " is not a usable " + (isEngine ? "engine" : "wagon") +
                                 " file: it names no shape.");
    }
    // A path from the open dialog or the command line may use "/" between folders.
    const std::size_t slash = path.find_last_of("\\/");
    const std::string folder =
        slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = wagon->NumParameters() > 0 ? wagon->Parameter(0) : std::string();
    return {folder + shape->Parameter(0),
            std::string(isEngine ? "Engine" : "Wagon") + " - " + name};
}

}  // namespace vantor

namespace vantor {

std::string DialogStartFolder(const std::string& installFolder, const std::string& subfolder) {
    if (installFolder.empty()) {
        return {};
    }
    for (const std::string& folder : {installFolder + subfolder, installFolder}) {
        if (platform::FolderExists(folder)) {
            return platform::ResolvePath(folder).value_or(std::string());
        }
    }
    return {};
}

}  // namespace vantor
