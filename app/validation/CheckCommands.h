#pragma once

// The check commands of the main window without their windows: what to check is
// decided from what the main window knows of its active child window, the routes
// are chosen through a callback that stands for the selection dialog, and the
// result is what a new results window shows (or nothing when the command stops).

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/DocumentMode.h"
#include "common/Prompter.h"
#include "validation/TSValidation.h"

namespace vantor {

// The caption of the route selection and the question of Check All Stock.
inline constexpr const char* kSelectRoutesCaption = "Select Routes to Check";
inline constexpr const char* kCheckAllStockQuestion =
    "About to check all stock file dependencies in your TS installtion.  This may take some "
    "time.  Do you want to continue?";

// What the main window knows of its active child window.
struct ActiveWindow {
    // False when no child window is open.
    bool present = false;
    // The window's mode; Results for a results window.
    DocumentMode mode = DocumentMode::ConsistList;
    // The window's file: the shape or consist shown in a 3D view (modes 2 and 3).
    std::string fileName;
    // Mode 1: the full path of the selected stock file, empty when none.
    std::string selectedItem;
    // Mode 0: the texts of the selected consist rows, in row order.
    std::vector<std::string> selectedConsists;
    // Mode 0: the text of the consist list's current row, empty when there is none.
    std::string currentConsist;
};

// Returns the routes chosen in the selection dialog shown with a caption and a
// "|"-separated list: the chosen entries joined by "|", empty for Cancel or none.
using RouteChooser =
    std::function<std::string(const std::string& caption, const std::string& list)>;

// What the commands work with: the installation, the prompts, the route dialog,
// the status bar, the event loop and the main window's validator.
struct CheckContext {
    std::string installFolder;
    Prompter* prompter = nullptr;
    RouteChooser chooseRoutes;
    // Shows a text in the status bar's first panel.
    std::function<void(const std::string&)> showStatus;
    // Lets pending window events run.
    std::function<void()> letEventsRun;
    // Returns the current date and time as the report header shows it: the main
    // window gives the locale's short date and time; the default, which vantor-cli
    // prints for scripts, is "YYYY-MM-DD hh:mm:ss" in local time.
    std::function<std::string()> currentTime;
    // The main window's Validator: replaced by Check Dependencies and Check All Stock.
    // Its handlers refer to this context, which must outlive it and stay in place.
    std::shared_ptr<TSValidation> validator;
};

// What a results window shows.
struct Report {
    std::string caption;
    std::string text;

    friend bool operator==(const Report&, const Report&) = default;
};

// Returns the file name of a path up to its first "." (the name a check's caption shows).
std::string NameOfPath(const std::string& path);

// Returns the captions of the results windows: "Usage check of " and a title (check
// dependencies), "Stock check of " and a consist (Check Stock), and that of Check
// All Stock.
std::string UsageCheckCaption(const std::string& title);
std::string StockCheckCaption(const std::string& consist);
std::string InstallationCheckCaption();

// Returns the translated entries of a validator's error list, each ended by CR LF.
std::string ReportText(const TSValidation& validator);

// Returns the header of a stock's dependency report: check time, installation,
// an empty line, the stock file and an empty line, each line ended by CR LF.
std::string StockReportHeader(const std::string& checkTime, const std::string& installFolder,
                              const std::string& stockPath);

// A check command of the menus: what it checks comes from the active window.
using CheckCommand = std::optional<Report> (*)(const ActiveWindow& window, CheckContext& context);

// Check Stock of the Consist menu: the stock of the consist list's current row.
std::optional<Report> ConsistCheckStock(const ActiveWindow& window, CheckContext& context);

// Check Dependencies of the Consist menu: a stock file with its use by consists and
// routes, a shape, or the use of the selected consists by routes' services.
std::optional<Report> FileCheckDep(const ActiveWindow& window, CheckContext& context);

// Check Dependencies of the Stock menu: the same as FileCheckDep.
std::optional<Report> StockCheckDep(const ActiveWindow& window, CheckContext& context);

// Check All Stock of the Stock menu: every engine and wagon file, after a question.
std::optional<Report> StockCheckAll(CheckContext& context);

// Returns the caption of a properties window: name without its first character
// when it begins with "#", otherwise "Properties of " followed by name.
std::string PropertiesCaption(const std::string& name);

// The selection dialog's logic: the rows made from a "|"-separated list, their
// details and selection, Select All, OK and Cancel.
class Selector {
public:
    // One row: its text, the details shown for it and whether it is selected.
    struct Row {
        std::string text;
        std::string details;
        bool selected = false;
    };

    explicit Selector(std::string caption = "Select") : m_caption(std::move(caption)) {}

    [[nodiscard]] const std::string& Caption() const { return m_caption; }
    // Stores the list and makes its rows: "ABC(My Route)" gives the row "ABC" with
    // the details "My Route", "ABC" the details "ABC route"; Selected becomes "".
    void SetSelectFrom(const std::string& list);
    [[nodiscard]] const std::string& SelectFrom() const { return m_selectFrom; }
    [[nodiscard]] const std::vector<Row>& Rows() const { return m_rows; }
    // The text of the details label: the first row's details after filling, then
    // those of the row clicked last.
    [[nodiscard]] const std::string& Details() const { return m_details; }
    // A click on a row (0-based) shows its details.
    void Click(int row);
    // Selects or deselects one row (0-based).
    void SetRowSelected(int row, bool selected);
    // The Select All box: checked selects every row, unchecked deselects every row.
    void SelectAll(bool checked);
    // OK: Selected becomes the selected rows' texts in list order, joined by "|".
    void Ok();
    // Cancel: Selected stays "".
    void Cancel() {}
    [[nodiscard]] const std::string& Selected() const { return m_selected; }

private:
    std::string m_caption;
    std::string m_selectFrom;
    std::vector<Row> m_rows;
    std::string m_details;
    std::string m_selected;
};

// The results window's logic: its caption and report text, Save and Properties.
class ResultsWindow {
public:
    ResultsWindow(std::string caption, std::string text)
        : m_caption(std::move(caption)), m_text(std::move(text)) {}
    explicit ResultsWindow(const Report& report) : ResultsWindow(report.caption, report.text) {}

    // Results windows answer -1, so that commands can tell them from documents.
    [[nodiscard]] static constexpr DocumentMode Mode() { return DocumentMode::Results; }
    [[nodiscard]] const std::string& Caption() const { return m_caption; }
    [[nodiscard]] const std::string& Text() const { return m_text; }
    // Returns the file name that Save proposes: the folder, the platform's
    // separator, the caption from its 16th character on, and ".log".
    [[nodiscard]] std::string DefaultLogName(const std::string& programFolder) const;
    // Asks for a file name and appends the report framed by two lines of 80 "="
    // to it; an empty answer saves nothing. Returns true when it wrote.
    bool Save(Prompter& prompter, const std::string& programFolder) const;
    // Shows the number of characters of the report.
    void ShowProperties(Prompter& prompter) const;
    // Returns the text that ShowProperties shows: "1234 characters in message".
    [[nodiscard]] std::string PropertiesText() const;

private:
    std::string m_caption;
    std::string m_text;
};

}  // namespace vantor
