// make_stock_installation DIR COUNT: writes an installation of COUNT stock folders.

#include <cstdio>
#include <cstdlib>
#include <exception>

#include "StockInstallation.h"

int main(int argc, char** argv) {
    if (argc != 3 || std::atoi(argv[2]) <= 0) {
        std::fprintf(stderr, "usage: make_stock_installation DIR COUNT\n");
        return 2;
    }
    try {
        vantor::bench::MakeStockInstallation(argv[1], std::atoi(argv[2]));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make_stock_installation: %s\n", error.what());
        return 1;
    }
    return 0;
}
