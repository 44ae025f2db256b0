// The sound effects on the silent sound layer with a hand-stepped clock, loading the generated
// sounds and the game's event names: the loading jobs, which sound each event starts and where,
// sounds that are not restarted while they play, the pain line and the power-up line.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <vector>

#include "core/math/Vector3.h"
#include "core/sound/SoundSystem.h"
#include "core/subsys/SndFXSubsystem/SndFXSubsystem.h"
#include "core/util/Random.h"
#include "platform/fmod/TestSounds.h"
#include "support/HeadlessApp.h"
#include "support/TestSupport.h"

namespace {

using ztengine::IEvent;
using ztengine::SndFXSubsystem;
using ztengine::SoundSystem;
using S = SndFXSubsystem;

constexpr float kFrame = 1.0f / 60.0f;

class SoundApp : public zttest::HeadlessApp {
public:
    explicit SoundApp(SoundSystem* sound) { m_soundService = sound; }
};

// The game's sounds and event names from the runtime folder; the system loaded and initialised.
class SndFXTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_previousDir = std::filesystem::current_path();
        const std::filesystem::path dir = zttest::MakeTempDir("sndfx");
        std::filesystem::create_directory_symlink(std::filesystem::path(ZT_RUNTIME_DIR) / "audio", dir / "audio");
        std::filesystem::current_path(dir);

        ztengine::SoundSystemOptions options;
        options.output = FMOD_OUTPUTTYPE_NOSOUND;
        options.clock = m_clock.Function();
        zttest::CaptureStdout([&] { m_sound = std::make_unique<SoundSystem>(options); });
        m_app = std::make_unique<SoundApp>(m_sound.get());
        zttest::CaptureStdout([&] {
            m_app->m_messagingSystem.LoadEventNames((std::filesystem::path(ZT_RUNTIME_DIR) / "EventNames.txt").c_str());
        });
        m_system = std::make_unique<SndFXSubsystem>(m_app.get());
    }

    void TearDown() override
    {
        m_system.reset();
        m_app.reset();
        m_sound.reset();
        std::filesystem::current_path(m_previousDir);
    }

    // Loads through the job queue as the loading screen does, one job a frame, then Init.
    std::string LoadAndInit()
    {
        return zttest::CaptureStdout([&] {
            m_system->Load();
            m_jobsQueued = m_app->GetPendingJobCount();
            while (m_app->HasPendingJobs())
                m_app->RunNextJob();
            m_system->Init();
        });
    }

    void Send(const char* name, const ztmath::Vector3* position = nullptr)
    {
        m_app->m_messagingSystem.SendEventByName(name, IEvent(0, position));
    }

    void Frames(int n)
    {
        for (int i = 0; i < n; ++i) {
            m_clock.now += kFrame;
            m_sound->Update(kFrame);
        }
    }

    FMOD::Channel* ChannelOf(S::Sound sound) { return Record(sound).m_channel; }
    ztengine::SoundInstance& Record(S::Sound sound) { return m_sound->m_instances[m_system->InstanceOf(sound)]; }

    // Every sound's channel, to see which ones an event started.
    std::vector<FMOD::Channel*> Channels()
    {
        std::vector<FMOD::Channel*> channels;
        for (uint32_t s = 0; s < S::kSoundCount; ++s)
            channels.push_back(ChannelOf(static_cast<S::Sound>(s)));
        return channels;
    }

    std::vector<S::Sound> Started(const std::vector<FMOD::Channel*>& before)
    {
        std::vector<S::Sound> started;
        const std::vector<FMOD::Channel*> after = Channels();
        for (uint32_t s = 0; s < S::kSoundCount; ++s)
            if (after[s] != before[s])
                started.push_back(static_cast<S::Sound>(s));
        return started;
    }

    std::filesystem::path m_previousDir;
    zttest::ManualClock m_clock;
    std::unique_ptr<SoundSystem> m_sound;
    std::unique_ptr<SoundApp> m_app;
    std::unique_ptr<SndFXSubsystem> m_system;
    size_t m_jobsQueued = 0;
};

