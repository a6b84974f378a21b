#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

#include "common/Units.h"

namespace {

using vantor::Quantity;
using vantor::ReadQuantity;

struct Reading {
    std::string text;
    Quantity kind;
    double si;
};

// Every unit of every kind, in the case files use and in another case.
TEST(UnitsTest, EveryUnitGivesItsValueInSiUnits) {
    const Reading readings[] = {
        {"60", Quantity::Mass, 60.0},
        {"60kg", Quantity::Mass, 60.0},
        {"60t", Quantity::Mass, 60000.0},
        {"2t-uk", Quantity::Mass, 2032.0938176},
        {"2T-US", Quantity::Mass, 1814.36948},
        {"100lb", Quantity::Mass, 45.359237},
        {"17.5", Quantity::Length, 17.5},
        {"17.5m", Quantity::Length, 17.5},
        {"250cm", Quantity::Length, 2.5},
        {"250MM", Quantity::Length, 0.25},
        {"1.5km", Quantity::Length, 1500.0},
        {"10in", Quantity::Length, 0.254},
        {"10ft", Quantity::Length, 3.048},
        {"500", Quantity::Power, 500.0},
        {"500W", Quantity::Power, 500.0},
        {"2000kW", Quantity::Power, 2000000.0},
        {"1000HP", Quantity::Power, 745699.87158227022},
        {"89", Quantity::Force, 89.0},
        {"89n", Quantity::Force, 89.0},
        {"89kN", Quantity::Force, 89000.0},
        {"10lbf", Quantity::Force, 44.482216152605},
        {"10lb", Quantity::Force, 44.482216152605},
        {"20", Quantity::Speed, 20.0},
        {"20m/s", Quantity::Speed, 20.0},
        {"36km/h", Quantity::Speed, 10.0},
        {"36kph", Quantity::Speed, 10.0},
        {"36KMH", Quantity::Speed, 10.0},
        {"65mph", Quantity::Speed, 29.0576},
        // Blanks around, a sign, an exponent.
        {"  3.1m ", Quantity::Length, 3.1},
        {"-2.5kN", Quantity::Force, -2500.0},
        {"+4t", Quantity::Mass, 4000.0},
        {"1e3kg", Quantity::Mass, 1000.0},
    };
    for (const Reading& reading : readings) {
        const std::optional<double> value = ReadQuantity(reading.text, reading.kind);
        ASSERT_TRUE(value.has_value()) << reading.text;
        EXPECT_NEAR(*value, reading.si, 1e-9 * (1.0 + std::abs(reading.si))) << reading.text;
    }
}

// What cannot be read gives nothing, never 0: no number, a unit of another kind,
// an unknown unit, a blank between number and unit.
TEST(UnitsTest, UnreadableValuesGiveNothing) {
    const std::pair<std::string, Quantity> unreadable[] = {
        {"", Quantity::Mass},       {"   ", Quantity::Length},    {"t", Quantity::Mass},
        {"abc", Quantity::Power},   {"60kN", Quantity::Mass},     {"60t", Quantity::Force},
        {"17m", Quantity::Speed},   {"65mph", Quantity::Length},  {"2000kW", Quantity::Force},
        {"60lbf", Quantity::Mass},  {"5kg", Quantity::Force},     {"60 t", Quantity::Mass},
        {"60tons", Quantity::Mass}, {"1.2.3m", Quantity::Length}, {"inf", Quantity::Speed},
        {"nan", Quantity::Mass},    {"+-4t", Quantity::Mass},     {"0x10", Quantity::Mass},
    };
    for (const auto& [text, kind] : unreadable) {
        EXPECT_EQ(ReadQuantity(text, kind), std::nullopt) << "'" << text << "'";
    }
}

}  // namespace
