#pragma once
// ShrineSystem: the shop shrines. Near one, looking at it, the player is told how to open the
// shop, and E (or pad button 2) opens it.
#include <cstdint>

#include "core/Subsystem.h"
#include "core/subsys/sharedData/WalkedPath.h"

namespace ztengine {

class TextManager;
struct ShrineContainer;

class ShrineSystem : public Subsystem {
public:
    static constexpr int kOpenKey = 69;  // E
    static constexpr int kOpenPadButton = 2;
    static constexpr const char* kShopState = "SHRINE_UI_STATE";

    explicit ShrineSystem(App* app);

    void Init() override;
    void Update(float dt) override;
    void NextState(int newState) override;
    void SetToCurrentState() override;

    // Whether any shop shrine is in reach of the way walked up to the last update.
    bool AnyShrineInReach();

    ShrineContainer* m_shrines = nullptr;
    TextManager* m_textManager = nullptr;
    uint32_t m_font = 0;
    uint32_t m_prompt = 0xFFFFFFFFu;
    WalkedPath m_walk;

private:
    void ShowPrompt(bool visible);

    const char* m_promptShown = nullptr;
    int m_promptVisible = -1;
};

}  // namespace ztengine
