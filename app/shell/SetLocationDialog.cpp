#include "shell/SetLocationDialog.h"

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "platform/Paths.h"
#include "ui/QtPrompter.h"

namespace vantor {

std::string LocationFromText(const std::string& text, const std::string& registeredFolder) {
    return !registeredFolder.empty() && text == registeredFolder ? "$MSTS" : text;
}

SetLocationDialog::SetLocationDialog(std::vector<platform::Drive> drives,
                                     std::string registeredFolder, QWidget* parent)
    : QDialog(parent),
      m_drives(std::move(drives)),
      m_registeredFolder(std::move(registeredFolder)) {
    setObjectName("frmSetLoc");
    setWindowTitle("Location");

    m_driveList = new QComboBox(this);
    m_driveList->setObjectName("drvLocation");
    for (const auto& drive : m_drives) {
        m_driveList->addItem(Q(drive.label));
    }

    m_folders = new QFileSystemModel(this);
    m_folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_folders->setRootPath("");
    m_folderList = new QTreeView(this);
    m_folderList->setObjectName("dirLocation");
    m_folderList->setModel(m_folders);
    for (int column = 1; column < m_folders->columnCount(); ++column) {
        m_folderList->hideColumn(column);
    }
    m_folderList->header()->hide();

    m_text = new QLineEdit(this);
    m_text->setObjectName("txtLocation");

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("OKButton");
    ok->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("CancelButton");
    auto* reset = new QPushButton("&Reset", this);
    reset->setObjectName("cmdSetDefault");

    // Picking a drive shows it in the folder list, and its folder goes into the text
    // box, so that OK takes the drive picked.
    connect(m_driveList, &QComboBox::currentIndexChanged, this, [this](int index) {
        DriveChanged(index);
        if (index >= 0 && static_cast<std::size_t>(index) < m_drives.size()) {
            m_folderList->setCurrentIndex({});
            m_text->setText(
                QDir::toNativeSeparators(Q(m_drives[static_cast<std::size_t>(index)].path)));
        }
    });
    connect(m_folderList->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &SetLocationDialog::FolderChanged);
    connect(ok, &QPushButton::clicked, this, &SetLocationDialog::Ok);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(reset, &QPushButton::clicked, this, [this] { SetLocation(m_registeredFolder); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(reset);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_driveList);
    layout->addWidget(m_folderList, 1);
    layout->addWidget(m_text);
    layout->addLayout(buttons);
    resize(420, 480);

    if (!m_drives.empty()) {
        DriveChanged(0);
    }
}

void SetLocationDialog::DriveChanged(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= m_drives.size()) {
        return;
    }
    m_folderList->setRootIndex(m_folders->index(Q(m_drives[static_cast<std::size_t>(index)].path)));
}

void SetLocationDialog::FolderChanged() {
    const QModelIndex current = m_folderList->currentIndex();
    if (current.isValid()) {
        m_text->setText(QDir::toNativeSeparators(m_folders->filePath(current)));
    }
}

void SetLocationDialog::SetLocation(const std::string& path) {
    const std::string real = platform::ResolvePath(path).value_or(path);
    const std::size_t drive = platform::DriveOf(m_drives, real);
    if (drive < m_drives.size()) {
        const QSignalBlocker block(m_driveList);
        m_driveList->setCurrentIndex(static_cast<int>(drive));
        DriveChanged(static_cast<int>(drive));
    }
    const QModelIndex index = m_folders->index(Q(real));
    if (index.isValid()) {
        m_folderList->setCurrentIndex(index);
        m_folderList->scrollTo(index);
    }
    m_text->setText(Q(path));
}

void SetLocationDialog::Ok() {
    m_cancelled = false;
    m_location = LocationFromText(S(m_text->text()), m_registeredFolder);
    accept();
}

}  // namespace vantor
