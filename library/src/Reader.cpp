#include "Reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <stdexcept>
#include <system_error>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

#include "Arena.h"
#include "Text.h"

namespace corvane {

namespace {

constexpr std::size_t kChunkSize = 1 << 16;
constexpr std::size_t kCompactAt = 1 << 16;

std::int32_t ReplacementCharacter() {
    return 0xFFFD;
}

// Returns the first c in [from, to), or null. The distances searched between
// parentheses are short, where eight bytes at a time beat a library call.
inline const char* FindChar(const char* from, const char* to, char c) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
    const std::uint64_t pattern = kOnes * static_cast<unsigned char>(c);
    while (to - from >= 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, from, sizeof word);
        const std::uint64_t x = word ^ pattern;
        // A byte of x is zero where the text holds c; the lowest flagged byte is
        // always a true one.
        if (((x - kOnes) & ~x & kHighs) != 0) {
            break;
        }
        from += 8;
    }
    for (; from < to; ++from) {
        if (*from == c) {
            return from;
        }
    }
    return nullptr;
}

// Returns an item name: tabs turned into blanks, then trimmed.
std::string MakeName(std::string_view text) {
    if (text.find('\t') == std::string_view::npos) {
        return std::string(text::TrimBlanks(text));
    }
    return std::string(text::TrimBlanks(text::TabsToBlanks(text)));
}

}  // namespace

// ---------------------------------------------------------------------------
// LineSource

LineSource::LineSource(files::InputFile& file, std::uint64_t fileLength)
    : m_file(file), m_fileLength(fileLength) {
    // Small files, the common case, get a buffer of their own size, not cleared
    // first: only what was read is looked at.
    m_chunkSize =
        fileLength == 0
            ? kChunkSize
            : static_cast<std::size_t>(std::min<std::uint64_t>(kChunkSize, fileLength + 2));
    m_chunk = std::make_unique_for_overwrite<unsigned char[]>(m_chunkSize);
    Fill();
    m_utf16 = m_len >= 2 && m_chunk[0] == 0xFF && m_chunk[1] == 0xFE;
    m_form = DetectForm();
}

// Binary files open with "SIMISA@@@@@@@@@@JINX0" and a type code ending in "b";
// compressed files with "SIMISA@F", the length and the compressed text.
FileForm LineSource::DetectForm() const {
    std::string head;
    const std::size_t step = m_utf16 ? 2 : 1;
    for (std::size_t i = m_utf16 ? 2 : 0; i + step <= m_len && head.size() < 24; i += step) {
        head.push_back(m_utf16 && m_chunk[i + 1] != 0 ? '?' : static_cast<char>(m_chunk[i]));
    }
    if (head.starts_with("SIMISA@F")) {
        return FileForm::Compressed;
    }
    if (head.starts_with("SIMISA@@@@@@@@@@JINX0") && head.size() == 24 && head[23] == 'b') {
        return FileForm::Binary;
    }
    return FileForm::Text;
}

bool LineSource::LineFeedEndsLine() {
    if (m_lineFeeds == LineFeeds::Unknown) {
        m_lineFeeds = CarriageReturnAhead() ? LineFeeds::Ordinary : LineFeeds::EndLines;
    }
    return m_lineFeeds == LineFeeds::EndLines;
}

// Searches the rest of the chunk, then the rest of the file without moving on in it.
bool LineSource::CarriageReturnAhead() {
    const std::uint64_t chunkStart = m_read - m_len;
    const auto holdsCr = [this](const unsigned char* bytes, std::size_t size, std::uint64_t at) {
        if (!m_utf16) {
            return std::memchr(bytes, '\r', size) != nullptr;
        }
        for (std::size_t i = (at % 2 == 0) ? 0 : 1; i + 1 < size; i += 2) {
            if (bytes[i] == '\r' && bytes[i + 1] == 0) {
                return true;
            }
        }
        return false;
    };
    if (holdsCr(m_chunk.get() + m_pos, m_len - m_pos, chunkStart + m_pos)) {
        return true;
    }
    // Blocks start at even offsets, so that no 16-bit unit is split between two.
    std::uint64_t at = m_read - (m_read % 2);
    std::vector<unsigned char> block(kChunkSize);
    while (!m_fileDone) {
        const std::size_t n = m_file.ReadAt(block.data(), block.size(), at);
        if (holdsCr(block.data(), n, at)) {
            return true;
        }
        if (n < block.size()) {
            break;
        }
        at += n;
    }
    return false;
}

