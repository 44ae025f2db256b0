#pragma once
// UpgradeSystem: forwards every granted or bought upgrade from "UpgradeMessageQueue" (one per
// frame) to the weapon or the stat boosts, counts them for the run, and shows the counts on the
// personal-upgrade panel (Left Ctrl + U).
#include <array>
#include <cstdint>
#include <string>

#include "core/Subsystem.h"
#include "core/math/Vector2.h"

namespace ztengine {

class MessagingSystem;
class TextManager;
struct UpgradeMessageQueue;
struct WeaponMessageQueue;
struct StatBoostMessageQueue;

class UpgradeSystem : public Subsystem {
public:
    static constexpr int kUpgradeCount = 6;
    static constexpr int kPanelToggleHeld = 341;     // left control
    static constexpr int kPanelToggleReleased = 85;  // U

    explicit UpgradeSystem(App* app);

    void Init() override;
    void Update(float dt) override;
    void NextState(int newState) override;

    void BuildPanel();
    void ShowPanel(bool show);
    void SetIconsVisible(bool visible);
    // Counts one upgrade of the category (0 weapon, 1 stat) and index.
    void RecordUpgrade(int32_t category, int32_t index);
    void ResetPanel();

    // "Increases maximum health.(2x)"
    static std::string CountText(int upgrade, int32_t count);

    std::array<ztmath::Vector2, kUpgradeCount> m_slots;
    int32_t m_backButton = -1;
    int32_t m_background = -1;
    std::array<int32_t, kUpgradeCount> m_icons{-1, -1, -1, -1, -1, -1};
    // In registry order: "AddProj", "IncHP", "IncFireRate", "IncHPRegen", "IncStam",
    // "IncStamRegen".
    std::array<int32_t, kUpgradeCount> m_counts{};
    std::array<uint32_t, kUpgradeCount> m_countTexts{};
    uint32_t m_font = 0;
    WeaponMessageQueue* m_weaponQueue = nullptr;
    UpgradeMessageQueue* m_upgradeQueue = nullptr;
    StatBoostMessageQueue* m_statBoostQueue = nullptr;
    TextManager* m_textManager = nullptr;
    MessagingSystem* m_messaging = nullptr;
    bool m_panelShown = false;

private:
    void SetCount(int upgrade, int32_t count);
};

}  // namespace ztengine
