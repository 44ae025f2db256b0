#pragma once
// Every sound effect and voice line of play. Enemy sounds play where the event says they
// happened; the player's own sounds, pickups and voice lines play in 2D. Its handlers answer in
// whatever state is current, so a line sent from a cinematic or a menu is heard as well.
#include <array>
#include <cstdint>

#include "core/Subsystem.h"

namespace ztengine {

class MessagingSystem;
class SoundSystem;

class SndFXSubsystem : public Subsystem {
public:
    // The sounds in loading order; an instance id is kept for each.
    enum Sound : uint32_t {
        kSMagicianHit,
        kSMagicianDeath,
        kSkullHit,
        kSkullDeath,
        kKangaHit,
        kKangaDeath,
        kKangaShoot,
        kOgreHit,
        kOgreDeath,
        kOgreCharge,
        kCoinGet,
        kOrbCollect,
        kPlayerHit,
        kPlayerDeath,
        kPlayerWarp,
        kDoorOpen,
        kDoorClose,
        kPowerUp,
        kOrbAltar,
        kTauntLaugh,
        kSandExplode,
        kRicochet,
        kPlayerJump,
        kDrevCantDoThat,
        kDrevEasyGame,
        kDrevGoBackLiaoAh,
        kDrevNotEnuffGold,
        kDrevPain,
        kDrevPew,
        kDrevStrongerLiao,
        kDrevGrelvokVoskDungeon,
        kDrevWaShiokAh,
        kDrevWaYouTrickMe,
        kDrevWhereAmI,
        kSoundCount
    };

    struct SoundSettings {
        const char* file;  // below "./audio/"
        float minDistance;
        float maxDistance;
        float volume;
        bool is2D;
    };
    static const std::array<SoundSettings, kSoundCount> kSounds;

    explicit SndFXSubsystem(App* app);

    // One loading job per sound.
    void Load() override;
    // The 3D settings of the sound layer and the event handlers.
    void Init() override;

    int32_t InstanceOf(Sound sound) const { return m_instances[sound]; }

private:
    void PlayAt(Sound sound, const void* position);
    void Play(Sound sound);
    void PlayUnlessPlaying(Sound sound);
    void PlayAtUnlessPlaying(Sound sound, const void* position);
    // One hit in three, by the game's generator, makes the player complain.
    void MaybeSayPain();

    MessagingSystem* m_messaging;
    SoundSystem* m_sound;
    std::array<int32_t, kSoundCount> m_instances;
};

}  // namespace ztengine
