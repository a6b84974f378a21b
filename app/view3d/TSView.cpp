#include "view3d/TSView.h"

#include <stdexcept>

#include "common/Installation.h"
#include "common/Prompter.h"
#include "common/Text.h"

namespace vantor::view3d {

TSViewObject& ViewModels::Item(int position) const {
    if (position < 1 || position > Count()) {
        throw std::out_of_range("There is no shape " + std::to_string(position) + " in the view");
    }
    return *m_entries[static_cast<std::size_t>(position) - 1].object;
}

const std::string& ViewModels::Key(int position) const {
    static_cast<void>(Item(position));
    return m_entries[static_cast<std::size_t>(position) - 1].key;
}

bool ViewModels::HasKey(const std::string& key) const {
    for (const Entry& entry : m_entries) {
        if (entry.key == key) {
            return true;
        }
    }
    return false;
}

void ViewModels::Add(const std::string& key, std::unique_ptr<TSViewObject> object) {
    if (HasKey(key)) {
        throw std::invalid_argument("The key " + key + " is already in the view");
    }
    m_entries.push_back({key, std::move(object)});
}

void ViewModels::Remove(int position) {
    static_cast<void>(Item(position));
    m_entries.erase(m_entries.begin() + (position - 1));
}

TSView::TSView(ModelFactory newModel, ViewServices services)
    : m_newModel(std::move(newModel)), m_services(services), m_identity(NextViewIdentity()) {
    if (m_services.installation != nullptr) {
        m_services.installation->WriteLog("> tsview " + std::to_string(m_identity));
    }
}

TSView::~TSView() {
    m_models.reset();
    if (m_services.installation != nullptr) {
        m_services.installation->WriteLog("< tsview " + std::to_string(m_identity));
    }
}

void TSView::LetEventsRun() const {
    if (m_processEvents) {
        m_processEvents();
    }
}

void TSView::Initialise() {
    if (m_viewer == nullptr) {
        return;
    }
    m_viewer->InitialiseDevice();
    m_viewer->InitialiseScene();
    m_initialised = true;
}

bool TSView::LoadShapeInToViewer(const std::string& key, const std::string& fileName, float x,
                                 float y, float z, float /*unused1*/, float angle,
                                 float /*unused2*/) {
    auto object = std::make_unique<TSViewObject>(m_newModel(), m_services);
    object->Model().SetDevice(m_viewer != nullptr ? m_viewer->Device() : nullptr);
    object->Model().SetTextureFolder("..\\textures\\");
    if (!object->LoadShape(fileName)) {
        // A missing file has already said so itself; its LastError is then empty,
        // and a second, empty box would tell the user nothing.
        if (!object->LastError().empty() && m_services.prompts != nullptr) {
            m_services.prompts->Message(MessageIcon::Critical, "Error Loading Shape",
                                        object->LastError());
        }
        return false;
    }
    object->MoveAndRotateTo(x, y, z, DegreesToRadians(angle));
    if (!m_models) {
        m_models = std::make_unique<ViewModels>();
    }
    m_models->Add(key, std::move(object));
    return true;
}

void TSView::RefreshForm() {
    LetEventsRun();
    // A view without a canvas has nothing to redraw.
    if (m_viewer == nullptr) {
        return;
    }
    m_viewer->ResetScene();
    if (m_models) {
        for (int i = 1; i <= m_models->Count(); ++i) {
            m_models->Item(i).Model().Refresh();
        }
    }
    if (m_viewer->Device() != nullptr) {
        ShowModels();
    }
    LetEventsRun();
}

void TSView::ResetCamera() {
    if (m_viewer != nullptr) {
        m_viewer->SetCamera(cameraX, cameraY, cameraZ, targetX, targetY, targetZ, 0, 1, 0);
    }
    ShowModels();
}

void TSView::ShowModels() {
    if (!m_models || !m_initialised || m_viewer == nullptr) {
        return;
    }
    if (m_viewer->BeginFrame()) {
        for (int i = 1; i <= m_models->Count(); ++i) {
            std::int32_t flags = 1;
            float level = -1.0F;
            m_models->Item(i).Model().Render(flags, level);
        }
        m_viewer->EndFrame();
    }
    LetEventsRun();
}

}  // namespace vantor::view3d
