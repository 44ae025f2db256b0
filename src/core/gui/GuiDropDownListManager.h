#pragma once
// Drop-down lists of the debug GUI: the items are a vector of the owning system, copied into a
// fixed item buffer at every draw; the GUI keeps the selected item, whose address callers hold
// for the rest of the run.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace ztengine {

struct GuiDropDownList {
    static constexpr size_t kLabelSize = 64;
    static constexpr size_t kItemBufferSize = 8192;

    char label[kLabelSize] = {};
    char itemBuffer[kItemBufferSize] = {};
    std::vector<std::string>* mArr = nullptr;  // the items
    int selected = 0;
};

class GuiDropDownListManager {
public:
    // The items must not be null. The label is cut to what its field holds.
    int Add(const std::string& label, std::vector<std::string>* ptr);
    // The selected item of a drop-down, or null for an index never returned.
    int* Selection(int index);
    // Rebuilds the item buffer and draws the combo.
    void Draw(int index);

    size_t Size() const { return m_lists.size(); }
    const GuiDropDownList* At(int index) const;

    // Copies the items into the buffer, each followed by a NUL, and ends it with one NUL more.
    // Items that do not fit whole are left out, so the buffer always ends cleanly. Returns the
    // number of items written. The combo offers items up to the first empty one.
    static int BuildItemBuffer(const std::vector<std::string>& items, char* buffer, size_t size);

private:
    // On the heap: the selection's address must survive the store growing.
    std::vector<std::unique_ptr<GuiDropDownList>> m_lists;
};

}  // namespace ztengine
