#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "TestInstallation.h"
#include "validation/TSValidation.h"

namespace {

using validation_tests::TestInstallation;
using vantor::TSValidation;
using Entries = std::vector<std::string>;

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

// A route with the shape Shed.s naming Roof.ace and Wall.ace, all base textures
// present, and the alternative folders that a row asks for.
class RouteShapeTest : public testing::Test {
protected:
    RouteShapeTest() {
        m_install.Bytes("Routes/R/SHAPES/Shed.s", ShapeText("2", {"Roof.ace", "\"Wall.ace\""}));
        m_install.Touch("Routes/R/TEXTURES/Roof.ace");
        m_install.Touch("Routes/R/TEXTURES/wall.ACE");
    }
    // Runs the check with an alternative-texture value and the variant files given.
    std::pair<TSValidation::Status, Entries> Check(std::string_view value,
                                                   const std::vector<std::string>& variants) {
        m_install.Bytes("Routes/R/SHAPES/Shed.sd", SdText(value));
        for (const std::string& variant : variants) {
            m_install.Touch("Routes/R/TEXTURES/" + variant);
        }
        TSValidation validator(m_install.Folder());
        const auto status = validator.CheckShape(Shape());
        return {status, validator.Errors()};
    }
    [[nodiscard]] std::string Shape() const { return m_install.Path("Routes\\R\\SHAPES\\Shed.s"); }
    [[nodiscard]] std::string Texture(std::string_view relative) const {
        return m_install.Path("Routes\\R\\SHAPES\\..\\Textures\\" + std::string(relative));
    }
    std::string Missing(std::string_view relative) const {
        return "6|" + Shape() + "|" + Texture(relative);
    }

