#pragma once

#include <QDialog>

#include "platform/Drives.h"

class QComboBox;
class QFileSystemModel;
class QLineEdit;
class QTreeView;

namespace vantor {

// The dialog that chooses the simulator's folder ("frmSetLoc"): a drive list, a
// folder list and a text box, with OK, Cancel and Reset.
class SetLocationDialog : public QDialog {
    Q_OBJECT
public:
    // registeredFolder is what Reset goes back to and what OK stores as "$MSTS".
    SetLocationDialog(std::vector<platform::Drive> drives, std::string registeredFolder,
                      QWidget* parent = nullptr);

    // Selects the drive that holds path, then shows path in the folder list.
    void SetLocation(const std::string& path);
    // True until OK is pressed.
    [[nodiscard]] bool Cancelled() const { return m_cancelled; }
    // The location chosen with OK.
    [[nodiscard]] const std::string& Location() const { return m_location; }

private:
    void DriveChanged(int index);
    void FolderChanged();
    void Ok();

    std::vector<platform::Drive> m_drives;
    std::string m_registeredFolder;
    bool m_cancelled = true;
    std::string m_location;

    QComboBox* m_driveList;
    QTreeView* m_folderList;
    QFileSystemModel* m_folders;
    QLineEdit* m_text;
};

// Returns what OK makes of the text box: "$MSTS" for the registered folder itself.
std::string LocationFromText(const std::string& text, const std::string& registeredFolder);

}  // namespace vantor
