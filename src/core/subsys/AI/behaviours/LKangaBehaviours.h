#pragma once
// The lkanga walks up to the player and throws fireballs; its mini-boss throws three at once
// and jumps aside when hurt.
#include "core/subsys/AI/behaviours/EnemyBehaviour.h"

namespace ztengine {

class BehaviourLKangaComponent : public EnemyBehaviour {
public:
    static BehaviourTuning Defaults();
    BehaviourLKangaComponent(App* app, const BehaviourTuning& tuning);

    void Init(ComponentProxy& owner) override;
    void OnDeath();
    bool UpdateDying();

    float m_windUpTimer = 0.0f;
    bool m_thrown = false;

protected:
    void UpdateState(float dt) override;
    void UpdateMovement(float dt) override;
    void Throw(const ztmath::Vector3& from);

    const char* m_deathEvent = "LKANGA_DIED";
    bool m_tripleShot = false;
};

class BehaviourMiniBossLKangaComponent : public BehaviourLKangaComponent {
public:
    static BehaviourTuning Defaults();
    BehaviourMiniBossLKangaComponent(App* app, const BehaviourTuning& tuning);
    void ReadOwnKeys(const Params& params);

    void Init(ComponentProxy& owner) override;
    // After every hit that hurt: a sideways jump to a random side.
    void SlideDodge();

    float m_slideScale = 30.0f;
    ztmath::Vector3 m_dodgePosition{0.0f, 0.0f, 0.0f};
};

using BehaviourLKangaComponentCreator = BehaviourCreator<BehaviourLKangaComponent>;
using BehaviourMiniBossLKangaComponentCreator = BehaviourCreator<BehaviourMiniBossLKangaComponent>;

}  // namespace ztengine
