// The sound system on the silent output with a hand-stepped clock: start-up output, instance
// records and their messages, load failures, music fades and the channel-group operations.
#include <gtest/gtest.h>

#include <memory>

#include "core/sound/SoundSystem.h"
#include "platform/fmod/TestSounds.h"
#include "support/TestSupport.h"

namespace {

using ztengine::MusicRecord;
using ztengine::SoundSystem;
using ztengine::SoundSystemOptions;

constexpr float kFrame = 1.0f / 60.0f;

// Runs each test inside a fresh folder holding "audio/", since the sound system loads from
// "./audio/".
class SoundSystemTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_previousDir = std::filesystem::current_path();
        m_dir = zttest::MakeTempDir("sound-system");
        std::filesystem::create_directories(m_dir / "audio");
        std::filesystem::current_path(m_dir);
        zttest::WriteTone(m_dir / "audio", "one_second.wav");
        zttest::Tone music;
        music.seconds = 3.0;
        music.ogg = true;
        zttest::WriteTone(m_dir / "audio", "music.ogg", music);
    }

    void TearDown() override
    {
        m_sound.reset();
        std::filesystem::current_path(m_previousDir);
    }

    SoundSystem& Make(FMOD_OUTPUTTYPE output = FMOD_OUTPUTTYPE_NOSOUND)
    {
        SoundSystemOptions options;
        options.output = output;
        options.clock = m_clock.Function();
        zttest::CaptureStdout([&] { m_sound = std::make_unique<SoundSystem>(options); });
        return *m_sound;
    }

    // One frame of the game: time passes, then the sound system updates.
    void Frame(float dt = kFrame)
    {
        m_clock.now += dt;
        m_sound->Update(dt);
    }

    static unsigned PositionMs(FMOD::Channel* channel)
    {
        unsigned ms = 0;
        EXPECT_EQ(channel->getPosition(&ms, FMOD_TIMEUNIT_MS), FMOD_OK);
        return ms;
    }

    std::filesystem::path m_previousDir;
    std::filesystem::path m_dir;
    zttest::ManualClock m_clock;
    std::unique_ptr<SoundSystem> m_sound;
};

TEST_F(SoundSystemTest, ConstructionPrintsTheVersionAndMakesBothGroups)
{
    SoundSystemOptions options;
    options.output = FMOD_OUTPUTTYPE_NOSOUND;
    options.clock = m_clock.Function();
    const std::string out =
        zttest::CaptureStdout([&] { m_sound = std::make_unique<SoundSystem>(options); });
    EXPECT_EQ(out, "FMOD Version: " + std::to_string(FMOD_VERSION) + "\n");

    SoundSystem& sound = *m_sound;
    EXPECT_NE(sound.m_system, nullptr);
    EXPECT_NE(sound.m_musicGroup, nullptr);
    EXPECT_NE(sound.m_effectsGroup, nullptr);
    EXPECT_NE(sound.m_musicGroup, sound.m_effectsGroup);
    EXPECT_FALSE(sound.m_effectsPaused || sound.m_effectsMuted || sound.m_musicPaused ||
                 sound.m_musicMuted);
    EXPECT_EQ(sound.m_listenerPosition, ztmath::Vector3(0, 0, 0));
    EXPECT_EQ(sound.m_listenerForward, ztmath::Vector3(0, 0, 1));
    EXPECT_EQ(sound.m_listenerUp, ztmath::Vector3(0, 1, 0));
}

// On the machine's own speakers or, without a sound card, on no output at all: either way
// nothing of the libraries beneath reaches the terminal, and a run without sound says so once.
TEST_F(SoundSystemTest, TheDefaultDeviceKeepsTheLibrariesQuietAndSaysOnceWhenThereIsNone)
{
    SoundSystemOptions options;
    options.output = FMOD_OUTPUTTYPE_AUTODETECT;
    std::string out;
    const std::string err = zttest::CaptureStderr([&] {
        out = zttest::CaptureStdout([&] { m_sound = std::make_unique<SoundSystem>(options); });
    });
    FMOD_OUTPUTTYPE used = FMOD_OUTPUTTYPE_AUTODETECT;
    ASSERT_EQ(m_sound->m_system->getOutput(&used), FMOD_OK);
    const std::string version = "FMOD Version: " + std::to_string(FMOD_VERSION) + "\n";
    if (used == FMOD_OUTPUTTYPE_NOSOUND)
        EXPECT_EQ(out, version + "No sound device found: running without sound output.\n");
    else
        EXPECT_EQ(out, version);
    const std::string closing = zttest::CaptureStderr([&] { m_sound.reset(); });
    EXPECT_EQ(err + closing, "");
}