TEST_F(SndFXTest, LoadingQueuesOneJobPerSoundAndEveryGeneratedFileLoads)
{
    const std::string out = LoadAndInit();
    EXPECT_EQ(m_jobsQueued, static_cast<size_t>(S::kSoundCount));
    EXPECT_EQ(out, "");  // no failed file, no refused instance, no unknown event name

    ASSERT_EQ(m_sound->m_sounds.size(), static_cast<size_t>(S::kSoundCount));
    for (uint32_t s = 0; s < S::kSoundCount; ++s) {
        SCOPED_TRACE(S::kSounds[s].file);
        EXPECT_NE(m_sound->m_sounds[s], nullptr);
        EXPECT_TRUE(m_sound->IsValidInstance(m_system->InstanceOf(static_cast<S::Sound>(s))));
    }

    // The rows that differ from the usual 20 to 10000, volume 1, 3D.
    EXPECT_EQ(Record(S::kOgreCharge).m_minDistance, 30.0f);
    EXPECT_EQ(Record(S::kOgreCharge).m_maxDistance, 50.0f);
    EXPECT_EQ(Record(S::kRicochet).m_minDistance, 25.0f);
    EXPECT_EQ(Record(S::kRicochet).m_maxDistance, 10000.0f);
    EXPECT_EQ(Record(S::kSMagicianHit).m_minDistance, 20.0f);
    EXPECT_EQ(Record(S::kCoinGet).m_volume, 0.5f);
    EXPECT_EQ(Record(S::kCoinGet).m_is2D, 0);
    EXPECT_EQ(Record(S::kPowerUp).m_volume, 0.3f);
    EXPECT_EQ(Record(S::kPlayerJump).m_volume, 0.6f);
    EXPECT_EQ(Record(S::kPlayerJump).m_is2D, 1);
    EXPECT_EQ(Record(S::kDrevWhereAmI).m_is2D, 1);
    EXPECT_EQ(Record(S::kTauntLaugh).m_is2D, 0);

    float doppler = 0, distance = 0, rolloff = 0;
    m_sound->m_system->get3DSettings(&doppler, &distance, &rolloff);
    EXPECT_EQ(doppler, 1.0f);
    EXPECT_EQ(distance, 1.0f);
    EXPECT_EQ(rolloff, 5.0f);
}

