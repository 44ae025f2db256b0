#pragma once
// The flying skull rams the player and recovers after each touch; its mini-boss blocks hits on
// its face and sends a projectile back.
#include "core/subsys/AI/behaviours/EnemyBehaviour.h"

namespace ztengine {

struct GOT_HIT_INFO;

class BehaviourFlyingSkullComponent : public EnemyBehaviour {
public:
    static BehaviourTuning Defaults();
    BehaviourFlyingSkullComponent(App* app, const BehaviourTuning& tuning);

    void Init(ComponentProxy& owner) override;
    void Update(float dt) override;
    void OnTouchPlayer();
    void OnDeath();
    bool UpdateDying();

    float m_recoveryTimer = 0.0f;
    bool m_side = false;
    float m_dyingTime = 4.0f;
    float m_fadeElapsed = 0.0f;
    float m_fadeDuration = 0.0f;
    float m_fadeValue = 0.0f;
    float m_fadeCap = 0.9f;

protected:
    void UpdateState(float dt) override;
    void UpdateMovement(float dt) override;
    void UpdateWhileDead(float dt) override;
    void DrawSide();

    bool m_boss = false;
};

class BehaviourMiniBossFlyingSkullComponent : public BehaviourFlyingSkullComponent {
public:
    static BehaviourTuning Defaults();
    BehaviourMiniBossFlyingSkullComponent(App* app, const BehaviourTuning& tuning);
    void ReadOwnKeys(const Params& params);

    void Init(ComponentProxy& owner) override;
    void OnBlockedHit(const GOT_HIT_INFO& info);

    float m_reflectScopeDot = 0.5f;
    // At most one projectile is sent back per interval, however many hits land in a frame.
    float m_reflectInterval = 0.0085f;
    float m_reflectTimer = 0.0f;
    ztmath::Vector3 m_blockPosition{0.0f, 0.0f, 0.0f};
};

using BehaviourFlyingSkullComponentCreator = BehaviourCreator<BehaviourFlyingSkullComponent>;
using BehaviourMiniBossFlyingSkullComponentCreator =
    BehaviourCreator<BehaviourMiniBossFlyingSkullComponent>;

}  // namespace ztengine
