#include "shell/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QProgressBar>
#include <QStatusBar>
#include <QStyle>
#include <QThread>
#include <QToolBar>
#include <algorithm>

#include "documents/ConsistFiles.h"
#include "documents/DocumentWindow.h"
#include "platform/Drives.h"
#include "platform/Locations.h"
#include "platform/Paths.h"
#include "shell/AboutDialog.h"
#include "shell/FileOpening.h"
#include "shell/InstallPaths.h"
#include "shell/QtPrompter.h"
#include "shell/SetLocationDialog.h"
#include "shell/Version.h"
#include "validation/ResultsWindowWidget.h"
#include "validation/RouteSelectorDialog.h"

namespace vantor {

namespace {

ShellContext MakeContext(vantor::Services& services, MainWindow* window) {
    ShellContext context;
    context.prompts = services.prompts;
    context.launcher = services.launcher;
    context.minimiseMain = [window] { window->showMinimized(); };
    context.restoreMain = [window] { window->showNormal(); };
    context.openDocument = services.openDocument;
    context.mainCaption = AppCaption();
    context.manualFolder = services.manualFolder;
    context.registry = services.registry;
    context.systemInfoPrograms = services.systemInfoPrograms;
    return context;
}

const char* const kModeNames[] = {"Consist List", "Consist", "Stock Item", ""};

}  // namespace

MainWindow::MainWindow(vantor::Services& services, QWidget* parent)
    : QMainWindow(parent), m_services(services), m_commands(MakeContext(services, this)) {
    setObjectName("frmMain");
    setWindowTitle(Q(AppCaption()));
    m_area = new QMdiArea(this);
    m_area->setObjectName("mdiArea");
    m_area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_area);

    m_status = new QLabel(this);
    m_status->setObjectName("sbStatusBarPanel1");
    statusBar()->setObjectName("sbStatusBar");
    statusBar()->addWidget(m_status, 1);
    m_busy = new QProgressBar(this);
    m_busy->setObjectName("pbChecking");
    m_busy->setRange(0, 0);
    m_busy->setMaximumWidth(160);
    m_busy->hide();
    statusBar()->addPermanentWidget(m_busy);

    m_checks.prompter = services.prompts;
    m_checks.showStatus = [this](const std::string& text) { ShowStatus(text); };
    m_checks.letEventsRun = [this] {
        if (m_services.processEvents) {
            m_services.processEvents();
        }
    };
    m_checks.chooseRoutes = [this](const std::string& caption, const std::string& list) {
        RouteSelectorDialog dialog(caption, this);
        dialog.SetSelectFrom(list);
        m_services.runDialog(dialog);
        return dialog.Selected();
    };

    CreateMenus();
    CreateToolbar();
}

