#pragma once
// ShrineUISystemTwo: registers the six upgrades a run can gain and shows the notification of a
// granted one (its icon and text, fading out over two seconds).
#include <array>
#include <cstdint>

#include "core/Subsystem.h"

namespace ztengine {

class TextManager;
class UIElement;
class UpgradeManager;
struct Upgrade;

class ShrineUISystemTwo : public Subsystem {
public:
    static constexpr int kUpgradeCount = 6;

    explicit ShrineUISystemTwo(App* app);

    void Init() override { RegisterUpgrades(); }
    void Update(float dt) override;
    void Exit() override;
    void NextState(int newState) override { HideAll(); }
    void SetToCurrentState() override { HideAll(); }

    void RegisterUpgrades();
    void CreateUpgradeIcons();
    void CreateUpgradeTexts();
    void OnUpgradeInvoked(const Upgrade& upgrade);
    void FadeIcon(UIElement* element);
    void UpdateTexts();
    void HideAll();

    // The creators: each asks for one upgrade's effect.
    void QueueAddProj();
    void QueueIncHP();
    void QueueIncFireRate();
    void QueueIncHPRegen();
    void QueueIncStam();
    void QueueIncStamRegen();

    TextManager* m_textManager = nullptr;
    uint32_t m_font = 0;
    std::array<int32_t, kUpgradeCount> m_upgrades{-1, -1, -1, -1, -1, -1};
    UpgradeManager* m_upgradeManager = nullptr;
    float m_dt = 0.0f;
    float m_displayTimer = 0.0f;

private:
    void Queue(int32_t category, int32_t index);
};

}  // namespace ztengine
