#include "platform/IniFile.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/Names.h"

namespace vantor {

namespace {

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Appends the character of a backslash escape that starts at text[i] (after the
// backslash) and returns the index after it.
std::size_t AppendEscape(std::string_view text, std::size_t i, std::string& value) {
    const char c = text[i];
    switch (c) {
        case 'a':
            value += '\a';
            return i + 1;
        case 'b':
            value += '\b';
            return i + 1;
        case 'f':
            value += '\f';
            return i + 1;
        case 'n':
            value += '\n';
            return i + 1;
        case 'r':
            value += '\r';
            return i + 1;
        case 't':
            value += '\t';
            return i + 1;
        case 'v':
            value += '\v';
            return i + 1;
        case 'x': {
            char32_t code = 0;
            std::size_t j = i + 1;
            for (; j < text.size() && HexValue(text[j]) >= 0; ++j) {
                code = code * 16 + static_cast<char32_t>(HexValue(text[j]));
            }
            platform::AppendUtf8(code, value);
            return j;
        }
        default:
            if (c >= '0' && c <= '7') {
                char32_t code = 0;
                std::size_t j = i;
                for (; j < text.size() && j < i + 3 && text[j] >= '0' && text[j] <= '7'; ++j) {
                    code = code * 8 + static_cast<char32_t>(text[j] - '0');
                }
                platform::AppendUtf8(code, value);
                return j;
            }
            value += c;  // "\\", "\"", "\'", "\?" and anything unknown stand for themselves
            return i + 1;
    }
}

// Returns a value as written after "=": quotes removed, escapes resolved.
std::string Unescape(std::string_view text) {
    std::string value;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c == '"') {
            quoted = !quoted;
            ++i;
        } else if (c == '\\' && i + 1 < text.size()) {
            i = AppendEscape(text, i + 1, value);
        } else if (c == ';' && !quoted) {
            break;
        } else {
            value += c;
            ++i;
        }
    }
    if (value.starts_with("@@")) {
        value.erase(0, 1);
    }
    return value;
}

}  // namespace

std::map<std::string, std::string> ParseIniGroup(std::string_view text, std::string_view group) {
    std::map<std::string, std::string> values;
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    bool inGroup = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = Trim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            inGroup = close != std::string_view::npos && line.substr(1, close - 1) == group;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (inGroup && equals != std::string_view::npos) {
            values[std::string(Trim(line.substr(0, equals)))] =
                Unescape(Trim(line.substr(equals + 1)));
        }
    }
    return values;
}

std::map<std::string, std::string> ReadIniGroup(const std::string& path, std::string_view group) {
    std::ifstream in(std::filesystem::path(std::u8string(path.begin(), path.end())),
                     std::ios::binary);
    if (!in) {
        return {};
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return ParseIniGroup(text, group);
}

}  // namespace vantor