// The child windows go first, while the collection they leave on closing still exists.
MainWindow::~MainWindow() {
    delete takeCentralWidget();
}

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
    QMenu* file = menuBar()->addMenu("&File");
    file->setObjectName("mnuFile");
    QMenu* fileNew = file->addMenu("&New");
    fileNew->setObjectName("mnuFileNew");
    AddAction(fileNew, "mnuFileNewConsist", "&Consist", [this] { NewDocumentByMode(1, ""); });
    AddAction(fileNew, "mnuFileNewConsistList", "Consist &List Window",
              [this] { NewDocumentByMode(0, ""); });
    AddAction(file, "mnuFileOpen", "&Open...", [this] { FileOpen(); });
    AddAction(file, "mnuFileClose", "&Close", [this] { FileClose(); });
    file->addSeparator();
    AddAction(file, "mnuFileSave", "&Save", [this] { SaveCurrentConsist(false); });
    AddAction(file, "mnuFileSaveAs", "Save &As...", [this] { FileSaveAs(); });
    AddAction(file, "mnuFileSaveAll", "Save A&ll", [this] { FileSaveAll(); });
    file->addSeparator();
    AddAction(file, "mnuFileProperties", "Propert&ies", [this] { FileProperties(); });
    file->addSeparator();
    AddAction(
        file, "mnuFilePrint", "&Print...", [] {}, false);
    AddAction(
        file, "mnuFilePrintPreview", "Print Pre&view...", [] {}, false);
    file->addSeparator();
    AddAction(file, "mnuFileSetLocation", "Set MSTS Location...", [this] { SetMSTSLocation(); });
    file->addSeparator();
    AddAction(file, "mnuFileExit", "E&xit", [this] { close(); });

    QMenu* edit = menuBar()->addMenu("&Edit");
    edit->setObjectName("mnuEdit");
    AddAction(edit, "mnuEditUndo", "&Undo", [this] { m_commands.EditUndo(); });
    edit->addSeparator();
    AddAction(edit, "mnuEditCut", "Cu&t", [this] { EditCut(); });
    AddAction(edit, "mnuEditCopy", "&Copy", [this] { EditCopy(); });
    AddAction(edit, "mnuEditPaste", "&Paste", [this] { EditPaste(); });
    AddAction(edit, "mnuEditPasteSpecial", "Paste &Special...",
              [this] { m_commands.EditPasteSpecial(); });
    edit->addSeparator();
    AddAction(edit, "mnuEditSetAssoc", "Set File Associations...",
              [this] { EditSetAssociations(); });

    QMenu* view = menuBar()->addMenu("&View");
    view->setObjectName("mnuView");
    m_viewToolbar = AddAction(view, "mnuViewToolbar", "&Toolbar",
                              [this] { m_toolBar->setVisible(m_viewToolbar->isChecked()); });
    m_viewToolbar->setCheckable(true);
    m_viewToolbar->setChecked(true);
    m_viewStatusBar = AddAction(view, "mnuViewStatusBar", "Status &Bar",
                                [this] { statusBar()->setVisible(m_viewStatusBar->isChecked()); });
    m_viewStatusBar->setCheckable(true);
    m_viewStatusBar->setChecked(true);
    view->addSeparator();
    AddAction(view, "mnuViewFilter", "&Filter...", [this] { ViewFilter(); });
    AddAction(view, "mnuViewRefresh", "&Refresh", [this] { ViewRefresh(); });
    AddAction(view, "mnuViewReset", "Reset &View", [this] { ViewReset(); });
    view->addSeparator();
    AddAction(view, "mnuViewTS", "&MSTS", [this] { m_commands.ViewMSTS(); });
    AddAction(view, "mnuViewTSE", "MSTS &Tools", [this] { m_commands.ViewMSTSTools(); });
    AddAction(view, "mnuViewShapeViewer", "&Shape Viewer",
              [this] { m_commands.ViewShapeViewer(); });
    view->addSeparator();
    AddAction(view, "mnuViewOptions", "&Options...", [this] { m_commands.ViewOptions(); });

    m_consistMenu = menuBar()->addMenu("&Consist");
    m_consistMenu->setObjectName("mnuConsist");
    AddAction(m_consistMenu, "mnuConsistEdit", "&Edit", [this] { ConsistOpen(1); });
    AddAction(m_consistMenu, "mnuConsistView", "&View Consist", [this] { ConsistOpen(2); });
    AddAction(m_consistMenu, "mnuConsistViewShape", "View &Shape", [this] { ViewShape(); });
    m_consistMenu->addSeparator();
    AddAction(m_consistMenu, "mnuConsistCheckStock", "&Check Stock...", [this] {
        RunCheck([this](CheckContext& c) { return ConsistCheckStock(ActiveWindowInfo(), c); });
    });
    AddAction(m_consistMenu, "mnuFileCheckDep", "Chec&k Dependencies...", [this] {
        RunCheck([this](CheckContext& c) { return FileCheckDep(ActiveWindowInfo(), c); });
    });

    m_stockMenu = menuBar()->addMenu("&Stock");
    m_stockMenu->setObjectName("mnuStock");
    AddAction(m_stockMenu, "mnuStockViewShape", "View &Shape", [this] { ViewShape(); });
    AddAction(m_stockMenu, "mnuStockCheckDep", "Check &Dependencies...", [this] {
        RunCheck([this](CheckContext& c) { return StockCheckDep(ActiveWindowInfo(), c); });
    });
    AddAction(m_stockMenu, "mnuStockCheckAll", "Check &All Stock...",
              [this] { RunCheck([](CheckContext& c) { return StockCheckAll(c); }, true); });

    m_windowMenu = menuBar()->addMenu("&Window");
    m_windowMenu->setObjectName("mnuWindow");
    connect(m_windowMenu, &QMenu::aboutToShow, this, &MainWindow::UpdateWindowMenu);
    UpdateWindowMenu();

    QMenu* help = menuBar()->addMenu("&Help");
    help->setObjectName("mnuHelp");
    AddAction(help, "mnuHelpContents", "&Contents", [this] { m_commands.HelpContents(); });
    AddAction(help, "mnuHelpSearchForHelpOn", "&Search For Help On...",
              [this] { m_commands.HelpSearch(); });
    help->addSeparator();
    AddAction(help, "mnuHelpAbout", "&About ", [this] { ShowAbout(); });
}

