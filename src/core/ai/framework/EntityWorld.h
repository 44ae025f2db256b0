#pragma once
// The entity-component world that the enemies are built in.
namespace ztengine {

class App;

class EntityWorld {
public:
    explicit EntityWorld(App* app);
    ~EntityWorld();

    EntityWorld(const EntityWorld&) = delete;
    EntityWorld& operator=(const EntityWorld&) = delete;

    // Updates the live entities and removes the dead ones.
    void Update(float dt);

    App* GetApp() const { return m_app; }

private:
    App* m_app;
};

}  // namespace ztengine
