// The music on the generated tracks and the game's event names: the loading jobs and the boss
// track order of a program run, and one road through the events of a run that checks which
// track plays, the cross-fades and that a track asked for twice goes on. The road runs on the
// silent layer, on OpenAL's loopback mixer and on OpenAL's null device, with the same timings.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "core/sound/SoundSystem.h"
#include "core/subsys/BGMSystem/BGMSystem.h"
#include "core/util/Random.h"
#include "platform/CRand.h"
#include "platform/fmod/TestSounds.h"
#include "support/HeadlessApp.h"
#include "support/NullRenderer3D.h"
#include "support/TestSupport.h"

namespace {

using ztengine::BGMSystem;
using ztengine::IEvent;
using ztengine::MusicRecord;
using ztengine::SoundSystem;

constexpr float kFrame = 1.0f / 60.0f;

// OpenAL reads its choice of back end once, when it is first used: the null device is picked
// for the whole program, before any test opens an output.
[[maybe_unused]] const bool g_openALNullDevice = [] {
    setenv("ALSOFT_DRIVERS", "null", 0);
    return true;
}();

class MusicApp : public zttest::HeadlessApp {
public:
    MusicApp(SoundSystem* sound, ztengine::Graphics3D* graphics)
    {
        m_soundService = sound;
        m_graphics3DService = graphics;
    }
};

struct Output {
    const char* name;
    FMOD_OUTPUTTYPE type;
};

class BGMTest : public testing::TestWithParam<Output> {
protected:
    void SetUp() override
    {
        m_previousDir = std::filesystem::current_path();
        const std::filesystem::path dir = zttest::MakeTempDir("bgm");
        std::filesystem::create_directory_symlink(std::filesystem::path(ZT_RUNTIME_DIR) / "audio", dir / "audio");
        std::filesystem::current_path(dir);
    }

    void TearDown() override
    {
        m_system.reset();
        m_app.reset();
        m_sound.reset();
        std::filesystem::current_path(m_previousDir);
    }

    void Make(const Output& output)
    {
        ztengine::SoundSystemOptions options;
        options.output = output.type;
        options.clock = m_clock.Function();
        zttest::CaptureStdout([&] { m_sound = std::make_unique<SoundSystem>(options); });
        FMOD_OUTPUTTYPE inUse = FMOD_OUTPUTTYPE_AUTODETECT;
        m_sound->m_system->getOutput(&inUse);
        ASSERT_EQ(inUse, output.type) << "the output could not be opened";
        m_renderer.SetCurrentRenderContext(m_renderer.CreateRenderContext());
        m_app = std::make_unique<MusicApp>(m_sound.get(), &m_renderer);
        zttest::CaptureStdout([&] {
            m_app->m_messagingSystem.LoadEventNames((std::filesystem::path(ZT_RUNTIME_DIR) / "EventNames.txt").c_str());
        });
        m_system = std::make_unique<BGMSystem>(m_app.get());
    }

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

    std::string Send(const char* name)
    {
        return zttest::CaptureStdout([&] { m_app->m_messagingSystem.SendEventByName(name, IEvent()); });
    }

    void Frames(int n)
    {
        for (int i = 0; i < n; ++i) {
            m_clock.now += kFrame;
            m_sound->Update(kFrame);
            if (m_sound->m_system != nullptr && GetParam().type == FMOD_OUTPUTTYPE_LOOPBACK) {
                std::vector<float> mix(2 * 735);
                m_sound->m_system->renderLoopback(mix.data(), 735);
            }
        }
    }

    MusicRecord& Music(uint32_t track) { return m_sound->m_musicRecords[track]; }
    bool Playing(uint32_t track)
    {
        bool playing = false;
        FMOD::Channel* channel = Music(track).m_channel;
        return channel != nullptr && channel->isPlaying(&playing) == FMOD_OK && playing;
    }
    float Volume(uint32_t track)
    {
        float volume = -1.0f;
        Music(track).m_channel->getVolume(&volume);
        return volume;
    }
    unsigned PositionMs(uint32_t track)
    {
        unsigned ms = 0;
        Music(track).m_channel->getPosition(&ms, FMOD_TIMEUNIT_MS);
        return ms;
    }
    // Which tracks are heard at all.
    std::set<uint32_t> PlayingTracks()
    {
        std::set<uint32_t> playing;
        for (uint32_t track = 0; track < m_sound->m_musicRecords.size(); ++track)
            if (Playing(track))
                playing.insert(track);
        return playing;
    }

