#pragma once
// Developer and tester shortcuts that change a run directly: gold and coins, the player's
// health, stamina and invulnerability, enemies and mini-bosses in front of the camera, removal
// of all enemies, the altar orbs and a warp to the stairs of the current floor. Always active in
// the states it runs in.
#include "core/Subsystem.h"
#include "core/math/Vector3.h"

namespace ztengine {

class AISpawner;
class LevelLayout;
class PlayerHealth;
class PlayerStatus;
struct Gold;
struct LevelState;

class CheatSubsystem : public Subsystem {
public:
    // Distances along the camera's forward vector.
    static constexpr float kCoinDistance = 11.5f;
    static constexpr float kSpawnDistance = 10.0f;

    explicit CheatSubsystem(App* app);

    void Update(float dt) override;

    Gold* m_gold;
    // The "DROP_COIN" and "PLAYER_SET_POSITION" payloads point at these members, so they stay
    // valid for any handler that keeps the pointer past the send.
    ztmath::Vector3 m_coinPosition{0.0f, 0.0f, 0.0f};
    PlayerHealth* m_playerHealth;
    PlayerStatus* m_playerStatus;
    AISpawner* m_spawner;
    LevelLayout* m_levelLayout;
    LevelState* m_levelState;
    ztmath::Vector3 m_warpPosition{0.0f, 0.0f, 0.0f};

private:
    void DropCoin();
    void QueueInFront(const char* name, float health);
    void Send(const char* eventName, int tag, const void* data);
};

}  // namespace ztengine
