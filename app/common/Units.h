#pragma once

// Reading the values of engine and wagon files: a number followed directly by its
// unit ("60t", "17.5m", "2000kW"), given back in SI units.

#include <optional>
#include <string_view>

namespace vantor {

// The kinds of quantity a value may hold, each with its SI unit.
enum class Quantity {
    Mass,    // kg
    Length,  // m
    Power,   // W
    Force,   // N
    Speed    // m/s
};

// Returns a value in the SI unit of its kind: a number followed directly by one of
// the kind's units, in any letter case, or by none for the SI unit itself. Blanks
// around the value are allowed. Nothing when the text is empty, is no number, or
// ends in a unit the kind does not know.
std::optional<double> ReadQuantity(std::string_view text, Quantity kind);

}  // namespace vantor
