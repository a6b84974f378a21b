// The main window's menus and toolbar, each made from one table.

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <algorithm>
#include <initializer_list>

#include "shell/MainWindow.h"
#include "ui/DesktopIcons.h"
#include "ui/QtText.h"

namespace vantor {

namespace {

// One item of a menu: its object name, caption and command; a null name is a separator.
struct MenuItem {
    const char* name;
    const char* caption = nullptr;
    std::function<void()> command;
    bool enabled = true;
};

const MenuItem kSeparator{nullptr, nullptr, {}, true};

// One toolbar button: the key its click runs, its tip, its icon (a freedesktop
// theme name and the style's picture without a theme), and the menu item whose
// command it runs and whose enabling it follows.
struct ToolbarButton {
    const char* key;
    const char* tip;
    const char* themeIcon;
    QStyle::StandardPixmap icon;
    const char* action;
};

constexpr ToolbarButton kToolbarButtons[] = {
    {"New", "New consist", "document-new", QStyle::SP_FileIcon, "mnuFileNewConsist"},
    {"Open", "Open", "document-open", QStyle::SP_DialogOpenButton, "mnuFileOpen"},
    {"Save", "Save", "document-save", QStyle::SP_DialogSaveButton, "mnuFileSave"},
    {"Print", "Print", "document-print", QStyle::SP_FileDialogDetailedView, "mnuFilePrint"},
    {"Cut", "Cut", "edit-delete", QStyle::SP_TrashIcon, "mnuEditCut"},
    {"Copy", "Copy", "edit-copy", QStyle::SP_FileIcon, "mnuEditCopy"},
    {"Paste", "Paste", "edit-paste", QStyle::SP_FileIcon, "mnuEditPaste"},
    {"Properties", "Edit consist", "document-edit", QStyle::SP_FileDialogInfoView,
     "mnuConsistEdit"},
    {"Render", "View consist in 3D", "video-display", QStyle::SP_ComputerIcon, "mnuConsistView"},
    {"Filter", "Filter", "view-filter", QStyle::SP_FileDialogListView, "mnuViewFilter"},
};

}  // namespace

QAction* MainWindow::AddAction(QMenu* menu, const char* name, const char* caption,
                               std::function<void()> command, bool enabled) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    action->setEnabled(enabled);
    connect(action, &QAction::triggered, this,
            [this, action, command = std::move(command)] { Run(S(action->text()), command); });
    return action;
}

void MainWindow::Run(const std::string& operation, const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& e) {
        std::string title = operation;
        title.erase(std::remove(title.begin(), title.end(), '&'), title.end());
        if (title.size() > 3 && title.compare(title.size() - 3, 3, "...") == 0) {
            title.resize(title.size() - 3);
        }
        m_services.prompts->Message(MessageIcon::Critical, title, e.what());
    }
}

