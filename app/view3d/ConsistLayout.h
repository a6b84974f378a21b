#pragma once

// Where the vehicles of a consist stand in the 3D view. The consist lies on the Z
// axis, front at Z = 0 and running towards negative Z; vehicles touch, and each
// stands at the middle of its length from its stock file.

#include <string>
#include <vector>

#include "corvane/TSFileItem.h"

namespace vantor::view3d {

// One vehicle as the view places it.
struct VehiclePlace {
    std::string stockName;  // the Data item's first parameter, as read
    std::string shapeFile;  // the shape's path under the installation
    float length = 0;       // metres
    float centreZ = 0;      // where its middle stands
    bool reversed = false;  // the vehicle is flipped
};

struct ConsistLayout {
    std::vector<VehiclePlace> vehicles;  // the vehicles whose stock could be read
    float endZ = 0;                      // behind the last vehicle: minus the total length
    std::string error;                   // why the layout stopped early; empty when it did not
};

// Lays out the vehicles ("Engine" and "Wagon" items) of a train configuration,
// reading each vehicle's stock file under the installation folder. A stock file
// that cannot be read, or lacks "Wagon", "WagonShape" or "Size", stops the layout
// with an error that names it; the vehicles before it stay.
ConsistLayout LayOutConsist(const corvane::TSFileItem& cfg, const std::string& installFolder);

// Returns the number a text begins with, as a plain numeric conversion reads it
// ("20.5m" gives 20.5); 0 when it begins with none.
float LeadingNumber(const std::string& text);

// Returns the name of a consist from its train configuration's parameters.
std::string ConfigurationName(const corvane::TSFileItem& cfg);

}  // namespace vantor::view3d
