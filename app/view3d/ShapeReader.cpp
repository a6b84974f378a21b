// Reads shapes in their three forms through one grammar: a cursor walks the
// blocks and values of either text or binary tokens, and the grammar below asks
// it for what each block holds. Item trees are not used here: their reader joins
// the lines of a file and keeps only the last run of words of a block, which
// loses a prim_state's shader index and a trilist's wrapped index lists.

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Names.h"
#include "view3d/ShapeFile.h"
#include "view3d/SimisData.h"

namespace vantor::view3d {

namespace {

constexpr int kMaxDepth = 64;

// Walks the blocks of a shape. A block is opened, its values and child blocks
// are read in the grammar's order, and closing it skips whatever is left.
class Cursor {
public:
    virtual ~Cursor() = default;
    // Returns true when the open block holds nothing more.
    virtual bool AtEnd() = 0;
    // Opens the next child block and returns its token name in lower case (empty
    // for a binary token this reader does not know).
    virtual std::string Open(std::string* label) = 0;
    // Skips the rest of the open block and leaves it.
    virtual void Close() = 0;
    virtual std::int64_t Integer(bool isSigned) = 0;
    virtual float Float() = 0;
    virtual void SkipDword() = 0;
    virtual std::string String() = 0;
    // Returns where the cursor stands, for error texts (" at line 3").
    virtual std::string Where() const = 0;

    [[noreturn]] void Fail(const std::string& problem) const {
        throw FormatError(problem + Where());
    }
};

// Text: words separated by blanks and line breaks, "(" and ")" around blocks,
// quoted strings with \" escapes and "a" + "b" joins; comment ( ... ) and
// skip ( ... ) blocks are passed over.
class TextCursor : public Cursor {
public:
    explicit TextCursor(std::string text) : m_text(std::move(text)) {}

    bool AtEnd() override {
        while (true) {
            SkipBlanks();
            if (m_pos >= m_text.size() || m_text[m_pos] == ')') {
                return true;
            }
            if (!SkipComment()) {
                return false;
            }
        }
    }

    std::string Open(std::string* label) override {
        if (AtEnd() || m_text[m_pos] == '(') {
            Fail("a block was expected");
        }
        std::string name(Word());
        std::transform(name.begin(), name.end(), name.begin(),
                       [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
        SkipBlanks();
        if (m_pos < m_text.size() && m_text[m_pos] != '(' && m_text[m_pos] != ')') {
            *label = Word();
            SkipBlanks();
        }
        if (m_pos >= m_text.size() || m_text[m_pos] != '(') {
            Fail("\"(\" was expected after " + name);
        }
        ++m_pos;
        if (++m_depth > kMaxDepth) {
            Fail("blocks nest too deeply");
        }
        return name;
    }

    void Close() override {
        int open = 1;
        while (open > 0) {
            SkipBlanks();
            if (m_pos >= m_text.size()) {
                Fail("the text ends inside a block");
            }
            const char c = m_text[m_pos];
            if (c == '(' || c == ')') {
                open += c == '(' ? 1 : -1;
                ++m_pos;
            } else {
                Word();
            }
        }
        --m_depth;
    }

    std::int64_t Integer(bool /*isSigned*/) override {
        const std::string_view word = Value();
        std::int64_t value = 0;
        const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
        if (error == std::errc() && end == word.data() + word.size()) {
            return value;
        }
        double real = 0;
        const auto [realEnd, realError] =
            std::from_chars(word.data(), word.data() + word.size(), real);
        if (realError != std::errc() || realEnd != word.data() + word.size() || real < -2e9 ||
            real > 4.3e9) {
            Fail("\"" + std::string(word) + "\" is not a whole number");
        }
        return static_cast<std::int64_t>(real);
    }

    float Float() override {
        const std::string_view word = Value();
        float value = 0;
        const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
        if (error != std::errc() || end != word.data() + word.size()) {
            Fail("\"" + std::string(word) + "\" is not a number");
        }
        return value;
    }

    void SkipDword() override { Value(); }

    std::string String() override {
        std::string result(Value());
        while (true) {
            const std::size_t mark = m_pos;
            SkipBlanks();
            if (m_pos < m_text.size() && m_text[m_pos] == '+' && m_lastQuoted) {
                ++m_pos;
                result += Value();
            } else {
                m_pos = mark;
                return result;
            }
        }
    }

    std::string Where() const override {
        const auto end =
            m_text.begin() + static_cast<std::ptrdiff_t>(std::min(m_pos, m_text.size()));
        return " at line " + std::to_string(1 + std::count(m_text.begin(), end, '\n'));
    }

private:
    void SkipBlanks() {
        while (m_pos < m_text.size() && static_cast<unsigned char>(m_text[m_pos]) <= ' ') {
            ++m_pos;
        }
    }

    // Passes over a comment block at the cursor; returns false when there is none.
    bool SkipComment() {
        const std::size_t mark = m_pos;
        const char first = m_text[m_pos];
        if (first != '#' && first != 'c' && first != 'C' && first != 's' && first != 'S') {
            return false;
        }
        const std::string word = platform::UpperCase(Word());
        SkipBlanks();
        if ((word == "COMMENT" || word == "SKIP" || word.starts_with('#')) &&
            m_pos < m_text.size() && m_text[m_pos] == '(') {
            ++m_pos;
            ++m_depth;
            Close();
            return true;
        }
        m_pos = mark;
        return false;
    }

    // Returns the next value: a bare word or a quoted string without its quotes.
    std::string_view Value() {
        SkipBlanks();
        if (m_pos >= m_text.size() || m_text[m_pos] == '(' || m_text[m_pos] == ')') {
            Fail("a value was expected");
        }
        return Word();
    }

    std::string_view Word() {
        m_lastQuoted = m_text[m_pos] == '"';
        if (m_lastQuoted) {
            m_quoted.clear();
            ++m_pos;
            while (m_pos < m_text.size() && m_text[m_pos] != '"') {
                char c = m_text[m_pos++];
                if (c == '\\' && m_pos < m_text.size()) {
                    c = m_text[m_pos++];
                    c = c == 'n' ? '\n' : c == 't' ? '\t' : c;
                }
                m_quoted += c;
            }
            if (m_pos >= m_text.size()) {
                Fail("a quoted text has no end");
            }
            ++m_pos;
            return m_quoted;
        }
        const std::size_t start = m_pos;
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos];
            if (static_cast<unsigned char>(c) <= ' ' || c == '(' || c == ')') {
                break;
            }
            ++m_pos;
        }
        return std::string_view(m_text).substr(start, m_pos - start);
    }