void MainWindow::UpdateWindowMenu() {
    const bool locked = m_lockTiling != nullptr && m_lockTiling->isChecked();
    m_windowMenu->clear();
    AddAction(m_windowMenu, "mnuWindowNewWindow", "&New Window",
              [this] { NewDocumentByMode(0, ""); });
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
    struct Button {
        const char* key;
        const char* tip;
        QStyle::StandardPixmap icon;
        const char* action;
    };
    static const Button kButtons[] = {
        {"New", "New consist", QStyle::SP_FileIcon, "mnuFileNewConsist"},
        {"Open", "Open", QStyle::SP_DialogOpenButton, "mnuFileOpen"},
        {"Save", "Save", QStyle::SP_DialogSaveButton, "mnuFileSave"},
        {"Print", "Print", QStyle::SP_FileDialogDetailedView, "mnuFilePrint"},
        {"Cut", "Cut", QStyle::SP_TrashIcon, "mnuEditCut"},
        {"Copy", "Copy", QStyle::SP_FileDialogNewFolder, "mnuEditCopy"},
        {"Paste", "Paste", QStyle::SP_FileDialogContentsView, "mnuEditPaste"},
        {"Properties", "Edit consist", QStyle::SP_FileDialogInfoView, "mnuConsistEdit"},
        {"Render", "View consist in 3D", QStyle::SP_ComputerIcon, "mnuConsistView"},
        {"Filter", "Filter", QStyle::SP_FileDialogListView, "mnuViewFilter"},
    };
    for (const Button& button : kButtons) {
        QAction* action = m_toolBar->addAction(style()->standardIcon(button.icon), button.tip);
        action->setObjectName(QString("tb") + button.key);
        action->setData(QString(button.key));
        const auto* target = findChild<QAction*>(button.action);
        action->setEnabled(target != nullptr && target->isEnabled());
        const std::string key = button.key;
        connect(action, &QAction::triggered, this, [this, key] { ToolbarClick(key); });
    }
}

void MainWindow::ToolbarClick(const std::string& key) {
    static const std::map<ToolbarCommand, const char*> kActions = {
        {ToolbarCommand::NewConsist, "mnuFileNewConsist"},
        {ToolbarCommand::Open, "mnuFileOpen"},
        {ToolbarCommand::Save, "mnuFileSave"},
        {ToolbarCommand::Print, "mnuFilePrint"},
        {ToolbarCommand::Cut, "mnuEditCut"},
        {ToolbarCommand::Copy, "mnuEditCopy"},
        {ToolbarCommand::Paste, "mnuEditPaste"},
        {ToolbarCommand::ConsistEdit, "mnuConsistEdit"},
        {ToolbarCommand::ConsistView, "mnuConsistView"},
        {ToolbarCommand::Filter, "mnuViewFilter"},
    };
    const auto it = kActions.find(ToolbarCommandForKey(key));
    if (it == kActions.end()) {
        return;
    }
    if (auto* action = findChild<QAction*>(it->second); action != nullptr && action->isEnabled()) {
        try {
            action->trigger();
        } catch (...) {
            // Errors of toolbar commands are ignored.
        }
    }
}

