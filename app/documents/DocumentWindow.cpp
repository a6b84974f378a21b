#include "documents/DocumentWindow.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QStackedLayout>
#include <QTreeWidget>

#include "documents/ConsistList.h"
#include "shell/InstallPaths.h"
#include "shell/MainWindow.h"
#include "shell/QtPrompter.h"

namespace vantor {

DocumentWindow::DocumentWindow(MainWindow& main, QWidget* parent) : QWidget(parent), m_main(main) {
    setObjectName("frmDocument");
    setAttribute(Qt::WA_DeleteOnClose);

    m_consists = new QTreeWidget(this);
    m_consists->setObjectName("lvConsists");
    m_consists->setRootIsDecorated(false);
    m_consists->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_consists->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_consists->setHeaderLabels({"Consist File"});
    m_consists->setContextMenuPolicy(Qt::CustomContextMenu);
    m_consists->installEventFilter(this);
    connect(m_consists, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* row) {
        if (row != nullptr) {
            EditConsist(S(row->text(0)));
        }
    });
    connect(m_consists, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        m_main.ConsistMenu()->popup(m_consists->viewport()->mapToGlobal(at));
    });

    m_pending = new QLabel(this);
    m_pending->setAlignment(Qt::AlignCenter);
    m_pending->setWordWrap(true);

    m_pages = new QStackedLayout(this);
    m_pages->addWidget(m_consists);
    m_pages->addWidget(m_pending);
    resize(480, 360);
}

void DocumentWindow::SetMode(int mode) {
    m_mode = mode;
    ShowModeControls();
    if (!m_loaded) {
        m_loaded = true;
        LoadForm();
    }
    if (m_main.Services().processEvents) {
        m_main.Services().processEvents();
    }
}

void DocumentWindow::ShowModeControls() {
    if (m_mode == 0) {
        m_pages->setCurrentWidget(m_consists);
        return;
    }
    static const char* kPending[] = {
        "", "Editing consists is not available in this version of Vantor.",
        "Showing consists in 3D is not available in this version of Vantor.",
        "Showing shapes in 3D is not available in this version of Vantor."};
    m_pending->setText(m_mode >= 1 && m_mode <= 3 ? kPending[m_mode] : "");
    m_pages->setCurrentWidget(m_pending);
}

void DocumentWindow::LoadForm() {
    if (m_mode == 0) {
        LoadConsistList();
    }
}

void DocumentWindow::LoadConsistList() {
    setWindowTitle(Q(ConsistListCaption(m_windowNumber, m_filter)));
    m_consists->clear();
    for (const std::string& name : ListConsists(MSTSPath(), m_filter)) {
        m_consists->addTopLevelItem(new QTreeWidgetItem(QStringList{Q(name)}));
    }
    m_consists->header()->setStretchLastSection(true);
}

std::vector<std::string> DocumentWindow::ConsistRows() const {
    std::vector<std::string> rows;
    for (int i = 0; i < m_consists->topLevelItemCount(); ++i) {
        rows.push_back(S(m_consists->topLevelItem(i)->text(0)));
    }
    return rows;
}

std::vector<std::string> DocumentWindow::SelectedConsists() const {
    std::vector<std::string> names;
    for (int i = 0; i < m_consists->topLevelItemCount(); ++i) {
        if (m_consists->topLevelItem(i)->isSelected()) {
            names.push_back(S(m_consists->topLevelItem(i)->text(0)));
        }
    }
    return names;
}

std::string DocumentWindow::SelectedItem() const {
    return {};
}

void DocumentWindow::EditConsist(const std::string& name) {
    m_main.NewDocumentWindow(MSTSPath() + "\\Trains\\Consists\\" + name + ".con", 1,
                             "Consist - " + name, nullptr);
}

void DocumentWindow::ViewConsist(const std::string& name) {
    m_main.NewDocumentWindow(MSTSPath() + "\\Trains\\Consists\\" + name + ".con", 2,
                             "Consist - " + name, nullptr);
}

bool DocumentWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_consists && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            const bool view = (key->modifiers() &
                               (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) != 0;
            for (const std::string& name : SelectedConsists()) {
                view ? ViewConsist(name) : EditConsist(name);
            }
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void DocumentWindow::ActionClick(int index) {
    if (index == 4) {
        // View Shape looks at the vehicle and stock lists of the consist editor.
        m_main.Services().prompts->Message(MessageIcon::Critical, "View Shape",
                                           "Nothing selected to view");
    }
}

void DocumentWindow::ReloadAllStock() {}

void DocumentWindow::ResetView() {}

void DocumentWindow::ShowProperties() {
    if (m_mode != 0) {
        return;
    }
    const std::string title = m_filter == "*"
                                  ? std::string("All Consists Properties")
                                  : "All Consists Properties (Filtered on " + m_filter + ")";
    m_main.Services().prompts->Message(MessageIcon::Information, title,
                                       "Path:\t" + MSTSPath() +
                                           "\\Trains\\Consists\r\n\r\nCount:\t" +
                                           std::to_string(m_consists->topLevelItemCount()));
}

}  // namespace vantor
