#pragma once
// The debug GUI's retained layer over Dear ImGui: systems create named windows and add widgets
// bound to their own variables once; the manager draws every visible window each frame, routes
// window input between the GUI and the application, and draws the main menu bar.
#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/gui/GuiDropDownListManager.h"
#include "core/gui/GuiListManager.h"
#include "core/gui/GuiVarViewManager.h"
#include "core/gui/GuiWidgets.h"

namespace ztengine {

// Everything one window holds besides its title and flags.
struct GuiWindowWidgets {
    GuiWindowWidgets();

    std::vector<GuiLayoutEntry> layout;  // drawing order
    std::vector<GuiCollapsingHeader> headers;
    std::vector<GuiTreeNode> treeNodes;

    GuiWidgetStore<GuiSliderInt, int> sliderInts;
    GuiWidgetStore<GuiSliderFloat, float> sliderFloats;
    GuiWidgetStore<GuiInputText, std::array<char, kGuiInputTextSize>> inputTexts;
    GuiWidgetStore<GuiInputInt, int> inputInts;
    GuiWidgetStore<GuiInputFloat, float> inputFloats;
    GuiWidgetStore<GuiInputFloat2, std::array<float, 2>> inputFloat2s;
    GuiWidgetStore<GuiInputFloat3, std::array<float, 3>> inputFloat3s;
    std::vector<std::string> texts;
    std::vector<const std::string*> textRefs;
    std::vector<GuiButton> buttons;
    GuiVarViewManager varViews;
    GuiListManager lists;
    GuiDropDownListManager dropDowns;
    std::vector<GuiPlotLines> plots;
    std::vector<GuiCheckbox> checkboxes;
    std::vector<GuiDragFloat3> drags;
};

class GuiManager {
public:
    GuiManager();
    GuiManager(GuiManager&&) = default;
    GuiManager& operator=(GuiManager&&) = default;

    // Every add takes the window index first. An index that no CreateWindow returned changes
    // nothing and answers -1 (the panels are reachable in every state, also while loading).
    // `header` is a collapsing header of the window or -1, `treeNode` a tree node id or -1.

    // The window of that name, reopened, or a new one. The first call's size and listed flag hold.
    int CreateWindow(const std::string& name, bool listed, float width, float height);
    int AddCollapsingHeader(int window, std::string label);

    // Sliders, inputs, buttons, check boxes and drags are found by label within the window: a
    // second add of a label returns the first widget, shown again and still bound to the first
    // variable or callback. A null variable binds a slider or input to a value the GUI owns.
    int AddSliderInt(int window, std::string label, int* value, int min, int max, int header = -1,
                     int treeNode = -1);
    int AddSliderFloat(int window, std::string label, float* value, float min, float max,
                       int header = -1, int treeNode = -1);
    // `buffer` holds at least kGuiInputTextSize bytes.
    int AddInputText(int window, std::string label, char* buffer, int header = -1,
                     int treeNode = -1);
    int AddInputInt(int window, std::string label, int* value, int header = -1, int treeNode = -1);
    int AddInputFloat(int window, std::string label, float* value, int header = -1,
                      int treeNode = -1);
    int AddInputFloat2(int window, std::string label, float* values, int header = -1,
                       int treeNode = -1);
    int AddInputFloat3(int window, std::string label, float* values, int header = -1,
                       int treeNode = -1);
    int AddButton(int window, std::string label, std::function<void()> fn, int header = -1,
                  int treeNode = -1);
    int AddCheckbox(int window, std::string label, bool* ptr, int header = -1, int treeNode = -1);
    int AddDragFloat3(int window, std::string label, float* ptr, float speed, int header = -1,
                      int treeNode = -1);

    // Texts, value views, lists, drop-downs and plots are always added anew.
    int AddText(int window, std::string text, int header = -1, int treeNode = -1);
    // The string is read at every draw; always at the window's top level.
    int AddTextRef(int window, const std::string* ptr);
    int AddVarView(int window, void* ptr, GuiVarViewType type, std::string label, int header = -1,
                   int treeNode = -1);
    // Always at the window's top level.
    int AddList(int window, std::vector<std::string>* ptr);
    int AddDropDownList(int window, std::string label, std::vector<std::string>* ptr,
                        int header = -1, int treeNode = -1);
    // Pads the samples with zeros until they hold more than `sampleCount` values, so the graph
    // is full from the start.
    int AddPlotLines(int window, std::string label, std::vector<float>* ptr, int sampleCount,
                     std::string overlay, float scaleMin, float scaleMax, float graphWidth,
                     float graphHeight, int header = -1, int treeNode = -1);

    // The selected index, valid for the rest of the run; null for an index never returned.
    int* GetDropDownListSelection(int window, int dropDown);
    int* GetListSelection(int window, int list);

    // Every entry of the widget in the window, whatever header it sits under.
    void HideWidget(int window, GuiWidgetKind kind, int index);
    void ShowWidget(int window, GuiWidgetKind kind, int index);

    // Once per frame between the GUI's NewFrame and its EndFrame: the visible windows, the
    // input routing, then the main menu bar.
    void Render();
    // Gives the events of the next poll to the GUI or to the application, by what ImGui wanted
    // at the start of this frame.
    void UpdateInputCallbacks();
    // Puts every saved application callback back on the window at once.
    void RestoreAppCallbacks();
    // Whether the GUI is switched on; the routing stays with the application while it is off,
    // also when a button switches it off during the frame's drawing.
    void SetGuiEnabled(bool enabled) { m_guiEnabled = enabled; }

    // The window or its widgets, null for an index never returned.
    GuiWindow* GetGuiWindow(int window);
    const GuiWindowWidgets* GetWidgets(int window) const;
    GuiWindowWidgets* GetWidgets(int window);

    GLFWwindow* m_window = nullptr;
    std::vector<GuiWindow> m_windows;

    // The application's callbacks, written by the application after Gui::Init.
    GLFWkeyfun m_appKeyCallback = nullptr;
    GLFWwindowfocusfun m_appFocusCallback = nullptr;
    GLFWmousebuttonfun m_appMouseButtonCallback = nullptr;
    GLFWwindowiconifyfun m_appIconifyCallback = nullptr;
    GLFWwindowclosefun m_appCloseCallback = nullptr;
    // File, Quit: asks the application to end through its normal shutdown.
    std::function<void()> m_quitCallback;
    // Called every frame while the GUI holds the mouse, so the game sees nothing held.
    std::function<void()> m_mouseCaptureCallback;

private:
    template <class Record>
    int FindByLabel(int window, GuiWidgetKind kind, const std::vector<Record>& records,
                    const std::string& label);
    void AppendEntry(int window, GuiWidgetKind kind, int index, int header, int treeNode);

    void DrawWindow(size_t window);
    void DrawTreeNode(size_t window, const GuiTreeNode& node, int header);
    void DrawWidgets(size_t window, int header, int treeNode);
    void DrawWidget(size_t window, const GuiLayoutEntry& entry);
    void DrawPlotLines(GuiPlotLines& plot);
    void DrawMainMenuBar();

    // Keys the GUI saw go down must not stay down once the application has the keyboard.
    static void ReleaseGuiKeys();

    std::vector<std::unique_ptr<GuiWindowWidgets>> m_widgets;  // by window index
    bool m_guiEnabled = true;
};

}  // namespace ztengine