double MainWindow::TwipsPerPixel() const {
    const int dpi = logicalDpiX();
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

void MainWindow::PlaceFromSettings() {
    const StartupSettings settings =
        ReadStartupSettings(*m_services.settings, m_services.programFolder);
    const double twips = TwipsPerPixel();
    const auto& p = settings.placement;
    move(static_cast<int>(p.left / twips + 0.5), static_cast<int>(p.top / twips + 0.5));
    resize(std::max(1, static_cast<int>(p.width / twips + 0.5)),
           std::max(1, static_cast<int>(p.height / twips + 0.5)));
    m_screenShotDir = settings.screenShotDir;
}

WindowPlacement MainWindow::CurrentPlacement() const {
    const double twips = TwipsPerPixel();
    return {static_cast<float>(pos().x() * twips), static_cast<float>(pos().y() * twips),
            static_cast<float>(width() * twips), static_cast<float>(height() * twips)};
}

void MainWindow::Load() {
    PlaceFromSettings();
    if (m_services.commandLine.empty()) {
        NewDocumentByMode(0, "");
    }
    std::string path = m_services.commandLine;
    path.erase(0, path.find_first_not_of(' '));
    path.erase(path.find_last_not_of(' ') + 1);
    if (!path.empty()) {
        OpenFile(path);
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    for (QMdiSubWindow* window : m_area->subWindowList()) {
        if (!window->close()) {
            event->ignore();
            return;
        }
    }
    const std::optional<WindowPlacement> placement =
        isMinimized() ? std::nullopt : std::optional<WindowPlacement>(CurrentPlacement());
    WriteShutdownSettings(*m_services.settings, placement, m_screenShotDir);
    event->accept();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (m_lockTiling != nullptr && RetileOnResize(m_lockTiling->isChecked(), m_lastArrangement)) {
        Arrange(m_lastArrangement);
    }
}

void MainWindow::ShowStatus(const std::string& text) {
    m_status->setText(Q(text));
}

std::vector<DocumentWindow*> MainWindow::Documents() const {
    std::vector<DocumentWindow*> documents;
    for (const auto& [key, window] : m_documents) {
        if (auto* document = qobject_cast<DocumentWindow*>(window->widget())) {
            documents.push_back(document);
        }
    }
    std::sort(documents.begin(), documents.end(), [this](DocumentWindow* a, DocumentWindow* b) {
        const auto windows = m_area->subWindowList(QMdiArea::CreationOrder);
        return windows.indexOf(qobject_cast<QMdiSubWindow*>(a->parentWidget())) <
               windows.indexOf(qobject_cast<QMdiSubWindow*>(b->parentWidget()));
    });
    return documents;
}

QWidget* MainWindow::ActiveChild() const {
    QMdiSubWindow* active = m_area->activeSubWindow();
    if (active == nullptr) {
        const auto windows = m_area->subWindowList(QMdiArea::ActivationHistoryOrder);
        active = windows.isEmpty() ? nullptr : windows.last();
    }
    return active != nullptr ? active->widget() : nullptr;
}

DocumentWindow* MainWindow::ActiveDocument() const {
    return qobject_cast<DocumentWindow*>(ActiveChild());
}

DocumentWindow* MainWindow::NewDocumentWindow(const std::string& fileName, int mode,
                                              const std::string& caption,
                                              corvane::TSFileItemPtr item) {
    auto* document = new DocumentWindow(*this);
    document->SetFileName(fileName);
    document->SetItem(std::move(item));
    document->SetMode(mode);
    QMdiSubWindow* window = m_area->addSubWindow(document);
    window->setAttribute(Qt::WA_DeleteOnClose);
    // A consist editor needs room for its two lists side by side.
    const QSize wanted = mode == 1 ? QSize(940, 520) : QSize(560, 420);
    const QSize room = m_area->viewport()->size();
    const bool laidOut = room.width() >= 400 && room.height() >= 300;
    window->resize(laidOut ? wanted.boundedTo(room) : wanted);
    document->setWindowTitle(Q(caption));
    window->show();
    const std::string key = "F" + std::to_string(m_nextIdentity++);
    m_documents[key] = window;
    connect(window, &QObject::destroyed, this, [this, key] { m_documents.erase(key); });
    RetileAfterLoad();
    return document;
}

DocumentWindow* MainWindow::NewDocumentByMode(int mode, const std::string& fileName) {
    if (mode < 0 || mode > 3) {
        return nullptr;
    }
    const int number = ++m_counters[static_cast<std::size_t>(mode)];
    const std::string name = kModeNames[mode];
    DocumentWindow* document =
        NewDocumentWindow(fileName, mode, name + " " + std::to_string(number), nullptr);
    document->SetWindowNumber(number);
    return document;
}

void MainWindow::RetileAfterLoad() {
    if (m_lockTiling != nullptr && RetileOnResize(m_lockTiling->isChecked(), m_lastArrangement)) {
        Arrange(m_lastArrangement);
    }
}

void MainWindow::OpenFile(std::string path) {
    try {
        OpenFileOfKind(path);
    } catch (const std::exception& e) {
        m_services.prompts->Message(MessageIcon::Critical, "Open File", e.what());
    }
}

void MainWindow::OpenFileOfKind(const std::string& path) {
    const std::string extension = OpenExtension(path);
    if (extension == "wag" || extension == "eng") {
        const StockShape shape = StockShapeOf(path, extension == "eng");
        NewDocumentWindow(shape.path, 3, shape.caption, nullptr);
    } else if (extension == "con") {
        NewDocumentWindow(path, 1, "Consist - " + path, nullptr);
    } else if (extension == "s") {
        NewDocumentWindow(path, 3, "Shape - " + path, nullptr);
    } else if (extension == "act") {
        corvane::TSFile activity(platform::HostPath(path));
        activity.Load();
        activity.SetFileName(path);
        const auto consists = LooseConsists(activity);
        const std::string answer = m_services.prompts->Input(
            LooseConsistQuestion(consists.size(), path), "Activity Loose Consists", "*");
        for (std::size_t i = 1; i <= consists.size(); ++i) {
            if (!LooseConsistChosen(answer, static_cast<int>(i))) {
                continue;
            }
            ShowStatus("Loading item " + std::to_string(i) + " of " +
                       std::to_string(consists.size()) + " from " + path);
            if (m_services.processEvents) {
                m_services.processEvents();
            }
            NewDocumentWindow(path, 2, "Loose Consist " + std::to_string(i) + " from " + path,
                              consists[i - 1]);
            QThread::msleep(500);
            if (m_services.processEvents) {
                m_services.processEvents();
            }
        }
    } else if (extension == "w") {
        m_services.prompts->Message(MessageIcon::Critical, "Open File",
                                    "World files not supported in this version!");
    } else {
        m_services.prompts->Message(MessageIcon::Critical, "Open File", "File type not supported!");
    }
}

void MainWindow::FileOpen() {
    FileDialogRequest request;
    request.title = "Open";
    request.filter =
        "Consist Files (*.con)|*.con|Wagon Files (*.wag)|*.wag|Engine Files (*.eng)|*.eng|"
        "Shape Files (*.s)|*.s|Activity Files (*.act)|*.act|All Files (*.*)|*.*";
    const std::string name = m_services.prompts->OpenFileName(request);
    if (!name.empty()) {
        OpenFile(name);
    }
}

namespace {

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

std::optional<std::string> FirstSelected(const DocumentWindow& window) {
    const auto selected = window.SelectedConsists();
    return selected.empty() ? std::nullopt : std::optional<std::string>(selected.front());
}

}  // namespace

bool MainWindow::SaveCurrentConsist(bool quiet, DocumentWindow* target) {
    DocumentWindow* window = target != nullptr ? target : ActiveDocument();
    if (window == nullptr || window->Mode() != 1) {
        return false;
    }
    WindowSaveTarget saveTarget(*window);
    return vantor::SaveCurrentConsist(saveTarget, quiet, *m_services.prompts) == SaveOutcome::Saved;
}

std::string MainWindow::TemporaryConsistPath() const {
    return vantor::TemporaryConsistPath(m_services.programFolder, platform::CacheFolder());
}

void MainWindow::FileSaveAs() {
    DocumentWindow* window = ActiveDocument();
    if (window != nullptr && window->Mode() == 1) {
        window->SetFileName("");
        SaveCurrentConsist(false);
    }
}

void MainWindow::FileSaveAll() {
    for (DocumentWindow* document : Documents()) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(document->parentWidget())) {
            m_area->setActiveSubWindow(sub);
        }
        SaveCurrentConsist(false, document);
    }
}

