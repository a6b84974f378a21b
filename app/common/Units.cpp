#include "common/Units.h"

#include <charconv>
#include <cmath>
#include <string>

#include "common/Text.h"

namespace vantor {

namespace {

// One unit of a kind: its name in lower case and its size in the kind's SI unit.
struct Unit {
    Quantity kind;
    std::string_view name;
    double factor;
};

constexpr double kPound = 0.45359237;

constexpr Unit kUnits[] = {
    {Quantity::Mass, "", 1.0},
    {Quantity::Mass, "kg", 1.0},
    {Quantity::Mass, "t", 1000.0},
    {Quantity::Mass, "t-uk", 1016.0469088},
    {Quantity::Mass, "t-us", 907.18474},
    {Quantity::Mass, "lb", kPound},
    {Quantity::Length, "", 1.0},
    {Quantity::Length, "m", 1.0},
    {Quantity::Length, "cm", 0.01},
    {Quantity::Length, "mm", 0.001},
    {Quantity::Length, "km", 1000.0},
    {Quantity::Length, "in", 0.0254},
    {Quantity::Length, "ft", 0.3048},
    {Quantity::Power, "", 1.0},
    {Quantity::Power, "w", 1.0},
    {Quantity::Power, "kw", 1000.0},
    {Quantity::Power, "hp", 745.69987158227022},
    {Quantity::Force, "", 1.0},
    {Quantity::Force, "n", 1.0},
    {Quantity::Force, "kn", 1000.0},
    {Quantity::Force, "lbf", 4.4482216152605},
    {Quantity::Force, "lb", 4.4482216152605},
    {Quantity::Speed, "", 1.0},
    {Quantity::Speed, "m/s", 1.0},
    {Quantity::Speed, "km/h", 1.0 / 3.6},
    {Quantity::Speed, "kph", 1.0 / 3.6},
    {Quantity::Speed, "kmh", 1.0 / 3.6},
    {Quantity::Speed, "mph", 0.44704},
};

}  // namespace

std::optional<double> ReadQuantity(std::string_view text, Quantity kind) {
    const std::string value = TrimBlanks(text);
    const char* begin = value.data();
    const char* end = begin + value.size();
    if (begin != end && *begin == '+' && (end - begin < 2 || begin[1] != '-')) {
        ++begin;
    }
    double number = 0.0;
    const auto [rest, error] = std::from_chars(begin, end, number, std::chars_format::general);
    if (value.empty() || error != std::errc() || !std::isfinite(number)) {
        return std::nullopt;
    }
    const std::string unit = AsciiLower(std::string(rest, end));
    for (const Unit& known : kUnits) {
        if (known.kind == kind && known.name == unit) {
            return number * known.factor;
        }
    }
    return std::nullopt;
}

}  // namespace vantor
