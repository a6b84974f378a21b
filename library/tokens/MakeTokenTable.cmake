# Writes the C++ table of core token names from core-tokens.tsv (decimal id, a
# tab, the name; ids 1 upwards without gaps).
# Usage: cmake -DTSV=<core-tokens.tsv> -DOUT=<TokenNames.cpp> -P MakeTokenTable.cmake
cmake_minimum_required(VERSION 3.25)

file(STRINGS "${TSV}" lines)
set(body "")
set(expected 1)
foreach(line IN LISTS lines)
  if(line STREQUAL "")
    continue()
  endif()
  if(NOT line MATCHES "^([0-9]+)\t([A-Za-z0-9_]+)$")
    message(FATAL_ERROR "${TSV}: not an id and a name: \"${line}\"")
  endif()
  if(NOT CMAKE_MATCH_1 EQUAL expected)
    message(FATAL_ERROR "${TSV}: id ${CMAKE_MATCH_1} where ${expected} was expected")
  endif()
  string(APPEND body "    \"${CMAKE_MATCH_2}\",\n")
  math(EXPR expected "${expected} + 1")
endforeach()

set(text "// Made by library/tokens/MakeTokenTable.cmake from core-tokens.tsv; do not edit.

#include \"Tokens.h\"

#include <array>

namespace corvane::tokens {

namespace {

constexpr std::array<std::string_view, ${expected}> kNames = {
    \"\",
${body}};

}  // namespace

std::string_view CoreTokenName(std::uint32_t id) noexcept {
    return id < kNames.size() ? kNames[id] : std::string_view();
}

}  // namespace corvane::tokens
")
# Rewritten only when it changes, so that an unchanged table compiles nothing.
file(CONFIGURE OUTPUT "${OUT}" CONTENT "${text}" @ONLY)
