#pragma once

// What a document window does in its two 3D modes, without its widgets: it builds
// the view of a consist or a shape, places the camera, and answers the scroll
// bars, the mouse and the keys on the canvas. The window mirrors the two scroll
// bars held here and shows the status texts and captions it is given.

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "corvane/TSFile.h"
#include "corvane/TSFileItem.h"
#include "view3d/ShapeCanvas.h"
#include "view3d/TSView.h"

namespace vantor::view3d {

// Key codes the canvas reports.
inline constexpr int kKeyLeft = 37;
inline constexpr int kKeyRight = 39;
inline constexpr int kKeyDelete = 46;

// A scroll bar as values: the window's bar shows them.
struct ScrollBarState {
    int minimum = 0;
    int maximum = 0;
    int value = 0;
};

// What the 3D logic needs of its window.
class View3DHost {
public:
    virtual ~View3DHost() = default;
    // Shows a text in the main window's status bar.
    virtual void ShowStatus(const std::string& text) = 0;
    // Sets the window's caption.
    virtual void SetCaption(const std::string& caption) = 0;
    // The scroll bars changed: the window shows their new values.
    virtual void ScrollBarsChanged() = 0;
    // Lets pending window events run once.
    virtual void LetEventsRun() = 0;
};

class View3DController : public CanvasEvents {
public:
    View3DController(ShapeCanvas* canvas, ModelFactory newModel, ViewServices services,
                     View3DHost& host, std::string installFolder);
    ~View3DController() override;
    View3DController(const View3DController&) = delete;
    View3DController& operator=(const View3DController&) = delete;

    // Loads a consist file and shows it; false when a message said it could not.
    bool RenderConsistFile(const std::string& fileName);
    // Shows a loaded consist; false when a message said it could not.
    bool RenderConsist(const corvane::TSFile& file);
    // Shows the loose consist of an activity.
    bool RenderLooseConsist(const corvane::TSFileItemPtr& item);
    // Shows one shape at the origin.
    bool RenderShape(const std::string& fileName);
    // Puts the camera back where a fresh view has it.
    void ResetView();
    // The window was resized: redraws.
    void Resized();
    // The window closes: drops the view (at once, or when a render running now ends).
    void Close();
    // True while a render runs (it lets window events run on the way).
    [[nodiscard]] bool Busy() const { return m_busy; }

    // Turns (a, b) by angle radians: the mouse orbit's step.
    static void RotatePair(float angle, float& a, float& b);

    // The scroll bars: their change and scroll events.
    [[nodiscard]] const ScrollBarState& HorizontalBar() const { return m_hscView; }
    [[nodiscard]] const ScrollBarState& VerticalBar() const { return m_vscView; }
    void HorizontalScrolled(int value);
    void VerticalScrolled(int value);

    // The canvas's events.
    void RedrawRequested() override;
    void ViewResetRequested() override;
    void KeyDown(int keyCode, int shift) override;
    void MouseDown(int button, int shift, float x, float y) override;
    void MouseMove(int button, int shift, float x, float y) override;
    void MouseUp(int button, int shift, float x, float y) override;

    // The texture reports of the Properties command.
    [[nodiscard]] std::string ConsistTexturesReport() const;
    [[nodiscard]] std::string ShapeTexturesReport() const;

    // Saves a snapshot of the picture under base name ("\VantorC" or "\VantorS")
    // in screenShotDir, or in fallbackDir when that cannot be written; shows
    // statusText followed by the file written. Returns the file written, empty
    // when nothing was (a message said why).
    std::string SaveSnapshot(const std::string& screenShotDir, const std::string& fallbackDir,
                             const std::string& baseName, const std::string& statusText);

    [[nodiscard]] TSView* View() const { return m_view.get(); }
    [[nodiscard]] float ConsistEndZ() const { return m_consistEndZ; }
    [[nodiscard]] float ConsistMiddleZ() const { return m_consistMiddleZ; }
    // The shape files that could not be loaded by the last render, in consist order.
    [[nodiscard]] const std::vector<std::string>& FailedShapes() const { return m_failedShapes; }

private:
    bool RenderVehicles(const corvane::TSFileItem& cfg);
    // Ends a render that went through: selects the first model and says "Done".
    // Returns whether every shape could be loaded.
    bool Finished();
    // Shows why a render stopped, under title; returns false.
    bool Failed(const std::string& title, const std::exception& error);
    void NewView();
    // Attaches the models to the canvas's device when it is not the one they have:
    // a canvas may only be able to draw once its window is on screen.
    void AttachModels();
    void SetHorizontalValue(int value);
    void SetVerticalValue(int value);
    void FollowCameraHeight();
    void Orbit(float dx, float dy);
    void Shift(float dx, float dy);
    void MoveSelection(int step);
    void DeleteSelected();
    [[nodiscard]] int SelectedPosition() const;
    [[nodiscard]] bool Abandoned() const { return m_closed; }
    void LetEventsRun();
    void RefreshBars();

    ShapeCanvas* m_canvas;
    ModelFactory m_newModel;
    ViewServices m_services;
    View3DHost& m_host;
    std::string m_installFolder;
    std::unique_ptr<corvane::TSFile> m_file;
    std::unique_ptr<TSView> m_view;
    RenderDevice* m_device = nullptr;  // the device the view's models are attached to
    float m_consistEndZ = 0;
    float m_consistMiddleZ = 0;
    bool m_mouseDragging = false;
    float m_lastMouseX = 0;
    float m_lastMouseY = 0;
    ScrollBarState m_hscView;
    ScrollBarState m_vscView{0, 100, 2};
    unsigned long m_keyNumber = 0;
    std::vector<std::string> m_failedShapes;
    bool m_busy = false;
    bool m_closed = false;
};

// Rounds to the nearest whole number, halves to even, within 16 bits.
int RoundToWhole(float value);

// Writes a single-precision number as the program's status texts show it.
std::string SingleText(float value);

}  // namespace vantor::view3d
