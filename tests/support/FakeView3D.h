#pragma once

// A recording shape canvas and shape models for the 3D view's tests. Every call
// goes into one shared journal, so tests check which calls happen and in which
// order; the models' textures and load results come from the file name.

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "view3d/ShapeCanvas.h"
#include "view3d/ShapeModel.h"
#include "view3d/TSView.h"

namespace testing_support {

// The calls of a canvas and its models, one text each ("SetCamera 10 2 0 ...").
struct Journal {
    std::vector<std::string> calls;

    // Returns the calls that begin with prefix.
    [[nodiscard]] std::vector<std::string> Starting(const std::string& prefix) const {
        std::vector<std::string> found;
        for (const std::string& call : calls) {
            if (call.rfind(prefix, 0) == 0) {
                found.push_back(call);
            }
        }
        return found;
    }
};

// Writes a number as the journal shows it: shortest form, "-0" as "0".
inline std::string Num(float value) {
    if (value == 0) {
        return "0";
    }
    std::string text = std::to_string(value);
    text.erase(text.find_last_not_of('0') + 1);
    if (!text.empty() && text.back() == '.') {
        text.pop_back();
    }
    return text;
}

class FakeDevice : public vantor::view3d::RenderDevice {
public:
    vantor::view3d::TextureHandle UploadTexture(const std::string&,
                                                const vantor::view3d::TextureImage&) override {
        return std::make_shared<vantor::view3d::DeviceTexture>();
    }
    void DrawMesh(const std::shared_ptr<const vantor::view3d::ShapeMesh>&,
                  const vantor::view3d::Matrix4&,
                  const std::vector<vantor::view3d::TextureHandle>&) override {}
};

class FakeCanvas : public vantor::view3d::ShapeCanvas {
public:
    explicit FakeCanvas(Journal& journal) : m_journal(journal) {}

    vantor::view3d::RenderDevice* Device() override { return hasDevice ? &device : nullptr; }
    std::string DeviceError() const override { return hasDevice ? "" : "No OpenGL here"; }
    void InitialiseDevice() override { Log("InitialiseDevice"); }
    void InitialiseScene() override { Log("InitialiseScene"); }
    void ResetScene() override { Log("ResetScene"); }
    void SetCamera(float& eyeX, float& eyeY, float& eyeZ, float& targetX, float& targetY,
                   float& targetZ, short upX, short upY, short upZ) override {
        Log("SetCamera " + Num(eyeX) + " " + Num(eyeY) + " " + Num(eyeZ) + " " + Num(targetX) +
            " " + Num(targetY) + " " + Num(targetZ) + " " + std::to_string(upX) + " " +
            std::to_string(upY) + " " + std::to_string(upZ));
    }
    bool BeginFrame() override {
        Log("BeginFrame");
        return frames;
    }
    void EndFrame() override { Log("EndFrame"); }
    void SetFieldOfView(int degrees) override { Log("FieldOfView " + std::to_string(degrees)); }
    void SetViewDistance(int metres) override { Log("ViewDistance " + std::to_string(metres)); }
    void SetSnapshotOption(bool option) override {
        Log(std::string("SnapshotOption ") + (option ? "true" : "false"));
    }
    void SetSnapshotLocation(const std::string& basePath) override {
        location = basePath + "0001.png";
    }
    std::string SnapshotLocation() const override { return location; }
    std::string SaveSnapshot() override {
        Log("SaveSnapshot " + location);
        return snapshotError;
    }
    void SetEvents(vantor::view3d::CanvasEvents* events) override { m_events = events; }

    bool hasDevice = true;
    bool frames = true;
    std::string location;
    std::string snapshotError;
    FakeDevice device;

private:
    void Log(std::string call) { m_journal.calls.push_back(std::move(call)); }

    Journal& m_journal;
    vantor::view3d::CanvasEvents* m_events = nullptr;
};

// A model whose shape is the file's last name: a name containing "bad" is
// rejected with " bad shape " (blanks included), one containing "throw" fails
// while its textures are listed; any other has the textures named in textures
// (by default "<name>.ace" and "Common.ace"; "plain" shapes have none).
class FakeModel : public vantor::view3d::ShapeModel {
public:
    FakeModel(Journal& journal, int number) : m_journal(journal), m_number(number) {}

    void SetDevice(vantor::view3d::RenderDevice* device) override {
        Log(device != nullptr ? "SetDevice" : "SetDevice none");
    }
    void SetTextureFolder(const std::string& folder) override { Log("TextureFolder " + folder); }
    vantor::view3d::TextureHandle LoadTexture(const std::string& name, bool flag) override {
        Log("LoadTexture " + name + (flag ? " true" : " false"));
        return std::make_shared<vantor::view3d::DeviceTexture>();
    }
    void LoadShapeFile(const std::string& path) override {
        Log("LoadShapeFile " + path);
        m_name = path.substr(path.find_last_of("\\/") + 1);
        m_error = m_name.find("bad") != std::string::npos ? " bad shape " : "";
        m_textures.clear();
        if (m_error.empty() && m_name.find("plain") == std::string::npos) {
            m_textures = {m_name + ".ace", "Common.ace"};
        }
        m_slots.assign(m_textures.size(), nullptr);
    }
    void Render(std::int32_t& flags, float& level) override {
        Log("Render " + std::to_string(flags) + " " + Num(level));
    }
    void SetTransform(const vantor::view3d::Matrix4& world) override {
        transform = world;
        Log("SetTransform");
    }
    std::string LoadError() const override { return m_error; }
    int TextureCount() const override { return static_cast<int>(m_textures.size()); }
    vantor::view3d::TextureInfo GetTextureInfo(int index) const override {
        if (m_name.find("throw") != std::string::npos) {
            throw std::runtime_error("Texture list unreadable");
        }
        return {m_textures.at(static_cast<std::size_t>(index)), "", 0, 0, 0};
    }
    void Refresh() override { Log("Refresh"); }
    void SetTexture(int index, vantor::view3d::TextureHandle texture) override {
        m_slots.at(static_cast<std::size_t>(index)) = texture;
        Log("SetTexture " + std::to_string(index) + (texture ? " texture" : " none"));
    }
    vantor::view3d::TextureHandle TextureObject(int index) const override {
        return m_slots.at(static_cast<std::size_t>(index));
    }

    vantor::view3d::Matrix4 transform = vantor::view3d::MatrixIdentity();

private:
    void Log(const std::string& call) {
        m_journal.calls.push_back("model" + std::to_string(m_number) + " " + call);
    }

    Journal& m_journal;
    int m_number;
    std::string m_name;
    std::string m_error;
    std::vector<std::string> m_textures;
    std::vector<vantor::view3d::TextureHandle> m_slots;
};

// Makes numbered fake models that write into a journal.
inline vantor::view3d::ModelFactory FakeModels(Journal& journal) {
    auto counter = std::make_shared<int>(0);
    return [&journal, counter] { return std::make_unique<FakeModel>(journal, ++*counter); };
}

}  // namespace testing_support
