// corvane: shows and rewrites simulator text files through the Corvane library.

#include <iostream>
#include <string>
#include <vector>

#include "Tool.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const int status = corvane::cli::RunCorvane(std::vector<std::string>(argv + 1, argv + argc),
                                                std::cout, std::cerr);
    std::cout.flush();
    return status;
}
