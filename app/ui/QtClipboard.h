#pragma once

#include <QClipboard>
#include <QGuiApplication>

#include "common/Clipboard.h"
#include "ui/QtText.h"

namespace vantor {

// The desktop's clipboard, as text.
class QtClipboard : public Clipboard {
public:
    [[nodiscard]] std::string Text() const override {
        return S(QGuiApplication::clipboard()->text());
    }
    void SetText(const std::string& text) override {
        QGuiApplication::clipboard()->setText(Q(text));
    }
};

}  // namespace vantor
