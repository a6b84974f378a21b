#include "platform/Names.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace vantor::platform {

namespace {

// Bytes that are not valid UTF-8 decode to this range, one code per byte.
constexpr char32_t kRawByteBase = 0x110000;

bool IsAscii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

// Returns the number of bytes of the UTF-8 sequence at text[i], 0 when invalid.
std::size_t SequenceLength(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80                   ? 1
                               : lead >= 0xF0 && lead < 0xF5 ? 4
                               : lead >= 0xE0                ? 3
                               : lead >= 0xC2 && lead < 0xE0 ? 2
                                                             : 0;
    if (length == 0 || i + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
            return 0;
        }
    }
    return length;
}

// Returns the code points of UTF-8 text; invalid bytes become kRawByteBase + byte.
std::u32string Decode(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t length = SequenceLength(text, i);
        const auto lead = static_cast<unsigned char>(text[i]);
        if (length == 0) {
            out.push_back(kRawByteBase + lead);
            ++i;
            continue;
        }
        char32_t code = length == 1 ? lead : lead & (0xFF >> (length + 1));
        for (std::size_t k = 1; k < length; ++k) {
            code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        out.push_back(code);
        i += length;
    }
    return out;
}

void Encode(char32_t code, std::string& out) {
    if (code >= kRawByteBase) {
        out.push_back(static_cast<char>(code - kRawByteBase));
    } else {
        AppendUtf8(code, out);
    }
}

}  // namespace

void AppendUtf8(char32_t code, std::string& out) {
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (code >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

namespace {

bool InRange(char32_t code, char32_t first, char32_t last) {
    return code >= first && code <= last;
}

// Returns the upper case of a letter of the Latin Extended-A block (pairs).
char32_t UpperLatinExtended(char32_t c) {
    const bool oddIsLower = InRange(c, 0x100, 0x137) || InRange(c, 0x14A, 0x177);
    const bool evenIsLower = InRange(c, 0x139, 0x148) || InRange(c, 0x179, 0x17E);
    if ((oddIsLower && c % 2 == 1 && c != 0x131) || (evenIsLower && c % 2 == 0)) {
        return c - 1;
    }
    return c;
}

char32_t UpperGreekCyrillic(char32_t c) {
    if (c == 0x3C2) {
        return 0x3A3;
    }
    if (InRange(c, 0x3B1, 0x3CB) || InRange(c, 0x430, 0x44F)) {
        return c - 0x20;
    }
    if (InRange(c, 0x450, 0x45F)) {
        return c - 0x50;
    }
    if ((InRange(c, 0x460, 0x481) || InRange(c, 0x48A, 0x4BF)) && c % 2 == 1) {
        return c - 1;
    }
    return c;
}

char32_t UpperCodePoint(char32_t c) {
    if (c < 0x80) {
        return InRange(c, 'a', 'z') ? c - 0x20 : c;
    }
    if (c == 0xB5) {
        return 0x39C;
    }
    if (c == 0xFF) {
        return 0x178;
    }
    if (InRange(c, 0xE0, 0xFE) && c != 0xF7) {
        return c - 0x20;
    }
    if (InRange(c, 0x100, 0x17F)) {
        return UpperLatinExtended(c);
    }
    if (InRange(c, 0x3B1, 0x4BF)) {
        return UpperGreekCyrillic(c);
    }
    if (InRange(c, 0xFF41, 0xFF5A)) {
        return c - 0x20;
    }
    return c;
}

// Sets codes to the upper-case code points of UTF-8 text, reusing its storage.
void AssignUpperCodePoints(std::string_view text, std::u32string& codes) {
    if (IsAscii(text)) {
        codes.resize(text.size());
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char c = text[i];
            codes[i] = static_cast<char32_t>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        }
        return;
    }
    codes = Decode(text);
    for (char32_t& c : codes) {
        c = UpperCodePoint(c);
    }
}

std::u32string UpperCodePoints(std::string_view text) {
    std::u32string codes;
    AssignUpperCodePoints(text, codes);
    return codes;
}

// The pattern elements of Windows' name matching.
enum class Token : std::uint8_t { Literal, Star, DosStar, DosQm, DosDot };

struct Element {
    Token token;
    char32_t code;
};

// Translates a pattern as Windows does before it matches names: "?" matches one
// character but none at a dot or the end, "*" before a dot stops at the last dot
// of the name, and a dot before a wildcard or at the end also matches the end.
std::vector<Element> Translate(const std::u32string& pattern) {
    std::vector<Element> out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char32_t c = pattern[i];
        const char32_t next = i + 1 < pattern.size() ? pattern[i + 1] : 0;
        if (c == U'?') {
            out.push_back({Token::DosQm, c});
        } else if (c == U'*') {
            out.push_back({next == U'.' ? Token::DosStar : Token::Star, c});
        } else if (c == U'.' && (next == U'?' || next == U'*' || next == 0)) {
            out.push_back({Token::DosDot, c});
        } else {
            out.push_back({Token::Literal, c});
        }
    }
    return out;
}

}  // namespace

