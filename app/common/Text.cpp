#include "common/Text.h"

namespace vantor {

bool StartsWithQuote(std::string_view text) {
    return !text.empty() && text.front() == '"';
}

bool EndsWithQuote(std::string_view text) {
    return !text.empty() && text.back() == '"';
}

std::string TrimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

std::string AsciiLower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

std::string ParentFolder(std::string_view path) {
    const std::size_t slash = path.rfind('\\');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash));
}

std::string FileNamePart(std::string_view path) {
    const std::size_t slash = path.rfind('\\');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string AnyParentFolder(std::string_view path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash));
}

std::string AnyFileNamePart(std::string_view path) {
    const std::size_t slash = path.find_last_of("\\/");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool HasWildcard(std::string_view name) {
    return name.find_first_of("*?") != std::string_view::npos;
}

std::string StripQuotes(std::string_view text) {
    if (text.size() >= 2 && StartsWithQuote(text) && EndsWithQuote(text)) {
        return std::string(text.substr(1, text.size() - 2));
    }
    return std::string(text);
}

std::string CleanPath(std::string_view path) {
    const auto separator = [](char c) { return c == '\\' || c == '/'; };
    std::string cleaned;
    cleaned.reserve(path.size());
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (path[i] == '\t') {
            continue;
        }
        if (!separator(path[i])) {
            cleaned.push_back(path[i]);
            continue;
        }
        cleaned.push_back('\\');
        if (i + 1 < path.size() && separator(path[i + 1])) {
            ++i;
        }
    }
    return StripQuotes(TrimBlanks(cleaned));
}

float DegreesToRadians(float degrees) {
    return static_cast<float>(static_cast<double>(degrees) / 180.0 * 3.1415926535898);
}

std::string SelectedItemsText(const std::vector<std::string>& rowTexts,
                              const std::vector<bool>& selected, std::string_view separator) {
    std::string text;
    bool first = true;
    for (std::size_t row = 0; row < rowTexts.size() && row < selected.size(); ++row) {
        if (selected[row]) {
            text += first ? std::string() : std::string(separator);
            text += rowTexts[row];
            first = false;
        }
    }
    return text;
}

bool FilterMatch(std::string_view name, std::string_view filter) {
    if (filter.find_first_not_of('*') == std::string_view::npos) {
        return true;
    }
    const std::size_t length = filter.size() - 1;
    if (filter.back() == '*') {
        return name.substr(0, length) == filter.substr(0, length);
    }
    if (filter.front() == '*') {
        const std::size_t start = name.size() > length ? name.size() - length : 0;
        return name.substr(start) == filter.substr(1);
    }
    return name.find(filter) != std::string_view::npos;
}

std::vector<std::string> SplitAtBars(std::string_view text) {
    std::vector<std::string> pieces;
    if (text.empty()) {
        return pieces;
    }
    std::size_t start = 0;
    for (std::size_t bar = text.find('|'); bar != std::string_view::npos;
         bar = text.find('|', start)) {
        pieces.emplace_back(text.substr(start, bar - start));
        start = bar + 1;
    }
    pieces.emplace_back(text.substr(start));
    return pieces;
}

std::string JoinWithBars(const std::vector<std::string>& pieces) {
    std::string text;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        text += (i == 0 ? "" : "|") + pieces[i];
    }
    return text;
}

}  // namespace vantor
