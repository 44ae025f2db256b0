#pragma once
// Counts the run's play time: only frames of play itself, so menus, shops, fades and
// cinematics are not part of it.
#include "core/Subsystem.h"

namespace ztgame {
struct GameStats;
}

namespace ztengine {

class GameTimeSystem : public Subsystem {
public:
    explicit GameTimeSystem(App* app);
    void Update(float dt) override;

private:
    ztgame::GameStats* m_stats;
};

}  // namespace ztengine
