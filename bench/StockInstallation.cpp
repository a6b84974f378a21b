#include "StockInstallation.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <string>

namespace vantor::bench {

namespace {

constexpr std::array<const char*, 5> kKinds = {"GP", "Boxcar", "hopper", "Tanker", "CABOOSE"};

void Write(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Returns the name of stock item i: its folder's and its file's name.
std::string StockName(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "%s%05d", kKinds[static_cast<std::size_t>(i) % 5], i);
    return name;
}

// Returns 7-bit text as UTF-16LE behind the byte-order mark, as consists are saved.
std::string Utf16(const std::string& text) {
    std::string bytes = "\xFF\xFE";
    for (const char c : text) {
        bytes.push_back(c);
        bytes.push_back('\0');
    }
    return bytes;
}

// Returns consist number k of an installation of count stock items.
std::string ConsistText(int k, int count) {
    const int vehicles = 5 + k % 40;
    char name[32];
    std::snprintf(name, sizeof name, "Consist%05d", k);
    std::string text = "SIMISA@@@@@@@@@@JINX0D0t______\r\n\r\nTrain (\r\n\tTrainCfg ( " +
                       std::string(name) + "\r\n\t\tName ( " + name +
                       " )\r\n\t\tSerial ( 1 )\r\n\t\tMaxVelocity ( 22.35200 0.10000 )\r\n" +
                       "\t\tNextWagonUID ( " + std::to_string(vehicles) +
                       " )\r\n\t\tDurability ( 1.00000 )\r\n";
    for (int v = 0; v < vehicles; ++v) {
        const int item = (k * 37 + v * 101) % count;
        const std::string type = item % 4 == 0 ? "Engine" : "Wagon";
        const std::string stock = StockName(item);
        text += "\t\t" + type + " (\r\n" + (v % 9 == 1 ? "\t\t\tFlip (  )\r\n" : "") +
                "\t\t\tUiD ( " + std::to_string(v) + " )\r\n\t\t\t" + type + "Data ( " + stock +
                " " + stock + " )\r\n\t\t)\r\n";
    }
    return Utf16(text + "\t)\r\n)");
}

}  // namespace

void MakeStockInstallation(const std::filesystem::path& folder, int count, int consists) {
    namespace fs = std::filesystem;
    const fs::path trainset = folder / "Trains" / "Trainset";
    fs::create_directories(trainset);
    fs::create_directories(folder / "Trains" / "Consists");
    for (int i = 0; i < count; ++i) {
        const std::string name = StockName(i);
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
    for (int k = 0; count > 0 && k < consists; ++k) {
        char name[32];
        std::snprintf(name, sizeof name, "Consist%05d.con", k);
        Write(folder / "Trains" / "Consists" / name, ConsistText(k, count));
    }
}

}  // namespace vantor::bench
