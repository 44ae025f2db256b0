#pragma once
// The debug GUI: the one object that binds Dear ImGui to the GLFW window. It feeds ImGui the
// window's size, time, mouse and keys every frame, draws ImGui's output with the fixed-function
// pipeline, holds the GUI's on/off switch and, through its GuiManager, decides each frame
// whether window input goes to the GUI or to the application. Systems may add windows and
// widgets before the GUI is bound to a window.
#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <functional>
#include <string>
#include <vector>

#include "core/gui/GuiManager.h"

struct ImDrawData;

namespace ztengine {

// One reading of the window for a GUI frame. NewFrame() takes it from GLFW; tests and window-less
// runs give it themselves.
struct GuiFrameInput {
    int windowWidth = 0;
    int windowHeight = 0;
    int framebufferWidth = 0;
    int framebufferHeight = 0;
    double time = 0.0;  // seconds, as glfwGetTime
    bool focused = false;
    double cursorX = 0.0;  // window pixels, y down
    double cursorY = 0.0;
    bool buttonsDown[3] = {false, false, false};  // mouse buttons 0-2 held now
};

class Gui {
public:
    // Frame time given to ImGui when the clock did not move (ImGui stops on a zero step).
    static constexpr float kMinDeltaTime = 1.0e-6f;

    // The one GUI, made on first use and never destroyed.
    static Gui& Instance();

    // Binds the GUI to the window and makes ImGui's context with our key map; always true. A
    // null window gives a GUI that routes no input and draws nothing (tests, tools).
    bool Init(GLFWwindow* window);
    // A new or re-styled window: the GUI and its manager follow it.
    void SetWindow(GLFWwindow* window);
    // Called every frame while the GUI holds the mouse.
    void SetMouseCaptureCallback(std::function<void()> callback);

    // Switching off gives the application its input callbacks back at once; switching on
    // changes nothing until the next frame's routing. While off, the application makes no
    // GUI frame.
    void SetEnabled(bool enabled);
    bool IsEnabled() const { return m_enabled; }

    // Starts the GUI frame from the window (the font texture is made in the first one).
    void NewFrame();
    // Starts the GUI frame from a reading made by the caller.
    void NewFrame(const GuiFrameInput& input);
    // Ends the frame begun by NewFrame, after GuiManager::Render: ImGui::Render, then the draw.
    void EndFrame();

    // Draws ImGui's lists with the fixed-function pipeline over whatever the frame holds.
    static void RenderDrawLists(ImDrawData* drawData);
    // Uploads ImGui's font atlas as an alpha texture; always true.
    bool CreateFontsTexture();
    unsigned int GetFontTexture() const { return m_fontTexture; }

    // Forgets every window, ImGui's state and the window binding: the variables the widgets
    // are bound to die with the application that made them.
    void Reset();

    // The GUI's own input callbacks; the routing installs them while ImGui wants the input.
    static void OnMouseButton(GLFWwindow* window, int button, int action, int mods);
    static void OnScroll(GLFWwindow* window, double xOffset, double yOffset);
    static void OnKey(GLFWwindow* window, int key, int scancode, int action, int mods);
    static void OnChar(GLFWwindow* window, unsigned int codePoint);
    // Forgets key changes the next frame has not applied yet (the keyboard went to the game).
    static void DropQueuedKeys();

    // Creation operations, forwarded unchanged to the manager (see GuiManager).
    int CreateWindow(const std::string& name, bool listed, float width, float height)
    {
        return m_manager.CreateWindow(name, listed, width, height);
    }
    int AddCollapsingHeader(int window, std::string label)
    {
        return m_manager.AddCollapsingHeader(window, std::move(label));
    }
    int AddSliderInt(int window, std::string label, int* value, int min, int max, int header = -1,
                     int treeNode = -1)
    {
        return m_manager.AddSliderInt(window, std::move(label), value, min, max, header, treeNode);
    }
    int AddSliderFloat(int window, std::string label, float* value, float min, float max,
                       int header = -1, int treeNode = -1)
    {
        return m_manager.AddSliderFloat(window, std::move(label), value, min, max, header,
                                        treeNode);
    }
    int AddInputText(int window, std::string label, char* buffer, int header = -1,
                     int treeNode = -1)
    {
        return m_manager.AddInputText(window, std::move(label), buffer, header, treeNode);
    }
    int AddInputInt(int window, std::string label, int* value, int header = -1, int treeNode = -1)
    {
        return m_manager.AddInputInt(window, std::move(label), value, header, treeNode);
    }
    int AddInputFloat(int window, std::string label, float* value, int header = -1,
                      int treeNode = -1)
    {
        return m_manager.AddInputFloat(window, std::move(label), value, header, treeNode);
    }
    int AddInputFloat2(int window, std::string label, float* values, int header = -1,
                       int treeNode = -1)
    {
        return m_manager.AddInputFloat2(window, std::move(label), values, header, treeNode);
    }
    int AddInputFloat3(int window, std::string label, float* values, int header = -1,
                       int treeNode = -1)
    {
        return m_manager.AddInputFloat3(window, std::move(label), values, header, treeNode);
    }
    int AddText(int window, std::string text, int header = -1, int treeNode = -1)
    {
        return m_manager.AddText(window, std::move(text), header, treeNode);
    }
    int AddTextRef(int window, const std::string* text)
    {
        return m_manager.AddTextRef(window, text);
    }
    int AddButton(int window, std::string label, std::function<void()> callback, int header = -1,
                  int treeNode = -1)
    {
        return m_manager.AddButton(window, std::move(label), std::move(callback), header,
                                   treeNode);
    }
    int AddVarView(int window, void* ptr, GuiVarViewType type, std::string label, int header = -1,
                   int treeNode = -1)
    {
        return m_manager.AddVarView(window, ptr, type, std::move(label), header, treeNode);
    }
    int AddDropDownList(int window, std::string label, std::vector<std::string>* items,
                        int header = -1, int treeNode = -1)
    {
        return m_manager.AddDropDownList(window, std::move(label), items, header, treeNode);
    }
    int AddPlotLines(int window, std::string label, std::vector<float>* values, int sampleCount,
                     std::string overlay, float scaleMin, float scaleMax, float graphWidth,
                     float graphHeight, int header = -1, int treeNode = -1)
    {
        return m_manager.AddPlotLines(window, std::move(label), values, sampleCount,
                                      std::move(overlay), scaleMin, scaleMax, graphWidth,
                                      graphHeight, header, treeNode);
    }
    int AddCheckbox(int window, std::string label, bool* value, int header = -1, int treeNode = -1)
    {
        return m_manager.AddCheckbox(window, std::move(label), value, header, treeNode);
    }
    int AddDragFloat3(int window, std::string label, float* values, float speed, int header = -1,
                      int treeNode = -1)
    {
        return m_manager.AddDragFloat3(window, std::move(label), values, speed, header, treeNode);
    }
    int* GetDropDownListSelection(int window, int dropDown)
    {
        return m_manager.GetDropDownListSelection(window, dropDown);
    }
    int* GetListSelection(int window, int list) { return m_manager.GetListSelection(window, list); }

    GuiManager& GetManager() { return m_manager; }
    GLFWwindow* GetWindow() const { return m_window; }

private:
    Gui() = default;

    GLFWwindow* m_window = nullptr;
    double m_lastTime = 0.0;  // a double: a float of a long run's clock cannot tell frames apart
    unsigned int m_fontTexture = 0;
    GuiManager m_manager;
    bool m_enabled = true;
};

}  // namespace ztengine
