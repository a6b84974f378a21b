#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "TestInstallation.h"
#include "validation/CheckSupport.h"
#include "validation/TSValidation.h"

namespace {

using validation_tests::Joined;
using validation_tests::Replaced;
using validation_tests::TestInstallation;
using vantor::TSValidation;

// A shape's text: the header, then the shape item holding an images item with a
// declared count and image children.
std::string ShapeText(std::string_view count, const std::vector<std::string>& images) {
    std::string text =
        "SIMISA@@@@@@@@@@JINX0s1t______\r\n\r\nshape (\r\n\tshape_header ( 00000000 )\r\n";
    text += "\timages ( " + std::string(count) + "\r\n";
    for (const std::string& image : images) {
        text += "\t\timage ( " + image + " )\r\n";
    }
    text += "\t)\r\n\ttextures ( 0 )\r\n)";
    return text;
}

std::string SdText(std::string_view alternative) {
    std::string text =
        "SIMISA@@@@@@@@@@JINX0t1t______\r\n\r\nshape ( x.s\r\n\tESD_Detail_Level ( 0 )\r\n";
    if (!alternative.empty()) {
        text += "\tESD_Alternative_Texture ( " + std::string(alternative) + " )\r\n";
    }
    return text + ")";
}

// A route with the shape Shed.s naming Roof.ace and Wall.ace, all base textures present.
class RouteShapeTest : public testing::Test {
protected:
    RouteShapeTest() {
        m_install.Bytes("Routes/R/SHAPES/Shed.s", ShapeText("2", {"Roof.ace", "\"Wall.ace\""}));
        m_install.Touch("Routes/R/TEXTURES/Roof.ace");
        m_install.Touch("Routes/R/TEXTURES/wall.ACE");
    }