void MainWindow::FileClose() {
    if (QMdiSubWindow* active = m_area->activeSubWindow()) {
        active->close();
    }
}

void MainWindow::EditCopy() {
    DocumentWindow* window = ActiveDocument();
    if (window != nullptr && window->Mode() == 0 && m_services.clipboard != nullptr) {
        CopyConsist(FirstSelected(*window), *m_services.clipboard);
    }
}

void MainWindow::EditCut() {
    DocumentWindow* window = ActiveDocument();
    if (window != nullptr && window->Mode() == 0 &&
        CutConsist(MSTSPath(), FirstSelected(*window), *m_services.prompts)) {
        window->SetMode(0);
        window->LoadForm();
    }
}

void MainWindow::EditPaste() {
    DocumentWindow* window = ActiveDocument();
    if (window != nullptr && window->Mode() == 0 && m_services.clipboard != nullptr) {
        PasteConsist(MSTSPath(), *m_services.clipboard, *m_services.prompts);
    }
}

void MainWindow::EditSetAssociations() {
    SetFileAssociations(DefaultAssociationSetup(*m_services.prompts, *m_services.launcher));
}

void MainWindow::ConsistOpen(int mode) {
    DocumentWindow* active = ActiveDocument();
    if (active == nullptr) {
        return;
    }
    if (active->Mode() == 0) {
        const auto selected = active->SelectedConsists();
        if (!selected.empty()) {
            const std::string& name = selected.front();
            NewDocumentWindow(MSTSPath() + "\\Trains\\Consists\\" + name + ".con", mode,
                              "Consist - " + name, nullptr);
        }
    } else if ((mode == 1 && active->Mode() == 2) || (mode == 2 && active->Mode() == 1)) {
        NewDocumentWindow(active->FileName(), mode, "Consist - " + active->FileName(), nullptr);
    }
}

