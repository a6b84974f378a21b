#include "TempFolder.h"

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace testing_support {

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
    std::random_device random;
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate =
            base / ("vantor-test-" + std::to_string(random()) + "-" + std::to_string(counter++));
        if (std::filesystem::create_directory(candidate)) {
            m_path = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder() {
    std::error_code ec;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_path, ec);
}

std::string TempFolder::File(std::string_view name) const {
    return Utf8Text(m_path / Utf8Path(name));
}

bool SymlinksWork() {
    static const bool works = [] {
        const TempFolder folder;
        std::error_code ec;
        std::filesystem::create_symlink(folder.Path() / "target", folder.Path() / "link", ec);
        return !ec;
    }();
    return works;
}

std::filesystem::path Utf8Path(std::string_view utf8) {
    return {std::u8string(utf8.begin(), utf8.end())};
}

std::string Utf8Text(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

std::string Utf16Bytes(std::string_view utf8, bool bom) {
    std::string out;
    if (bom) {
        out += "\xFF\xFE";
    }
    std::size_t i = 0;
    auto put = [&out](std::uint32_t unit) {
        out.push_back(static_cast<char>(unit & 0xFF));
        out.push_back(static_cast<char>(unit >> 8));
    };
    while (i < utf8.size()) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        std::uint32_t cp = b;
        int extra = 0;
        if (b >= 0xF0) {
            cp = b & 0x07, extra = 3;
        } else if (b >= 0xE0) {
            cp = b & 0x0F, extra = 2;
        } else if (b >= 0xC0) {
            cp = b & 0x1F, extra = 1;
        }
        for (int k = 1; k <= extra; ++k) {
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        }
        i += 1 + extra;
        if (cp >= 0x10000) {
            put(0xD800 + ((cp - 0x10000) >> 10));
            put(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            put(cp);
        }
    }
    return out;
}

void WriteBytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(Utf8Path(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(Utf8Path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string MakeFile(const std::filesystem::path& path, std::string_view bytes) {
    std::filesystem::create_directories(path.parent_path());
    WriteBytes(Utf8Text(path), bytes);
    return Utf8Text(path);
}

namespace {

void SetVariable(const std::string& name, const std::optional<std::string>& value) {
#if defined(_WIN32)
    _putenv_s(name.c_str(), value ? value->c_str() : "");
#else
    if (value) {
        setenv(name.c_str(), value->c_str(), 1);
    } else {
        unsetenv(name.c_str());
    }
#endif
}

}  // namespace

ScopedEnvironment::ScopedEnvironment(const char* name, const std::optional<std::string>& value)
    : m_name(name) {
    if (const char* previous = std::getenv(name)) {
        m_previous = previous;
    }
    SetVariable(m_name, value);
}

ScopedEnvironment::~ScopedEnvironment() {
    SetVariable(m_name, m_previous);
}

}  // namespace testing_support
