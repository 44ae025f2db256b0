// The 2D layer: textures, sprites, their per-frame draw list and the text pass.
#include "core/graphics/Graphics2D.h"

#include <GL/glew.h>

#include "core/util/assert/AppAssert.h"

#include <algorithm>
#include <cmath>

namespace ztengine {

Sprite& SpriteHandle::Get() const
{
    assert(m_spriteCont != nullptr);
    return m_spriteCont->at(m_index);
}

void SpriteHandle::SetPosition(float x, float y)
{
    Get().position = {x, y};
}

ztmath::Vector2& SpriteHandle::GetPosition()
{
    return Get().position;
}

void SpriteHandle::SetScale(float x, float y)
{
    Get().scale = {x, y};
}

ztmath::Vector2& SpriteHandle::GetScale()
{
    return Get().scale;
}

void SpriteHandle::SetVisible(bool visible)
{
    Get().visible = visible;
}

void SpriteHandle::SetRotation(float radians)
{
    Get().rotation = radians;
}

float SpriteHandle::GetAlpha()
{
    return Get().alpha;
}

void SpriteHandle::SetAlpha(float alpha)
{
    Get().alpha = alpha;
}

bool Graphics2D::Init(int width, int height)
{
    m_projection.SetOrthographic(static_cast<float>(width), static_cast<float>(height), 0.1f, 1.0f);
    m_windowWidth = static_cast<float>(width);
    m_windowHeight = static_cast<float>(height);
    const bool built = m_spriteShader.Init();
    m_drawList.reserve(256);

    const TextureInfo checker = m_textureLoader.CreateCheckerTexture();
    m_textures.push_back({checker.id, checker.width, checker.height, checker.channels, 1});

    FontLibrary& fonts = m_textManager.GetFontLibrary();
    fonts.Init();
    fonts.SetProjection(static_cast<float>(width), static_cast<float>(height));
    return built;
}

void Graphics2D::Shutdown()
{
    m_spriteShader.Destroy();
    m_textureLoader.DeleteAll();
    m_textManager.GetFontLibrary().Shutdown();
}

Texture2DHandle Graphics2D::LoadTexture(const std::string& path)
{
    const TextureInfo info = m_textureLoader.LoadPlain(path);
    m_textures.push_back({info.id, info.width, info.height, info.channels, 1});
    return {static_cast<unsigned>(m_textures.size() - 1), 1};
}

SpriteHandle Graphics2D::CreateSprite(const Texture2DHandle& texture, const ztmath::Vector2& position,
                                      const ztmath::Vector2& scale, uint32_t layer)
{
    Sprite sprite;
    sprite.position = position;
    sprite.scale = scale;
    sprite.textureOffset = {0.0f, 0.0f};
    sprite.rotation = 0.0f;
    sprite.visible = true;
    sprite.layer = layer;
    sprite.texture = texture.key < m_textures.size() ? texture.key : 0;
    sprite.alpha = 1.0f;
    m_spriteCont.push_back(sprite);
    return SpriteHandle(&m_spriteCont, static_cast<uint32_t>(m_spriteCont.size() - 1));
}

const Texture2D& Graphics2D::GetTexture(const Texture2DHandle& handle) const
{
    assert(handle.key < m_textures.size());
    return m_textures[handle.key];
}

bool Graphics2D::CoversWindow(const SpriteHandle& handle) const
{
    if (!handle.IsValid() || handle.GetIndex() >= m_spriteCont.size() || m_windowWidth <= 0.0f)
        return false;
    const Sprite& sprite = m_spriteCont[handle.GetIndex()];
    if (!sprite.visible || !(sprite.alpha >= 1.0f) || sprite.rotation != 0.0f)
        return false;
    // Positions are pixels from the window centre; a negative size only mirrors the picture.
    const float halfWidth = 0.5f * std::fabs(sprite.scale.x);
    const float halfHeight = 0.5f * std::fabs(sprite.scale.y);
    return sprite.position.x - halfWidth <= -0.5f * m_windowWidth &&
           sprite.position.x + halfWidth >= 0.5f * m_windowWidth &&
           sprite.position.y - halfHeight <= -0.5f * m_windowHeight &&
           sprite.position.y + halfHeight >= 0.5f * m_windowHeight;
}

const std::vector<std::pair<uint32_t, uint32_t>>& Graphics2D::BuildDrawList()
{
    m_drawList.clear();
    for (size_t i = 0; i < m_spriteCont.size(); ++i) {
        if (m_spriteCont[i].visible)
            m_drawList.emplace_back(static_cast<uint32_t>(i), m_spriteCont[i].layer);
    }
    std::stable_sort(m_drawList.begin(), m_drawList.end(),
                     [](const auto& a, const auto& b) { return a.second < b.second; });
    return m_drawList;
}

void Graphics2D::Render()
{
    BuildDrawList();

    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_FALSE);
    glDisable(GL_DEPTH_TEST);
    // A sprite with a negative width or height is drawn mirrored, not culled away. The text
    // pass switches culling back on.
    glDisable(GL_CULL_FACE);

    GLuint bound = kNoTexture;
    unsigned boundRows = 0;
    for (const auto& [index, layer] : m_drawList) {
        const Sprite& sprite = m_spriteCont[index];
        if (sprite.texture >= m_textures.size())
            continue;
        const Texture2D& texture = m_textures[sprite.texture];
        // Two entries may share one GL texture with a different sheet layout, so the rows are
        // compared as well.
        if (texture.id != bound || texture.rows != boundRows) {
            glActiveTexture(GL_TEXTURE0);
            glBindTexture(GL_TEXTURE_2D, texture.id);
            bound = texture.id;
            boundRows = texture.rows;
            m_spriteShader.GetShader().Use();
            m_spriteShader.SetNumberOfRows(texture.rows);
        }
        m_spriteShader.Draw(sprite, m_projection);
    }

    m_textManager.Render();

    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    glEnable(GL_DEPTH_TEST);
    m_drawList.clear();
}

}  // namespace ztengine
