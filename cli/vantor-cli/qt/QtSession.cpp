#include "qt/QtSession.h"

#include <QApplication>
#include <cstdlib>
#include <memory>

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
    static std::unique_ptr<QApplication> application;
    application = std::make_unique<QApplication>(argc, argv);
    return {};
}

}  // namespace vantor::cli
