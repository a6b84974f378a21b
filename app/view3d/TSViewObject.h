#pragma once

// One shape placed in the 3D view: a vehicle of a consist or the single shape of a
// shape view. It owns its shape model, keeps the shape's position and its turn
// about the vertical axis, and turns them into the model's world transform.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "view3d/ShapeModel.h"

namespace vantor {
class Installation;
class Prompter;
}  // namespace vantor

namespace vantor::view3d {

// What the view's objects need of the program: the prompts and the log.
struct ViewServices {
    Prompter* prompts = nullptr;
    const Installation* installation = nullptr;  // nullptr: nothing is logged
};

class TSViewObject {
public:
    // Takes the model it owns; writes "> tsviewobject " and its number to the log.
    TSViewObject(std::unique_ptr<ShapeModel> model, ViewServices services);
    // Detaches the model from its device and writes "< tsviewobject " and its number.
    ~TSViewObject();
    TSViewObject(const TSViewObject&) = delete;
    TSViewObject& operator=(const TSViewObject&) = delete;

    // The number that tells this object apart in the log.
    [[nodiscard]] std::uint64_t Identity() const { return m_identity; }
    [[nodiscard]] std::int16_t NumTextures() const;
    // Returns the name of texture index (1-based); empty when there is no such texture.
    [[nodiscard]] std::string Texture(int index) const;
    [[nodiscard]] const std::string& LastError() const { return m_lastError; }
    // Loads a shape file into the model; false when the file is missing or the
    // model rejects it (LastError says why).
    bool LoadShape(const std::string& fileName);
    [[nodiscard]] ShapeModel& Model() const { return *m_model; }

    [[nodiscard]] float X() const { return m_x; }
    [[nodiscard]] float Y() const { return m_y; }
    [[nodiscard]] float Z() const { return m_z; }
    [[nodiscard]] float R() const { return m_r; }
    void SetX(float value) { MoveTo(value, m_y, m_z); }
    void SetY(float value) { MoveTo(m_x, value, m_z); }
    void SetZ(float value) { MoveTo(m_x, m_y, value); }
    void SetR(float value) { RotateTo(value); }

    // Moves by a distance; nothing when all three are 0.
    void MoveBy(float dx, float dy, float dz);
    // The placing operations: the first three move and then turn about the world's
    // vertical axis through the origin; RotateAndMoveTo turns the shape about its
    // own origin first. Angles in radians.
    void MoveTo(float x, float y, float z);
    void MoveAndRotateTo(float x, float y, float z, float r);
    void RotateAndMoveTo(float x, float y, float z, float r);
    // Turns by an angle; nothing when it is 0.
    void RotateBy(float dr);
    void RotateTo(float r);

    // Takes the textures off the model, or puts them back.
    void Flash();
    // Puts the textures back (loading them again).
    void UnFlash();
    [[nodiscard]] bool Selected() const { return m_selected; }
    // Deselecting puts the textures back.
    void SetSelected(bool value);
    // True while the textures are off.
    [[nodiscard]] bool FlashOn() const { return !m_texturesShown; }
    // Empties the model's texture slots and detaches it from its device.
    void Destroy();

private:
    void ApplyMoveThenRotate();
    void ListTextures();

    std::unique_ptr<ShapeModel> m_model;
    ViewServices m_services;
    std::uint64_t m_identity;
    float m_x = 0;
    float m_y = 0;
    float m_z = 0;
    float m_r = 0;
    std::string m_lastError;
    std::vector<std::string> m_textureNames;
    bool m_texturesShown = false;
    bool m_selected = false;
};

// Returns a number that no other object or view of this run has had.
std::uint64_t NextViewIdentity();

}  // namespace vantor::view3d
