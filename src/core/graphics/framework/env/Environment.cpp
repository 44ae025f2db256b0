#include "core/graphics/framework/env/Environment.h"

namespace ztengine {

SkyboxHandle Environment::CreateSkybox()
{
    m_skyboxes.emplace_back();
    SkyboxHandle sky;
    sky.handle = static_cast<uint32_t>(m_skyboxes.size() - 1);
    sky.skyboxPool = &m_skyboxes;
    assert(sky.Handle() < m_skyboxes.size());
    if (m_skyboxLoader)
        m_skyboxLoader(m_skyboxes.back());
    return sky;
}

void Environment::SetCurrentSkybox(const SkyboxHandle& sky)
{
    assert(sky.Handle() < m_skyboxes.size());
    m_currentSkybox = static_cast<int32_t>(sky.Handle());
}

Skybox& Environment::GetCurrentSkybox()
{
    assert(HasValidSkybox());
    return m_skyboxes[static_cast<size_t>(m_currentSkybox)];
}

}  // namespace ztengine
