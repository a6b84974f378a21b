#include "validation/TSValidation.h"

#include <optional>

#include "shell/InstallPaths.h"
#include "validation/CheckSupport.h"

namespace vantor {

namespace {

std::string_view TrimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

TSValidation::TSValidation() : TSValidation(MSTSPath()) {}

TSValidation::TSValidation(std::string installFolder) : m_installFolder(std::move(installFolder)) {
    Reset();
    m_verboseMessages = false;
}

void TSValidation::Reset() {
    m_errors = {};
    m_messages = {};
}

std::string TSValidation::TranslateError(std::string_view errorText) {
    const std::size_t bar = errorText.find('|');
    if (bar == std::string_view::npos) {
        return std::string(errorText);
    }
    const auto number = validation::LeadingNumber(errorText.substr(0, bar));
    const std::optional<std::int16_t> code =
        number ? validation::ToInt16(*number) : std::int16_t{0};
    const std::string_view rest = errorText.substr(bar + 1);
    const std::size_t second = rest.find('|');
    const std::string a(rest.substr(0, second));
    const std::string b(second == std::string_view::npos ? std::string_view()
                                                         : rest.substr(second + 1));
    const std::string name = TrimBlanks(b).empty() ? a : b + " referenced by " + a;

    std::string message;
    bool information = false;
    if (code == IsOK() || code == IsValid()) {
        message = name + " is OK";
        information = true;
    } else if (code == IsMissing()) {
        message = name + " is MISSING";
    } else if (code == IsCompressed()) {
        message = name + " is COMPRESSED";
    } else if (code == IsCorrupt()) {
        message = name + " appears CORRUPT";
    } else if (code == IsEmpty()) {
        message = name + " is EMPTY";
    } else if (code == IsSuspect()) {
        message = name + " is SUSPECT due to problems with dependent files";
    } else if (code == HasMissingReference()) {
        message = a + " references missing file " + b;
    } else if (code == IsReferenced()) {
        message = a + " references file " + b;
        information = true;
    }
    return (information ? "INFO: " : "ERROR: ") + message;
}

TSValidation::Status TSValidation::RaiseError(Status errorCode, const std::string& fileName,
                                              const std::string& reference) {
    if (errorCode == IsValid() && !m_verboseMessages) {
        return errorCode;
    }
    if (m_recording != nullptr) {
        m_recording->push_back({false, errorCode, fileName, reference});
        return errorCode;
    }
    std::string entry = std::to_string(errorCode);
    entry.append("|").append(fileName).append("|").append(reference);
    if (errorCode != IsValid()) {
        m_errors.push_back(entry);
        if (m_errorRaised) {
            m_errorRaised(errorCode, fileName, reference);
        }
    }
    if (m_verboseMessages && m_messageRaised) {
        m_messageRaised(errorCode == IsValid() ? 1 : 2, TranslateError(entry));
    }
    return errorCode;
}

void TSValidation::RaiseProgress(const std::string& message) {
    if (m_recording != nullptr) {
        if (m_recordProgress) {
            m_recording->push_back({true, 0, message, {}});
        }
        return;
    }
    if (m_messageRaised) {
        m_messageRaised(0, message);
    }
}

void TSValidation::LetEventsRun() const {
    if (m_letEventsRun) {
        m_letEventsRun();
    }
}

}  // namespace vantor
