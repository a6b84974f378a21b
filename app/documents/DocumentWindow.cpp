#include "documents/DocumentWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileSystemWatcher>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QStackedLayout>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>

#include "common/ItemText.h"
#include "documents/ConsistEditorView.h"
#include "documents/ConsistFiles.h"
#include "documents/ConsistList.h"
#include "documents/View3DPage.h"
#include "platform/Paths.h"
#include "ui/QtText.h"
#include "ui/WindowHost.h"

namespace vantor {

namespace {

constexpr const char* kCloseQuestion =
    "Consist has changed.  All changes will be lost if you do not save it.  Do you want to save it "
    "before closing?";
constexpr const char* kCancelQuestion =
    "Consist has changed.  All changes will be lost if you do not save it.  Do you want to save it "
    "before closing the consist?";
constexpr const char* kRemoveAllTitle = "Remove All";
constexpr const char* kViewQuestion =
    "Consist has changed.  Do you want to save it before viewing the consist?";

// A document window as the save operation sees it.
class WindowSaveTarget : public ConsistSaveTarget {
public:
    explicit WindowSaveTarget(DocumentWindow& window) : m_window(window) {}
    [[nodiscard]] std::string FileName() const override { return m_window.FileName(); }
    void SetFileName(const std::string& fileName) override { m_window.SetFileName(fileName); }
    void SetCaption(const std::string& caption) override { m_window.setWindowTitle(Q(caption)); }
    bool SaveForm(bool quiet) override { return m_window.SaveForm(quiet); }

private:
    DocumentWindow& m_window;
};

}  // namespace

DocumentWindow::DocumentWindow(WindowHost& host, QWidget* parent) : QWidget(parent), m_host(host) {
    setObjectName("frmDocument");
    setAttribute(Qt::WA_DeleteOnClose);

    m_consists = new QTreeWidget(this);
    m_consists->setObjectName("lvConsists");
    m_consists->setRootIsDecorated(false);
    m_consists->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_consists->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_consists->setHeaderLabels({"Consist File"});
    m_consists->setContextMenuPolicy(Qt::CustomContextMenu);
    m_consists->installEventFilter(this);
    connect(m_consists, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* row) {
        if (row != nullptr) {
            EditConsist(S(row->text(0)));
        }
    });
    connect(m_consists, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        m_host.PopupMenu(ContextMenu::Consist, m_consists->viewport()->mapToGlobal(at));
    });

    m_editorView = new ConsistEditorView(this);
    connect(m_editorView, &ConsistEditorView::moveClicked, this, &DocumentWindow::MoveClick);
    connect(m_editorView, &ConsistEditorView::actionClicked, this, &DocumentWindow::ActionClick);
    connect(m_editorView, &ConsistEditorView::vehicleSelected, this,
            [this](int row) { m_editor.SelectRow(row); });
    connect(m_editorView, &ConsistEditorView::listFocused, this,
            [this](bool vehicles) { m_editor.SetConsistListActive(vehicles); });
    connect(m_editorView, &ConsistEditorView::stockHeaderClicked, this, [this](int column) {
        m_stockSort.Click(column);
        m_editorView->ShowStock(m_stockRows, m_stockSort);
    });
    connect(m_editorView, &ConsistEditorView::stockDragged, this,
            [this](bool started, int position) {
                const auto row = m_editorView->StockAt(position);
                m_host.ShowStatus((started ? "Dragging " : "Dragged ") +
                                  (row ? row->type : std::string()));
            });
    connect(m_editorView, &ConsistEditorView::stockDropped, this, [this](int position, int row) {
        const auto stock = m_editorView->StockAt(position);
        if (m_mode != DocumentMode::Consist || !stock) {
            return;
        }
        const std::string refused =
            m_editor.AddAt(*stock, row == 0 ? static_cast<int>(m_editor.Rows().size()) + 1 : row);
        if (!refused.empty()) {
            m_host.Services().prompts->Message(MessageIcon::Critical, "Add Stock", refused);
        }
        ShowEditor();
        if (m_editor.Acted()) {
            setWindowTitle(Q(m_editor.Caption()));
            m_editorView->FocusVehicles();
        }
    });
    connect(m_editorView, &ConsistEditorView::contextMenuAsked, this,
            [this](bool vehicles, const QPoint& at) {
                m_host.PopupMenu(vehicles ? ContextMenu::Consist : ContextMenu::Stock, at);
            });

    m_pending = new QLabel(this);
    m_pending->setAlignment(Qt::AlignCenter);
    m_pending->setWordWrap(true);

    m_pages = new QStackedLayout(this);
    m_pages->addWidget(m_consists);
    m_pages->addWidget(m_editorView);
    m_pages->addWidget(m_pending);
    m_view3d = new View3DPage(
        m_host, [this](const std::string& caption) { setWindowTitle(Q(caption)); }, this);
    m_pages->addWidget(m_view3d);
    resize(720, 420);
}

