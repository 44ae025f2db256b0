#pragma once
// The skeleton magician runs in, casts a series of bolts from its stance, then withdraws
// sideways before it comes back.
#include "core/subsys/AI/behaviours/EnemyBehaviour.h"

namespace ztengine {

class BehaviourSkeletonMagicianComponent : public EnemyBehaviour {
public:
    static BehaviourTuning Defaults();
    BehaviourSkeletonMagicianComponent(App* app, const BehaviourTuning& tuning);
    void ReadOwnKeys(const Params& params);

    void Init(ComponentProxy& owner) override;
    void OnDeath();
    bool UpdateDying();

    uint32_t m_withdrawalCount = 2;
    float m_attackAnimSpeed = 1.0f;
    float m_maxWithdrawTimer = 2.0f;
    float m_castTimer = 0.0f;
    uint32_t m_castCount = 0;
    float m_withdrawTimer = 2.0f;
    bool m_cast = false;
    bool m_side = false;

protected:
    void UpdateState(float dt) override;
    void UpdateMovement(float dt) override;
};

using BehaviourSkeletonMagicianComponentCreator =
    BehaviourCreator<BehaviourSkeletonMagicianComponent>;

}  // namespace ztengine
