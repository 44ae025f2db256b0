#include "core/ai/framework/EntityWorld.h"

namespace ztengine {

EntityWorld::EntityWorld(App* app)
    : m_app(app), m_componentFactories(64), m_entities(64), m_archetypes(64)
{
}

EntityWorld::~EntityWorld()
{
    DestroyAllEntities();
    for (uint32_t i = m_componentFactories.m_head; m_componentFactories.IsValidIndex(i);
         i = m_componentFactories.Next(i)) {
        delete m_componentFactories.At(i).m_creator;
        m_componentFactories.At(i).m_creator = nullptr;
    }
}

uint32_t EntityWorld::GetComponentFactory(const char* name) const
{
    auto it = m_componentMapping.find(name);
    return it == m_componentMapping.end() ? kInvalidIndex : it->second;
}

uint32_t EntityWorld::CreateArchetype(const char* name)
{
    EngineAssert(!IsValidArchetype(name));
    const uint32_t handle = m_archetypes.Add(Archetype{});
    m_archetypeMapping[name] = handle;
    return handle;
}

bool EntityWorld::IsValidArchetype(const char* name) const
{
    auto it = m_archetypeMapping.find(name);
    return it != m_archetypeMapping.end() && m_archetypes.IsValidIndex(it->second);
}

uint32_t EntityWorld::GetArchetype(const char* name) const
{
    auto it = m_archetypeMapping.find(name);
    return it == m_archetypeMapping.end() ? kInvalidIndex : it->second;
}

void EntityWorld::RegisterComponentCreatorToArchetype(uint32_t arcHandle, uint32_t creatorHandle,
                                                      const Params& params)
{
    EngineAssert(m_archetypes.IsValidIndex(arcHandle));
    EngineAssert(m_componentFactories.IsValidIndex(creatorHandle));
    m_archetypes.At(arcHandle).push_back(ArchetypeEntry{params, creatorHandle});
}

void EntityWorld::RegisterComponentCreatorToArchetype(const char* archetype, const char* creator,
                                                      const Params& params)
{
    RegisterComponentCreatorToArchetype(GetArchetype(archetype), GetComponentFactory(creator),
                                        params);
}

uint32_t EntityWorld::CreateEntity(uint32_t archetype)
{
    // Copied: a creator may not touch the archetypes, but the list's storage is not ours to pin.
    const Archetype entries = m_archetypes.At(archetype);
    auto* entity = new DynamicEntity(archetype);
    const uint32_t handle = m_entities.Add(entity);
    entity->m_components.reserve(entries.size());
    for (const ArchetypeEntry& entry : entries) {
        const ComponentFactoryEntry& factory = m_componentFactories.At(entry.m_creator);
        IComponent* component = factory.m_creator->Create(entry.m_params);
        entity->m_components.push_back(ComponentEntry{component, factory.m_creator, factory.m_name});
    }
    for (uint32_t i = 0; i < entity->m_components.size(); ++i)
        entity->m_components[i].m_component->Init(*entity);
    return handle;
}

DynamicEntity& EntityWorld::GetEntity(uint32_t entity)
{
    return *m_entities.At(entity);
}

void EntityWorld::DestroyComponents(DynamicEntity& entity)
{
    entity.m_active = false;
    for (ComponentEntry& entry : entity.m_components) {
        entry.m_component->Exit();
        entry.m_creator->Destroy(entry.m_component);
        entry.m_component = nullptr;
    }
    entity.m_components.clear();
}

void EntityWorld::Update(float dt)
{
    m_walkingEntities = true;
    uint32_t i = m_entities.m_head;
    while (m_entities.IsValidIndex(i)) {
        DynamicEntity* entity = m_entities.At(i);
        // Read once: components after the one that kills the entity still get this frame.
        if (entity->GetAliveFlag()) {
            for (uint32_t c = 0; c < entity->m_components.size(); ++c)
                entity->m_components[c].m_component->Update(dt);
        }
        if (entity->GetAliveFlag()) {
            i = m_entities.Next(i);
            continue;
        }
        DestroyComponents(*entity);
        i = m_entities.Remove(i);
        delete entity;
    }
    m_walkingEntities = false;
}

void EntityWorld::DestroyAllEntities()
{
    EngineAssert(!m_walkingEntities);
    for (uint32_t i = m_entities.m_head; m_entities.IsValidIndex(i); i = m_entities.Next(i)) {
        DynamicEntity* entity = m_entities.At(i);
        if (entity->m_active)
            DestroyComponents(*entity);
        delete entity;
        m_entities.At(i) = nullptr;
    }
    m_entities.Clear();
}

}  // namespace ztengine
