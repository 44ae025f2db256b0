#pragma once
// The interfaces an entity is made of: components, the creators that make them from a Params
// set, and the view of one entity that components use to find their siblings.
#include <cstdint>

namespace ztengine {

class Params;
class ComponentProxy;

class IComponent {
public:
    // Runs once, after every component of the entity exists, so siblings that come later in
    // the archetype can be looked up here too.
    virtual void Init(ComponentProxy& owner) = 0;
    // Once per frame while the entity is alive.
    virtual void Update(float dt) = 0;
    // The entity is being removed; its creator destroys the component right after.
    virtual void Exit() {}
    virtual ~IComponent() = default;
};

class IComponentFactory {
public:
    // Reads the creator's keys leniently: a missing key, or one of another type, keeps the
    // creator's default without a word.
    virtual IComponent* Create(const Params& params) = 0;
    // Gives back what the component holds in other services, then frees it.
    virtual void Destroy(IComponent* component) = 0;
    virtual ~IComponentFactory() = default;
};

class ComponentProxy {
public:
    // Null when the index is not below the component count.
    virtual IComponent* GetComponent(uint32_t index) = 0;
    virtual const IComponent* GetComponent(uint32_t index) const = 0;
    // The first component made by the creator of that name (exact, case-sensitive), or null.
    virtual IComponent* GetComponent(const char* name) = 0;
    virtual const IComponent* GetComponent(const char* name) const = 0;
    virtual bool IsValidComponentIndex(uint32_t index) const = 0;
    virtual bool HasComponent(const char* name) const = 0;
    // A component kills its entity by clearing this.
    virtual bool& GetAliveFlag() = 0;

    // The sibling of that name as its concrete type; null when absent or of another type.
    template <class T>
    T* Find(const char* name)
    {
        return dynamic_cast<T*>(GetComponent(name));
    }

protected:
    ~ComponentProxy() = default;
};

}  // namespace ztengine
