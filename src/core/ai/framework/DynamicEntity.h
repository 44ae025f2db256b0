#pragma once
// One entity of the entity world: its components in creation order and its life flags.
#include <cstdint>
#include <string>
#include <vector>

#include "core/ai/framework/IComponent.h"

namespace ztengine {

struct ComponentEntry {
    IComponent* m_component = nullptr;       // owned through its creator
    IComponentFactory* m_creator = nullptr;  // owned by the world
    std::string m_name;                      // the creator's registered name
};

class DynamicEntity final : public ComponentProxy {
public:
    explicit DynamicEntity(uint32_t archetype) : m_archetype(archetype) {}

    IComponent* GetComponent(uint32_t index) override
    {
        return IsValidComponentIndex(index) ? m_components[index].m_component : nullptr;
    }
    const IComponent* GetComponent(uint32_t index) const override
    {
        return IsValidComponentIndex(index) ? m_components[index].m_component : nullptr;
    }
    IComponent* GetComponent(const char* name) override
    {
        for (ComponentEntry& entry : m_components)
            if (entry.m_name == name)
                return entry.m_component;
        return nullptr;
    }
    const IComponent* GetComponent(const char* name) const override
    {
        for (const ComponentEntry& entry : m_components)
            if (entry.m_name == name)
                return entry.m_component;
        return nullptr;
    }
    bool IsValidComponentIndex(uint32_t index) const override
    {
        return index < m_components.size();
    }
    bool HasComponent(const char* name) const override { return GetComponent(name) != nullptr; }
    bool& GetAliveFlag() override { return m_alive; }

    uint32_t GetComponentCount() const { return static_cast<uint32_t>(m_components.size()); }

    std::vector<ComponentEntry> m_components;
    bool m_alive = true;
    uint32_t m_archetype;
    // Cleared once its components are destroyed.
    bool m_active = true;
};

}  // namespace ztengine
