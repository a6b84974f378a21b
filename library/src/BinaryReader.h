#pragma once

// The reader of the simulator's binary token streams, behind TSFile::LoadAnyForm.
// Internal to the library.
//
// A binary file is the 16 bytes "SIMISA@@@@@@@@@@", a 16-byte line such as
// "JINX0s1b______\r\n" and a stream of blocks. Every block is
//
//     uint16 token id   uint16 table   uint32 length   uint8 label length L
//     L UTF-16LE label units           contents
//
// where the length counts every byte after itself up to the block's end, and the
// table is 0 for the core tokens (names from core-tokens.tsv). Contents carry no
// type tags: the token's layout (Tokens.h) says which are child blocks and which
// are numbers or strings. For example `point ( 1 2.5 -3.8e-005 )` is
//
//     02 00 00 00  0d 00 00 00  00  00 00 80 3f  00 00 20 40  30 62 1f b8
//
// The tree is the one the text reader makes of the same file in the simulator's
// text layout, so that a binary file and its text form read alike. Values become
// words as the text shows them: "3", "-5", "ff000000", "-3.8e-005", and strings
// bare or, when empty or holding blanks, in double quotes. In that layout every
// block starts a line of its own, indented by one tab per level, and the words
// are grouped as the text reader groups them: the words before a child, the
// blanks of the child's indent, its token name and its label if it has one form
// one run, whose last word names the child. So
//
//     matrices ( 2
//         matrix MAIN ( 1 0 0 0 1 0 0 0 1 0 6.2 0 )
//
// gives a child named "MAIN" and to its parent the parameters "2", "" and
// "matrix", as the text does. The last group of words sets a block's parameters.
//
// It does not read tokens of other tables (world files and their kin), nor
// contents whose layout it does not know unless they are child blocks only. Any
// block that reaches past its parent or the end of the data, any value that runs
// past its block, any bytes a block holds beyond its contents and nesting deeper
// than kMaxDepth are errors; nothing is read of a file that has one.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "corvane/TSItemCollection.h"

namespace corvane {

class BinaryReader {
public:
    // Blocks nest at most this deep.
    static constexpr int kMaxDepth = 64;

    // Reads blocks from data; fileName and place ("" or " of the inflated data")
    // say in error messages where the offsets lie.
    BinaryReader(std::string_view data, std::string fileName, std::string place);

    // Reads every block from offset start on into items, or throws std::runtime_error and
    // adds nothing. firstElement (TSFile::FirstElement) names the first item as
    // the text reader would.
    void Run(std::size_t start, std::string_view firstElement, TSItemCollection& items);

private:
    struct Header;
    Header ReadHeader(std::size_t at, std::size_t limit, bool topLevel) const;
    void ReadContents(TSFileItem& item, const Header& header, int depth);
    bool HoldsOnlyBlocks(std::size_t from, std::size_t to) const;
    std::uint32_t Word32(std::size_t at) const;
    [[noreturn]] void Fail(const std::string& problem, std::size_t at) const;

    std::string_view m_data;
    std::string m_fileName;
    std::string m_place;
};

}  // namespace corvane
