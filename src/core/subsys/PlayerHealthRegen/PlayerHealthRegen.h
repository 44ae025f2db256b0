#pragma once
// PlayerHealthRegen: the player's health comes back over time during play, at the rate the
// tuning values and the regeneration blessings give.
#include "core/Subsystem.h"

namespace ztengine {

class PlayerHealth;
class PlayerStatus;

class PlayerHealthRegen : public Subsystem {
public:
    explicit PlayerHealthRegen(App* app);

    void Init() override;
    void Update(float dt) override;
    // "EVENT_RESTART": a new run starts with full health.
    void Reset() override;

private:
    PlayerHealth* m_health;
    PlayerStatus* m_status;
};

}  // namespace ztengine
