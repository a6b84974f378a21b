#pragma once

#include <QPointer>
#include <QWidget>

#include "common/Prompter.h"
#include "ui/QtText.h"

namespace vantor {

// Asks the user through Qt's standard dialogs, owned by a parent window.
class QtPrompter : public Prompter {
public:
    explicit QtPrompter(QWidget* parent = nullptr) : m_parent(parent) {}
    void SetParent(QWidget* parent) { m_parent = parent; }

    Answer Message(MessageIcon icon, const std::string& title, const std::string& text,
                   MessageButtons buttons) override;
    std::string Input(const std::string& prompt, const std::string& title,
                      const std::string& defaultAnswer) override;
    std::string OpenFileName(const FileDialogRequest& request) override;
    std::string SaveFileName(const FileDialogRequest& request) override;
    std::string FolderName(const std::string& title, const std::string& start) override;
    bool PrintDialog(PrintRequest& request) override;

private:
    QPointer<QWidget> m_parent;
};

// Returns a filter list "Description|pattern|..." in Qt's form "Description (pattern);;...".
QString QtFilter(const std::string& filter);

}  // namespace vantor
