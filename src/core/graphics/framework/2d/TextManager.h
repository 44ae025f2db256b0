#pragma once
// On-screen texts of the 2D layer. Systems load a font once, create their texts once and then
// change them by index; a text is drawn while it is both active and visible.
#include <cstdint>
#include <string>
#include <vector>

#include "core/graphics/framework/2d/FontLibrary.h"
#include "core/math/Vector2.h"
#include "core/math/Vector3.h"
#include "core/math/Vector4.h"

namespace ztengine {

struct TextEntry {
    ztmath::Vector2 position;                     // pen start on the baseline, pixels from the bottom-left
    ztmath::Vector2 scale{1.0f, 1.0f};            // 1 draws the 48-pixel rasterisation as it is
    ztmath::Vector4 color{0.0f, 0.0f, 0.0f, 1.0f};
    bool active = true;                           // cleared: the slot may be reused by CreateText
    bool visible = false;
    uint32_t font = 0;                            // index into the font names
    std::string text;
};

class TextManager {
public:
    static constexpr uint32_t kInvalidIndex = 0xFFFFFFFFu;

    // The index of the font file; a file already asked for (even one that failed to load)
    // gives its old index and is not read again.
    uint32_t LoadFont(const std::string& file);
    // kInvalidIndex when the font index names no font. New texts start invisible.
    uint32_t CreateText(const std::string& text, uint32_t font);

    // Each changes an active text and ignores any other index.
    void SetText(uint32_t index, const std::string& text);
    void SetTextPosition(uint32_t index, const ztmath::Vector2& position);
    void SetTextVisible(uint32_t index, bool visible);
    void SetTextColor(uint32_t index, const ztmath::Vector3& color, float alpha);

    // The active text at the index for direct changes (scale, colour), or nullptr.
    TextEntry* GetTextEntry(uint32_t index);

    void Render();

    FontLibrary& GetFontLibrary() { return m_fontLibrary; }
    const std::vector<std::string>& GetFontNames() const { return m_fontNames; }
    std::vector<TextEntry>& GetTexts() { return m_texts; }

private:
    std::vector<std::string> m_fontNames;
    std::vector<TextEntry> m_texts;
    FontLibrary m_fontLibrary;
};

}  // namespace ztengine
