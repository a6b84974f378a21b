#pragma once

// The figures of a consist worked out from its vehicles' engine and wagon files:
// counts, length, mass, power, brake force, the weakest coupler and speeds.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "corvane/TSFile.h"
#include "documents/ConsistEditor.h"

namespace vantor {

// A vehicle whose figures are not all known: its 1-based row and what is missing
// ("stock file", or the missing values' names joined by ", ").
struct PartialVehicle {
    int row = 0;
    std::string missing;

    friend bool operator==(const PartialVehicle&, const PartialVehicle&) = default;
};

// The coupler that breaks first: its vehicle's 1-based row and its break force in N.
struct WeakestCoupler {
    int row = 0;
    double newtons = 0.0;
};

// A total and whether a vehicle that should add to it could not.
struct Total {
    std::optional<double> value;  // nothing when no vehicle gave one
    bool partial = false;
};

// The figures of a consist, in SI units (m, kg, W, N, m/s).
struct ConsistFacts {
    int vehicles = 0;
    int engines = 0;
    int wagons = 0;
    int flipped = 0;
    Total length;                                // sum of each vehicle's Size, third value
    Total mass;                                  // sum of Mass
    Total power;                                 // sum of the engines' MaxPower
    Total brakeForce;                            // sum of MaxBrakeForce
    std::optional<double> kilowattsPerTonne;     // power over mass
    std::optional<double> brakedTonnesPerTonne;  // brake force in tonnes-force per tonne
    std::optional<WeakestCoupler> weakestCoupler;
    bool couplerPartial = false;
    std::optional<double> maxVelocity;    // the consist's own, TrainCfg's MaxVelocity
    Total lowestEngineVelocity;           // the smallest engine MaxVelocity
    std::vector<PartialVehicle> partial;  // in row order
};

// Reads a stock file by its Windows-style path; null when it is missing or unreadable.
using StockLoader = std::function<std::shared_ptr<const corvane::TSFile>(const std::string& path)>;

// Reads a stock file from the file system, in any of its forms.
std::shared_ptr<const corvane::TSFile> LoadStockFile(const std::string& path);

// The figures one stock file gives a vehicle, in SI units.
struct StockFigures {
    bool found = false;  // false when the file is missing or unreadable
    std::optional<double> length, mass, brake, coupler, power, velocity;
};

// The figures of the stock files read so far, by path in any case. A consist
// window keeps one while the consist is edited, so that an edit reads only the
// files of vehicles it has not seen before.
class FactsCache {
public:
    // Returns a stock file's figures, reading the file the first time it is asked for.
    const StockFigures& Figures(const std::string& path, const StockLoader& loader);
    // Forgets every file, so that the next computation reads them again.
    void Clear() { m_figures.clear(); }
    // The number of files read since the cache was made.
    [[nodiscard]] int FilesRead() const { return m_filesRead; }

private:
    std::map<std::string, StockFigures> m_figures;
    int m_filesRead = 0;
};

// Works out the figures of vehicle rows of an installation; the consist's own
// maximum velocity is given in m/s. Each distinct stock file is read once.
ConsistFacts ComputeFacts(const std::vector<VehicleRow>& rows, std::string_view installFolder,
                          std::optional<double> maxVelocity,
                          const StockLoader& loader = LoadStockFile);

// The same, reading through a cache kept between computations.
ConsistFacts ComputeFacts(const std::vector<VehicleRow>& rows, std::string_view installFolder,
                          std::optional<double> maxVelocity, FactsCache& cache,
                          const StockLoader& loader = LoadStockFile);

// The same for a loaded consist, its maximum velocity read from its TrainCfg.
ConsistFacts ComputeFacts(const ConsistEditor& editor, std::string_view installFolder,
                          const StockLoader& loader = LoadStockFile);
ConsistFacts ComputeFacts(const ConsistEditor& editor, std::string_view installFolder,
                          FactsCache& cache, const StockLoader& loader = LoadStockFile);

// Returns the facts in a few lines for the consist window: the counts and totals
// on the first ("(partial)" after a total some vehicle could not add to), then
// one line per missing value naming its vehicles by row, folder and file
// ("2 vehicles without Mass: 3 Box\Light, 5 Box\Light").
std::string FactsSummary(const ConsistFacts& facts, const std::vector<VehicleRow>& rows);

}  // namespace vantor
