#pragma once

// Makes simulator installations with many stock folders, for measuring the stock scan.

#include <filesystem>

namespace vantor::bench {

// Writes count stock folders under folder's "Trains/Trainset", each with one engine
// (every fourth) or wagon file and its shape, shape description and textures
// beside it; engines also get a SOUND folder. Also writes an empty
// "Trains/Consists" folder.
void MakeStockInstallation(const std::filesystem::path& folder, int count);

}  // namespace vantor::bench
