#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ConsistTestSupport.h"
#include "TempFolder.h"
#include "documents/ConsistEditor.h"
#include "documents/ConsistFacts.h"

namespace {

using consist_test::Consist;
using consist_test::ConsistBytes;
using consist_test::Vehicle;
using testing_support::MakeFile;
using testing_support::TempFolder;
using vantor::ComputeFacts;
using vantor::ConsistFacts;
using vantor::PartialVehicle;
using vantor::VehicleRow;

// Returns a stock file's bytes: its Wagon block, and an Engine block when engine is
// given; each line of a block is indented by a tab, as in the simulator's files.
std::string Stock(const std::string& wagon, const std::string& engine = {}) {
    const auto indented = [](std::string lines) {
        for (std::size_t at = lines.find('\n'); at != std::string::npos;
             at = lines.find('\n', at + 2)) {
            lines.insert(at + 1, "\t");
        }
        return "\t" + lines;
    };
    std::string text =
        "SIMISA@@@@@@@@@@JINX0D0t______\r\n\r\nWagon ( W\r\n" + indented(wagon) + "\r\n)\r\n";
    if (!engine.empty()) {
        text += "Engine ( E\r\n" + indented(engine) + "\r\n)\r\n";
    }
    return testing_support::Utf16Bytes(text);
}

// An installation with two engines and a wagon, in the units files use.
class ConsistFactsTest : public testing::Test {
protected:
    void SetUp() override {
        MakeFile(m_install.Path() / "Trains/Trainset/Fast/Fast.eng",
                 Stock("Size ( 3m 4m 20m )\r\nMass ( 100t )\r\nMaxBrakeForce ( 98.1kN )\r\n"
                       "Coupling ( Spring ( Break ( 400kN 1e7N ) ) )",
                       "MaxPower ( 1000kW )\r\nMaxVelocity ( 70mph )"));
        MakeFile(m_install.Path() / "Trains/Trainset/Loco/Loco.eng",
                 Stock("size ( 3m 4m 20m )\r\nmass ( 100000kg )\r\nmaxbrakeforce ( 98100N )\r\n"
                       "Coupling ( Spring ( Break ( 500kN ) ) )",
                       "MaxPower ( 2000kW )\r\nMaxVelocity ( 100km/h )"));
        MakeFile(m_install.Path() / "Trains/Trainset/Box/Box.wag",
                 Stock("Size ( 3m 4m 50ft )\r\nMass ( 50000kg )\r\nMaxBrakeForce ( 49.05kN )\r\n"
                       "Coupling ( Spring ( Break ( 300kN ) ) )\r\n"
                       "Coupling ( Spring ( Break ( 350kN ) ) )"));
        MakeFile(m_install.Path() / "Trains/Trainset/Box/Light.wag",
                 Stock("Size ( 3m 4m 10m )\r\nMaxBrakeForce ( 10kN )\r\n"
                       "Coupling ( Spring ( Break ( 300kN ) ) )"));
    }

