#include "documents/ReplaceStockDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "documents/ReplaceStock.h"
#include "ui/QtText.h"

namespace vantor {

ReplaceStockDialog::ReplaceStockDialog(const StockRow& from,
                                       const std::vector<std::string>& consists,
                                       const std::vector<StockRow>& stock, QWidget* parent)
    : QDialog(parent), m_from(from) {
    setObjectName("frmReplaceStock");
    setWindowTitle("Replace in Consists");

    auto* usedBy = new QLabel(Q("Consists that use " + StockText(from) + ":"), this);
    m_consists = new QListWidget(this);
    m_consists->setObjectName("lstConsists");
    for (const std::string& name : consists) {
        auto* item = new QListWidgetItem(Q(name), m_consists);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }

    auto* replaceBy = new QLabel("Replace it with:", this);
    m_stock = new QTreeWidget(this);
    m_stock->setObjectName("lvReplacement");
    m_stock->setRootIsDecorated(false);
    m_stock->setSelectionMode(QAbstractItemView::SingleSelection);
    m_stock->setHeaderLabels({"Type", "Folder", "Shape"});
    // Stock of the same kind comes first, as it is the usual choice.
    for (const bool sameKind : {true, false}) {
        for (const StockRow& row : stock) {
            if (row != from && (row.type == from.type) == sameKind) {
                m_stock->addTopLevelItem(
                    new QTreeWidgetItem(QStringList{Q(row.type), Q(row.folder), Q(row.shape)}));
            }
        }
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setObjectName("cmdOK");
    m_ok->setText("&Replace");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("cmdCancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_consists, &QListWidget::itemChanged, this, &ReplaceStockDialog::UpdateOk);
    connect(m_stock, &QTreeWidget::itemSelectionChanged, this, &ReplaceStockDialog::UpdateOk);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(usedBy);
    layout->addWidget(m_consists, 1);
    layout->addWidget(replaceBy);
    layout->addWidget(m_stock, 2);
    layout->addWidget(buttons);
    resize(560, 480);
    UpdateOk();
}

std::optional<StockRow> ReplaceStockDialog::Replacement() const {
    const auto selected = m_stock->selectedItems();
    if (selected.isEmpty()) {
        return std::nullopt;
    }
    const QTreeWidgetItem* row = selected.front();
    return StockRow{S(row->text(0)), S(row->text(1)), S(row->text(2))};
}

std::vector<std::string> ReplaceStockDialog::TickedConsists() const {
    std::vector<std::string> names;
    for (int i = 0; i < m_consists->count(); ++i) {
        if (m_consists->item(i)->checkState() == Qt::Checked) {
            names.push_back(S(m_consists->item(i)->text()));
        }
    }
    return names;
}

void ReplaceStockDialog::UpdateOk() {
    m_ok->setEnabled(Replacement().has_value() && !TickedConsists().empty());
}

}  // namespace vantor
