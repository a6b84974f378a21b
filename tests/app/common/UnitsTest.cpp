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

// The default unit, one conversion of each kind, letter case and the number's forms.
TEST(UnitsTest, ValuesAreGivenInSiUnits) {
    const Reading readings[] = {
        {"60", Quantity::Mass, 60.0},
        {"60t", Quantity::Mass, 60000.0},
        {"10ft", Quantity::Length, 3.048},
        {"2000kW", Quantity::Power, 2000000.0},
        {"10lb", Quantity::Force, 44.482216152605},  // lb is also a mass
        {"36KMH", Quantity::Speed, 10.0},
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
        {"60kN", Quantity::Mass},   {"60lbf", Quantity::Mass},    {"60 t", Quantity::Mass},
        {"60tons", Quantity::Mass}, {"1.2.3m", Quantity::Length}, {"inf", Quantity::Speed},
        {"nan", Quantity::Mass},    {"+-4t", Quantity::Mass},     {"0x10", Quantity::Mass},
    };
    for (const auto& [text, kind] : unreadable) {
        EXPECT_EQ(ReadQuantity(text, kind), std::nullopt) << "'" << text << "'";
    }
}

}  // namespace
