#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <zlib.h>

#include "TempFolder.h"
#include "TreeText.h"
#include "corvane/TSFile.h"

namespace {

using testing_support::Describe;
using testing_support::TempFolder;

// Core token ids, as the simulator numbers them.
constexpr std::uint16_t kPoint = 2, kVector = 3, kImage = 13, kImages = 14, kTexture = 15,
                        kTextures = 16, kDlevelSelection = 35, kPrimState = 54, kPrimStates = 55,
                        kTexIdxs = 61, kMatrix = 65, kMatrices = 66, kHierarchy = 67, kVolumes = 68,
                        kVolSphere = 69, kShapeHeader = 70, kShape = 71, kTerrain = 136;

const std::string kBinaryHeader = "SIMISA@@@@@@@@@@JINX0s1b______\r\n";

std::string Le(std::uint32_t value, int bytes = 4) {
    std::string out;
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
    return out;
}

// A string as a block stores it: its length in units of count_bytes, then UTF-16.
std::string Utf16(const std::u16string& text, int count_bytes) {
    std::string out = Le(static_cast<std::uint32_t>(text.size()), count_bytes);
    for (const char16_t unit : text) {
        out += Le(unit, 2);
    }
    return out;
}

std::string Block(std::uint16_t id, const std::string& contents, const std::u16string& label = u"",
                  std::uint16_t table = 0) {
    const std::string body = Utf16(label, 1) + contents;
    return Le(id, 2) + Le(table, 2) + Le(static_cast<std::uint32_t>(body.size())) + body;
}

std::string U(std::initializer_list<std::uint32_t> values) {
    std::string out;
    for (const std::uint32_t v : values) {
        out += Le(v);
    }
    return out;
}

std::string F(std::initializer_list<float> values) {
    std::string out;
    for (const float v : values) {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &v, sizeof bits);
        out += Le(bits);
    }
    return out;
}

// A compressed file of the inflated bytes, stating their length or another one.
std::string Compressed(const std::string& inflated, std::optional<std::uint32_t> stated = {}) {
    uLongf size = compressBound(static_cast<uLong>(inflated.size()));
    std::string packed(size, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &size,
             reinterpret_cast<const Bytef*>(inflated.data()), static_cast<uLong>(inflated.size()));
    packed.resize(size);
    return "SIMISA@F" + Le(stated.value_or(static_cast<std::uint32_t>(inflated.size()))) + "@@@@" +
           packed;
}

// One shape in the simulator's text layout and the same shape as tokens.
const std::string kShapeText =
    "shape (\r\n"
    "\tshape_header ( 00000000 00000000 )\r\n"
    "\tvolumes ( 1\r\n\t\tvol_sphere (\r\n\t\t\tvector ( 0 6.2 -3.8e-005 ) 200\r\n\t\t)\r\n\t)\r\n"
    "\tmatrices ( 1\r\n\t\tmatrix MAIN ( 1 0 0 0 1 0 0 0 1 0 6.2 0 )\r\n\t)\r\n"
    "\timages ( 1\r\n\t\timage ( \"my tex.ace\" )\r\n\t)\r\n"
    "\ttextures ( 1\r\n\t\ttexture ( 0 1 -1 ff000000 )\r\n\t)\r\n"
    "\tprim_states ( 1\r\n\t\tprim_state Rails ( 00000000 1\r\n"
    "\t\t\ttex_idxs ( 1 0 ) 0 0 1 0 1\r\n\t\t)\r\n\t)\r\n"
    ")";

std::string ShapeTokens() {
    return Block(
        kShape,
        Block(kShapeHeader, U({0, 0})) +
            Block(kVolumes,
                  U({1}) + Block(kVolSphere, Block(kVector, F({0, 6.2F, -3.8e-5F})) + F({200}))) +
            Block(kMatrices,
                  U({1}) + Block(kMatrix, F({1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 6.2F, 0}), u"MAIN")) +
            Block(kImages, U({1}) + Block(kImage, Utf16(u"my tex.ace", 2))) +
            Block(kTextures, U({1}) + Block(kTexture, U({0, 1}) + F({-1}) + U({0xFF000000}))) +
            Block(kPrimStates,
                  U({1}) + Block(kPrimState,
                                 U({0, 1}) + Block(kTexIdxs, U({1, 0})) + F({0}) + U({0, 1, 0, 1}),
                                 u"Rails")));
}

class AnyFormTest : public testing::Test {
protected:
    // Writes bytes as a shape file and reads it in any form.
    corvane::TSFile& Read(const std::string& bytes) {
        testing_support::WriteBytes(m_folder.File("x.s"), bytes);
        m_file = std::make_unique<corvane::TSFile>(m_folder.File("x.s"));
        m_file->LoadAnyForm();
        return *m_file;
    }

    TempFolder m_folder;
    std::unique_ptr<corvane::TSFile> m_file;
};

TEST_F(AnyFormTest, BinaryAndCompressedShapesGiveTheTreeOfTheirTextForm) {
    testing_support::WriteBytes(m_folder.File("text.s"),
                                "SIMISA@@@@@@@@@@JINX0s1t______\r\n\r\n" + kShapeText);
    corvane::TSFile text(m_folder.File("text.s"));
    text.Load();
    const auto expected = Describe(*text.Items());
    ASSERT_EQ(expected.size(), 1U);

    struct Row {
        const char* why;
        std::string bytes;
        corvane::FileForm form;
    };
    for (const Row& row : {
             Row{"binary", kBinaryHeader + ShapeTokens(), corvane::FileForm::Binary},
             Row{"compressed binary", Compressed("JINX0s1b______\r\n" + ShapeTokens()),
                 corvane::FileForm::Compressed},
             Row{"compressed text", Compressed("JINX0s1t______\r\n\r\n" + kShapeText),
                 corvane::FileForm::Compressed},
             Row{"stray CR LF before the header", "\r\n" + kBinaryHeader + ShapeTokens(),
                 corvane::FileForm::Binary},
         }) {
        corvane::TSFile& file = Read(row.bytes);
        EXPECT_EQ(Describe(*file.Items()), expected) << row.why;
        EXPECT_EQ(file.Form(), row.form) << row.why;
    }

    // Saved as text, the tree reads back the same.
    Read(kBinaryHeader + ShapeTokens()).SetFileName(m_folder.File("saved.s"));
    m_file->Save();
    corvane::TSFile saved(m_folder.File("saved.s"));
    saved.Load();
    EXPECT_EQ(Describe(*saved.Items()), expected);
}

