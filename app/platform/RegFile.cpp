#include "platform/RegFile.h"

#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <system_error>
#include <unordered_map>
#include <vector>

#include "platform/Names.h"

namespace vantor::platform::detail {

namespace {

namespace fs = std::filesystem;

// Collects UTF-16 code units and plain bytes into UTF-8 text.
class Utf16Collector {
public:
    void Unit(char16_t unit) {
        if (unit >= 0xD800 && unit < 0xDC00) {
            Flush();
            m_high = unit;
        } else if (unit >= 0xDC00 && unit < 0xE000 && m_high != 0) {
            AppendUtf8(0x10000 + ((m_high - 0xD800) << 10) + (unit - 0xDC00), m_text);
            m_high = 0;
        } else {
            Flush();
            AppendUtf8(unit >= 0xD800 && unit < 0xE000 ? 0xFFFD : unit, m_text);
        }
    }

    void Byte(char byte) {
        Flush();
        m_text.push_back(byte);
    }

    std::string Take() {
        Flush();
        return std::move(m_text);
    }

private:
    void Flush() {
        if (m_high != 0) {
            AppendUtf8(0xFFFD, m_text);
            m_high = 0;
        }
    }

    std::string m_text;
    char16_t m_high = 0;
};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

// Reads up to maxDigits digits of a base at text[pos]; returns the count read.
int ReadNumber(std::string_view text, std::size_t& pos, int base, int maxDigits, unsigned& value) {
    int count = 0;
    value = 0;
    while (count < maxDigits && pos < text.size()) {
        const int digit = HexDigit(text[pos]);
        if (digit < 0 || digit >= base) {
            break;
        }
        value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
        ++pos;
        ++count;
    }
    return count;
}

// Returns the character of a one-letter escape, 0 when c is none.
char SimpleEscape(char c) {
    switch (c) {
        case 'a':
            return '\a';
        case 'b':
            return '\b';
        case 'e':
            return '\x1B';
        case 'f':
            return '\f';
        case 'n':
            return '\n';
        case 'r':
            return '\r';
        case 't':
            return '\t';
        case 'v':
            return '\v';
        default:
            return 0;
    }
}

// Reads the escape after a backslash at text[pos] into out.
void ReadEscape(std::string_view text, std::size_t& pos, Utf16Collector& out) {
    const char c = text[pos];
    unsigned value = 0;
    if (const char simple = SimpleEscape(c)) {
        out.Byte(simple);
        ++pos;
    } else if (c == 'x') {
        ++pos;
        if (ReadNumber(text, pos, 16, 4, value) == 0) {
            out.Byte('x');
        } else {
            out.Unit(static_cast<char16_t>(value));
        }
    } else if (c >= '0' && c <= '7') {
        ReadNumber(text, pos, 8, 3, value);
        out.Unit(static_cast<char16_t>(value));
    } else {
        out.Byte(c);
        ++pos;
    }
}

std::string CutAtNul(std::string text) {
    const std::size_t nul = text.find('\0');
    if (nul != std::string::npos) {
        text.resize(nul);
    }
    return text;
}

// Returns the text of little-endian UTF-16 bytes written as "41,00,42,00".
std::string HexUtf16(std::string_view bytes) {
    std::vector<unsigned> values;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        unsigned value = 0;
        if (ReadNumber(bytes, pos, 16, 2, value) > 0) {
            values.push_back(value);
        } else {
            ++pos;
        }
    }
    Utf16Collector out;
    for (std::size_t i = 0; i + 1 < values.size(); i += 2) {
        out.Unit(static_cast<char16_t>(values[i] | (values[i + 1] << 8)));
    }
    return out.Take();
}

bool IsStringType(std::string_view type) {
    return type == "1" || type == "2" || type == "7";
}

// The keys of one registry file: upper-case key path, upper-case value name, raw data.
using KeyMap = std::unordered_map<std::string, std::unordered_map<std::string, std::string>>;

struct ParsedFile {
    fs::file_time_type time;
    std::uintmax_t size = 0;
    KeyMap keys;
};

std::string_view TrimBackslashes(std::string_view text) {
    while (!text.empty() && text.front() == '\\') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == '\\') {
        text.remove_suffix(1);
    }
    return text;
}

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == std::string_view::npos ? text.size() : end;
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

