// The debug GUI's windows and widgets: creation, find-by-label, drawing and the main menu bar,
// plus the per-frame routing of window input between the GUI and the application.
#include "core/gui/GuiManager.h"

#include <imgui.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <limits>

#include "core/gui/Gui.h"
#include "core/util/assert/AppAssert.h"

namespace ztengine {

namespace {

constexpr size_t kReservedWindows = 64;
constexpr size_t kReservedTexts = 64;

bool InRange(int index, size_t size)
{
    return index >= 0 && static_cast<size_t>(index) < size;
}

// Toward zero, like a plain conversion, but a slider at INT_MAX (2^31 as a float) stays an int.
int TruncateToInt(float value)
{
    if (value >= 2147483648.0f)
        return std::numeric_limits<int>::max();
    if (value <= -2147483648.0f)
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

// Where a panel opens the first time, laid out for a 1280 x 800 window so that nothing a
// designer sees at start covers another panel or the middle of the screen, where the editors
// put their previews: the engine's two windows and the tuning panels (folded to their title
// bars) down the left, the editor of the current state down the right. Only one editor's
// panels show at a time, so the editors share the right column. A layout saved by ImGui
// (imgui.ini) wins over these.
struct GuiPlacement {
    const char* name;
    float x, y, width, height;
    bool collapsed;
};

constexpr float kLeft = 0.0f;
constexpr float kLeftWidth = 300.0f;
constexpr float kRight = 860.0f;
constexpr float kRightWidth = 420.0f;
constexpr float kTop = 20.0f;  // under the main menu bar
constexpr float kFoldedWidth = 430.0f;  // a folded panel keeps its width: clear of the middle
constexpr float kFoldedTop = 390.0f;
constexpr float kFoldedStep = 24.0f;

constexpr GuiPlacement kPlacements[] = {
    {"State Select", kLeft, kTop, kLeftWidth, 90.0f, false},
    {"System", kLeft, 110.0f, kLeftWidth, 270.0f, false},
    {"Options", kLeft, kFoldedTop + 0 * kFoldedStep, kFoldedWidth, 640.0f, true},
    {"In Game Shadow Settings", kLeft, kFoldedTop + 1 * kFoldedStep, kFoldedWidth, 450.0f, true},
    {"Physics Engine Settings", kLeft, kFoldedTop + 2 * kFoldedStep, kFoldedWidth, 450.0f, true},
    {"Player Control Values", kLeft, kFoldedTop + 3 * kFoldedStep, kFoldedWidth, 350.0f, true},
    {"Projectile Hotpoint modifier", kLeft, kFoldedTop + 4 * kFoldedStep, kFoldedWidth, 250.0f, true},
    {"Dynamic Character Controller offsets", kLeft, kFoldedTop + 5 * kFoldedStep, kFoldedWidth,
     350.0f, true},
    {"Scene Select", kLeft, kFoldedTop + 6 * kFoldedStep, kFoldedWidth, 100.0f, true},
    {"Selected Prop Window", kLeft, 565.0f, kLeftWidth, 225.0f, false},
    {"Point Light", kLeft, 565.0f, kLeftWidth, 225.0f, false},
    {"Material Editor", kRight, kTop, kRightWidth, 420.0f, false},
    {"Material Select", kRight, 450.0f, kRightWidth, 340.0f, false},
    {"Mesh Editor", kRight, kTop, kRightWidth, 420.0f, false},
    {"Mesh List", kRight, 450.0f, kRightWidth, 340.0f, false},
    {"Model Editor", kRight, kTop, kRightWidth, 420.0f, false},
    {"Model List", kRight, 450.0f, kRightWidth, 340.0f, false},
    {"Scene", kRight, kTop, kRightWidth, 370.0f, false},
    {"Scene Settings", kRight, 400.0f, kRightWidth, 190.0f, false},
    {"Prop List Window", kRight, 600.0f, kRightWidth, 190.0f, false},
    {"Current Audio", kRight, kTop, kRightWidth, 300.0f, false},
    {"Create Audio", kRight, 330.0f, kRightWidth, 300.0f, false},
};

const GuiPlacement* FindPlacement(const std::string& name)
{
    for (const GuiPlacement& placement : kPlacements)
        if (name == placement.name)
            return &placement;
    return nullptr;
}

}  // namespace

GuiWindowWidgets::GuiWindowWidgets()
{
    texts.reserve(kReservedTexts);
    textRefs.reserve(kReservedTexts);
}

GuiManager::GuiManager()
{
    m_windows.reserve(kReservedWindows);
    m_widgets.reserve(kReservedWindows);
}

GuiWindow* GuiManager::GetGuiWindow(int window)
{
    return InRange(window, m_windows.size()) ? &m_windows[static_cast<size_t>(window)] : nullptr;
}

GuiWindowWidgets* GuiManager::GetWidgets(int window)
{
    return InRange(window, m_widgets.size()) ? m_widgets[static_cast<size_t>(window)].get()
                                             : nullptr;
}

const GuiWindowWidgets* GuiManager::GetWidgets(int window) const
{
    return InRange(window, m_widgets.size()) ? m_widgets[static_cast<size_t>(window)].get()
                                             : nullptr;
}

int GuiManager::CreateWindow(const std::string& name, bool listed, float width, float height)
{
    for (size_t i = 0; i < m_windows.size(); ++i) {
        if (m_windows[i].name == name) {
            m_windows[i].visible = true;
            return static_cast<int>(i);
        }
    }
    m_windows.push_back(GuiWindow{true, listed, name, width, height});
    m_widgets.push_back(std::make_unique<GuiWindowWidgets>());
    return static_cast<int>(m_windows.size() - 1);
}

int GuiManager::AddCollapsingHeader(int window, std::string label)
{
    GuiWindowWidgets* widgets = GetWidgets(window);
    if (widgets == nullptr)
        return -1;
    std::vector<GuiCollapsingHeader>& headers = widgets->headers;
    for (size_t i = 0; i < headers.size(); ++i) {
        if (headers[i].label == label) {
            headers[i].shown = true;
            return static_cast<int>(i);
        }
    }
    headers.push_back(GuiCollapsingHeader{std::move(label), true});
    return static_cast<int>(headers.size() - 1);
}

template <class Record>
int GuiManager::FindByLabel(int window, GuiWidgetKind kind, const std::vector<Record>& records,
                            const std::string& label)
{
    for (size_t i = 0; i < records.size(); ++i) {
        if (records[i].label == label) {
            ShowWidget(window, kind, static_cast<int>(i));
            return static_cast<int>(i);
        }
    }
    return -1;
}

void GuiManager::AppendEntry(int window, GuiWidgetKind kind, int index, int header, int treeNode)
{
    GetWidgets(window)->layout.push_back(GuiLayoutEntry{true, index, kind, header, treeNode});
}

int GuiManager::AddSliderInt(int window, std::string label, int* value, int min, int max,
                             int header, int treeNode)
{
    GuiWindowWidgets* widgets = GetWidgets(window);
    if (widgets == nullptr)
        return -1;
    auto& store = widgets->sliderInts;
    const int found = FindByLabel(window, GuiWidgetSliderInt, store.records, label);
    if (found >= 0)
        return found;
    const int index = static_cast<int>(store.records.size());
    if (value == nullptr)
        value = &store.Own(index);
    store.records.push_back(GuiSliderInt{value, min, max, std::move(label)});
    AppendEntry(window, GuiWidgetSliderInt, index, header, treeNode);
    return index;
}

int GuiManager::AddSliderFloat(int window, std::string label, float* value, float min, float max,
                               int header, int treeNode)
{
    GuiWindowWidgets* widgets = GetWidgets(window);
    if (widgets == nullptr)
        return -1;
    auto& store = widgets->sliderFloats;
    const int found = FindByLabel(window, GuiWidgetSliderFloat, store.records, label);
    if (found >= 0)
        return found;
    const int index = static_cast<int>(store.records.size());
    if (value == nullptr)
        value = &store.Own(index);
    store.records.push_back(GuiSliderFloat{value, min, max, std::move(label)});
    AppendEntry(window, GuiWidgetSliderFloat, index, header, treeNode);
    return index;
}

int GuiManager::AddInputText(int window, std::string label, char* buffer, int header,
                             int treeNode)
{
    GuiWindowWidgets* widgets = GetWidgets(window);
    if (widgets == nullptr)
        return -1;
    auto& store = widgets->inputTexts;
    const int found = FindByLabel(window, GuiWidgetInputText, store.records, label);
    if (found >= 0)
        return found;
    const int index = static_cast<int>(store.records.size());
    if (buffer == nullptr)
        buffer = store.Own(index).data();
    store.records.push_back(GuiInputText{std::move(label), buffer});
    AppendEntry(window, GuiWidgetInputText, index, header, treeNode);
    return index;
}

int GuiManager::AddInputInt(int window, std::string label, int* value, int header, int treeNode)
{
    GuiWindowWidgets* widgets = GetWidgets(window);
    if (widgets == nullptr)
        return -1;
    auto& store = widgets->inputInts;
    const int found = FindByLabel(window, GuiWidgetInputInt, store.records, label);
    if (found >= 0)
        return found;
    const int index = static_cast<int>(store.records.size());
    if (value == nullptr)
        value = &store.Own(index);
    store.records.push_back(GuiInputInt{value, std::move(label)});
    AppendEntry(window, GuiWidgetInputInt, index, header, treeNode);
    return index;
}

int GuiManager::AddInputFloat(int window, std::string label, float* value, int header,
                              int treeNode)
{
    GuiWindowWidgets* widgets = GetWidgets(window);
    if (widgets == nullptr)
        return -1;
    auto& store = widgets->inputFloats;
    const int found = FindByLabel(window, GuiWidgetInputFloat, store.records, label);
    if (found >= 0)
        return found;
    const int index = static_cast<int>(store.records.size());
    if (value == nullptr)
        value = &store.Own(index);
    store.records.push_back(GuiInputFloat{value, std::move(label)});
    AppendEntry(window, GuiWidgetInputFloat, index, header, treeNode);
    return index;
}

int GuiManager::AddInputFloat2(int window, std::string label, float* values, int header,
                               int treeNode)
{
    GuiWindowWidgets* widgets = GetWidgets(window);
    if (widgets == nullptr)
        return -1;
    auto& store = widgets->inputFloat2s;
    const int found = FindByLabel(window, GuiWidgetInputFloat2, store.records, label);
    if (found >= 0)
        return found;
    const int index = static_cast<int>(store.records.size());
    if (values == nullptr)
        values = store.Own(index).data();
    store.records.push_back(GuiInputFloat2{values, std::move(label)});
    AppendEntry(window, GuiWidgetInputFloat2, index, header, treeNode);
    return index;
}

int GuiManager::AddInputFloat3(int window, std::string label, float* values, int header,
                               int treeNode)
{
    GuiWindowWidgets* widgets = GetWidgets(window);
    if (widgets == nullptr)
        return -1;
    auto& store = widgets->inputFloat3s;
    const int found = FindByLabel(window, GuiWidgetInputFloat3, store.records, label);
    if (found >= 0)
        return found;
    const int index = static_cast<int>(store.records.size());
    if (values == nullptr)
        values = store.Own(index).data();
    store.records.push_back(GuiInputFloat3{values, std::move(label)});
    AppendEntry(window, GuiWidgetInputFloat3, index, header, treeNode);
    return index;
}

int GuiManager::AddButton(int window, std::string label, std::function<void()> fn, int header,
                          int treeNode)
{
    GuiWindowWidgets* widgets = GetWidgets(window);
    if (widgets == nullptr)
        return -1;
    const int found = FindByLabel(window, GuiWidgetButton, widgets->buttons, label);
    if (found >= 0)
        return found;
    assert(fn);
    widgets->buttons.push_back(GuiButton{std::move(label), std::move(fn)});
    const int index = static_cast<int>(widgets->buttons.size() - 1);
    AppendEntry(window, GuiWidgetButton, index, header, treeNode);
    return index;
}

int GuiManager::AddCheckbox(int window, std::string label, bool* ptr, int header, int treeNode)
{
    GuiWindowWidgets* widgets = GetWidgets(window);
    if (widgets == nullptr)
        return -1;
    const int found = FindByLabel(window, GuiWidgetCheckbox, widgets->checkboxes, label);
    if (found >= 0)
        return found;
    assert(ptr);
    widgets->checkboxes.push_back(GuiCheckbox{std::move(label), ptr});
    const int index = static_cast<int>(widgets->checkboxes.size() - 1);
    AppendEntry(window, GuiWidgetCheckbox, index, header, treeNode);
    return index;
}

int GuiManager::AddDragFloat3(int window, std::string label, float* ptr, float speed, int header,
                              int treeNode)
{
    GuiWindowWidgets* widgets = GetWidgets(window);
    if (widgets == nullptr)
        return -1;
    const int found = FindByLabel(window, GuiWidgetDragFloat3, widgets->drags, label);
    if (found >= 0)
        return found;
    assert(ptr);
    widgets->drags.push_back(GuiDragFloat3{std::move(label), ptr, speed});
    const int index = static_cast<int>(widgets->drags.size() - 1);
    AppendEntry(window, GuiWidgetDragFloat3, index, header, treeNode);
    return index;
}

int GuiManager::AddText(int window, std::string text, int header, int treeNode)
{
    GuiWindowWidgets* widgets = GetWidgets(window);
    if (widgets == nullptr)
        return -1;
    widgets->texts.push_back(std::move(text));
    const int index = static_cast<int>(widgets->texts.size() - 1);
    AppendEntry(window, GuiWidgetText, index, header, treeNode);
    return index;
}

int GuiManager::AddTextRef(int window, const std::string* ptr)
{
    GuiWindowWidgets* widgets = GetWidgets(window);
    if (widgets == nullptr)
        return -1;
    assert(ptr);
    widgets->textRefs.push_back(ptr);
    const int index = static_cast<int>(widgets->textRefs.size() - 1);
    AppendEntry(window, GuiWidgetTextRef, index, -1, -1);
    return index;
}

int GuiManager::AddVarView(int window, void* ptr, GuiVarViewType type, std::string label,
                           int header, int treeNode)
{
    GuiWindowWidgets* widgets = GetWidgets(window);
    if (widgets == nullptr)
        return -1;
    const int index = widgets->varViews.Add(ptr, type, std::move(label));
    AppendEntry(window, GuiWidgetVarView, index, header, treeNode);
    return index;
}

int GuiManager::AddList(int window, std::vector<std::string>* ptr)
{
    GuiWindowWidgets* widgets = GetWidgets(window);
    if (widgets == nullptr)
        return -1;
    const int index = widgets->lists.Add(ptr);
    AppendEntry(window, GuiWidgetList, index, -1, -1);
    return index;
}

int GuiManager::AddDropDownList(int window, std::string label, std::vector<std::string>* ptr,
                                int header, int treeNode)
{
    GuiWindowWidgets* widgets = GetWidgets(window);
    if (widgets == nullptr)
        return -1;
    const int index = widgets->dropDowns.Add(label, ptr);
    AppendEntry(window, GuiWidgetDropDownList, index, header, treeNode);
    return index;
}

int GuiManager::AddPlotLines(int window, std::string label, std::vector<float>* ptr,
                             int sampleCount, std::string overlay, float scaleMin, float scaleMax,
                             float graphWidth, float graphHeight, int header, int treeNode)
{
    GuiWindowWidgets* widgets = GetWidgets(window);
    if (widgets == nullptr)
        return -1;
    assert(ptr);
    while (static_cast<int>(ptr->size()) <= sampleCount)
        ptr->push_back(0.0f);
    GuiPlotLines plot;
    plot.sampleCount = sampleCount;
    plot.scaleMin = scaleMin;
    plot.scaleMax = scaleMax;
    plot.graphWidth = graphWidth;
    plot.graphHeight = graphHeight;
    plot.overlay = std::move(overlay);
    plot.label = std::move(label);
    plot.values = ptr;
    plot.lastSeenSize = static_cast<int>(ptr->size());
    plot.offset = 0;
    widgets->plots.push_back(std::move(plot));
    const int index = static_cast<int>(widgets->plots.size() - 1);
    AppendEntry(window, GuiWidgetPlotLines, index, header, treeNode);
    return index;
}

int* GuiManager::GetDropDownListSelection(int window, int dropDown)
{
    GuiWindowWidgets* widgets = GetWidgets(window);
    return widgets != nullptr ? widgets->dropDowns.Selection(dropDown) : nullptr;
}

int* GuiManager::GetListSelection(int window, int list)
{
    GuiWindowWidgets* widgets = GetWidgets(window);
    return widgets != nullptr ? widgets->lists.Selection(list) : nullptr;
}

void GuiManager::HideWidget(int window, GuiWidgetKind kind, int index)
{
    if (GuiWindowWidgets* widgets = GetWidgets(window))
        for (GuiLayoutEntry& entry : widgets->layout)
            if (entry.kind == kind && entry.widgetIndex == index)
                entry.visible = false;
}

void GuiManager::ShowWidget(int window, GuiWidgetKind kind, int index)
{
    if (GuiWindowWidgets* widgets = GetWidgets(window))
        for (GuiLayoutEntry& entry : widgets->layout)
            if (entry.kind == kind && entry.widgetIndex == index)
                entry.visible = true;
}

// Button callbacks run inside the walk below and may add windows or widgets: every list is
// walked by index and read again after each widget, never through a kept reference.
void GuiManager::Render()
{
    for (size_t w = 0; w < m_windows.size(); ++w)
        if (m_windows[w].visible)
            DrawWindow(w);
    UpdateInputCallbacks();
    if (ImGui::BeginMainMenuBar()) {
        DrawMainMenuBar();
        ImGui::EndMainMenuBar();
    }
}

void GuiManager::DrawWindow(size_t w)
{
    // First use only: a place and size the user gave the window (kept in imgui.ini) stay.
    if (const GuiPlacement* placement = FindPlacement(m_windows[w].name)) {
        ImGui::SetNextWindowPos(ImVec2(placement->x, placement->y), ImGuiCond_FirstUseEver);
        ImGui::SetNextWindowSize(ImVec2(placement->width, placement->height),
                                 ImGuiCond_FirstUseEver);
        if (placement->collapsed)
            ImGui::SetNextWindowCollapsed(true, ImGuiCond_FirstUseEver);
    } else {
        ImGui::SetNextWindowSize(ImVec2(m_windows[w].width, m_windows[w].height),
                                 ImGuiCond_FirstUseEver);
    }
    // Begin is done with the name and the close box before any button below can grow the list.
    ImGui::Begin(m_windows[w].name.c_str(), &m_windows[w].visible, 0);

    GuiWindowWidgets& widgets = *m_widgets[w];
    for (size_t h = 0; h < widgets.headers.size(); ++h) {
        if (!widgets.headers[h].shown)
            continue;
        if (ImGui::CollapsingHeader(widgets.headers[h].label.c_str())) {
            ImGui::Separator();
            for (size_t n = 0; n < widgets.treeNodes.size(); ++n)
                DrawTreeNode(w, widgets.treeNodes[n], static_cast<int>(h));
            DrawWidgets(w, static_cast<int>(h), -1);
        }
        ImGui::Separator();
    }
    for (size_t n = 0; n < widgets.treeNodes.size(); ++n)
        DrawTreeNode(w, widgets.treeNodes[n], -1);
    DrawWidgets(w, -1, -1);
    ImGui::End();
}

void GuiManager::DrawTreeNode(size_t w, const GuiTreeNode& node, int header)
{
    if (node.header != header)
        return;
    if (!ImGui::TreeNode(node.label.c_str(), "%s", node.label.c_str()))
        return;
    DrawWidgets(w, header, node.id);
    for (const GuiTreeNode& child : node.children)
        DrawTreeNode(w, child, header);
    ImGui::TreePop();
}

void GuiManager::DrawWidgets(size_t w, int header, int treeNode)
{
    GuiWindowWidgets& widgets = *m_widgets[w];
    for (size_t i = 0; i < widgets.layout.size(); ++i) {
        const GuiLayoutEntry entry = widgets.layout[i];
        if (entry.visible && entry.header == header && entry.treeNode == treeNode)
            DrawWidget(w, entry);
    }
}

void GuiManager::DrawWidget(size_t w, const GuiLayoutEntry& entry)
{
    GuiWindowWidgets& widgets = *m_widgets[w];
    const int i = entry.widgetIndex;
    const size_t u = static_cast<size_t>(i);
    switch (entry.kind) {
    case GuiWidgetSliderInt:
        if (InRange(i, widgets.sliderInts.records.size())) {
            GuiSliderInt& slider = widgets.sliderInts.records[u];
            float copy = static_cast<float>(*slider.value);
            // Written back only on a change: a large int is not rounded to float by merely
            // being shown.
            if (ImGui::SliderFloat(slider.label.c_str(), &copy, static_cast<float>(slider.min),
                                   static_cast<float>(slider.max), "%.0f", 0))
                *slider.value = TruncateToInt(copy);
        }
        break;
    case GuiWidgetSliderFloat:
        if (InRange(i, widgets.sliderFloats.records.size())) {
            GuiSliderFloat& slider = widgets.sliderFloats.records[u];
            ImGui::SliderFloat(slider.label.c_str(), slider.value, slider.min, slider.max, "%.9f",
                               0);
        }
        break;
    case GuiWidgetInputText:
        if (InRange(i, widgets.inputTexts.records.size())) {
            GuiInputText& input = widgets.inputTexts.records[u];
            ImGui::InputText(input.label.c_str(), input.buffer, kGuiInputTextSize, 0);
        }
        break;
    case GuiWidgetInputInt:
        if (InRange(i, widgets.inputInts.records.size())) {
            GuiInputInt& input = widgets.inputInts.records[u];
            ImGui::InputInt(input.label.c_str(), input.value, 1, 100);
        }
        break;
    case GuiWidgetInputFloat:
        if (InRange(i, widgets.inputFloats.records.size())) {
            GuiInputFloat& input = widgets.inputFloats.records[u];
            // Full precision: a value such as 0.2126 must survive an edit of another digit.
            ImGui::InputFloat(input.label.c_str(), input.value, 0.0f, 0.0f, "%f");
        }
        break;
    case GuiWidgetInputFloat2:
        if (InRange(i, widgets.inputFloat2s.records.size())) {
            GuiInputFloat2& input = widgets.inputFloat2s.records[u];
            ImGui::InputFloat2(input.label.c_str(), input.values, "%f");
        }
        break;
    case GuiWidgetInputFloat3:
        if (InRange(i, widgets.inputFloat3s.records.size())) {
            GuiInputFloat3& input = widgets.inputFloat3s.records[u];
            ImGui::InputFloat3(input.label.c_str(), input.values, "%f");
        }
        break;
    case GuiWidgetText:
        if (InRange(i, widgets.texts.size()))
            ImGui::TextUnformatted(widgets.texts[u].c_str());
        break;
    case GuiWidgetTextRef:
        if (InRange(i, widgets.textRefs.size()))
            ImGui::TextUnformatted(widgets.textRefs[u]->c_str());
        break;
    case GuiWidgetButton:
        if (InRange(i, widgets.buttons.size()) &&
            ImGui::Button(widgets.buttons[u].label.c_str())) {
            // Called from a copy: the callback may add buttons and move the one it came from.
            const std::function<void()> callback = widgets.buttons[u].callback;
            callback();
        }
        break;
    case GuiWidgetVarView:
        if (InRange(i, widgets.varViews.Size()))
            widgets.varViews.Draw(i);
        break;
    case GuiWidgetList:
        if (InRange(i, widgets.lists.Size()))
            widgets.lists.Draw(i);
        break;
    case GuiWidgetDropDownList:
        if (InRange(i, widgets.dropDowns.Size()))
            widgets.dropDowns.Draw(i);
        break;
    case GuiWidgetPlotLines:
        if (InRange(i, widgets.plots.size())) {
            ImGui::PushID(i);  // plots may share a label
            DrawPlotLines(widgets.plots[u]);
            ImGui::PopID();
        }
        break;
    case GuiWidgetCheckbox:
        if (InRange(i, widgets.checkboxes.size())) {
            GuiCheckbox& box = widgets.checkboxes[u];
            ImGui::Checkbox(box.label.c_str(), box.value);
        }
        break;
    case GuiWidgetDragFloat3:
        if (InRange(i, widgets.drags.size())) {
            GuiDragFloat3& drag = widgets.drags[u];
            ImGui::DragFloat3(drag.label.c_str(), drag.values, drag.speed, 0.0f, 0.0f, "%.3f", 0);
        }
        break;
    default:
        // Kinds no add operation makes (four-float inputs, histograms) draw nothing.
        break;
    }
}

void GuiManager::DrawPlotLines(GuiPlotLines& plot)
{
    std::vector<float>& values = *plot.values;
    if (values.empty()) {
        // The owner emptied its history: start again from a full graph of zeros.
        values.assign(static_cast<size_t>(std::max(plot.sampleCount, 0)) + 1, 0.0f);
        plot.offset = 0;
        plot.lastSeenSize = static_cast<int>(values.size());
    }
    const int size = static_cast<int>(values.size());
    if (size < plot.lastSeenSize) {
        // Shrunk without being emptied: the old window no longer fits, show the new samples.
        plot.offset = 0;
        plot.lastSeenSize = size;
    } else if (size != plot.lastSeenSize) {
        plot.offset += 1;
        plot.lastSeenSize = size;
    }
    const int count = std::max(size - plot.offset - 1, 0);
    ImGui::PlotLines(plot.label.c_str(), values.data() + plot.offset, count, plot.offset,
                     plot.overlay.c_str(), plot.scaleMin, plot.scaleMax,
                     ImVec2(plot.graphWidth, plot.graphHeight));
}

void GuiManager::DrawMainMenuBar()
{
    if (ImGui::BeginMenu("File")) {
        ImGui::MenuItem("Save");
        // Ends the run the way the game's own quit does, after this frame: lists, settings and
        // scenes changed in the run are saved and the program exits with 0.
        if (ImGui::MenuItem("Quit") && m_quitCallback)
            m_quitCallback();
        ImGui::EndMenu();
    }
    if (ImGui::BeginMenu("Windows")) {
        for (size_t w = 0; w < m_windows.size(); ++w)
            if (m_windows[w].listed)
                ImGui::MenuItem(m_windows[w].name.c_str(), nullptr, &m_windows[w].visible);
        ImGui::EndMenu();
    }
}

void GuiManager::ReleaseGuiKeys()
{
    if (ImGui::GetCurrentContext() == nullptr)
        return;
    Gui::DropQueuedKeys();
    ImGuiIO& io = ImGui::GetIO();
    std::fill(std::begin(io.KeysDown), std::end(io.KeysDown), false);
    io.KeyCtrl = io.KeyShift = io.KeyAlt = io.KeySuper = false;
}

void GuiManager::UpdateInputCallbacks()
{
    if (!m_guiEnabled || ImGui::GetCurrentContext() == nullptr)
        return;
    const ImGuiIO& io = ImGui::GetIO();
    if (!io.WantCaptureMouse) {
        if (m_window != nullptr) {
            glfwSetWindowIconifyCallback(m_window, m_appIconifyCallback);
            glfwSetMouseButtonCallback(m_window, m_appMouseButtonCallback);
            glfwSetWindowFocusCallback(m_window, m_appFocusCallback);
            glfwSetWindowCloseCallback(m_window, m_appCloseCallback);
        }
    } else {
        if (m_window != nullptr) {
            glfwSetMouseButtonCallback(m_window, &Gui::OnMouseButton);
            glfwSetScrollCallback(m_window, &Gui::OnScroll);
            glfwSetCharCallback(m_window, &Gui::OnChar);
        }
        if (m_mouseCaptureCallback)
            m_mouseCaptureCallback();
    }
    if (!io.WantCaptureKeyboard) {
        if (m_window != nullptr)
            glfwSetKeyCallback(m_window, m_appKeyCallback);
        ReleaseGuiKeys();
    } else if (m_window != nullptr) {
        glfwSetKeyCallback(m_window, &Gui::OnKey);
    }
}

void GuiManager::RestoreAppCallbacks()
{
    if (m_window != nullptr) {
        glfwSetWindowIconifyCallback(m_window, m_appIconifyCallback);
        glfwSetMouseButtonCallback(m_window, m_appMouseButtonCallback);
        glfwSetWindowFocusCallback(m_window, m_appFocusCallback);
        glfwSetWindowCloseCallback(m_window, m_appCloseCallback);
        glfwSetKeyCallback(m_window, m_appKeyCallback);
    }
    ReleaseGuiKeys();
}

}  // namespace ztengine
