// Text entries and their drawing.
#include "core/graphics/framework/2d/TextManager.h"

#include <GL/glew.h>

namespace ztengine {

uint32_t TextManager::LoadFont(const std::string& file)
{
    for (size_t i = 0; i < m_fontNames.size(); ++i) {
        if (m_fontNames[i] == file)
            return static_cast<uint32_t>(i);
    }
    m_fontLibrary.AddFont(file, file);
    m_fontNames.push_back(file);
    return static_cast<uint32_t>(m_fontNames.size() - 1);
}

uint32_t TextManager::CreateText(const std::string& text, uint32_t font)
{
    if (m_fontNames.empty() || font >= m_fontNames.size())
        return kInvalidIndex;
    TextEntry entry;
    entry.font = font;
    entry.text = text;
    for (size_t i = 0; i < m_texts.size(); ++i) {
        if (!m_texts[i].active) {
            m_texts[i] = std::move(entry);
            return static_cast<uint32_t>(i);
        }
    }
    m_texts.push_back(std::move(entry));
    return static_cast<uint32_t>(m_texts.size() - 1);
}

TextEntry* TextManager::GetTextEntry(uint32_t index)
{
    if (index >= m_texts.size() || !m_texts[index].active)
        return nullptr;
    return &m_texts[index];
}

void TextManager::SetText(uint32_t index, const std::string& text)
{
    if (TextEntry* entry = GetTextEntry(index))
        entry->text = text;
}

void TextManager::SetTextPosition(uint32_t index, const ztmath::Vector2& position)
{
    if (TextEntry* entry = GetTextEntry(index))
        entry->position = position;
}

void TextManager::SetTextVisible(uint32_t index, bool visible)
{
    if (TextEntry* entry = GetTextEntry(index))
        entry->visible = visible;
}

void TextManager::SetTextColor(uint32_t index, const ztmath::Vector3& color, float alpha)
{
    if (TextEntry* entry = GetTextEntry(index))
        entry->color = ztmath::Vector4(color, alpha);
}

void TextManager::Render()
{
    m_fontLibrary.PrepareGlyphBuffer();
    glEnable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    for (const TextEntry& entry : m_texts) {
        if (!entry.active || !entry.visible || entry.font >= m_fontNames.size())
            continue;
        m_fontLibrary.RenderText(m_fontNames[entry.font], entry.text, entry.position.x,
                                 entry.position.y, entry.scale.x, entry.scale.y, entry.color);
    }
    glDisable(GL_BLEND);
}

}  // namespace ztengine