    std::string m_text;
    std::string m_quoted;
    std::size_t m_pos = 0;
    int m_depth = 0;
    bool m_lastQuoted = false;
};

// The core tokens a shape uses, by binary id.
constexpr std::array<std::pair<std::uint16_t, std::string_view>, 58> kTokens = {{
    {1, "comment"},
    {2, "point"},
    {3, "vector"},
    {5, "normals"},
    {6, "normal_idxs"},
    {7, "points"},
    {8, "uv_point"},
    {9, "uv_points"},
    {10, "colour"},
    {11, "colours"},
    {13, "image"},
    {14, "images"},
    {15, "texture"},
    {16, "textures"},
    {17, "light_material"},
    {18, "light_materials"},
    {29, "animations"},
    {31, "lod_controls"},
    {32, "lod_control"},
    {33, "distance_levels_header"},
    {34, "distance_level_header"},
    {35, "dlevel_selection"},
    {36, "distance_levels"},
    {37, "distance_level"},
    {38, "sub_objects"},
    {39, "sub_object"},
    {40, "sub_object_header"},
    {46, "vtx_state"},
    {47, "vtx_states"},
    {48, "vertex"},
    {49, "vertex_uvs"},
    {50, "vertices"},
    {51, "vertex_set"},
    {52, "vertex_sets"},
    {53, "primitives"},
    {54, "prim_state"},
    {55, "prim_states"},
    {56, "prim_state_idx"},
    {60, "indexed_trilist"},
    {61, "tex_idxs"},
    {63, "vertex_idxs"},
    {64, "flags"},
    {65, "matrix"},
    {66, "matrices"},
    {67, "hierarchy"},
    {68, "volumes"},
    {69, "vol_sphere"},
    {70, "shape_header"},
    {71, "shape"},
    {72, "shader_names"},
    {74, "texture_filter_names"},
    {76, "sort_vectors"},
    {79, "light_model_cfgs"},
    {80, "light_model_cfg"},
    {81, "uv_ops"},
    {84, "uv_op_copy"},
    {125, "named_filter_mode"},
    {129, "named_shader"},
}};

std::string_view TokenName(std::uint16_t id) {
    static_assert(std::is_sorted(kTokens.begin(), kTokens.end()));
    const auto it =
        std::lower_bound(kTokens.begin(), kTokens.end(), id,
                         [](const auto& row, std::uint16_t key) { return row.first < key; });
    return it != kTokens.end() && it->first == id ? it->second : std::string_view();
}

// Binary: every block is uint16 id, uint16 table, uint32 length (of all that
// follows it in the block), uint8 label length, the label in UTF-16LE units and
// the contents; values are 4-byte numbers and counted UTF-16 strings.
class BinaryCursor : public Cursor {
public:
    BinaryCursor(std::string_view data, std::size_t start, std::size_t base, std::string place)
        : m_data(data), m_pos(start), m_base(base), m_place(std::move(place)) {
        m_ends.push_back(data.size());
    }

