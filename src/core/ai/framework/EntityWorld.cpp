#include "core/ai/framework/EntityWorld.h"

namespace ztengine {

EntityWorld::EntityWorld(App* app) : m_app(app) {}

EntityWorld::~EntityWorld() = default;

void EntityWorld::Update(float dt)
{
    // No component factory or archetype exists yet, so no entity can live.
}

}  // namespace ztengine
