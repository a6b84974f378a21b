// Takes the user manual's pictures from the real windows on the demo installation,
// on Qt's offscreen platform: vantor_screenshots OUTPUT_FOLDER DEMO_FOLDER DRIVE_C,
// where DRIVE_C is the folder that stands for drive c: in the set-location dialog.
// Each shot is one entry of kShots: a file name and a function that sets the
// windows up and returns the widget to picture.

#include <QApplication>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QThread>
#include <QTreeWidget>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "common/Installation.h"
#include "common/SettingsStore.h"
#include "documents/ConsistEditorView.h"
#include "documents/DocumentWindow.h"
#include "platform/Launcher.h"
#include "shell/MainWindow.h"
#include "shell/SetLocationDialog.h"
#include "ui/DesktopIcons.h"
#include "ui/QtText.h"

namespace {

// Answers every prompt with Cancel and says on the console that one came: a
// picture must never wait for a user.
class NoPrompts : public vantor::Prompter {
public:
    vantor::Answer Message(vantor::MessageIcon, const std::string& title, const std::string& text,
                           vantor::MessageButtons) override {
        std::fprintf(stderr, "prompt while taking pictures: %s: %s\n", title.c_str(), text.c_str());
        return vantor::Answer::Cancel;
    }
    std::string Input(const std::string& prompt, const std::string&, const std::string&) override {
        std::fprintf(stderr, "input box while taking pictures: %s\n", prompt.c_str());
        return {};
    }
    std::string OpenFileName(const vantor::FileDialogRequest&) override { return {}; }
    std::string SaveFileName(const vantor::FileDialogRequest&) override { return {}; }
    std::string FolderName(const std::string&, const std::string&) override { return {}; }
    bool PrintDialog(vantor::PrintRequest&) override { return false; }
};

// Lets the windows finish their work, folder lists read on other threads included.
void Settle() {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 400) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(10);
    }
}

QMdiSubWindow* Frame(QWidget* child) {
    return qobject_cast<QMdiSubWindow*>(child->parentWidget());
}

// Selects the row of a list whose first column reads text.
void SelectRow(QTreeWidget* list, const char* text, int column = 0) {
    const auto found = list->findItems(text, Qt::MatchExactly, column);
    if (!found.isEmpty()) {
        list->setCurrentItem(found.front());
    }
}

struct Session {
    vantor::MainWindow* main = nullptr;
    std::string demo;
    std::string driveC;
};

struct Shot {
    const char* file;
    std::function<QWidget*(Session&)> take;
};

const Shot kShots[] = {
    {"main-window.png",
     [](Session& s) -> QWidget* {
         vantor::DocumentWindow* list = s.main->Documents().front();
         SelectRow(list->findChild<QTreeWidget*>("lvConsists"), "Demo Freight");
         Frame(list)->showMaximized();
         return s.main;
     }},
    {"consist-editor.png",
     [](Session& s) -> QWidget* {
         vantor::DocumentWindow* list = s.main->Documents().front();
         Frame(list)->showNormal();
         list->EditConsist("Demo Freight");
         vantor::DocumentWindow* editor = s.main->Documents().back();
         Settle();
         QTreeWidget* vehicles = editor->EditorView()->VehicleList();
         vehicles->setCurrentItem(vehicles->topLevelItem(0));
         Frame(editor)->resize(940, 560);
         return Frame(editor);
     }},
    {"results-window.png",
     [](Session& s) -> QWidget* {
         vantor::DocumentWindow* list = s.main->Documents().front();
         s.main->Area()->setActiveSubWindow(Frame(list));
         SelectRow(list->findChild<QTreeWidget*>("lvConsists"), "Demo Freight");
         if (auto* check = s.main->findChild<QAction*>("mnuConsistCheckStock")) {
             check->trigger();
         }
         Settle();
         QMdiSubWindow* results = s.main->Area()->subWindowList(QMdiArea::CreationOrder).back();
         results->resize(860, 480);
         return results;
     }},
    {"set-location.png",
     [](Session& s) -> QWidget* {
         auto* dialog = new vantor::SetLocationDialog({{"c:", s.driveC}}, "", s.main);
         dialog->setAttribute(Qt::WA_DeleteOnClose);
         dialog->resize(520, 420);
         dialog->show();
         dialog->SetLocation(s.demo);
         Settle();
         // The folder list fills in the background: show the folder once it is read.
         dialog->SetLocation(s.demo);
         return dialog;
     }},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER DEMO_FOLDER DRIVE_C\n", argv[0]);
        return 2;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName("Vantor");
    QApplication::setWindowIcon(vantor::AppIcon());
    const std::string output = argv[1];

    NoPrompts prompts;
    vantor::MemorySettingsStore settings;
    const vantor::platform::Launcher launcher;
    vantor::Installation installation(vantor::platform::RegistrySource{});
    settings.Write("MSTSDir", argv[2]);
    vantor::Services services;
    services.prompts = &prompts;
    services.settings = &settings;
    services.launcher = &launcher;
    services.installation = &installation;
    services.processEvents = [] { QApplication::processEvents(); };
    services.runDialog = [](QDialog&) { return int(QDialog::Rejected); };

    vantor::MainWindow main(services);
    main.Load();
    main.resize(1100, 720);
    main.show();
    Session session{&main, argv[2], argv[3]};
    int failures = 0;
    for (const Shot& shot : kShots) {
        QWidget* widget = shot.take(session);
        Settle();
        const std::string path = output + "/" + shot.file;
        if (widget == nullptr || !widget->grab().save(vantor::Q(path))) {
            std::fprintf(stderr, "could not take %s\n", path.c_str());
            ++failures;
        } else {
            std::printf("%s\n", path.c_str());
        }
    }
    return failures == 0 ? 0 : 1;
}
