// The main window's desktop manners: shortcuts and icons, menu items enabled by
// the active window, undo and redo, where child windows go, the first start
// without an installation, and closing with unsaved consists.

#include <QAction>
#include <QEvent>
#include <QKeySequence>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>
#include <algorithm>

#include "documents/DocumentWindow.h"
#include "platform/Paths.h"
#include "shell/FileOpening.h"
#include "shell/MainWindow.h"
#include "shell/Version.h"
#include "ui/DesktopIcons.h"
#include "validation/ResultsWindowWidget.h"

namespace vantor {

namespace {

// A menu item's standard keys and its icon: a freedesktop theme name and the
// style's picture for desktops without a theme.
struct ActionLook {
    const char* name;
    const char* icon;
    QKeySequence::StandardKey key;
    QStyle::StandardPixmap fallback;
};

constexpr ActionLook kLooks[] = {
    {"mnuFileNewConsist", "document-new", QKeySequence::New, QStyle::SP_FileIcon},
    {"mnuFileOpen", "document-open", QKeySequence::Open, QStyle::SP_DialogOpenButton},
    {"mnuFileClose", "window-close", QKeySequence::Close, QStyle::SP_DialogCloseButton},
    {"mnuFileSave", "document-save", QKeySequence::Save, QStyle::SP_DialogSaveButton},
    {"mnuFileSaveAs", "document-save-as", QKeySequence::SaveAs, QStyle::SP_DialogSaveButton},
    {"mnuFileProperties", "document-properties", QKeySequence::UnknownKey,
     QStyle::SP_FileDialogInfoView},
    {"mnuFilePrint", "document-print", QKeySequence::Print, QStyle::SP_FileDialogDetailedView},
    {"mnuFileExit", "application-exit", QKeySequence::UnknownKey, QStyle::SP_DialogCloseButton},
    {"mnuEditUndo", "edit-undo", QKeySequence::Undo, QStyle::SP_ArrowBack},
    {"mnuEditRedo", "edit-redo", QKeySequence::Redo, QStyle::SP_ArrowForward},
    // Cut deletes the consist's file: no key does that by accident.
    {"mnuEditCut", "edit-delete", QKeySequence::UnknownKey, QStyle::SP_TrashIcon},
    {"mnuEditCopy", "edit-copy", QKeySequence::Copy, QStyle::SP_FileIcon},
    {"mnuEditPaste", "edit-paste", QKeySequence::Paste, QStyle::SP_FileIcon},
    {"mnuViewRefresh", "view-refresh", QKeySequence::Refresh, QStyle::SP_BrowserReload},
    {"mnuHelpContents", "help-contents", QKeySequence::HelpContents, QStyle::SP_DialogHelpButton},
    {"mnuHelpAbout", "help-about", QKeySequence::UnknownKey, QStyle::SP_MessageBoxInformation},
};

// Returns a rectangle of a size moved into an area, keeping as much of the size as fits.
QRect Inside(QRect frame, const QSize& area) {
    frame.setSize(frame.size().boundedTo(area));
    frame.moveLeft(std::clamp(frame.left(), 0, area.width() - frame.width()));
    frame.moveTop(std::clamp(frame.top(), 0, area.height() - frame.height()));
    return frame;
}

}  // namespace

void MainWindow::ApplyShortcutsAndIcons() {
    for (const ActionLook& look : kLooks) {
        auto* action = findChild<QAction*>(look.name);
        if (action == nullptr) {
            continue;
        }
        if (look.key != QKeySequence::UnknownKey) {
            action->setShortcuts(look.key);
        }
        // Some desktops bind no key to Save As; the common one then.
        if (look.key == QKeySequence::SaveAs && action->shortcuts().isEmpty()) {
            action->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
        }
        action->setIcon(ThemeIcon(look.icon, *style(), look.fallback));
    }
    // Next and previous window: kept on the main window so that the keys work
    // while the Window menu is rebuilt.
    const auto windowKey = [this](const char* name, const char* caption,
                                  QKeySequence::StandardKey key, void (QMdiArea::*step)()) {
        auto* action = new QAction(caption, this);
        action->setObjectName(name);
        action->setShortcuts(key);
        connect(action, &QAction::triggered, m_area, step);
        addAction(action);
        return action;
    };
    m_nextWindow = windowKey("mnuWindowNext", "Ne&xt Window", QKeySequence::NextChild,
                             &QMdiArea::activateNextSubWindow);
    m_previousWindow = windowKey("mnuWindowPrevious", "Pre&vious Window",
                                 QKeySequence::PreviousChild, &QMdiArea::activatePreviousSubWindow);
    connect(m_area, &QMdiArea::subWindowActivated, this, [this] { UpdateActions(); });
    m_area->viewport()->installEventFilter(this);
    UpdateActions();
}

void MainWindow::UpdateActions() {
    QWidget* active = ActiveChild();
    auto* document = qobject_cast<DocumentWindow*>(active);
    const bool results = qobject_cast<ResultsWindowWidget*>(active) != nullptr;
    const DocumentMode mode = document != nullptr ? document->Mode() : DocumentMode::Results;
    const bool list = mode == DocumentMode::ConsistList;
    const bool editor = mode == DocumentMode::Consist;
    const bool view = mode == DocumentMode::Consist3D || mode == DocumentMode::Shape3D;
    const auto enable = [this](const char* name, bool enabled) {
        if (auto* action = findChild<QAction*>(name)) {
            action->setEnabled(enabled);
        }
    };
    enable("mnuFileClose", active != nullptr);
    enable("mnuFileSave", editor || view);
    enable("mnuFileSaveAs", editor);
    enable("mnuFileSaveAll", !m_documents.empty());
    enable("mnuFilePrint", active != nullptr);
    enable("mnuFilePrintPreview", active != nullptr);
    enable("mnuFileProperties", list || results);
    enable("mnuEditCut", list);
    enable("mnuEditCopy", list);
    enable("mnuEditPaste", list);
    // Undo outside a consist editor says that it is not there yet.
    enable("mnuEditUndo", !editor || document->CanUndo());
    enable("mnuEditRedo", editor && document->CanRedo());
    enable("mnuConsistEdit", list || mode == DocumentMode::Consist3D);
    enable("mnuConsistView", list || editor);
    enable("mnuViewFilter", list || editor);
    enable("mnuViewRefresh", document != nullptr);
    enable("mnuViewReset", view);
    const bool several = m_area->subWindowList().size() > 1;
    if (m_nextWindow != nullptr) {
        m_nextWindow->setEnabled(several);
        m_previousWindow->setEnabled(several);
    }
}

void MainWindow::EditUndo() {
    if (DocumentWindow* document = ActiveDocument();
        document != nullptr && document->Mode() == DocumentMode::Consist) {
        document->Undo();
    } else {
        m_commands.EditUndo();
    }
    UpdateActions();
}

void MainWindow::EditRedo() {
    if (DocumentWindow* document = ActiveDocument()) {
        document->Redo();
    }
    UpdateActions();
}

bool MainWindow::AgreeToCloseAll() {
    const std::vector<DocumentWindow*> documents = Documents();
    for (std::size_t i = 0; i < documents.size(); ++i) {
        if (!documents[i]->AgreeToClose()) {
            for (std::size_t j = 0; j <= i; ++j) {
                documents[j]->WithdrawCloseAgreement();
            }
            return false;
        }
    }
    return true;
}

void MainWindow::PlaceChild(QMdiSubWindow* window, QSize wanted) {
    const QSize area = m_area->viewport()->size();
    int open = 0;
    for (QMdiSubWindow* other : m_area->subWindowList()) {
        open += other != window && other->isVisible() && !other->isMinimized() ? 1 : 0;
    }
    const QSize size = wanted.boundedTo(area);
    // Each window steps down and right by a title bar's height, back to the top
    // left when the next step would leave the area.
    const int step = std::max(20, window->style()->pixelMetric(QStyle::PM_TitleBarHeight));
    const int room = std::min(area.width() - size.width(), area.height() - size.height());
    const int places = std::max(1, room / step + 1);
    const int offset = (open % places) * step;
    window->setGeometry(Inside(QRect(QPoint(offset, offset), size), area));
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    // A smaller area keeps every window inside it.
    if (watched == m_area->viewport() && event->type() == QEvent::Resize) {
        const QSize area = m_area->viewport()->size();
        for (QMdiSubWindow* window : m_area->subWindowList()) {
            if (!window->isMaximized() && !window->isMinimized() && area.isValid() &&
                !area.isEmpty()) {
                window->setGeometry(Inside(window->geometry(), area));
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::WelcomeIfNotInstalled() {
    if (m_services.installation->MSTSInstalled()) {
        return;
    }
    m_services.prompts->Message(
        MessageIcon::Information, AppCaption(),
        "No Microsoft Train Simulator installation was found.  Choose the folder it is "
        "installed in: the folder that holds Trains and Routes.");
    SetMSTSLocation();
}

std::string MainWindow::ConsistFolder() const {
    return DialogStartFolder(InstallFolder(), "\\Trains\\Consists");
}

}  // namespace vantor
