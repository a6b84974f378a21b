// make_check_installation FOLDER [COUNT]: writes a complete installation of COUNT
// engines and wagons (default 5000) with every file the stock checks follow.

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "CheckInstallation.h"

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: make_check_installation FOLDER [COUNT]\n");
        return 2;
    }
    const int count = argc == 3 ? std::atoi(argv[2]) : 5000;
    const auto made = vantor::bench::MakeCheckInstallation(argv[1], count);
    std::printf("%d engines, %d wagons, %zu files for the check to read\n", made.engines,
                made.wagons, made.readFiles.size());
    return 0;
}
