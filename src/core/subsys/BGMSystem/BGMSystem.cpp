#include "core/subsys/BGMSystem/BGMSystem.h"

#include <iostream>

#include "core/App.h"
#include "core/MessagingSystem.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/sound/SoundSystem.h"
#include "core/util/Random.h"
#include "platform/CRand.h"

namespace ztengine {

namespace {

void Say(const char* line)
{
    std::cout << line << std::endl;
}

}  // namespace

BGMSystem::BGMSystem(App* app)
    : Subsystem(app), m_messaging(&app->m_messagingSystem), m_sound(app->GetSoundSystem())
{
}

void BGMSystem::QueueTrack(const char* file, uint32_t* slot)
{
    m_app->QueueJob([this, file, slot]() {
        const int32_t track = m_sound->LoadBGM(file);
        *slot = static_cast<uint32_t>(track);
        m_sound->SetBGMLoop(track);
        return true;
    });
}

void BGMSystem::Load()
{
    QueueTrack("bgm/battle0.ogg", &m_battleTracks[0]);
    QueueTrack("bgm/battle1.ogg", &m_battleTracks[1]);
    QueueTrack("bgm/battle2.ogg", &m_battleTracks[2]);
    QueueTrack("bgm/theoverworld.ogg", &m_overworldTrack);
    QueueTrack("bgm/incave.ogg", &m_caveTrack);

    // Each program run hears the three mini-boss tracks in its own order; within a run the
    // fight count walks through them, so no two of the first three fights share a track.
    int x = 0, y = 0, z = 0;
    do {
        x = ztplatform::Rand() % 3;
        y = ztplatform::Rand() % 3;
        z = ztplatform::Rand() % 3;
    } while (x == y || y == z || x == z);
    QueueTrack("bgm/boss_fight1.ogg", &m_bossTracks[x]);
    QueueTrack("bgm/boss_fight2.ogg", &m_bossTracks[y]);
    QueueTrack("bgm/boss_fight3.ogg", &m_bossTracks[z]);

    QueueTrack("bgm/finalboss.ogg", &m_finalBossTrack);
}

void BGMSystem::Init()
{
    MessagingSystem& messaging = *m_messaging;
    messaging.RegisterHandler("EVENT_RESTART", [this](const IEvent&) { Reset(); });
    messaging.RegisterHandler("DUNGEON_FIGHT_BEGIN", [this](const IEvent&) { PlayBattleMusic(); });
    messaging.RegisterHandler("DUNGEON_FIGHT_END", [this](const IEvent&) {
        Say("stop battle music");
        PlayTrack(m_caveTrack);
    });
    messaging.RegisterHandler("DUNGEON_BOSS_BEGIN", [this](const IEvent&) {
        Say("Begin Dungeon Boss Fight");
        PlayTrack(m_bossTracks[m_bossFightCount % 3]);
        ++m_bossFightCount;
    });
    messaging.RegisterHandler("DUNGEON_BOSS_END", [this](const IEvent&) {
        Say("End Dungeon Boss Fight");
        PlayTrack(m_caveTrack);
    });
    messaging.RegisterHandler("ENTER_OVERWORLD", [this](const IEvent&) {
        Say("playing overworld music");
        PlayTrack(m_overworldTrack);
    });
    messaging.RegisterHandler("PLAY_MAIN_BGM", [this](const IEvent&) { PlayTrack(m_caveTrack); });
    messaging.RegisterHandler("EXIT_OVERWORLD", [this](const IEvent&) { PlayTrack(m_caveTrack); });
    messaging.RegisterHandler("FINAL_BOSS_FIGHT_BEGIN", [this](const IEvent&) { PlayTrack(m_finalBossTrack); });
    messaging.RegisterHandler("FIGHT_BOSS_FIGHT_END", [this](const IEvent&) { PlayTrack(m_caveTrack); });
    m_currentTrack = kNoTrack;
    m_bossFightCount = 0;
}

void BGMSystem::Update(float)
{
    m_sound->m_listenerPosition = m_graphics->GetCameraPosition();
}

void BGMSystem::Reset()
{
    PlayTrack(m_overworldTrack);
    m_bossFightCount = 0;
}

void BGMSystem::PlayTrack(uint32_t track)
{
    if (static_cast<int32_t>(track) == m_currentTrack)
        return;
    // Every loaded track may be stopped, playing or not: stopping a quiet one does no harm.
    const uint32_t current = static_cast<uint32_t>(m_currentTrack);
    if (current < m_sound->m_musicRecords.size()) {
        const MusicRecord& record = m_sound->m_musicRecords[current];
        if (record.m_musicIndex == m_currentTrack && record.m_valid)
            m_sound->StopBGM(m_currentTrack, kFadeSeconds);
    }
    m_currentTrack = static_cast<int32_t>(track);
    m_sound->PlayBGM(static_cast<int32_t>(track), kFadeSeconds);
}

void BGMSystem::PlayBattleMusic()
{
    Say("play battle music");
    PlayTrack(m_battleTracks[RandomRange(0, 2)]);
}

}  // namespace ztengine
