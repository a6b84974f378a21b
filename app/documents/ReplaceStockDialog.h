#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "documents/StockList.h"

class QLabel;
class QListWidget;
class QPushButton;
class QTreeWidget;

namespace vantor {

// The dialog of Stock, Replace in Consists ("frmReplaceStock"): the consists that
// use a stock item, each with a tick, and the installed stock to pick its
// replacement from. OK is enabled while a replacement is picked and a consist ticked.
class ReplaceStockDialog : public QDialog {
    Q_OBJECT
public:
    ReplaceStockDialog(const StockRow& from, const std::vector<std::string>& consists,
                       const std::vector<StockRow>& stock, QWidget* parent = nullptr);

    // The picked replacement, or nothing.
    [[nodiscard]] std::optional<StockRow> Replacement() const;
    // The ticked consists, in list order.
    [[nodiscard]] std::vector<std::string> TickedConsists() const;

private:
    void UpdateOk();

    StockRow m_from;
    QListWidget* m_consists;
    QTreeWidget* m_stock;
    QPushButton* m_ok;
};

}  // namespace vantor
