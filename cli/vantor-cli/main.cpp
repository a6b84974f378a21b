// vantor-cli: prints the routes, consists and stock of a simulator installation.

#include <iostream>
#include <string>
#include <vector>

#include "Cli.h"

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <filesystem>

int wmain(int argc, wchar_t** argv) {
    SetConsoleOutputCP(CP_UTF8);
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        const std::u8string text = std::filesystem::path(argv[i]).u8string();
        arguments.emplace_back(text.begin(), text.end());
    }
#else
int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
#endif
    std::ios::sync_with_stdio(false);
    const int status = vantor::cli::RunCli(arguments, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