    TestInstallation m_install;
};

TEST_F(RouteShapeTest, DescriptionFileAndAlternativeTextures) {
    struct Row {
        const char* fault;
        std::optional<std::string> sd;  // none: no .sd file
        const char* variant;            // a texture file made now, kept for later rows
        TSValidation::Status status;
        const char* entries;  // {S} the shape, {D} its .sd file, {T} its textures folder
    };
    const Row rows[] = {
        {"no .sd file: reported and the check ends", std::nullopt, "", 6, "6|{S}|{D}"},
        {"no ESD_Alternative_Texture item", SdText(""), "", 1,
         "1|{D}|ESD_Alternative_Texture section"},
        {"value that is not a number", SdText("lots"), "", 3,
         "3|{D}|ESD_Alternative_Texture section"},
        {".sd file without items", "nothing here", "", 3, "3|{D}|"},
        {"a combination not in the table asks for none", SdText("508"), "", 0, ""},
        {"257: Snow then Night, image by image", SdText("257"), "", 6,
         "6|{S}|{T}Snow\\Roof.ace & 6|{S}|{T}Night\\Roof.ace & 6|{S}|{T}Snow\\Wall.ace & "
         "6|{S}|{T}Night\\Wall.ace"},
        // The broken value 256 is reported once, before the night textures.
        {"256 with a night texture missing", SdText("256"), "Night/Roof.ace", 6,
         "5|{S}|Broken ESD_Alternative_Texture setting of 256 & 6|{S}|{T}Night\\Wall.ace"},
        {"256 leaves the status alone", SdText("256"), "Night/Wall.ace", 0,
         "5|{S}|Broken ESD_Alternative_Texture setting of 256"},
    };
    const std::string shape = m_install.Path("Routes\\R\\SHAPES\\Shed.s");
    for (const Row& row : rows) {
        m_install.Remove("Routes/R/SHAPES/Shed.sd");
        if (row.sd) {
            m_install.Bytes("Routes/R/SHAPES/Shed.sd", *row.sd);
        }
        if (*row.variant != '\0') {
            m_install.Touch(std::string("Routes/R/TEXTURES/") + row.variant);
        }
        TSValidation validator(m_install.Folder());
        EXPECT_EQ(validator.CheckShape(shape), row.status) << row.fault;
        EXPECT_EQ(
            Joined(validator.Errors()),
            Replaced(row.entries, {{"{S}", shape},
                                   {"{D}", shape + "d"},
                                   {"{T}", m_install.Path("Routes\\R\\SHAPES\\..\\Textures\\")}}))
            << row.fault;
    }
}

// Box.wag beside the shape makes it a stock shape: its textures are looked for beside
// it, and no .sd file is asked for.
TEST(StockShapeTest, ImageListFindings) {
    struct Row {
        const char* fault;
        std::string text;
        TSValidation::Status status;
        const char* entries;  // {S} the shape, {D} its folder
    };
    const Row rows[] = {
        {"declares 3, lists 2: count reported once, the 2 checked",
         ShapeText("3", {"A.ace", "Gone.ace"}), 6, "5|{S}|Image count & 6|{S}|{D}\\Gone.ace"},
        {"count that is not a number", ShapeText("two", {"A.ace"}), 0, "3|{S}|Image count"},
        {"no images item", "SIMISA@@@@@@@@@@JINX0s1t______\r\n\r\nshape ( shape_header ( 0 ) )", 1,
         "1|{S}|Images section"},
        {"image without a name: no test of the bare folder", ShapeText("1", {""}), 3,
         "3|{S}|image section"},
        {"no items at all", "", 2, "2|{S}|"},
        {"16-bit text shape reads as text", testing_support::Utf16Bytes(ShapeText("1", {"A.ace"})),
         0, ""},
        {"compressed shape",
         std::string("SIMISA@F\x10\0\0\0@@@@\x78\x9C", 18) + "(images ( 1 image ( Gone.ace ) ))", 2,
         "2|{S}|"},
        {"binary shape whose tokens hold parentheses",
         std::string("SIMISA@@@@@@@@@@JINX0s1b______\r\n\x47\0\0\0", 36) +
             " shape ( images ( 1 image ( Gone.ace ) ) )",
         2, "2|{S}|"},
        {"binary shape with a stray line end before its header",
         "\r\nSIMISA@@@@@@@@@@JINX0s1b______\r\n shape ( images ( 1 image ( Gone.ace ) ) )", 2,
         "2|{S}|"},
    };
    for (const Row& row : rows) {
        TestInstallation install;
        install.Touch("Trains/Trainset/Box/Box.wag");
        install.Touch("Trains/Trainset/Box/A.ace");
        install.Bytes("Trains/Trainset/Box/Box.s", row.text);
        const std::string shape = install.Path("Trains\\Trainset\\Box\\Box.s");
        TSValidation validator(install.Folder());
        EXPECT_EQ(validator.CheckShape(shape), row.status) << row.fault;
        EXPECT_EQ(
            Joined(validator.Errors()),
            Replaced(row.entries, {{"{S}", shape}, {"{D}", install.Path("Trains\\Trainset\\Box")}}))
            << row.fault;
    }
}

// The forms are told apart by the file's first bytes, read by a name that may lie
// outside the ANSI code page (on Windows a narrow stream would read nothing).
TEST(PackedShapeTest, CompressedAndBinaryShapesAreKnownWhateverTheirFoldersName) {
    const testing_support::TempFolder folder;
    const auto shape = [&folder](const char* name, const std::string& bytes) {
        return testing_support::MakeFile(
            folder.Path() / testing_support::Utf8Path("Z\xC3\xBCge \xD0\x96") / name, bytes);
    };
    using vantor::validation::IsPackedShape;
    EXPECT_TRUE(
        IsPackedShape(shape("packed.s", std::string("SIMISA@F\x10\0\0\0@@@@\x78\x9C", 18))));
    EXPECT_TRUE(IsPackedShape(shape("binary.s", "SIMISA@@@@@@@@@@JINX0s1b______\r\n")));
    EXPECT_FALSE(IsPackedShape(shape("text.s", "SIMISA@@@@@@@@@@JINX0s1t______\r\n")));
    EXPECT_FALSE(IsPackedShape(testing_support::Utf8Text(folder.Path() / "gone.s")));
}

}  // namespace
