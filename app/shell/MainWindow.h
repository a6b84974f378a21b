#pragma once

#include <QMainWindow>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "common/DocumentMode.h"
#include "corvane/TSFileItem.h"
#include "printing/PrintDocument.h"
#include "shell/ShellCommands.h"
#include "shell/StartupSettings.h"
#include "shell/WindowArrangement.h"
#include "ui/Services.h"
#include "ui/WindowHost.h"
#include "validation/CheckCommands.h"

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QProgressBar;
class QToolBar;

namespace vantor {

class DocumentWindow;
class ResultsWindowWidget;

// The main window ("frmMain"): menus, toolbar and status bar around an area of
// document and results windows. Its parts live in files of their own: the menus
// and toolbar (MainMenus.cpp), the file commands (MainFileCommands.cpp) and the
// arrangement of the child windows (WindowArrangement.cpp).
class MainWindow : public QMainWindow, public WindowHost {
    Q_OBJECT
public:
    explicit MainWindow(vantor::Services& services, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Reads the settings, places the window and opens the first windows: a consist
    // list when the command line is empty, the command line's file otherwise.
    void Load();

    // WindowHost
    [[nodiscard]] vantor::Services& Services() override { return m_services; }
    void ShowStatus(const std::string& text) override;
    void OpenDocumentWindow(const std::string& fileName, DocumentMode mode,
                            const std::string& caption, corvane::TSFileItemPtr item) override;
    bool SaveConsist(ConsistSaveTarget& target, bool quiet) override;
    [[nodiscard]] std::string TemporaryConsistPath() const override;
    void PopupMenu(ContextMenu menu, const QPoint& at) override;
    void OpenProperties(const std::string& name, const std::string& text) override {
        ShowPropertiesText(name, text);
    }
    [[nodiscard]] const view3d::View3DParts* View3D() const override;

    // Creates, loads, shows and registers a document window.
    DocumentWindow* NewDocumentWindow(const std::string& fileName, DocumentMode mode,
                                      const std::string& caption, corvane::TSFileItemPtr item);
    // Opens a new numbered window of a mode ("Consist List 1").
    DocumentWindow* NewDocumentByMode(DocumentMode mode, const std::string& fileName);
    // Opens a file in the kind of window its extension calls for.
    void OpenFile(const std::string& path);

    // The open document windows, in the order they were opened.
    [[nodiscard]] std::vector<DocumentWindow*> Documents() const;
    // The active child window's widget, or null.
    [[nodiscard]] QWidget* ActiveChild() const;
    // The active child as a document window, or null.
    [[nodiscard]] DocumentWindow* ActiveDocument() const;
    [[nodiscard]] ShellCommands& Commands() { return m_commands; }
    [[nodiscard]] QMdiArea* Area() const { return m_area; }
    [[nodiscard]] const std::string& ScreenShotDir() const { return m_screenShotDir; }

    // Arranges the child windows and remembers the arrangement.
    void Arrange(Arrangement arrangement);
    // Saves the consist of the active window, asking for a file name when it has
    // none; true when it was written.
    bool SaveCurrentConsist(bool quiet);
    // Opens a results window with a report.
    ResultsWindowWidget* ShowResults(const Report& report);
    // Opens a results window captioned from a name ("#X" gives "X", otherwise
    // "Properties of " and the name).
    ResultsWindowWidget* ShowPropertiesText(const std::string& name, const std::string& text);
    // The validator of the last Check Dependencies or Check All Stock.
    [[nodiscard]] const std::shared_ptr<TSValidation>& Validator() const {
        return m_checks.validator;
    }
    // What the check commands know of the active child window.
    [[nodiscard]] ActiveWindow ActiveWindowInfo() const;
    // Runs a check command and shows its report; Check All Stock (all = true)
    // shows a busy bar while it runs.
    void RunCheck(const std::function<std::optional<Report>(CheckContext&)>& command,
                  bool all = false);
    // Runs the command of a toolbar button's key; errors of the command are ignored.
    void ToolbarClick(const std::string& key);
    // The Set MSTS Location command.
    void SetMSTSLocation();
    // Prints the report of the active child window after the print dialog; with
    // preview true, says that there is no preview.
    void PrintDocument(bool preview);
    // Replaces the printer that Print opens (tests record the printing).
    void SetPrinterFactory(PrinterFactory factory) { m_openPrinter = std::move(factory); }
    // At start: when no installation folder is known, says so and opens Set MSTS Location.
    void WelcomeIfNotInstalled();
    // Enables the menu items and toolbar buttons that can act on the active window.
    void UpdateActions();
    // Where a child window of a wanted size goes: inside the area, cascaded.
    void PlaceChild(QMdiSubWindow* window, QSize wanted);
    // Stock, Replace in Consists: replaces the selected stock item, or one chosen
    // in a file dialog, in the consists that use it.
    void StockReplaceInConsists();
    // The consists of the installation open in consist windows with unsaved changes.
    [[nodiscard]] std::vector<std::string> EditedConsists() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // MainMenus.cpp
    void CreateMenus();
    void CreateToolbar();
    void UpdateWindowMenu();
    QAction* AddAction(QMenu* menu, const char* name, const char* caption,
                       std::function<void()> command, bool enabled = true);
    // Runs a command; an error it throws is shown in a critical box titled with the operation.
    void Run(const std::string& operation, const std::function<void()>& command);

    // MainFileCommands.cpp
    void OpenFileOfKind(const std::string& path);
    void FileOpen();
    void FileSaveAs();
    void FileSaveAll();
    void FileClose();
    void EditCopy();
    void EditCut();
    void EditPaste();
    void EditSetAssociations();

    // MainDesktop.cpp
    void ApplyShortcutsAndIcons();
    void EditUndo();
    void EditRedo();
    // Asks about every unsaved consist before any window closes; false when the
    // user cancelled, and then every window stays as it was.
    bool AgreeToCloseAll();
    // Starts the file dialogs of consists in the installation's consist folder.
    [[nodiscard]] std::string ConsistFolder() const;

    void ShowAbout();
    void ViewFilter();
    void ViewRefresh();
    void FileProperties();
    void ViewShape();
    void ViewReset();
    void ConsistOpen(DocumentMode mode);
    void RetileAfterLoad();
    [[nodiscard]] std::string InstallFolder() const;
    void LetEventsRun() const;

    vantor::Services& m_services;
    ShellCommands m_commands;
    QMdiArea* m_area;
    WindowArranger m_arranger;
    QLabel* m_status;
    QToolBar* m_toolBar;
    QMenu* m_consistMenu = nullptr;
    QMenu* m_stockMenu = nullptr;
    QMenu* m_windowMenu = nullptr;
    QAction* m_lockTiling = nullptr;
    QAction* m_viewToolbar = nullptr;
    QAction* m_viewStatusBar = nullptr;
    QAction* m_nextWindow = nullptr;
    QAction* m_previousWindow = nullptr;
    std::array<int, 4> m_counters{};
    int m_nextIdentity = 1;
    std::map<std::string, QMdiSubWindow*> m_documents;
    std::string m_screenShotDir;
    CheckContext m_checks;
    QProgressBar* m_busy = nullptr;
    PrinterFactory m_openPrinter;
};

}  // namespace vantor
