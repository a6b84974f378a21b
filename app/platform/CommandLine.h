#pragma once

// A Windows command line, as the C run-time library splits it into arguments.

#include <cstddef>
#include <string>
#include <vector>

namespace vantor::platform {

// Quotes one argument as the C run-time library splits a command line.
inline std::wstring QuoteArgument(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        return argument;
    }
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out.push_back(c);
    }
    out.append(backslashes * 2, L'\\');
    out.push_back(L'"');
    return out;
}

// Joins the program and its arguments into one command line.
inline std::wstring CommandLine(const std::vector<std::wstring>& command) {
    std::wstring line;
    for (const std::wstring& argument : command) {
        line += (line.empty() ? L"" : L" ") + QuoteArgument(argument);
    }
    return line;
}

}  // namespace vantor::platform