TEST_F(SoundSystemTest, InstanceIsPlayingForTheLengthOfItsSoundAndEndsQuietly)
{
    SoundSystem& sound = Make();
    const int32_t instance = sound.CreateSoundInstance(sound.LoadSound("one_second.wav"));
    ASSERT_EQ(instance, 0);
    EXPECT_FALSE(sound.IsPlaying(instance));  // never played

    sound.PlayInstance(instance);
    int frames = 0;
    const std::string out = zttest::CaptureStdout([&] {
        while (sound.IsPlaying(instance) && frames < 200) {
            Frame();
            ++frames;
        }
    });
    // 1.0 s at 60 frames a second: playing through frame 59, over in frame 60.
    EXPECT_EQ(frames, 60);
    EXPECT_EQ(out, "");
}

TEST_F(SoundSystemTest, PlayInstanceStartsAChannelWithTheRecordsSettings)
{
    SoundSystem& sound = Make();
    const int32_t instance = sound.CreateSoundInstance(sound.LoadSound("one_second.wav"));
    ztengine::SoundInstance& record = sound.m_instances[instance];
    EXPECT_EQ(record.m_volume, 1.0f);
    EXPECT_EQ(record.m_minDistance, 1.0f);
    EXPECT_EQ(record.m_maxDistance, 10000.0f);
    EXPECT_EQ(record.m_channel, nullptr);
    EXPECT_EQ(record.m_valid, 1);
    EXPECT_EQ(record.m_is2D, 0);

    sound.SetInstanceVolume(instance, 0.75f);
    sound.SetInstanceDistances(instance, 20.0f, 500.0f);
    sound.SetInstancePosition(instance, ztmath::Vector3(1, 2, 3));
    sound.SetInstance2D(instance, true);
    sound.PlayInstance(instance);
    FMOD::Channel* channel = record.m_channel;
    ASSERT_NE(channel, nullptr);

    float volume = 0, minDistance = 0, maxDistance = 0;
    FMOD_VECTOR position{};
    FMOD_MODE mode = 0;
    FMOD::ChannelGroup* group = nullptr;
    channel->getVolume(&volume);
    channel->get3DMinMaxDistance(&minDistance, &maxDistance);
    channel->get3DAttributes(&position, nullptr);
    channel->getMode(&mode);
    channel->getChannelGroup(&group);
    EXPECT_EQ(volume, 0.75f);
    EXPECT_EQ(minDistance, 20.0f);
    EXPECT_EQ(maxDistance, 500.0f);
    EXPECT_EQ(position.x, 1.0f);
    EXPECT_EQ(position.z, 3.0f);
    EXPECT_TRUE(mode & FMOD_2D);  // 2D, but position and distances are set all the same
    EXPECT_EQ(group, sound.m_effectsGroup);

    // A second play starts a new channel; the first plays on, untracked.
    sound.PlayInstance(instance);
    EXPECT_NE(record.m_channel, channel);
    bool playing = false;
    EXPECT_EQ(channel->isPlaying(&playing), FMOD_OK);
}

