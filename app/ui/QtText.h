#pragma once

#include <QString>
#include <string>

namespace vantor {

// Returns a UTF-8 string as a QString, and back.
inline QString Q(const std::string& text) {
    return QString::fromStdString(text);
}
inline std::string S(const QString& text) {
    return text.toStdString();
}

}  // namespace vantor
