#include "BinaryReader.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

#include "Text.h"
#include "Tokens.h"
#include "corvane/TSFileItem.h"

namespace corvane {

namespace {

// Bytes of a block before its label: id, table and length.
constexpr std::size_t kHeaderSize = 8;

// Returns a float as the simulator's text files show it: six significant digits,
// as printf's "%g", with an exponent of at least three digits ("-3.8e-005").
std::string FloatText(float value) {
    char buffer[32];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    std::string text(buffer, result.ptr);
    const std::size_t e = text.find('e');
    if (e != std::string::npos && e + 2 <= text.size()) {
        const std::size_t digits = text.size() - (e + 2);
        if (digits < 3) {
            text.insert(e + 2, 3 - digits, '0');
        }
    }
    return text;
}

// Returns a string value as a text file shows it: bare when it is one plain word,
// otherwise quoted with \\, \", \t and \n escaped.
std::string StringText(const std::string& value) {
    if (!value.empty() && value.find_first_of(" \t\r\n\"()") == std::string::npos) {
        return value;
    }
    std::string text = "\"";
    for (const char c : value) {
        switch (c) {
            case '\\':
                text += "\\\\";
                break;
            case '"':
                text += "\\\"";
                break;
            case '\t':
                text += "\\t";
                break;
            case '\n':
                text += "\\n";
                break;
            default:
                text += c;
        }
    }
    return text + "\"";
}

// Appends UTF-16LE units as UTF-8; a lone surrogate is kept as it is.
void AppendUtf16(std::string& out, const unsigned char* units, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        char32_t unit = units[2 * i] | (units[2 * i + 1] << 8);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < count) {
            const char32_t low = units[2 * i + 2] | (units[2 * i + 3] << 8);
            if (low >= 0xDC00 && low < 0xE000) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        text::AppendUtf8(out, unit);
    }
}

// The words of one block, grouped as the text reader groups them.
class Words {
public:
    explicit Words(TSFileItem& item) : m_item(item) {}

    void Add(std::string_view word) { m_group.append(" ").append(word); }

    // Opens a child whose "name ( " follows the waiting words on a line of its
    // own, indented by one tab per level, which the text reader reads as blanks;
    // returns the child's name.
    std::string OpenChild(std::string_view tokenName, std::string_view label, int level) {
        m_group.append(static_cast<std::size_t>(level), ' ').append(tokenName);
        if (!label.empty()) {
            Add(label);
        }
        const std::string_view pre = text::TrimTrailingBlanks(m_group);
        const std::size_t blank = pre.rfind(' ');
        std::string name(pre.substr(blank + 1));
        Assign(pre.substr(0, blank));
        m_group.clear();
        return std::string(text::TrimBlanks(text::TabsToBlanks(name)));
    }

    // Gives the block the last group of words, when there is one.
    void Close() { Assign(m_group); }

private:
    void Assign(std::string_view group) {
        const std::string_view words = text::TrimBlanks(group);
        if (!words.empty()) {
            std::vector<std::string_view> pieces;
            text::SplitAtBlanks(words, pieces);
            m_item.AssignParameters(pieces);
        }
    }

    TSFileItem& m_item;
    std::string m_group;
};

// One element of a layout: a letter, how often it stands, and whether it may be
// missing at the end of the block.
struct Element {
    char letter = 0;
    std::size_t count = 1;
    bool toEnd = false;
    bool optional = false;
};

std::vector<Element> ParseLayout(std::string_view layout) {
    std::vector<Element> elements;
    bool optional = false;
    std::size_t count = 0;
    for (const char c : layout) {
        if (c == '[') {
            optional = true;
        } else if (c >= '0' && c <= '9') {
            count = count * 10 + static_cast<std::size_t>(c - '0');
        } else if (c == '*') {
            elements.back().toEnd = true;
        } else {
            elements.push_back({c, count == 0 ? 1 : count, false, optional});
            count = 0;
        }
    }
    return elements;
}

}  // namespace

struct BinaryReader::Header {
    std::size_t at;        // where the block starts
    std::size_t contents;  // where its contents start
    std::size_t end;       // just after its last byte
    std::string name;
    std::string label;
};

BinaryReader::BinaryReader(std::string_view data, std::string fileName, std::string place)
    : m_data(data), m_fileName(std::move(fileName)), m_place(std::move(place)) {}

void BinaryReader::Fail(const std::string& problem, std::size_t at) const {
    throw std::runtime_error(m_fileName + ": " + problem + " at offset " + std::to_string(at) +
                             m_place);
}

std::uint32_t BinaryReader::Word32(std::size_t at) const {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(m_data[at + static_cast<std::size_t>(i)]);
    }
    return value;
}

