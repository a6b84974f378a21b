#include "validation/CheckCommands.h"

#include "platform/Clock.h"

#include <cstdio>
#include <ctime>
#include <exception>
#include <stdexcept>

#include "common/Routes.h"
#include "common/Text.h"
#include "platform/Paths.h"

namespace vantor {

namespace {

constexpr const char* kCheckDependencies = "Check Dependencies";
constexpr const char* kNothingSelected = "Nothing selected!";
constexpr const char* kLineEnd = "\r\n";

void ShowStatus(const CheckContext& context, const std::string& text) {
    if (context.showStatus) {
        context.showStatus(text);
    }
}

void LetEventsRun(const CheckContext& context) {
    if (context.letEventsRun) {
        context.letEventsRun();
    }
}

// Makes the main window's new Validator, whose progress texts go to the status bar.
TSValidation& NewMainValidator(CheckContext& context) {
    context.validator = std::make_shared<TSValidation>(context.installFolder);
    context.validator->OnMessageRaised(
        [&context](std::int16_t, const std::string& message) { ShowStatus(context, message); });
    context.validator->OnLetEventsRun([&context] { LetEventsRun(context); });
    return *context.validator;
}

std::optional<Report> NothingSelected(const CheckContext& context) {
    if (context.prompter != nullptr) {
        context.prompter->Message(MessageIcon::Critical, kCheckDependencies, kNothingSelected,
                                  MessageButtons::Ok);
    }
    return std::nullopt;
}

std::string ChooseRoutes(const CheckContext& context) {
    if (!context.chooseRoutes) {
        return {};
    }
    return context.chooseRoutes(kSelectRoutesCaption, RouteList(context.installFolder, "", true));
}

}  // namespace

std::string NameOfPath(const std::string& path) {
    const std::string name = AnyFileNamePart(path);
    return name.substr(0, name.find('.'));
}

std::string UsageCheckCaption(const std::string& title) {
    return "Usage check of " + title;
}

std::string StockCheckCaption(const std::string& consist) {
    return "Stock check of " + consist;
}

std::string InstallationCheckCaption() {
    return PropertiesCaption("#TS Installation Check");
}

std::string ReportText(const TSValidation& validator) {
    std::string text;
    for (const Finding& entry : validator.Errors()) {
        text.append(TSValidation::TranslateError(entry)).append(kLineEnd);
    }
    return text;
}

std::string StockReportHeader(const std::string& checkTime, const std::string& installFolder,
                              const std::string& stockPath) {
    return "Check Time  : " + checkTime + kLineEnd + "MSTS Path   : " + installFolder + kLineEnd +
           kLineEnd + "Stock Name  : " + stockPath + kLineEnd + kLineEnd;
}

std::optional<Report> ConsistCheckStock(const ActiveWindow& window, CheckContext& context) {
    if (!window.present || window.mode != DocumentMode::ConsistList ||
        window.currentConsist.empty()) {
        return std::nullopt;
    }
    TSValidation validator(context.installFolder);
    validator.CheckConsist(context.installFolder + "\\Trains\\Consists\\" + window.currentConsist +
                           ".con");
    return Report{StockCheckCaption(window.currentConsist), ReportText(validator)};
}

std::optional<Report> FileCheckDep(const ActiveWindow& window, CheckContext& context) {
    if (!window.present || !IsDocumentMode(window.mode)) {
        return NothingSelected(context);
    }
    std::string path;
    std::string name;
    if (window.mode == DocumentMode::ConsistList) {
        if (window.selectedConsists.empty()) {
            return NothingSelected(context);
        }
        name = JoinWithBars(window.selectedConsists);
        path = context.installFolder + "\\Trains\\Consists\\" + name + ".con";
    } else {
        path = window.mode == DocumentMode::Consist ? window.selectedItem : window.fileName;
        if (path.empty()) {
            return std::nullopt;
        }
        name = NameOfPath(path);
    }

    const std::string extension = AsciiLower(path.substr(path.size() >= 4 ? path.size() - 4 : 0));
    if (extension == ".eng" || extension == ".wag") {
        const std::string header =
            StockReportHeader(context.currentTime ? context.currentTime()
                                                  : platform::LocalTimeText("%Y-%m-%d %H:%M:%S"),
                              context.installFolder, path);
        TSValidation& validator = NewMainValidator(context);
        validator.SetVerboseMessages(false);
        validator.CheckStock(path);
        validator.CheckStockInConsists(path);
        for (const std::string& route : SplitAtBars(ChooseRoutes(context))) {
            ShowStatus(context, "Checking " + path + " in " + route + "...");
            validator.CheckStockUseInRoute(path, route);
            ShowStatus(context, "Done");
            LetEventsRun(context);
        }
        return Report{UsageCheckCaption(name), header + ReportText(validator)};
    }
    if (AsciiLower(path.substr(path.size() >= 2 ? path.size() - 2 : 0)) == ".s") {
        TSValidation& validator = NewMainValidator(context);
        validator.SetVerboseMessages(false);
        validator.CheckShape(path);
        return Report{UsageCheckCaption(path), ReportText(validator)};
    }
    const std::vector<std::string> routes = SplitAtBars(ChooseRoutes(context));
    if (routes.empty()) {
        return std::nullopt;
    }
    TSValidation& validator = NewMainValidator(context);
    validator.SetVerboseMessages(false);
    for (const std::string& consist : SplitAtBars(name)) {
        for (const std::string& route : routes) {
            ShowStatus(context, "Checking " + consist + " in " + route + "...");
            validator.CheckConsistUseInRoute(route, consist);
            ShowStatus(context, "Done");
            LetEventsRun(context);
        }
    }
    return Report{UsageCheckCaption(name), ReportText(validator)};
}

std::optional<Report> StockCheckDep(const ActiveWindow& window, CheckContext& context) {
    return FileCheckDep(window, context);
}

std::optional<Report> StockCheckAll(CheckContext& context) {
    if (context.prompter == nullptr ||
        context.prompter->Message(MessageIcon::Question, "Check All Stock", kCheckAllStockQuestion,
                                  MessageButtons::YesNo) != Answer::Yes) {
        return std::nullopt;
    }
    TSValidation& validator = NewMainValidator(context);
    validator.CheckAllStock("");
    return Report{InstallationCheckCaption(), ReportText(validator)};
}

std::string PropertiesCaption(const std::string& name) {
    if (!name.empty() && name.front() == '#') {
        return name.substr(1);
    }
    return "Properties of " + name;
}

void Selector::SetSelectFrom(const std::string& list) {
    m_selectFrom = list;
    m_rows.clear();
    for (const std::string& piece : SplitAtBars(list)) {
        Row row;
        const std::size_t open = piece.find('(');
        if (open != std::string::npos) {
            row.text = TrimBlanks(piece.substr(0, open));
            for (const char c : piece.substr(open + 1)) {
                if (c != ')') {
                    row.details.push_back(c);
                }
            }
        } else {
            row.text = TrimBlanks(piece);
            row.details = row.text + " route";
        }
        m_rows.push_back(std::move(row));
    }
    m_details = m_rows.empty() ? std::string() : m_rows.front().details;
    m_selected.clear();
}

void Selector::Click(int row) {
    if (row >= 0 && static_cast<std::size_t>(row) < m_rows.size()) {
        m_details = m_rows[static_cast<std::size_t>(row)].details;
    }
}

void Selector::SetRowSelected(int row, bool selected) {
    if (row >= 0 && static_cast<std::size_t>(row) < m_rows.size()) {
        m_rows[static_cast<std::size_t>(row)].selected = selected;
    }
}

void Selector::SelectAll(bool checked) {
    for (Row& row : m_rows) {
        row.selected = checked;
    }
}

void Selector::Ok() {
    std::vector<std::string> texts;
    for (const Row& row : m_rows) {
        if (row.selected) {
            texts.push_back(row.text);
        }
    }
    m_selected = JoinWithBars(texts);
}

std::string ResultsWindow::DefaultLogName(const std::string& programFolder) const {
#ifdef _WIN32
    constexpr const char* kSeparator = "\\";
#else
    constexpr const char* kSeparator = "/";
#endif
    return programFolder + kSeparator +
           (m_caption.size() > 15 ? m_caption.substr(15) : std::string()) + ".log";
}

bool ResultsWindow::Save(Prompter& prompter, const std::string& programFolder) const {
    const std::string fileName =
        prompter.Input("Enter file name:", "Save Results", DefaultLogName(programFolder));
    if (fileName.empty()) {
        return false;
    }
    const std::string frame(80, '=');
    try {
        platform::AppendText(fileName, frame + kLineEnd + m_text + kLineEnd + frame + kLineEnd);
    } catch (const std::exception& error) {
        prompter.Message(MessageIcon::Critical, "Save Results", error.what(), MessageButtons::Ok);
        return false;
    }
    return true;
}

std::string ResultsWindow::PropertiesText() const {
    std::size_t characters = 0;
    for (const char c : m_text) {
        // Counts characters, not bytes: UTF-8 continuation bytes are skipped.
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++characters;
        }
    }
    return std::to_string(characters) + " characters in message";
}

void ResultsWindow::ShowProperties(Prompter& prompter) const {
    prompter.Message(MessageIcon::Information, "Message Properties", PropertiesText(),
                     MessageButtons::Ok);
}

}  // namespace vantor
