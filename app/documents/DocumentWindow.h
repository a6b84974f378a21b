#pragma once

#include <QWidget>
#include <string>

#include "corvane/TSFileItem.h"

class QLabel;
class QStackedLayout;
class QTreeWidget;
class QTreeWidgetItem;

namespace vantor {

class MainWindow;

// The document window ("frmDocument"). It works in one of four modes: 0 the
// installed consists, 1 one consist being edited, 2 a consist in 3D, 3 a shape in 3D.
class DocumentWindow : public QWidget {
    Q_OBJECT
public:
    explicit DocumentWindow(MainWindow& main, QWidget* parent = nullptr);

    [[nodiscard]] int WindowNumber() const { return m_windowNumber; }
    void SetWindowNumber(int number) { m_windowNumber = number; }
    [[nodiscard]] const corvane::TSFileItemPtr& Item() const { return m_item; }
    void SetItem(corvane::TSFileItemPtr item) { m_item = std::move(item); }
    // Returns the path of the selected vehicle's or stock item's file (mode 1 only).
    [[nodiscard]] std::string SelectedItem() const;
    [[nodiscard]] int Mode() const { return m_mode; }
    // Stores the mode and shows its controls; the first time it loads the window.
    void SetMode(int mode);
    [[nodiscard]] const std::string& Filter() const { return m_filter; }
    void SetFilter(std::string filter) { m_filter = std::move(filter); }
    [[nodiscard]] const std::string& FileName() const { return m_fileName; }
    void SetFileName(std::string fileName) { m_fileName = std::move(fileName); }
    // Runs one of the window's action commands (4: View Shape).
    void ActionClick(int index);
    // Loads the window's contents for its mode.
    void LoadForm();
    // Rebuilds the installed stock list with the current filter.
    void ReloadAllStock();
    // Puts the 3D camera back where it started.
    void ResetView();
    // Reports the window's properties.
    void ShowProperties();

    // The names of the selected consists of the consist list, in list order.
    [[nodiscard]] std::vector<std::string> SelectedConsists() const;
    // The consist list's rows.
    [[nodiscard]] std::vector<std::string> ConsistRows() const;
    // Opens consists of the list for editing or viewing.
    void EditConsist(const std::string& name);
    void ViewConsist(const std::string& name);

private:
    void LoadConsistList();
    void ShowModeControls();
    bool eventFilter(QObject* watched, QEvent* event) override;

    MainWindow& m_main;
    int m_windowNumber = 0;
    int m_mode = -1;
    bool m_loaded = false;
    std::string m_fileName;
    std::string m_filter;
    corvane::TSFileItemPtr m_item;

    QStackedLayout* m_pages;
    QTreeWidget* m_consists;
    QLabel* m_pending;
};

}  // namespace vantor
