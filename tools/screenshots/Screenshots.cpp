// Takes the user manual's pictures from the real windows on the demo installation:
// vantor_screenshots OUTPUT_FOLDER DEMO_FOLDER DRIVE_C, where DRIVE_C is the folder
// that stands for drive c: in the set-location dialog. The 3D window needs a
// platform with OpenGL (scripts/screenshots.sh runs it on a virtual X display).
// Each shot is one entry of Shots(): a file name and a function that sets the
// windows up and returns their picture.

#include <QApplication>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QOpenGLWidget>
#include <QPrintDialog>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "common/Installation.h"
#include "common/SettingsStore.h"
#include "documents/ConsistEditorView.h"
#include "documents/DocumentWindow.h"
#include "platform/Launcher.h"
#include "shell/MainWindow.h"
#include "shell/SetLocationDialog.h"
#include "ui/DesktopIcons.h"
#include "ui/QtPrompter.h"
#include "ui/QtText.h"

namespace {

// Lets the windows finish their work, folder lists read on other threads included.
void Settle() {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 400) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(10);
    }
}

// Answers every prompt with Cancel and says on the console that one came: a
// picture must never wait for a user. Only the print dialog can be shown, once,
// for its picture: it is drawn, taken and cancelled without waiting for anyone.
class NoPrompts : public vantor::Prompter {
public:
    NoPrompts() {
        m_waitForPrintDialog.setInterval(20);
        QObject::connect(&m_waitForPrintDialog, &QTimer::timeout, [this] { GrabPrintDialog(); });
    }
    // Shows the next print dialog and keeps its picture and title for TakePrintDialog.
    void PicturePrintDialog() { m_pictureNextPrintDialog = true; }
    QPixmap TakePrintDialog(QString& title) {
        title = m_printDialogTitle;
        return std::exchange(m_printDialog, {});
    }

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
    bool PrintDialog(vantor::PrintRequest& request) override {
        if (!std::exchange(m_pictureNextPrintDialog, false)) {
            std::fprintf(stderr, "print dialog while taking pictures: %s\n", request.title.c_str());
            return false;
        }
        m_waitForPrintDialog.start();
        const bool printed = m_dialogs.PrintDialog(request);
        m_waitForPrintDialog.stop();
        return printed;
    }

private:
    // Runs inside the print dialog's own event loop: takes its picture once it is
    // on screen and cancels it.
    void GrabPrintDialog() {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        m_waitForPrintDialog.stop();
        Settle();
        m_printDialog = dialog->grab();
        m_printDialogTitle = dialog->windowTitle();
        dialog->reject();
    }

    vantor::QtPrompter m_dialogs;
    QTimer m_waitForPrintDialog;
    bool m_pictureNextPrintDialog = false;
    QPixmap m_printDialog;
    QString m_printDialogTitle;
};

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
    NoPrompts* prompts = nullptr;
    std::string demo;
    std::string driveC;
};

// Returns the picture of widget once the windows have settled.
QPixmap Picture(QWidget* widget) {
    Settle();
    return widget == nullptr ? QPixmap() : widget->grab();
}

// Waits, up to a few seconds, until the OpenGL widget inside parent has shown a
// frame drawn after everything loaded; false when none came.
bool WaitForFrame(QWidget* parent) {
    auto* surface = parent->findChild<QOpenGLWidget*>();
    if (surface == nullptr) {
        return false;
    }
    Settle();
    bool swapped = false;
    const auto connection =
        QObject::connect(surface, &QOpenGLWidget::frameSwapped, [&swapped] { swapped = true; });
    surface->update();
    QElapsedTimer clock;
    clock.start();
    while (!swapped && clock.elapsed() < 5000) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    QObject::disconnect(connection);
    return swapped;
}

// Returns whether every pixel of image has the same colour: an OpenGL picture
// that stayed black, or shows the sky alone.
bool OneColour(const QImage& image) {
    const QImage pixels = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < pixels.height(); ++y) {
        for (int x = 0; x < pixels.width(); ++x) {
            if (pixels.pixel(x, y) != pixels.pixel(0, 0)) {
                return false;
            }
        }
    }
    return true;
}

struct Shot {
    const char* file;
    std::function<QPixmap(Session&)> take;
};