TEST_F(SoundSystemTest, InvalidSoundsAndInstancesAreRefusedWithTheirMessages)
{
    SoundSystem& sound = Make();
    for (int i = 0; i < 3; ++i)
        sound.LoadSound("one_second.wav");
    const int32_t real = sound.CreateSoundInstance(0);
    ASSERT_EQ(real, 0);

    for (int32_t bad : {99, -1, 3}) {
        int32_t result = 0;
        const std::string out =
            zttest::CaptureStdout([&] { result = sound.CreateSoundInstance(bad); });
        EXPECT_EQ(out, "Specified sound is not valid!\n") << bad;
        EXPECT_EQ(result, SoundSystem::kInvalidIndex) << bad;
        EXPECT_FALSE(sound.IsValidInstance(result));
    }
    EXPECT_EQ(sound.m_instances.size(), 1u);

    const int32_t refused = SoundSystem::kInvalidIndex;
    sound.m_instances.push_back({});
    sound.m_instances.back().m_valid = 0;
    for (int32_t bad : {refused, 1, 7}) {
        const std::string out = zttest::CaptureStdout([&] {
            EXPECT_FALSE(sound.IsValidInstance(bad));
            sound.SetInstanceVolume(bad, 0.1f);
            sound.SetInstanceDistances(bad, 2.0f, 3.0f);
            sound.SetInstancePosition(bad, ztmath::Vector3(1, 1, 1));
            sound.SetInstance2D(bad, true);
            sound.PlayInstance(bad);
            EXPECT_FALSE(sound.IsPlaying(bad));
        });
        const std::string line = "Not Valid Sound Instance!\n";
        std::string expected;
        for (int i = 0; i < 7; ++i)
            expected += line;
        EXPECT_EQ(out, expected) << bad;
    }
    // The refused creations did not touch the real instance 0.
    EXPECT_EQ(sound.m_instances[real].m_volume, 1.0f);
    EXPECT_EQ(sound.m_instances[real].m_channel, nullptr);
}

TEST_F(SoundSystemTest, MissingFilePrintsOneErrorLineAndItsEntryPlaysNothing)
{
    SoundSystem& sound = Make();
    int32_t soundIndex = -5;
    std::string out = zttest::CaptureStdout([&] { soundIndex = sound.LoadSound("nothere.wav"); });
    EXPECT_EQ(out, "FMOD error! (" + std::to_string(FMOD_ERR_FILE_NOTFOUND) + ") " +
                       FMOD_ErrorString(FMOD_ERR_FILE_NOTFOUND) + "\n");
    EXPECT_EQ(soundIndex, 0);
    EXPECT_EQ(sound.m_sounds.size(), 1u);
    EXPECT_EQ(sound.m_sounds[0], nullptr);
    out = zttest::CaptureStdout(
        [&] { EXPECT_EQ(sound.CreateSoundInstance(soundIndex), SoundSystem::kInvalidIndex); });
    EXPECT_EQ(out, "Specified sound is not valid!\n");

    int32_t music = -5;
    out = zttest::CaptureStdout([&] { music = sound.LoadBGM("nothere.ogg"); });
    EXPECT_EQ(out, "FMOD error! (" + std::to_string(FMOD_ERR_FILE_NOTFOUND) + ") " +
                       FMOD_ErrorString(FMOD_ERR_FILE_NOTFOUND) + "\n");
    EXPECT_EQ(music, 0);
    ASSERT_EQ(sound.m_musicRecords.size(), 1u);
    EXPECT_EQ(sound.m_musicRecords[0].m_valid, 1);

    // What the music system does with every track: nothing here may reach a null object.
    out = zttest::CaptureStdout([&] {
        sound.SetBGMLoop(music);
        sound.PlayBGM(music, 2.0f);
        Frame();
        sound.StopBGM(music, 2.0f);
        Frame();
        sound.StopBGM(music, 0.0f);
    });
    EXPECT_EQ(out, "");
    EXPECT_EQ(sound.m_musicRecords[0].m_channel, nullptr);
    EXPECT_EQ(sound.m_musicRecords[0].m_fadeState, MusicRecord::kFadeNone);

    // A record whose sound index a caller pointed at the failed entry plays nothing either.
    const int32_t good = sound.CreateSoundInstance(sound.LoadSound("one_second.wav"));
    sound.m_instances[good].m_soundIndex = soundIndex;
    out = zttest::CaptureStdout([&] { sound.PlayInstance(good); });
    EXPECT_EQ(out, "");
    EXPECT_FALSE(sound.IsPlaying(good));
}

