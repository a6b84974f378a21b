#include "Text.h"

#include <array>

namespace corvane::text {

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

char32_t FromWindows1252(unsigned char byte) noexcept {
    // 0x80 to 0x9F; the five unassigned bytes map to the C1 control of the same value.
    static constexpr std::array<char16_t, 32> kHigh = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    if (byte >= 0x80 && byte < 0xA0) {
        return kHigh[byte - 0x80];
    }
    return byte;
}

namespace {

void PutUnit(std::vector<char>& out, std::uint32_t unit) {
    out.push_back(static_cast<char>(unit & 0xFF));
    out.push_back(static_cast<char>((unit >> 8) & 0xFF));
}

// Decodes one UTF-8 sequence at text[i]; returns its length, or 0 when invalid.
std::size_t DecodeSequence(std::string_view text, std::size_t i, char32_t& cp) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if ((b0 & 0xE0) == 0xC0) {
        length = 2, value = b0 & 0x1F, minimum = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        length = 3, value = b0 & 0x0F, minimum = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        length = 4, value = b0 & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const auto b = static_cast<unsigned char>(text[i + k]);
        if ((b & 0xC0) != 0x80) {
            return 0;
        }
        value = (value << 6) | (b & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF) {
        return 0;
    }
    cp = value;
    return length;
}

}  // namespace

void AppendUtf16Le(std::vector<char>& out, std::string_view utf8) {
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            out.push_back(static_cast<char>(b));
            out.push_back('\0');
            ++i;
            continue;
        }
        char32_t cp = 0;
        const std::size_t length = DecodeSequence(utf8, i, cp);
        if (length == 0) {
            PutUnit(out, b);
            ++i;
        } else if (cp >= 0x10000) {
            const char32_t v = cp - 0x10000;
            PutUnit(out, 0xD800 + (v >> 10));
            PutUnit(out, 0xDC00 + (v & 0x3FF));
            i += length;
        } else {
            PutUnit(out, cp);
            i += length;
        }
    }
}

std::string LowerCase(std::string_view text) {
    std::string result(text);
    for (std::size_t i = 0; i < result.size(); ++i) {
        const auto c = static_cast<unsigned char>(result[i]);
        if (c < 0x80) {
            result[i] = LowerAscii(result[i]);
        } else if (c == 0xC3 && i + 1 < result.size()) {
            // U+00C0 to U+00DE are C3 80 to C3 9E; U+00D7 (C3 97) has no lower case.
            const auto next = static_cast<unsigned char>(result[i + 1]);
            if (next >= 0x80 && next <= 0x9E && next != 0x97) {
                result[i + 1] = static_cast<char>(next + 0x20);
            }
            ++i;
        }
    }
    return result;
}

std::string_view TrimBlanks(std::string_view text) noexcept {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::string_view TrimTrailingBlanks(std::string_view text) noexcept {
    const std::size_t last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string_view{} : text.substr(0, last + 1);
}

std::string TabsToBlanks(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c == '\t') {
            c = ' ';
        }
    }
    return result;
}

void SplitAtBlanks(std::string_view text, std::vector<std::string_view>& pieces) {
    // Words are short: a plain loop beats a library search per word.
    pieces.clear();
    const char* start = text.data();
    const char* end = text.data() + text.size();
    for (const char* p = start; p != end; ++p) {
        if (*p == ' ') {
            pieces.emplace_back(start, static_cast<std::size_t>(p - start));
            start = p + 1;
        }
    }
    pieces.emplace_back(start, static_cast<std::size_t>(end - start));
}

std::int64_t DivideRoundHalfEven(std::int64_t a, std::int64_t b) noexcept {
    if (b == 0) {
        return 0;
    }
    const std::int64_t quotient = a / b;
    const std::int64_t twiceRemainder = 2 * (a % b);
    if (twiceRemainder > b || (twiceRemainder == b && (quotient % 2) != 0)) {
        return quotient + 1;
    }
    return quotient;
}

}  // namespace corvane::text
