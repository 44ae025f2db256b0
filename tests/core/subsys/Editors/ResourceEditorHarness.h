#pragma once
// A window-less application for the resource editors' tests: a workspace that looks like the
// runtime folder (textures, models and animations linked in), the three resource lists as
// shared data, the editor states, the cursor events recorded, and the CPU-only renderer.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/Win32App.h"
#include "core/gui/Gui.h"
#include "core/resources/MaterialManager.h"
#include "core/resources/MeshManager.h"
#include "core/resources/ModelManager.h"
#include "support/AppFixture.h"
#include "support/NullRenderer3D.h"
#include "support/TestSupport.h"

namespace editortest {

using zttest::ReadBytes;

using zttest::WriteBytes;

// The button of that label in a window of the debug GUI, pressed.
inline void PressButton(int window, const std::string& label)
{
    for (const ztengine::GuiButton& button : ztengine::Gui::Instance().GetManager().GetWidgets(window)->buttons) {
        if (button.label == label) {
            button.callback();
            return;
        }
    }
    ADD_FAILURE() << "no button " << label;
}

class ResourceEditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previousDir = std::filesystem::current_path();
        work = zttest::MakeRuntimeWorkspace("editors");
        std::filesystem::current_path(work);
        ztengine::SoundSystemOptions sound;
        sound.output = FMOD_OUTPUTTYPE_NOSOUND;
        ztengine::Win32App::SetSoundSystemOptions(sound);
        app = ztengine::Win32App::GetInstance();
        app->OverrideGraphics3D(&renderer);
        models = app->AddSharedData<ztengine::ModelManager>("ModelManager");
        materials = app->AddSharedData<ztengine::MaterialManager>("MaterialManager");
        meshes = app->AddSharedData<ztengine::MeshManager>("MeshManager");
        for (const char* state : {"MESH_EDITOR", "MATERIAL_EDITOR", "MODEL_EDITOR", "OTHER"})
            app->AddState(state);
        for (const char* event : {"HIDE_CUSTOM_CURSOR", "SHOW_CUSTOM_CURSOR"}) {
            app->m_messagingSystem.RegisterEvent(event);
            const std::string name = event;
            app->m_messagingSystem.RegisterHandler(
                event, [this, name](const ztengine::IEvent&) { events.push_back(name); });
        }
    }

    void TearDown() override
    {
        ztengine::Win32App::DeleteInstance();
        std::filesystem::current_path(m_previousDir);
    }

    // Writes the three lists into the workspace and reads them, as start-up does.
    void LoadLists(const std::string& materialList, const std::string& meshList,
                   const std::string& modelList)
    {
        WriteBytes(work / "material.init", materialList);
        WriteBytes(work / "mesh.init", meshList);
        WriteBytes(work / "model.init", modelList);
        materials->Load();
        meshes->Load();
        models->Load();
    }

    template <class T>
    T* AddEditor(const char* state)
    {
        auto [system, handle] = app->AddSystem<T>();
        app->RegSystemToState(state, handle);
        return system;
    }

    // Runs every queued job, as the loading screen does over its frames.
    int DrainJobs()
    {
        int runs = 0;
        while (app->HasPendingJobs()) {
            app->RunNextJob();
            ++runs;
        }
        return runs;
    }

    std::string Read(const char* file) { return ReadBytes(work / file); }

    static ztengine::GuiManager& Gui() { return ztengine::Gui::Instance().GetManager(); }
    static bool WindowVisible(int window)
    {
        const ztengine::GuiWindow* w = Gui().GetGuiWindow(window);
        return w != nullptr && w->visible;
    }
    // The visible flag of every entry of a widget kind in a window's layout, by widget index.
    static std::vector<bool> WidgetVisibility(int window, ztengine::GuiWidgetKind kind)
    {
        std::vector<bool> shown;
        for (const ztengine::GuiLayoutEntry& entry : Gui().GetWidgets(window)->layout) {
            if (entry.kind != kind)
                continue;
            if (shown.size() <= static_cast<size_t>(entry.widgetIndex))
                shown.resize(static_cast<size_t>(entry.widgetIndex) + 1);
            shown[static_cast<size_t>(entry.widgetIndex)] = entry.visible;
        }
        return shown;
    }
    static void Press(int window, const std::string& label) { PressButton(window, label); }

    static bool Hidden(const ztengine::InstanceHandle& handle)
    {
        return handle.GetInstanceConst().m_hidden != 0;
    }
    // The diffuse image the renderer material was made from ("" for none).
    std::string DiffuseOf(int32_t material)
    {
        if (material == 0)
            return "";
        return renderer.GetTexturePath(renderer.GetMaterial(material).m_diffuseTexture);
    }
    std::string DiffuseOfInstance(const ztengine::InstanceHandle& handle)
    {
        return DiffuseOf(renderer.GetModel(static_cast<uint32_t>(handle.m_modelId)).m_material);
    }

    std::filesystem::path work;
    ztengine::Win32App* app = nullptr;
    zttest::NullRenderer3D renderer;
    ztengine::ModelManager* models = nullptr;
    ztengine::MaterialManager* materials = nullptr;
    ztengine::MeshManager* meshes = nullptr;
    std::vector<std::string> events;

private:
    std::filesystem::path m_previousDir;
};

}  // namespace editortest
