#include "core/subsys/CollectibleSystem/GoldTextPlacement.h"

#include <algorithm>

#include "core/graphics/framework/2d/TextManager.h"

namespace ztengine {

float TextAdvance(TextManager& texts, uint32_t text)
{
    const TextEntry* entry = texts.GetTextEntry(text);
    if (entry == nullptr || entry->font >= texts.GetFontNames().size())
        return 0.0f;
    const Font* font = texts.GetFontLibrary().GetFont(texts.GetFontNames()[entry->font]);
    if (font == nullptr || !font->initialized)
        return 0.0f;
    // The same steps as the drawing: whole pixels per glyph, scaled; a missing glyph adds none.
    float advance = 0.0f;
    for (char c : entry->text) {
        auto glyph = font->glyphs.find(static_cast<signed char>(c));
        if (glyph != font->glyphs.end())
            advance += static_cast<float>(glyph->second.advance >> 6) * entry->scale.x;
    }
    return advance;
}

ztmath::Vector2 GoldTextPosition(TextManager& texts, uint32_t text, float windowWidth)
{
    const float advance = TextAdvance(texts, text);
    if (advance <= 0.0f)
        return {kGoldTextX, kGoldTextY};
    return {std::min(kGoldTextX, windowWidth - kGoldTextRightMargin - advance), kGoldTextY};
}

}  // namespace ztengine
