#pragma once

// Makes simulator installations with many stock folders, for measuring the stock scan.

#include <filesystem>

namespace vantor::bench {

// Writes count stock folders under folder's "Trains/Trainset", each with one engine
// (every fourth) or wagon file and its shape, shape description and textures
// beside it; engines also get a SOUND folder. Also writes the "Trains/Consists"
// folder with consist files "Consist00000.con" and on, each of 5 to 44 vehicles of
// that stock, laid out as the program saves them (none by default).
void MakeStockInstallation(const std::filesystem::path& folder, int count, int consists = 0);

}  // namespace vantor::bench
