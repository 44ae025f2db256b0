#pragma once
// The components that give an enemy its presence: the drawn instance, the dynamic body, the
// skeletal animation and the hit flash.
#include <cstdint>

#include "core/ai/framework/IComponent.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/math/Vector3.h"
#include "core/physics-engine/PhysicsBody.h"

namespace ztengine {

class AISpawner;
class ModelManager;
class PhysicsEngine;
class PhysicsBodyComponent;
class HealthComponent;

// "object3D": the drawn model instance, kept on the body (plus an offset) every frame.
class Object3DComponent : public IComponent {
public:
    void Init(ComponentProxy& owner) override;
    // Follows the body and reports this frame's position to the spawner.
    void Update(float dt) override;

    AISpawner* m_spawner = nullptr;
    InstanceHandle m_instance;
    ztmath::Vector3 m_graphicalOffset;
    PhysicsBodyComponent* m_physicsBody = nullptr;
    HealthComponent* m_health = nullptr;
};

class Object3DComponentCreator : public IComponentFactory {
public:
    Object3DComponentCreator(AISpawner* spawner, Graphics3D* graphics, ModelManager* models);
    IComponent* Create(const Params& params) override;
    void Destroy(IComponent* component) override;

private:
    AISpawner* m_spawner;
    Graphics3D* m_graphics;
    ModelManager* m_models;
    int32_t m_defaultModel;
};

// "physicsBody": the enemy's dynamic body. It never sleeps and never turns: the enemy faces
// where its instance faces.
class PhysicsBodyComponent : public IComponent {
public:
    void Init(ComponentProxy&) override {}
    void Update(float) override {}

    PhysicsBody m_body;
};

class PhysicsBodyComponentCreator : public IComponentFactory {
public:
    explicit PhysicsBodyComponentCreator(PhysicsEngine* physics);
    IComponent* Create(const Params& params) override;
    void Destroy(IComponent* component) override;

private:
    PhysicsEngine* m_physics;
    uint32_t m_defaultCollider;
};

// "animation": plays the instance's current clip in a loop. Times are fractions of the clip.
class AnimationComponent : public IComponent {
public:
    void Init(ComponentProxy& owner) override;
    void Update(float dt) override;
    void Play(int32_t animationIndex, float startTime, float speed);

    Object3DComponent* m_object = nullptr;
    bool m_active = true;
    bool m_forward = true;
    bool m_paused = false;
    // Set each time the time wraps; cleared by Play.
    bool m_ended = true;
    float m_time = 0.0f;
    float m_minTime = 0.0f;
    float m_maxTime = 1.0f;
    float m_speed = 1.0f;
};

class AnimationComponentCreator : public IComponentFactory {
public:
    IComponent* Create(const Params& params) override;
    void Destroy(IComponent* component) override;
};

// "enemyhitflash": tints the instance after a hit and fades the tint out.
class EnemyHitFlashComponent : public IComponent {
public:
    void Init(ComponentProxy& owner) override;
    void Update(float dt) override;

    Object3DComponent* m_object = nullptr;
    // Set by a hit to start (or restart) the flash.
    bool m_flash = false;
    float m_timeLeft = -1.0f;
    ztmath::Vector3 m_tint;
    float m_fadeTime = 0.25f;
    bool m_enabled = true;
};

class EnemyHitFlashComponentCreator : public IComponentFactory {
public:
    IComponent* Create(const Params& params) override;
    void Destroy(IComponent* component) override;
};

}  // namespace ztengine
