#include "common/Routes.h"

#include <exception>

#include "common/ItemText.h"
#include "common/Text.h"
#include "corvane/TSFile.h"
#include "platform/Paths.h"

namespace vantor {

namespace {

// Returns the name of a route in parentheses, read from its ".trk" file; empty
// when the file or its name is missing or cannot be read.
std::string RouteTitle(std::string_view installFolder, const std::string& route) {
    const std::string path =
        std::string(installFolder) + "\\Routes\\" + route + "\\" + route + ".trk";
    const auto file = platform::ResolvePath(path);
    if (!file) {
        return {};
    }
    try {
        corvane::TSFile trackFile(*file);
        trackFile.Load();
        if (trackFile.Items()->Count() == 0) {
            return {};
        }
        const auto routeFile = trackFile.Child("Tr_RouteFile");
        const auto name = routeFile ? routeFile->Child("Name") : nullptr;
        return name ? "(" + ItemFileName(name) + ")" : std::string();
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace

std::string RouteList(std::string_view installFolder, std::string_view filter, bool withNames) {
    std::string list;
    const auto names =
        platform::ListNames(std::string(installFolder) + "\\Routes\\*", platform::EntryTypes::Both);
    for (const std::string& name : names) {
        if (name.find('.') != std::string::npos || !FilterMatch(name, filter)) {
            continue;
        }
        list += (list.empty() ? "" : "|") + name;
        if (withNames) {
            list += RouteTitle(installFolder, name);
        }
    }
    return list;
}

}  // namespace vantor
