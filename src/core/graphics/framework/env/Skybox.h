#pragma once
// A sky box: two cube maps cross-faded by a blend factor and turned by its own frame, and the
// handle an environment hands out for it.
#include <cstdint>
#include <vector>

#include "core/graphics/framework/RenderRecords.h"
#include "core/math/Basis.h"
#include "core/util/assert/AppAssert.h"

namespace ztgraphics {
class Shader;
}

namespace ztengine {

struct Skybox {
    // Pictures of the two cube maps, whatever sky is asked for: the game has these two skies.
    static constexpr const char* kFirstImage = "skybox/sky1.jpg";
    static constexpr const char* kSecondImage = "skybox/sky2.jpg";

    // Loads both cube maps from their cross pictures (needs a GL context). A picture that cannot
    // be read stops the program: the game does not run without its sky.
    void Create();
    // The sky as a full-screen strip with the bound sky-box program, behind everything (depth
    // test off while it draws). The frame sets the view and gamma uniforms first.
    void Draw(const ztgraphics::Shader& program) const;
    // Deletes both cube maps.
    void Release();

    uint32_t m_cubeMap0 = kNoTexture;
    uint32_t m_cubeMap1 = kNoTexture;
    // 0 shows the first cube map, 1 the second.
    float m_blendFactor = 0.5f;
    ztmath::Basis m_basis;
};

// A cube map from a cross picture (see CubeCross.h): RGB8 for 3 bytes per pixel, else RGBA8;
// linear filtering, clamped on all three axes. 0 when the picture cannot be read or cut.
uint32_t LoadCubeMapFromCross(const char* path);

struct SkyboxHandle {
    uint32_t handle = 0xFFFFFFFFu;
    std::vector<Skybox>* skyboxPool = nullptr;

    uint32_t Handle() const { return handle; }
    Skybox& Get() const
    {
        assert(skyboxPool && handle < skyboxPool->size());
        return (*skyboxPool)[handle];
    }
    Skybox* operator->() const { return &Get(); }
};

}  // namespace ztengine
