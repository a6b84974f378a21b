#include "documents/ConsistEditorView.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ui/QtText.h"

namespace vantor {

namespace {

struct ButtonText {
    const char* caption;
    const char* tip;
};

constexpr std::array<ButtonText, 6> kMoveButtons = {{
    {"<", "Add stock to consist"},
    {">", "Remove stock from consist"},
    {"x", "Remove all consist items"},
    {"/\\", "Move stock forwards"},
    {"\\/", "Move stock backwards"},
    {"fl", "Flip stock in consist"},
}};

constexpr std::array<ButtonText, 5> kActionButtons = {{
    {"&Cancel", "Abandon changes"},
    {"&Apply", "Save changes"},
    {"&OK", "Save changes and close window"},
    {"View &Consist", "Show consist in 3D"},
    {"View &Shape", "Show selected shape in 3D"},
}};

}  // namespace

QTreeWidget* ConsistEditorView::MakeList(QWidget* parent, const char* name, const char* tip) {
    auto* list = new QTreeWidget(parent);
    list->setObjectName(name);
    list->setToolTip(tip);
    list->setRootIsDecorated(false);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setHeaderLabels({"Type", "Folder", "Shape"});
    list->setContextMenuPolicy(Qt::PreventContextMenu);
    list->installEventFilter(parent);
    list->viewport()->installEventFilter(parent);
    return list;
}

ConsistEditorView::ConsistEditorView(QWidget* parent) : QWidget(parent) {
    m_vehicles = MakeList(this, "lvConsist", "Current consist items");
    m_stock = MakeList(this, "lvStock", "Available installed stock");
    m_stock->header()->setSectionsClickable(true);
    m_stock->header()->setSortIndicatorShown(false);
    connect(m_stock->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { emit stockHeaderClicked(column); });
    connect(m_vehicles, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (!m_showing) {
            const auto rows = m_vehicles->selectedItems();
            emit vehicleSelected(rows.isEmpty() ? 0 : m_vehicles->indexOfTopLevelItem(rows[0]) + 1);
        }
    });

    auto* moves = new QVBoxLayout;
    moves->addStretch();
    for (std::size_t i = 0; i < kMoveButtons.size(); ++i) {
        m_move[i] = new QPushButton(kMoveButtons[i].caption, this);
        m_move[i]->setObjectName(QString("cmdMove_%1").arg(i));
        m_move[i]->setToolTip(kMoveButtons[i].tip);
        m_move[i]->setMinimumWidth(40);
        connect(m_move[i], &QPushButton::clicked, this,
                [this, i] { emit moveClicked(static_cast<MoveCommand>(i)); });
        moves->addWidget(m_move[i]);
    }
    moves->addStretch();
    // Arrows show which way each button moves stock: towards the consist, away
    // from it, to the front, to the end.
    const std::array<std::pair<std::size_t, QStyle::StandardPixmap>, 4> arrows = {
        {{0, QStyle::SP_ArrowLeft},
         {1, QStyle::SP_ArrowRight},
         {3, QStyle::SP_ArrowUp},
         {4, QStyle::SP_ArrowDown}}};
    for (const auto& [index, arrow] : arrows) {
        m_move[index]->setIcon(style()->standardIcon(arrow));
    }

    // The consist's facts stand under its vehicle list.
    m_facts = new QLabel(this);
    m_facts->setObjectName("lblFacts");
    m_facts->setWordWrap(true);
    m_facts->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* consist = new QVBoxLayout;
    consist->addWidget(m_vehicles, 1);
    consist->addWidget(m_facts);

    auto* lists = new QHBoxLayout;
    lists->addLayout(consist, 1);
    lists->addLayout(moves);
    lists->addWidget(m_stock, 1);

