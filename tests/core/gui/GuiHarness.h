#pragma once
// Drives the debug GUI frame by frame without a display: ImGui runs on a real context, the
// window reading is made up by the test, and widgets are found on screen by hovering them.
#include <imgui.h>
#include <imgui_internal.h>

#include <optional>
#include <vector>

#include "core/gui/Gui.h"

namespace zttest {

class GuiHarness {
public:
    static constexpr int kWidth = 1280;
    static constexpr int kHeight = 800;

    // A fresh GUI bound to the window (null: no window). ImGui keeps no layout file here.
    explicit GuiHarness(GLFWwindow* window = nullptr)
    {
        ztengine::Gui::Instance().Reset();
        ztengine::Gui::Instance().Init(window);
        ImGui::GetIO().IniFilename = nullptr;
    }
    ~GuiHarness() { ztengine::Gui::Instance().Reset(); }
    GuiHarness(const GuiHarness&) = delete;
    GuiHarness& operator=(const GuiHarness&) = delete;

    ztengine::Gui& Gui() { return ztengine::Gui::Instance(); }
    ztengine::GuiManager& Manager() { return ztengine::Gui::Instance().GetManager(); }

    // The next frame's window reading: 60 frames a second, focused, the pointer at `mouse`.
    ztengine::GuiFrameInput Input(ImVec2 mouse, bool down = false)
    {
        ztengine::GuiFrameInput input;
        input.windowWidth = input.framebufferWidth = kWidth;
        input.windowHeight = input.framebufferHeight = kHeight;
        m_time += 1.0 / 60.0;
        input.time = m_time;
        input.focused = true;
        input.cursorX = mouse.x;
        input.cursorY = mouse.y;
        input.buttonsDown[0] = down;
        return input;
    }

    // One whole GUI frame as the application runs it.
    void Frame(ImVec2 mouse = ImVec2(-100.0f, -100.0f), bool down = false)
    {
        Gui().NewFrame(Input(mouse, down));
        Manager().Render();
        Gui().EndFrame();
    }

    // Up, down, up: ImGui's buttons fire on the release.
    void Click(ImVec2 at)
    {
        Frame(at);
        Frame(at, true);
        Frame(at);
    }

    static ImGuiWindow* Window(const char* name) { return ImGui::FindWindowByName(name); }

    // Tuning panels open folded to their title bars low on the screen; a designer unfolds one
    // and drags it up to the menu bar before using it.
    void Unfold(const char* name)
    {
        ImGuiWindow* w = Window(name);
        if (w != nullptr && w->Collapsed) {
            ImGui::SetWindowCollapsed(name, false);
            ImGui::SetWindowPos(name, ImVec2(0.0f, 20.0f));
            Frame();
        }
    }

    // The id of a widget submitted straight into the window with that label.
    static ImGuiID IdOf(const char* window, const char* label)
    {
        ImGuiWindow* w = Window(window);
        return w != nullptr ? ImHashStr(label, 0, w->ID) : 0;
    }

    // Moves the pointer down the window's left content edge, below the title bar, one pixel a
    // frame and returns the hovered widgets, top to bottom, each once.
    std::vector<ImGuiID> HoverScan(const char* window)
    {
        Unfold(window);
        std::vector<ImGuiID> seen;
        ImGuiWindow* w = Window(window);
        if (w == nullptr)
            return seen;
        const float x = w->Pos.x + w->WindowPadding.x + 3.0f;
        const float bottom = w->Pos.y + w->Size.y;
        for (float y = w->Pos.y + w->TitleBarHeight() + 1.0f; y < bottom; y += 1.0f) {
            Frame(ImVec2(x, y));
            const ImGuiID id = ImGui::GetCurrentContext()->HoveredId;
            if (id != 0 && (seen.empty() || seen.back() != id))
                seen.push_back(id);
        }
        return seen;
    }

    // The middle of the widget's rows at the window's left content edge, if it is drawn.
    std::optional<ImVec2> Locate(const char* window, ImGuiID id)
    {
        Unfold(window);
        ImGuiWindow* w = Window(window);
        if (w == nullptr)
            return std::nullopt;
        const float x = w->Pos.x + w->WindowPadding.x + 3.0f;
        float first = -1.0f;
        float last = -1.0f;
        for (float y = w->Pos.y + w->TitleBarHeight() + 1.0f; y < w->Pos.y + w->Size.y; y += 1.0f) {
            Frame(ImVec2(x, y));
            if (ImGui::GetCurrentContext()->HoveredId == id) {
                if (first < 0.0f)
                    first = y;
                last = y;
            }
        }
        if (first < 0.0f)
            return std::nullopt;
        return ImVec2(x, (first + last) * 0.5f);
    }

    std::optional<ImVec2> Locate(const char* window, const char* label)
    {
        return Locate(window, IdOf(window, label));
    }

    // Opens a menu of the main menu bar by clicking it; false when it is not there.
    bool OpenMenu(const char* menu)
    {
        ImGuiWindow* bar = Window("##MainMenuBar");
        if (bar == nullptr)
            return false;
        const ImGuiID id = ImHashStr(menu, 0, ImHashStr("##menubar", 0, bar->ID));
        const float y = bar->Pos.y + bar->Size.y * 0.5f;
        for (float x = 1.0f; x < 400.0f; x += 2.0f) {
            Frame(ImVec2(x, y));
            if (ImGui::GetCurrentContext()->HoveredId == id) {
                Click(ImVec2(x, y));
                return Window("##Menu_00") != nullptr && Window("##Menu_00")->Active;
            }
        }
        return false;
    }

    // Types characters and presses keys through the GUI's own callbacks, a frame for each.
    void Type(const char* text)
    {
        for (const char* c = text; *c != '\0'; ++c) {
            ztengine::Gui::OnChar(nullptr, static_cast<unsigned char>(*c));
            Frame();
        }
    }
    void Key(int key, int action)
    {
        ztengine::Gui::OnKey(nullptr, key, 0, action, 0);
        Frame();
    }

private:
    double m_time = 0.0;
};

}  // namespace zttest
