#include "ShapeFixtures.h"

#include <zlib.h>

#include <cmath>
#include <cstring>
#include <map>
#include <sstream>
#include <stdexcept>

#include "TempFolder.h"

namespace shape_fixtures {

namespace {

const std::map<std::string, std::uint16_t>& Ids() {
    static const std::map<std::string, std::uint16_t> ids = {
        {"point", 2},
        {"vector", 3},
        {"normals", 5},
        {"normal_idxs", 6},
        {"points", 7},
        {"uv_point", 8},
        {"uv_points", 9},
        {"image", 13},
        {"images", 14},
        {"texture", 15},
        {"textures", 16},
        {"lod_controls", 31},
        {"lod_control", 32},
        {"distance_levels_header", 33},
        {"distance_level_header", 34},
        {"dlevel_selection", 35},
        {"distance_levels", 36},
        {"distance_level", 37},
        {"sub_objects", 38},
        {"sub_object", 39},
        {"sub_object_header", 40},
        {"vtx_state", 46},
        {"vtx_states", 47},
        {"vertex", 48},
        {"vertex_uvs", 49},
        {"vertices", 50},
        {"vertex_set", 51},
        {"vertex_sets", 52},
        {"primitives", 53},
        {"prim_state", 54},
        {"prim_states", 55},
        {"prim_state_idx", 56},
        {"indexed_trilist", 60},
        {"tex_idxs", 61},
        {"vertex_idxs", 63},
        {"flags", 64},
        {"matrix", 65},
        {"matrices", 66},
        {"hierarchy", 67},
        {"volumes", 68},
        {"vol_sphere", 69},
        {"shape_header", 70},
        {"shape", 71},
        {"shader_names", 72},
        {"named_shader", 129},
        {"texture_filter_names", 74},
        {"named_filter_mode", 125},
        {"light_model_cfgs", 79},
        {"light_model_cfg", 80},
        {"uv_ops", 81},
        {"uv_op_copy", 84},
    };
    return ids;
}

void Put16(std::string& out, std::uint16_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

void WriteText(const Block& block, int depth, std::ostringstream& out) {
    out << "\r\n" << std::string(static_cast<std::size_t>(depth), '\t') << block.name;
    if (!block.label.empty()) {
        out << ' ' << block.label;
    }
    out << " (";
    for (const Value& value : block.values) {
        switch (value.kind) {
            case 'b':
                WriteText(value.child.front(), depth + 1, out);
                break;
            case 's':
                out << " \"" << value.text << '"';
                break;
            case 'd': {
                char hex[9];
                std::snprintf(hex, sizeof hex, "%08x", static_cast<unsigned>(value.number));
                out << ' ' << hex;
                break;
            }
            default:
                out << ' ' << value.number;
        }
    }
    out << " )";
}

std::string BinaryBlock(const Block& block) {
    std::string contents;
    for (const Value& value : block.values) {
        switch (value.kind) {
            case 'b':
                contents += BinaryBlock(value.child.front());
                break;
            case 's':
                Put16(contents, static_cast<std::uint16_t>(value.text.size()));
                for (const char c : value.text) {
                    Put16(contents, static_cast<unsigned char>(c));
                }
                break;
            case 'f': {
                const auto f = static_cast<float>(value.number);
                std::uint32_t bits = 0;
                std::memcpy(&bits, &f, 4);
                Put32(contents, bits);
                break;
            }
            case 'i':
                Put32(contents,
                      static_cast<std::uint32_t>(static_cast<std::int32_t>(value.number)));
                break;
            default:
                Put32(contents, static_cast<std::uint32_t>(value.number));
        }
    }
    std::string out;
    Put16(out, Ids().at(block.name));
    Put16(out, 0);
    Put32(out, static_cast<std::uint32_t>(1 + 2 * block.label.size() + contents.size()));
    out += static_cast<char>(block.label.size());
    for (const char c : block.label) {
        Put16(out, static_cast<unsigned char>(c));
    }
    return out + contents;
}

Value List(const std::string& name, std::vector<Value> elements) {
    std::vector<Value> values = {U(static_cast<std::uint32_t>(elements.size()))};
    values.insert(values.end(), elements.begin(), elements.end());
    return B(name, values);
}

Value Matrix(const std::string& label, float angle, float x, float y, float z) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return B("matrix", {F(c), F(0), F(-s), F(0), F(1), F(0), F(s), F(0), F(c), F(x), F(y), F(z)},
             label);
}

}  // namespace

void Put32(std::string& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

Value U(std::uint32_t v) {
    return {'u', static_cast<double>(v), {}, {}};
}
Value I(std::int32_t v) {
    return {'i', static_cast<double>(v), {}, {}};
}
Value F(float v) {
    return {'f', static_cast<double>(v), {}, {}};
}
Value D(std::uint32_t v) {
    return {'d', static_cast<double>(v), {}, {}};
}
Value S(std::string v) {
    return {'s', 0, std::move(v), {}};
}
Value B(std::string name, std::vector<Value> values, std::string label) {
    return {'b', 0, {}, {Block{std::move(name), std::move(label), std::move(values)}}};
}

std::string TextShape(const Block& shape, bool utf16) {
    std::ostringstream out;
    out.precision(9);
    out << "SIMISA@@@@@@@@@@JINX0s1t______\r\n";
    WriteText(shape, 0, out);
    out << "\r\n";
    return utf16 ? testing_support::Utf16Bytes(out.str(), true) : out.str();
}

std::string BinaryShape(const Block& shape) {
    return "SIMISA@@@@@@@@@@JINX0s1b______\r\n" + BinaryBlock(shape);
}

std::string Zlib(std::string_view bytes) {
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    std::string out(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                  reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uLong>(bytes.size()),
                  9) != Z_OK) {
        throw std::runtime_error("compress2 failed");
    }
    out.resize(size);
    return out;
}

std::string Compress(std::string_view file) {
    const std::string_view payload = file.substr(16);
    std::string out = "SIMISA@F";
    Put32(out, static_cast<std::uint32_t>(payload.size()));
    out += "@@@@";
    return out + Zlib(payload);
}

Block TestShape(const ShapeOptions& options) {
    std::vector<Value> hierarchy = {U(static_cast<std::uint32_t>(options.hierarchy.size()))};
    for (const std::int32_t parent : options.hierarchy) {
        hierarchy.push_back(I(parent));
    }
    std::vector<Value> opaque = {U(static_cast<std::uint32_t>(options.opaqueIndices.size()))};
    for (const std::uint32_t index : options.opaqueIndices) {
        opaque.push_back(U(index));
    }
    const auto vertex = [](std::uint32_t point, std::uint32_t uv) {
        return B("vertex", {D(0), U(point), U(0), D(0xffffffff), D(0xff808080),
                            B("vertex_uvs", {U(1), U(uv)})});
    };
    const auto primState = [](std::uint32_t shader, std::uint32_t texture, std::uint32_t vtxState,
                              const std::string& label) {
        return B("prim_state",
                 {D(0), U(shader), B("tex_idxs", {U(1), U(texture)}), F(0), U(vtxState), U(0), U(0),
                  U(1)},
                 label);
    };
    const float quarter = 1.5707963267948966F;
    std::vector<Value> shape = {
        B("shape_header", {D(0), D(0)}),
        List("volumes", {B("vol_sphere", {B("vector", {F(0), F(0), F(0)}), F(3)})}),
        List("shader_names",
             {B("named_shader", {S("TexDiff")}), B("named_shader", {S("BlendATexDiff")})}),
        List("texture_filter_names", {B("named_filter_mode", {S("MipLinear")})}),
        List("points", {B("point", {F(1), F(0), F(0)}), B("point", {F(0), F(1), F(0)}),
                        B("point", {F(0), F(0), F(1)}), B("point", {F(1), F(1), F(1)})}),
        List("uv_points", {B("uv_point", {F(0), F(0)}), B("uv_point", {F(1), F(0)}),
                           B("uv_point", {F(0), F(1)}), B("uv_point", {F(1), F(1)})}),
        List("normals", {B("vector", {F(0), F(1), F(0)})}),
        List("matrices", {Matrix("MAIN", quarter, 5, 0, 0), Matrix("BOGIE", 0, 0, 1, 0),
                          Matrix("WHEEL", 0, 0, 0, 2)}),
        List("images", {B("image", {S("Body.ACE")}), B("image", {S("glass.dds")})}),
        List("textures", {B("texture", {U(options.imageOfTexture0), U(0), F(-3), D(0xff000000)}),
                          B("texture", {U(1), U(0), F(0), D(0xff000000)})}),
        List("light_model_cfgs",
             {B("light_model_cfg", {D(0), List("uv_ops", {B("uv_op_copy", {U(1), U(0)})})}),
              B("light_model_cfg", {D(0), List("uv_ops", {B("uv_op_copy", {U(3), U(0)})})})}),
        List("vtx_states", {B("vtx_state", {D(0), U(0), I(-5), U(0), D(2)}),
                            B("vtx_state", {D(0), U(2), I(-5), U(1), D(2)})}),
        List("prim_states", {primState(0, 0, 0, "Body"), primState(1, 1, 1, "Glass")}),
        List("lod_controls",
             {B("lod_control",
                {B("distance_levels_header", {I(0)}),
                 List("distance_levels",
                      {B("distance_level",
                         {B("distance_level_header",
                            {B("dlevel_selection", {F(200)}), B("hierarchy", hierarchy)}),
                          List("sub_objects",
                               {B("sub_object",
                                  {B("sub_object_header", {D(0), I(-1), I(-1), D(0x1d0), D(0x1c4)}),
                                   List("vertices", {vertex(0, 0), vertex(1, 1), vertex(2, 2),
                                                     vertex(options.pointOfVertex3, 3)}),
                                   List("vertex_sets", {B("vertex_set", {U(0), U(0), U(4)})}),
                                   List("primitives",
                                        {B("prim_state_idx", {U(1)}),
                                         B("indexed_trilist",
                                           {B("vertex_idxs", {U(3), U(0), U(2), U(3)}),
                                            B("normal_idxs", {U(1), U(0), U(3)}),
                                            B("flags", {U(1), D(0)})}),
                                         B("prim_state_idx", {U(0)}),
                                         B("indexed_trilist", {B("vertex_idxs", opaque)})})})})}),
                       // A second, coarser level that is not drawn.
                       B("distance_level",
                         {B("distance_level_header", {B("dlevel_selection", {F(2000)}),
                                                      B("hierarchy", {U(1), I(-1)})})})})})}),
    };
    return Block{"shape", {}, shape};
}

std::string AceFile(const AcePicture& picture, AceKind kind, bool mipmaps, bool badOffsets,
                    std::vector<std::uint8_t> mask) {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> channels = {{8, 3}, {8, 4}, {8, 5}};
    std::uint32_t format = 0x0E;
    if (kind != AceKind::Rgb) {
        channels.emplace_back(1, 2);
        format = 0x10;
    }
    if (kind == AceKind::RgbMaskAlpha) {
        channels.emplace_back(8, 6);
        format = 0x11;
    }
    std::vector<AcePicture> levels = {picture};
    while (mipmaps && levels.back().width > 1) {
        const AcePicture& above = levels.back();
        AcePicture next{above.width / 2, above.height / 2, {}};
        for (int y = 0; y < next.height; ++y) {
            for (int x = 0; x < next.width; ++x) {
                const std::size_t at = 4 * (static_cast<std::size_t>(2 * y) * above.width +
                                            2 * static_cast<std::size_t>(x));
                next.rgba.insert(next.rgba.end(), above.rgba.begin() + static_cast<long>(at),
                                 above.rgba.begin() + static_cast<long>(at) + 4);
            }
        }
        levels.push_back(next);
    }
    std::string body;
    Put32(body, 1);
    Put32(body, mipmaps ? 1 : 0);
    Put32(body, static_cast<std::uint32_t>(picture.width));
    Put32(body, static_cast<std::uint32_t>(picture.height));
    Put32(body, format);
    Put32(body, static_cast<std::uint32_t>(channels.size()));
    Put32(body, 0);
    body += std::string(16 + 64 + 44, '\0');
    for (const auto& [bits, type] : channels) {
        Put32(body, bits);
        Put32(body, 0);
        Put32(body, type);
        Put32(body, 0);
    }
    std::string rows;
    std::vector<std::size_t> offsets;
    for (const AcePicture& level : levels) {
        for (int y = 0; y < level.height; ++y) {
            offsets.push_back(rows.size());
            for (const auto& [bits, type] : channels) {
                if (bits == 1) {
                    for (int x = 0; x < level.width; x += 8) {
                        std::uint8_t byte = 0;
                        for (int b = 0; b < 8 && x + b < level.width; ++b) {
                            const std::size_t at =
                                static_cast<std::size_t>(y) * level.width + x + b;
                            const bool on =
                                mask.empty() ? level.rgba[4 * at + 3] >= 128 : mask[at] != 0;
                            byte = static_cast<std::uint8_t>(byte | (on ? 0x80 >> b : 0));
                        }
                        rows += static_cast<char>(byte);
                    }
                    continue;
                }
                const int component = type == 6 ? 3 : static_cast<int>(type) - 3;
                for (int x = 0; x < level.width; ++x) {
                    rows += static_cast<char>(
                        level
                            .rgba[4 * (static_cast<std::size_t>(y) * level.width + x) + component]);
                }
            }
        }
    }
    const std::size_t dataAt = body.size() + 4 * offsets.size();
    for (const std::size_t offset : offsets) {
        Put32(body, badOffsets ? static_cast<std::uint32_t>(4 * offset + 7)
                               : static_cast<std::uint32_t>(dataAt + offset));
    }
    return "SIMISA@@@@@@@@@@" + body + rows;
}

std::string AceDxt1File(int width, const std::vector<std::uint8_t>& level0Blocks) {
    std::string body;
    Put32(body, 1);
    Put32(body, 0x11);
    Put32(body, static_cast<std::uint32_t>(width));
    Put32(body, static_cast<std::uint32_t>(width));
    Put32(body, 0x12);
    Put32(body, 3);
    Put32(body, 0);
    body += std::string(16 + 64 + 44, '\0');
    for (std::uint32_t type = 3; type <= 5; ++type) {
        Put32(body, 8);
        Put32(body, 0);
        Put32(body, type);
        Put32(body, 0);
    }
    int levels = 0;
    for (int w = width; w >= 1; w /= 2) {
        ++levels;
    }
    std::string data;
    std::vector<std::size_t> offsets;
    for (int w = width; w >= 1; w /= 2) {
        offsets.push_back(data.size());
        if (w >= 4) {
            const std::size_t size = static_cast<std::size_t>(w / 4) * (w / 4) * 8;
            Put32(data, static_cast<std::uint32_t>(size));
            for (std::size_t i = 0; i < size; ++i) {
                data += static_cast<char>(level0Blocks[i % level0Blocks.size()]);
            }
        } else {
            data += std::string(static_cast<std::size_t>(3 * w * w), '\x80');
        }
    }
    const std::size_t dataAt = body.size() + 4 * static_cast<std::size_t>(levels);
    for (const std::size_t offset : offsets) {
        Put32(body, static_cast<std::uint32_t>(dataAt + offset));
    }
    return "SIMISA@@@@@@@@@@" + body + data;
}

std::string DdsFile(int width, int height, const char* fourCc, int levels,
                    const std::vector<std::uint8_t>& data, std::uint32_t bitCount,
                    std::uint32_t rMask, std::uint32_t gMask, std::uint32_t bMask,
                    std::uint32_t aMask) {
    std::string out = "DDS ";
    Put32(out, 124);
    Put32(out, 0x1007 | (levels > 1 ? 0x20000 : 0));
    Put32(out, static_cast<std::uint32_t>(height));
    Put32(out, static_cast<std::uint32_t>(width));
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, static_cast<std::uint32_t>(levels));
    out += std::string(44, '\0');
    Put32(out, 32);
    const bool compressed = std::strlen(fourCc) == 4;
    Put32(out, compressed ? 0x4 : (0x40 | (aMask != 0 ? 0x1 : 0)));
    out += compressed ? std::string(fourCc, 4) : std::string(4, '\0');
    Put32(out, bitCount);
    Put32(out, rMask);
    Put32(out, gMask);
    Put32(out, bMask);
    Put32(out, aMask);
    Put32(out, 0x1000);
    out += std::string(16, '\0');
    return out + std::string(data.begin(), data.end());
}

}  // namespace shape_fixtures
