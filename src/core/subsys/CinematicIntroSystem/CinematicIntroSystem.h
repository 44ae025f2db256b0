#pragma once
// The flight over the overworld hub that opens a new game: Mor Tesh explains the quest in
// dialogue lines and voice-over while the camera visits the altar and the three dungeon skulls;
// then the game proper starts. Any skip input cuts it short.
#include <array>
#include <cstdint>

#include "core/Subsystem.h"
#include "core/animation/AnimationSet.h"
#include "core/math/Quaternion.h"
#include "core/math/Vector3.h"

namespace ztengine {

class DialogueController;
class SoundSystem;

class CinematicIntroSystem : public Subsystem {
public:
    static constexpr uint32_t kVoiceCount = 8;
    static constexpr const char* kPath = "AUTO";
    // Where every entry starts, above the middle of the hub.
    static constexpr float kStartX = 500.0f;
    static constexpr float kStartY = 510.0f;
    static constexpr float kStartZ = 500.0f;

    struct VoiceLine {
        int32_t instance = -1;
        bool played = false;
    };

    explicit CinematicIntroSystem(App* app);

    void Init() override;
    void Update(float dt) override;
    void SetToCurrentState() override;
    void NextState(int newState) override;

    // The beat of the script the path is in: key k's blend and key k + 1's hold share beat k.
    // -1 while the first key is still held, 0 without a path.
    int32_t CurrentBeat() const;
    // Starts a voice line unless it was already heard in this run.
    void PlayVoiceOnce(uint32_t index);
    // A new run hears the voice-over again.
    void ResetVoiceFlags();
    // The rotation that turns the default view (looking along +z) toward direction d; also
    // gives the angle and axis it used, for the keys that turn about the same axis.
    static ztmath::Quaternion RotationToward(const ztmath::Vector3& d, float* angle = nullptr,
                                             ztmath::Vector3* axis = nullptr);

    SoundSystem* m_soundSystem;
    std::array<VoiceLine, kVoiceCount> m_voices{};
    AnimationSet m_cameraPath;
    ztmath::Vector3 m_redSkull{500.0f, 500.0f, 700.0f};
    ztmath::Vector3 m_yellowSkull{300.0f, 500.0f, 300.0f};
    ztmath::Vector3 m_blueSkull{700.0f, 500.0f, 300.0f};
    DialogueController* m_dialogue;

private:
    void BuildCameraPath();
    void LoadVoices();
    void RunScript(int32_t beat);
    bool SkipRequested();
};

}  // namespace ztengine
