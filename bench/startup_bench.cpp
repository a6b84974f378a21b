// Time from the program's start to its first consist-list window, shown and
// filled, on the demo installation (Qt's offscreen platform unless told otherwise).
//
// Without arguments it runs itself five times and prints each time and the median;
// with --once it makes one start and prints the milliseconds.

#include <QApplication>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "common/Installation.h"
#include "documents/DocumentWindow.h"
#include "platform/Launcher.h"
#include "shell/MainWindow.h"
#include "ui/QtPrompter.h"

namespace {

int Once(int argc, char** argv) {
    QElapsedTimer timer;
    timer.start();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    vantor::QtPrompter prompts;
    vantor::MemorySettingsStore settings;
    settings.Write("MSTSDir", VANTOR_SOURCE_DIR "/demo");
    const vantor::platform::Launcher launcher;
    vantor::Installation installation;
    vantor::Services services;
    services.installation = &installation;
    services.prompts = &prompts;
    services.settings = &settings;
    services.launcher = &launcher;
    services.processEvents = [] { QApplication::processEvents(); };
    vantor::MainWindow window(services);
    window.Load();
    window.show();
    QApplication::processEvents();
    const auto documents = window.Documents();
    const bool ready =
        documents.size() == 1 && !documents[0]->ConsistRows().empty() && documents[0]->isVisible();
    const qint64 elapsed = timer.nsecsElapsed();
    std::printf("%.1f\n", static_cast<double>(elapsed) / 1e6);
    return ready ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--once") {
        return Once(argc, argv);
    }
    std::vector<double> times;
    for (int run = 0; run < 6; ++run) {
        QProcess child;
        child.start(QString::fromLocal8Bit(argv[0]), {"--once"});
        child.waitForFinished(60000);
        if (child.exitCode() != 0) {
            std::fprintf(stderr, "startup_bench: the consist list did not appear\n");
            return 1;
        }
        if (run > 0) {  // the first run warms the disk cache
            times.push_back(child.readAllStandardOutput().trimmed().toDouble());
        }
    }
    std::sort(times.begin(), times.end());
    std::printf("Start to first consist-list window (demo installation), 5 runs:");
    for (double t : times) {
        std::printf(" %.1f", t);
    }
    std::printf(" ms\nMedian: %.1f ms\n", times[times.size() / 2]);
    return 0;
}
