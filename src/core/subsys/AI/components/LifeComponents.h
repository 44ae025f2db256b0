#pragma once
// The components that carry an enemy's life: its hit points, the player's projectiles turning
// into damage, and the death that ends in the entity's removal.
#include <functional>
#include <string>

#include "core/ai/framework/IComponent.h"
#include "core/math/Vector3.h"

namespace ztengine {

class App;
class MessagingSystem;
class PhysicsEngine;
class PhysicsBody;
struct ContactInfo;
class Object3DComponent;
class PhysicsBodyComponent;
class EnemyHitFlashComponent;

// The payload of an enemy's got-hit event. The position comes first, as in every enemy event.
struct GotHitEventData {
    ztmath::Vector3 m_contactPoint{0.0f, 0.0f, 0.0f};
    ztmath::Vector3 m_contactNormal{0.0f, 1.0f, 0.0f};
    // Current over maximum hit points before this hit's damage.
    float m_healthFraction = 0.0f;
};

// What a blocked hit tells the behaviour that installed the block.
struct GOT_HIT_INFO {
    const ztmath::Vector3& m_facing;     // the enemy's forward, unit length
    const ztmath::Vector3& m_direction;  // contact point to body, unit length
    const float& m_projectileSpeed;
    const ztmath::Vector3& m_contactNormal;
};

// "health"
class HealthComponent : public IComponent {
public:
    void Init(ComponentProxy&) override {}
    void Update(float) override {}

    float m_maxHp = 1.0f;
    float m_currentHp = 1.0f;
};

class HealthComponentCreator : public IComponentFactory {
public:
    IComponent* Create(const Params& params) override;
    void Destroy(IComponent* component) override;
};

// "got_hit_by_player": takes over the body's contact callback and turns every contact point
// of a player's projectile into one hit.
class GotHitByPlayerComponent : public IComponent {
public:
    // The facing test is off at this value.
    static constexpr float kNoBlock = -1.0f;

    void Init(ComponentProxy& owner) override;
    void Update(float) override {}

    void OnContact(const PhysicsBody& other, const ContactInfo& contact);
    void ApplyHit(const ContactInfo& contact);

    MessagingSystem* m_messaging = nullptr;
    PhysicsEngine* m_physics = nullptr;
    Object3DComponent* m_object = nullptr;
    HealthComponent* m_health = nullptr;
    PhysicsBodyComponent* m_physicsBody = nullptr;
    EnemyHitFlashComponent* m_hitFlash = nullptr;
    std::string m_gotHitEvent;
    GotHitEventData m_hitData;
    float m_damage = 10.0f;
    bool m_enabled = true;
    // Hits whose direction (contact to body) meets the facing at a dot product at or below this
    // are blocked.
    float m_blockThreshold = kNoBlock;
    std::function<void(const GOT_HIT_INFO&)> OnBlockedHit;
    std::function<void()> m_onHit;
};

class GotHitByPlayerComponentCreator : public IComponentFactory {
public:
    explicit GotHitByPlayerComponentCreator(App* app);
    IComponent* Create(const Params& params) override;
    void Destroy(IComponent* component) override;

private:
    App* m_app;
};

// "death": once the hit points are gone, runs the behaviour's death, waits for its dying steps
// and the despawn timer, then kills the entity.
class DeathComponent : public IComponent {
public:
    void Init(ComponentProxy& owner) override;
    void Update(float dt) override;

    bool* m_alive = nullptr;
    HealthComponent* m_health = nullptr;
    bool m_enabled = true;
    std::function<void()> OnDeath;
    // Returns false to hold the entity for this frame.
    std::function<bool()> UpdateDying;
    float m_despawnTimer = 0.0f;
    bool m_deathTriggered = false;
};

class DeathComponentCreator : public IComponentFactory {
public:
    explicit DeathComponentCreator(App* app) : m_app(app) {}
    IComponent* Create(const Params& params) override;
    void Destroy(IComponent* component) override;

private:
    App* m_app;
};

}  // namespace ztengine