void MainWindow::CreateMenus() {
    const auto addMenu = [this](QMenu* menu, std::initializer_list<MenuItem> items) {
        for (const MenuItem& item : items) {
            if (item.name == nullptr) {
                menu->addSeparator();
            } else {
                AddAction(menu, item.name, item.caption, item.command, item.enabled);
            }
        }
        return menu;
    };
    const auto newMenu = [this](QMenu* parent, const char* name, const char* caption) {
        QMenu* menu = parent != nullptr ? parent->addMenu(caption) : menuBar()->addMenu(caption);
        menu->setObjectName(name);
        return menu;
    };
    const auto check = [this](CheckCommand command) {
        return [this, command] {
            RunCheck([this, command](CheckContext& c) { return command(ActiveWindowInfo(), c); });
        };
    };

    QMenu* file = newMenu(nullptr, "mnuFile", "&File");
    addMenu(newMenu(file, "mnuFileNew", "&New"),
            {{"mnuFileNewConsist", "&Consist",
              [this] { NewDocumentByMode(DocumentMode::Consist, ""); }},
             {"mnuFileNewConsistList", "Consist &List Window",
              [this] { NewDocumentByMode(DocumentMode::ConsistList, ""); }}});
    addMenu(file, {{"mnuFileOpen", "&Open...", [this] { FileOpen(); }},
                   {"mnuFileClose", "&Close", [this] { FileClose(); }},
                   kSeparator,
                   {"mnuFileSave", "&Save", [this] { SaveCurrentConsist(false); }},
                   {"mnuFileSaveAs", "Save &As...", [this] { FileSaveAs(); }},
                   {"mnuFileSaveAll", "Save A&ll", [this] { FileSaveAll(); }},
                   kSeparator,
                   {"mnuFileProperties", "Propert&ies", [this] { FileProperties(); }},
                   kSeparator,
                   {"mnuFilePrint", "&Print...", [this] { PrintDocument(false); }},
                   {"mnuFilePrintPreview", "Print Pre&view...", [this] { PrintDocument(true); }},
                   kSeparator,
                   {"mnuFileSetLocation", "Set MSTS Location...", [this] { SetMSTSLocation(); }},
                   kSeparator,
                   {"mnuFileExit", "E&xit", [this] { close(); }}});

    addMenu(
        newMenu(nullptr, "mnuEdit", "&Edit"),
        {{"mnuEditUndo", "&Undo", [this] { EditUndo(); }},
         {"mnuEditRedo", "&Redo", [this] { EditRedo(); }},
         kSeparator,
         {"mnuEditCut", "Cu&t", [this] { EditCut(); }},
         {"mnuEditCopy", "&Copy", [this] { EditCopy(); }},
         {"mnuEditPaste", "&Paste", [this] { EditPaste(); }},
         {"mnuEditPasteSpecial", "Paste &Special...", [this] { m_commands.EditPasteSpecial(); }},
         kSeparator,
         {"mnuEditSetAssoc", "Set File Associations...", [this] { EditSetAssociations(); }}});

    QMenu* view = newMenu(nullptr, "mnuView", "&View");
    addMenu(view,
            {{"mnuViewToolbar", "&Toolbar",
              [this] { m_toolBar->setVisible(m_viewToolbar->isChecked()); }},
             {"mnuViewStatusBar", "Status &Bar",
              [this] { statusBar()->setVisible(m_viewStatusBar->isChecked()); }},
             kSeparator,
             {"mnuViewFilter", "&Filter...", [this] { ViewFilter(); }},
             {"mnuViewRefresh", "&Refresh", [this] { ViewRefresh(); }},
             {"mnuViewReset", "Reset &View", [this] { ViewReset(); }},
             kSeparator,
             {"mnuViewTS", "&MSTS", [this] { m_commands.ViewMSTS(); }},
             {"mnuViewTSE", "MSTS &Tools", [this] { m_commands.ViewMSTSTools(); }},
             {"mnuViewShapeViewer", "&Shape Viewer", [this] { m_commands.ViewShapeViewer(); }},
             kSeparator,
             {"mnuViewOptions", "&Options...", [this] { m_commands.ViewOptions(); }}});
    m_viewToolbar = view->findChild<QAction*>("mnuViewToolbar");
    m_viewStatusBar = view->findChild<QAction*>("mnuViewStatusBar");
    for (QAction* toggle : {m_viewToolbar, m_viewStatusBar}) {
        toggle->setCheckable(true);
        toggle->setChecked(true);
    }

    m_consistMenu = addMenu(
        newMenu(nullptr, "mnuConsist", "&Consist"),
        {{"mnuConsistEdit", "&Edit", [this] { ConsistOpen(DocumentMode::Consist); }},
         {"mnuConsistView", "&View Consist", [this] { ConsistOpen(DocumentMode::Consist3D); }},
         {"mnuConsistViewShape", "View &Shape", [this] { ViewShape(); }},
         kSeparator,
         {"mnuConsistCheckStock", "&Check Stock...", check(ConsistCheckStock)},
         {"mnuFileCheckDep", "Chec&k Dependencies...", check(FileCheckDep)}});

    m_stockMenu = addMenu(
        newMenu(nullptr, "mnuStock", "&Stock"),
        {{"mnuStockViewShape", "View &Shape", [this] { ViewShape(); }},
         {"mnuStockCheckDep", "Check &Dependencies...", check(StockCheckDep)},
         {"mnuStockReplace", "Replace in Consists...", [this] { StockReplaceInConsists(); }},
         {"mnuStockCheckAll", "Check &All Stock...",
          [this] { RunCheck([](CheckContext& c) { return StockCheckAll(c); }, true); }}});

    m_windowMenu = newMenu(nullptr, "mnuWindow", "&Window");
    connect(m_windowMenu, &QMenu::aboutToShow, this, &MainWindow::UpdateWindowMenu);
    UpdateWindowMenu();

    addMenu(
        newMenu(nullptr, "mnuHelp", "&Help"),
        {{"mnuHelpContents", "&Contents", [this] { m_commands.HelpContents(); }},
         {"mnuHelpSearchForHelpOn", "&Search For Help On...", [this] { m_commands.HelpSearch(); }},
         kSeparator,
         {"mnuHelpAbout", "&About ", [this] { ShowAbout(); }}});
}