bool LineSource::Fill() {
    if (m_fileDone) {
        return m_pos < m_len;
    }
    const std::size_t rest = m_len - m_pos;
    if (rest > 0 && m_pos > 0) {
        std::memmove(m_chunk.get(), m_chunk.get() + m_pos, rest);
    }
    m_pos = 0;
    m_len = rest;
    // Asking for no more than the file holds ends the read without a last call
    // that would only find the end.
    std::size_t want = m_chunkSize - rest;
    if (m_fileLength > m_read) {
        want = static_cast<std::size_t>(std::min<std::uint64_t>(want, m_fileLength - m_read));
    }
    const std::size_t n = m_file.Read(m_chunk.get() + rest, want);
    if (n < want) {
        m_fileDone = true;
    }
    m_read += n;
    if (m_fileLength > 0 && m_read >= m_fileLength) {
        m_fileDone = true;
    }
    m_len += n;
    return m_len > 0;
}

inline std::int32_t LineSource::Next() {
    if (m_utf16) {
        if (m_len - m_pos < 2 && !(Fill() && m_len - m_pos >= 2)) {
            if (m_len - m_pos == 1) {
                ++m_pos;  // a lone last byte
                return ReplacementCharacter();
            }
            return -1;
        }
        const std::int32_t unit = m_chunk[m_pos] | (m_chunk[m_pos + 1] << 8);
        m_pos += 2;
        return unit;
    }
    if (m_pos >= m_len && !Fill()) {
        return -1;
    }
    return m_chunk[m_pos++];
}

inline std::int32_t LineSource::Peek() {
    const std::size_t need = m_utf16 ? 2 : 1;
    if (m_len - m_pos < need && !(Fill() && m_len - m_pos >= need)) {
        return -1;
    }
    return m_utf16 ? (m_chunk[m_pos] | (m_chunk[m_pos + 1] << 8)) : m_chunk[m_pos];
}

// Appends the run of plain ASCII characters (no CR) that starts at the chunk's
// position, and returns its length.
std::size_t LineSource::AsciiRun8(std::string& out) {
    const unsigned char* p = m_chunk.get() + m_pos;
    const unsigned char* stop = m_chunk.get() + m_len;
    const unsigned char* q = p;
    if (m_lineFeeds == LineFeeds::Ordinary) {
        while (q < stop && *q != '\r' && *q < 0x80) {
            ++q;
        }
    } else {
        while (q < stop && *q != '\r' && *q != '\n' && *q < 0x80) {
            ++q;
        }
    }
    const auto run = static_cast<std::size_t>(q - p);
    out.append(reinterpret_cast<const char*>(p), run);
    m_pos += run;
    return run;
}

std::size_t LineSource::AsciiRun16(std::string& out) {
    const unsigned char* p = m_chunk.get() + m_pos;
    const std::size_t units = (m_len - m_pos) / 2;
    std::size_t run = 0;
    // Four units at a time, all below 0x80 and none a CR, packed into four
    // characters on the way; the characters gather in a small buffer.
    char packed[256];
    std::size_t waiting = 0;
    const auto handOnWhenFull = [&] {
        if (waiting == sizeof packed) {
            out.append(packed, waiting);
            waiting = 0;
        }
    };
    // Until a CR has been seen, a LF may end the line: one unit at a time.
    const bool fast = m_lineFeeds == LineFeeds::Ordinary;
#if defined(__SSE2__) || defined(_M_X64)
    // Eight units at a time where the processor has the instructions for it.
    const __m128i highBits = _mm_set1_epi16(static_cast<short>(0xFF80));
    const __m128i zero = _mm_setzero_si128();
    const __m128i carriageReturn = _mm_set1_epi16(0x000D);
    while (fast && run + 8 <= units) {
        const __m128i eight = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 2 * run));
        const __m128i plain = _mm_and_si128(
            _mm_cmpeq_epi16(_mm_and_si128(eight, highBits), zero),
            _mm_xor_si128(_mm_cmpeq_epi16(eight, carriageReturn), _mm_set1_epi16(-1)));
        if (_mm_movemask_epi8(plain) != 0xFFFF) {
            break;
        }
        _mm_storel_epi64(reinterpret_cast<__m128i*>(packed + waiting),
                         _mm_packus_epi16(eight, zero));
        waiting += 8;
        run += 8;
        handOnWhenFull();
    }
