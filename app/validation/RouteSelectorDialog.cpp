#include "validation/RouteSelectorDialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/QtPrompter.h"

namespace vantor {

RouteSelectorDialog::RouteSelectorDialog(const std::string& caption, QWidget* parent)
    : QDialog(parent), m_selector(caption) {
    setObjectName("frmSelector");
    setWindowTitle(Q(caption));

    auto* label = new QLabel("Available Items:", this);
    m_items = new QListWidget(this);
    m_items->setObjectName("lvItems");
    m_items->setSelectionMode(QAbstractItemView::MultiSelection);
    label->setBuddy(m_items);

    m_all = new QCheckBox("Select All", this);
    m_all->setObjectName("chkAll");

    auto* frame = new QGroupBox("Details", this);
    m_details = new QLabel(frame);
    m_details->setObjectName("lblDetails");
    m_details->setWordWrap(true);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(m_details);

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("cmdAction_0");
    ok->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("cmdAction_1");

    connect(m_items, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        m_selector.Click(m_items->row(item));
        m_details->setText(Q(m_selector.Details()));
    });
    connect(m_all, &QCheckBox::clicked, this, [this](bool checked) {
        m_selector.SelectAll(checked);
        for (int i = 0; i < m_items->count(); ++i) {
            m_items->item(i)->setSelected(checked);
        }
        m_items->setFocus();
    });
    connect(ok, &QPushButton::clicked, this, &RouteSelectorDialog::Ok);
    connect(cancel, &QPushButton::clicked, this, [this] {
        m_selector.Cancel();
        reject();
    });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_items, 1);
    layout->addWidget(m_all);
    layout->addWidget(frame);
    layout->addLayout(buttons);
    resize(360, 420);
}

void RouteSelectorDialog::SetSelectFrom(const std::string& list) {
    m_selector.SetSelectFrom(list);
    m_items->clear();
    for (const Selector::Row& row : m_selector.Rows()) {
        m_items->addItem(Q(row.text));
    }
    m_details->setText(Q(m_selector.Details()));
}

void RouteSelectorDialog::Ok() {
    for (int i = 0; i < m_items->count(); ++i) {
        m_selector.SetRowSelected(i, m_items->item(i)->isSelected());
    }
    m_selector.Ok();
    accept();
}

}  // namespace vantor