// Reads one value line (and its continuation lines) into a key's values.
void ReadValue(const std::vector<std::string_view>& lines, std::size_t& index,
               std::unordered_map<std::string, std::string>& values) {
    const std::string_view line = lines[index];
    std::size_t pos = 1;
    std::optional<std::string> name =
        line.front() == '@' ? std::optional<std::string>("") : UnescapeRegText(line, pos, '"');
    if (!name || pos >= line.size() || line[pos] != '=') {
        return;
    }
    std::string data(line.substr(pos + 1));
    while (data.rfind("hex", 0) == 0 && !data.empty() && data.back() == '\\' &&
           index + 1 < lines.size()) {
        data.pop_back();
        data += lines[++index];
    }
    values[UpperCase(*name)] = std::move(data);
}

KeyMap ParseKeys(std::string_view text) {
    KeyMap keys;
    std::unordered_map<std::string, std::string>* current = nullptr;
    const std::vector<std::string_view> lines = Lines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (line.empty()) {
            continue;
        }
        if (line.front() == '[') {
            std::size_t pos = 1;
            const auto key = UnescapeRegText(line, pos, ']');
            current = key ? &keys[UpperCase(TrimBackslashes(*key))] : nullptr;
        } else if (current != nullptr && (line.front() == '"' || line.front() == '@')) {
            ReadValue(lines, i, *current);
        }
    }
    return keys;
}

// Returns the parsed keys of a registry file, read again when the file changed.
std::shared_ptr<const ParsedFile> LoadFile(const fs::path& file) {
    static std::mutex mutex;
    static std::map<fs::path, std::shared_ptr<const ParsedFile>> cache;
    std::error_code ec;
    const auto time = fs::last_write_time(file, ec);
    const auto size = ec ? 0 : fs::file_size(file, ec);
    if (ec) {
        return nullptr;
    }
    const std::lock_guard<std::mutex> lock(mutex);
    const auto found = cache.find(file);
    if (found != cache.end() && found->second->time == time && found->second->size == size) {
        return found->second;
    }
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in) {
        return nullptr;
    }
    auto parsed = std::make_shared<ParsedFile>();
    parsed->time = time;
    parsed->size = size;
    parsed->keys = ParseKeys(text.str());
    cache[file] = parsed;
    return parsed;
}

}  // namespace

std::optional<std::string> UnescapeRegText(std::string_view text, std::size_t& pos, char endChar) {
    Utf16Collector out;
    while (pos < text.size() && text[pos] != endChar) {
        if (text[pos] == '\\' && pos + 1 < text.size()) {
            ++pos;
            ReadEscape(text, pos, out);
        } else {
            out.Byte(text[pos++]);
        }
    }
    if (pos >= text.size()) {
        return std::nullopt;
    }
    ++pos;
    return out.Take();
}

std::optional<std::string> RegDataString(std::string_view data) {
    std::size_t pos = 0;
    if (data.rfind("str(", 0) == 0 || data.rfind("hex(", 0) == 0) {
        const std::size_t close = data.find("):");
        if (close == std::string_view::npos || !IsStringType(data.substr(4, close - 4))) {
            return std::nullopt;
        }
        if (data.front() == 'h') {
            return CutAtNul(HexUtf16(data.substr(close + 2)));
        }
        pos = close + 2;
    }
    if (pos >= data.size() || data[pos] != '"') {
        return std::nullopt;
    }
    ++pos;
    auto text = UnescapeRegText(data, pos, '"');
    return text ? std::optional<std::string>(CutAtNul(std::move(*text))) : std::nullopt;
}

std::string ReadRegFileString(const fs::path& file, std::string_view keyPath,
                              std::string_view valueName) {
    const auto parsed = LoadFile(file);
    if (!parsed) {
        return {};
    }
    const auto key = parsed->keys.find(UpperCase(TrimBackslashes(keyPath)));
    if (key == parsed->keys.end()) {
        return {};
    }
    const auto value = key->second.find(UpperCase(valueName));
    if (value == key->second.end()) {
        return {};
    }
    return RegDataString(value->second).value_or(std::string());
}

}  // namespace vantor::platform::detail
