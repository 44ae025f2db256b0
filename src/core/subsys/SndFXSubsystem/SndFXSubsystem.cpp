#include "core/subsys/SndFXSubsystem/SndFXSubsystem.h"

#include <cstdio>

#include "core/App.h"
#include "core/MessagingSystem.h"
#include "core/math/Vector3.h"
#include "core/sound/SoundSystem.h"
#include "core/util/Random.h"

namespace ztengine {

namespace {

constexpr float kMin = 20.0f;
constexpr float kMax = 10000.0f;

constexpr const char* kPainEvent = "PLAY_DREV_SFX_PAIN";
constexpr const char* kStrongerEvent = "PLAY_DREV_SFX_STRONGER_LIAO";

// How a handler plays its sound.
enum class How {
    kAtPosition,             // placed at the event's position, then played
    kAtPositionUnlessPlaying,
    kPlay,                   // played where it was last placed (2D sounds: anywhere)
    kUnlessPlaying,
    kRestart,
    kPainRule,
    kAskForStrongerLine,
};

struct Handler {
    const char* event;
    How how;
    SndFXSubsystem::Sound sound;
};

using S = SndFXSubsystem;

// Registration order matters: the player's hit sound is registered before the pain rule and the
// power-up jingle before the voice line it asks for, so each event is heard in that order.
constexpr Handler kHandlers[] = {
    {"EVENT_RESTART", How::kRestart, S::kSoundCount},
    {"SMAGICIAN_GOT_HIT", How::kAtPosition, S::kSMagicianHit},
    {"SMAGICIAN_DIED", How::kAtPosition, S::kSMagicianDeath},
    {"SMAGICIAN_SHOOT", How::kAtPosition, S::kKangaShoot},
    {"FSKULL_GOT_HIT", How::kAtPosition, S::kSkullHit},
    {"FSKULL_DIED", How::kAtPosition, S::kSkullDeath},
    {"LKANGA_GOT_HIT", How::kAtPosition, S::kKangaHit},
    {"LKANGA_DIED", How::kAtPosition, S::kKangaDeath},
    {"LKANGA_SHOOT", How::kAtPosition, S::kKangaShoot},
    {"OGRE_GOT_HIT", How::kAtPosition, S::kOgreHit},
    {"OGRE_DIED", How::kAtPosition, S::kOgreDeath},
    {"OGRE_CHARGE", How::kAtPosition, S::kOgreCharge},
    {"COIN_COLLECT", How::kAtPosition, S::kCoinGet},
    {"ORB_COLLECT", How::kPlay, S::kOrbCollect},
    {"PLAYER_GOT_HIT", How::kPlay, S::kPlayerHit},
    {"PLAYER_DEATH", How::kPlay, S::kPlayerDeath},
    {"PLAYER_WARP", How::kPlay, S::kPlayerWarp},
    {"DUNGEON_FIGHT_BEGIN", How::kPlay, S::kDoorClose},
    {"DUNGEON_FIGHT_END", How::kPlay, S::kDoorOpen},
    {"MB02_GOT_HIT", How::kAtPosition, S::kKangaHit},
    {"MB02_DIED", How::kAtPosition, S::kKangaDeath},
    {"MB02_SHOOT", How::kAtPosition, S::kKangaShoot},
    {"MB02_SLIDE_DODGE", How::kAtPositionUnlessPlaying, S::kTauntLaugh},
    {"MB01_GOT_HIT", How::kAtPosition, S::kOgreHit},
    {"MB01_DIED", How::kAtPosition, S::kOgreDeath},
    {"MB01_CHARGE", How::kAtPosition, S::kOgreCharge},
    {"MB01_RADIAL_SHOOT", How::kAtPosition, S::kSandExplode},
    {"MB00_DIED", How::kAtPosition, S::kSkullDeath},
    {"MB00_GOT_HIT", How::kAtPosition, S::kSkullHit},
    {"MB00_GOT_HIT_INVUL", How::kAtPositionUnlessPlaying, S::kRicochet},
    {"ORB_ALTAR", How::kPlay, S::kOrbAltar},
    {"PLAYER_GOT_POWERUP", How::kPlay, S::kPowerUp},
    {"PLAYER_JUMP", How::kPlay, S::kPlayerJump},
    {"PLAY_DREV_SFX_CANT_DO_THAT", How::kUnlessPlaying, S::kDrevCantDoThat},
    {"PLAY_DREV_SFX_EASY_GAME", How::kPlay, S::kDrevEasyGame},
    {"PLAY_DREV_SFX_GO_BACK_LIAO_AH", How::kPlay, S::kDrevGoBackLiaoAh},
    {"PLAY_DREV_SFX_NOT_ENUFF_GOLD", How::kUnlessPlaying, S::kDrevNotEnuffGold},
    {"PLAY_DREV_SFX_PAIN", How::kUnlessPlaying, S::kDrevPain},
    {"PLAY_DREV_SFX_PEW_1", How::kPlay, S::kDrevPew},
    {"PLAY_DREV_SFX_STRONGER_LIAO", How::kUnlessPlaying, S::kDrevStrongerLiao},
    {"PLAY_DREV_SFX_GRELVOK_VOSK_DUNGEON", How::kPlay, S::kDrevGrelvokVoskDungeon},
    {"PLAY_DREV_SFX_WA_SHIOK_AH", How::kPlay, S::kDrevWaShiokAh},
    {"PLAY_DREV_SFX_WA_YOU_TRICK_ME", How::kPlay, S::kDrevWaYouTrickMe},
    {"PLAY_DREV_SFX_WHERE_AM_I", How::kPlay, S::kDrevWhereAmI},
    {"PLAYER_GOT_HIT", How::kPainRule, S::kSoundCount},
    {"PLAYER_GOT_POWERUP", How::kAskForStrongerLine, S::kSoundCount},
};

}  // namespace

const std::array<SndFXSubsystem::SoundSettings, SndFXSubsystem::kSoundCount> SndFXSubsystem::kSounds = {{
    {"SFX_SMagician_Hit.wav", kMin, kMax, 1.0f, false},
    {"SFX_SMagician_Death.wav", kMin, kMax, 1.0f, false},
    {"SFX_Skull_Hit.wav", kMin, kMax, 1.0f, false},
    {"SFX_Skull_Death.wav", kMin, kMax, 1.0f, false},
    {"kangahit.wav", kMin, kMax, 1.0f, false},
    {"kangadeath.wav", kMin, kMax, 1.0f, false},
    {"kangashoot.wav", kMin, kMax, 1.0f, false},
    {"SFX_Ogre_Hit.wav", kMin, kMax, 1.0f, false},
    {"SFX_Ogre_Death.wav", kMin, kMax, 1.0f, false},
    // The charge is a warning meant for the player close by, not for the whole dungeon.
    {"SFX_Ogre_Charge.wav", 30.0f, 50.0f, 1.0f, false},
    {"coin_get.wav", kMin, kMax, 0.5f, false},
    {"SFX_Orb_Collect.wav", kMin, kMax, 1.0f, true},
    {"SFX_Player_Hit.wav", kMin, kMax, 1.0f, true},
    {"SFX_Player_Death.wav", kMin, kMax, 1.0f, true},
    {"SFX_Player_Warp.wav", kMin, kMax, 1.0f, true},
    {"SFX_Door_Open.wav", kMin, kMax, 1.0f, true},
    {"SFX_Door_Close.wav", kMin, kMax, 1.0f, true},
    {"SFX_Power_Up.wav", kMin, kMax, 0.3f, true},
    {"SFX_Orb_Altar.wav", kMin, kMax, 1.0f, true},
    {"SFX_Tauntlaugh.ogg", 25.0f, kMax, 1.0f, false},
    {"SFX_SandExplode.ogg", 25.0f, kMax, 1.0f, false},
    {"SFX_Ricochet.ogg", 25.0f, kMax, 1.0f, false},
    {"SFX_Player_Jump.wav", kMin, kMax, 0.6f, true},
    {"SFX_Drev_cantdothat.wav", kMin, kMax, 1.0f, true},
    {"SFX_Drev_ezgaem.wav", kMin, kMax, 1.0f, true},
    {"SFX_Drev_gobackliaoah.wav", kMin, kMax, 1.0f, true},
    {"SFX_Drev_notenuffgold.wav", kMin, kMax, 1.0f, true},
    {"SFX_Drev_painpainpain.wav", kMin, kMax, 1.0f, true},
    {"SFX_Drev_pew_1.wav", kMin, kMax, 1.0f, true},
    {"SFX_Drev_strongerliao.wav", kMin, kMax, 1.0f, true},
    {"SFX_Drev_grelvokvoskdungeon.wav", kMin, kMax, 1.0f, true},
    {"SFX_Drev_washiokah.wav", kMin, kMax, 1.0f, true},
    {"SFX_Drev_wayoutrickme.wav", kMin, kMax, 1.0f, true},
    {"SFX_Drev_whereami.wav", kMin, kMax, 1.0f, true},
}};

SndFXSubsystem::SndFXSubsystem(App* app)
    : Subsystem(app), m_messaging(&app->m_messagingSystem), m_sound(app->GetSoundSystem())
{
    m_instances.fill(SoundSystem::kInvalidIndex);
}

void SndFXSubsystem::Load()
{
    for (uint32_t i = 0; i < kSoundCount; ++i) {
        m_app->QueueJob([this, i]() {
            const SoundSettings& settings = kSounds[i];
            const int32_t instance = m_sound->CreateSoundInstance(m_sound->LoadSound(settings.file));
            m_instances[i] = instance;
            // A sound that failed to load has no instance to set; it stays silent.
            if (m_sound->IsValidInstance(instance)) {
                SoundInstance& record = m_sound->m_instances[instance];
                record.m_minDistance = settings.minDistance;
                record.m_maxDistance = settings.maxDistance;
                record.m_volume = settings.volume;
                record.m_is2D = settings.is2D ? 1 : 0;
            }
            return true;
        });
    }
}

void SndFXSubsystem::Init()
{
    if (m_sound->m_system != nullptr) {
        const FMOD_RESULT result = m_sound->m_system->set3DSettings(1.0f, 1.0f, 5.0f);
        if (result != FMOD_OK) {
            std::printf("FMOD error! (%d) %s\n", static_cast<int>(result), FMOD_ErrorString(result));
            std::fflush(stdout);
        }
    }

    for (const Handler& handler : kHandlers) {
        const Sound sound = handler.sound;
        EventCallback callback;
        switch (handler.how) {
            case How::kAtPosition:
                callback = [this, sound](const IEvent& event) { PlayAt(sound, event.m_data); };
                break;
            case How::kAtPositionUnlessPlaying:
                callback = [this, sound](const IEvent& event) { PlayAtUnlessPlaying(sound, event.m_data); };
                break;
            case How::kPlay:
                callback = [this, sound](const IEvent&) { Play(sound); };
                break;
            case How::kUnlessPlaying:
                callback = [this, sound](const IEvent&) { PlayUnlessPlaying(sound); };
                break;
            case How::kRestart:
                callback = [this](const IEvent&) { Reset(); };
                break;
            case How::kPainRule:
                callback = [this](const IEvent&) { MaybeSayPain(); };
                break;
            case How::kAskForStrongerLine:
                callback = [this](const IEvent&) { m_messaging->SendEventByName(kStrongerEvent, IEvent()); };
                break;
        }
        m_messaging->RegisterHandler(handler.event, std::move(callback));
    }
}

void SndFXSubsystem::PlayAt(Sound sound, const void* position)
{
    // A sender that forgot the position still gets its sound, where the last one was.
    if (position != nullptr)
        m_sound->SetInstancePosition(m_instances[sound], *static_cast<const ztmath::Vector3*>(position));
    m_sound->PlayInstance(m_instances[sound]);
}

void SndFXSubsystem::Play(Sound sound)
{
    m_sound->PlayInstance(m_instances[sound]);
}

void SndFXSubsystem::PlayUnlessPlaying(Sound sound)
{
    if (!m_sound->IsPlaying(m_instances[sound]))
        m_sound->PlayInstance(m_instances[sound]);
}

void SndFXSubsystem::PlayAtUnlessPlaying(Sound sound, const void* position)
{
    if (!m_sound->IsPlaying(m_instances[sound]))
        PlayAt(sound, position);
}

void SndFXSubsystem::MaybeSayPain()
{
    if (RandomUInt() % 3u == 0u)
        m_messaging->SendEventByName(kPainEvent, IEvent());
}

}  // namespace ztengine
