#pragma once

// Writes an item tree in the simulator's text layout. Internal to the library.

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "corvane/TSItemCollection.h"

namespace corvane {

class TSFileItem;
struct LoadedItem;

// Produces the bytes of a file: UTF-16LE text behind the byte-order mark.
class Writer {
public:
    // Sends the text to file, a buffer at a time.
    explicit Writer(std::FILE* file);

    // Writes the byte-order mark, the header line and an empty line.
    void WriteHeader(std::string_view headerLine);
    // Writes a top-level item; isLast marks the file's last one, and bareWhenEmpty
    // writes an item without parameters or children as its bare name (the count
    // that opens a list file).
    void WriteItem(const TSFileItem& item, bool isLast, bool bareWhenEmpty = false);
    // Writes text, followed by CR LF when newLine is true.
    void WriteText(std::string_view text, bool newLine);
    // Sends what is buffered to the file.
    void Flush();

private:
    // An item either as an object or still in its load's compact form.
    struct Node {
        const TSFileItem* item;
        const LoadedItem* loaded;
    };
    // The children of a node, in whichever form they are.
    struct Children {
        const TSItemCollection* collection;
        const LoadedItem* loaded;
        int count;
        [[nodiscard]] Node At(int position) const;
    };
    static Children ChildrenOf(Node node);

    void WriteIndent(std::size_t level);
    static const std::string& NameOf(Node node);
    static std::string ParameterText(Node node);

    std::FILE* m_file;
    std::vector<char> m_out;
};

}  // namespace corvane