TEST_F(SndFXTest, EachEventStartsItsSoundEnemiesWhereTheyAreThePlayerIn2D)
{
    LoadAndInit();
    // Keep the generator off the pain line for the hit, so only the hit sound starts.
    struct Row {
        const char* event;
        S::Sound sound;
        bool atPosition;
    };
    const Row rows[] = {
        {"SMAGICIAN_GOT_HIT", S::kSMagicianHit, true},
        {"SMAGICIAN_DIED", S::kSMagicianDeath, true},
        {"SMAGICIAN_SHOOT", S::kKangaShoot, true},
        {"FSKULL_GOT_HIT", S::kSkullHit, true},
        {"FSKULL_DIED", S::kSkullDeath, true},
        {"LKANGA_GOT_HIT", S::kKangaHit, true},
        {"LKANGA_DIED", S::kKangaDeath, true},
        {"LKANGA_SHOOT", S::kKangaShoot, true},
        {"OGRE_GOT_HIT", S::kOgreHit, true},
        {"OGRE_DIED", S::kOgreDeath, true},
        {"OGRE_CHARGE", S::kOgreCharge, true},
        {"MB02_GOT_HIT", S::kKangaHit, true},
        {"MB02_DIED", S::kKangaDeath, true},
        {"MB02_SHOOT", S::kKangaShoot, true},
        {"MB02_SLIDE_DODGE", S::kTauntLaugh, true},
        {"MB01_GOT_HIT", S::kOgreHit, true},
        {"MB01_DIED", S::kOgreDeath, true},
        {"MB01_CHARGE", S::kOgreCharge, true},
        {"MB01_RADIAL_SHOOT", S::kSandExplode, true},
        {"MB00_DIED", S::kSkullDeath, true},
        {"MB00_GOT_HIT", S::kSkullHit, true},
        {"MB00_GOT_HIT_INVUL", S::kRicochet, true},
        {"COIN_COLLECT", S::kCoinGet, true},
        {"ORB_COLLECT", S::kOrbCollect, false},
        {"PLAYER_DEATH", S::kPlayerDeath, false},
        {"PLAYER_WARP", S::kPlayerWarp, false},
        {"DUNGEON_FIGHT_BEGIN", S::kDoorClose, false},
        {"DUNGEON_FIGHT_END", S::kDoorOpen, false},
        {"ORB_ALTAR", S::kOrbAltar, false},
        {"PLAYER_JUMP", S::kPlayerJump, false},
        {"PLAY_DREV_SFX_CANT_DO_THAT", S::kDrevCantDoThat, false},
        {"PLAY_DREV_SFX_EASY_GAME", S::kDrevEasyGame, false},
        {"PLAY_DREV_SFX_GO_BACK_LIAO_AH", S::kDrevGoBackLiaoAh, false},
        {"PLAY_DREV_SFX_NOT_ENUFF_GOLD", S::kDrevNotEnuffGold, false},
        {"PLAY_DREV_SFX_PAIN", S::kDrevPain, false},
        {"PLAY_DREV_SFX_PEW_1", S::kDrevPew, false},
        {"PLAY_DREV_SFX_STRONGER_LIAO", S::kDrevStrongerLiao, false},
        {"PLAY_DREV_SFX_GRELVOK_VOSK_DUNGEON", S::kDrevGrelvokVoskDungeon, false},
        {"PLAY_DREV_SFX_WA_SHIOK_AH", S::kDrevWaShiokAh, false},
        {"PLAY_DREV_SFX_WA_YOU_TRICK_ME", S::kDrevWaYouTrickMe, false},
        {"PLAY_DREV_SFX_WHERE_AM_I", S::kDrevWhereAmI, false},
    };
    float x = 1.0f;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.event);
        // Everything earlier has ended, so sounds that wait for themselves play too.
        Frames(6 * 60);
        const ztmath::Vector3 where(x, 2.0f, -3.0f * x);
        x += 1.0f;
        const std::vector<FMOD::Channel*> before = Channels();
        Send(row.event, &where);
        ASSERT_EQ(Started(before), std::vector<S::Sound>{row.sound});

        FMOD::Channel* channel = ChannelOf(row.sound);
        bool playing = false;
        FMOD_VECTOR position{};
        FMOD_MODE mode = 0;
        channel->isPlaying(&playing);
        channel->get3DAttributes(&position, nullptr);
        channel->getMode(&mode);
        EXPECT_TRUE(playing);
        EXPECT_EQ((mode & FMOD_2D) != 0, !row.atPosition);
        if (row.atPosition) {
            EXPECT_EQ(position.x, where.x);
            EXPECT_EQ(position.y, where.y);
            EXPECT_EQ(position.z, where.z);
        } else {
            // A 2D sound keeps its placement: the event's position is not for it.
            EXPECT_NE(position.x, where.x);
        }
    }

    // A restart plays nothing; a position-less enemy event still plays, where the last one was.
    const std::vector<FMOD::Channel*> before = Channels();
    Send("EVENT_RESTART");
    EXPECT_TRUE(Started(before).empty());
    Send("OGRE_DIED");
    EXPECT_EQ(Started(before), std::vector<S::Sound>{S::kOgreDeath});
}

