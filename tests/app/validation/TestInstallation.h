#pragma once

// A simulator installation in a temporary folder for the validator's tests:
// simulator text files written from lines, plain files, and Windows-style paths
// built the way the application builds them; and the validator's findings as text.

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "TempFolder.h"
#include "validation/TSValidation.h"

namespace validation_tests {

class TestInstallation {
public:
    // Returns the installation folder as the application holds it.
    [[nodiscard]] std::string Folder() const { return m_folder.Path().string(); }
    // Returns the installation folder followed by "\" and a relative Windows path.
    [[nodiscard]] std::string Path(std::string_view relative) const {
        return Folder() + "\\" + std::string(relative);
    }
    // Writes a simulator text file (8-bit, header line, CR LF) made of lines;
    // relative uses "/" between folders.
    void Sim(std::string_view relative, const std::vector<std::string>& lines) const {
        std::string text = "SIMISA@@@@@@@@@@JINX0x0t______\r\n\r\n";
        for (const std::string& line : lines) {
            text.append(line).append("\r\n");
        }
        Bytes(relative, text);
    }
    // Writes a file with the given bytes.
    void Bytes(std::string_view relative, std::string_view bytes) const {
        testing_support::MakeFile(m_folder.Path() / std::filesystem::path(relative), bytes);
    }
    // Writes an empty ordinary file.
    void Touch(std::string_view relative) const { Bytes(relative, "x"); }
    // Removes a file or folder.
    void Remove(std::string_view relative) const {
        std::filesystem::remove_all(m_folder.Path() / std::filesystem::path(relative));
    }

private:
    testing_support::TempFolder m_folder;
};

// A validator whose private reporting operations the tests may call.
class ExposedValidation : public vantor::TSValidation {
public:
    using TSValidation::RaiseError;
    using TSValidation::RaiseProgress;
    using TSValidation::TSValidation;
};

// Returns findings as texts "code|file|reference", then "|reason" when there is one.
inline std::vector<std::string> Texts(const std::vector<vantor::Finding>& findings) {
    std::vector<std::string> texts;
    for (const vantor::Finding& finding : findings) {
        texts.push_back(std::to_string(finding.code) + "|" + finding.fileName + "|" +
                        finding.reference +
                        (finding.reason.empty() ? std::string() : "|" + finding.reason));
    }
    return texts;
}

// Returns findings as texts joined by " & ".
inline std::string Joined(const std::vector<vantor::Finding>& findings) {
    std::string text;
    for (const std::string& entry : Texts(findings)) {
        text += (text.empty() ? "" : " & ") + entry;
    }
    return text;
}

// Returns text with every occurrence of each key replaced by its value, key by key.
inline std::string Replaced(std::string text,
                            const std::vector<std::pair<std::string, std::string>>& values) {
    for (const auto& [key, value] : values) {
        for (std::size_t at = text.find(key); at != std::string::npos;
             at = text.find(key, at + value.size())) {
            text.replace(at, key.size(), value);
        }
    }
    return text;
}

// Records the progress texts a validator announces, in order.
inline std::vector<std::string>& RecordProgress(vantor::TSValidation& validator,
                                                std::vector<std::string>& texts) {
    validator.OnMessageRaised([&texts](std::int16_t level, const std::string& message) {
        if (level == 0) {
            texts.push_back(message);
        }
    });
    return texts;
}

}  // namespace validation_tests
