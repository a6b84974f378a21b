#pragma once

#include <QDialog>
#include <QLabel>

#include "shell/ShellCommands.h"

namespace vantor {

// A label that reports clicks.
class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// The About dialog ("frmAbout"): title, version, description with the version
// history behind a click, OK and System Info.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    AboutDialog(ShellCommands& commands, const std::string& executableName,
                QWidget* parent = nullptr);

private:
    void ShowVersionHistory();

    ShellCommands& m_commands;
};

}  // namespace vantor
