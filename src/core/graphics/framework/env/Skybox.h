#pragma once
// A sky box: two cube maps cross-faded by a blend factor and turned by its own frame, and the
// handle an environment hands out for it.
#include <cstdint>
#include <vector>

#include "core/graphics/framework/RenderRecords.h"
#include "core/math/Basis.h"
#include "core/util/assert/AppAssert.h"

namespace ztengine {

struct Skybox {
    uint32_t m_cubeMap0 = kNoTexture;
    uint32_t m_cubeMap1 = kNoTexture;
    // 0 shows the first cube map, 1 the second.
    float m_blendFactor = 0.5f;
    ztmath::Basis m_basis;
};

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
