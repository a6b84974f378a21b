#include "shell/MainWindow.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProgressBar>
#include <QStatusBar>
#include <algorithm>

#include "common/Text.h"
#include "documents/ConsistFiles.h"
#include "documents/DocumentWindow.h"
#include "platform/Drives.h"
#include "platform/Paths.h"
#include "shell/AboutDialog.h"
#include "shell/SetLocationDialog.h"
#include "shell/Version.h"
#include "ui/DesktopIcons.h"
#include "ui/QtText.h"
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
    context.installation = services.installation;
    context.systemInfoPrograms = services.systemInfoPrograms;
    return context;
}

// The setting that remembers a maximised main window.
constexpr const char* kMaximizedKey = "MainMaximized";

constexpr const char* kNothingToCheck =
    "There is nothing to check: no Microsoft Train Simulator installation is set.  Choose its "
    "folder with File, Set MSTS Location.";

std::string NoTrainsQuestion(const std::string& folder) {
    return folder +
           " has no Trains folder, so it does not look like a Microsoft Train Simulator "
           "installation.  Use it anyway?";
}

// The first words of the captions of numbered windows, by mode.
const char* const kModeNames[] = {"Consist List", "Consist", "Stock Item", ""};

}  // namespace

MainWindow::MainWindow(vantor::Services& services, QWidget* parent)
    : QMainWindow(parent),
      m_services(services),
      m_commands(MakeContext(services, this)),
      m_area(new QMdiArea(this)),
      m_arranger(m_area) {
    setObjectName("frmMain");
    setWindowTitle(Q(AppCaption()));
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
    m_checks.letEventsRun = [this] { LetEventsRun(); };
    // Reports show the time in the system's general date format; vantor-cli keeps
    // the fixed form for scripts.
    m_checks.currentTime = [this] {
        return S(m_services.locale.toString(m_services.now(), QLocale::ShortFormat));
    };
    m_checks.chooseRoutes = [this](const std::string& caption, const std::string& list) {
        RouteSelectorDialog dialog(caption, this);
        dialog.SetSelectFrom(list);
        m_services.runDialog(dialog);
        return dialog.Selected();
    };

    setWindowIcon(AppIcon());
    CreateMenus();
    CreateToolbar();
    ApplyShortcutsAndIcons();
}

MainWindow::~MainWindow() {
    delete takeCentralWidget();
}

