#pragma once
// Shrine2System: the blessing shrines (the level's treasure chests). Once per chest the player
// pays gold for a random upgrade; every blessing makes the next one 5 gold dearer.
#include <cstdint>
#include <vector>

#include "core/Subsystem.h"
#include "core/subsys/sharedData/WalkedPath.h"

namespace ztgame {
struct GameStats;
}

namespace ztengine {

class TextManager;
class UpgradeManager;
struct Gold;
struct Shrine2Container;

class Shrine2System : public Subsystem {
public:
    static constexpr int32_t kStartCost = 5;
    static constexpr int32_t kCostStep = 5;
    static constexpr float kFadePerSecond = 3.0f;
    static constexpr int kTakeKey = 69;  // E
    static constexpr int kTakePadButton = 2;

    explicit Shrine2System(App* app);

    void Init() override;
    void Update(float dt) override;
    void NextState(int newState) override;
    void SetToCurrentState() override;

    void FadePrompt(float dt);

    Shrine2Container* m_shrines = nullptr;
    UpgradeManager* m_upgradeManager = nullptr;
    Gold* m_gold = nullptr;
    ztgame::GameStats* m_stats = nullptr;
    TextManager* m_textManager = nullptr;
    uint32_t m_font = 0;
    int32_t m_cost = kStartCost;
    float m_promptAlpha = 0.0f;
    uint32_t m_promptText = 0xFFFFFFFFu;
    uint32_t m_goldText = 0xFFFFFFFFu;
    std::vector<uint32_t> m_upgradeList;
    // A shrine is in reach anywhere along the way walked since the last update.
    WalkedPath m_walk;

private:
    void PlaceGoldText();
    void ColourTexts();
};

}  // namespace ztengine
