#pragma once

#include <QDialog>

#include "validation/CheckCommands.h"

class QCheckBox;
class QLabel;
class QListWidget;

namespace vantor {

// The selection dialog ("frmSelector"): rows to choose from, Select All, the
// details of the clicked row, OK and Cancel.
class RouteSelectorDialog : public QDialog {
    Q_OBJECT
public:
    explicit RouteSelectorDialog(const std::string& caption = "Select", QWidget* parent = nullptr);

    // Stores the "|"-separated list and fills the rows.
    void SetSelectFrom(const std::string& list);
    [[nodiscard]] const std::string& SelectFrom() const { return m_selector.SelectFrom(); }
    // The chosen rows' texts joined by "|"; empty until OK.
    [[nodiscard]] const std::string& Selected() const { return m_selector.Selected(); }

private:
    void Ok();

    Selector m_selector;
    QListWidget* m_items;
    QCheckBox* m_all;
    QLabel* m_details;
};

}  // namespace vantor
