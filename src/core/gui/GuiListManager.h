#pragma once
// Selectable lists of the debug GUI: the rows are a vector of the owning system, read at every
// draw; the GUI keeps the selected row, whose address callers hold for the rest of the run.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace ztengine {

struct GuiList {
    std::vector<std::string>* rows = nullptr;
    int selected = 0;
};

class GuiListManager {
public:
    // The rows must not be null.
    int Add(std::vector<std::string>* ptr);
    // The selected row of a list, or null for an index never returned.
    int* Selection(int index);
    // One selectable per row; a click selects the row.
    void Draw(int index);

    size_t Size() const { return m_lists.size(); }

private:
    // On the heap: the selection's address must survive the store growing.
    std::vector<std::unique_ptr<GuiList>> m_lists;
};

}  // namespace ztengine