void MainWindow::ViewFilter() {
    DocumentWindow* active = ActiveDocument();
    if (active == nullptr) {
        return;
    }
    if (active->Mode() == 0) {
        active->SetFilter(m_services.prompts->Input(
            "Enter a filter string for consists:", "Filter Consist List", "*"));
        active->LoadForm();
    } else if (active->Mode() == 1) {
        active->SetFilter(m_services.prompts->Input(
            "Enter a filter string for stock:", "Filter Stock List", "*"));
        active->ReloadAllStock();
    }
}

void MainWindow::ViewRefresh() {
    if (DocumentWindow* active = ActiveDocument()) {
        active->LoadForm();
    }
}

void MainWindow::FileProperties() {
    QWidget* active = ActiveChild();
    if (auto* document = qobject_cast<DocumentWindow*>(active)) {
        document->ShowProperties();
    } else if (auto* results = qobject_cast<ResultsWindowWidget*>(active)) {
        results->ShowProperties();
    }
}

ActiveWindow MainWindow::ActiveWindowInfo() const {
    ActiveWindow info;
    QWidget* active = ActiveChild();
    info.present = active != nullptr;
    if (qobject_cast<ResultsWindowWidget*>(active) != nullptr) {
        info.mode = ResultsWindowWidget::Mode();
    } else if (auto* document = qobject_cast<DocumentWindow*>(active)) {
        info.mode = document->Mode();
        info.fileName = document->FileName();
        info.selectedItem = document->SelectedItem();
        info.selectedConsists = document->SelectedConsists();
        info.currentConsist = document->CurrentConsist();
    }
    return info;
}

