#include "documents/DocumentWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QStackedLayout>
#include <QTreeWidget>

#include "documents/ConsistEditorView.h"
#include "documents/ConsistFiles.h"
#include "documents/ConsistList.h"
#include "platform/Paths.h"
#include "shell/InstallPaths.h"
#include "shell/MainWindow.h"
#include "shell/QtPrompter.h"

namespace vantor {

namespace {

constexpr const char* kCloseQuestion =
    "Consist has changed.  All changes will be lost if you do not save it.  Do you want to save it "
    "before closing?";
constexpr const char* kCancelQuestion =
    "Consist has changed.  All changes will be lost if you do not save it.  Do you want to save it "
    "before closing the consist?";
constexpr const char* kViewQuestion =
    "Consist has changed.  Do you want to save it before viewing the consist?";

}  // namespace

DocumentWindow::DocumentWindow(MainWindow& main, QWidget* parent) : QWidget(parent), m_main(main) {
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
        m_main.ConsistMenu()->popup(m_consists->viewport()->mapToGlobal(at));
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
                m_main.ShowStatus((started ? "Dragging " : "Dragged ") +
                                  (row ? row->type : std::string()));
            });
    connect(m_editorView, &ConsistEditorView::contextMenuAsked, this,
            [this](bool vehicles, const QPoint& at) {
                (vehicles ? m_main.ConsistMenu() : m_main.StockMenu())->popup(at);
            });

    m_pending = new QLabel(this);
    m_pending->setAlignment(Qt::AlignCenter);
    m_pending->setWordWrap(true);

    m_pages = new QStackedLayout(this);
    m_pages->addWidget(m_consists);
    m_pages->addWidget(m_editorView);
    m_pages->addWidget(m_pending);
    resize(720, 420);
}

void DocumentWindow::SetMode(int mode) {
    m_mode = mode;
    ShowModeControls();
    if (!m_loaded) {
        m_loaded = true;
        LoadForm();
    }
    if (m_main.Services().processEvents) {
        m_main.Services().processEvents();
    }
}

void DocumentWindow::ShowModeControls() {
    if (m_mode == 0) {
        m_pages->setCurrentWidget(m_consists);
    } else if (m_mode == 1) {
        m_pages->setCurrentWidget(m_editorView);
    } else {
        m_pending->setText(m_mode == 2 ? "Showing consists in 3D is not available in this version."
                           : m_mode == 3 ? "Showing shapes in 3D is not available in this version."
                                         : "");
        m_pages->setCurrentWidget(m_pending);
    }
}

void DocumentWindow::LoadForm() {
    if (m_mode == 0) {
        LoadConsistList();
    } else if (m_mode == 1) {
        LoadConsistMode();
    }
}

// ---------------------------------------------------------------------------
// Mode 0: the consist list

void DocumentWindow::LoadConsistList() {
    setWindowTitle(Q(ConsistListCaption(m_windowNumber, m_filter)));
    m_consists->clear();
    for (const std::string& name : ListConsists(MSTSPath(), m_filter)) {
        m_consists->addTopLevelItem(new QTreeWidgetItem(QStringList{Q(name)}));
    }
    m_consists->header()->setStretchLastSection(true);
}

std::vector<std::string> DocumentWindow::ConsistRows() const {
    std::vector<std::string> rows;
    for (int i = 0; i < m_consists->topLevelItemCount(); ++i) {
        rows.push_back(S(m_consists->topLevelItem(i)->text(0)));
    }
    return rows;
}

std::string DocumentWindow::CurrentConsist() const {
    const QTreeWidgetItem* current = m_consists->currentItem();
    return m_mode == 0 && current != nullptr ? S(current->text(0)) : std::string();
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
    m_main.NewDocumentWindow(MSTSPath() + "\\Trains\\Consists\\" + name + ".con", 1,
                             "Consist - " + name, nullptr);
}