TEST_F(AnyFormTest, ValuesAreWrittenAsTheTextShowsThem) {
    struct Row {
        const char* fault;
        std::string block;
        const char* expected;
    };
    for (const Row& row : {
             Row{"float not cut to six digits", Block(kDlevelSelection, F({1.1234567F})),
                 "dlevel_selection<1.12346>"},
             Row{"exponent of two digits", Block(kDlevelSelection, F({1.5e10F})),
                 "dlevel_selection<1.5e+010>"},
             Row{"flags in decimal or upper case", Block(kShapeHeader, U({0x400, 0xFF000000})),
                 "shape_header<00000400|ff000000>"},
             Row{"signed value read unsigned", Block(kHierarchy, U({2, 0xFFFFFFFF, 0})),
                 "hierarchy<2|-1|0>"},
             Row{"unsigned value read signed", Block(kTexIdxs, U({1, 0xFFFFFFFF})),
                 "tex_idxs<1|4294967295>"},
             Row{"empty string lost", Block(kImage, Utf16(u"", 2)), "image<\"\">"},
             Row{"non-ASCII string garbled", Block(kImage, Utf16(u"\u00e9\U0001D11E", 2)),
                 "image<\u00e9\U0001D11E>"},
             Row{"missing optional value refused", Block(kTexture, U({0, 1}) + F({-1})),
                 "texture<0|1|-1>"},
             Row{"unknown layout of blocks refused", Block(kTerrain, Block(kPoint, F({1, 2, 3}))),
                 "terrain{point<1|2|3>}"},
         }) {
        const auto tree = Describe(*Read(kBinaryHeader + Block(kShape, row.block)).Items());
        EXPECT_EQ(tree, std::vector<std::string>{std::string("shape{") + row.expected + "}"})
            << row.fault;
    }
}

TEST_F(AnyFormTest, DamagedFilesAreRefusedNamingTheFileAndTheFault) {
    const std::string point = Block(kPoint, F({1, 2, 3}));
    std::string deep = point;
    for (int i = 0; i < 70; ++i) {
        deep = Block(kShape, deep);
    }
    const std::string jinx = "JINX0s1b______\r\n";
    struct Row {
        std::string bytes;
        const char* message;  // after "<file>: "
    };
    for (const Row& row : {
             Row{kBinaryHeader + point.substr(0, 20),
                 "block \"point\" of 13 bytes runs past the end of the data at offset 32"},
             Row{kBinaryHeader + Block(kShape, point.substr(0, 4) + Le(100) + point.substr(8)),
                 "block \"point\" of 100 bytes runs past its parent block at offset 41"},
             Row{kBinaryHeader + Block(kPoint, F({1, 2}) + "xy"),
                 "a value of block \"point\" runs past the block at offset 49"},
             Row{kBinaryHeader + Block(kPoint, F({1, 2, 3, 4})),
                 "block \"point\" holds 4 bytes more than its values at offset 32"},
             Row{kBinaryHeader + Block(kImage, Le(9, 2) + "ab"),
                 "a string of block \"image\" runs past the block at offset 41"},
             Row{kBinaryHeader + deep, "blocks nest deeper than 64 levels at offset 608"},
             Row{kBinaryHeader + Block(999, ""), "token 999 is unknown at offset 32"},
             Row{kBinaryHeader + Block(75, "", u"", 4),
                 "token 75 of table 4 is not a core token, which this reader does not know at "
                 "offset 32"},
             Row{kBinaryHeader + "\x47\0", "the data ends inside a block header at offset 32"},
             Row{Compressed(jinx, 0x7FFFFFFF),
                 "the compressed file states 2147483647 inflated bytes, more than the 67108864 "
                 "allowed"},
             Row{Compressed(jinx + point, 20),
                 "the compressed data inflates to more than the 20 bytes its header states"},
             Row{Compressed(jinx + point, 40),
                 "the compressed data inflates to 37 bytes, fewer than the 40 its header states"},
             Row{Compressed(jinx + point).substr(0, 30),
                 "the compressed data ends before its end mark"},
             Row{std::string("SIMISA@F\x10\0\0\0@@@@garbage garbage", 31),
                 "the compressed data is damaged (incorrect header check)"},
             Row{std::string("SIMISA@F\x10\0\0\0@@@!", 16),
                 "the compressed file's header lacks \"@@@@\" after the length"},
             Row{"SIMISA@F", "the compressed file ends inside its header"},
             Row{Compressed(std::string("\x01\0\0\0\0\0\0\0", 8)),
                 "the inflated data holds neither text nor a token stream"},
         }) {
        EXPECT_THAT([&] { Read(row.bytes); },
                    testing::ThrowsMessage<std::runtime_error>(
                        testing::StrEq(m_folder.File("x.s") + ": " + row.message)));
        EXPECT_EQ(m_file->Items()->Count(), 0) << row.message;
    }
    // An empty file is text with nothing in it.
    EXPECT_EQ(Read("").Items()->Count(), 0);
}

}  // namespace
