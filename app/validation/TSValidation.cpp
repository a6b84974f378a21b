#include "validation/TSValidation.h"

#include "common/Text.h"
#include "validation/CheckSupport.h"

namespace vantor {

TSValidation::TSValidation(std::string installFolder) : m_installFolder(std::move(installFolder)) {
    Reset();
    m_verboseMessages = false;
}

void TSValidation::Reset() {
    m_errors = {};
    m_messages = {};
}

std::string TSValidation::TranslateError(const Finding& finding) {
    const std::int16_t code = finding.code;
    const std::string& a = finding.fileName;
    const std::string& b = finding.reference;
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
    if (!finding.reason.empty()) {
        message += " (" + finding.reason + ")";
    }
    return (information ? "INFO: " : "ERROR: ") + message;
}

TSValidation::Status TSValidation::RaiseError(Status errorCode, const std::string& fileName,
                                              const std::string& reference,
                                              const std::string& reason) {
    if (errorCode == IsValid() && !m_verboseMessages) {
        return errorCode;
    }
    if (m_recording != nullptr) {
        m_recording->push_back({false, errorCode, fileName, reference, reason});
        return errorCode;
    }
    if (errorCode != IsValid()) {
        m_errors.push_back({errorCode, fileName, reference, reason});
        if (m_errorRaised) {
            m_errorRaised(errorCode, fileName, reference);
        }
    }
    if (m_verboseMessages && m_messageRaised) {
        m_messageRaised(errorCode == IsValid() ? 1 : 2,
                        TranslateError({errorCode, fileName, reference, reason}));
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
