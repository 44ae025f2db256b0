#pragma once
// The ogre walks at the player and charges once it faces them; its mini-boss ends every charge
// with a ring of projectiles.
#include "core/subsys/AI/behaviours/EnemyBehaviour.h"

namespace ztengine {

class BehaviourOgreComponent : public EnemyBehaviour {
public:
    static BehaviourTuning Defaults();
    BehaviourOgreComponent(App* app, const BehaviourTuning& tuning);
    void ReadOwnKeys(const Params& params);

    void Init(ComponentProxy& owner) override;
    void OnChargeStart();
    void OnChargeHit();
    void OnDeath();
    bool UpdateDying();

    float m_chargeDamage = 60.0f;
    float m_recoveryTimer = 0.0f;
    ztmath::Vector3 m_chargeStartPosition{0.0f, 0.0f, 0.0f};

protected:
    void UpdateState(float dt) override;
    void UpdateMovement(float dt) override;
    void PlayRecovery();
    virtual void OnChargeEnded() {}

    bool m_boss = false;
};

class BehaviourMiniBossOgreComponent : public BehaviourOgreComponent {
public:
    static BehaviourTuning Defaults();
    BehaviourMiniBossOgreComponent(App* app, const BehaviourTuning& tuning);
    void ReadOwnKeys(const Params& params);

    // Fires the ring around the mini-boss.
    void FireRing();

    uint32_t m_radialBulletNum = 12;
    ztmath::Vector3 m_ringCentre{0.0f, 0.0f, 0.0f};

protected:
    void OnChargeEnded() override { FireRing(); }
};

using BehaviourOgreComponentCreator = BehaviourCreator<BehaviourOgreComponent>;
using BehaviourMiniBossOgreComponentCreator = BehaviourCreator<BehaviourMiniBossOgreComponent>;

}  // namespace ztengine
