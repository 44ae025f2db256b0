#pragma once
// One lighting set-up of a scene: the sun's direction and the sky boxes, one of them current.
#include <cstdint>
#include <functional>
#include <vector>

#include "core/graphics/framework/env/Skybox.h"
#include "core/math/Vector3.h"
#include "core/util/assert/AppAssert.h"

namespace ztengine {

// Fills a new sky box's cube maps. The renderer that owns the environment supplies it; without
// one (a renderer that draws nothing) a sky box keeps its absent cube maps.
using SkyboxLoader = std::function<void(Skybox& skybox)>;

class Environment {
public:
    // Appends a sky box with the defaults and loads its cube maps; it does not become current.
    SkyboxHandle CreateSkybox();
    // Asserts that the handle names a sky box of this environment.
    void SetCurrentSkybox(const SkyboxHandle& sky);
    // The current index, taken as unsigned, names a sky box.
    bool HasValidSkybox() const { return static_cast<uint32_t>(m_currentSkybox) < m_skyboxes.size(); }
    Skybox& GetCurrentSkybox();

    // Direction of the directional light and of the shadow projection.
    ztmath::Vector3 m_lightDirection{0.0f, -1.0f, 0.0f};
    // Kept for the scene files; no pass reads it.
    ztmath::Vector3 m_lightColor{1.0f, 1.0f, 1.0f};
    std::vector<Skybox> m_skyboxes;
    int32_t m_currentSkybox = -1;
    // Flag bytes kept for the scene code; no rendering step reads them.
    uint8_t m_flags[2] = {6, 15};

    SkyboxLoader m_skyboxLoader;
};

struct EnvironmentHandle {
    std::vector<Environment>* pool = nullptr;
    uint32_t handle = 0xFFFFFFFFu;

    Environment& Get() const
    {
        assert(pool != nullptr && handle < pool->size());
        return (*pool)[handle];
    }
    Environment* operator->() const { return &Get(); }
};

}  // namespace ztengine
