#include "StockInstallation.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <string>

namespace vantor::bench {

namespace {

void Write(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

}  // namespace

void MakeStockInstallation(const std::filesystem::path& folder, int count) {
    namespace fs = std::filesystem;
    const fs::path trainset = folder / "Trains" / "Trainset";
    fs::create_directories(trainset);
    fs::create_directories(folder / "Trains" / "Consists");
    static constexpr std::array<const char*, 5> kKinds = {"GP", "Boxcar", "hopper", "Tanker",
                                                          "CABOOSE"};
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "%s%05d", kKinds[static_cast<std::size_t>(i) % 5], i);
        const fs::path stock = trainset / name;
        fs::create_directory(stock);
        const bool engine = i % 4 == 0;
        const std::string base = (stock / name).string();
        Write(base + (engine ? ".eng" : ".wag"),
              std::string(engine ? "Engine" : "Wagon") + " ( " + name + " )\n");
        Write(base + ".s", "shape\n");
        Write(base + ".sd", "shape description\n");
        Write(base + ".ace", "texture\n");
        Write(base + "_Thumb.ace", "thumbnail\n");
        if (engine) {
            fs::create_directory(stock / "SOUND");
            Write((stock / "SOUND" / name).string() + ".sms", "sounds\n");
        }
    }
}

}  // namespace vantor::bench