void MainWindow::RunCheck(const std::function<std::optional<Report>(CheckContext&)>& command,
                          bool all) {
    m_checks.installFolder = MSTSPath();
    // The busy bar goes away however the command ends.
    struct BusyBar {
        QProgressBar* bar;
        ~BusyBar() { bar->hide(); }
    } busy{m_busy};
    if (all) {
        m_busy->show();
    }
    const std::optional<Report> report = command(m_checks);
    if (!report) {
        return;
    }
    if (all) {
        ShowPropertiesText("#TS Installation Check", report->text);
    } else {
        ShowResults(*report);
    }
}

ResultsWindowWidget* MainWindow::ShowResults(const Report& report) {
    auto* results = new ResultsWindowWidget(*this, report);
    QMdiSubWindow* window = m_area->addSubWindow(results);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    RetileAfterLoad();
    return results;
}

ResultsWindowWidget* MainWindow::ShowPropertiesText(const std::string& name,
                                                    const std::string& text) {
    return ShowResults(Report{PropertiesCaption(name), text});
}

void MainWindow::ViewShape() {
    QWidget* active = ActiveChild();
    if (active == nullptr) {
        m_services.prompts->Message(MessageIcon::Critical, "View Shape", "Nothing selected!");
        return;
    }
    if (auto* document = qobject_cast<DocumentWindow*>(active)) {
        document->ActionClick(4);
    }
}

void MainWindow::ViewReset() {
    if (DocumentWindow* active = ActiveDocument()) {
        active->ResetView();
    }
}

void MainWindow::ShowAbout() {
    AboutDialog dialog(m_commands, m_services.executableName, this);
    m_services.runDialog(dialog);
}

void MainWindow::SetMSTSLocation() {
    for (DocumentWindow* document : Documents()) {
        if (document->Mode() == 1) {
            m_services.prompts->Message(MessageIcon::Critical, "Set MSTS Location",
                                        "Can't change MSTS location whilst editting a consist!");
            return;
        }
    }
    SetLocationDialog dialog(platform::ListDrives(), RegisteredMSTSPath(), this);
    dialog.SetLocation(MSTSPath());
    m_services.runDialog(dialog);
    if (!dialog.Cancelled()) {
        SetMSTSPath(dialog.Location());
    }
    for (DocumentWindow* document : Documents()) {
        if (document->Mode() == 0) {
            document->LoadForm();
        }
    }
}

void MainWindow::Arrange(Arrangement arrangement) {
    switch (arrangement) {
        case Arrangement::Cascade:
            m_area->cascadeSubWindows();
            break;
        case Arrangement::TileHorizontal:
            Tile(Qt::Vertical);
            break;
        case Arrangement::TileVertical:
            Tile(Qt::Horizontal);
            break;
        case Arrangement::ArrangeIcons:
            ArrangeIcons();
            break;
    }
    m_lastArrangement = arrangement;
}

// Tiles the windows that are not minimised in bands: stacked one above the other
// (Qt::Vertical, "Tile Horizontal") or side by side (Qt::Horizontal, "Tile Vertical").
void MainWindow::Tile(Qt::Orientation orientation) {
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : m_area->subWindowList(QMdiArea::CreationOrder)) {
        if (!window->isMinimized() && window->isVisible()) {
            windows << window;
        }
    }
    if (windows.isEmpty()) {
        return;
    }
    const QRect area = m_area->viewport()->rect();
    const int count = static_cast<int>(windows.size());
    for (int i = 0; i < count; ++i) {
        QRect band;
        if (orientation == Qt::Vertical) {
            const int top = area.height() * i / count;
            band = QRect(0, top, area.width(), area.height() * (i + 1) / count - top);
        } else {
            const int left = area.width() * i / count;
            band = QRect(left, 0, area.width() * (i + 1) / count - left, area.height());
        }
        windows[i]->showNormal();
        windows[i]->setGeometry(band);
    }
}

void MainWindow::ArrangeIcons() {
    int x = 0;
    const int bottom = m_area->viewport()->height();
    for (QMdiSubWindow* window : m_area->subWindowList(QMdiArea::CreationOrder)) {
        if (window->isMinimized()) {
            const QSize size = window->size();
            window->move(x, bottom - size.height());
            x += size.width();
        }
    }
}

}  // namespace vantor