    TestInstallation m_install;
};

TEST_F(RouteShapeTest, AlternativeTextureValues) {
    struct Row {
        const char* fault;
        const char* value;
        std::vector<std::string> variants;
        TSValidation::Status status;
        std::vector<std::string> missing;
    };
    const std::vector<Row> rows = {
        {"value 0 asks for no variant", "0", {}, 0, {}},
        {"a combination not in the table asks for none", "508", {}, 0, {}},
        {"252: second image lacks WinterSnow",
         "252",
         {"Autumn/Roof.ace", "AutumnSnow/Roof.ace", "Spring/Roof.ace", "SpringSnow/Roof.ace",
          "Winter/Roof.ace", "WinterSnow/Roof.ace", "Autumn/Wall.ace", "AutumnSnow/Wall.ace",
          "Spring/Wall.ace", "SpringSnow/Wall.ace", "Winter/Wall.ace"},
         6,
         {"WinterSnow\\Wall.ace"}},
        {"257: Snow then Night, image by image",
         "257",
         {},
         6,
         {"Snow\\Roof.ace", "Night\\Roof.ace", "Snow\\Wall.ace", "Night\\Wall.ace"}},
        {"1: Snow only", "1", {"Snow/Roof.ace"}, 6, {"Snow\\Wall.ace"}},
    };
    for (const Row& row : rows) {
        m_install.Remove("Routes/R/TEXTURES/Snow");
        const auto [status, entries] = Check(row.value, row.variants);
        Entries expected;
        for (const std::string& missing : row.missing) {
            expected.push_back(Missing(missing));
        }
        EXPECT_EQ(status, row.status) << row.fault;
        EXPECT_EQ(entries, expected) << row.fault;
    }
}

TEST_F(RouteShapeTest, BrokenValue256IsReportedOnceBeforeTheNightTextures) {
    const std::string broken = "5|" + Shape() + "|Broken ESD_Alternative_Texture setting of 256";
    auto [status, entries] = Check("256", {"Night/Roof.ace"});
    EXPECT_EQ(status, TSValidation::HasMissingReference());
    EXPECT_EQ(entries, (Entries{broken, Missing("Night\\Wall.ace")}));

    std::tie(status, entries) = Check("256", {"Night/Wall.ace"});
    EXPECT_EQ(status, TSValidation::IsValid()) << "the broken value leaves the status alone";
    EXPECT_EQ(entries, Entries{broken});
}

TEST_F(RouteShapeTest, DescriptionFileFindings) {
    const std::string sd = Shape() + "d";
    struct Row {
        const char* fault;
        std::function<void(const TestInstallation&)> change;
        TSValidation::Status status;
        Entries entries;
    };
    const std::vector<Row> rows = {
        {"no .sd file: reported and the check ends",
         [](const TestInstallation& i) { i.Remove("Routes/R/SHAPES/Shed.sd"); },
         6,
         {"6|" + Shape() + "|" + sd}},
        {"no ESD_Alternative_Texture item",
         [](const TestInstallation& i) { i.Bytes("Routes/R/SHAPES/Shed.sd", SdText("")); },
         1,
         {"1|" + sd + "|ESD_Alternative_Texture section"}},
        {"value that is not a number",
         [](const TestInstallation& i) { i.Bytes("Routes/R/SHAPES/Shed.sd", SdText("lots")); },
         3,
         {"3|" + sd + "|ESD_Alternative_Texture section"}},
        {".sd file without items",
         [](const TestInstallation& i) { i.Bytes("Routes/R/SHAPES/Shed.sd", "nothing here"); },
         3,
         {"3|" + sd + "|"}},
    };
    for (const Row& row : rows) {
        m_install.Bytes("Routes/R/SHAPES/Shed.sd", SdText("257"));
        row.change(m_install);
        TSValidation validator(m_install.Folder());
        EXPECT_EQ(validator.CheckShape(Shape()), row.status) << row.fault;
        EXPECT_EQ(validator.Errors(), row.entries) << row.fault;
    }
}

TEST(StockShapeTest, TexturesBesideTheStockAndNoDescriptionCheck) {
    TestInstallation install;
    install.Bytes("Trains/Trainset/Box/Box.s", ShapeText("1", {"Box.ace"}));
    install.Touch("Trains/Trainset/Box/Box.ace");
    install.Touch("Trains/Trainset/Box/Box.wag");
    const std::string shape = install.Path("Trains\\Trainset\\Box\\Box.s");
    TSValidation validator(install.Folder());
    EXPECT_EQ(validator.CheckShape(shape), TSValidation::IsValid());
    EXPECT_TRUE(validator.Errors().empty()) << "no .sd check for stock shapes";

    install.Remove("Trains/Trainset/Box/Box.wag");
    EXPECT_EQ(validator.CheckShape(shape), TSValidation::HasMissingReference());
    EXPECT_EQ(
        validator.Errors(),
        (Entries{"6|" + shape + "|" + install.Path("Trains\\Trainset\\Box\\..\\Textures\\Box.ace"),
                 "6|" + shape + "|" + shape + "d"}))
        << "without Box.wag beside it the shape is a route shape";
}

TEST(StockShapeTest, ImageListFindings) {
    struct Row {
        const char* fault;
        std::string text;
        TSValidation::Status status;
        Entries entries;  // "{S}" is the shape, "{D}" its folder
    };
    const std::vector<Row> rows = {
        {"declares 3, lists 2: count reported once, the 2 checked",
         ShapeText("3", {"A.ace", "Gone.ace"}),
         6,
         {"5|{S}|Image count", "6|{S}|{D}\\Gone.ace"}},
        {"lists more than it declares: every listed image is checked",
         ShapeText("1", {"A.ace", "Gone.ace"}),
         6,
         {"5|{S}|Image count", "6|{S}|{D}\\Gone.ace"}},
        {"count that is not a number", ShapeText("two", {"A.ace"}), 0, {"3|{S}|Image count"}},
        {"count missing", ShapeText("", {"A.ace"}), 0, {"3|{S}|Image count"}},
        {"no images item",
         "SIMISA@@@@@@@@@@JINX0s1t______\r\n\r\nshape ( shape_header ( 0 ) )",
         1,
         {"1|{S}|Images section"}},
        {"image without a name: no test of the bare folder",
         ShapeText("1", {""}),
         3,
         {"3|{S}|image section"}},
        {"no items at all", "", 2, {"2|{S}|"}},
        {"16-bit text shape reads as text",
         testing_support::Utf16Bytes(ShapeText("1", {"A.ace"})),
         0,
         {}},
        {"compressed shape",
         std::string("SIMISA@F\x10\0\0\0@@@@\x78\x9C", 18) + "(images ( 1 image ( Gone.ace ) ))",
         2,
         {"2|{S}|"}},
        {"binary shape whose tokens hold parentheses",
         std::string("SIMISA@@@@@@@@@@JINX0s1b______\r\n\x47\0\0\0", 36) +
             " shape ( images ( 1 image ( Gone.ace ) ) )",
         2,
         {"2|{S}|"}},
        {"binary shape with a stray line end before its header",
         "\r\nSIMISA@@@@@@@@@@JINX0s1b______\r\n shape ( images ( 1 image ( Gone.ace ) ) )",
         2,
         {"2|{S}|"}},
    };
    for (const Row& row : rows) {
        TestInstallation install;
        install.Touch("Trains/Trainset/Box/Box.wag");
        install.Touch("Trains/Trainset/Box/A.ace");
        install.Bytes("Trains/Trainset/Box/Box.s", row.text);
        const std::string shape = install.Path("Trains\\Trainset\\Box\\Box.s");
        TSValidation validator(install.Folder());
        EXPECT_EQ(validator.CheckShape(shape), row.status) << row.fault;
        Entries expected;
        for (std::string entry : row.entries) {
            for (std::size_t at = entry.find("{S}"); at != std::string::npos;
                 at = entry.find("{S}")) {
                entry.replace(at, 3, shape);
            }
            for (std::size_t at = entry.find("{D}"); at != std::string::npos;
                 at = entry.find("{D}")) {
                entry.replace(at, 3, install.Path("Trains\\Trainset\\Box"));
            }
            expected.push_back(entry);
        }
        EXPECT_EQ(validator.Errors(), expected) << row.fault;
    }
}

}  // namespace
