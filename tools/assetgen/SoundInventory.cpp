// Every sound the game loads. Effects get the length of what they accompany (a hit is over
// before the next shot lands, the player's shot sound is shorter than the 0.4 s between
// shots); voice lines of the intro must end before the next line starts; music loops are
// 20 to 40 s so the generator stays quick.
#include "assetgen/SoundInventory.h"

#include <algorithm>

namespace assetgen {
namespace {

constexpr SoundKind kFx = SoundKind::Effect;
constexpr SoundKind kVoice = SoundKind::Voice;
constexpr SoundKind kMusic = SoundKind::Music;

constexpr SoundSpec kSounds[] = {
    // ---- enemies (placed where the event happens) ----
    {"audio/SFX_SMagician_Hit.wav", kFx, 0.30f, 0.25f, 0.40f},
    {"audio/SFX_SMagician_Death.wav", kFx, 1.00f, 0.80f, 1.20f},
    {"audio/SFX_Skull_Hit.wav", kFx, 0.30f, 0.25f, 0.40f},
    {"audio/SFX_Skull_Death.wav", kFx, 1.00f, 0.80f, 1.20f},
    {"audio/kangahit.wav", kFx, 0.30f, 0.25f, 0.40f},
    {"audio/kangadeath.wav", kFx, 1.00f, 0.80f, 1.20f},
    {"audio/kangashoot.wav", kFx, 0.50f, 0.40f, 0.60f},
    {"audio/SFX_Ogre_Hit.wav", kFx, 0.40f, 0.30f, 0.50f},
    {"audio/SFX_Ogre_Death.wav", kFx, 1.50f, 1.20f, 1.80f},
    {"audio/SFX_Ogre_Charge.wav", kFx, 1.00f, 0.80f, 1.20f},
    {"audio/SFX_Tauntlaugh.ogg", kFx, 1.00f, 0.80f, 1.20f},
    {"audio/SFX_SandExplode.ogg", kFx, 1.00f, 0.80f, 1.20f},
    {"audio/SFX_Ricochet.ogg", kFx, 0.50f, 0.40f, 0.60f},
    // ---- pickups, player and world ----
    {"audio/coin_get.wav", kFx, 0.30f, 0.25f, 0.40f},
    {"audio/SFX_Orb_Collect.wav", kFx, 1.00f, 0.80f, 1.20f},
    {"audio/SFX_Player_Hit.wav", kFx, 0.30f, 0.25f, 0.40f},
    {"audio/SFX_Player_Death.wav", kFx, 1.50f, 1.20f, 1.80f},
    {"audio/SFX_Player_Warp.wav", kFx, 1.50f, 1.20f, 1.80f},
    {"audio/SFX_Door_Open.wav", kFx, 1.00f, 0.80f, 1.20f},
    {"audio/SFX_Door_Close.wav", kFx, 0.80f, 0.60f, 1.00f},
    {"audio/SFX_Power_Up.wav", kFx, 1.00f, 0.80f, 1.20f},
    {"audio/SFX_Orb_Altar.wav", kFx, 1.50f, 1.20f, 1.80f},
    {"audio/SFX_Player_Jump.wav", kFx, 0.25f, 0.20f, 0.30f},
    {"audio/SFX_Fireball.wav", kFx, 0.28f, 0.20f, 0.30f},
    {"audio/SFX_Sword_Swing.wav", kFx, 0.30f, 0.25f, 0.40f},
    {"audio/Lose.wav", kFx, 2.60f, 2.00f, 3.00f},
    // ---- the player's lines ----
    {"audio/SFX_Drev_cantdothat.wav", kVoice, 0, 0.3f, 2.0f},
    {"audio/SFX_Drev_ezgaem.wav", kVoice, 0, 0.3f, 2.0f},
    {"audio/SFX_Drev_gobackliaoah.wav", kVoice, 0, 0.5f, 3.0f},  // its dialogue line shows 3 s
    {"audio/SFX_Drev_notenuffgold.wav", kVoice, 0, 0.3f, 2.0f},
    {"audio/SFX_Drev_painpainpain.wav", kVoice, 0, 0.3f, 1.5f},  // one hit in three
    {"audio/SFX_Drev_pew_1.wav", kVoice, 0, 0.1f, 1.0f},
    {"audio/SFX_Drev_strongerliao.wav", kVoice, 0, 0.3f, 1.5f},  // after every power-up
    {"audio/SFX_Drev_grelvokvoskdungeon.wav", kVoice, 0, 0.5f, 2.0f},
    {"audio/SFX_Drev_washiokah.wav", kVoice, 0, 0.3f, 2.0f},
    {"audio/SFX_Drev_wayoutrickme.wav", kVoice, 0, 0.3f, 2.0f},
    {"audio/SFX_Drev_whereami.wav", kVoice, 0, 0.3f, 2.0f},
    // ---- the intro's quest giver; each must end before the next line of the cinematic ----
    {"audio/voiceoversounds/voiceoverfinal/boss/chillwasimortesh.wav", kVoice, 0, 0.5f, 2.0f},
    {"audio/voiceoversounds/voiceoverfinal/boss/chillwelcometovosk.wav", kVoice, 0, 0.5f, 3.0f},
    {"audio/voiceoversounds/voiceoverfinal/boss/bringorbs.wav", kVoice, 0, 0.5f, 5.0f},
    {"audio/voiceoversounds/voiceoverfinal/boss/thenyoucanzao.wav", kVoice, 0, 0.5f, 4.0f},
    {"audio/voiceoversounds/voiceoverfinal/boss/angishere.wav", kVoice, 0, 0.5f, 3.0f},
    {"audio/voiceoversounds/voiceoverfinal/boss/greenishere.wav", kVoice, 0, 0.5f, 3.0f},
    {"audio/voiceoversounds/voiceoverfinal/boss/bluishere.wav", kVoice, 0, 0.5f, 3.0f},
    {"audio/voiceoversounds/voiceoverfinal/drev/goahdrev-lengthened.wav", kVoice, 0, 0.5f, 3.0f},
    // ---- the boss at the altar: greetings, complaint, death ----
    {"audio/voiceoversounds/voiceoverfinal/boss/oioicomehere.wav", kVoice, 0, 0.3f, 2.5f},
    {"audio/voiceoversounds/voiceoverfinal/boss/sellugoodstuff.wav", kVoice, 0, 0.3f, 2.5f},
    {"audio/voiceoversounds/voiceoverfinal/boss/dunanyhowshoot.wav", kVoice, 0, 0.3f, 2.5f},
    {"audio/voiceoversounds/voiceoverfinal/boss/keshahdrev.wav", kVoice, 0, 0.3f, 3.0f},
    // ---- music, looped whole ----
    {"audio/bgm/theoverworld.ogg", kMusic, 0, 60.0f, 90.0f},
    {"audio/bgm/incave.ogg", kMusic, 0, 60.0f, 90.0f},
    {"audio/bgm/battle0.ogg", kMusic, 0, 60.0f, 90.0f},
    {"audio/bgm/battle1.ogg", kMusic, 0, 60.0f, 90.0f},
    {"audio/bgm/battle2.ogg", kMusic, 0, 60.0f, 90.0f},
    {"audio/bgm/boss_fight1.ogg", kMusic, 0, 60.0f, 90.0f},
    {"audio/bgm/boss_fight2.ogg", kMusic, 0, 60.0f, 90.0f},
    {"audio/bgm/boss_fight3.ogg", kMusic, 0, 60.0f, 90.0f},
    {"audio/bgm/finalboss.ogg", kMusic, 0, 60.0f, 90.0f},
};

}  // namespace

std::span<const SoundSpec> Sounds() { return kSounds; }

const SoundSpec* FindSound(std::string_view path)
{
    for (const SoundSpec& s : kSounds)
        if (path == s.path) return &s;
    return nullptr;
}

std::string RegistryName(std::string_view path)
{
    const size_t slash = path.find_last_of('/');
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

}  // namespace assetgen