void MainWindow::Load() {
    const StartupSettings settings = ReadStartupSettings(
        *m_services.settings, m_services.programFolder, *m_services.installation);
    PlaceWindow(*this, settings.placement);
    if (m_services.settings->Read(kMaximizedKey).value_or("") == "1") {
        setWindowState(windowState() | Qt::WindowMaximized);
    }
    m_screenShotDir = settings.screenShotDir;
    if (m_services.commandLine.empty()) {
        NewDocumentByMode(DocumentMode::ConsistList, "");
    }
    const std::string path = TrimBlanks(m_services.commandLine);
    if (!path.empty()) {
        OpenFile(path);
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Every unsaved consist is asked about before any window closes.
    if (!AgreeToCloseAll()) {
        event->ignore();
        return;
    }
    for (QMdiSubWindow* window : m_area->subWindowList()) {
        if (!window->close()) {
            event->ignore();
            return;
        }
    }
    const std::optional<WindowPlacement> placement =
        isMinimized() ? std::nullopt : std::optional<WindowPlacement>(PlacementOf(*this));
    WriteShutdownSettings(*m_services.settings, placement, m_screenShotDir,
                          *m_services.installation);
    if (!isMinimized()) {
        m_services.settings->Write(kMaximizedKey, isMaximized() ? "1" : "0");
    }
    event->accept();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    RetileAfterLoad();
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

DocumentWindow* MainWindow::NewDocumentWindow(const std::string& fileName, DocumentMode mode,
                                              const std::string& caption,
                                              corvane::TSFileItemPtr item) {
    auto* document = new DocumentWindow(*this);
    // The window loads in its place in the area: a 3D canvas made ready while its
    // window was a window of its own would not survive the move into the area.
    QMdiSubWindow* window = m_area->addSubWindow(document);
    window->setAttribute(Qt::WA_DeleteOnClose);
    document->SetFileName(fileName);
    document->SetItem(std::move(item));
    document->SetMode(mode);
    if (document->LoadFailed()) {
        delete window;  // the window takes its document with it
        return nullptr;
    }
    // A consist editor needs room for its two lists side by side.
    PlaceChild(window, mode == DocumentMode::Consist ? QSize(940, 560) : QSize(560, 420));
    document->setWindowTitle(Q(caption));
    window->show();
    connect(document, &DocumentWindow::consistChanged, this, &MainWindow::UpdateActions);
    const std::string key = "F" + std::to_string(m_nextIdentity++);
    m_documents[key] = window;
    connect(window, &QObject::destroyed, this, [this, key] {
        m_documents.erase(key);
        UpdateActions();
    });
    RetileAfterLoad();
    UpdateActions();
    return document;
}

DocumentWindow* MainWindow::NewDocumentByMode(DocumentMode mode, const std::string& fileName) {
    if (!IsDocumentMode(mode)) {
        return nullptr;
    }
    const auto index = static_cast<std::size_t>(mode);
    const int number = ++m_counters[index];
    const std::string name = kModeNames[index];
    DocumentWindow* document =
        NewDocumentWindow(fileName, mode, name + " " + std::to_string(number), nullptr);
    if (document != nullptr) {
        document->SetWindowNumber(number);
    }
    return document;
}

void MainWindow::RetileAfterLoad() {
    if (m_lockTiling != nullptr) {
        m_arranger.Retile(m_lockTiling->isChecked());
    }
}

void MainWindow::ConsistOpen(DocumentMode mode) {
    DocumentWindow* active = ActiveDocument();
    if (active == nullptr) {
        return;
    }
    const DocumentMode activeMode = active->Mode();
    if (activeMode == DocumentMode::ConsistList) {
        if (const std::string name = active->SelectedConsist(); !name.empty()) {
            NewDocumentWindow(ConsistPath(InstallFolder(), name), mode, "Consist - " + name,
                              nullptr);
        }
    } else if ((mode == DocumentMode::Consist && activeMode == DocumentMode::Consist3D) ||
               (mode == DocumentMode::Consist3D && activeMode == DocumentMode::Consist)) {
        NewDocumentWindow(active->FileName(), mode, "Consist - " + active->FileName(), nullptr);
    }
}

void MainWindow::ViewFilter() {
    DocumentWindow* active = ActiveDocument();
    if (active == nullptr) {
        return;
    }
    if (active->Mode() == DocumentMode::ConsistList) {
        active->SetFilter(m_services.prompts->Input(
            "Enter a filter string for consists:", "Filter Consist List", "*"));
        active->LoadForm();
    } else if (active->Mode() == DocumentMode::Consist) {
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
    m_checks.installFolder = InstallFolder();
    // Without an installation an empty report would read as a clean one.
    if (m_checks.installFolder.empty()) {
        m_services.prompts->Message(MessageIcon::Information, AppCaption(), kNothingToCheck);
        return;
    }
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
    // A report line is read across most of the area.
    const QSize area = m_area->viewport()->size();
    PlaceChild(window,
               QSize(std::max(640, area.width() * 9 / 10), std::max(400, area.height() * 17 / 20)));
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
        document->ActionClick(ActionCommand::ViewShape);
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
    Installation& install = *m_services.installation;
    for (DocumentWindow* document : Documents()) {
        if (document->Mode() == DocumentMode::Consist) {
            m_services.prompts->Message(MessageIcon::Critical, "Set MSTS Location",
                                        "Can't change MSTS location whilst editting a consist!");
            return;
        }
    }
    std::string start = install.MSTSPath();
    for (;;) {
        SetLocationDialog dialog(platform::ListDrives(), install.RegisteredMSTSPath(), this);
        dialog.SetLocation(start);
        m_services.runDialog(dialog);
        if (dialog.Cancelled()) {
            break;
        }
        // A folder without Trains holds no consists: the user confirms it first.
        std::string chosen = dialog.Location();
        if (AsciiLower(TrimBlanks(chosen)) == "$msts") {
            chosen = install.RegisteredMSTSPath();
        }
        if (!TrimBlanks(chosen).empty() && !platform::FolderExists(chosen + "\\Trains") &&
            m_services.prompts->Message(MessageIcon::Exclamation, "Set MSTS Location",
                                        NoTrainsQuestion(chosen),
                                        MessageButtons::YesNo) != Answer::Yes) {
            start = chosen;
            continue;
        }
        install.SetMSTSPath(dialog.Location());
        break;
    }
    for (DocumentWindow* document : Documents()) {
        if (document->Mode() == DocumentMode::ConsistList) {
            document->LoadForm();
        }
    }
}

std::string MainWindow::InstallFolder() const {
    return m_services.installation->MSTSPath();
}

void MainWindow::LetEventsRun() const {
    if (m_services.processEvents) {
        m_services.processEvents();
    }
}

void MainWindow::OpenDocumentWindow(const std::string& fileName, DocumentMode mode,
                                    const std::string& caption, corvane::TSFileItemPtr item) {
    NewDocumentWindow(fileName, mode, caption, std::move(item));
}

void MainWindow::PopupMenu(ContextMenu menu, const QPoint& at) {
    (menu == ContextMenu::Consist ? m_consistMenu : m_stockMenu)->popup(at);
}

void MainWindow::Arrange(Arrangement arrangement) {
    m_arranger.Arrange(arrangement);
}

}  // namespace vantor
