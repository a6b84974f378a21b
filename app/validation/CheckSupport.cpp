#include "validation/CheckSupport.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <new>
#include <system_error>
#include <vector>

#include "common/Text.h"
#include "platform/Paths.h"

namespace vantor::validation {

namespace {

constexpr int kObjectNotSet = 91;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Returns the first bytes of a file as characters: UTF-16LE text behind its
// byte-order mark is narrowed, anything else is taken byte by byte.
std::string FileStart(const std::string& path, std::size_t count) {
    std::ifstream in(platform::Utf8Path(platform::HostPath(Lexical(path))), std::ios::binary);
    std::string bytes(count * 2 + 2, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    if (bytes.size() < 2 || bytes[0] != '\xFF' || bytes[1] != '\xFE') {
        return bytes.substr(0, count);
    }
    std::string text;
    for (std::size_t i = 2; i + 1 < bytes.size() && text.size() < count; i += 2) {
        text.push_back(bytes[i + 1] == '\0' ? bytes[i] : '?');
    }
    return text;
}

}  // namespace

std::string Lexical(std::string_view path) {
    std::size_t rootLength = 0;
    if (path.size() >= 2 && path[1] == ':') {
        rootLength = 2;
    }
    while (rootLength < path.size() && (path[rootLength] == '\\' || path[rootLength] == '/')) {
        ++rootLength;
    }
    std::vector<std::string_view> names;
    std::size_t start = rootLength;
    while (start <= path.size()) {
        std::size_t end = path.find_first_of("\\/", start);
        end = end == std::string_view::npos ? path.size() : end;
        const std::string_view name = path.substr(start, end - start);
        if (name == "..") {
            if (!names.empty() && names.back() != "..") {
                names.pop_back();
            } else if (rootLength == 0) {
                names.push_back(name);
            }
        } else if (!name.empty() && name != ".") {
            names.push_back(name);
        }
        start = end + 1;
    }
    std::string result(path.substr(0, rootLength));
    for (std::size_t i = 0; i < names.size(); ++i) {
        result.append(i == 0 ? "" : "\\").append(names[i]);
    }
    const bool endsWithSeparator = !path.empty() && (path.back() == '\\' || path.back() == '/');
    if (endsWithSeparator && !names.empty()) {
        result.push_back('\\');
    }
    return result;
}

namespace {

// Returns true when a path holds a "." or ".." name for Lexical to take out; most
// paths hold none.
bool HasDotNames(std::string_view path) {
    for (std::size_t i = path.find('.'); i != std::string_view::npos; i = path.find('.', i + 1)) {
        if ((i == 0 || path[i - 1] == '\\' || path[i - 1] == '/') &&
            (i + 1 == path.size() || path[i + 1] == '\\' || path[i + 1] == '/' ||
             path[i + 1] == '.')) {
            return true;
        }
    }
    return false;
}

// Returns look(path) for the path as Windows looks it up, its "." and ".." names
// taken out.
template <typename Look>
auto LookUp(std::string_view path, Look&& look) {
    return HasDotNames(path) ? look(Lexical(path)) : look(path);
}

// Loads a file by its real path, keeping what was read when reading fails.
std::unique_ptr<corvane::TSFile> LoadQuietly(std::string hostPath) {
    auto file = std::make_unique<corvane::TSFile>(std::move(hostPath));
    try {
        file->Load();
    } catch (const std::exception&) {
        // The items read before the failure stay; the checks report what is absent.
    }
    return file;
}

}  // namespace

bool Exists(std::string_view path) {
    return LookUp(path, [](std::string_view clean) { return platform::FileExists(clean); });
}

bool NamesFile(std::string_view name) {
    return !name.empty() && name.back() != '\\' && name.back() != '/';
}

std::unique_ptr<corvane::TSFile> LoadFile(const std::string& path) {
    auto file = std::make_unique<corvane::TSFile>(platform::HostPath(Lexical(path)));
    file->Load();
    return file;
}

std::unique_ptr<corvane::TSFile> LoadFileQuietly(const std::string& path) {
    return LoadQuietly(platform::HostPath(Lexical(path)));
}

std::unique_ptr<corvane::TSFile> LoadIfOrdinaryFile(const std::string& path) {
    // Most files are there under the name given: opening that name at once
    // spares a look at the disk. A file that gives no items is looked up as
    // Exists looks, so a missing, mis-cased or empty one gets the usual answer.
    if (auto direct =
            LookUp(path, [](std::string_view clean) { return platform::DirectPath(clean); })) {
        if (auto file = LoadQuietly(std::move(*direct)); file->Items()->Count() > 0) {
            return file;
        }
    }
    if (!Exists(path)) {
        return nullptr;
    }
    return LoadFileQuietly(path);
}

std::optional<double> LeadingNumber(std::string_view text, bool* wholeText) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    const std::size_t start = i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        ++i;
    }
    const std::size_t digitsStart = i;
    while (i < text.size() && IsDigit(text[i])) {
        ++i;
    }
    std::size_t digits = i - digitsStart;
    if (i < text.size() && text[i] == '.') {
        ++i;
        const std::size_t fractionStart = i;
        while (i < text.size() && IsDigit(text[i])) {
            ++i;
        }
        digits += i - fractionStart;
    }
    if (digits == 0) {
        return std::nullopt;
    }
    const std::string number(text.substr(start, i - start));
    std::size_t end = i;
    while (end < text.size() && text[end] == ' ') {
        ++end;
    }
    if (wholeText != nullptr) {
        *wholeText = end == text.size();
    }
    return std::strtod(number.c_str(), nullptr);
}

