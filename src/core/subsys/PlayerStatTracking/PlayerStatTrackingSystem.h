#pragma once
// The statistics screen at the end of a run, won or lost: six values counted up one after the
// other in red, each settling in black, under a blinking hint. The first space (or pad start)
// skips the counting, the next leaves: to the main menu after a won run, with the statistics
// cleared for the next one, or to the lose screen.
#include <array>
#include <cstdint>

#include "core/Subsystem.h"
#include "core/math/Vector2.h"
#include "core/math/Vector3.h"

namespace ztgame {
struct GameStats;
}

namespace ztengine {

class MessagingSystem;
class TextManager;

class PlayerStatTrackingSystem : public Subsystem {
public:
    static constexpr int32_t kLineCount = 6;
    // Each line counts up this long before it shows its exact value.
    static constexpr float kLineSeconds = 0.75f;
    static constexpr unsigned kSkipKey = 32;  // space
    static constexpr int kSkipPad = 0;
    static constexpr int kSkipPadButton = 7;  // start
    static constexpr const char* kSkipText = "press space/start to skip";
    static constexpr const char* kBackground = "textures/2d/UpgradeUI_Background.png";
    static constexpr const char* kFont = "fonts/arial.ttf";
    static const std::array<const char*, kLineCount> kLabels;

    explicit PlayerStatTrackingSystem(App* app);

    void Init() override;
    void Update(float dt) override;
    void NextState(int newState) override;
    void SetToCurrentState() override;

    void BlinkSkipText(float dt);
    void CountUp(float dt);
    void ZeroValues();
    void ShowFinalValues();
    void ShowTexts();
    void HideTexts();
    void SetTextColors(const ztmath::Vector3& color);

    MessagingSystem* m_messaging;
    ztgame::GameStats* m_stats;
    TextManager* m_textManager;
    uint32_t m_fontIndex = 0;
    int32_t m_background = -1;
    std::array<uint32_t, kLineCount> m_labels{};
    std::array<uint32_t, kLineCount> m_values{};
    uint32_t m_skipText = 0xFFFFFFFFu;
    std::array<ztmath::Vector2, kLineCount> m_labelPositions{};
    std::array<ztmath::Vector2, kLineCount> m_valuePositions{};
    ztmath::Vector2 m_skipPosition{400.0f, 150.0f};
    float m_skipAlpha = 1.0f;
    bool m_skipRising = false;
    int32_t m_line = 0;
    int32_t m_lineCount = kLineCount;
    float m_lineTimer = 0.0f;
    bool m_finished = false;
    std::array<uint32_t, 5> m_shownCounts{};
    float m_shownPlayTime = 0.0f;

private:
    // The exact value of a line: a counter, or the play time in whole seconds.
    uint32_t FinalValue(int32_t line) const;
    void SetValue(int32_t line, uint32_t value);
};

}  // namespace ztengine
