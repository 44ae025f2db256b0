// Drop-down lists: the heap-held selections, the fixed item buffer and the combo.
#include "core/gui/GuiDropDownListManager.h"

#include <imgui.h>

#include <cstdio>
#include <cstring>

#include "core/util/assert/AppAssert.h"

namespace ztengine {

int GuiDropDownListManager::Add(const std::string& label, std::vector<std::string>* ptr)
{
    assert(ptr);
    auto list = std::make_unique<GuiDropDownList>();
    std::snprintf(list->label, sizeof(list->label), "%s", label.c_str());
    list->mArr = ptr;
    m_lists.push_back(std::move(list));
    return static_cast<int>(m_lists.size() - 1);
}

int* GuiDropDownListManager::Selection(int index)
{
    if (index < 0 || static_cast<size_t>(index) >= m_lists.size())
        return nullptr;
    return &m_lists[static_cast<size_t>(index)]->selected;
}

const GuiDropDownList* GuiDropDownListManager::At(int index) const
{
    if (index < 0 || static_cast<size_t>(index) >= m_lists.size())
        return nullptr;
    return m_lists[static_cast<size_t>(index)].get();
}

int GuiDropDownListManager::BuildItemBuffer(const std::vector<std::string>& items, char* buffer,
                                            size_t size)
{
    if (size == 0)
        return 0;
    size_t used = 0;
    int written = 0;
    for (const std::string& item : items) {
        const size_t length = std::strlen(item.c_str());
        // The item, its NUL and the closing NUL must all fit.
        if (used + length + 2 > size)
            break;
        std::memcpy(buffer + used, item.c_str(), length);
        used += length;
        buffer[used++] = '\0';
        ++written;
    }
    buffer[used] = '\0';
    return written;
}

void GuiDropDownListManager::Draw(int index)
{
    GuiDropDownList& list = *m_lists[static_cast<size_t>(index)];
    const std::vector<std::string>* mArr = list.mArr;
    assert(mArr);
    BuildItemBuffer(*mArr, list.itemBuffer, sizeof(list.itemBuffer));
    // Two drop-downs may share a label; their popups must not.
    ImGui::PushID(index);
    ImGui::Combo(list.label, &list.selected, list.itemBuffer);
    ImGui::PopID();
}

}  // namespace ztengine
