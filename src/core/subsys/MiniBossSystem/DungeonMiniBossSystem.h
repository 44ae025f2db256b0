#pragma once
// One mini-boss for each dungeon boss fight, dealt from a shuffled deck of the three so that a
// run meets each of them once, and the orb's place when a mini-boss dies: the middle of the
// fight room, just above the player's eyes.
#include <string>
#include <vector>

#include "core/Subsystem.h"
#include "core/math/Vector3.h"

namespace ztengine {

class AISpawner;
class AltarSharedData;
class LevelLayout;
class MessagingSystem;

class DungeonMiniBossSystem : public Subsystem {
public:
    static constexpr float kMiniBossHealth = 2000.0f;

    explicit DungeonMiniBossSystem(App* app);
    ~DungeonMiniBossSystem() override;

    void Init() override;

    // A fresh, shuffled deck of the three mini-bosses.
    void RefillMiniBosses();
    // Queues the next mini-boss of the deck at the position; nothing once the deck is empty.
    void SpawnMiniBoss(const ztmath::Vector3& position);
    // Tells the altar where the current dungeon's orb goes.
    void PlaceOrb(const ztmath::Vector3& deathPosition);
    // The middle of the fight room's cells at camera height + 1, or the death position when the
    // room has no cells.
    ztmath::Vector3 OrbPosition(const ztmath::Vector3& deathPosition);

    // Names still to come; the next fight takes the last one.
    std::vector<std::string> m_miniBosses;
    MessagingSystem* m_messaging;
    AISpawner* m_spawner;
    AltarSharedData* m_altarQueue;
    LevelLayout* m_layout;
};

}  // namespace ztengine
