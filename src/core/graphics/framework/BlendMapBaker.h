#pragma once
// Paints a terrain's diffuse texture once: a blend map says, texel by texel, how much of three
// tile images shows over a background image. The result is an ordinary texture that a material
// uses as its diffuse image.
#include <cstdint>
#include <vector>

#include "core/graphics/framework/RenderRecords.h"
#include "core/graphics/framework/textureloader/TextureLoader.h"
#include "core/graphics/main/Shader.h"
#include "core/math/Vector2.h"

namespace ztengine {

class BlendMapBaker {
public:
    // The program ("shaders/blendmap.vert", "shaders/blendmap.frag"); needs a GL context.
    bool Init();
    // Deletes the program and every baked texture.
    void Release();

    // Bakes at the description's size, which becomes the baker's size. The five images are
    // loaded for the bake only; one that cannot be decoded stops the program (texture loader).
    // Returns {texture, width, height, 0}.
    TextureInfo Bake(const BlendMapDescription& description, const ztmath::Vector2& tiling);

    const std::vector<uint32_t>& GetBakedTextures() const { return m_bakedTextures; }
    const ztgraphics::Shader& GetProgram() const { return m_program; }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }

private:
    ztmath::Vector2 m_tiling{1.0f, 1.0f};
    std::vector<uint32_t> m_bakedTextures;
    ztgraphics::Shader m_program;
    int m_width = 1024;
    int m_height = 1024;
};

}  // namespace ztengine
