#pragma once
// The music: one looping track for the situation the player is in, cross-faded on the events
// of fights, boss fights, the overworld, the main menu and a restart. While play is current it
// also hears the world from the camera, for every positional sound of the game.
#include <cstdint>

#include "core/Subsystem.h"

namespace ztengine {

class MessagingSystem;
class SoundSystem;

class BGMSystem : public Subsystem {
public:
    static constexpr float kFadeSeconds = 2.0f;
    static constexpr int32_t kNoTrack = -1;

    explicit BGMSystem(App* app);

    // One stream job per track; the mini-boss tracks get their order for this program run here.
    void Load() override;
    // The handlers; no music until the first event asks for some.
    void Init() override;
    void Update(float dt) override;
    // A new run begins in the overworld.
    void Reset() override;

    // Cross-fades to the track; the one already playing is left alone.
    void PlayTrack(uint32_t track);
    void PlayBattleMusic();

    uint32_t m_battleTracks[3] = {0, 0, 0};
    uint32_t m_overworldTrack = 0;
    uint32_t m_caveTrack = 0;
    uint32_t m_bossTracks[3] = {0, 0, 0};
    uint32_t m_finalBossTrack = 0;
    int32_t m_currentTrack = kNoTrack;
    int32_t m_bossFightCount = 0;

private:
    void QueueTrack(const char* file, uint32_t* slot);

    MessagingSystem* m_messaging;
    SoundSystem* m_sound;
};

}  // namespace ztengine