std::string DocumentWindow::InstallFolder() const {
    return m_host.Services().installation->MSTSPath();
}

void DocumentWindow::LetEventsRun() const {
    if (m_host.Services().processEvents) {
        m_host.Services().processEvents();
    }
}

void DocumentWindow::SetMode(DocumentMode mode) {
    m_mode = mode;
    ShowModeControls();
    if (!m_loaded) {
        m_loaded = true;
        LoadForm();
    }
    LetEventsRun();
}

void DocumentWindow::ShowModeControls() {
    if (m_mode == DocumentMode::ConsistList) {
        m_pages->setCurrentWidget(m_consists);
    } else if (m_mode == DocumentMode::Consist) {
        m_pages->setCurrentWidget(m_editorView);
    } else if (m_mode == DocumentMode::Consist3D || m_mode == DocumentMode::Shape3D) {
        m_pages->setCurrentWidget(m_view3d);
    } else {
        m_pending->setText("");
        m_pages->setCurrentWidget(m_pending);
    }
}

void DocumentWindow::LoadForm() {
    if (m_mode == DocumentMode::ConsistList) {
        LoadConsistList();
    } else if (m_mode == DocumentMode::Consist) {
        LoadConsistMode();
    } else if (m_mode == DocumentMode::Consist3D || m_mode == DocumentMode::Shape3D) {
        m_view3d->Load(m_mode, m_fileName, m_item);
        if (m_closeAfterRender) {
            m_closeAfterRender = false;
            if (auto* window = parentWidget()) {
                window->close();
            } else {
                close();
            }
        }
    }
}

// ---------------------------------------------------------------------------
// Mode 0: the consist list

void DocumentWindow::LoadConsistList() {
    setWindowTitle(Q(ConsistListCaption(m_windowNumber, m_filter)));
    // The rows selected before stay selected when they are still there.
    const auto selected = SelectedConsists();
    const std::string current = CurrentConsist();
    m_consists->clear();
    for (const std::string& name : ListConsists(InstallFolder(), m_filter)) {
        auto* row = new QTreeWidgetItem(QStringList{Q(name)});
        m_consists->addTopLevelItem(row);
        if (name == current) {
            m_consists->setCurrentItem(row, 0, QItemSelectionModel::NoUpdate);
        }
        row->setSelected(std::find(selected.begin(), selected.end(), name) != selected.end());
    }
    m_consists->header()->setStretchLastSection(true);
    WatchConsistFolder();
}

void DocumentWindow::WatchConsistFolder() {
    if (m_watcher == nullptr) {
        m_watcher = new QFileSystemWatcher(this);
        m_refresh = new QTimer(this);
        m_refresh->setSingleShot(true);
        // A copy of many files comes as many changes: one refresh after they settle.
        m_refresh->setInterval(300);
        connect(m_watcher, &QFileSystemWatcher::directoryChanged, m_refresh,
                qOverload<>(&QTimer::start));
        connect(m_refresh, &QTimer::timeout, this, [this] {
            if (m_mode == DocumentMode::ConsistList) {
                LoadConsistList();
            }
        });
    }
    const auto folder = platform::ResolvePath(InstallFolder() + "\\Trains\\Consists");
    const QStringList watched = m_watcher->directories();
    if (folder && watched == QStringList{Q(*folder)}) {
        return;
    }
    if (!watched.isEmpty()) {
        m_watcher->removePaths(watched);
    }
    if (folder) {
        m_watcher->addPath(Q(*folder));
    }
}

ReportContent DocumentWindow::PrintContent() const {
    const std::string caption = S(windowTitle());
    switch (m_mode) {
        case DocumentMode::ConsistList:
            return ConsistListReport(caption, ConsistRows());
        case DocumentMode::Consist:
            return ConsistReport(caption, m_editor.Rows());
        default:
            return ReportContent{m_mode, {}, {}};
    }
}