    auto* fields = new QHBoxLayout;
    auto* maxLabel = new QLabel("Max Velocity", this);
    maxLabel->setObjectName("lblMaxVelocity");
    fields->addWidget(maxLabel);
    for (std::size_t i = 0; i < m_maxVelocity.size(); ++i) {
        m_maxVelocity[i] = new QLineEdit(this);
        m_maxVelocity[i]->setObjectName(QString("txtMaxVelocity_%1").arg(i));
        m_maxVelocity[i]->setMaximumWidth(100);
        // Display fields: nothing reads them back, so they take no typing to lose.
        m_maxVelocity[i]->setReadOnly(true);
        fields->addWidget(m_maxVelocity[i]);
    }
    auto* durabilityLabel = new QLabel("Durability", this);
    durabilityLabel->setObjectName("lblDurability");
    fields->addWidget(durabilityLabel);
    m_durability = new QLineEdit(this);
    m_durability->setObjectName("txtDurability");
    m_durability->setMaximumWidth(100);
    m_durability->setReadOnly(true);
    fields->addWidget(m_durability);
    fields->addStretch();

    auto* actions = new QHBoxLayout;
    actions->addStretch();
    for (std::size_t i = 0; i < kActionButtons.size(); ++i) {
        m_action[i] = new QPushButton(kActionButtons[i].caption, this);
        m_action[i]->setObjectName(QString("cmdAction_%1").arg(i));
        m_action[i]->setToolTip(kActionButtons[i].tip);
        connect(m_action[i], &QPushButton::clicked, this,
                [this, i] { emit actionClicked(static_cast<ActionCommand>(i)); });
        actions->addWidget(m_action[i]);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addLayout(fields);
    layout->addLayout(actions);
}

void ConsistEditorView::ShowFacts(const std::string& text) {
    m_facts->setText(Q(text));
}

QString ConsistEditorView::FactsText() const {
    return m_facts->text();
}

void ConsistEditorView::ShowConsist(const ConsistEditor& editor) {
    m_showing = true;
    m_vehicles->clear();
    for (const VehicleRow& row : editor.Rows()) {
        auto* item = new QTreeWidgetItem(QStringList{Q(row.type), Q(row.folder), Q(row.shape)});
        item->setData(0, Qt::UserRole, row.tag);
        m_vehicles->addTopLevelItem(item);
    }
    const int selected = editor.SelectedRow();
    if (selected >= 1 && selected <= m_vehicles->topLevelItemCount()) {
        m_vehicles->setCurrentItem(m_vehicles->topLevelItem(selected - 1));
    } else {
        m_vehicles->clearSelection();
    }
    SizeColumns(m_vehicles);
    m_maxVelocity[0]->setText(Q(editor.MaxVelocity(0)));
    m_maxVelocity[1]->setText(Q(editor.MaxVelocity(1)));
    m_durability->setText(Q(editor.Durability()));
    m_action[1]->setEnabled(editor.CanApply());
    m_action[2]->setEnabled(editor.CanApply());
    m_showing = false;
}

void ConsistEditorView::ShowStock(const std::vector<StockRow>& rows, const StockSort& sort) {
    // The selected row stays selected and in sight when the rows are reordered.
    const std::optional<StockRow> selected = SelectedStock();
    std::vector<StockRow> sorted = rows;
    sort.Apply(sorted);
    m_stock->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(sorted.size()));
    QTreeWidgetItem* reselect = nullptr;
    for (const StockRow& row : sorted) {
        items << new QTreeWidgetItem(QStringList{Q(row.type), Q(row.folder), Q(row.shape)});
        if (reselect == nullptr && selected && row == *selected) {
            reselect = items.back();
        }
    }
    m_stock->addTopLevelItems(items);
    if (reselect != nullptr) {
        m_stock->setCurrentItem(reselect);
        m_stock->scrollToItem(reselect);
    }
    SizeColumns(m_stock);
    m_stock->header()->setSortIndicatorShown(sort.Sorted());
    if (sort.Sorted()) {
        m_stock->header()->setSortIndicator(
            sort.Key(), sort.Ascending() ? Qt::AscendingOrder : Qt::DescendingOrder);
    }
}

