// The editors as a designer meets them in the running game at 1280 x 800 (one start-up on a
// virtual display): every editor state reached from the main menu and from every other editor
// with a free, visible mouse the panels answer to, the panels laid out side by side, the mesh and
// model previews framed whole, a key tapped within one frame seen by the game, and File, Quit
// ending the run through the normal shutdown. Pictures of each editor are saved under
// "editors-on-screen/" in the test artefacts.
#include <gtest/gtest.h>

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <imgui.h>
#include <imgui_internal.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/Win32App.h"
#include "core/gui/Gui.h"
#include "core/subsys/Editors/MeshEditor/MeshEditor.h"
#include "core/subsys/Editors/ModelEditor/ModelEditor.h"
#include "support/AppFixture.h"
#include "support/TestSupport.h"
#include "support/WindowScreenshot.h"

namespace {

namespace fs = std::filesystem;
using ztengine::Gui;
using ztengine::Win32App;

constexpr int kWidth = 1280;
constexpr int kHeight = 800;

// Each editor state and the panels it opens with.
const std::map<std::string, std::vector<std::string>> kEditors = {
    {"MATERIAL_EDITOR", {"Material Select", "Material Editor"}},
    {"MESH_EDITOR", {"Mesh Editor", "Mesh List"}},
    {"MODEL_EDITOR", {"Model List", "Model Editor"}},
    {"SCENE_EDITOR", {"Scene", "Scene Settings"}},
    {"SOUND_RESOURCE_EDITOR_STATE", {"Current Audio", "Create Audio"}},
};

class EditorsOnScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_display = zttest::PrivateDisplay(kWidth, 1024);
        ASSERT_FALSE(m_display.empty()) << "no Xvfb";
        m_onDisplay = std::make_unique<zttest::ScopedDisplay>(m_display);
        zttest::AppFixtureOptions options;
        options.beforeInit = [](Win32App&) {
            std::ofstream("config.ini", std::ios::trunc)
                << "{\"w\":1280,\"h\":800,\"fullscreen\":false,\"vsync\":false}";
            std::error_code ignored;
            fs::remove("imgui.ini", ignored);  // the panels' own defaults, not a saved layout
        };
        zttest::CaptureStdout([&] { game = std::make_unique<zttest::AppFixture>(options); });
        ASSERT_TRUE(game->Started()) << game->InitError();
        glfwFocusWindow(Window());
        bool loaded = false;
        zttest::CaptureStdout([&] { loaded = game->RunLoading(); });
        ASSERT_TRUE(loaded);
    }

    void TearDown() override
    {
        if (game)
            zttest::CaptureStdout([&] { game->Shutdown(); });
        game.reset();
        m_onDisplay.reset();
    }

    Win32App& App() { return game->App(); }
    GLFWwindow* Window() { return App().GetWindow(); }
    std::string Current() { return App().GetStateName(App().GetCurrentState()); }

    void Frames(int n)
    {
        zttest::CaptureStdout([&] { game->RunFrames(n); });
    }
    void Enter(const std::string& state)
    {
        zttest::CaptureStdout([&] { App().ChangeState(state.c_str()); });
        Frames(1);
    }

    // A left click where a player would make it: the real pointer moved there, a frame for the
    // debug GUI to see it, then the button down and up between two frames.
    void Click(ImVec2 at)
    {
        glfwSetCursorPos(Window(), at.x, at.y);
        game->MoveCursor(at.x, at.y);
        Frames(1);
        game->SendMouseButtonToWindow(GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS);
        game->SendMouseButtonToWindow(GLFW_MOUSE_BUTTON_LEFT, GLFW_RELEASE);
        Frames(2);
    }

    // The mouse is free and shown, and a click on the editor's first panel reaches the GUI.
    void ExpectMouseFreeAndGuiAnswering(const std::string& state, const std::string& from,
                                        bool click)
    {
        const std::string where = state + " entered from " + from;
        EXPECT_NE(glfwGetInputMode(Window(), GLFW_CURSOR), GLFW_CURSOR_DISABLED) << where;
        EXPECT_TRUE(App().IsCustomCursorShown()) << where;
        EXPECT_TRUE(Gui::Instance().IsEnabled()) << where;
        const std::string& panel = kEditors.at(state).front();
        ImGuiWindow* window = ImGui::FindWindowByName(panel.c_str());
        ASSERT_TRUE(window != nullptr && window->Active) << panel << " not shown, " << where;
        if (!click)
            return;
        ImGui::SetWindowFocus("State Select");
        Click(ImVec2(window->Pos.x + window->Size.x * 0.5f, window->Pos.y + 8.0f));
        ImGuiWindow* focused = ImGui::GetCurrentContext()->NavWindow;
        EXPECT_TRUE(focused != nullptr && focused->RootWindow == window)
            << "the click on " << panel << " did not reach the GUI, " << where;
    }

    // The pixels that change in the middle of the picture when the preview is drawn: their
    // bounding box (left, top, right, bottom), or all -1 when nothing changed.
    static std::vector<int> ChangedBox(const std::vector<uint32_t>& without,
                                       const std::vector<uint32_t>& with)
    {
        std::vector<int> box = {-1, -1, -1, -1};
        // Between the panel columns: the folded panels on the left end at 430, the right
        // column starts at 860.
        for (int y = 20; y < kHeight; ++y)
            for (int x = 431; x < 859; ++x) {
                const size_t i = static_cast<size_t>(y) * kWidth + static_cast<size_t>(x);
                if (without[i] == with[i])
                    continue;
                if (box[0] < 0) {
                    box = {x, y, x, y};
                    continue;
                }
                box[0] = std::min(box[0], x);
                box[1] = std::min(box[1], y);
                box[2] = std::max(box[2], x);
                box[3] = std::max(box[3], y);
            }
        return box;
    }

    std::unique_ptr<zttest::AppFixture> game;