TEST_F(SoundSystemTest, MusicRecordStartsWithItsDefaults)
{
    SoundSystem& sound = Make();
    const int32_t music = sound.LoadBGM("music.ogg");
    ASSERT_EQ(music, 0);
    const MusicRecord& record = sound.m_musicRecords[music];
    EXPECT_EQ(record.m_musicIndex, 0);
    EXPECT_EQ(record.m_volume, 1.0f);
    EXPECT_EQ(record.m_fadeState, MusicRecord::kFadeNone);
    EXPECT_EQ(record.m_channel, nullptr);
    EXPECT_EQ(record.m_looping, 1);
    EXPECT_EQ(record.m_useLoopPoints, 0);
    EXPECT_EQ(record.m_valid, 1);

    sound.m_musicRecords[music].m_useLoopPoints = 1;
    sound.m_musicRecords[music].m_loopEnd = 500;
    sound.SetBGMLoop(music, false, true, 10, 20);
    EXPECT_EQ(record.m_looping, 1);
    EXPECT_EQ(record.m_useLoopPoints, 0);
    EXPECT_EQ(record.m_loopEnd, 0u);

    sound.PlayBGM(music, 0.0f);
    FMOD_MODE mode = 0;
    int loopCount = 0;
    FMOD::ChannelGroup* group = nullptr;
    record.m_channel->getMode(&mode);
    record.m_channel->getLoopCount(&loopCount);
    record.m_channel->getChannelGroup(&group);
    EXPECT_TRUE(mode & FMOD_LOOP_NORMAL);
    EXPECT_TRUE(mode & FMOD_2D);
    EXPECT_EQ(loopCount, -1);
    EXPECT_EQ(group, sound.m_musicGroup);

    // Looping music outlives its 3 s file.
    for (int i = 0; i < 400; ++i)
        Frame();
    bool playing = false;
    EXPECT_EQ(record.m_channel->isPlaying(&playing), FMOD_OK);

    // Out-of-range and mismatched records are ignored.
    sound.PlayBGM(5, 0.0f);
    sound.StopBGM(-1, 0.0f);
    sound.SetBGMLoop(9);
    EXPECT_EQ(sound.m_musicRecords.size(), 1u);
}

// A two-second fade-in ends after about 120 frames at the track's own volume, whether that is
// full volume or below it.
TEST_F(SoundSystemTest, FadeInOfTwoSecondsEndsAfterAbout120Frames)
{
    struct Case {
        float trackVolume;
        float rate;
    };
    for (const Case c : {Case{1.0f, 0.5f}, Case{0.4f, 0.2f}}) {
        SCOPED_TRACE(c.trackVolume);
        m_sound.reset();
        SoundSystem& sound = Make();
        const int32_t music = sound.LoadBGM("music.ogg");
        sound.SetBGMLoop(music);
        MusicRecord& record = sound.m_musicRecords[music];
        record.m_volume = c.trackVolume;
        sound.PlayBGM(music, 2.0f);
        EXPECT_EQ(record.m_fadeState, MusicRecord::kFadeIn);
        float volume = -1.0f;
        record.m_channel->getVolume(&volume);
        EXPECT_EQ(volume, 0.0f);
        EXPECT_FLOAT_EQ(record.m_fadeInRate, c.rate);

        int frames = 0;
        float previous = 0.0f;
        while (record.m_fadeState != MusicRecord::kFadeNone && frames < 1000) {
            Frame();
            ++frames;
            record.m_channel->getVolume(&volume);
            EXPECT_GE(volume, previous);
            previous = volume;
        }
        EXPECT_GE(frames, 120);
        EXPECT_LE(frames, 121);
        // The last step may pass the track volume by less than one step (the channel holds a
        // full volume at 1).
        EXPECT_GE(volume, c.trackVolume - 1e-6f);
        EXPECT_LT(volume, c.trackVolume + c.rate * kFrame);
        // It stays there: the fade is over.
        Frame();
        float after = -1.0f;
        record.m_channel->getVolume(&after);
        EXPECT_EQ(after, volume);
    }
}

TEST_F(SoundSystemTest, FadeOutStopsTheMusicAtTheEndOfTheFade)
{
    SoundSystem& sound = Make();
    const int32_t music = sound.LoadBGM("music.ogg");
    sound.SetBGMLoop(music);
    MusicRecord& record = sound.m_musicRecords[music];

    struct Case {
        float fadeOut;
        int minFrames;
        int maxFrames;
    };
    // Fade-out 0 stops inside StopBGM (no frame needed).
    for (const Case c : {Case{0.5f, 29, 31}, Case{2.0f, 119, 121}, Case{0.0f, 0, 0}}) {
        sound.PlayBGM(music, 0.0f);
        FMOD::Channel* channel = record.m_channel;
        Frame();
        sound.StopBGM(music, c.fadeOut);
        int frames = 0;
        bool playing = false;
        while (channel->isPlaying(&playing) == FMOD_OK && frames < 1000) {
            Frame();
            ++frames;
        }
        EXPECT_GE(frames, c.minFrames) << c.fadeOut;
        EXPECT_LE(frames, c.maxFrames) << c.fadeOut;
        EXPECT_EQ(record.m_fadeState, MusicRecord::kFadeNone) << c.fadeOut;
    }
}

