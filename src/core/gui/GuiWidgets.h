#pragma once
// The records behind the debug GUI's retained windows: widget kinds, one record type per kind,
// the values the GUI owns for widgets added without a variable, and a window's layout.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ztengine {

// Widgets are addressed by window, kind and index within the kind. The values are stable: panels
// store them and pass them back to HideWidget / ShowWidget. 2 and 15 are unused kinds.
enum GuiWidgetKind : int32_t {
    GuiWidgetSliderInt = 0,
    GuiWidgetSliderFloat = 1,
    GuiWidgetInputText = 3,
    GuiWidgetInputInt = 4,
    GuiWidgetInputFloat = 5,
    GuiWidgetInputFloat2 = 6,
    GuiWidgetInputFloat3 = 7,
    GuiWidgetInputFloat4 = 8,
    GuiWidgetText = 9,
    GuiWidgetTextRef = 10,
    GuiWidgetButton = 11,
    GuiWidgetVarView = 12,
    GuiWidgetList = 13,
    GuiWidgetDropDownList = 14,
    GuiWidgetPlotLines = 16,
    GuiWidgetPlotHistogram = 17,
    GuiWidgetCheckbox = 18,
    GuiWidgetDragFloat3 = 19,
};

// Size of a text input's buffer, terminating NUL included.
constexpr int kGuiInputTextSize = 64;

struct GuiSliderInt {
    int* value = nullptr;
    int min = 0;
    int max = 0;
    std::string label;
};

struct GuiSliderFloat {
    float* value = nullptr;
    float min = 0.0f;
    float max = 0.0f;
    std::string label;
};

struct GuiInputText {
    std::string label;
    char* buffer = nullptr;  // kGuiInputTextSize bytes at least
};

struct GuiInputInt {
    int* value = nullptr;
    std::string label;
};

struct GuiInputFloat {
    float* value = nullptr;
    std::string label;
};

struct GuiInputFloat2 {
    float* values = nullptr;
    std::string label;
};

struct GuiInputFloat3 {
    float* values = nullptr;
    std::string label;
};

struct GuiButton {
    std::string label;
    std::function<void()> callback;
};

struct GuiPlotLines {
    int sampleCount = 0;
    float scaleMin = 0.0f;
    float scaleMax = 0.0f;
    float graphWidth = 0.0f;
    float graphHeight = 0.0f;
    std::string overlay;
    std::string label;
    std::vector<float>* values = nullptr;
    int lastSeenSize = 0;
    int offset = 0;
};

struct GuiCheckbox {
    std::string label;
    bool* value = nullptr;
};

struct GuiDragFloat3 {
    std::string label;
    float* values = nullptr;
    float speed = 1.0f;
};

struct GuiCollapsingHeader {
    std::string label;
    bool shown = true;
};

// Widgets carry a tree node id so that a panel could nest them; no panel adds a node today.
struct GuiTreeNode {
    std::string label;
    std::vector<GuiTreeNode> children;
    int id = -1;
    int header = -1;
};

// What a widget added without a variable binds to instead; it lives as long as the GUI.
template <class T>
struct GuiOwnedValue {
    T value{};
    int widgetIndex = -1;
};

// The records of one widget kind, plus the values the GUI owns for some of them. The owned
// values sit on the heap so that the records' pointers stay valid while the store grows.
template <class Record, class Owned>
struct GuiWidgetStore {
    std::vector<Record> records;
    std::vector<std::unique_ptr<GuiOwnedValue<Owned>>> owned;

    Owned& Own(int widgetIndex)
    {
        owned.push_back(std::make_unique<GuiOwnedValue<Owned>>());
        owned.back()->widgetIndex = widgetIndex;
        return owned.back()->value;
    }
};

// One widget in a window's drawing order.
struct GuiLayoutEntry {
    bool visible = true;
    int widgetIndex = 0;
    GuiWidgetKind kind = GuiWidgetText;
    int header = -1;
    int treeNode = -1;
};

// A named window. `visible` is the window's close box and its check mark in the "Windows" menu;
// systems show and hide their own windows by writing it.
struct GuiWindow {
    bool visible = true;
    bool listed = false;
    std::string name;
    float width = 0.0f;
    float height = 0.0f;
};

}  // namespace ztengine