void MainWindow::UpdateWindowMenu() {
    const bool locked = m_lockTiling != nullptr && m_lockTiling->isChecked();
    m_windowMenu->clear();
    AddAction(m_windowMenu, "mnuWindowNewWindow", "&New Window",
              [this] { NewDocumentByMode(DocumentMode::ConsistList, ""); });
    AddAction(m_windowMenu, "mnuWindowCascade", "&Cascade",
              [this] { Arrange(Arrangement::Cascade); });
    AddAction(m_windowMenu, "mnuWindowTileHorizontal", "Tile &Horizontal",
              [this] { Arrange(Arrangement::TileHorizontal); });
    AddAction(m_windowMenu, "mnuWindowTileVertical", "Tile &Vertical",
              [this] { Arrange(Arrangement::TileVertical); });
    AddAction(m_windowMenu, "mnuWindowArrangeIcons", "&Arrange Icons",
              [this] { Arrange(Arrangement::ArrangeIcons); });
    m_windowMenu->addSeparator();
    m_lockTiling = AddAction(m_windowMenu, "mnuWindowLockTiling", "&Lock Tiling", [] {});
    m_lockTiling->setCheckable(true);
    m_lockTiling->setChecked(locked);
    if (m_nextWindow != nullptr) {
        m_windowMenu->addSeparator();
        m_windowMenu->addAction(m_nextWindow);
        m_windowMenu->addAction(m_previousWindow);
    }
    const auto windows = m_area->subWindowList(QMdiArea::CreationOrder);
    if (!windows.isEmpty()) {
        m_windowMenu->addSeparator();
    }
    int number = 0;
    for (QMdiSubWindow* window : windows) {
        QAction* action =
            m_windowMenu->addAction(QString("&%1 %2").arg(++number).arg(window->windowTitle()));
        action->setCheckable(true);
        action->setChecked(window == m_area->activeSubWindow());
        connect(action, &QAction::triggered, this,
                [this, window] { m_area->setActiveSubWindow(window); });
    }
}

void MainWindow::CreateToolbar() {
    m_toolBar = addToolBar("Toolbar");
    m_toolBar->setObjectName("tbToolBar");
    for (const ToolbarButton& button : kToolbarButtons) {
        QAction* action =
            m_toolBar->addAction(ThemeIcon(button.themeIcon, *style(), button.icon), button.tip);
        action->setObjectName(QString("tb") + button.key);
        action->setData(QString(button.key));
        const auto* target = findChild<QAction*>(button.action);
        action->setEnabled(target != nullptr && target->isEnabled());
        if (target != nullptr) {
            connect(target, &QAction::changed, action,
                    [action, target] { action->setEnabled(target->isEnabled()); });
        }
        const std::string key = button.key;
        connect(action, &QAction::triggered, this, [this, key] { ToolbarClick(key); });
    }
    // The toolbar can also be hidden from Qt's own menu on the bars; the check mark
    // follows it.
    connect(m_toolBar->toggleViewAction(), &QAction::toggled, m_viewToolbar, &QAction::setChecked);
}

void MainWindow::ToolbarClick(const std::string& key) {
    const auto* button = std::find_if(std::begin(kToolbarButtons), std::end(kToolbarButtons),
                                      [&key](const ToolbarButton& b) { return key == b.key; });
    if (button == std::end(kToolbarButtons)) {
        return;
    }
    if (auto* action = findChild<QAction*>(button->action);
        action != nullptr && action->isEnabled()) {
        try {
            action->trigger();
        } catch (...) {
            // Errors of toolbar commands are ignored.
        }
    }
}

}  // namespace vantor
