#include "shell/Routines.h"

#include <algorithm>
#include <exception>

#include "corvane/TSFile.h"
#include "platform/Paths.h"
#include "shell/InstallPaths.h"

namespace vantor {

namespace {

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

// Returns the name of a route in parentheses, read from its ".trk" file; empty
// when the file or its name is missing or cannot be read.
std::string RouteTitle(std::string_view installFolder, const std::string& route) {
    const std::string path =
        std::string(installFolder) + "\\Routes\\" + route + "\\" + route + ".trk";
    const auto file = platform::ResolvePath(path);
    if (!file) {
        return {};
    }
    try {
        corvane::TSFile trackFile(*file);
        trackFile.Load();
        if (trackFile.Items()->Count() == 0) {
            return {};
        }
        const auto routeFile = trackFile.Child("Tr_RouteFile");
        const auto name = routeFile ? routeFile->Child("Name") : nullptr;
        return name ? "(" + ItemFileName(name) + ")" : std::string();
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace

std::string ParentFolder(std::string_view path) {
    const std::size_t slash = path.rfind('\\');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash));
}

std::string FileNamePart(std::string_view path) {
    const std::size_t slash = path.rfind('\\');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
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

std::string ItemFileName(const corvane::TSFileItemPtr& item) {
    if (!item || item->NumParameters() == 0) {
        return {};
    }
    std::string text = item->Parameter(0);
    const int last = item->NumParameters() - 1;
    if (last > 0 && StartsWithQuote(text) && !EndsWithQuote(text)) {
        for (int k = 1; k <= last; ++k) {
            text += " " + item->Parameter(k);
            if (EndsWithQuote(text)) {
                break;
            }
        }
    }
    return CleanPath(text);
}

std::string QuotedParameter(const corvane::TSFileItem& item, int index) {
    std::string value = item.Parameter(index);
    if (!StartsWithQuote(value)) {
        return value;
    }
    value.erase(0, 1);
    if (EndsWithQuote(value)) {
        value.pop_back();
        return value;
    }
    for (int k = index + 1; k < item.NumParameters(); ++k) {
        const std::string next = item.Parameter(k);
        if (EndsWithQuote(next)) {
            return value + " " + next.substr(0, next.size() - 1);
        }
        value += " " + next;
    }
    return value;
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

std::string RouteList(std::string_view filter, bool withNames) {
    return RouteListIn(MSTSPath(), filter, withNames);
}

std::string RouteListIn(std::string_view installFolder, std::string_view filter, bool withNames) {
    std::string list;
    const auto names =
        platform::ListNames(std::string(installFolder) + "\\Routes\\*", platform::EntryTypes::Both);
    for (const std::string& name : names) {
        if (name.find('.') != std::string::npos || !FilterMatch(name, filter)) {
            continue;
        }
        list += (list.empty() ? "" : "|") + name;
        if (withNames) {
            list += RouteTitle(installFolder, name);
        }
    }
    return list;
}

}  // namespace vantor
