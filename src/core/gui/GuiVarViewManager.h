#pragma once
// Read-only value views of the debug GUI: a label and the current value of a variable of the
// owning system, formatted by the variable's type.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ztengine {

// What a value view's variable points at.
enum GuiVarViewType : int32_t {
    GuiVarViewChar = 0,
    GuiVarViewInt = 4,
    GuiVarViewUnsigned = 5,
    GuiVarViewFloat = 6,
    GuiVarViewDouble = 7,
};

struct GuiVarView {
    void* variable = nullptr;
    GuiVarViewType type = GuiVarViewInt;
    std::string label;
};

class GuiVarViewManager {
public:
    // Room for the value text and the whole line, terminating NUL included.
    static constexpr size_t kValueSize = 32;
    static constexpr size_t kLineSize = 128;

    // The variable must not be null; the same label may be added again as another view.
    int Add(void* ptr, GuiVarViewType type, std::string label);

    // "label value" as drawn; a value or line too long for its room is cut short. False (and
    // an empty line) for a type that has no format.
    static bool FormatLine(const GuiVarView& view, char (&line)[kLineSize]);

    // Draws the view as verbatim text: a '%' in the label or the value is shown as it is.
    void Draw(int index) const;

    size_t Size() const { return m_views.size(); }
    const GuiVarView& At(int index) const { return m_views[static_cast<size_t>(index)]; }

private:
    std::vector<GuiVarView> m_views;
};

}  // namespace ztengine
