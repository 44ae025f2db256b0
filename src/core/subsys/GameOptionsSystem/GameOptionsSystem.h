#pragma once
// GameOptionsSystem: the renderer's quality and post-effect options. At start-up it reads
// "settings.ini", pushes every value into the 3D renderer and writes the file back; its
// "Options" window edits the values, applies and saves them, or reloads the file.
#include <cstdint>

#include "core/Subsystem.h"
#include "core/math/Vector3.h"

namespace ztengine {

// The renderer's options as "settings.ini" holds them. Each name is also its key in the file.
struct GraphicsOptions {
    ztmath::Vector3 m_distanceFogColor{1.0f, 1.0f, 1.0f};
    bool m_enableMotionBlur = true;
    int32_t m_blurSampleCount = 16;
    bool m_enableSSAO = true;
    bool m_enableDOF = true;
    bool m_enableParallaxMapping = false;
    // Off like the renderer's own default, so a first start without the key draws no fog.
    bool m_enableFog = false;
    float m_motionBlurScale = 0.75f;
    float m_ssaoRadius = 0.85f;
    float m_ssaoStrength = 2.3f;
    float m_ssao_allowance = 0.0f;
    float m_DOFFocalRange = 1000.0f;
    float m_DOFocalPerc = 0.0f;
    float m_fogGradient = 1.5f;
    float m_fogDensity = 0.007f;
    float m_setGammaFactor = 2.2f;
    float m_bloomIntensity = 1.0f;
    ztmath::Vector3 m_bloomFilterThreshold{0.2126f, 0.7152f, 0.0722f};
};

// Reads the settings file at `path` into `options`: every key that is present and of the right
// type is taken, the others keep their values, and each problem is printed in one line naming
// the file. Returns true when the file has content that could not be wholly read (not JSON, no
// parameter set, an entry or a key it could not use); an absent or empty file holds nothing
// to lose and returns false.
bool ReadGraphicsOptions(const char* path, GraphicsOptions& options);
// Replaces the file at `path` with every option. False when it could not be written.
bool WriteGraphicsOptions(const char* path, const GraphicsOptions& options);

// The options live in the system's GraphicsOptions part, edited in place by the window.
class GameOptionsSystem : public Subsystem, public GraphicsOptions {
public:
    // The renderer must run with the player's options from the very first frame.
    static constexpr bool kInitialisedAtStart = true;

    static constexpr const char* kSettingsFile = "settings.ini";

    explicit GameOptionsSystem(App* app);

    // Reads the file, applies it and builds the "Options" window.
    void Init() override;

    // Copies every key of "settings.ini" that is present and of the right type into the
    // options; the renderer sees nothing until ApplySettings. Absent keys keep their values.
    void LoadSettings();
    // Pushes every option into the renderer, then rewrites "settings.ini" with all of them.
    void ApplySettings();

    // True when the last LoadSettings met a "settings.ini" with content it could not wholly read
    // (not JSON, no parameter set, an entry or a key it could not use). Such a file is not
    // rewritten at start-up, so the player's hand-made values are not lost to the defaults.
    bool IsFileUnreadable() const { return m_fileUnreadable; }

    int32_t m_window = -1;  // the "Options" window of the debug GUI

private:
    void PushToRenderer();
    bool SaveSettings() const;

    bool m_fileUnreadable = false;
};

}  // namespace ztengine
