#include "view3d/TextureLookup.h"

#include <vector>

#include "platform/Names.h"
#include "platform/Paths.h"

namespace vantor::view3d {

namespace {

std::string FolderOf(const std::string& path) {
    const std::size_t at = path.find_last_of("\\/");
    return at == std::string::npos ? std::string(".") : path.substr(0, at);
}

// Returns the name with its .ace turned into .dds or the other way round, or "".
std::string OtherForm(const std::string& name) {
    if (name.size() < 4) {
        return {};
    }
    const std::string extension = platform::UpperCase(name.substr(name.size() - 4));
    const std::string base = name.substr(0, name.size() - 4);
    if (extension == ".ACE") {
        return base + ".dds";
    }
    if (extension == ".DDS") {
        return base + ".ace";
    }
    return {};
}

std::optional<std::string> Existing(const std::string& path) {
    if (platform::HasWildcards(path) || !platform::FileExists(path)) {
        return std::nullopt;
    }
    return platform::OnDiskPath(path);
}

}  // namespace

std::optional<std::string> FindTexture(const std::string& shapePath,
                                       const std::string& textureFolder, const std::string& name) {
    if (name.empty()) {
        return std::nullopt;
    }
    const std::string folder = FolderOf(shapePath);
    std::vector<std::string> places = {folder + "\\"};
    if (!textureFolder.empty()) {
        const char last = textureFolder.back();
        places.push_back(folder + "\\" + textureFolder + (last == '\\' || last == '/' ? "" : "\\"));
    }
    const std::string other = OtherForm(name);
    for (const std::string& place : places) {
        if (auto found = Existing(place + name)) {
            return found;
        }
        if (!other.empty()) {
            if (auto found = Existing(place + other)) {
                return found;
            }
        }
    }
    return std::nullopt;
}

}  // namespace vantor::view3d