void DocumentWindow::ViewConsist(const std::string& name) {
    m_main.NewDocumentWindow(MSTSPath() + "\\Trains\\Consists\\" + name + ".con", 2,
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
    if (!m_fileName.empty() && platform::FileExists(m_fileName)) {
        try {
            m_editor.Load(m_fileName);
        } catch (const std::exception& e) {
            // A consist that cannot be read is not replaced: the window starts a new
            // consist that has no file, so nothing is written over the broken one.
            m_main.Services().prompts->Message(MessageIcon::Critical, "Load Consist", e.what());
            m_fileName.clear();
            m_editor.New();
        }
    } else {
        m_editor.New();
    }
    LoadStockList();
    ShowEditor();
}

void DocumentWindow::LoadStockList() {
    m_main.ShowStatus(kStockLoadingStatus);
    if (m_stockBuilt) {
        return;
    }
    m_stockBuilt = true;
    const auto& processEvents = m_main.Services().processEvents;
    m_stockRows = ScanStock(MSTSPath(), m_filter, [&processEvents] {
        if (processEvents) {
            processEvents();
        }
    });
    m_editorView->ShowStock(m_stockRows, m_stockSort);
    m_main.ShowStatus(kStockDoneStatus);
}

void DocumentWindow::ReloadAllStock() {
    m_stockBuilt = false;
    LoadStockList();
}

void DocumentWindow::ShowEditor() {
    m_editorView->ShowConsist(m_editor);
}

void DocumentWindow::MoveClick(int index) {
    if (m_mode != 1) {
        return;
    }
    const auto command = static_cast<MoveCommand>(index);
    std::string refused;
    try {
        refused = m_editor.Move(command, index == 0 ? m_editorView->SelectedStock() : std::nullopt);
    } catch (const std::exception& e) {
        refused = e.what();
    }
    if (!refused.empty()) {
        m_main.Services().prompts->Message(MessageIcon::Critical, "Add Stock", refused);
    }
    ShowEditor();
    if (index >= 0 && index <= 5) {
        setWindowTitle(Q(m_editor.Caption()));
        m_editorView->FocusVehicles();
        m_editor.SetConsistListActive(true);
        if (m_main.Services().processEvents) {
            m_main.Services().processEvents();
        }
    }
}

std::string DocumentWindow::SelectedItem() const {
    if (m_mode != 1) {
        return {};
    }
    QTreeWidget* list =
        m_editor.ConsistListActive() ? m_editorView->VehicleList() : m_editorView->StockList();
    const auto selected = list->selectedItems();
    if (selected.isEmpty()) {
        return {};
    }
    const QTreeWidgetItem* row = selected[0];
    return MSTSPath() + "\\Trains\\Trainset\\" + S(row->text(1)) + "\\" + S(row->text(2)) + "." +
           S(row->text(0).left(3).toLower());
}

void DocumentWindow::ActionClick(int index) {
    switch (index) {
        case 0:
            CancelClicked();
            break;
        case 1:
            SaveForm(false);
            break;
        case 2:
            SaveForm(false);
            if (auto* window = parentWidget()) {
                window->close();
            } else {
                close();
            }
            break;
        case 3:
            ViewConsist3D();
            break;
        case 4:
            ViewShape();
            break;
        default:
            break;
    }
}

bool DocumentWindow::SaveForm(bool quiet) {
    if (m_mode != 1 || m_fileName.empty()) {
        return false;
    }
    const bool saved = SaveConsistForm(m_editor, m_fileName, quiet, *m_main.Services().prompts);
    ShowEditor();
    return saved;
}

void DocumentWindow::CancelClicked() {
    if (m_editor.Changed()) {
        const Answer answer = m_main.Services().prompts->Message(
            MessageIcon::Question, "Cancel", kCancelQuestion, MessageButtons::YesNoCancel);
        if (answer == Answer::Cancel) {
            return;
        }
        if (answer == Answer::Yes) {
            m_main.SaveCurrentConsist(false, this);
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
        const Answer answer = m_main.Services().prompts->Message(
            MessageIcon::Question, "View Consist", kViewQuestion, MessageButtons::YesNoCancel);
        if (answer == Answer::Cancel) {
            return;
        }
        if (answer == Answer::Yes) {
            if (!m_main.SaveCurrentConsist(false, this)) {
                return;
            }
            target = m_fileName;
        } else {
            const std::string previous = m_fileName;
            const std::string temporary = m_main.TemporaryConsistPath();
            m_fileName = temporary;
            if (platform::FileExists(temporary)) {
                try {
                    platform::RemoveFile(temporary);
                } catch (const std::exception&) {
                    // The save below replaces the file anyway.
                }
            }
            const bool saved = m_main.SaveCurrentConsist(true, this);
            m_fileName = previous;
            m_editor.SetChanged(true);
            if (!saved) {
                return;
            }
            target = temporary;
        }
    }
    m_main.NewDocumentWindow(target, 2, S(windowTitle()), nullptr);
}

void DocumentWindow::ViewShape() {
    QTreeWidget* list =
        m_editor.ConsistListActive() ? m_editorView->VehicleList() : m_editorView->StockList();
    const auto selected = m_mode == 1 ? list->selectedItems() : QList<QTreeWidgetItem*>();
    if (selected.isEmpty()) {
        m_main.Services().prompts->Message(MessageIcon::Critical, "View Shape",
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
        m_main.Services().prompts->Message(MessageIcon::Critical, "View Shape",
                                           stockFile + " names no shape.");
        return;
    }
    m_main.NewDocumentWindow(
        MSTSPath() + "\\Trains\\Trainset\\" + folder + "\\" + shape->Parameter(0), 3,
        S(row->text(0)) + " - " + S(row->text(2)), nullptr);
}

bool DocumentWindow::MayClose() {
    if (m_mode != 1 || !m_editor.Changed()) {
        return true;
    }
    const Answer answer = m_main.Services().prompts->Message(
        MessageIcon::Question, "Close", kCloseQuestion, MessageButtons::YesNoCancel);
    if (answer == Answer::Cancel) {
        return false;
    }
    if (answer == Answer::Yes) {
        // A save the user cancelled leaves the window open rather than losing the edits.
        return m_main.SaveCurrentConsist(false, this);
    }
    return true;
}

void DocumentWindow::closeEvent(QCloseEvent* event) {
    if (!MayClose()) {
        event->ignore();
        return;
    }
    event->accept();
}

void DocumentWindow::ResetView() {}

void DocumentWindow::ShowProperties() {
    if (m_mode != 0) {
        return;
    }
    const std::string title = m_filter == "*"
                                  ? std::string("All Consists Properties")
                                  : "All Consists Properties (Filtered on " + m_filter + ")";
    m_main.Services().prompts->Message(MessageIcon::Information, title,
                                       "Path:\t" + MSTSPath() +
                                           "\\Trains\\Consists\r\n\r\nCount:\t" +
                                           std::to_string(m_consists->topLevelItemCount()));
}

}  // namespace vantor
