#pragma once

// The routes of an installation.

#include <string>
#include <string_view>

namespace vantor {

// Returns the route folders of an installation that pass a filter, joined by "|";
// with names, each followed by the route's name in parentheses ("ALPINE(Alpine Route)").
std::string RouteList(std::string_view installFolder, std::string_view filter, bool withNames);

}  // namespace vantor