    TempFolder m_install;
    std::string m_folder = m_install.Path().string();
};

// Figures worked out by hand: lengths 20 + 20 + 2 x 15.24 m, masses 100 + 100 + 2 x 50 t,
// power 3000 kW, brake force 294.3 kN = 0.1 of the weight; the first of two equal
// weakest couplers; the lower engine speed is Loco's 100 km/h, not Fast's 70 mph.
TEST_F(ConsistFactsTest, FiguresOfALoadedConsist) {
    const std::string file = MakeFile(
        m_install.Path() / "Trains/Consists/Small.con",
        ConsistBytes(Consist(
            "Small", "4",
            consist_test::Lines(
                {Vehicle("Engine", 0, "Fast", "Fast"), Vehicle("Engine", 1, "Loco", "Loco", true),
                 Vehicle("Wagon", 2, "Box", "Box"), Vehicle("Wagon", 3, "BOX", "box", true)}))));
    vantor::ConsistEditor editor;
    editor.Load(file);
    const ConsistFacts facts = ComputeFacts(editor, m_folder);
    EXPECT_EQ(facts.vehicles, 4);
    EXPECT_EQ(facts.engines, 2);
    EXPECT_EQ(facts.wagons, 2);
    EXPECT_EQ(facts.flipped, 2);
    EXPECT_NEAR(facts.length.value.value_or(-1), 70.48, 1e-9);
    EXPECT_NEAR(facts.mass.value.value_or(-1), 300000.0, 1e-6);
    EXPECT_NEAR(facts.power.value.value_or(-1), 3.0e6, 1e-6);
    EXPECT_NEAR(facts.kilowattsPerTonne.value_or(-1), 10.0, 1e-9);
    EXPECT_NEAR(facts.brakeForce.value.value_or(-1), 294300.0, 1e-6);
    EXPECT_NEAR(facts.brakedTonnesPerTonne.value_or(-1), 0.1, 1e-9);
    ASSERT_TRUE(facts.weakestCoupler.has_value());
    EXPECT_EQ(facts.weakestCoupler->row, 3);
    EXPECT_NEAR(facts.weakestCoupler->newtons, 300000.0, 1e-6);
    EXPECT_NEAR(facts.maxVelocity.value_or(-1), 22.352, 1e-9);
    EXPECT_NEAR(facts.lowestEngineVelocity.value.value_or(-1), 100.0 / 3.6, 1e-9);
    EXPECT_TRUE(facts.partial.empty());
    EXPECT_FALSE(facts.mass.partial || facts.length.partial || facts.power.partial ||
                 facts.brakeForce.partial || facts.couplerPartial ||
                 facts.lowestEngineVelocity.partial);
}

// A missing engine file and a wagon without Mass: both are counted and named, the
// totals say so, and a figure no vehicle could give is unknown rather than 0.
TEST_F(ConsistFactsTest, MissingFilesAndValuesMakeFiguresPartial) {
    const std::vector<VehicleRow> rows = {
        {"Engine", "Gone", "Gone", 1}, {"Wagon", "Box", "Light", 2}, {"Wagon", "Box", "Box", 3}};
    const ConsistFacts facts = ComputeFacts(rows, m_folder, std::nullopt);
    EXPECT_EQ(facts.vehicles, 3);
    EXPECT_EQ(facts.engines, 1);
    const std::vector<PartialVehicle> partial = {{1, "stock file"}, {2, "Mass"}};
    EXPECT_EQ(facts.partial, partial);
    EXPECT_TRUE(facts.mass.partial);
    EXPECT_NEAR(facts.mass.value.value_or(-1), 50000.0, 1e-6);
    EXPECT_TRUE(facts.length.partial);
    EXPECT_NEAR(facts.length.value.value_or(-1), 25.24, 1e-9);
    EXPECT_TRUE(facts.power.partial);
    EXPECT_EQ(facts.power.value, std::nullopt);
    EXPECT_EQ(facts.kilowattsPerTonne, std::nullopt);
    EXPECT_EQ(facts.lowestEngineVelocity.value, std::nullopt);
    EXPECT_EQ(facts.maxVelocity, std::nullopt);
    ASSERT_TRUE(facts.weakestCoupler.has_value());
    EXPECT_EQ(facts.weakestCoupler->row, 2);
    EXPECT_TRUE(facts.couplerPartial);
}

// 200 vehicles of five kinds, names in mixed case and one kind missing: each file is
// asked for once.
TEST_F(ConsistFactsTest, EachStockFileIsReadOnce) {
    const VehicleRow kinds[] = {{"Engine", "Fast", "Fast", 0},
                                {"Engine*", "LOCO", "loco", 0},
                                {"Wagon", "Box", "Box", 0},
                                {"Wagon*", "box", "LIGHT", 0},
                                {"Wagon", "Gone", "Gone", 0}};
    std::vector<VehicleRow> rows;
    for (int i = 0; i < 200; ++i) {
        rows.push_back(kinds[i % 5]);
    }
    std::map<std::string, int> loads;
    const auto counting = [&loads](const std::string& path) {
        ++loads[path];
        return vantor::LoadStockFile(path);
    };
    const ConsistFacts facts = ComputeFacts(rows, m_folder, std::nullopt, counting);
    EXPECT_EQ(loads.size(), 5U);
    for (const auto& [path, count] : loads) {
        EXPECT_EQ(count, 1) << path;
    }
    EXPECT_EQ(facts.partial.size(), 80U) << "a file read once counts for each of its rows";
    EXPECT_NEAR(facts.mass.value.value_or(-1), 40 * (100000.0 + 100000.0 + 50000.0), 1e-3);
}

// The cache a consist window keeps: an edit reads only the stock it has not seen,
// and a refresh (Clear) reads everything again.
TEST_F(ConsistFactsTest, ACacheKeptAcrossEditsReadsOnlyNewStock) {
    std::vector<std::string> loads;
    const auto counting = [&loads](const std::string& path) {
        loads.push_back(path);
        return vantor::LoadStockFile(path);
    };
    vantor::FactsCache cache;
    std::vector<VehicleRow> rows = {{"Engine", "Fast", "Fast", 5}, {"Wagon", "Box", "Box", 6}};
    ComputeFacts(rows, m_folder, std::nullopt, cache, counting);
    EXPECT_EQ(loads.size(), 2U);
    rows.push_back({"Wagon*", "Box", "BOX", 7});
    rows.push_back({"Wagon", "Box", "Light", 8});
    const ConsistFacts facts = ComputeFacts(rows, m_folder, std::nullopt, cache, counting);
    ASSERT_EQ(loads.size(), 3U);
    EXPECT_THAT(loads.back(), testing::EndsWith("Light.wag"));
    EXPECT_EQ(cache.FilesRead(), 3);
    EXPECT_NEAR(facts.mass.value.value_or(-1), 200000.0, 1e-6);
    cache.Clear();
    ComputeFacts(rows, m_folder, std::nullopt, cache, counting);
    EXPECT_EQ(loads.size(), 6U);
}

// The window's lines: totals marked partial, and each missing value with the
// vehicles that lack it, by row, folder and file.
TEST_F(ConsistFactsTest, SummaryNamesTheVehiclesBehindPartialTotals) {
    const std::vector<VehicleRow> rows = {{"Engine", "Gone", "Gone", 1},
                                          {"Wagon", "Box", "Light", 2},
                                          {"Wagon", "Box", "Box", 3},
                                          {"Wagon*", "Box", "Light", 4}};
    const std::string summary = vantor::FactsSummary(ComputeFacts(rows, m_folder, 20.0), rows);
    EXPECT_EQ(summary,
              "4 vehicles (1 engine, 3 wagons, 1 flipped); length 35.2 m (partial); mass 50.0 t "
              "(partial); power unknown (partial), unknown; brakes 69.0 kN (partial), 0.141 t/t; "
              "weakest coupler 300.0 kN (row 2) (partial); max velocity 72.0 km/h, lowest engine "
              "unknown (partial)\n"
              "1 vehicle without stock file: 1 Gone\\Gone\n"
              "2 vehicles without Mass: 2 Box\\Light, 4 Box\\Light");
}

}  // namespace
