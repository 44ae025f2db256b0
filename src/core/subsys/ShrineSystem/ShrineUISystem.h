#pragma once
// ShrineUISystem: the shop screen ("SHRINE_UI_STATE"). Six upgrade buttons whose prices grow
// with every purchase, the player's gold, the hovered upgrade's description and a back button;
// mouse, keyboard and gamepad.
#include <array>
#include <cstdint>
#include <string>

#include "core/Subsystem.h"
#include "core/math/Vector2.h"

namespace ztgame {
struct GameStats;
}

namespace ztengine {

class TextManager;
class UIElement;
struct Gold;
struct WindowInfo;

class ShrineUISystem : public Subsystem {
public:
    static constexpr bool kInitialisedAtStart = true;
    static constexpr int kUpgradeCount = 6;
    static constexpr int kPositionCount = 7;  // the six buttons and the back button
    static constexpr int kBackPosition = 6;

    explicit ShrineUISystem(App* app);

    void Init() override;
    void Update(float dt) override;
    void NextState(int newState) override;
    void SetToCurrentState() override;

    void SetShopVisible(bool show);
    void NavigateWithPad();
    void ResetPrices();

    void OnBackNotHovered(UIElement* element);
    void OnBackHover(UIElement* element);
    void OnBackRelease(UIElement* element);
    void OnButtonHover(int button, UIElement* element);
    void OnButtonNotHovered(int button, UIElement* element);
    void OnButtonUpdate(int button, UIElement* element);
    void OnButtonHold(UIElement* element);
    void OnBuy(int button);

    // "Adds 2 more projectiles.(4 gold)"
    std::string DescriptionText(int button) const;

    // The first pad button of 11 (right), 13 (left), 12 (down), 10 (up) released this frame
    // moves the selection over the 3-wide grid with the back button last; -1 when none was.
    static int32_t MoveSelection(int32_t selection, int releasedButton);
    // Where the system cursor goes for a layer position (origin at the centre, y up).
    static ztmath::Vector2 CursorFor(const ztmath::Vector2& position, const WindowInfo& window);

    std::array<ztmath::Vector2, kPositionCount> m_positions;
    Gold* m_gold = nullptr;
    ztgame::GameStats* m_stats = nullptr;
    TextManager* m_textManager = nullptr;
    uint32_t m_font = 0;
    std::array<uint32_t, kUpgradeCount> m_descriptions{};
    uint32_t m_goldText = 0xFFFFFFFFu;
    int32_t m_background = -1;
    int32_t m_backButton = -1;
    std::array<int32_t, kUpgradeCount> m_buttons{-1, -1, -1, -1, -1, -1};
    // In registry order: "AddProj", "IncHP", "IncFireRate", "IncHPRegen", "IncStam",
    // "IncStamRegen".
    std::array<int32_t, kUpgradeCount> m_prices{1, 1, 1, 1, 1, 1};
    int32_t m_padSelection = 0;
};

}  // namespace ztengine