BinaryReader::Header BinaryReader::ReadHeader(std::size_t at, std::size_t limit,
                                              bool topLevel) const {
    if (limit - at < kHeaderSize + 1) {
        Fail(
            topLevel ? "the data ends inside a block header" : "a block header runs past its block",
            at);
    }
    const std::uint32_t idAndTable = Word32(at);
    const std::uint32_t id = idAndTable & 0xFFFF;
    const std::uint32_t table = idAndTable >> 16;
    Header header{at, 0, 0, {}, {}};
    if (table != 0) {
        Fail("token " + std::to_string(id) + " of table " + std::to_string(table) +
                 " is not a core token, which this reader does not know",
             at);
    }
    header.name = std::string(tokens::CoreTokenName(id));
    if (header.name.empty()) {
        Fail("token " + std::to_string(id) + " is unknown", at);
    }
    const std::uint64_t length = Word32(at + 4);
    if (length > limit - at - kHeaderSize) {
        Fail("block \"" + header.name + "\" of " + std::to_string(length) + " bytes runs past " +
                 (topLevel ? "the end of the data" : "its parent block"),
             at);
    }
    header.end = at + kHeaderSize + static_cast<std::size_t>(length);
    const std::size_t labelAt = at + kHeaderSize;
    if (length < 1) {
        Fail("block \"" + header.name + "\" is too short for its label length", at);
    }
    const std::size_t labelUnits = static_cast<unsigned char>(m_data[labelAt]);
    if (2 * labelUnits > header.end - labelAt - 1) {
        Fail("the label of block \"" + header.name + "\" runs past the block", at);
    }
    AppendUtf16(header.label, reinterpret_cast<const unsigned char*>(m_data.data() + labelAt + 1),
                labelUnits);
    header.contents = labelAt + 1 + 2 * labelUnits;
    return header;
}

// True when the bytes are whole blocks of known tokens, one after another.
bool BinaryReader::HoldsOnlyBlocks(std::size_t from, std::size_t to) const {
    if (from == to) {
        return false;
    }
    while (from < to) {
        if (to - from < kHeaderSize + 1) {
            return false;
        }
        const std::uint32_t idAndTable = Word32(from);
        const std::uint64_t length = Word32(from + 4);
        if ((idAndTable >> 16) != 0 || tokens::CoreTokenName(idAndTable & 0xFFFF).empty() ||
            length < 1 || length > to - from - kHeaderSize) {
            return false;
        }
        from += kHeaderSize + static_cast<std::size_t>(length);
    }
    return true;
}

void BinaryReader::ReadContents(TSFileItem& item, const Header& header, int depth) {
    std::string_view layout = tokens::Layout(header.name);
    if (layout.empty() && header.contents < header.end) {
        if (!HoldsOnlyBlocks(header.contents, header.end)) {
            Fail("the values of block \"" + header.name +
                     "\" are of a layout this reader does not know",
                 header.at);
        }
        layout = "b*";
    }
    Words words(item);
    std::size_t at = header.contents;
    for (const Element& element : ParseLayout(layout)) {
        for (std::size_t n = 0; element.toEnd || n < element.count; ++n) {
            if (at == header.end && (element.toEnd || element.optional)) {
                break;
            }
            const std::size_t left = header.end - at;
            if (element.letter == 'b') {
                const Header child = ReadHeader(at, header.end, false);
                if (depth + 1 >= kMaxDepth) {
                    Fail("blocks nest deeper than " + std::to_string(kMaxDepth) + " levels",
                         child.at);
                }
                auto childItem = std::make_shared<TSFileItem>(
                    words.OpenChild(child.name, child.label, depth + 1));
                item.Children()->Add(childItem);
                ReadContents(*childItem, child, depth + 1);
                at = child.end;
                continue;
            }
            if (element.letter == 's') {
                const std::size_t units =
                    left < 2
                        ? 0
                        : (static_cast<unsigned char>(m_data[at]) |
                           (static_cast<std::size_t>(static_cast<unsigned char>(m_data[at + 1]))
                            << 8));
                if (left < 2 || 2 * units > left - 2) {
                    Fail("a string of block \"" + header.name + "\" runs past the block", at);
                }
                std::string value;
                AppendUtf16(value, reinterpret_cast<const unsigned char*>(m_data.data() + at + 2),
                            units);
                words.Add(StringText(value));
                at += 2 + 2 * units;
                continue;
            }
            if (left < 4) {
                Fail("a value of block \"" + header.name + "\" runs past the block", at);
            }
            const std::uint32_t raw = Word32(at);
            at += 4;
            char buffer[16];
            switch (element.letter) {
                case 'u':
                    words.Add(std::to_string(raw));
                    break;
                case 'i':
                    words.Add(std::to_string(static_cast<std::int32_t>(raw)));
                    break;
                case 'd':
                    std::snprintf(buffer, sizeof buffer, "%08x", static_cast<unsigned>(raw));
                    words.Add(buffer);
                    break;
                default: {
                    float value = 0;
                    std::memcpy(&value, &raw, sizeof value);
                    words.Add(FloatText(value));
                }
            }
        }
    }
    if (at != header.end) {
        Fail("block \"" + header.name + "\" holds " + std::to_string(header.end - at) +
                 " bytes more than its values",
             header.at);
    }
    words.Close();
}

void BinaryReader::Run(std::size_t start, std::string_view firstElement, TSItemCollection& items) {
    std::vector<TSFileItemPtr> read;
    const std::string expected = text::LowerCase(firstElement);
    for (std::size_t at = start; at < m_data.size();) {
        const Header header = ReadHeader(at, m_data.size(), true);
        std::string name = header.name;
        if (read.empty()) {
            // The text reader names the first item by the name the type expects.
            if (expected.empty()) {
                name.clear();
            } else if (text::LowerCase(name) == expected) {
                name = expected;
            }
        }
        auto item = std::make_shared<TSFileItem>(std::move(name));
        ReadContents(*item, header, 0);
        read.push_back(std::move(item));
        at = header.end;
    }
    for (auto& item : read) {
        items.Add(std::move(item));
    }
}

}  // namespace corvane
