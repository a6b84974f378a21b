#pragma once

// The 3D view: a set of placed shapes bound to one shape canvas, and the camera.
// It loads a shape into a new view object and places it, lets the canvas draw all
// its objects, and hands the camera to the canvas. The window that owns the view
// decides where the camera goes.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "view3d/ShapeCanvas.h"
#include "view3d/ShapeModel.h"
#include "view3d/TSViewObject.h"

namespace vantor::view3d {

// Makes a new shape model for each object of a view.
using ModelFactory = std::function<std::unique_ptr<ShapeModel>()>;

// The placed shapes of a view, in the order they were added, each under a key
// that no other holds. Positions count from 1.
class ViewModels {
public:
    [[nodiscard]] int Count() const { return static_cast<int>(m_entries.size()); }
    // Returns the object at position (1-based); throws std::out_of_range when
    // there is none.
    [[nodiscard]] TSViewObject& Item(int position) const;
    [[nodiscard]] const std::string& Key(int position) const;
    [[nodiscard]] bool HasKey(const std::string& key) const;
    // Adds an object at the end; throws std::invalid_argument when the key is taken.
    void Add(const std::string& key, std::unique_ptr<TSViewObject> object);
    // Removes the object at position (1-based).
    void Remove(int position);

private:
    struct Entry {
        std::string key;
        std::unique_ptr<TSViewObject> object;
    };
    std::vector<Entry> m_entries;
};

class TSView {
public:
    // Writes "> tsview " and its number to the log.
    TSView(ModelFactory newModel, ViewServices services);
    // Drops the objects and writes "< tsview " and its number.
    ~TSView();
    TSView(const TSView&) = delete;
    TSView& operator=(const TSView&) = delete;

    [[nodiscard]] ShapeCanvas* Viewer() const { return m_viewer; }
    void SetViewer(ShapeCanvas* viewer) { m_viewer = viewer; }
    // The placed shapes; nullptr once the window has dropped them.
    [[nodiscard]] ViewModels* Models() const { return m_models.get(); }
    // Drops every object (the window does this when it closes).
    void DropModels() { m_models.reset(); }
    [[nodiscard]] bool Initialised() const { return m_initialised; }
    // Lets pending window events run (set by the window; nothing by default).
    void SetProcessEvents(std::function<void()> processEvents) {
        m_processEvents = std::move(processEvents);
    }

    // The eye point and the point the camera looks at, in metres.
    float cameraX = 0;
    float cameraY = 0;
    float cameraZ = 0;
    float targetX = 0;
    float targetY = 0;
    float targetZ = 0;

    // Prepares the canvas for drawing; nothing without a canvas.
    void Initialise();
    // Creates a view object, loads the shape and places it at (x, y, z) turned by
    // angle degrees, and adds it under key; on failure shows why, adds nothing and
    // returns false.
    bool LoadShapeInToViewer(const std::string& key, const std::string& fileName, float x, float y,
                             float z, float unused1, float angle, float unused2);
    // Redraws after the canvas was resized or the set of objects changed.
    void RefreshForm();
    // Hands the camera to the canvas and draws.
    void ResetCamera();
    // Draws every object once.
    void ShowModels();

private:
    void LetEventsRun() const;

    ModelFactory m_newModel;
    ViewServices m_services;
    std::uint64_t m_identity;
    ShapeCanvas* m_viewer = nullptr;
    std::unique_ptr<ViewModels> m_models = std::make_unique<ViewModels>();
    bool m_initialised = false;
    std::function<void()> m_processEvents;
};

}  // namespace vantor::view3d