// The pictures, in the order they are taken.
std::vector<Shot> Shots() {
    return {
        {"main-window.png",
         [](Session& s) -> QPixmap {
             vantor::DocumentWindow* list = s.main->Documents().front();
             SelectRow(list->findChild<QTreeWidget*>("lvConsists"), "Demo Freight");
             Frame(list)->showMaximized();
             return Picture(s.main);
         }},
        {"consist-editor.png",
         [](Session& s) -> QPixmap {
             vantor::DocumentWindow* list = s.main->Documents().front();
             Frame(list)->showNormal();
             list->EditConsist("Demo Freight");
             vantor::DocumentWindow* editor = s.main->Documents().back();
             Settle();
             QTreeWidget* vehicles = editor->EditorView()->VehicleList();
             vehicles->setCurrentItem(vehicles->topLevelItem(0));
             Frame(editor)->resize(940, 560);
             return Picture(Frame(editor));
         }},
        {"results-window.png",
         [](Session& s) -> QPixmap {
             vantor::DocumentWindow* list = s.main->Documents().front();
             s.main->Area()->setActiveSubWindow(Frame(list));
             SelectRow(list->findChild<QTreeWidget*>("lvConsists"), "Demo Freight");
             if (auto* check = s.main->findChild<QAction*>("mnuConsistCheckStock")) {
                 check->trigger();
             }
             Settle();
             QMdiSubWindow* results = s.main->Area()->subWindowList(QMdiArea::CreationOrder).back();
             results->resize(860, 480);
             return Picture(results);
         }},
        {"set-location.png",
         [](Session& s) -> QPixmap {
             auto* dialog = new vantor::SetLocationDialog({{"c:", s.driveC}}, "", s.main);
             dialog->setAttribute(Qt::WA_DeleteOnClose);
             dialog->resize(520, 420);
             dialog->show();
             dialog->SetLocation(s.demo);
             Settle();
             // The folder list fills in the background: show the folder once it is read.
             dialog->SetLocation(s.demo);
             QPixmap picture = Picture(dialog);
             dialog->close();
             return picture;
         }},
        {"print-dialog.png",
         [](Session& s) -> QPixmap {
             vantor::DocumentWindow* list = s.main->Documents().front();
             s.main->Area()->setActiveSubWindow(Frame(list));
             s.prompts->PicturePrintDialog();
             if (auto* print = s.main->findChild<QAction*>("mnuFilePrint")) {
                 print->trigger();
             }
             // The picture has no title bar: the manual names the title, so it must be this one.
             QString title;
             QPixmap picture = s.prompts->TakePrintDialog(title);
             if (title != "Print Consist List") {
                 std::fprintf(stderr, "the print dialog is titled \"%s\"\n",
                              vantor::S(title).c_str());
                 return {};
             }
             return picture;
         }},
        {"demo-freight-window.png",
         [](Session& s) -> QPixmap {
             // The consist list alone behind the 3D window.
             QMdiSubWindow* listFrame = Frame(s.main->Documents().front());
             for (QMdiSubWindow* frame : s.main->Area()->subWindowList()) {
                 if (frame != listFrame) {
                     frame->close();
                 }
             }
             Settle();
             vantor::DocumentWindow* list = s.main->Documents().front();
             SelectRow(list->findChild<QTreeWidget*>("lvConsists"), "Demo Freight");
             if (auto* view = s.main->findChild<QAction*>("mnuConsistView")) {
                 view->trigger();
             }
             vantor::DocumentWindow* view3d = s.main->Documents().back();
             if (view3d == list) {
                 return {};
             }
             Frame(view3d)->setGeometry(120, 36, 940, 560);
             if (!WaitForFrame(view3d)) {
                 std::fprintf(stderr, "the 3D window showed no frame\n");
                 return {};
             }
             QPixmap picture = s.main->grab();
             auto* surface = view3d->findChild<QOpenGLWidget*>();
             const QRect drawn(surface->mapTo(s.main, QPoint(0, 0)), surface->size());
             if (OneColour(picture.copy(drawn).toImage())) {
                 std::fprintf(stderr, "the 3D window's picture is empty\n");
                 return {};
             }
             return picture;
         }},
    };
}

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
    Session session{&main, &prompts, argv[2], argv[3]};
    int failures = 0;
    for (const Shot& shot : Shots()) {
        const QPixmap picture = shot.take(session);
        const std::string path = output + "/" + shot.file;
        if (picture.isNull() || !picture.save(vantor::Q(path))) {
            std::fprintf(stderr, "could not take %s\n", path.c_str());
            ++failures;
        } else {
            std::printf("%s\n", path.c_str());
        }
    }
    return failures == 0 ? 0 : 1;
}
