#include "qt/QtSession.h"

#include <QApplication>
#include <cstdlib>

namespace vantor::cli {

std::string StartQt() {
    if (QCoreApplication::instance() != nullptr) {
        return {};
    }
    const auto empty = [](const char* name) {
        const char* value = std::getenv(name);
        return value == nullptr || *value == '\0';
    };
    if (empty("QT_QPA_PLATFORM") && empty("DISPLAY") && empty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int argc = 1;
    static char name[] = "vantor-cli";
    static char* argv[] = {name, nullptr};
    // It lives to the end of the process: destroyed among the exit handlers, after
    // globals of Qt's that it needs, it would crash the program on its way out.
    static QApplication* const application = new QApplication(argc, argv);
    return application != nullptr ? std::string() : "Qt could not start";
}

}  // namespace vantor::cli
