// corvane: shows and rewrites simulator text files through the Corvane library.

#include <iostream>
#include <string>
#include <vector>

#include "ProgramStart.h"
#include "Tool.h"

#if defined(_WIN32)
int wmain(int argc, wchar_t** argv);
int wmain(int argc, wchar_t** argv) {
#else
int main(int argc, char** argv) {
#endif
    const program_start::StandardStreams streams;
    std::ios::sync_with_stdio(false);
    const int status =
        corvane::cli::RunCorvane(program_start::Arguments(argc, argv), std::cout, std::cerr);
    std::cout.flush();
    return status;
}
