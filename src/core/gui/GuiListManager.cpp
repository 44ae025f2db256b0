// Selectable lists: the heap-held selections and the drawing of their rows.
#include "core/gui/GuiListManager.h"

#include <imgui.h>

#include "core/util/assert/AppAssert.h"

namespace ztengine {

int GuiListManager::Add(std::vector<std::string>* ptr)
{
    assert(ptr);
    auto list = std::make_unique<GuiList>();
    list->rows = ptr;
    m_lists.push_back(std::move(list));
    return static_cast<int>(m_lists.size() - 1);
}

int* GuiListManager::Selection(int index)
{
    if (index < 0 || static_cast<size_t>(index) >= m_lists.size())
        return nullptr;
    return &m_lists[static_cast<size_t>(index)]->selected;
}

void GuiListManager::Draw(int index)
{
    GuiList& list = *m_lists[static_cast<size_t>(index)];
    // Rows are told apart by position: two rows, or two lists, with the same text are still
    // selected one at a time.
    ImGui::PushID(index);
    const std::vector<std::string>& rows = *list.rows;
    for (size_t i = 0; i < rows.size(); ++i) {
        ImGui::PushID(static_cast<int>(i));
        if (ImGui::Selectable(rows[i].c_str(), static_cast<int>(i) == list.selected))
            list.selected = static_cast<int>(i);
        ImGui::PopID();
    }
    ImGui::PopID();
}

}  // namespace ztengine
