#pragma once

// The 3D page of a document window: the canvas "sfViewer" with the scroll bar
// "hscView" below it and "vscView" beside it, wired to the 3D logic.

#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "common/DocumentMode.h"
#include "corvane/TSFileItem.h"
#include "view3d/View3DController.h"
#include "view3d/View3DParts.h"

class QLabel;
class QScrollBar;

namespace vantor {

class WindowHost;

class View3DPage : public QWidget, private view3d::View3DHost {
public:
    // Makes the canvas from the host's 3D parts; without them the page says that
    // 3D cannot be shown.
    View3DPage(WindowHost& host, std::function<void(const std::string&)> setCaption,
               QWidget* parent = nullptr);
    ~View3DPage() override;
    View3DPage(const View3DPage&) = delete;
    View3DPage& operator=(const View3DPage&) = delete;

    // Shows what a window of mode shows for fileName (and item, for an
    // activity's loose consist).
    void Load(DocumentMode mode, const std::string& fileName, const corvane::TSFileItemPtr& item);
    void ResetView();
    // The texture report of Properties for a window of mode.
    [[nodiscard]] std::string TexturesReport(DocumentMode mode) const;
    // Saves a snapshot (Save); returns the file written, empty when none was.
    std::string SaveSnapshot(DocumentMode mode, const std::string& screenShotDir);
    // The window closes: drops the view, at once or when a render running now ends.
    void Close();
    [[nodiscard]] bool Busy() const;
    // The 3D logic, or nullptr when this program cannot show 3D.
    [[nodiscard]] view3d::View3DController* Controller() const { return m_controller.get(); }
    [[nodiscard]] view3d::ShapeCanvas* Canvas() const { return m_canvas; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void ShowStatus(const std::string& text) override;
    void SetCaption(const std::string& caption) override;
    void ScrollBarsChanged() override;
    void LetEventsRun() override;
    // Shows the logic's scroll bar values on the bars, without running their handlers.
    void MirrorBars();

    WindowHost& m_host;
    std::function<void(const std::string&)> m_setCaption;
    QLabel* m_unavailable = nullptr;
    QWidget* m_canvasWidget = nullptr;
    view3d::ShapeCanvas* m_canvas = nullptr;
    QScrollBar* m_hscView = nullptr;
    QScrollBar* m_vscView = nullptr;
    std::unique_ptr<view3d::View3DController> m_controller;
    bool m_mirroring = false;
};

}  // namespace vantor
