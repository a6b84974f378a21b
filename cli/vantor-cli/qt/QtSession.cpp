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
    // The application object stays until the process ends: destroyed among the
    // static objects, it would outlive Qt's own and crash the exit.
    static QApplication* const application = new QApplication(argc, argv);
    Q_UNUSED(application);
    return {};
}

}  // namespace vantor::cli
