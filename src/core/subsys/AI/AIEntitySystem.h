#pragma once
// The enemy roster: registers the component creators, builds the enemy archetypes and their
// spawn functions, and runs the entity world every frame.
#include <string>

#include "core/Subsystem.h"

namespace ztengine {

class AISpawner;
class ComponentProxy;
class EntityWorld;
class ModelManager;
struct SpawnConfig;

// Places a freshly created enemy where the request says: its body when it has one, else its
// drawn instance.
void ApplySpawnTransform(const SpawnConfig& config, ComponentProxy& entity);

class AIEntitySystem : public Subsystem {
public:
    explicit AIEntitySystem(App* app);
    ~AIEntitySystem() override;

    void Init() override;
    // Empties this frame's enemy positions, then updates every live enemy, which reports its
    // position again.
    void Update(float dt) override;

    // Scales the kind's attack damage by the request's damage scale. Kinds without a setup do
    // nothing.
    static void RunComponentSetup(const std::string& kind, const SpawnConfig& config,
                                  ComponentProxy& entity);

private:
    void RegisterCreators();
    // Creates the eight archetypes, loads each model's animation files and fills the archetypes
    // with their components' keys.
    void BuildKinds(ModelManager& models);
    void RegisterSpawnFunctions();
    void RegisterHandlers();

    EntityWorld* m_world;
    AISpawner* m_spawner;
};

}  // namespace ztengine
