// The consist and route-usage checks, and the check of all installed stock.

#include <cstdint>
#include <exception>
#include <memory>
#include <utility>
#include <vector>

#include "common/ItemText.h"
#include "common/Text.h"
#include "platform/Paths.h"
#include "validation/CheckSupport.h"
#include "validation/InOrder.h"
#include "validation/TSValidation.h"

namespace vantor {

namespace {

using validation::Exists;
using validation::NamesFile;

// Returns the TrainCfg item of a consist (the first child of its first top-level
// item), or null with the name of the missing section in section.
corvane::TSFileItemPtr TrainConfig(const corvane::TSFile& file, std::string& section) {
    if (file.Items()->Count() == 0) {
        section = "Train section";
        return nullptr;
    }
    const auto& train = file.Items()->Item(1);
    if (!train->HasChildren()) {
        section = "TrainCfg section";
        return nullptr;
    }
    return train->Children()->Item(1);
}

// Returns true when a vehicle of a consist (its TrainCfg item) is the stock of an identity.
bool UsesStock(const corvane::TSFileItem& cfg, const validation::StockIdentity& identity) {
    bool used = false;
    validation::ForEachVehicle(cfg, [&](const corvane::TSFileItem& vehicle) {
        used = validation::RefersTo(vehicle, identity);
        return !used;
    });
    return used;
}

}  // namespace

void validation::FindConsistsUsing(const std::string& installFolder, const std::string& stockPath,
                                   const ConsistWalk& walk) {
    const platform::ListingCache cache;
    const StockIdentity identity = IdentityOf(stockPath);
    const std::string consists = installFolder + "\\Trains\\Consists\\";
    for (const std::string& name :
         platform::ListNames(consists + "*.con", platform::EntryTypes::Files)) {
        if (walk.progress) {
            walk.progress(name);
        }
        const std::string path = consists + name;
        try {
            auto file = LoadFile(path);
            std::string section;
            const auto cfg = TrainConfig(*file, section);
            if (!cfg) {
                if (walk.missingSection) {
                    walk.missingSection(path, section);
                }
                continue;
            }
            if (UsesStock(*cfg, identity) && walk.uses) {
                walk.uses(path, std::move(file));
            }
        } catch (const std::exception& error) {
            if (walk.unreadable) {
                walk.unreadable(path, error);
            }
        }
    }
}

TSValidation::Status TSValidation::CheckConsist(const std::string& fileName) {
    const platform::ListingCache cache;
    const std::string trainset = m_installFolder + "\\Trains\\Trainset\\";
    Status status = IsValid();
    try {
        if (!Exists(fileName)) {
            return status = RaiseError(IsMissing(), fileName, "");
        }
        const auto file = validation::LoadFile(fileName);
        std::string section;
        const auto cfg = TrainConfig(*file, section);
        if (!cfg) {
            return status = RaiseError(IsMissing(), fileName, section);
        }
        validation::ForEachVehicle(*cfg, [&](const corvane::TSFileItem& vehicle) {
            const auto data = validation::VehicleData(vehicle);
            const std::string folder = validation::VehicleFolder(*data);
            const std::string stock = trainset + folder + "\\" + StripQuotes(data->Parameter(0)) +
                                      "." + StockExtension(vehicle.Name());
            if (!Exists(stock)) {
                status = RaiseError(HasMissingReference(), fileName, stock);
                return true;
            }
            RaiseError(IsReferenced(), fileName, stock);
            const auto stockFile = validation::LoadFile(stock);
            const auto wagon = stockFile->Child("Wagon");
            const auto shapeItem = wagon ? wagon->Child("WagonShape") : nullptr;
            const std::string shapeName = shapeItem && shapeItem->NumParameters() > 0
                                              ? StripQuotes(shapeItem->Parameter(0))
                                              : std::string();
            if (!wagon) {
                status = RaiseError(IsCorrupt(), stock, "");
            } else if (!shapeItem) {
                status = RaiseError(IsMissing(), stock, "WagonShape section");
            } else if (!NamesFile(shapeName)) {
                status = RaiseError(IsCorrupt(), stock, "WagonShape section");
            } else if (const std::string shape = trainset + folder + "\\" + shapeName;
                       !Exists(shape)) {
                status = RaiseError(HasMissingReference(), stock, shape);
            } else {
                RaiseError(IsReferenced(), stock, shape);
            }
            return true;
        });
    } catch (const std::exception& error) {
        status = RaiseError(IsCorrupt(), fileName, "", validation::ErrorText(error));
    }
    return status;
}

struct TSValidation::RecordedCheck {
    std::vector<Recorded> raised;
    Status status = IsValid();
    std::exception_ptr error;
};

TSValidation::Status TSValidation::CheckAllStock(const std::string& filter) {
    const platform::ListingCache cache;
    RaiseProgress("Checking your TS Installation");
    Status status = IsValid();
    const std::string trainset = m_installFolder + "\\Trains\\Trainset\\";
    std::vector<std::string> folders;
    for (std::string& folder : platform::ListNames(trainset + "*.", platform::EntryTypes::Both)) {
        if (FilterMatch(folder, filter)) {
            folders.push_back(trainset + folder + "\\");
        }
    }
    // Thousands of folders and files: the folders are read, and the files checked,
    // on every processor, and what each file's check raises is raised here, in order.
    const unsigned threads = validation::CheckThreads();
    const auto shareListings = [&cache] {
        return std::make_unique<platform::ListingCache>(platform::ListingCache::ShareWith{cache});
    };
    std::vector<std::string> files;
    validation::RunInOrder<std::vector<std::string>>(
        folders.size(), threads, shareListings,
        [&folders](std::size_t i) {
            return platform::ListNames(folders[i] + "*.??g", platform::EntryTypes::Files);
        },
        [&](std::size_t i, std::vector<std::string>& names) {
            for (const std::string& name : names) {
                files.push_back(folders[i] + name);
            }
            LetEventsRun();
        });

    const std::string total = std::to_string(files.size());
    const bool recordProgress = static_cast<bool>(m_messageRaised);
    validation::RunInOrder<RecordedCheck>(
        files.size(), threads, shareListings,
        [&](std::size_t i) {
            RecordedCheck check;
            TSValidation worker(m_installFolder);
            worker.m_verboseMessages = m_verboseMessages;
            worker.m_recording = &check.raised;
            worker.m_recordProgress = recordProgress;
            try {
                check.status = worker.CheckStock(files[i]);
            } catch (...) {
                // Raised in order, after what the check raised before it failed.
                check.error = std::current_exception();
            }
            return check;
        },
        [&](std::size_t i, RecordedCheck& check) {
            RaiseProgress("Checking (" + std::to_string(i + 1) + " of " + total + ") " + files[i]);
            for (const Recorded& raised : check.raised) {
                if (raised.progress) {
                    RaiseProgress(raised.fileName);
                } else {
                    RaiseError(raised.errorCode, raised.fileName, raised.reference, raised.reason);
                }
            }
            if (check.error) {
                std::rethrow_exception(check.error);
            }
            if (check.status != IsValid()) {
                status = IsSuspect();
            }
        });
    RaiseProgress("TS Installation check complete");
    return status;
}

TSValidation::Status TSValidation::CheckStockInConsists(const std::string& fileName) {
    Status status = IsValid();
    bool found = false;
    validation::ConsistWalk walk;
    walk.progress = [this](const std::string& name) { RaiseProgress("Checking " + name); };
    walk.missingSection = [&](const std::string& path, const std::string& section) {
        status = RaiseError(IsMissing(), path, section);
    };
    walk.uses = [&](const std::string& path, std::unique_ptr<corvane::TSFile>) {
        RaiseError(IsReferenced(), path, fileName);
        found = true;
    };
    walk.unreadable = [&](const std::string& path, const std::exception& error) {
        status = RaiseError(IsCorrupt(), path, "", validation::ErrorText(error));
    };
    validation::FindConsistsUsing(m_installFolder, fileName, walk);
    if (!found) {
        status = RaiseError(IsMissing(), "all consists", fileName);
    }
    RaiseProgress("Done");
    return status;
}

TSValidation::Status TSValidation::CheckConsistUseInRoute(const std::string& route,
                                                          const std::string& consistName) {
    const platform::ListingCache cache;
    Status status = IsValid();
    bool found = false;
    const std::string routeFolder = m_installFolder + "\\Routes\\" + route;
    if (!platform::FolderExists(routeFolder)) {
        return RaiseError(IsMissing(), "Route " + route, "");
    }
    const std::string services = routeFolder + "\\Services\\";
    for (const std::string& name :
         platform::ListNames(services + "*.srv", platform::EntryTypes::Files)) {
        const std::string path = services + name;
        try {
            const auto file = validation::LoadFile(path);
            const auto definition = file->Child("Service_Definition");
            const auto config = definition ? definition->Child("Train_Config") : nullptr;
            if (!config) {
                status =
                    RaiseError(IsMissing(), path,
                               definition ? "Train_Config section" : "Service_Definition section");
                continue;
            }
            if (config->NumParameters() == 0) {
                status = RaiseError(IsCorrupt(), path, "Train_Config section");
                continue;
            }
            if (QuotedParameter(*config, 0) == consistName) {
                RaiseError(IsReferenced(), path,
                           m_installFolder + "\\Trains\\Consists\\" + consistName + ".con");
                found = true;
            }
        } catch (const std::exception& error) {
            status = RaiseError(IsCorrupt(), path, "", validation::ErrorText(error));
        }
    }
    if (!found) {
        RaiseError(IsValid(), route + " services", consistName);
    }
    return status;
}

TSValidation::Status TSValidation::CheckStockUseInRoute(const std::string& fileName,
                                                        const std::string& route) {
    const platform::ListingCache cache;
    Status status = IsValid();
    try {
        const validation::StockIdentity identity = validation::IdentityOf(fileName);
        bool found = false;
        const std::string routeFolder = m_installFolder + "\\Routes\\" + route;
        if (!platform::FolderExists(routeFolder)) {
            return status = RaiseError(IsMissing(), "Route " + route, "");
        }
        const std::string activities = routeFolder + "\\Activities\\";
        for (const std::string& name :
             platform::ListNames(activities + "*.act", platform::EntryTypes::Files)) {
            const std::string path = activities + name;
            const auto file = validation::LoadFile(path);
            const auto activity = file->Child("Tr_Activity");
            const auto activityFile = activity ? activity->Child("Tr_Activity_File") : nullptr;
            const auto objects = activityFile ? activityFile->Child("ActivityObjects") : nullptr;
            if (!objects || !objects->HasChildren()) {
                continue;
            }
            for (const auto& object : *objects->Children()) {
                const auto type = object->Child("ObjectType");
                if (!type || type->NumParameters() == 0 || type->Parameter(0) != "WagonsList") {
                    continue;
                }
                const auto config = object->Child("Train_Config");
                const auto cfg = config ? config->Child("TrainCfg") : nullptr;
                if (!cfg) {
                    status = RaiseError(IsMissing(), path,
                                        config ? "TrainCfg section" : "Train_Config section");
                    continue;
                }
                if (UsesStock(*cfg, identity)) {
                    RaiseError(IsReferenced(), path, fileName);
                    found = true;
                }
            }
        }
        if (!found) {
            RaiseError(IsValid(), route + " activities", fileName);
        }
    } catch (const std::exception& error) {
        status = RaiseError(IsCorrupt(), fileName, "", validation::ErrorText(error));
    }
    return status;
}

}  // namespace vantor
