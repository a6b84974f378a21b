// The shape check: image list, textures, .sd file and alternative textures.

#include <array>
#include <vector>

#include "common/ItemText.h"
#include "common/Text.h"
#include "platform/Paths.h"
#include "validation/CheckSupport.h"
#include "validation/TSValidation.h"

namespace vantor {

namespace {

using validation::Exists;
using validation::NamesFile;

// Returns the texture folders, relative to the shape's folder, that an
// alternative-texture value asks for, in the order they are checked.
std::vector<const char*> AlternativeFolders(std::int16_t value) {
    switch (value) {
        case 1:
            return {"\\..\\Textures\\Snow\\"};
        case 252:
            return {"\\..\\Textures\\Autumn\\", "\\..\\Textures\\AutumnSnow\\",
                    "\\..\\Textures\\Spring\\", "\\..\\Textures\\SpringSnow\\",
                    "\\..\\Textures\\Winter\\", "\\..\\Textures\\WinterSnow\\"};
        case 256:
            return {"\\..\\Textures\\Night\\"};
        case 257:
            return {"\\..\\Textures\\Snow\\", "\\..\\Textures\\Night\\"};
        default:
            return {};
    }
}

}  // namespace

TSValidation::Status TSValidation::CheckShape(const std::string& fileName) {
    const platform::ListingCache cache;
    const std::string folder = AnyParentFolder(fileName);
    Status status = IsValid();
    if (!Exists(fileName)) {
        return RaiseError(IsMissing(), fileName, "");
    }
    // Binary and compressed shapes would read as garbage text: they are reported
    // as the simulator's packed form, like a shape that yields no items.
    if (validation::IsPackedShape(fileName)) {
        return RaiseError(IsCompressed(), fileName, "");
    }
    const auto file = validation::LoadFileQuietly(fileName);
    if (file->Items()->Count() == 0) {
        return RaiseError(IsCompressed(), fileName, "");
    }

    std::vector<std::string> images;
    if (const auto imageList = file->Items()->Item(1)->Child("images"); !imageList) {
        status = RaiseError(IsMissing(), fileName, "Images section");
    } else {
        const auto declared = validation::Int16Parameter(*imageList, 0);
        if (imageList->HasChildren()) {
            for (const auto& child : *imageList->Children()) {
                if (child->Name() != "image") {
                    continue;
                }
                images.push_back(ItemFileName(child));
                if (!NamesFile(images.back())) {
                    status = RaiseError(IsCorrupt(), fileName, "image section");
                }
            }
        }
        if (!declared) {
            RaiseError(IsCorrupt(), fileName, "Image count");
        } else if (static_cast<std::size_t>(*declared) != images.size()) {
            RaiseError(IsSuspect(), fileName, "Image count");
        }
    }
    // Tests one texture path per listed image that names a file.
    const auto checkTextures = [&](const std::string& folderText) {
        for (const std::string& image : images) {
            if (!NamesFile(image)) {
                continue;
            }
            const std::string path = folder + folderText + image;
            if (!Exists(path)) {
                status = RaiseError(HasMissingReference(), fileName, path);
            }
        }
    };

    if (Exists(fileName.substr(0, fileName.size() - 1) + "??g")) {
        checkTextures("\\");
        return status;
    }
    checkTextures("\\..\\Textures\\");
    const std::string sd = fileName + "d";
    if (!Exists(sd)) {
        return RaiseError(HasMissingReference(), fileName, sd);
    }
    const auto sdFile = validation::LoadFileQuietly(sd);
    if (sdFile->Items()->Count() == 0) {
        return RaiseError(IsCorrupt(), sd, "");
    }
    const auto alternative = sdFile->Items()->Item(1)->Child("ESD_Alternative_Texture");
    if (!alternative) {
        return RaiseError(IsMissing(), sd, "ESD_Alternative_Texture section");
    }
    const auto value = validation::Int16Parameter(*alternative, 0);
    if (!value) {
        return RaiseError(IsCorrupt(), sd, "ESD_Alternative_Texture section");
    }
    if (*value == 256) {
        RaiseError(IsSuspect(), fileName, "Broken ESD_Alternative_Texture setting of 256");
    }
    const std::vector<const char*> folders = AlternativeFolders(*value);
    for (const std::string& image : images) {
        if (!NamesFile(image)) {
            continue;
        }
        for (const char* folderText : folders) {
            const std::string path = folder + folderText + image;
            if (!Exists(path)) {
                status = RaiseError(HasMissingReference(), fileName, path);
            }
        }
    }
    return status;
}

}  // namespace vantor
