#pragma once

// The look-ahead reader behind TSFile::Load. Internal to the library.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Files.h"
#include "LoadedTree.h"
#include "corvane/TSFile.h"

namespace corvane {

class Arena;

// Reads the lines of a file as characters: UTF-16LE behind a byte-order mark,
// Windows-1252 otherwise. Lines end at CR LF or at a lone CR; in a file without
// any CR, at LF.
class LineSource {
public:
    LineSource(files::InputFile& file, std::uint64_t fileLength);

    // Returns what the file's first line says it holds.
    [[nodiscard]] FileForm Form() const noexcept { return m_form; }

    // Returns true when every line has been read.
    bool AtEnd();
    // Appends the next line to out, its leading tabs turned into blanks, and
    // returns the number of characters the line had.
    std::uint64_t ReadLine(std::string& out);

private:
    bool Fill();
    // Returns the next 16-bit unit or byte, or -1 at the end of the file.
    std::int32_t Next();
    std::int32_t Peek();
    std::size_t AsciiRun8(std::string& out);
    std::size_t AsciiRun16(std::string& out);
    // Returns true when a LF ends a line: the file holds no CR at all.
    bool LineFeedEndsLine();
    // Returns true when a CR stands anywhere after the chunk's position.
    bool CarriageReturnAhead();
    [[nodiscard]] FileForm DetectForm() const;

    enum class LineFeeds { Unknown, EndLines, Ordinary };

    files::InputFile& m_file;
    std::unique_ptr<unsigned char[]> m_chunk;  // m_chunkSize bytes, m_len of them read
    std::size_t m_chunkSize = 0;
    std::size_t m_pos = 0;
    std::size_t m_len = 0;
    std::uint64_t m_fileLength;  // as opened; 0 when the system does not tell
    std::uint64_t m_read = 0;
    bool m_fileDone = false;
    bool m_utf16 = false;
    LineFeeds m_lineFeeds = LineFeeds::Unknown;
    FileForm m_form = FileForm::Text;
};

// Loads one file into a TSFile's items.
class Reader {
public:
    Reader(files::InputFile& file, std::uint64_t fileLength, TSItemCollection& items,
           const TSFile::StatusHandler& status);
    ~Reader();
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    // Reads the whole file; firstElement steers the first top-level item.
    void Run(std::string_view firstElement);
    // Returns true when the file ended with items still open.
    [[nodiscard]] bool EndedInsideItem() const noexcept { return m_endedInsideItem; }
    // Returns what the file's first line says it holds.
    [[nodiscard]] FileForm Form() const noexcept { return m_source.Form(); }

private:
    // Reads one more line into the look-ahead text; false at the end of the file.
    bool ReadLine();
    // Consumes the look-ahead text up to and including target; the result is the
    // text before it. found tells whether target occurred before the end.
    std::string ReadUntil(char target, bool& found);
    // The same, with target (lower case) found in any case; the result is dropped.
    void SkipUntilNoCase(std::string_view target);
    // Returns the position of the next ")" at or after the head, reading lines as
    // needed, or npos at the end of the file.
    std::size_t FindClose();
    // Fills one item whose "(" has just been consumed, with all its descendants.
    void ParseItem(TSFileItem& top);
    void Compact();
    // Returns the load's copy of a name: text, or with makeName set, text with its
    // tabs turned into blanks and trimmed.
    const std::string* NameOf(std::string_view text, bool makeName);
    // Makes a top-level item in the load's memory, named as NameOf names it.
    TSFileItemPtr NewItem(std::string_view text, bool makeName);
    // Packs the words just split into a parameter block in the load's memory.
    const char* StoreParameters();
    // Moves the waiting children from position first on into the load's memory.
    const LoadedChildren* StoreChildren(std::size_t first);

    LineSource m_source;
    TSItemCollection& m_items;
    const TSFile::StatusHandler& m_status;

    std::string m_buffer;  // look-ahead text; m_buffer[m_head..] is unconsumed
    std::size_t m_head = 0;
    std::size_t m_closeFrom = 0;  // no ")" lies in [m_head, m_closeFrom)

    std::uint64_t m_fileLength;
    std::uint64_t m_bytesRead = 0;
    std::uint64_t m_progressStep;
    std::uint64_t m_nextProgress;
    Arena* m_arena;  // held while reading

    bool m_endedInsideItem = false;

    std::vector<std::string_view> m_words;
    std::vector<LoadedItem> m_pending;  // children of the items being read
};

}  // namespace corvane