std::optional<std::int16_t> ToInt16(double value) {
    const double rounded = std::nearbyint(value);  // the default mode rounds half to even
    if (!(rounded >= -32768.0 && rounded <= 32767.0)) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(rounded);
}

std::optional<std::int16_t> Int16Parameter(const corvane::TSFileItem& item, int index) {
    if (index >= item.NumParameters()) {
        return std::nullopt;
    }
    bool whole = false;
    const auto number = LeadingNumber(item.ParameterView(index), &whole);
    if (!number || !whole) {
        return std::nullopt;
    }
    return ToInt16(*number);
}

corvane::TSFileItemPtr RequireChild(const corvane::TSFileItem& item, std::string_view name) {
    auto child = item.Child(name);
    if (!child) {
        throw RuntimeError(kObjectNotSet,
                           "Object variable or With block variable not set (item \"" + item.Name() +
                               "\" has no \"" + std::string(name) + "\" item)");
    }
    return child;
}

corvane::TSFileItemPtr VehicleData(const corvane::TSFileItem& vehicle) {
    return RequireChild(vehicle, vehicle.Name() + "Data");
}

std::string VehicleFolder(const corvane::TSFileItem& data) {
    if (data.NumParameters() == 3) {
        return StripQuotes(data.Parameter(1) + " " + data.Parameter(2));
    }
    return data.Parameter(1);
}

void ForEachVehicle(const corvane::TSFileItem& cfg,
                    const std::function<bool(const corvane::TSFileItem& vehicle)>& visit) {
    if (!cfg.HasChildren()) {
        return;
    }
    const auto& children = *cfg.Children();
    for (int position = cfg.ChildIndex("Engine|Wagon", 0); position != 0;
         position = cfg.ChildIndex("Engine|Wagon", position)) {
        if (!visit(*children.Item(position))) {
            return;
        }
    }
}

StockIdentity IdentityOf(std::string_view stockPath) {
    const std::string name = AnyFileNamePart(stockPath);
    return {AnyFileNamePart(AnyParentFolder(stockPath)),
            name.substr(0, name.size() >= 4 ? name.size() - 4 : 0)};
}

bool RefersTo(const corvane::TSFileItem& vehicle, const StockIdentity& identity) {
    const auto data = VehicleData(vehicle);
    return data->Parameter(0) == identity.base && VehicleFolder(*data) == identity.folder;
}

// Numbers the errors as the reports have always numbered them (see RuntimeError).
std::string ErrorText(const std::exception& error) {
    int number = 5;  // Invalid procedure call or argument
    if (const auto* own = dynamic_cast<const RuntimeError*>(&error)) {
        number = own->Number();
    } else if (dynamic_cast<const std::out_of_range*>(&error) != nullptr) {
        number = 9;  // Subscript out of range
    } else if (dynamic_cast<const std::overflow_error*>(&error) != nullptr ||
               dynamic_cast<const std::length_error*>(&error) != nullptr) {
        number = 6;  // Overflow
    } else if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) {
        number = 7;  // Out of memory
    } else if (dynamic_cast<const std::system_error*>(&error) != nullptr) {
        number = 75;  // Path/File access error
    }
    return "Error " + std::to_string(number) + " - " + error.what();
}

bool IsPackedShape(const std::string& path) {
    std::string start = FileStart(path, 40);
    while (!start.empty() && (start.front() == '\r' || start.front() == '\n')) {
        start.erase(0, 1);
    }
    if (start.starts_with("SIMISA@F")) {
        return true;
    }
    return start.starts_with("SIMISA@@@@@@@@@@JINX0") && start.size() > 23 && start[23] == 'b';
}

}  // namespace vantor::validation