#endif
    while (fast && run + 4 <= units) {
        std::uint64_t word = 0;
        std::memcpy(&word, p + 2 * run, sizeof word);
        const std::uint64_t cr = word ^ 0x000D000D000D000DULL;
        if ((word & 0xFF80FF80FF80FF80ULL) != 0 ||
            ((cr - 0x0001000100010001ULL) & ~cr & 0x8000800080008000ULL) != 0) {
            break;
        }
        const auto four =
            static_cast<std::uint32_t>((word & 0xFFU) | ((word >> 8) & 0xFF00U) |
                                       ((word >> 16) & 0xFF0000U) | ((word >> 24) & 0xFF000000U));
        std::memcpy(packed + waiting, &four, sizeof four);
        waiting += 4;
        run += 4;
        handOnWhenFull();
    }
    while (run < units && p[2 * run + 1] == 0 && p[2 * run] < 0x80 && p[2 * run] != '\r' &&
           (fast || p[2 * run] != '\n')) {
        packed[waiting++] = static_cast<char>(p[2 * run]);
        ++run;
        handOnWhenFull();
    }
    out.append(packed, waiting);
    m_pos += 2 * run;
    return run;
}

bool LineSource::AtEnd() {
    return m_pos >= m_len && !Fill();
}

std::uint64_t LineSource::ReadLine(std::string& out) {
    std::uint64_t count = 0;
    bool leading = true;
    if (m_utf16) {
        // The leading tabs of an indented line, as far as the chunk holds them.
        std::size_t tabs = 0;
        while (m_len - m_pos >= 2 && m_chunk[m_pos] == '\t' && m_chunk[m_pos + 1] == 0) {
            m_pos += 2;
            ++tabs;
        }
        out.append(tabs, ' ');
        count += tabs;
    }
    while (true) {
        if (!leading) {
            const std::size_t run = m_utf16 ? AsciiRun16(out) : AsciiRun8(out);
            count += run;
            // A line's end as CR LF, when the chunk holds both.
            if (m_utf16 && m_len - m_pos >= 4 && m_chunk[m_pos] == '\r' &&
                m_chunk[m_pos + 1] == 0 && m_chunk[m_pos + 2] == '\n' && m_chunk[m_pos + 3] == 0) {
                m_lineFeeds = LineFeeds::Ordinary;
                m_pos += 4;
                break;
            }
        }
        const std::int32_t c = Next();
        if (c < 0) {
            break;
        }
        if (c == '\r') {
            m_lineFeeds = LineFeeds::Ordinary;
            if (Peek() == '\n') {
                Next();
            }
            break;
        }
        if (c == '\n' && m_lineFeeds != LineFeeds::Ordinary && LineFeedEndsLine()) {
            break;
        }
        ++count;
        if (leading && c == '\t') {
            out.push_back(' ');
            continue;
        }
        leading = false;
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (!m_utf16) {
            text::AppendUtf8(out, text::FromWindows1252(static_cast<unsigned char>(c)));
        } else if (c >= 0xD800 && c < 0xDC00) {
            const std::int32_t low = Peek();
            if (low >= 0xDC00 && low < 0xE000) {
                Next();
                ++count;
                text::AppendUtf8(
                    out, static_cast<char32_t>(0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00)));
            } else {
                text::AppendUtf8(out, static_cast<char32_t>(c));
            }
        } else {
            text::AppendUtf8(out, static_cast<char32_t>(c));
        }
    }
    return count;
}

// ---------------------------------------------------------------------------
// Reader

Reader::Reader(files::InputFile& file, std::uint64_t fileLength, TSItemCollection& items,
               const TSFile::StatusHandler& status)
    : m_source(file, fileLength),
      m_items(items),
      m_status(status),
      m_fileLength(fileLength),
      m_progressStep(static_cast<std::uint64_t>(
          text::DivideRoundHalfEven(static_cast<std::int64_t>(fileLength), 10))),
      m_nextProgress(m_progressStep),
      m_arena(Arena::Create()) {
    // The look-ahead text of a small file is read whole; one allocation holds it.
    if (fileLength <= kCompactAt * 4) {
        m_buffer.reserve(static_cast<std::size_t>(fileLength));
    }
    m_words.reserve(16);
    m_pending.reserve(64);
}

Reader::~Reader() {
    m_arena->Release();
}

const std::string* Reader::NameOf(std::string_view text, bool makeName) {
    if (!makeName) {
        return m_arena->Name(text);
    }
    if (text.find('\t') == std::string_view::npos) {
        return m_arena->Name(text::TrimBlanks(text));
    }
    return m_arena->Name(MakeName(text));
}

