#pragma once

// The validator: checks that the files which stock, shapes, consists and routes
// depend on are present and readable, and collects every finding in its error list.
//
// A finding has three fields: the status code, the file the finding is about (or
// a description such as "Route X" or "all consists"), and the referenced file or
// part (empty when there is none). TranslateError() turns a finding into a report
// line ("ERROR: ...", "INFO: ..."). Paths are built the Windows way from the installation folder
// ("<install>\Trains\Trainset\GP38\GP38.eng") and found through the path layer,
// which ignores letter case and understands wildcards.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "corvane/TSFile.h"
#include "corvane/TSFileItem.h"

namespace vantor {

// One finding of the validator's error list. reason, when not empty, says why a
// file could not be read ("Error 75 - ..."); the report line gives it after the file.
struct Finding {
    std::int16_t code = 0;
    std::string fileName;
    std::string reference;
    std::string reason = {};

    friend bool operator==(const Finding&, const Finding&) = default;
};

class TSValidation {
public:
    // A status code: one of the nine values below.
    using Status = std::int16_t;
    // Receives every finding that is stored: its code, file and reference.
    using ErrorHandler = std::function<void(Status errorCode, const std::string& fileName,
                                            const std::string& reference)>;
    // Receives progress texts (level 0) and, while verbose, translated findings
    // (level 1 for IsValid, 2 for the others).
    using MessageHandler = std::function<void(std::int16_t level, const std::string& message)>;

    // Creates a validator for a given installation folder (no trailing "\").
    explicit TSValidation(std::string installFolder);

    // Not produced by any check; translated like IsValid.
    static constexpr Status IsOK() { return -1; }
    // The file or reference was found in order; never stored.
    static constexpr Status IsValid() { return 0; }
    // A file, a section of a file, a route folder or any consist using a stock file is missing.
    static constexpr Status IsMissing() { return 1; }
    // A shape file exists but cannot be read as text.
    static constexpr Status IsCompressed() { return 2; }
    // A file lacks its root item, holds inconsistent names or unusable values.
    static constexpr Status IsCorrupt() { return 3; }
    // Not produced by any check; has its own report wording.
    static constexpr Status IsEmpty() { return 4; }
    // The file is present but a file or value it depends on has a problem.
    static constexpr Status IsSuspect() { return 5; }
    // A file names another file that does not exist.
    static constexpr Status HasMissingReference() { return 6; }
    // Information: a file names an existing file, or something uses the checked file.
    static constexpr Status IsReferenced() { return 7; }

    // Returns the findings raised since the last Reset, in the order raised.
    [[nodiscard]] const std::vector<Finding>& Errors() const noexcept { return m_errors; }
    // Returns the second list, renewed with Errors; nothing adds to it.
    [[nodiscard]] const std::vector<std::string>& Messages() const noexcept { return m_messages; }
    // Returns true when every finding is also announced as a translated message.
    [[nodiscard]] bool VerboseMessages() const noexcept { return m_verboseMessages; }
    // Sets whether every finding is also announced as a translated message.
    void SetVerboseMessages(bool verbose) noexcept { m_verboseMessages = verbose; }
    // Empties Errors and Messages; VerboseMessages keeps its value.
    void Reset();
    // Returns the report line of a finding.
    [[nodiscard]] static std::string TranslateError(const Finding& finding);

    // Checks a sound definition (.sms) and every sound file it names.
    Status CheckSound(const std::string& fileName);
    // Checks a cab view file (.cvf) and every image it names.
    Status CheckCabView(const std::string& fileName);
    // Checks every engine and wagon file of the stock folders whose names pass filter.
    Status CheckAllStock(const std::string& filter);
    // Checks an engine or wagon file: shape, .sd, thumbnail, sounds and cab view.
    Status CheckStock(const std::string& fileName);
    // Checks a shape file: its image list, its textures, its .sd file and the
    // seasonal and night textures the .sd file asks for.
    Status CheckShape(const std::string& fileName);
    // Finds the consists that use an engine or wagon file, each reported once.
    Status CheckStockInConsists(const std::string& fileName);
    // Finds the services of a route that run a consist, given by name.
    Status CheckConsistUseInRoute(const std::string& route, const std::string& consistName);
    // Finds the activities of a route whose loose consists hold an engine or wagon file.
    Status CheckStockUseInRoute(const std::string& fileName, const std::string& route);
    // Checks that every vehicle of a consist file and its shape exist.
    Status CheckConsist(const std::string& fileName);

    // Sets the handler of the ErrorRaised event.
    void OnErrorRaised(ErrorHandler handler) { m_errorRaised = std::move(handler); }
    // Sets the handler of the MessageRaised event.
    void OnMessageRaised(MessageHandler handler) { m_messageRaised = std::move(handler); }
    // Sets what runs between folders of a long check so that pending window events run.
    void OnLetEventsRun(std::function<void()> handler) { m_letEventsRun = std::move(handler); }

    // Returns the installation folder that paths are built from.
    [[nodiscard]] const std::string& InstallFolder() const noexcept { return m_installFolder; }

protected:
    // Records one finding (stored unless IsValid, announced while verbose) and
    // returns errorCode.
    Status RaiseError(Status errorCode, const std::string& fileName, const std::string& reference,
                      const std::string& reason = {});
    // Announces a progress text.
    void RaiseProgress(const std::string& message);

private:
    // What a check on a worker thread raised, kept to be raised again in order.
    struct Recorded {
        bool progress = false;
        Status errorCode = 0;
        std::string fileName;  // or the progress text
        std::string reference;
        std::string reason = {};
    };
    // The findings and progress texts of one file checked on a worker thread.
    struct RecordedCheck;

    Status CheckFileItems(const std::string& referringFile, const corvane::TSFileItemPtr& item);
    // The checks of a sound definition and of a cab view file, on the file loaded.
    Status CheckSoundFile(const std::string& fileName, const corvane::TSFile& file);
    Status CheckCabViewFile(const std::string& fileName, const corvane::TSFile& file);
    void LetEventsRun() const;

    std::string m_installFolder;
    std::vector<Finding> m_errors;
    std::vector<std::string> m_messages;
    bool m_verboseMessages = false;
    ErrorHandler m_errorRaised;
    MessageHandler m_messageRaised;
    std::function<void()> m_letEventsRun;
    // While set, findings and (when m_recordProgress) progress texts are kept here
    // instead of being raised.
    std::vector<Recorded>* m_recording = nullptr;
    bool m_recordProgress = false;
};

}  // namespace vantor
