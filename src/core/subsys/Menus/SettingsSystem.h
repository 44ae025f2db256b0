#pragma once
// The settings menu: SSAO (Low, Med, High, Off), then Yes / No for motion blur, parallax
// mapping, depth of field, shadows, fullscreen, music and sound effects. A choice acts at once
// on the renderer, the window or the sound groups; the screen always goes back where it came
// from.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/Subsystem.h"
#include "core/math/Vector2.h"

namespace ztengine {

class SettingsSystem : public Subsystem {
public:
    static constexpr int kRows = 9;
    // SSAO strengths of Low, Med and High.
    static constexpr float kSSAOLow = 3.0f;
    static constexpr float kSSAOMed = 6.0f;
    static constexpr float kSSAOHigh = 9.0f;
    static constexpr float kMotionBlurOn = 0.48f;
    // Any scale from here up, with the blur's switch on, counts as motion blur switched on.
    static constexpr float kMotionBlurShown = 0.1f;
    // The renderer's choices (rows 0 to 3) are also written to the graphics options' file, which
    // sets the renderer up at the next start; the others last for the run.
    static constexpr int32_t kLastRendererRow = 3;
    static constexpr const char* kSettingsFile = "settings.ini";

    // One choice of a row: what it does and when it is the value in force.
    struct Option {
        std::string name;
        int32_t row = 0;
        ztmath::Vector2 position;
        ztmath::Vector2 size;
        std::function<void()> choose;
        std::function<bool()> isCurrent;
        int32_t idleElement = -1;
        int32_t selectedElement = -1;
    };

    explicit SettingsSystem(App* app);

    // Queues the job that builds the screen, so it exists once loading is done.
    void Load() override;
    void SetToCurrentState() override;
    void Update(float dt) override;
    void NextState(int newState) override;

    void BuildScreen();
    // The options in row order: Low, Med, High, Off, then Yes and No of each further row.
    const std::vector<Option>& GetOptions() const { return m_options; }
    // Index of the option `name` ("Low", "Yes"...) in `row`, or -1.
    int FindOption(int32_t row, const std::string& name) const;

    // The pad grid: row 0 holds the four SSAO choices, rows 1 to 7 Yes and No, row 8 Back.
    std::vector<std::vector<ztmath::Vector2>> m_buttonPositions;
    int32_t m_row = 0;
    int32_t m_column = 0;
    int32_t m_titleElement = -1;
    int32_t m_backElement = -1;
    // A dark panel under the rows: the screen opens over the running view as well.
    int32_t m_backingElement = -1;
    std::vector<int32_t> m_labelElements;

private:
    void MakeOptions();
    void SaveRendererChoices();

    std::vector<Option> m_options;
};

}  // namespace ztengine