TSFileItemPtr Reader::NewItem(std::string_view text, bool makeName) {
    return std::allocate_shared<TSFileItem>(ArenaAllocator<TSFileItem>(m_arena),
                                            TSFileItem::Loaded{NameOf(text, makeName)});
}

const char* Reader::StoreParameters() {
    char* block = static_cast<char*>(
        m_arena->Allocate(parameters::PackedSize(m_words), alignof(std::uint32_t)));
    parameters::Pack(m_words, block);
    return block;
}

const LoadedChildren* Reader::StoreChildren(std::size_t first) {
    const std::size_t count = m_pending.size() - first;
    if (count > std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("One item has too many children");
    }
    void* memory = m_arena->Allocate(sizeof(LoadedChildren) + count * sizeof(LoadedItem),
                                     alignof(LoadedChildren));
    auto* children = new (memory) LoadedChildren{m_arena, static_cast<std::uint32_t>(count)};
    const auto from = m_pending.begin() + static_cast<std::ptrdiff_t>(first);
    std::uninitialized_copy(from, m_pending.end(), reinterpret_cast<LoadedItem*>(children + 1));
    m_pending.erase(from, m_pending.end());
    return children;
}

bool Reader::ReadLine() {
    if (m_source.AtEnd()) {
        return false;
    }
    const std::uint64_t chars = m_source.ReadLine(m_buffer);
    m_bytesRead += 2 * chars + 2;
    if (m_bytesRead > m_nextProgress) {
        m_nextProgress += m_progressStep;
        if (m_status && m_fileLength > 0) {
            const std::int64_t percent =
                text::DivideRoundHalfEven(static_cast<std::int64_t>(m_bytesRead) * 100,
                                          static_cast<std::int64_t>(m_fileLength));
            m_status("load", static_cast<std::int32_t>(std::min<std::int64_t>(
                                 percent, std::numeric_limits<std::int32_t>::max())));
        }
    }
    return true;
}

void Reader::Compact() {
    if (m_head >= kCompactAt && m_head * 2 >= m_buffer.size()) {
        m_buffer.erase(0, m_head);
        m_closeFrom = m_closeFrom > m_head ? m_closeFrom - m_head : 0;
        m_head = 0;
    }
}

std::string Reader::ReadUntil(char target, bool& found) {
    Compact();
    std::size_t from = m_head;
    while (true) {
        // The buffer holds bytes, not a C string: no terminator is looked for.
        // NOLINTNEXTLINE(bugprone-not-null-terminated-result)
        const void* hit = std::memchr(m_buffer.data() + from, target, m_buffer.size() - from);
        if (hit != nullptr) {
            const auto pos =
                static_cast<std::size_t>(static_cast<const char*>(hit) - m_buffer.data());
            std::string result = m_buffer.substr(m_head, pos - m_head);
            m_head = pos + 1;
            found = true;
            return result;
        }
        from = m_buffer.size();
        if (!ReadLine()) {
            std::string result = m_buffer.substr(m_head);
            m_head = m_buffer.size();
            found = false;
            return result;
        }
    }
}

void Reader::SkipUntilNoCase(std::string_view target) {
    Compact();
    if (target.empty()) {
        return;
    }
    std::size_t from = m_head;
    while (true) {
        const std::size_t size = m_buffer.size();
        for (std::size_t i = from; i + target.size() <= size; ++i) {
            std::size_t k = 0;
            while (k < target.size() && text::LowerAscii(m_buffer[i + k]) == target[k]) {
                ++k;
            }
            if (k == target.size()) {
                m_head = i + target.size();
                return;
            }
        }
        // A match may begin in the text already searched and end in the next line.
        from = std::max(m_head, size >= target.size() ? size - target.size() + 1 : 0);
        if (!ReadLine()) {
            m_head = m_buffer.size();
            return;
        }
    }
}

std::size_t Reader::FindClose() {
    std::size_t from = std::max(m_head, m_closeFrom);
    while (true) {
        const char* hit = FindChar(m_buffer.data() + from, m_buffer.data() + m_buffer.size(), ')');
        if (hit != nullptr) {
            m_closeFrom = static_cast<std::size_t>(hit - m_buffer.data());
            return m_closeFrom;
        }
        from = m_buffer.size();
        m_closeFrom = from;
        if (!ReadLine()) {
            return std::string::npos;
        }
    }
}