std::vector<std::string> DocumentWindow::ConsistRows() const {
    std::vector<std::string> rows;
    rows.reserve(static_cast<std::size_t>(m_consists->topLevelItemCount()));
    for (int i = 0; i < m_consists->topLevelItemCount(); ++i) {
        rows.push_back(S(m_consists->topLevelItem(i)->text(0)));
    }
    return rows;
}

std::string DocumentWindow::CurrentConsist() const {
    const QTreeWidgetItem* current = m_consists->currentItem();
    return m_mode == DocumentMode::ConsistList && current != nullptr ? S(current->text(0))
                                                                     : std::string();
}

std::string DocumentWindow::SelectedConsist() const {
    const QTreeWidgetItem* current = m_consists->currentItem();
    if (current != nullptr && current->isSelected()) {
        return S(current->text(0));
    }
    const auto selected = SelectedConsists();
    return selected.empty() ? std::string() : selected.front();
}

std::vector<std::string> DocumentWindow::SelectedConsists() const {
    std::vector<std::string> names;
    for (int i = 0; i < m_consists->topLevelItemCount(); ++i) {
        if (m_consists->topLevelItem(i)->isSelected()) {
            names.push_back(S(m_consists->topLevelItem(i)->text(0)));
        }
    }
    return names;
}

void DocumentWindow::EditConsist(const std::string& name) {
    m_host.OpenDocumentWindow(ConsistPath(InstallFolder(), name), DocumentMode::Consist,
                              "Consist - " + name, nullptr);
}

void DocumentWindow::ViewConsist(const std::string& name) {
    m_host.OpenDocumentWindow(ConsistPath(InstallFolder(), name), DocumentMode::Consist3D,
                              "Consist - " + name, nullptr);
}