TEST_F(SoundSystemTest, StoppingMusicThatNeverPlayedIsHarmless)
{
    SoundSystem& sound = Make();
    const int32_t music = sound.LoadBGM("music.ogg");
    const std::string out = zttest::CaptureStdout([&] {
        sound.StopBGM(music, 0.0f);
        sound.StopBGM(music, 2.0f);
        Frame();
        Frame();
    });
    EXPECT_EQ(out, "");
    EXPECT_EQ(sound.m_musicRecords[music].m_fadeState, MusicRecord::kFadeNone);
    EXPECT_EQ(sound.m_musicRecords[music].m_channel, nullptr);
}

TEST_F(SoundSystemTest, CrossFadeBackToATrackStillFadingOutRestartsIt)
{
    SoundSystem& sound = Make();
    const int32_t cave = sound.LoadBGM("music.ogg");
    const int32_t battle = sound.LoadBGM("music.ogg");
    sound.PlayBGM(cave, 2.0f);
    for (int i = 0; i < 130; ++i)
        Frame();
    sound.StopBGM(cave, 2.0f);
    sound.PlayBGM(battle, 2.0f);
    for (int i = 0; i < 30; ++i)
        Frame();
    // Back to the cave while it is still fading out.
    FMOD::Channel* fadingCave = sound.m_musicRecords[cave].m_channel;
    sound.StopBGM(battle, 2.0f);
    sound.PlayBGM(cave, 2.0f);
    bool playing = true;
    EXPECT_EQ(fadingCave->isPlaying(&playing), FMOD_ERR_INVALID_HANDLE);
    EXPECT_EQ(sound.m_musicRecords[cave].m_fadeState, MusicRecord::kFadeIn);
    for (int i = 0; i < 130; ++i)
        Frame();
    EXPECT_EQ(sound.m_musicRecords[cave].m_channel->isPlaying(&playing), FMOD_OK);
    EXPECT_EQ(sound.m_musicRecords[battle].m_channel->isPlaying(&playing), FMOD_ERR_INVALID_HANDLE);
    float volume = 0.0f;
    sound.m_musicRecords[cave].m_channel->getVolume(&volume);
    EXPECT_FLOAT_EQ(volume, 1.0f);
}

TEST_F(SoundSystemTest, PausingEffectsFreezesTheirChannelsAndNotTheMusic)
{
    SoundSystem& sound = Make();
    const int32_t instance = sound.CreateSoundInstance(sound.LoadSound("one_second.wav"));
    const int32_t music = sound.LoadBGM("music.ogg");
    sound.PlayInstance(instance);
    sound.PlayBGM(music, 0.0f);
    FMOD::Channel* effect = sound.m_instances[instance].m_channel;
    FMOD::Channel* track = sound.m_musicRecords[music].m_channel;
    for (int i = 0; i < 30; ++i)
        Frame();
    EXPECT_EQ(PositionMs(effect), 500u);

    sound.SetEffectsPaused(true);
    EXPECT_TRUE(sound.m_effectsPaused);
    for (int i = 0; i < 120; ++i)
        Frame();
    EXPECT_EQ(PositionMs(effect), 500u);
    EXPECT_TRUE(sound.IsPlaying(instance));
    EXPECT_EQ(PositionMs(track), 2500u);

    sound.SetEffectsPaused(false);
    for (int i = 0; i < 29; ++i)
        Frame();
    EXPECT_TRUE(sound.IsPlaying(instance));
    Frame();
    Frame();
    EXPECT_FALSE(sound.IsPlaying(instance));
}