// The body of an item is read up to its first ")". When a "(" comes first, the
// last word before it names a child, the words before that are the item's
// parameters, and the child is read from just after the "(" on; the item goes
// on after the child's ")". The items being read are kept on a stack of our own,
// so that nesting of any depth reads without recursion. The children of the
// open items wait on one list of the reader's, each item's after its parent's,
// and move into the load's memory, side by side, when the item closes.
void Reader::ParseItem(TSFileItem& top) {
    constexpr std::size_t kTop = std::numeric_limits<std::size_t>::max();
    struct Open {
        std::size_t item;        // its place in m_pending, or kTop
        std::size_t firstChild;  // where its children start in m_pending
    };
    std::vector<Open> open{{kTop, m_pending.size()}};
    const auto assignParameters = [this, &top](std::size_t at) {
        const char* block = StoreParameters();
        if (at == kTop) {
            top.AssignLoadedParameters(block);
        } else {
            m_pending[at].parameters = block;
        }
    };
    // Hands the waiting children of the innermost open item to it.
    const auto close = [this, &top, &open] {
        const Open& done = open.back();
        if (m_pending.size() > done.firstChild) {
            const LoadedChildren* children = StoreChildren(done.firstChild);
            if (done.item == kTop) {
                top.m_loaded = children;
            } else {
                m_pending[done.item].children = children;
            }
        }
        open.pop_back();
    };
    try {
        while (!open.empty()) {
            Compact();
            const std::size_t item = open.back().item;
            const std::size_t closing = FindClose();
            const std::size_t end = closing == std::string::npos ? m_buffer.size() : closing;
            const char* base = m_buffer.data();
            const char* paren = FindChar(base + m_head, base + end, '(');
            if (paren != nullptr) {
                const auto at = static_cast<std::size_t>(paren - base);
                const std::string_view pre =
                    text::TrimTrailingBlanks(std::string_view(base + m_head, at - m_head));
                const std::size_t blank = pre.rfind(' ');
                std::string_view nameText = pre;
                if (blank != std::string_view::npos) {
                    const std::string_view words = text::TrimBlanks(pre.substr(0, blank));
                    if (!words.empty()) {
                        text::SplitAtBlanks(words, m_words);
                        assignParameters(item);
                    }
                    nameText = pre.substr(blank + 1);
                }
                m_pending.push_back(LoadedItem{NameOf(nameText, true), nullptr, nullptr});
                m_head = at + 1;
                open.push_back({m_pending.size() - 1, m_pending.size()});
                continue;
            }
            const std::string_view body =
                text::TrimBlanks(std::string_view(base + m_head, end - m_head));
            if (!body.empty()) {
                text::SplitAtBlanks(body, m_words);
                assignParameters(item);
            }
            if (closing == std::string::npos) {
                m_endedInsideItem = true;
                m_head = m_buffer.size();
            } else {
                m_head = closing + 1;
            }
            close();
        }
    } catch (...) {
        // What was read before the failure stays in the tree.
        while (!open.empty()) {
            close();
        }
        throw;
    }
}

void Reader::Run(std::string_view firstElement) {
    std::string element = text::LowerCase(firstElement);
    bool opened = false;
    if (!element.empty() && element.front() == '#') {
        // A list file: one bare value stands between the header and the first element.
        element.erase(0, 1);
        std::string head = ReadUntil('(', opened);
        const std::size_t underscore = head.rfind('_');
        if (underscore != std::string::npos) {
            head.erase(0, underscore + 1);
        }
        const std::size_t at = text::LowerCase(head).find(element);
        if (at == std::string::npos) {
            throw std::invalid_argument("The list file has no \"" + element +
                                        "\" before its first \"(\" (invalid argument)");
        }
        m_items.Add(NewItem(std::string_view(head).substr(0, at), true));
        element = MakeName(std::string_view(head).substr(at));
    } else if (element == "*") {
        std::string head = ReadUntil('(', opened);
        const std::size_t underscore = head.rfind('_');
        element = underscore == std::string::npos ? head : head.substr(underscore + 1);
    } else {
        SkipUntilNoCase(element);
        ReadUntil('(', opened);
    }
    // Every "(" found at top level opens an item, also on the file's last line.
    while (opened) {
        auto item = NewItem(element, false);
        TSFileItem& ref = *item;
        m_items.Add(std::move(item));
        ParseItem(ref);
        element = text::TabsToBlanks(ReadUntil('(', opened));
    }
}

}  // namespace corvane
