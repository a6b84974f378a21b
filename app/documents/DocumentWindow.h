#pragma once

#include <QWidget>
#include <string>

#include "common/DocumentMode.h"
#include "corvane/TSFileItem.h"
#include "documents/ConsistEditor.h"
#include "documents/ConsistFacts.h"
#include "documents/StockList.h"
#include "printing/PrintDocument.h"

class QFileSystemWatcher;
class QLabel;
class QTimer;
class QStackedLayout;
class QTreeWidget;
class QTreeWidgetItem;

namespace vantor {

class ConsistEditorView;
class View3DPage;
class WindowHost;

// The document window ("frmDocument"). It works in one of four modes: 0 the
// installed consists, 1 one consist being edited, 2 a consist in 3D, 3 a shape in 3D.
class DocumentWindow : public QWidget, public PrintSource {
    Q_OBJECT
public:
    explicit DocumentWindow(WindowHost& host, QWidget* parent = nullptr);

    void SetWindowNumber(int number) { m_windowNumber = number; }
    [[nodiscard]] const corvane::TSFileItemPtr& Item() const { return m_item; }
    void SetItem(corvane::TSFileItemPtr item) { m_item = std::move(item); }
    // Returns the path of the selected vehicle's or stock item's file (mode 1 only).
    [[nodiscard]] std::string SelectedItem() const;
    [[nodiscard]] DocumentMode Mode() const { return m_mode; }
    // Stores the mode and shows its controls; the first time it loads the window.
    void SetMode(DocumentMode mode);
    [[nodiscard]] const std::string& Filter() const { return m_filter; }
    void SetFilter(std::string filter) { m_filter = std::move(filter); }
    [[nodiscard]] const std::string& FileName() const { return m_fileName; }
    void SetFileName(std::string fileName) { m_fileName = std::move(fileName); }
    // Runs one of the window's action commands.
    void ActionClick(ActionCommand command);
    // Writes the consist to the window's file (consist mode only); false when
    // nothing was written.
    bool SaveForm(bool quiet);
    // Saves the consist through the host, asking for a file name when it has none
    // (consist mode only); true when it was written.
    bool SaveConsist(bool quiet);
    // Loads the window's contents for its mode.
    void LoadForm();
    // Rebuilds the installed stock list with the current filter.
    void ReloadAllStock();
    // Puts the 3D camera back where it started.
    void ResetView();
    // Reports the window's properties.
    void ShowProperties();
    // The report that printing the window prints: the consist list, the consist's
    // vehicles, or nothing in 3D.
    [[nodiscard]] ReportContent PrintContent() const override;
    // Saves a snapshot of a 3D window's picture in screenShotDir (or the user's
    // pictures folder when that cannot be written); returns the file written,
    // empty when none was.
    std::string SaveSnapshot(const std::string& screenShotDir);
    // The 3D page of modes 2 and 3.
    [[nodiscard]] View3DPage* View3D() const { return m_view3d; }

    // The consist being edited (mode 1).
    [[nodiscard]] ConsistEditor& Editor() { return m_editor; }
    [[nodiscard]] ConsistEditorView* EditorView() const { return m_editorView; }
    // Runs an editing command as its button does.
    void MoveClick(MoveCommand command);
    // Undoes or redoes the last editing command (consist mode only); false when
    // there was nothing to undo or redo.
    bool Undo();
    bool Redo();
    [[nodiscard]] bool CanUndo() const;
    [[nodiscard]] bool CanRedo() const;
    // True when the window could not load what it was opened on and shows nothing.
    [[nodiscard]] bool LoadFailed() const { return m_loadFailed; }
    // Asks the close question now when the consist has unsaved changes, saving on
    // Yes; false when the user keeps the window open. A later close asks no more.
    bool AgreeToClose();
    // Takes back an agreement to close: the window asks again on its next close.
    void WithdrawCloseAgreement() { m_closeAgreed = false; }
    // Shows the consist after any change of its tree (a command, undo, redo):
    // its rows, fields, caption and facts.
    void ConsistChanged();

    // The names of the selected consists of the consist list, in list order.
    [[nodiscard]] std::vector<std::string> SelectedConsists() const;
    // The consist list's selected row as the commands take it: the current row
    // when it is selected, else the first selected one; empty when none is.
    [[nodiscard]] std::string SelectedConsist() const;
    // The text of the consist list's current row, empty when there is none.
    [[nodiscard]] std::string CurrentConsist() const;
    // The consist list's rows.
    [[nodiscard]] std::vector<std::string> ConsistRows() const;
    // Opens consists of the list for editing or viewing.
    void EditConsist(const std::string& name);
    void ViewConsist(const std::string& name);

signals:
    // The consist was loaded, edited, undone, redone or saved.
    void consistChanged();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void LoadConsistList();
    // Watches the consist folder, so that the list follows files saved, copied or
    // deleted outside the window.
    void WatchConsistFolder();
    void LoadConsistMode();
    void LoadStockList();
    void ShowEditor();
    void ShowModeControls();
    void ViewShape();
    void ViewConsist3D();
    void CancelClicked();
    // Asks the close question when the consist has unsaved changes; false keeps
    // the window open.
    bool MayClose();
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Returns the installation folder.
    [[nodiscard]] std::string InstallFolder() const;
    void LetEventsRun() const;

    WindowHost& m_host;
    int m_windowNumber = 0;
    DocumentMode m_mode = DocumentMode::Results;
    bool m_loaded = false;
    std::string m_fileName;
    std::string m_filter;
    corvane::TSFileItemPtr m_item;

    QStackedLayout* m_pages;
    QTreeWidget* m_consists;
    QLabel* m_pending;
    ConsistEditorView* m_editorView;
    View3DPage* m_view3d;
    bool m_closeAfterRender = false;

    ConsistEditor m_editor;
    // The figures of the stock files the facts have read, kept across edits.
    FactsCache m_facts;
    std::vector<StockRow> m_stockRows;
    StockSort m_stockSort;
    bool m_stockBuilt = false;
    bool m_loadFailed = false;
    QFileSystemWatcher* m_watcher = nullptr;
    QTimer* m_refresh = nullptr;
    bool m_closeAgreed = false;
};

}  // namespace vantor