TEST_F(SoundSystemTest, MutedMusicStaysMutedThroughAPauseAndResume)
{
    SoundSystem& sound = Make();
    const int32_t music = sound.LoadBGM("music.ogg");
    sound.PlayBGM(music, 0.0f);
    FMOD::Channel* track = sound.m_musicRecords[music].m_channel;

    // The settings menu mutes; focus is lost (music then effects paused) and regained.
    sound.SetMusicMuted(true);
    Frame(0.5f);
    EXPECT_EQ(PositionMs(track), 500u);  // muted music keeps time
    sound.SetMusicPaused(true);
    sound.SetEffectsPaused(true);
    EXPECT_TRUE(sound.m_musicPaused && sound.m_effectsPaused);
    Frame(1.0f);
    EXPECT_EQ(PositionMs(track), 500u);
    sound.SetMusicPaused(false);
    sound.SetEffectsPaused(false);
    Frame(0.25f);
    EXPECT_EQ(PositionMs(track), 750u);

    bool mute = false, paused = true;
    sound.m_musicGroup->getMute(&mute);
    sound.m_musicGroup->getPaused(&paused);
    EXPECT_TRUE(sound.m_musicMuted);
    EXPECT_TRUE(mute);
    EXPECT_FALSE(sound.m_musicPaused);
    EXPECT_FALSE(paused);
    sound.m_effectsGroup->getMute(&mute);
    EXPECT_FALSE(mute);
    EXPECT_FALSE(sound.m_effectsMuted);
}

TEST_F(SoundSystemTest, GroupOperationsSkipAMissingGroup)
{
    SoundSystem& sound = Make();
    sound.m_effectsGroup = nullptr;
    sound.m_musicGroup = nullptr;
    const std::string out = zttest::CaptureStdout([&] {
        sound.SetEffectsPaused(true);
        sound.SetEffectsMuted(true);
        sound.SetMusicPaused(true);
        sound.SetMusicMuted(true);
    });
    EXPECT_EQ(out, "");
    EXPECT_FALSE(sound.m_effectsPaused || sound.m_effectsMuted || sound.m_musicPaused ||
                 sound.m_musicMuted);
}

TEST_F(SoundSystemTest, LoopbackHearsPlayingSoundAndSilenceFromMutedOrPausedGroups)
{
    SoundSystem& sound = Make(FMOD_OUTPUTTYPE_LOOPBACK);
    FMOD_OUTPUTTYPE output = FMOD_OUTPUTTYPE_NOSOUND;
    sound.m_system->getOutput(&output);
    ASSERT_EQ(output, FMOD_OUTPUTTYPE_LOOPBACK);
    zttest::Tone tone;
    tone.seconds = 5.0;
    zttest::WriteTone(m_dir / "audio", "a440.wav", tone);
    const int32_t effect = sound.CreateSoundInstance(sound.LoadSound("a440.wav"));
    sound.SetInstance2D(effect, true);
    const int32_t music = sound.LoadBGM("music.ogg");

    constexpr int kBlock = 4096;
    // One frame of the game, then one block of the mix; the level of its second half, after
    // any gain ramp.
    auto level = [&] {
        Frame();
        std::vector<float> out(kBlock * 2, 1.0f);
        EXPECT_EQ(sound.m_system->renderLoopback(out.data(), kBlock), FMOD_OK);
        return zttest::Rms(out, kBlock / 2, kBlock);
    };

    EXPECT_EQ(level(), 0.0);
    sound.PlayInstance(effect);
    EXPECT_GT(level(), 0.1);
    sound.SetEffectsMuted(true);
    EXPECT_EQ(level(), 0.0);
    sound.SetEffectsPaused(true);
    EXPECT_EQ(level(), 0.0);
    sound.SetEffectsPaused(false);
    EXPECT_EQ(level(), 0.0);  // still muted after the resume
    sound.SetEffectsMuted(false);
    EXPECT_GT(level(), 0.1);
    sound.SetEffectsPaused(true);
    EXPECT_EQ(level(), 0.0);

    // Music, in its own group, is heard while the effects are paused.
    sound.SetBGMLoop(music);
    sound.PlayBGM(music, 0.0f);
    EXPECT_GT(level(), 0.1);
    sound.SetMusicMuted(true);
    EXPECT_EQ(level(), 0.0);
    sound.SetMusicMuted(false);
    sound.SetMusicPaused(true);
    EXPECT_EQ(level(), 0.0);
    sound.SetMusicPaused(false);
    sound.SetEffectsPaused(false);
    EXPECT_GT(level(), 0.2);  // both together
}

}  // namespace