// Matches names against translated pattern elements; the buffers are kept for the
// next name.
class NamePattern::Matcher {
public:
    explicit Matcher(std::vector<Element> pattern) : m_pattern(std::move(pattern)) {}

    bool Matches(std::string_view name) {
        AssignUpperCodePoints(name, m_name);
        m_lastDot = m_name.rfind(U'.');
        m_memo.assign((m_pattern.size() + 1) * (m_name.size() + 1), -1);
        return Match(0, 0);
    }

private:
    bool Match(std::size_t p, std::size_t n) {
        signed char& known = m_memo[p * (m_name.size() + 1) + n];
        if (known < 0) {
            known = Compute(p, n) ? 1 : 0;
        }
        return known == 1;
    }

    bool Compute(std::size_t p, std::size_t n) {
        if (p == m_pattern.size()) {
            return n == m_name.size();
        }
        const bool atEnd = n == m_name.size();
        const bool atDot = !atEnd && m_name[n] == U'.';
        switch (m_pattern[p].token) {
            case Token::Literal:
                return !atEnd && m_name[n] == m_pattern[p].code && Match(p + 1, n + 1);
            case Token::Star:
                return AnyFrom(p, n, m_name.size());
            case Token::DosStar:
                return AnyFrom(p, n,
                               m_lastDot != std::u32string::npos && m_lastDot >= n ? m_lastDot
                                                                                   : m_name.size());
            case Token::DosQm:
                return atEnd || atDot ? Match(SkipQms(p), n) : Match(p + 1, n + 1);
            case Token::DosDot:
                return (atDot && Match(p + 1, n + 1)) || (atEnd && Match(p + 1, n));
        }
        return false;
    }

    // Tries every end position from n to last for a wildcard at p.
    bool AnyFrom(std::size_t p, std::size_t n, std::size_t last) {
        for (std::size_t k = n; k <= last; ++k) {
            if (Match(p + 1, k)) {
                return true;
            }
        }
        return false;
    }

    std::size_t SkipQms(std::size_t p) const {
        while (p < m_pattern.size() && m_pattern[p].token == Token::DosQm) {
            ++p;
        }
        return p;
    }

    std::vector<Element> m_pattern;
    std::u32string m_name;
    std::size_t m_lastDot = 0;
    std::vector<signed char> m_memo;
};

NamePattern::NamePattern(std::string_view pattern)
    : m_matcher(std::make_unique<Matcher>(Translate(UpperCodePoints(pattern)))) {}

NamePattern::~NamePattern() = default;

bool NamePattern::Matches(std::string_view name) {
    return m_matcher->Matches(name);
}

void AppendUpperCase(std::string_view text, std::string& out) {
    if (IsAscii(text)) {
        const std::size_t start = out.size();
        out.resize(start + text.size());
        char* upper = out.data() + start;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char c = text[i];
            upper[i] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        }
        return;
    }
    for (const char32_t c : UpperCodePoints(text)) {
        Encode(c, out);
    }
}

std::string UpperCase(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    AppendUpperCase(text, out);
    return out;
}

bool SameName(std::string_view a, std::string_view b) {
    return UpperCase(a) == UpperCase(b);
}

bool MatchesPattern(std::string_view name, std::string_view pattern) {
    return NamePattern(pattern).Matches(name);
}

bool HasWildcards(std::string_view text) {
    for (const char c : text) {
        if (c == '*' || c == '?') {
            return true;
        }
    }
    return false;
}

}  // namespace vantor::platform
