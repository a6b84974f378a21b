// The stock checks: an engine or wagon file, its sound definitions and its cab view.

#include "common/ItemText.h"
#include "common/Text.h"
#include "platform/Paths.h"
#include "validation/CheckSupport.h"
#include "validation/TSValidation.h"

namespace vantor {

namespace {

using validation::Exists;
using validation::LoadFileQuietly;
using validation::LoadIfOrdinaryFile;
using validation::NamesFile;

// Returns parameter 0 of an item, empty when the item is null or has none.
std::string FirstParameter(const corvane::TSFileItemPtr& item) {
    return item && item->NumParameters() > 0 ? item->Parameter(0) : std::string();
}

}  // namespace

TSValidation::Status TSValidation::CheckStock(const std::string& fileName) {
    const platform::ListingCache cache;
    const std::string folder = AnyParentFolder(fileName);
    RaiseProgress("Checking " + fileName);
    Status status = IsValid();
    if (!Exists(fileName)) {
        return RaiseError(IsMissing(), fileName, "");
    }
    const auto file = LoadFileQuietly(fileName);
    const auto wagon = file->Child("Wagon");
    if (!wagon) {
        return RaiseError(IsCorrupt(), fileName, "");
    }

    RaiseProgress("Checking shape files");
    const auto shapeItem = wagon->Child("WagonShape");
    const std::string shapeName = FirstParameter(shapeItem);
    if (!shapeItem) {
        status = RaiseError(IsMissing(), fileName, "WagonShape section");
    } else if (!NamesFile(shapeName)) {
        status = RaiseError(IsCorrupt(), fileName, "WagonShape section");
    } else {
        const std::string shape = folder + "\\" + shapeName;
        if (!Exists(shape)) {
            status = RaiseError(HasMissingReference(), fileName, shape);
        }
        const std::string sd = shape + "d";
        if (!Exists(sd)) {
            status = RaiseError(HasMissingReference(), fileName, sd);
        }
    }
    if (const auto thumbnail = wagon->Child("Thumbnail")) {
        const std::string thumbName = FirstParameter(thumbnail);
        const std::string thumb = folder + "\\" + thumbName;
        if (!NamesFile(thumbName)) {
            status = RaiseError(IsCorrupt(), fileName, "Thumbnail section");
        } else if (!Exists(thumb)) {
            status = RaiseError(HasMissingReference(), fileName, thumb);
        }
    }

    RaiseProgress("Checking sound files");
    const auto soundItem = wagon->Child("Sound");
    const std::string soundName = CleanPath(TrimBlanks(FirstParameter(soundItem)));
    if (!soundItem) {
        status = RaiseError(IsMissing(), fileName, "Wagon Sound section");
    } else if (!NamesFile(soundName)) {
        status = RaiseError(IsCorrupt(), fileName, "Wagon Sound section");
    } else {
        const std::string sound = folder + "\\Sound\\" + soundName;
        if (const auto soundFile = LoadIfOrdinaryFile(sound); !soundFile) {
            status = RaiseError(HasMissingReference(), fileName, sound);
        } else if (CheckSoundFile(sound, *soundFile) != IsValid()) {
            status = IsSuspect();
        }
    }

    RaiseProgress("Checking engine related files");
    if (file->Filetype() != "eng") {
        return status;
    }
    if (file->Items()->Count() < 2) {
        RaiseError(IsMissing(), fileName, "Engine section");
        return IsSuspect();
    }
    const auto engine = file->Items()->Item(2);
    const std::string engineName = FirstParameter(engine);
    if (FirstParameter(wagon) != engineName ||
        FirstParameter(engine->Child("Wagon")) != engineName) {
        status = RaiseError(IsCorrupt(), fileName, "Engine and wagon names");
    }

    RaiseProgress("Checking cabview files");
    if (const auto cabItem = engine->Child("CabView"); !cabItem) {
        status = RaiseError(IsMissing(), fileName, "Cabview section");
    } else if (const std::string cabName = ItemFileName(cabItem); !NamesFile(cabName)) {
        status = RaiseError(IsCorrupt(), fileName, "Cabview section");
    } else {
        const std::string cab = folder + "\\Cabview\\" + cabName;
        if (const auto cabFile = LoadIfOrdinaryFile(cab); !cabFile) {
            status = RaiseError(HasMissingReference(), fileName, cab);
        } else if (CheckCabViewFile(cab, *cabFile) != IsValid()) {
            status = IsSuspect();
        }
    }

    RaiseProgress("Checking sound files");
    if (const auto smsItem = engine->Child("Sound"); !smsItem) {
        status = RaiseError(IsMissing(), fileName, "Sound section");
    } else if (const std::string smsName = ItemFileName(smsItem); !NamesFile(smsName)) {
        status = RaiseError(IsCorrupt(), fileName, "Sound section");
    } else {
        const std::string sms = folder + "\\Sound\\" + smsName;
        if (const auto smsFile = LoadIfOrdinaryFile(sms); !smsFile) {
            status = RaiseError(HasMissingReference(), fileName, sms);
        } else if (CheckSoundFile(sms, *smsFile) != IsValid()) {
            status = IsSuspect();
        }
    }
    return status;
}

TSValidation::Status TSValidation::CheckSound(const std::string& fileName) {
    const platform::ListingCache cache;
    const auto file = LoadIfOrdinaryFile(fileName);
    if (!file) {
        return RaiseError(IsMissing(), fileName, "");
    }
    return CheckSoundFile(fileName, *file);
}

TSValidation::Status TSValidation::CheckSoundFile(const std::string& fileName,
                                                  const corvane::TSFile& file) {
    const auto root = file.Child("Tr_SMS");
    if (!root) {
        return RaiseError(IsCorrupt(), fileName, "");
    }
    return RaiseError(CheckFileItems(fileName, root), fileName, "");
}

TSValidation::Status TSValidation::CheckFileItems(const std::string& referringFile,
                                                  const corvane::TSFileItemPtr& item) {
    const std::string folder = AnyParentFolder(referringFile);
    // Tests the sound file that a "File" item names.
    const auto checkFile = [&](const corvane::TSFileItemPtr& file) {
        const std::string name = ItemFileName(file);
        if (!NamesFile(name)) {
            return RaiseError(IsCorrupt(), referringFile, "File section");
        }
        const std::string path = folder + "\\" + name;
        if (Exists(path)) {
            return RaiseError(IsValid(), path, "");
        }
        return RaiseError(HasMissingReference(), referringFile, path);
    };
    if (item->Name() == "File") {
        return checkFile(item);
    }
    // Every "File" item below, depth first in file order, on a stack of our own:
    // a file nested a million deep is checked like any other.
    Status status = IsValid();
    std::vector<const corvane::TSFileItemPtr*> pending{&item};
    while (!pending.empty()) {
        const corvane::TSFileItemPtr& next = *pending.back();
        pending.pop_back();
        if (&next != &item && next->Name() == "File") {
            if (checkFile(next) != IsValid()) {
                status = IsSuspect();
            }
            continue;
        }
        if (next->HasChildren()) {
            const auto& children = *next->Children();
            for (auto child = children.end(); child != children.begin();) {
                --child;
                pending.push_back(&*child);
            }
        }
    }
    return status;
}

TSValidation::Status TSValidation::CheckCabView(const std::string& fileName) {
    const platform::ListingCache cache;
    const auto file = LoadIfOrdinaryFile(fileName);
    if (!file) {
        return RaiseError(IsMissing(), fileName, "");
    }
    return CheckCabViewFile(fileName, *file);
}

TSValidation::Status TSValidation::CheckCabViewFile(const std::string& fileName,
                                                    const corvane::TSFile& file) {
    const platform::ListingCache cache;
    const std::string folder = AnyParentFolder(fileName);
    const auto root = file.Child("Tr_CabViewFile");
    if (!root) {
        return RaiseError(IsCorrupt(), fileName, "");
    }
    Status status = IsValid();
    // Tests one image that an item names; an item that names no file is corrupt.
    const auto checkImage = [&](const corvane::TSFileItemPtr& item) {
        const std::string name = ItemFileName(item);
        if (!NamesFile(name)) {
            status = RaiseError(IsCorrupt(), fileName, item->Name() + " section");
            return;
        }
        const std::string path = folder + "\\" + name;
        if (Exists(path)) {
            RaiseError(IsValid(), fileName, path);
        } else {
            status = RaiseError(HasMissingReference(), fileName, path);
        }
    };
    if (root->HasChildren()) {
        const auto& children = *root->Children();
        for (int position = root->ChildIndex("CabViewFile", 0); position != 0;
             position = root->ChildIndex("CabViewFile", position)) {
            checkImage(children.Item(position));
        }
    }
    if (const auto controls = root->Child("CabViewControls"); controls && controls->HasChildren()) {
        for (const auto& control : *controls->Children()) {
            // Controls without a "Graphic" item (digital displays, clocks) show no image.
            if (const auto graphic = control->Child("Graphic")) {
                checkImage(graphic);
            }
        }
    }
    RaiseError(status, fileName, "");
    return status;
}

}  // namespace vantor
