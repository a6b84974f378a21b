#include "documents/ConsistFacts.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <map>

#include "common/Text.h"
#include "common/Units.h"
#include "corvane/TSFileItem.h"
#include "platform/Paths.h"

namespace vantor {

namespace {

constexpr double kGravity = 9.81;

// Returns true when an item's name, without blanks and tabs around it, is name in any case.
bool Named(const corvane::TSFileItem& item, std::string_view name) {
    const std::string& text = item.Name();
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return name.empty();
    }
    const std::size_t last = text.find_last_not_of(" \t");
    return AsciiLower(text.substr(first, last - first + 1)) == name;
}

// Returns the first item of a collection named name (see Named), or null.
corvane::TSFileItemPtr FindItem(const corvane::TSItemCollectionPtr& items, std::string_view name) {
    if (!items) {
        return nullptr;
    }
    for (const corvane::TSFileItemPtr& item : *items) {
        if (item && Named(*item, name)) {
            return item;
        }
    }
    return nullptr;
}

corvane::TSItemCollectionPtr ChildrenOf(const corvane::TSFileItemPtr& item) {
    return item && item->HasChildren() ? item->Children() : nullptr;
}

// Returns parameter index of a block's child read as a quantity, or nothing.
std::optional<double> ReadValue(const corvane::TSFileItemPtr& block, std::string_view name,
                                int index, Quantity kind) {
    const corvane::TSFileItemPtr item = FindItem(ChildrenOf(block), name);
    if (!item || item->NumParameters() <= index) {
        return std::nullopt;
    }
    return ReadQuantity(item->ParameterView(index), kind);
}

// Returns the smallest break force of a wagon's couplers, or nothing.
std::optional<double> CouplerBreak(const corvane::TSFileItemPtr& wagon) {
    std::optional<double> weakest;
    const corvane::TSItemCollectionPtr children = ChildrenOf(wagon);
    if (!children) {
        return weakest;
    }
    for (const corvane::TSFileItemPtr& coupling : *children) {
        if (!coupling || !Named(*coupling, "coupling")) {
            continue;
        }
        const auto force =
            ReadValue(FindItem(ChildrenOf(coupling), "spring"), "break", 0, Quantity::Force);
        if (force && (!weakest || *force < *weakest)) {
            weakest = force;
        }
    }
    return weakest;
}

StockFigures ReadFigures(const corvane::TSFile* file) {
    StockFigures figures;
    if (file == nullptr) {
        return figures;
    }
    figures.found = true;
    const corvane::TSFileItemPtr wagon = FindItem(file->Items(), "wagon");
    const corvane::TSFileItemPtr engine = FindItem(file->Items(), "engine");
    figures.length = ReadValue(wagon, "size", 2, Quantity::Length);
    figures.mass = ReadValue(wagon, "mass", 0, Quantity::Mass);
    figures.brake = ReadValue(wagon, "maxbrakeforce", 0, Quantity::Force);
    figures.coupler = CouplerBreak(wagon);
    figures.power = ReadValue(engine, "maxpower", 0, Quantity::Power);
    figures.velocity = ReadValue(engine, "maxvelocity", 0, Quantity::Speed);
    return figures;
}

// Names a value a vehicle lacks in the list of its missing values.
void NoteMissing(std::string& missing, const char* name) {
    missing.append(missing.empty() ? "" : ", ").append(name);
}

// Adds a vehicle's value to a total, or marks the total partial and names the value.
void AddTo(Total& total, const std::optional<double>& value, const char* name,
           std::string& missing) {
    if (value) {
        total.value = total.value.value_or(0.0) + *value;
        return;
    }
    total.partial = true;
    NoteMissing(missing, name);
}

// Returns a value with a fixed number of decimals and its unit, or "unknown".
std::string Number(const std::optional<double>& value, int decimals, const char* unit) {
    if (!value) {
        return "unknown";
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.*f %s", decimals, *value, unit);
    return text;
}

}  // namespace

std::shared_ptr<const corvane::TSFile> LoadStockFile(const std::string& path) {
    const std::optional<std::string> real = platform::ResolvePath(path);
    if (!real) {
        return nullptr;
    }
    try {
        auto file = std::make_shared<corvane::TSFile>(*real);
        file->LoadAnyForm();
        return file;
    } catch (const std::exception&) {
        return nullptr;
    }
}

const StockFigures& FactsCache::Figures(const std::string& path, const StockLoader& loader) {
    auto [entry, added] = m_figures.try_emplace(AsciiLower(path));
    if (added) {
        const auto file = loader ? loader(path) : nullptr;
        ++m_filesRead;
        entry->second = ReadFigures(file.get());
    }
    return entry->second;
}

ConsistFacts ComputeFacts(const std::vector<VehicleRow>& rows, std::string_view installFolder,
                          std::optional<double> maxVelocity, const StockLoader& loader) {
    FactsCache cache;
    return ComputeFacts(rows, installFolder, maxVelocity, cache, loader);
}

ConsistFacts ComputeFacts(const std::vector<VehicleRow>& rows, std::string_view installFolder,
                          std::optional<double> maxVelocity, FactsCache& cache,
                          const StockLoader& loader) {
    ConsistFacts facts;
    facts.maxVelocity = maxVelocity;
    int rowNumber = 0;
    for (const VehicleRow& row : rows) {
        ++rowNumber;
        const bool flipped = row.type.ends_with('*');
        const std::string type = flipped ? row.type.substr(0, row.type.size() - 1) : row.type;
        const bool engine = AsciiLower(type) == "engine";
        ++facts.vehicles;
        ++(engine ? facts.engines : facts.wagons);
        facts.flipped += flipped ? 1 : 0;
        const std::string path =
            StockFilePath(installFolder, StockRow{type, row.folder, row.shape});
        const StockFigures& figures = cache.Figures(path, loader);
        std::string missing;
        if (!figures.found) {
            missing = "stock file";
            facts.length.partial = facts.mass.partial = facts.brakeForce.partial = true;
            facts.couplerPartial = true;
            if (engine) {
                facts.power.partial = facts.lowestEngineVelocity.partial = true;
            }
        } else {
            AddTo(facts.length, figures.length, "Size", missing);
            AddTo(facts.mass, figures.mass, "Mass", missing);
            AddTo(facts.brakeForce, figures.brake, "MaxBrakeForce", missing);
            if (figures.coupler) {
                if (!facts.weakestCoupler || *figures.coupler < facts.weakestCoupler->newtons) {
                    facts.weakestCoupler = WeakestCoupler{rowNumber, *figures.coupler};
                }
            } else {
                facts.couplerPartial = true;
                NoteMissing(missing, "Coupling Break");
            }
            if (engine) {
                AddTo(facts.power, figures.power, "MaxPower", missing);
                if (figures.velocity) {
                    auto& lowest = facts.lowestEngineVelocity.value;
                    lowest = lowest ? std::min(*lowest, *figures.velocity) : *figures.velocity;
                } else {
                    facts.lowestEngineVelocity.partial = true;
                    NoteMissing(missing, "MaxVelocity");
                }
            }
        }
        if (!missing.empty()) {
            facts.partial.push_back({rowNumber, missing});
        }
    }
    // A total that no vehicle should have added to is 0; one that none could add to stays unknown.
    for (Total* total : {&facts.length, &facts.mass, &facts.brakeForce, &facts.power}) {
        if (!total->partial && !total->value) {
            total->value = 0.0;
        }
    }
    if (facts.power.value && facts.mass.value && *facts.mass.value > 0.0) {
        facts.kilowattsPerTonne = (*facts.power.value / 1000.0) / (*facts.mass.value / 1000.0);
    }
    if (facts.brakeForce.value && facts.mass.value && *facts.mass.value > 0.0) {
        facts.brakedTonnesPerTonne = *facts.brakeForce.value / (kGravity * *facts.mass.value);
    }
    return facts;
}

ConsistFacts ComputeFacts(const ConsistEditor& editor, std::string_view installFolder,
                          const StockLoader& loader) {
    FactsCache cache;
    return ComputeFacts(editor, installFolder, cache, loader);
}

ConsistFacts ComputeFacts(const ConsistEditor& editor, std::string_view installFolder,
                          FactsCache& cache, const StockLoader& loader) {
    return ComputeFacts(editor.Rows(), installFolder,
                        ReadQuantity(editor.MaxVelocity(0), Quantity::Speed), cache, loader);
}

std::string FactsSummary(const ConsistFacts& facts, const std::vector<VehicleRow>& rows) {
    const auto total = [](const Total& value, double scale, int decimals, const char* unit) {
        return Number(value.value ? std::optional<double>(*value.value / scale) : std::nullopt,
                      decimals, unit) +
               (value.partial ? " (partial)" : "");
    };
    const auto count = [](int n, const char* noun) {
        return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
    };
    std::string text = count(facts.vehicles, "vehicle") + " (" + count(facts.engines, "engine") +
                       ", " + count(facts.wagons, "wagon") + ", " + std::to_string(facts.flipped) +
                       " flipped); length " + total(facts.length, 1.0, 1, "m") + "; mass " +
                       total(facts.mass, 1000.0, 1, "t") + "; power " +
                       total(facts.power, 1000.0, 0, "kW") + ", " +
                       Number(facts.kilowattsPerTonne, 2, "kW/t") + "; brakes " +
                       total(facts.brakeForce, 1000.0, 1, "kN") + ", " +
                       Number(facts.brakedTonnesPerTonne, 3, "t/t") + "; weakest coupler ";
    if (facts.weakestCoupler) {
        text += Number(facts.weakestCoupler->newtons / 1000.0, 1, "kN") + " (row " +
                std::to_string(facts.weakestCoupler->row) + ")";
    } else {
        text += "unknown";
    }
    const auto kmh = [](const std::optional<double>& speed) {
        return speed ? std::optional<double>(*speed * 3.6) : std::nullopt;
    };
    text += std::string(facts.couplerPartial ? " (partial)" : "") + "; max velocity " +
            Number(kmh(facts.maxVelocity), 1, "km/h") + ", lowest engine " +
            total({kmh(facts.lowestEngineVelocity.value), facts.lowestEngineVelocity.partial}, 1.0,
                  1, "km/h");
    // One line per missing value, its vehicles in row order.
    std::vector<std::pair<std::string, std::vector<int>>> missing;
    for (const PartialVehicle& vehicle : facts.partial) {
        std::size_t start = 0;
        while (start <= vehicle.missing.size()) {
            const std::size_t end =
                std::min(vehicle.missing.find(", ", start), vehicle.missing.size());
            const std::string what = vehicle.missing.substr(start, end - start);
            auto found = std::find_if(missing.begin(), missing.end(),
                                      [&](const auto& entry) { return entry.first == what; });
            if (found == missing.end()) {
                found = missing.insert(missing.end(), {what, {}});
            }
            found->second.push_back(vehicle.row);
            start = end + 2;
        }
    }
    for (const auto& [what, vehicleRows] : missing) {
        text += "\n" + std::to_string(vehicleRows.size()) +
                (vehicleRows.size() == 1 ? " vehicle without " : " vehicles without ") + what + ":";
        for (const int row : vehicleRows) {
            const VehicleRow& vehicle = rows.at(static_cast<std::size_t>(row - 1));
            text += (row == vehicleRows.front() ? " " : ", ") + std::to_string(row) + " " +
                    vehicle.folder + "\\" + vehicle.shape;
        }
    }
    return text;
}

}  // namespace vantor
