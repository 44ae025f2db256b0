#pragma once
// The entity-component world that the enemies are built in. Creators are registered by name,
// archetypes are ordered lists of (creator, Params); entities are made from archetypes,
// updated once per frame and removed in the same walk once they are dead.
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/ai/framework/DynamicEntity.h"
#include "core/ai/framework/IComponent.h"
#include "core/serialization/Params.h"
#include "core/util/assert/EngineAssert.h"
#include "core/util/cont/StableArrayList.h"

namespace ztengine {

class App;

struct ComponentFactoryEntry {
    std::string m_name;
    IComponentFactory* m_creator = nullptr;  // owned by the world
};

struct ArchetypeEntry {
    Params m_params;  // a copy made at registration
    uint32_t m_creator = kInvalidIndex;
};

using Archetype = std::vector<ArchetypeEntry>;

class EntityWorld {
public:
    explicit EntityWorld(App* app);
    // Removes every entity (no death logic), then the creators.
    ~EntityWorld();

    EntityWorld(const EntityWorld&) = delete;
    EntityWorld& operator=(const EntityWorld&) = delete;

    // A name can be registered once. Returns the creator handle.
    template <class T, class... Args>
    uint32_t CreateComponentFactory(const std::string& name, Args&&... args);
    uint32_t GetComponentFactory(const char* name) const;

    // A name can be registered once. Returns the archetype handle of a new, empty archetype.
    uint32_t CreateArchetype(const char* name);
    bool IsValidArchetype(const char* name) const;
    uint32_t GetArchetype(const char* name) const;
    // Appends a copy of the parameters; both handles must name registered objects.
    void RegisterComponentCreatorToArchetype(uint32_t arcHandle, uint32_t creatorHandle,
                                             const Params& params);
    void RegisterComponentCreatorToArchetype(const char* archetype, const char* creator,
                                             const Params& params);

    // Creates every component of the archetype, then runs their inits in order.
    uint32_t CreateEntity(uint32_t archetype);
    DynamicEntity& GetEntity(uint32_t entity);
    bool IsValidEntity(uint32_t entity) const { return m_entities.IsValidIndex(entity); }
    uint32_t GetEntityCount() const { return m_entities.Count(); }

    // Updates the live entities in their linked order and removes the dead ones on the way.
    void Update(float dt);
    // Removes every entity at once, dead or alive, without death logic. Must not be called
    // from inside Update: the walk would continue on freed entities.
    void DestroyAllEntities();

    App* GetApp() const { return m_app; }

    const StableArrayList<ComponentFactoryEntry>& GetComponentFactories() const
    {
        return m_componentFactories;
    }
    const StableArrayList<DynamicEntity*>& GetEntities() const { return m_entities; }

private:
    // Exit, then the creator's Destroy, for each component in order.
    static void DestroyComponents(DynamicEntity& entity);

    App* m_app;
    StableArrayList<ComponentFactoryEntry> m_componentFactories;
    std::map<std::string, uint32_t> m_componentMapping;
    // Entities live on the heap: components keep pointers to their entity's alive flag, which
    // must not move when the list grows.
    StableArrayList<DynamicEntity*> m_entities;
    StableArrayList<Archetype> m_archetypes;
    std::map<std::string, uint32_t> m_archetypeMapping;
    bool m_walkingEntities = false;
};

template <class T, class... Args>
uint32_t EntityWorld::CreateComponentFactory(const std::string& name, Args&&... args)
{
    EngineAssert(m_componentMapping.find(name) == m_componentMapping.end());
    IComponentFactory* creator = new T(std::forward<Args>(args)...);
    const uint32_t handle = m_componentFactories.Add(ComponentFactoryEntry{name, creator});
    m_componentMapping[name] = handle;
    return handle;
}

}  // namespace ztengine
