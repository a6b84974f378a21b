#include "shell/AboutDialog.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/Version.h"
#include "ui/QtPrompter.h"

namespace vantor {

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    emit clicked();
}

AboutDialog::AboutDialog(ShellCommands& commands, const std::string& executableName,
                         QWidget* parent)
    : QDialog(parent), m_commands(commands) {
    setObjectName("frmAbout");
    setWindowTitle(Q(AboutCaption(executableName)));

    auto* title = new QLabel(kAppTitle, this);
    title->setObjectName("lblTitle");
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    title->setFont(big);

    auto* version = new QLabel(Q(AboutVersionText()), this);
    version->setObjectName("lblVersion");

    auto* description = new ClickableLabel(kAppDescription, this);
    description->setObjectName("lblDescription");
    description->setToolTip("Click for the version history");
    description->setCursor(Qt::PointingHandCursor);
    description->setWordWrap(true);
    connect(description, &ClickableLabel::clicked, this, &AboutDialog::ShowVersionHistory);

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("cmdOK");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* sysInfo = new QPushButton("&System Info...", this);
    sysInfo->setObjectName("cmdSysInfo");
    connect(sysInfo, &QPushButton::clicked, this, [this] { m_commands.SystemInfo(); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(sysInfo);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(version);
    layout->addWidget(description);
    layout->addStretch();
    layout->addLayout(buttons);
}

void AboutDialog::ShowVersionHistory() {
    m_commands.Context().prompts->Message(MessageIcon::Information, VersionHistoryTitle(),
                                          VersionHistoryText());
}

}  // namespace vantor
