#pragma once
// The screen-space layer drawn over the 3D frame: textured sprites sorted by layer, then text.
// Sprites are created once and changed through their handles; they are hidden, never deleted.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/graphics/framework/2d/Sprite.h"
#include "core/graphics/framework/2d/SpriteShader.h"
#include "core/graphics/framework/2d/TextManager.h"
#include "core/graphics/framework/textureloader/TextureLoader.h"
#include "core/math/Matrix4x4.h"
#include "core/math/Vector2.h"

namespace ztengine {

// A sprite of the 2D layer. The handle stays valid for the run because sprites are never removed.
// Using a default handle is a programming error and stops the program; an index past the sprite
// list throws std::out_of_range.
class SpriteHandle {
public:
    SpriteHandle() = default;
    SpriteHandle(std::vector<Sprite>* sprites, uint32_t index) : m_spriteCont(sprites), m_index(index) {}

    void SetPosition(float x, float y);
    ztmath::Vector2& GetPosition();
    void SetScale(float x, float y);
    ztmath::Vector2& GetScale();
    void SetVisible(bool visible);
    void SetRotation(float radians);
    float GetAlpha();
    void SetAlpha(float alpha);

    uint32_t GetIndex() const { return m_index; }
    bool IsValid() const { return m_spriteCont != nullptr; }

private:
    Sprite& Get() const;

    std::vector<Sprite>* m_spriteCont = nullptr;
    uint32_t m_index = 0;
};

class Graphics2D {
public:
    // The bound-texture cache starts at a value no texture has, so the first sprite always binds.
    static constexpr unsigned int kNoTexture = 1281;

    // Builds the sprite program, the default (checker) texture 0 and the fonts for a window of
    // the size. Returns false when the sprite program could not be built.
    bool Init(int width, int height);
    // Releases the sprite program, every texture the layer loaded and the fonts. Entries appended
    // to m_textures by other parts stay with their owners.
    void Shutdown();

    Texture2DHandle LoadTexture(const std::string& path);
    // A visible sprite with alpha 1 and no rotation. A handle whose key is not a texture index
    // falls back to texture 0.
    SpriteHandle CreateSprite(const Texture2DHandle& texture, const ztmath::Vector2& position,
                              const ztmath::Vector2& scale, uint32_t layer);
    const Texture2D& GetTexture(const Texture2DHandle& handle) const;
    // The sprite is drawn this frame fully opaque (alpha 1 or more, unrotated) over the whole
    // window. Whether its picture has see-through pixels is for the caller to know.
    bool CoversWindow(const SpriteHandle& sprite) const;

    // Draws every visible sprite, lowest layer first (creation order within a layer), then text.
    void Render();

    // The (sprite index, layer) pairs Render will draw, in drawing order.
    const std::vector<std::pair<uint32_t, uint32_t>>& BuildDrawList();

    const ztmath::Matrix4x4& GetProjection() const { return m_projection; }
    const std::vector<Sprite>& GetSprites() const { return m_spriteCont; }
    TextManager& GetTextManager() { return m_textManager; }
    TextureLoader& GetTextureLoader() { return m_textureLoader; }

private:
    ztmath::Matrix4x4 m_projection;
    float m_windowWidth = 0.0f;
    float m_windowHeight = 0.0f;
    TextureLoader m_textureLoader;

public:
    // Open to appends by parts that own a GL texture and want sprites of it; never shrinks.
    std::vector<Texture2D> m_textures;

private:
    std::vector<Sprite> m_spriteCont;
    std::vector<std::pair<uint32_t, uint32_t>> m_drawList;
    SpriteShader m_spriteShader;
    TextManager m_textManager;
};

}  // namespace ztengine