    bool AtEnd() override { return m_pos >= m_ends.back(); }

    std::string Open(std::string* label) override {
        if (AtEnd()) {
            Fail("a block was expected");
        }
        const std::size_t at = m_pos;
        const auto id = static_cast<std::uint16_t>(Bytes(2));
        const auto table = static_cast<std::uint16_t>(Bytes(2));
        const std::uint32_t length = Bytes(4);
        if (length > m_ends.back() - m_pos) {
            m_pos = at;
            Fail("a block reaches past its parent");
        }
        m_ends.push_back(m_pos + length);
        if (m_ends.size() > kMaxDepth + 1) {
            Fail("blocks nest too deeply");
        }
        const std::uint32_t labelLength = AtEnd() ? 0 : Bytes(1);
        *label = Utf16(labelLength);
        return table == 0 ? std::string(TokenName(id)) : std::string();
    }

    void Close() override {
        m_pos = m_ends.back();
        if (m_ends.size() > 1) {
            m_ends.pop_back();
        }
    }

    std::int64_t Integer(bool isSigned) override {
        const std::uint32_t value = Bytes(4);
        return isSigned ? static_cast<std::int64_t>(static_cast<std::int32_t>(value)) : value;
    }

    float Float() override {
        const std::uint32_t bits = Bytes(4);
        float value = 0;
        static_assert(sizeof value == sizeof bits);
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    void SkipDword() override { Bytes(4); }

    std::string String() override { return Utf16(Bytes(2)); }

    std::string Where() const override {
        return " at byte " + std::to_string(m_base + m_pos) + m_place;
    }

private:
    std::uint32_t Bytes(std::size_t count) {
        if (count > m_ends.back() - m_pos) {
            Fail("a value runs past its block");
        }
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < count; ++i) {
            value |= static_cast<std::uint32_t>(static_cast<unsigned char>(m_data[m_pos + i]))
                     << (8 * i);
        }
        m_pos += count;
        return value;
    }

    std::string Utf16(std::uint32_t units) {
        std::string text;
        for (std::uint32_t i = 0; i < units; ++i) {
            platform::AppendUtf8(static_cast<char32_t>(Bytes(2)), text);
        }
        return text;
    }

    std::string_view m_data;
    std::size_t m_pos;
    std::size_t m_base;  // where m_data starts in the file, for error texts
    std::string m_place;
    std::vector<std::size_t> m_ends;
};

// Decodes text payloads to UTF-8: UTF-16LE units, or 8-bit characters taken as Latin-1.
std::string TextOf(const SimisPayload& payload) {
    std::string text;
    text.reserve(payload.utf16 ? payload.payload.size() / 2 : payload.payload.size());
    const std::string_view bytes = payload.payload;
    if (payload.utf16) {
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
            const auto unit = static_cast<char32_t>(static_cast<unsigned char>(bytes[i]) |
                                                    static_cast<unsigned char>(bytes[i + 1]) << 8);
            if (unit < 0x80) {
                text += static_cast<char>(unit);
            } else {
                platform::AppendUtf8(unit >= 0xD800 && unit < 0xE000 ? U'\uFFFD' : unit, text);
            }
        }
    } else {
        for (const char c : bytes) {
            if (static_cast<unsigned char>(c) < 0x80) {
                text += c;
            } else {
                platform::AppendUtf8(static_cast<unsigned char>(c), text);
            }
        }
    }
    return text;
}

// Opens each child block of the open block in turn and closes it after fn.
void EachBlock(Cursor& c, const std::function<void(const std::string&, const std::string&)>& fn) {
    std::string label;
    while (!c.AtEnd()) {
        label.clear();
        const std::string name = c.Open(&label);
        fn(name, label);
        c.Close();
    }
}

// Reads a list block: its count (ignored: the blocks present count), then each
// element block named element.
void EachElement(Cursor& c, std::string_view element,
                 const std::function<void(const std::string&)>& fn) {
    if (!c.AtEnd()) {
        c.Integer(false);
    }
    EachBlock(c, [&](const std::string& name, const std::string& label) {
        if (name == element) {
            fn(label);
        }
    });
}

// Reads a number list: its count, then the numbers present.
std::vector<std::int64_t> Numbers(Cursor& c, bool isSigned) {
    std::vector<std::int64_t> numbers;
    if (!c.AtEnd()) {
        c.Integer(false);
    }
    while (!c.AtEnd()) {
        numbers.push_back(c.Integer(isSigned));
    }
    return numbers;
}

Vector3 ReadVector(Cursor& c) {
    Vector3 v;
    v.x = c.Float();
    v.y = c.Float();
    v.z = c.Float();
    return v;
}

Matrix4 ReadMatrix(Cursor& c) {
    Matrix4 m = MatrixIdentity();
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 3; ++column) {
            m.m[row][column] = c.Float();
        }
    }
    return m;
}