    // After a full cross-fade only the new track is heard, at full volume.
    void ExpectSettledOn(uint32_t track)
    {
        Frames(125);
        EXPECT_EQ(PlayingTracks(), std::set<uint32_t>{track});
        EXPECT_EQ(Music(track).m_fadeState, MusicRecord::kFadeNone);
        EXPECT_NEAR(Volume(track), 1.0f, 0.02f);
    }

    std::filesystem::path m_previousDir;
    zttest::ManualClock m_clock;
    zttest::NullRenderer3D m_renderer;
    std::unique_ptr<SoundSystem> m_sound;
    std::unique_ptr<MusicApp> m_app;
    std::unique_ptr<BGMSystem> m_system;
    size_t m_jobsQueued = 0;
};

TEST_P(BGMTest, MusicFollowsTheRunWithTwoSecondCrossFades)
{
    ASSERT_NO_FATAL_FAILURE(Make(GetParam()));
    const std::string loading = LoadAndInit();
    EXPECT_EQ(m_jobsQueued, 9u);
    EXPECT_EQ(loading, "");
    BGMSystem& bgm = *m_system;
    ASSERT_EQ(m_sound->m_musicRecords.size(), 9u);
    for (uint32_t track = 0; track < 9; ++track) {
        EXPECT_NE(m_sound->m_streams[track], nullptr);
        EXPECT_EQ(Music(track).m_looping, 1);
    }
    EXPECT_EQ(bgm.m_currentTrack, BGMSystem::kNoTrack);
    EXPECT_TRUE(PlayingTracks().empty());  // nothing until the first event asks

    // The main menu: the cave track fades in over 2 s, stopping nothing.
    EXPECT_EQ(Send("PLAY_MAIN_BGM"), "");
    EXPECT_EQ(PlayingTracks(), std::set<uint32_t>{bgm.m_caveTrack});
    EXPECT_EQ(Volume(bgm.m_caveTrack), 0.0f);
    Frames(60);
    EXPECT_NEAR(Volume(bgm.m_caveTrack), 0.5f, 0.02f);
    ExpectSettledOn(bgm.m_caveTrack);

    // Asked for again (leaving the overworld ends in the cave track too): it just goes on.
    const unsigned before = PositionMs(bgm.m_caveTrack);
    Send("EXIT_OVERWORLD");
    Frames(1);
    EXPECT_GT(PositionMs(bgm.m_caveTrack), before);
    EXPECT_EQ(Music(bgm.m_caveTrack).m_fadeState, MusicRecord::kFadeNone);

    // Into the overworld: one fades out while the other fades in.
    EXPECT_EQ(Send("ENTER_OVERWORLD"), "playing overworld music\n");
    Frames(60);
    EXPECT_EQ(PlayingTracks(), std::set<uint32_t>({bgm.m_caveTrack, bgm.m_overworldTrack}));
    EXPECT_NEAR(Volume(bgm.m_caveTrack), 0.5f, 0.02f);
    EXPECT_NEAR(Volume(bgm.m_overworldTrack), 0.5f, 0.02f);
    ExpectSettledOn(bgm.m_overworldTrack);

    // A room fight: the battle track the generator draws.
    const ztengine::RandomState state = ztengine::GetRandomState();
    const int32_t drawn = ztengine::RandomRange(0, 2);
    ztengine::SetRandomState(state);
    EXPECT_EQ(Send("DUNGEON_FIGHT_BEGIN"), "play battle music\n");
    ExpectSettledOn(bgm.m_battleTracks[drawn]);
    EXPECT_EQ(Send("DUNGEON_FIGHT_END"), "stop battle music\n");
    ExpectSettledOn(bgm.m_caveTrack);

    // The first three mini-boss fights of a run: three different tracks; the fourth repeats.
    std::set<uint32_t> bossTracks;
    uint32_t firstBossTrack = 0;
    for (int fight = 0; fight < 4; ++fight) {
        SCOPED_TRACE(fight);
        EXPECT_EQ(Send("DUNGEON_BOSS_BEGIN"), "Begin Dungeon Boss Fight\n");
        const uint32_t track = static_cast<uint32_t>(bgm.m_currentTrack);
        if (fight == 0)
            firstBossTrack = track;
        if (fight < 3)
            bossTracks.insert(track);
        else
            EXPECT_EQ(track, firstBossTrack);
        ExpectSettledOn(track);
        EXPECT_EQ(Send("DUNGEON_BOSS_END"), "End Dungeon Boss Fight\n");
        ExpectSettledOn(bgm.m_caveTrack);
    }
    EXPECT_EQ(bossTracks, std::set<uint32_t>(std::begin(bgm.m_bossTracks), std::end(bgm.m_bossTracks)));
    EXPECT_EQ(bossTracks.size(), 3u);

    // The final fight and its end.
    Send("FINAL_BOSS_FIGHT_BEGIN");
    ExpectSettledOn(bgm.m_finalBossTrack);
    Send("FIGHT_BOSS_FIGHT_END");
    ExpectSettledOn(bgm.m_caveTrack);

    // A restart: back to the overworld, and the boss order starts over.
    Send("DUNGEON_BOSS_BEGIN");
    EXPECT_NE(static_cast<uint32_t>(bgm.m_currentTrack), firstBossTrack);
    Send("EVENT_RESTART");
    EXPECT_EQ(bgm.m_bossFightCount, 0);
    ExpectSettledOn(bgm.m_overworldTrack);
    Send("DUNGEON_BOSS_BEGIN");
    EXPECT_EQ(static_cast<uint32_t>(bgm.m_currentTrack), firstBossTrack);
}

INSTANTIATE_TEST_SUITE_P(Outputs, BGMTest,
                         testing::Values(Output{"Silent", FMOD_OUTPUTTYPE_NOSOUND},
                                         Output{"Loopback", FMOD_OUTPUTTYPE_LOOPBACK},
                                         Output{"OpenALNullDevice", FMOD_OUTPUTTYPE_OPENAL}),
                         [](const testing::TestParamInfo<Output>& info) { return info.param.name; });

// The boss tracks get an order of their own in each program run, always all three.
TEST(BGMSystemLoad, BossTracksArePermutedOncePerProgramRun)
{
    const std::filesystem::path previous = std::filesystem::current_path();
    const std::filesystem::path dir = zttest::MakeTempDir("bgm-order");
    std::filesystem::create_directory_symlink(std::filesystem::path(ZT_RUNTIME_DIR) / "audio", dir / "audio");
    std::filesystem::current_path(dir);

    std::set<std::string> orders;
    for (unsigned seed = 1; seed <= 12; ++seed) {
        ztengine::SoundSystemOptions options;
        options.output = FMOD_OUTPUTTYPE_NOSOUND;
        std::unique_ptr<SoundSystem> sound;
        zttest::CaptureStdout([&] { sound = std::make_unique<SoundSystem>(options); });
        MusicApp app(sound.get(), nullptr);
        BGMSystem bgm(&app);
        ztplatform::Srand(seed);
        bgm.Load();
        while (app.HasPendingJobs())
            app.RunNextJob();
        // Streams are loaded in file order: boss_fight1, 2 and 3 are music ids 5, 6 and 7.
        std::string order;
        for (uint32_t track : bgm.m_bossTracks)
            order += std::to_string(track);
        std::string sorted = order;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(sorted, "567") << "seed " << seed;
        orders.insert(order);
    }
    EXPECT_GE(orders.size(), 3u);
    std::filesystem::current_path(previous);
}

// While play is current the world is heard from the camera.
TEST(BGMSystemUpdate, TheListenerFollowsTheCamera)
{
    ztengine::SoundSystemOptions options;
    options.output = FMOD_OUTPUTTYPE_NOSOUND;
    std::unique_ptr<SoundSystem> sound;
    zttest::CaptureStdout([&] { sound = std::make_unique<SoundSystem>(options); });
    zttest::NullRenderer3D renderer;
    renderer.SetCurrentRenderContext(renderer.CreateRenderContext());
    MusicApp app(sound.get(), &renderer);
    BGMSystem bgm(&app);
    renderer.SetCameraPosition(ztmath::Vector3(4.0f, 5.0f, -6.0f));
    bgm.Update(kFrame);
    EXPECT_EQ(sound->m_listenerPosition, ztmath::Vector3(4.0f, 5.0f, -6.0f));
}

}  // namespace