private:
    std::string m_display;
    std::unique_ptr<zttest::ScopedDisplay> m_onDisplay;
};

TEST_F(EditorsOnScreen, EachEditorFromEveryStateFreesTheMouseFramesItsPreviewAndQuitsCleanly)
{
    ASSERT_EQ(glfwGetWindowAttrib(Window(), GLFW_FOCUSED), GLFW_TRUE);

    // Every editor state from the main menu and from every other editor state: the mouse is
    // free and the panels answer. The click is tried once per editor, coming from another one.
    std::string previous = "MAIN_MENU_STATE";
    for (const auto& [state, panels] : kEditors) {
        Enter("MAIN_MENU_STATE");
        ASSERT_EQ(Current(), "MAIN_MENU_STATE");
        Enter(state);
        ExpectMouseFreeAndGuiAnswering(state, "MAIN_MENU_STATE", false);
        for (const auto& [from, unused] : kEditors) {
            if (from == state)
                continue;
            Enter(from);
            Enter(state);
            ExpectMouseFreeAndGuiAnswering(state, from, from == previous);
        }
        if (previous == "MAIN_MENU_STATE" || kEditors.count(previous) != 0)
            previous = state;
    }
    // Leaving an editor gives the next state the mouse it expects: the main menu its pointer,
    // the game the captured mouse.
    Enter("MAIN_MENU_STATE");
    EXPECT_TRUE(App().IsCustomCursorShown());
    EXPECT_NE(glfwGetInputMode(Window(), GLFW_CURSOR), GLFW_CURSOR_DISABLED);

    // Each editor at start: its panels and the engine's two side by side, none over another,
    // and a picture of it.
    for (const auto& [state, panels] : kEditors) {
        Enter(state);
        Frames(2);
        std::vector<ImGuiWindow*> shown;
        for (ImGuiWindow* window : ImGui::GetCurrentContext()->Windows)
            if (window->Active && !(window->Flags & (ImGuiWindowFlags_ChildWindow |
                                                     ImGuiWindowFlags_Popup |
                                                     ImGuiWindowFlags_Tooltip)) &&
                std::string(window->Name) != "##MainMenuBar")
                shown.push_back(window);
        for (size_t i = 0; i < shown.size(); ++i) {
            EXPECT_TRUE(ImRect(0, 0, kWidth, kHeight).Contains(shown[i]->Rect()))
                << shown[i]->Name << " in " << state;
            for (size_t j = i + 1; j < shown.size(); ++j)
                EXPECT_FALSE(shown[i]->Rect().Overlaps(shown[j]->Rect()))
                    << shown[i]->Name << " overlaps " << shown[j]->Name << " in " << state;
        }
        const fs::path saved = zttest::SaveScreenshot(zttest::ReadWindow(Window(), kWidth, kHeight),
                                                      kWidth, kHeight,
                                                      "editors-on-screen/" + state + ".png");
        EXPECT_FALSE(saved.empty()) << state;
    }

    // The mesh and model previews are framed whole in the middle of the view: drawn with and
    // without them, what changes is a sizeable shape that touches no edge of the free middle.
    ztengine::MeshEditor* meshes = game->FindSystem<ztengine::MeshEditor>();
    ztengine::ModelEditor* models = game->FindSystem<ztengine::ModelEditor>();
    ASSERT_TRUE(meshes != nullptr && models != nullptr);
    const auto checkFramed = [&](const std::string& state, const ztengine::InstanceHandle& preview) {
        // The pointer waits in a corner, away from the middle.
        glfwSetCursorPos(Window(), kWidth - 10, kHeight - 10);
        game->MoveCursor(kWidth - 10, kHeight - 10);
        Enter(state);
        Frames(1);
        ASSERT_NE(preview.m_batchPool, nullptr) << state;
        const std::vector<uint32_t> with = zttest::ReadWindow(Window(), kWidth, kHeight);
        // The editor shows its preview again in its next update: hide it for one drawn frame
        // from a state without systems, then come back.
        Enter("Default");
        const std::vector<uint32_t> without = zttest::ReadWindow(Window(), kWidth, kHeight);
        ASSERT_EQ(with.size(), without.size());
        const std::vector<int> box = ChangedBox(without, with);
        ASSERT_GE(box[0], 0) << state << ": the preview is not in view";
        EXPECT_GT(box[0], 431) << state << ": the preview runs off the left";
        EXPECT_LT(box[2], 858) << state << ": the preview runs off the right";
        EXPECT_GT(box[1], 20) << state << ": the preview runs off the top";
        EXPECT_LT(box[3], kHeight - 1) << state << ": the preview runs off the bottom";
        EXPECT_GT(box[3] - box[1], kHeight / 6) << state << ": the preview is a speck";
    };
    ASSERT_FALSE(meshes->m_previews.empty());
    checkFramed("MESH_EDITOR", meshes->m_previews.front());
    checkFramed("MODEL_EDITOR", models->m_preview);

    // A tap of the equal-sign key within one frame zooms the mesh preview in by one step, and
    // the step is a share of the distance.
    Enter("MESH_EDITOR");
    Frames(1);
    const float zoom = meshes->m_zoom;
    game->SendKeyToWindow(GLFW_KEY_EQUAL, GLFW_PRESS);
    game->SendKeyToWindow(GLFW_KEY_EQUAL, GLFW_RELEASE);
    Frames(1);
    EXPECT_FLOAT_EQ(meshes->m_zoom, zoom * 0.8f) << "the tap was lost";
    Frames(1);
    EXPECT_FLOAT_EQ(meshes->m_zoom, zoom * 0.8f) << "the tap counted twice";

    // File, Quit: the run ends through the normal shutdown, which writes the settings back.
    fs::remove(game->WorkDir() / "config.ini");
    ImGuiWindow* bar = ImGui::FindWindowByName("##MainMenuBar");
    ASSERT_NE(bar, nullptr);
    Click(ImVec2(bar->Pos.x + 16.0f, bar->Pos.y + bar->Size.y * 0.5f));
    ImGuiWindow* menu = ImGui::FindWindowByName("##Menu_00");
    ASSERT_TRUE(menu != nullptr && menu->Active) << "the File menu did not open";
    const ImGuiStyle& style = ImGui::GetStyle();
    const float row = ImGui::GetFontSize() + style.ItemSpacing.y;
    // "Save" is the first row, "Quit" the second.
    Click(ImVec2(menu->Pos.x + menu->WindowPadding.x + 10.0f,
                 menu->Pos.y + menu->WindowPadding.y + row * 1.5f));
    EXPECT_TRUE(App().ShouldQuit());
    int result = -1;
    const std::string printed = zttest::CaptureStdout([&] { result = game->Shutdown(); });
    EXPECT_EQ(result, 0);
    EXPECT_NE(printed.find("shutdown!"), std::string::npos);
    EXPECT_TRUE(fs::exists(game->WorkDir() / "config.ini")) << "the settings were not saved";
}

}  // namespace
