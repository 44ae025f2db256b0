#pragma once
// The renderer's plain records of materials, meshes and models, and the argument records of the
// blend-map and particle operations.
#include <cstdint>

#include "core/math/Vector2.h"
#include "core/math/Vector3.h"

namespace ztengine {

// GL_INVALID_ENUM: what the renderer reports for a texture that does not exist.
constexpr uint32_t kNoTexture = 1281;

// Texels of the default material's 1 x 1 textures. The normal texel is encoded as normal-map
// images are ((n + 1) / 2, flat = (0.5, 0.5, 1)), so the geometry program decodes every normal
// texture the same way.
constexpr float kDefaultNormalTexel[4] = {0.5f, 0.5f, 1.0f, 0.0f};
constexpr float kDefaultSpecularTexel[4] = {0.01f, 0.0f, 0.0f, 0.0f};

struct RenderMaterial {
    uint32_t m_word = 0;
    uint32_t m_diffuseTexture = kNoTexture;
    uint32_t m_specularTexture = kNoTexture;
    uint32_t m_normalTexture = kNoTexture;
    uint32_t m_displacementTexture = kNoTexture;
    int32_t m_index = 0;

    bool operator==(const RenderMaterial&) const = default;
};

// One uploaded mesh as the passes draw it.
struct RawModel {
    uint32_t m_vao = 0;
    uint32_t m_indexCount = 0;
};

// A model: the pair the instances of the game draw with.
struct TexturedBatch {
    int32_t m_material = 0;
    int32_t m_mesh = 0;
};

struct BlendMapDescription {
    const char* m_backgroundPath = nullptr;
    const char* m_color0Path = nullptr;
    const char* m_color1Path = nullptr;
    const char* m_color2Path = nullptr;
    const char* m_blendMapPath = nullptr;
    int32_t m_width = 0;
    int32_t m_height = 0;
};

// One particle as game code hands a whole system over (44 bytes).
struct ParticleDescription {
    ztmath::Vector3 m_position;
    float m_unused[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    float m_maxLife = 0.0f;
    float m_rotation = 0.0f;
    float m_scale = 0.0f;
    float m_life = 0.0f;
};
static_assert(sizeof(ParticleDescription) == 44);

}  // namespace ztengine
