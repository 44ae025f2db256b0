#pragma once
// The end of a won run after the final boss has fallen: Ah Drev wonders aloud, the view tilts
// up while the screen fades to white, a thank-you picture fades in and out, and the credits
// scroll up (faster while jump is held); then the statistics screen takes over.
#include <cstdint>

#include "core/Subsystem.h"
#include "core/graphics/Graphics2D.h"

namespace ztengine {

class DialogueController;
class MessagingSystem;
class TextManager;

class BossDeadCinematicSystem : public Subsystem {
public:
    static constexpr float kFadeEnd = -75.0f;          // the fade timer runs down to this
    static constexpr float kFadeRate = 15.0f;          // per second, also degrees of pitch
    static constexpr float kThanksPeak = 2.0f;         // the picture's alpha turns back here
    static constexpr float kCreditsStart = -1500.0f;
    static constexpr float kCreditsEnd = 1500.0f;
    static constexpr float kCreditsSpeed = 50.0f;      // units per second
    static constexpr float kCreditsFastSpeed = 500.0f; // while jump is held
    static constexpr float kHintFrom = -1400.0f;

    explicit BossDeadCinematicSystem(App* app);

    void Init() override;
    void Update(float dt) override;
    void SetToCurrentState() override;
    void NextState(int newState) override;
    // A new run plays the sequence from its start again.
    void Reset() override;

    SpriteHandle m_whiteScreen;
    SpriteHandle m_thanks;
    SpriteHandle m_credits;
    MessagingSystem* m_messaging;
    DialogueController* m_dialogue;
    bool m_whiteDone = false;
    bool m_creditsRunning = false;
    float m_whiteTimer = 0.0f;
    float m_thanksAlpha = 0.0f;
    float m_thanksSpeed = 1.0f;
    TextManager* m_textManager;
    uint32_t m_fontIndex = 0;
    uint32_t m_hintText = 0xFFFFFFFFu;

private:
    void UpdateWhiteFade(float dt);
    void UpdateThanks(float dt);
    void UpdateCredits(float dt);
    bool FastForwardHeld();
};

}  // namespace ztengine
