#include "documents/View3DPage.h"

#include <QGridLayout>
#include <QLabel>
#include <QScrollBar>
#include <QStandardPaths>

#include "platform/Paths.h"
#include "ui/QtText.h"
#include "ui/WindowHost.h"

namespace vantor {

View3DPage::View3DPage(WindowHost& host, std::function<void(const std::string&)> setCaption,
                       QWidget* parent)
    : QWidget(parent), m_host(host), m_setCaption(std::move(setCaption)) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    const view3d::View3DParts* parts = m_host.View3D();
    if (parts == nullptr || !parts->newCanvas) {
        m_unavailable = new QLabel(
            "Showing consists and shapes in 3D is not available in this "
            "version.",
            this);
        m_unavailable->setAlignment(Qt::AlignCenter);
        m_unavailable->setWordWrap(true);
        grid->addWidget(m_unavailable, 0, 0);
        return;
    }
    const view3d::CanvasWidget canvas = parts->newCanvas(this);
    m_canvasWidget = canvas.widget;
    m_canvas = canvas.canvas;
    m_canvasWidget->setObjectName("sfViewer");
    m_hscView = new QScrollBar(Qt::Horizontal, this);
    m_hscView->setObjectName("hscView");
    m_vscView = new QScrollBar(Qt::Vertical, this);
    m_vscView->setObjectName("vscView");
    // Up is higher: the top of the bar is the highest camera.
    m_vscView->setInvertedAppearance(true);
    m_vscView->setInvertedControls(false);
    grid->addWidget(m_canvasWidget, 0, 0);
    grid->addWidget(m_vscView, 0, 1);
    grid->addWidget(m_hscView, 1, 0);

    view3d::ViewServices services{m_host.Services().prompts, m_host.Services().installation};
    m_controller = std::make_unique<view3d::View3DController>(
        m_canvas, parts->newModel, services, static_cast<view3d::View3DHost&>(*this),
        m_host.Services().installation->MSTSPath());
    m_canvas->SetEvents(m_controller.get());
    MirrorBars();
    connect(m_hscView, &QScrollBar::valueChanged, this, [this](int value) {
        if (!m_mirroring) {
            m_controller->HorizontalScrolled(value);
        }
    });
    connect(m_vscView, &QScrollBar::valueChanged, this, [this](int value) {
        if (!m_mirroring) {
            m_controller->VerticalScrolled(value);
        }
    });
}

View3DPage::~View3DPage() {
    if (m_canvas != nullptr) {
        m_canvas->SetEvents(nullptr);
    }
    // The view's models go before the canvas they were attached to.
    m_controller.reset();
}

void View3DPage::Load(DocumentMode mode, const std::string& fileName,
                      const corvane::TSFileItemPtr& item) {
    if (!m_controller || fileName.empty()) {
        return;
    }
    if (mode == DocumentMode::Consist3D) {
        // Only the exact lower-case extension means an activity.
        const bool activity =
            fileName.size() >= 4 && fileName.compare(fileName.size() - 4, 4, ".act") == 0;
        if (activity) {
            m_controller->RenderLooseConsist(item);
        } else if (platform::FileExists(fileName)) {
            m_controller->RenderConsistFile(fileName);
        }
    } else if (mode == DocumentMode::Shape3D && platform::FileExists(fileName)) {
        m_controller->RenderShape(fileName);
    }
}

void View3DPage::ResetView() {
    if (m_controller) {
        m_controller->ResetView();
    }
}

std::string View3DPage::TexturesReport(DocumentMode mode) const {
    if (!m_controller) {
        return mode == DocumentMode::Shape3D
                   ? "The shape could not be loaded, so there are no textures to report."
                   : "All Consist Textures";
    }
    return mode == DocumentMode::Shape3D ? m_controller->ShapeTexturesReport()
                                         : m_controller->ConsistTexturesReport();
}

std::string View3DPage::SaveSnapshot(DocumentMode mode, const std::string& screenShotDir) {
    if (!m_controller) {
        return {};
    }
    const bool consist = mode == DocumentMode::Consist3D;
    const std::string pictures =
        S(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation));
    return m_controller->SaveSnapshot(
        screenShotDir, pictures, consist ? "\\VantorC" : "\\VantorS",
        consist ? "Saving consist snapshot to " : "Saving stock snapshot to ");
}

void View3DPage::Close() {
    if (m_controller) {
        m_controller->Close();
    }
}

bool View3DPage::Busy() const {
    return m_controller && m_controller->Busy();
}

void View3DPage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_controller) {
        m_controller->Resized();
    }
}

void View3DPage::ShowStatus(const std::string& text) {
    m_host.ShowStatus(text);
}

void View3DPage::SetCaption(const std::string& caption) {
    if (m_setCaption) {
        m_setCaption(caption);
    }
}

void View3DPage::ScrollBarsChanged() {
    MirrorBars();
}

void View3DPage::MirrorBars() {
    m_mirroring = true;
    const view3d::ScrollBarState& h = m_controller->HorizontalBar();
    m_hscView->setRange(h.minimum, h.maximum);
    m_hscView->setValue(h.value);
    const view3d::ScrollBarState& v = m_controller->VerticalBar();
    m_vscView->setRange(v.minimum, v.maximum);
    m_vscView->setValue(v.value);
    m_mirroring = false;
}

void View3DPage::LetEventsRun() {
    // Only a window on screen has events to let run. Before the main window is
    // first shown they would run in the middle of its setting up, which Qt does
    // not survive once a 3D canvas is among its children.
    if (isVisible() && m_host.Services().processEvents) {
        m_host.Services().processEvents();
    }
}

}  // namespace vantor