TEST_F(SndFXTest, SoundsThatWaitForThemselvesAreNotRestartedWhilePlaying)
{
    LoadAndInit();
    const char* events[] = {"MB02_SLIDE_DODGE", "MB00_GOT_HIT_INVUL", "PLAY_DREV_SFX_CANT_DO_THAT",
                            "PLAY_DREV_SFX_NOT_ENUFF_GOLD", "PLAY_DREV_SFX_PAIN",
                            "PLAY_DREV_SFX_STRONGER_LIAO"};
    for (const char* event : events) {
        SCOPED_TRACE(event);
        const ztmath::Vector3 first(1, 2, 3);
        const ztmath::Vector3 second(9, 9, 9);
        std::vector<FMOD::Channel*> before = Channels();
        Send(event, &first);
        const std::vector<S::Sound> started = Started(before);
        ASSERT_EQ(started.size(), 1u);
        FMOD::Channel* channel = ChannelOf(started[0]);

        Frames(6);  // 0.1 s in: every one of them still plays
        Send(event, &second);
        EXPECT_EQ(ChannelOf(started[0]), channel);
        unsigned ms = 0;
        channel->getPosition(&ms, FMOD_TIMEUNIT_MS);
        EXPECT_GE(ms, 90u);  // went on, not started over
        if (started[0] == S::kTauntLaugh || started[0] == S::kRicochet) {
            FMOD_VECTOR position{};
            channel->get3DAttributes(&position, nullptr);
            EXPECT_EQ(position.x, 1.0f);  // not moved either
        }

        // Once it has ended, the next event plays it again.
        while (m_sound->IsPlaying(m_system->InstanceOf(started[0])))
            Frames(1);
        before = Channels();
        Send(event, &second);
        EXPECT_EQ(Started(before), started);
    }

    // Plain sounds start over on every event, the earlier channel playing on.
    std::vector<FMOD::Channel*> before = Channels();
    Send("PLAYER_JUMP");
    FMOD::Channel* first = ChannelOf(S::kPlayerJump);
    Frames(1);
    Send("PLAYER_JUMP");
    EXPECT_NE(ChannelOf(S::kPlayerJump), first);
    bool playing = false;
    first->isPlaying(&playing);
    EXPECT_TRUE(playing);
}

TEST_F(SndFXTest, APlayerHitSaysThePainLineWhenTheGeneratorDrawsAMultipleOfThree)
{
    LoadAndInit();
    int painSends = 0;
    m_app->m_messagingSystem.RegisterHandler("PLAY_DREV_SFX_PAIN", [&](const IEvent&) { ++painSends; });

    ztengine::SetRandomState({12345u, 67890u});
    std::vector<bool> expected;
    for (int i = 0; i < 300; ++i)
        expected.push_back(ztengine::RandomUInt() % 3u == 0u);
    ztengine::SetRandomState({12345u, 67890u});

    int expectedSends = 0;
    for (int i = 0; i < 300; ++i) {
        SCOPED_TRACE(i);
        const int sendsBefore = painSends;
        // Long enough apart for the hit sound and the pain line to have ended.
        Frames(2 * 60);
        const std::vector<FMOD::Channel*> before = Channels();
        Send("PLAYER_GOT_HIT");
        const bool pain = expected[static_cast<size_t>(i)];
        expectedSends += pain ? 1 : 0;
        ASSERT_EQ(painSends - sendsBefore, pain ? 1 : 0);
        const std::vector<S::Sound> started = Started(before);
        ASSERT_EQ(started, pain ? std::vector<S::Sound>({S::kPlayerHit, S::kDrevPain})
                                : std::vector<S::Sound>({S::kPlayerHit}));
    }
    // About one hit in three.
    EXPECT_GT(expectedSends, 70);
    EXPECT_LT(expectedSends, 130);
}

TEST_F(SndFXTest, APowerUpPlaysTheJingleThenTheStrongerLineOnce)
{
    LoadAndInit();
    std::vector<const char*> sent;
    m_app->m_messagingSystem.RegisterHandler("PLAY_DREV_SFX_STRONGER_LIAO", [&](const IEvent&) {
        // The jingle has already started when the line is asked for.
        sent.push_back(m_sound->IsPlaying(m_system->InstanceOf(S::kPowerUp)) ? "after jingle" : "before jingle");
    });

    std::vector<FMOD::Channel*> before = Channels();
    Send("PLAYER_GOT_POWERUP");
    EXPECT_EQ(Started(before), std::vector<S::Sound>({S::kPowerUp, S::kDrevStrongerLiao}));
    EXPECT_EQ(sent, std::vector<const char*>{"after jingle"});

    // A second power-up right after: the jingle again, the line not over itself.
    Frames(3);
    before = Channels();
    Send("PLAYER_GOT_POWERUP");
    EXPECT_EQ(Started(before), std::vector<S::Sound>{S::kPowerUp});
    EXPECT_EQ(sent.size(), 2u);
}

}  // namespace
