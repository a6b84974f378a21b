#include "FileTypes.h"

#include <array>

#include "Text.h"

namespace corvane::filetypes {

namespace {

struct TypeRow {
    std::string_view filetype;
    std::string_view subFileType;  // only for "dat"; empty row = any other name
    std::string_view firstElement;
    std::string_view headerCode;
};

// Rows in the order they are tested.
constexpr std::array<TypeRow, 37> kRows = {{
    {"eng", "", "Wagon", "D0t"},
    {"wag", "", "Wagon", "D0t"},
    {"sd", "", "shape", "t1t"},
    {"s", "", "Shape", "s1t"},
    {"con", "", "Train", "D0t"},
    {"ws", "", "Tr_Worldsoundfile", "W0t"},
    {"w", "", "Tr_Worldfile", "w0t"},
    {"cvf", "", "Tr_CabViewFile", "h0t"},
    {"dat", "carspawn", "#CarSpawnerItem", "v1t"},
    {"dat", "forest", "#Forest", "F0t"},
    {"dat", "gantry", "Tr_GantryFile", "g0t"},
    {"dat", "sigcfg", "LightTextures", "G0t"},
    {"dat", "sigscr", "", ""},
    {"dat", "speedpost", "Speedpost_Set", "t1t"},
    {"dat", "ttype", "#TrackType", "t1t"},
    {"dat", "tsection", "TrackSections", "F0t"},
    {"dat", "ssource", "Sound", "Z1t"},
    {"dat", "telepole", "TPoleConfigData", "r1t"},
    {"dat", "td_idx", "terrain_desc", "D0t"},
    {"dat", "", "TrGUI_", "w1t"},
    {"rit", "", "TrItemTable", "T0t"},
    {"rdb", "", "TrackDB", "T0t"},
    {"tit", "", "TrItemTable", "T0t"},
    {"tdb", "", "TrackDB", "T0t"},
    {"haz", "", "Tr_Worldfile", "h0t"},
    {"ref", "", "*", "r1t"},
    {"trk", "", "Tr_RouteFile", "r0t"},
    {"sms", "", "Tr_SMS", "x1t"},
    {"act", "", "Tr_Activity", "a0t"},
    {"env", "", "world", "w0t"},
    {"pat", "", "Serial", "P0t"},
    {"srv", "", "Service_Definition", "v0t"},
    {"trf", "", "Traffic_Definition", "f0t"},
    {"td", "", "", "d1b"},
    {"t", "", "", "t6b"},
    {"iom", "", "Tr_", "i0b"},
    {"sav", "", "", "v0b"},
}};

const TypeRow* Find(std::string_view filetype, std::string_view subFileType) {
    for (const TypeRow& row : kRows) {
        if (row.filetype != filetype) {
            continue;
        }
        if (filetype != "dat" || row.subFileType.empty() || row.subFileType == subFileType) {
            return &row;
        }
    }
    return nullptr;
}

}  // namespace

std::string FiletypeOf(std::string_view fileName) {
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos) {
        return {};
    }
    return text::LowerCase(fileName.substr(dot + 1));
}

std::string SubFileTypeOf(std::string_view fileName, std::string_view filetype) {
    if (filetype != "dat") {
        return {};
    }
#if defined(_WIN32)
    const std::size_t slash = fileName.rfind('\\');
#else
    // Here "/" separates folders as well.
    const std::size_t slash = fileName.find_last_of("\\/");
#endif
    std::string_view base = slash == std::string_view::npos ? fileName : fileName.substr(slash + 1);
    const std::size_t cut = filetype.size() + 1;
    return std::string(base.substr(0, base.size() >= cut ? base.size() - cut : 0));
}

std::string_view FirstElementOf(std::string_view filetype, std::string_view subFileType) {
    const TypeRow* row = Find(filetype, subFileType);
    return row ? row->firstElement : std::string_view{};
}

std::string_view HeaderCodeOf(std::string_view filetype, std::string_view subFileType) {
    const TypeRow* row = Find(filetype, subFileType);
    return row ? row->headerCode : std::string_view{};
}

}  // namespace corvane::filetypes