void ReadLightModelConfig(Cursor& c, ShapeFile& shape) {
    c.SkipDword();
    std::int64_t mode = 1;
    bool found = false;
    EachBlock(c, [&](const std::string& name, const std::string&) {
        if (name == "uv_ops") {
            if (!c.AtEnd()) {
                c.Integer(false);  // the count
            }
            EachBlock(c, [&](const std::string& op, const std::string&) {
                if (!found && op == "uv_op_copy") {
                    mode = c.Integer(false);
                    found = true;
                }
            });
        }
    });
    shape.addressModes.push_back(mode);
}

void ReadPrimState(Cursor& c, ShapeFile& shape) {
    ShapeFile::PrimState state;
    c.SkipDword();
    state.shader = c.Integer(false);
    std::string label;
    const std::string name = c.Open(&label);
    if (name != "tex_idxs") {
        c.Fail("prim_state lacks its tex_idxs");
    }
    state.textures = Numbers(c, false);
    c.Close();
    c.Float();  // z bias
    state.vtxState = c.Integer(false);
    state.alphaTestMode = c.Integer(false);
    shape.primStates.push_back(std::move(state));
}

void ReadVertex(Cursor& c, ShapeFile::SubObject& sub) {
    ShapeFile::Vertex vertex;
    c.SkipDword();
    vertex.point = c.Integer(false);
    vertex.normal = c.Integer(false);
    c.SkipDword();
    c.SkipDword();
    EachBlock(c, [&](const std::string& name, const std::string&) {
        if (name == "vertex_uvs") {
            const std::vector<std::int64_t> uvs = Numbers(c, false);
            if (!uvs.empty()) {
                vertex.uv = uvs.front();
            }
        }
    });
    sub.vertices.push_back(vertex);
}

void ReadPrimitives(Cursor& c, ShapeFile::SubObject& sub) {
    if (!c.AtEnd()) {
        c.Integer(false);
    }
    std::int64_t current = 0;
    EachBlock(c, [&](const std::string& name, const std::string&) {
        if (name == "prim_state_idx") {
            current = c.Integer(false);
        } else if (name == "indexed_trilist") {
            ShapeFile::Trilist trilist;
            trilist.primState = current;
            EachBlock(c, [&](const std::string& part, const std::string&) {
                if (part == "vertex_idxs") {
                    trilist.indices = Numbers(c, false);
                }
            });
            if (!trilist.indices.empty()) {
                sub.trilists.push_back(std::move(trilist));
            }
        }
    });
}

void ReadSubObject(Cursor& c, ShapeFile::DistanceLevel& level) {
    ShapeFile::SubObject sub;
    EachBlock(c, [&](const std::string& name, const std::string&) {
        if (name == "vertices") {
            EachElement(c, "vertex", [&](const std::string&) { ReadVertex(c, sub); });
        } else if (name == "primitives") {
            ReadPrimitives(c, sub);
        }
    });
    level.subObjects.push_back(std::move(sub));
}

void ReadDistanceLevel(Cursor& c, ShapeFile& shape) {
    ShapeFile::DistanceLevel level;
    EachBlock(c, [&](const std::string& name, const std::string&) {
        if (name == "distance_level_header") {
            EachBlock(c, [&](const std::string& part, const std::string&) {
                if (part == "dlevel_selection") {
                    level.selection = c.Float();
                } else if (part == "hierarchy") {
                    level.hierarchy = Numbers(c, true);
                }
            });
        } else if (name == "sub_objects") {
            EachElement(c, "sub_object", [&](const std::string&) { ReadSubObject(c, level); });
        }
    });
    shape.levels.push_back(std::move(level));
}

