#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <vector>

#include "documents/ConsistEditor.h"
#include "documents/StockList.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace vantor {

// The controls of a consist window: the vehicle list, the installed stock list,
// the editing and action buttons and the display fields. It shows a
// ConsistEditor and reports the user's actions; the document window decides.
class ConsistEditorView : public QWidget {
    Q_OBJECT
public:
    explicit ConsistEditorView(QWidget* parent = nullptr);

    // Shows the editor's rows, selection, fields and button states.
    void ShowConsist(const ConsistEditor& editor);
    // Shows the consist's facts under the vehicle list.
    void ShowFacts(const std::string& text);
    [[nodiscard]] QString FactsText() const;
    // Shows stock rows in the order the sort gives.
    void ShowStock(const std::vector<StockRow>& rows, const StockSort& sort);
    // Adds stock rows at the end of the list while the scan goes on; ShowStock
    // puts them in order when it is done.
    void AppendStock(const std::vector<StockRow>& rows);
    // The selected stock row, or nothing.
    [[nodiscard]] std::optional<StockRow> SelectedStock() const;
    // The stock row at a 0-based position.
    [[nodiscard]] std::optional<StockRow> StockAt(int position) const;
    [[nodiscard]] QTreeWidget* VehicleList() const { return m_vehicles; }
    [[nodiscard]] QTreeWidget* StockList() const { return m_stock; }
    void FocusVehicles();

signals:
    // An editing button (0 to 5) or its key.
    void moveClicked(vantor::MoveCommand command);
    // An action button (0 to 4).
    void actionClicked(vantor::ActionCommand command);
    // A click on a heading of the stock list.
    void stockHeaderClicked(int column);
    // The vehicle list (true) or the stock list (false) gained the focus.
    void listFocused(bool vehicles);
    // The vehicle list's selected row changed (1-based, 0 for none).
    void vehicleSelected(int row);
    // A drag from the stock list began or ended on a stock row (0-based).
    void stockDragged(bool started, int position);
    // A stock row (0-based) was dropped on the vehicle list before a vehicle row
    // (1-based; 0 below the last row).
    void stockDropped(int position, int row);
    // The right mouse button in the vehicle list (true) or the stock list (false).
    void contextMenuAsked(bool vehicles, const QPoint& globalPosition);

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Gives a list's columns a quarter, a quarter and a half of its width.
    static void SizeColumns(QTreeWidget* list);
    static QTreeWidget* MakeList(QWidget* parent, const char* name, const char* tip);

    QTreeWidget* m_vehicles;
    QTreeWidget* m_stock;
    std::array<QPushButton*, 6> m_move{};
    std::array<QPushButton*, 5> m_action{};
    std::array<QLineEdit*, 2> m_maxVelocity{};
    QLineEdit* m_durability;
    QLabel* m_facts;
    bool m_showing = false;
    int m_dragRow = -1;
};

}  // namespace vantor
