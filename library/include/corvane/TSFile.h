#pragma once

// The simulator's text files, read into a tree of items and written back.
//
// A simulator text file is a header line followed by items. An item is a name,
// an opening parenthesis, words and child items, and a closing parenthesis:
//
//     SIMISA@@@@@@@@@@JINX0D0t______
//
//     Train (
//         TrainCfg ( "Two Car"
//             Name ( "Two Car" )
//             MaxVelocity ( 40.00000 1.00000 )
//         )
//     )
//
// The reader is a look-ahead scanner, not a tokenizer. It reads line by line,
// joins the lines with nothing in between (a line's leading tabs become blanks),
// and looks at the text before each "(" or ")". The last word before a "(" names
// a child; the other words are parameters, split at every single blank, so two
// blanks in a row give an empty parameter. Quote characters mean nothing: the
// body `"Red Wagon" 2` gives the parameters `"Red`, `Wagon"` and `2`. A later
// group of words in an item replaces an earlier one. There are no comments, no
// escapes and no includes. The first top-level item is found by the name the
// file's type expects and is named with that name in lower case ("train");
// later top-level items keep the blanks around their names ("Engine ").
//
// The writer puts the header line of the file's type, an empty line and the
// items indented by tabs; parameters with blanks are quoted. Files are UTF-16LE
// with a byte-order mark when written; files without the mark read as
// Windows-1252. Strings in the tree are UTF-8.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "corvane/Export.h"
#include "corvane/TSFileItem.h"
#include "corvane/TSItemCollection.h"

namespace corvane {

// What a file holds, as its first line tells: text, which Load reads, or the
// binary or compressed forms of the simulator's files, which only LoadAnyForm reads.
enum class FileForm { Text, Binary, Compressed };

// One simulator text file: its name, its file type and its top-level items.
class CORVANE_API TSFile {
public:
    // Receives progress while a file loads: the message "load" and a percentage.
    using StatusHandler = std::function<void(const std::string& message, std::int32_t number)>;

    TSFile();
    explicit TSFile(std::string fileName);
    TSFile(const TSFile&) = delete;
    TSFile& operator=(const TSFile&) = delete;
    ~TSFile();

    // Returns the top-level items in file order.
    [[nodiscard]] const TSItemCollectionPtr& Items() const noexcept { return m_items; }
    // Sets the file's path and derives its file type from it.
    void SetFileName(std::string fileName);
    // Returns the file's path.
    [[nodiscard]] const std::string& FileName() const noexcept { return m_fileName; }
    // Returns the extension of the file name in lower case ("con").
    [[nodiscard]] const std::string& Filetype() const noexcept { return m_filetype; }
    // Returns the base name of a ".dat" file ("carspawn"), empty for other types.
    [[nodiscard]] std::string SubFileType() const;
    // Reads the file and appends its top-level items; a missing file reads nothing.
    void Load();
    // Reads the file in any of the simulator's three forms and appends its
    // top-level items; a missing file reads nothing. Text reads as Load reads it.
    // A binary file ("SIMISA@@@@@@@@@@JINX0s1b______" and a token stream) and a
    // compressed one ("SIMISA@F", the inflated length, "@@@@" and zlib data that
    // inflates to binary or text) give the tree that Load gives for the same
    // content written as text. A damaged binary or compressed file adds no items
    // and throws std::runtime_error whose text starts with the file name, ": " and
    // says what is wrong (a block past its parent or the end of the data, a value
    // past its block, nesting deeper than 64, unknown tokens, a stated length over
    // 64 MiB or other than the data inflates to). Form() tells the form met.
    void LoadAnyForm();
    // Writes the tree to the file, replacing the old file only when all was written.
    void Save() const;
    // Returns the name the first top-level item is expected to have ("#" list
    // files, "*" any name, empty unknown).
    [[nodiscard]] std::string FirstElement() const;
    // Returns the characters 255 and 254 followed by the type's header line.
    [[nodiscard]] std::string FirstLine() const;
    // Returns the first "FileName" item whose first parameter contains fileName or
    // the first "UiD" item whose first parameter contains uid, depth first.
    [[nodiscard]] TSFileItemPtr SearchFor(std::string_view fileName = {},
                                          std::string_view position = {}, std::string_view uid = {},
                                          const TSFileItemPtr& item = nullptr) const;
    // Returns the library's name and version.
    [[nodiscard]] static std::string About();
    // Returns the top-level items: the same collection as Items().
    [[nodiscard]] const TSItemCollectionPtr& Children() const noexcept { return m_items; }
    // Opens the file in a text viewer and returns at once.
    void Preview() const;
    // Returns the first top-level item whose name equals name ignoring case, or null.
    [[nodiscard]] TSFileItemPtr Child(std::string_view name) const;
    // Returns the 1-based position of the first top-level item after afterIndex
    // whose name matches exactly, or 0; "|" separates alternatives.
    [[nodiscard]] int ChildIndex(std::string_view name, int afterIndex = 0) const;

    // Returns the form of the file that the last Load or LoadAnyForm met; Text
    // before any load and for a missing file. Load reads binary and compressed
    // files as if they were text, which gives no meaningful tree.
    [[nodiscard]] FileForm Form() const noexcept { return m_form; }
    // Returns true when the last Load reached the end of the file with items still
    // open (a truncated file); the items read up to there stay in the tree.
    [[nodiscard]] bool Truncated() const noexcept { return m_truncated; }

    // Sets the handler of the Status event, called inside Load.
    void OnStatus(StatusHandler handler) { m_status = std::move(handler); }

private:
    std::string m_fileName;
    std::string m_filetype;
    TSItemCollectionPtr m_items;
    StatusHandler m_status;
    FileForm m_form = FileForm::Text;
    bool m_truncated = false;
};

// Returns the library's version ("1.0.75").
CORVANE_API std::string Version();

}  // namespace corvane