void ConsistEditorView::AppendStock(const std::vector<StockRow>& rows) {
    if (m_stock->topLevelItemCount() == 0) {
        SizeColumns(m_stock);
    }
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(rows.size()));
    for (const StockRow& row : rows) {
        items << new QTreeWidgetItem(QStringList{Q(row.type), Q(row.folder), Q(row.shape)});
    }
    m_stock->addTopLevelItems(items);
}

std::optional<StockRow> ConsistEditorView::StockAt(int position) const {
    QTreeWidgetItem* item = m_stock->topLevelItem(position);
    if (item == nullptr) {
        return std::nullopt;
    }
    return StockRow{S(item->text(0)), S(item->text(1)), S(item->text(2))};
}

std::optional<StockRow> ConsistEditorView::SelectedStock() const {
    const auto selected = m_stock->selectedItems();
    if (selected.isEmpty()) {
        return std::nullopt;
    }
    return StockAt(m_stock->indexOfTopLevelItem(selected[0]));
}

void ConsistEditorView::SizeColumns(QTreeWidget* list) {
    const int width = std::max(200, list->viewport()->width());
    list->setColumnWidth(0, width / 4);
    list->setColumnWidth(1, width / 4);
    list->setColumnWidth(2, width - 2 * (width / 4));
}

void ConsistEditorView::FocusVehicles() {
    m_vehicles->setFocus(Qt::OtherFocusReason);
}

bool ConsistEditorView::eventFilter(QObject* watched, QEvent* event) {
    const bool vehicles = watched == m_vehicles || watched == m_vehicles->viewport();
    const bool stock = watched == m_stock || watched == m_stock->viewport();
    if (!vehicles && !stock) {
        return QWidget::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::Resize:
            if (watched == m_vehicles->viewport() || watched == m_stock->viewport()) {
                SizeColumns(vehicles ? m_vehicles : m_stock);
            }
            break;
        case QEvent::FocusIn:
            emit listFocused(vehicles);
            break;
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            if (vehicles && key->key() == Qt::Key_Delete) {
                emit moveClicked((key->modifiers() & ~Qt::KeypadModifier) == Qt::ShiftModifier
                                     ? MoveCommand::RemoveAll
                                     : MoveCommand::Remove);
                return true;
            }
            if (stock && key->key() == Qt::Key_Insert) {
                emit moveClicked(MoveCommand::Add);
                return true;
            }
            break;
        }
        case QEvent::MouseButtonPress: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (stock && mouse->button() == Qt::LeftButton && watched == m_stock->viewport()) {
                QTreeWidgetItem* item = m_stock->itemAt(mouse->position().toPoint());
                if (item != nullptr) {
                    m_stock->setCurrentItem(item);
                    m_dragRow = m_stock->indexOfTopLevelItem(item);
                    emit stockDragged(true, m_dragRow);
                }
            }
            break;
        }
        case QEvent::MouseButtonDblClick: {
            // A double-click on a stock row adds that vehicle.
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (stock && mouse->button() == Qt::LeftButton && watched == m_stock->viewport()) {
                if (QTreeWidgetItem* item = m_stock->itemAt(mouse->position().toPoint())) {
                    m_stock->setCurrentItem(item);
                    emit moveClicked(MoveCommand::Add);
                    return true;
                }
            }
            break;
        }
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton && stock && m_dragRow >= 0) {
                const int position = m_dragRow;
                m_dragRow = -1;
                emit stockDragged(false, position);
                const QPoint global = mouse->globalPosition().toPoint();
                if (m_vehicles->viewport()->rect().contains(
                        m_vehicles->viewport()->mapFromGlobal(global)) &&
                    m_vehicles->isVisible()) {
                    QTreeWidgetItem* target =
                        m_vehicles->itemAt(m_vehicles->viewport()->mapFromGlobal(global));
                    emit stockDropped(position, target == nullptr
                                                    ? 0
                                                    : m_vehicles->indexOfTopLevelItem(target) + 1);
                }
            } else if (mouse->button() == Qt::RightButton) {
                emit contextMenuAsked(vehicles, mouse->globalPosition().toPoint());
                return true;
            }
            break;
        }
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace vantor
