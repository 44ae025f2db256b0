// Value views: formatting a variable into its fixed-size line and drawing it.
#include "core/gui/GuiVarViewManager.h"

#include <imgui.h>

#include <cstdio>

#include "core/util/assert/AppAssert.h"

namespace ztengine {

int GuiVarViewManager::Add(void* ptr, GuiVarViewType type, std::string label)
{
    assert(ptr);
    m_views.push_back(GuiVarView{ptr, type, std::move(label)});
    return static_cast<int>(m_views.size() - 1);
}

bool GuiVarViewManager::FormatLine(const GuiVarView& view, char (&line)[kLineSize])
{
    char value[kValueSize];
    line[0] = '\0';
    switch (view.type) {
    case GuiVarViewChar:
        std::snprintf(value, sizeof(value), "%c", *static_cast<const char*>(view.variable));
        break;
    case GuiVarViewInt:
        std::snprintf(value, sizeof(value), "%d", *static_cast<const int*>(view.variable));
        break;
    case GuiVarViewUnsigned:
        std::snprintf(value, sizeof(value), "%u", *static_cast<const unsigned*>(view.variable));
        break;
    case GuiVarViewFloat:
        std::snprintf(value, sizeof(value), "%.9f",
                      static_cast<double>(*static_cast<const float*>(view.variable)));
        break;
    case GuiVarViewDouble:
        std::snprintf(value, sizeof(value), "%.9f", *static_cast<const double*>(view.variable));
        break;
    default:
        return false;
    }
    std::snprintf(line, sizeof(line), "%s %s", view.label.c_str(), value);
    return true;
}

void GuiVarViewManager::Draw(int index) const
{
    char line[kLineSize];
    if (!FormatLine(At(index), line))
        assert(0);
    ImGui::TextUnformatted(line);
}

}  // namespace ztengine