void ReadLodControl(Cursor& c, ShapeFile& shape) {
    EachBlock(c, [&](const std::string& name, const std::string&) {
        if (name != "distance_levels") {
            return;
        }
        bool first = true;
        EachElement(c, "distance_level", [&](const std::string&) {
            if (first) {
                ReadDistanceLevel(c, shape);  // the most detailed level only
            }
            first = false;
        });
    });
}

void ReadList(Cursor& c, const std::string& name, ShapeFile& shape) {
    if (name == "shader_names") {
        EachElement(c, "named_shader",
                    [&](const std::string&) { shape.shaders.push_back(c.String()); });
    } else if (name == "points") {
        EachElement(c, "point", [&](const std::string&) { shape.points.push_back(ReadVector(c)); });
    } else if (name == "uv_points") {
        EachElement(c, "uv_point", [&](const std::string&) {
            const float u = c.Float();
            shape.uvPoints.push_back({u, c.Float()});
        });
    } else if (name == "normals") {
        EachElement(c, "vector",
                    [&](const std::string&) { shape.normals.push_back(ReadVector(c)); });
    } else if (name == "matrices") {
        EachElement(c, "matrix", [&](const std::string& label) {
            shape.matrices.push_back(ReadMatrix(c));
            shape.matrixNames.push_back(label);
        });
    } else if (name == "images") {
        EachElement(c, "image", [&](const std::string&) { shape.images.push_back(c.String()); });
    } else if (name == "textures") {
        EachElement(c, "texture", [&](const std::string&) {
            ShapeFile::Texture texture;
            texture.image = c.Integer(false);
            c.Integer(false);  // filter mode
            texture.mipMapLodBias = c.Float();
            shape.textures.push_back(texture);
        });
    } else if (name == "light_model_cfgs") {
        EachElement(c, "light_model_cfg",
                    [&](const std::string&) { ReadLightModelConfig(c, shape); });
    } else if (name == "vtx_states") {
        EachElement(c, "vtx_state", [&](const std::string&) {
            ShapeFile::VtxState state;
            c.SkipDword();
            state.matrix = c.Integer(false);
            state.lightMaterial = c.Integer(true);
            state.lightConfig = c.Integer(false);
            shape.vtxStates.push_back(state);
        });
    } else if (name == "prim_states") {
        EachElement(c, "prim_state", [&](const std::string&) { ReadPrimState(c, shape); });
    } else if (name == "lod_controls") {
        EachElement(c, "lod_control", [&](const std::string&) { ReadLodControl(c, shape); });
    }
}

ShapeFile ReadTree(Cursor& c) {
    std::string label;
    if (c.AtEnd() || c.Open(&label) != "shape") {
        c.Fail("no shape block was found");
    }
    ShapeFile shape;
    EachBlock(c, [&](const std::string& name, const std::string&) { ReadList(c, name, shape); });
    c.Close();
    return shape;
}

}  // namespace

ShapeFile ReadShape(std::string_view bytes) {
    const SimisPayload payload = UnwrapSimis(bytes);
    std::string text;
    std::string_view jinx;
    if (payload.utf16) {
        text = TextOf(payload);
        jinx = text;
    } else {
        jinx = payload.payload;
    }
    jinx = jinx.substr(0, 16);
    if (jinx.size() < 8 || !jinx.starts_with("JINX0") || (jinx[7] != 't' && jinx[7] != 'b')) {
        throw FormatError("the file has no JINX line after its SIMIS header");
    }
    if (jinx[5] != 's') {
        throw FormatError("the file is not a shape (its header says JINX0" +
                          std::string(jinx.substr(5, 3)) + ")");
    }
    if (jinx[7] == 'b') {
        if (payload.utf16) {
            throw FormatError("the file holds binary tokens behind a Unicode header");
        }
        BinaryCursor cursor(payload.payload, 16, payload.compressed ? 0 : 16,
                            payload.compressed ? " of the inflated data" : "");
        return ReadTree(cursor);
    }
    if (!payload.utf16) {
        text = TextOf(payload);
    }
    // Drop the JINX word; the shape's blocks follow.
    const std::size_t after = text.find_first_of(" \t\r\n", 0);
    text.erase(0, after == std::string::npos ? text.size() : after);
    TextCursor cursor(std::move(text));
    return ReadTree(cursor);
}

}  // namespace vantor::view3d