bool DocumentWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_consists && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            const bool view = (key->modifiers() &
                               (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) != 0;
            for (const std::string& name : SelectedConsists()) {
                view ? ViewConsist(name) : EditConsist(name);
            }
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// Mode 1: a consist being edited

void DocumentWindow::LoadConsistMode() {
    m_loadFailed = false;
    // A refresh reads the stock files again: they may have changed.
    m_facts.Clear();
    if (!m_fileName.empty() && platform::FileExists(m_fileName)) {
        try {
            m_editor.Load(m_fileName);
            setWindowTitle(Q(m_editor.Caption()));
        } catch (const std::exception& e) {
            // A consist that cannot be read opens no editor: an empty one would claim
            // changes the user never made and invite a save over the broken file.
            m_host.Services().prompts->Message(MessageIcon::Critical, "Load Consist", e.what());
            m_loadFailed = true;
            return;
        }
    } else {
        m_editor.New();
    }
    LoadStockList();
    ShowEditor();
}

void DocumentWindow::LoadStockList() {
    m_host.ShowStatus(kStockLoadingStatus);
    if (m_stockBuilt) {
        return;
    }
    m_stockBuilt = true;
    m_stockRows.clear();
    m_editorView->ShowStock(m_stockRows, m_stockSort);
    // Rows show folder by folder, in batches so that a large installation does not
    // spend its time adding rows one folder at a time; the first folder shows at once.
    constexpr std::size_t kBatch = 500;
    std::size_t shown = 0;
    ScanStockFolders(InstallFolder(), m_filter, [&](std::vector<StockRow>&& folderRows) {
        m_stockRows.insert(m_stockRows.end(), std::make_move_iterator(folderRows.begin()),
                           std::make_move_iterator(folderRows.end()));
        if (shown == 0 || m_stockRows.size() - shown >= kBatch) {
            m_editorView->AppendStock(std::vector<StockRow>(
                m_stockRows.begin() + static_cast<std::ptrdiff_t>(shown), m_stockRows.end()));
            shown = m_stockRows.size();
        }
        LetEventsRun();
    });
    m_editorView->ShowStock(m_stockRows, m_stockSort);
    m_host.ShowStatus(kStockDoneStatus);
}

void DocumentWindow::ReloadAllStock() {
    m_stockBuilt = false;
    LoadStockList();
}

void DocumentWindow::ShowEditor() {
    m_editorView->ShowConsist(m_editor);
    m_editorView->ShowFacts(
        FactsSummary(ComputeFacts(m_editor, InstallFolder(), m_facts), m_editor.Rows()));
    emit consistChanged();
}

void DocumentWindow::ConsistChanged() {
    ShowEditor();
    setWindowTitle(Q(m_editor.Caption()));
}

bool DocumentWindow::CanUndo() const {
    return m_mode == DocumentMode::Consist && m_editor.CanUndo();
}

bool DocumentWindow::CanRedo() const {
    return m_mode == DocumentMode::Consist && m_editor.CanRedo();
}

bool DocumentWindow::Undo() {
    if (m_mode != DocumentMode::Consist || !m_editor.Undo()) {
        return false;
    }
    ConsistChanged();
    return true;
}

bool DocumentWindow::Redo() {
    if (m_mode != DocumentMode::Consist || !m_editor.Redo()) {
        return false;
    }
    ConsistChanged();
    return true;
}

void DocumentWindow::MoveClick(MoveCommand command) {
    if (m_mode != DocumentMode::Consist) {
        return;
    }
    if (command == MoveCommand::RemoveAll && m_editor.Rows().size() > 1 &&
        m_host.Services().prompts->Message(
            MessageIcon::Question, kRemoveAllTitle,
            "Remove all " + std::to_string(m_editor.Rows().size()) + " vehicles from the consist?",
            MessageButtons::YesNo) != Answer::Yes) {
        return;
    }
    std::string refused;
    try {
        refused = m_editor.Move(
            command, command == MoveCommand::Add ? m_editorView->SelectedStock() : std::nullopt);
    } catch (const std::exception& e) {
        refused = e.what();
    }
    if (!refused.empty()) {
        m_host.Services().prompts->Message(MessageIcon::Critical, "Add Stock", refused);
    }
    // A command that found nothing to do changes only Changed and the two buttons.
    if (!m_editor.Acted()) {
        ShowEditor();
        return;
    }
    ConsistChanged();
    m_editorView->FocusVehicles();
    m_editor.SetConsistListActive(true);
    LetEventsRun();
}

std::string DocumentWindow::SelectedItem() const {
    if (m_mode != DocumentMode::Consist) {
        return {};
    }
    QTreeWidget* list =
        m_editor.ConsistListActive() ? m_editorView->VehicleList() : m_editorView->StockList();
    const auto selected = list->selectedItems();
    if (selected.isEmpty()) {
        return {};
    }
    const QTreeWidgetItem* row = selected[0];
    return StockFilePath(InstallFolder(),
                         StockRow{S(row->text(0)), S(row->text(1)), S(row->text(2))});
}

void DocumentWindow::ActionClick(ActionCommand command) {
    switch (command) {
        case ActionCommand::Cancel:
            CancelClicked();
            break;
        case ActionCommand::Apply:
            SaveForm(false);
            break;
        case ActionCommand::Ok:
            SaveForm(false);
            if (auto* window = parentWidget()) {
                window->close();
            } else {
                close();
            }
            break;
        case ActionCommand::ViewConsist:
            ViewConsist3D();
            break;
        case ActionCommand::ViewShape:
            ViewShape();
            break;
    }
}

bool DocumentWindow::SaveForm(bool quiet) {
    if (m_mode != DocumentMode::Consist || m_fileName.empty()) {
        return false;
    }
    const bool saved = SaveConsistForm(m_editor, m_fileName, quiet, *m_host.Services().prompts);
    ShowEditor();
    return saved;
}

bool DocumentWindow::SaveConsist(bool quiet) {
    if (m_mode != DocumentMode::Consist) {
        return false;
    }
    WindowSaveTarget target(*this);
    return m_host.SaveConsist(target, quiet);
}

void DocumentWindow::CancelClicked() {
    if (m_editor.Changed()) {
        const Answer answer = m_host.Services().prompts->Message(
            MessageIcon::Question, "Cancel", kCancelQuestion, MessageButtons::YesNoCancel);
        if (answer == Answer::Cancel) {
            return;
        }
        if (answer == Answer::Yes) {
            SaveConsist(false);
        } else {
            m_editor.SetChanged(false);
        }
    }
    if (auto* window = parentWidget()) {
        window->close();
    } else {
        close();
    }
}

void DocumentWindow::ViewConsist3D() {
    std::string target = m_fileName;
    if (m_editor.Changed()) {
        const Answer answer = m_host.Services().prompts->Message(
            MessageIcon::Question, "View Consist", kViewQuestion, MessageButtons::YesNoCancel);
        if (answer == Answer::Cancel) {
            return;
        }
        if (answer == Answer::Yes) {
            if (!SaveConsist(false)) {
                return;
            }
            target = m_fileName;
        } else {
            const std::string previous = m_fileName;
            const std::string temporary = m_host.TemporaryConsistPath();
            m_fileName = temporary;
            if (platform::FileExists(temporary)) {
                try {
                    platform::RemoveFile(temporary);
                } catch (const std::exception&) {
                    // The save below replaces the file anyway.
                }
            }
            const bool saved = SaveConsist(true);
            m_fileName = previous;
            m_editor.SetChanged(true);
            if (!saved) {
                return;
            }
            target = temporary;
        }
    }
    m_host.OpenDocumentWindow(target, DocumentMode::Consist3D, S(windowTitle()), nullptr);
}

void DocumentWindow::ViewShape() {
    QTreeWidget* list =
        m_editor.ConsistListActive() ? m_editorView->VehicleList() : m_editorView->StockList();
    const auto selected =
        m_mode == DocumentMode::Consist ? list->selectedItems() : QList<QTreeWidgetItem*>();
    if (selected.isEmpty()) {
        m_host.Services().prompts->Message(MessageIcon::Critical, "View Shape",
                                           "Nothing selected to view");
        return;
    }
    const QTreeWidgetItem* row = selected[0];
    const std::string folder = S(row->text(1));
    const std::string stockFile = SelectedItem();
    corvane::TSFile file(platform::HostPath(stockFile));
    file.Load();
    const auto wagon = file.Child("Wagon");
    const auto shape = wagon ? wagon->Child("WagonShape") : nullptr;
    if (!shape || shape->NumParameters() < 1) {
        m_host.Services().prompts->Message(MessageIcon::Critical, "View Shape",
                                           stockFile + " names no shape.");
        return;
    }
    m_host.OpenDocumentWindow(
        InstallFolder() + "\\Trains\\Trainset\\" + folder + "\\" + shape->Parameter(0),
        DocumentMode::Shape3D, S(row->text(0)) + " - " + S(row->text(2)), nullptr);
}

bool DocumentWindow::AgreeToClose() {
    m_closeAgreed = MayClose();
    return m_closeAgreed;
}

bool DocumentWindow::MayClose() {
    if (m_closeAgreed || m_mode != DocumentMode::Consist || !m_editor.Changed()) {
        return true;
    }
    const Answer answer = m_host.Services().prompts->Message(
        MessageIcon::Question, "Close", kCloseQuestion, MessageButtons::YesNoCancel);
    if (answer == Answer::Cancel) {
        return false;
    }
    if (answer == Answer::Yes) {
        // A save the user cancelled leaves the window open rather than losing the edits.
        return SaveConsist(false);
    }
    return true;
}

void DocumentWindow::closeEvent(QCloseEvent* event) {
    if (!MayClose()) {
        event->ignore();
        return;
    }
    if (m_view3d->Busy()) {
        // A render lets window events run on its way; the window goes when it ends.
        m_view3d->Close();
        m_closeAfterRender = true;
        event->ignore();
        return;
    }
    m_view3d->Close();
    event->accept();
}

void DocumentWindow::ResetView() {
    m_view3d->ResetView();
}

std::string DocumentWindow::SaveSnapshot(const std::string& screenShotDir) {
    if (m_mode != DocumentMode::Consist3D && m_mode != DocumentMode::Shape3D) {
        return {};
    }
    return m_view3d->SaveSnapshot(m_mode, screenShotDir);
}

void DocumentWindow::ShowProperties() {
    if (m_mode == DocumentMode::Consist3D || m_mode == DocumentMode::Shape3D) {
        m_host.OpenProperties(S(windowTitle()), m_view3d->TexturesReport(m_mode));
        return;
    }
    if (m_mode != DocumentMode::ConsistList) {
        return;
    }
    const std::string title = m_filter == "*"
                                  ? std::string("All Consists Properties")
                                  : "All Consists Properties (Filtered on " + m_filter + ")";
    m_host.Services().prompts->Message(MessageIcon::Information, title,
                                       "Path:\t" + InstallFolder() +
                                           "\\Trains\\Consists\r\n\r\nCount:\t" +
                                           std::to_string(m_consists->topLevelItemCount()));
}

}  // namespace vantor
