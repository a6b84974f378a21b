#pragma once

#include <string>

namespace vantor {

// The clipboard's text.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    [[nodiscard]] virtual std::string Text() const = 0;
    virtual void SetText(const std::string& text) = 0;
};

}  // namespace vantor
