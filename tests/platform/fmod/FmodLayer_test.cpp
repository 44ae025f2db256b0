// The sound layer on its silent output with a hand-stepped clock: loading errors, channel time,
// loops, pausing, handles that outlive their channels, stealing and streams.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>

#include "platform/fmod/Fmod.h"
#include "platform/fmod/TestSounds.h"
#include "support/TestSupport.h"

namespace {

class SilentLayer : public testing::Test {
protected:
    void SetUp() override
    {
        m_dir = zttest::MakeTempDir("fmod-layer");
        ASSERT_EQ(FMOD_System_Create(&m_system), FMOD_OK);
        ASSERT_EQ(m_system->setOutput(FMOD_OUTPUTTYPE_NOSOUND), FMOD_OK);
        ASSERT_EQ(m_system->setClock(m_clock.Function()), FMOD_OK);
        ASSERT_EQ(m_system->init(m_channels, FMOD_INIT_3D_RIGHTHANDED, nullptr), FMOD_OK);
    }

    void TearDown() override
    {
        if (m_system != nullptr)
            m_system->release();
    }

    FMOD::Sound* Load(double seconds, FMOD_MODE mode = FMOD_2D, bool stream = false,
                      bool ogg = false)
    {
        zttest::Tone shape;
        shape.seconds = seconds;
        shape.ogg = ogg;
        const auto path = zttest::WriteTone(
            m_dir, "tone" + std::to_string(m_files++) + (ogg ? ".ogg" : ".wav"), shape);
        FMOD::Sound* sound = nullptr;
        const FMOD_RESULT r = stream ? m_system->createStream(path.c_str(), mode, &sound)
                                     : m_system->createSound(path.c_str(), mode, &sound);
        EXPECT_EQ(r, FMOD_OK) << FMOD_ErrorString(r);
        return sound;
    }

    FMOD::Channel* Play(FMOD::Sound* sound, bool paused = false)
    {
        FMOD::Channel* channel = nullptr;
        EXPECT_EQ(m_system->playSound(FMOD_CHANNEL_FREE, sound, paused, &channel), FMOD_OK);
        return channel;
    }

    void Step(double seconds)
    {
        m_clock.now += seconds;
        ASSERT_EQ(m_system->update(), FMOD_OK);
    }

    static unsigned PositionMs(FMOD::Channel* channel)
    {
        unsigned ms = 0;
        EXPECT_EQ(channel->getPosition(&ms, FMOD_TIMEUNIT_MS), FMOD_OK);
        return ms;
    }

    static FMOD_RESULT Playing(FMOD::Channel* channel, bool* playing)
    {
        *playing = true;
        return channel->isPlaying(playing);
    }

    int m_channels = 32;
    std::filesystem::path m_dir;
    zttest::ManualClock m_clock;
    FMOD::System* m_system = nullptr;
    int m_files = 0;
};

TEST_F(SilentLayer, ReportsVersionAndGuardsItsSetUpOrder)
{
    unsigned version = 0;
    EXPECT_EQ(m_system->getVersion(&version), FMOD_OK);
    EXPECT_GE(version, 0x44445u);
    FMOD_OUTPUTTYPE output = FMOD_OUTPUTTYPE_AUTODETECT;
    EXPECT_EQ(m_system->getOutput(&output), FMOD_OK);
    EXPECT_EQ(output, FMOD_OUTPUTTYPE_NOSOUND);

    EXPECT_EQ(m_system->init(8, FMOD_INIT_NORMAL, nullptr), FMOD_ERR_INITIALIZED);
    EXPECT_EQ(m_system->setOutput(FMOD_OUTPUTTYPE_OPENAL), FMOD_ERR_INITIALIZED);
    EXPECT_EQ(m_system->setClock([] { return 0.0; }), FMOD_ERR_INITIALIZED);
    float samples[2] = {};
    EXPECT_EQ(m_system->renderLoopback(samples, 1), FMOD_ERR_UNSUPPORTED);

    FMOD::System* fresh = nullptr;
    ASSERT_EQ(FMOD_System_Create(&fresh), FMOD_OK);
    FMOD::Sound* sound = reinterpret_cast<FMOD::Sound*>(&version);
    EXPECT_EQ(fresh->createSound("x.wav", FMOD_3D, &sound), FMOD_ERR_UNINITIALIZED);
    EXPECT_EQ(sound, nullptr);
    FMOD::ChannelGroup* group = nullptr;
    EXPECT_EQ(fresh->createChannelGroup(nullptr, &group), FMOD_ERR_UNINITIALIZED);
    EXPECT_EQ(fresh->update(), FMOD_ERR_UNINITIALIZED);
    EXPECT_EQ(fresh->init(0, FMOD_INIT_NORMAL, nullptr), FMOD_ERR_INVALID_PARAM);
    fresh->release();
}

TEST_F(SilentLayer, LoadFailuresNameTheirCauseAndLeaveNoSound)
{
    std::ofstream(m_dir / "notes.wav") << "this is text, not audio";
    std::filesystem::create_directories(m_dir / "folder.wav");
    zttest::Tone sixChannels;
    sixChannels.seconds = 0.1;
    sixChannels.channels = 6;
    const auto surround = zttest::WriteTone(m_dir, "surround.wav", sixChannels);
    ASSERT_FALSE(surround.empty());

    struct Case {
        std::string path;
        FMOD_RESULT expected;
    };
    const Case cases[] = {
        {(m_dir / "missing.wav").string(), FMOD_ERR_FILE_NOTFOUND},
        {(m_dir / "notes.wav").string(), FMOD_ERR_FORMAT},
        {(m_dir / "folder.wav").string(), FMOD_ERR_FILE_BAD},
        {surround.string(), FMOD_ERR_FORMAT},
        {"", FMOD_ERR_INVALID_PARAM},
    };
    for (const Case& c : cases) {
        for (bool stream : {false, true}) {
            FMOD::Sound* sound = reinterpret_cast<FMOD::Sound*>(&m_files);
            const FMOD_RESULT r = stream ? m_system->createStream(c.path.c_str(), FMOD_2D, &sound)
                                         : m_system->createSound(c.path.c_str(), FMOD_3D, &sound);
            EXPECT_EQ(r, c.expected) << c.path << (stream ? " as stream" : "");
            EXPECT_EQ(sound, nullptr) << c.path;
            EXPECT_STRNE(FMOD_ErrorString(r), "");
        }
    }
    FMOD::Channel* channel = reinterpret_cast<FMOD::Channel*>(&m_files);
    EXPECT_EQ(m_system->playSound(FMOD_CHANNEL_FREE, nullptr, false, &channel),
              FMOD_ERR_INVALID_PARAM);
    EXPECT_EQ(channel, nullptr);
}

TEST_F(SilentLayer, WavAndOggDecodeToTheirLength)
{
    for (bool ogg : {false, true}) {
        for (bool stream : {false, true}) {
            FMOD::Sound* sound = Load(1.0, FMOD_2D, stream, ogg);
            ASSERT_NE(sound, nullptr);
            unsigned ms = 0, frames = 0;
            EXPECT_EQ(sound->getLength(&ms, FMOD_TIMEUNIT_MS), FMOD_OK);
            EXPECT_EQ(sound->getLength(&frames, FMOD_TIMEUNIT_PCM), FMOD_OK);
            EXPECT_EQ(ms, 1000u);
            EXPECT_EQ(frames, 44100u);
            FMOD_MODE mode = 0;
            sound->getMode(&mode);
            EXPECT_EQ((mode & FMOD_CREATESTREAM) != 0, stream);
        }
    }
}

TEST_F(SilentLayer, ChannelPlaysForItsLengthThenItsHandleReadsAsEnded)
{
    FMOD::Sound* sound = Load(1.0);
    FMOD::Channel* channel = Play(sound);
    bool playing = false;
    Step(0.5);
    EXPECT_EQ(Playing(channel, &playing), FMOD_OK);
    EXPECT_TRUE(playing);
    EXPECT_EQ(PositionMs(channel), 500u);

    Step(0.49);
    EXPECT_EQ(Playing(channel, &playing), FMOD_OK);
    EXPECT_TRUE(playing);
    Step(0.02);
    EXPECT_EQ(Playing(channel, &playing), FMOD_ERR_INVALID_HANDLE);
    EXPECT_FALSE(playing);

    // A stale handle changes nothing and reports the same.
    EXPECT_EQ(channel->setVolume(0.5f), FMOD_ERR_INVALID_HANDLE);
    EXPECT_EQ(channel->stop(), FMOD_ERR_INVALID_HANDLE);
    int count = -1;
    m_system->getChannelsPlaying(&count);
    EXPECT_EQ(count, 0);
}

TEST_F(SilentLayer, StoppedChannelEndsAtOnceAndFreesItsSlotForTheNextSound)
{
    FMOD::Sound* sound = Load(1.0);
    FMOD::Channel* first = Play(sound);
    EXPECT_EQ(first->stop(), FMOD_OK);
    bool playing = true;
    EXPECT_EQ(first->isPlaying(&playing), FMOD_ERR_INVALID_HANDLE);
    FMOD::Channel* second = Play(sound);
    EXPECT_NE(second, first);  // a new handle, even on the same slot
    EXPECT_EQ(second->isPlaying(&playing), FMOD_OK);
    EXPECT_TRUE(playing);
    EXPECT_EQ(first->setPaused(true), FMOD_ERR_INVALID_HANDLE);
}

TEST_F(SilentLayer, PauseFreezesPositionWhetherByChannelOrGroup)
{
    FMOD::ChannelGroup* group = nullptr;
    ASSERT_EQ(m_system->createChannelGroup("effects", &group), FMOD_OK);
    FMOD::Sound* sound = Load(1.0);
    FMOD::Channel* byChannel = Play(sound);
    FMOD::Channel* byGroup = Play(sound);
    ASSERT_EQ(byGroup->setChannelGroup(group), FMOD_OK);

    Step(0.25);
    // Pausing between updates still counts the time up to the pause.
    m_clock.now += 0.05;
    EXPECT_EQ(byChannel->setPaused(true), FMOD_OK);
    EXPECT_EQ(group->setPaused(true), FMOD_OK);
    Step(5.0);
    EXPECT_EQ(PositionMs(byChannel), 300u);
    EXPECT_EQ(PositionMs(byGroup), 300u);
    bool paused = false;
    byChannel->getPaused(&paused);
    EXPECT_TRUE(paused);
    byGroup->getPaused(&paused);
    EXPECT_FALSE(paused);  // its own flag; the group holds it

    EXPECT_EQ(byChannel->setPaused(false), FMOD_OK);
    EXPECT_EQ(group->setPaused(false), FMOD_OK);
    Step(0.5);
    EXPECT_EQ(PositionMs(byChannel), 800u);
    EXPECT_EQ(PositionMs(byGroup), 800u);
    Step(0.25);
    bool playing = true;
    EXPECT_EQ(byChannel->isPlaying(&playing), FMOD_ERR_INVALID_HANDLE);
    EXPECT_EQ(byGroup->isPlaying(&playing), FMOD_ERR_INVALID_HANDLE);
}

TEST_F(SilentLayer, MuteKeepsTimeRunningAndOutlastsAPause)
{
    FMOD::ChannelGroup* group = nullptr;
    ASSERT_EQ(m_system->createChannelGroup(nullptr, &group), FMOD_OK);
    FMOD::Channel* channel = Play(Load(1.0));
    channel->setChannelGroup(group);
    ASSERT_EQ(group->setMute(true), FMOD_OK);
    Step(0.4);
    EXPECT_EQ(PositionMs(channel), 400u);

    group->setPaused(true);
    Step(1.0);
    group->setPaused(false);
    bool mute = false;
    group->getMute(&mute);
    EXPECT_TRUE(mute);
    Step(0.3);
    EXPECT_EQ(PositionMs(channel), 700u);
    float volume = 0.0f;
    channel->getVolume(&volume);
    EXPECT_EQ(volume, 1.0f);  // muting is not a volume change
}

TEST_F(SilentLayer, LoopingFollowsModeCountAndPoints)
{
    FMOD::Sound* sound = Load(1.0);

    // For ever: well past the end, the position wraps.
    FMOD::Channel* forever = Play(sound);
    forever->setMode(FMOD_LOOP_NORMAL);
    forever->setLoopCount(-1);

    // Twice more: three passes in all.
    FMOD::Channel* thrice = Play(sound);
    thrice->setMode(FMOD_LOOP_NORMAL);
    thrice->setLoopCount(2);

    // Between 200 ms and 400 ms (end frame inclusive), once the first pass reaches 400 ms.
    FMOD::Channel* points = Play(sound);
    points->setMode(FMOD_LOOP_NORMAL);
    ASSERT_EQ(points->setLoopPoints(8820, FMOD_TIMEUNIT_PCM, 17639, FMOD_TIMEUNIT_PCM), FMOD_OK);
    unsigned start = 0, end = 0;
    points->getLoopPoints(&start, FMOD_TIMEUNIT_PCM, &end, FMOD_TIMEUNIT_PCM);
    EXPECT_EQ(start, 8820u);
    EXPECT_EQ(end, 17639u);

    // Milliseconds convert to the nearest frame and back.
    FMOD::Channel* inMs = Play(sound);
    ASSERT_EQ(inMs->setLoopPoints(200, FMOD_TIMEUNIT_MS, 399, FMOD_TIMEUNIT_MS), FMOD_OK);
    inMs->getLoopPoints(&start, FMOD_TIMEUNIT_MS, &end, FMOD_TIMEUNIT_MS);
    EXPECT_EQ(start, 200u);
    EXPECT_EQ(end, 399u);

    Step(2.5);
    bool playing = false;
    EXPECT_EQ(forever->isPlaying(&playing), FMOD_OK);
    EXPECT_NEAR(PositionMs(forever), 500u, 1);
    EXPECT_EQ(thrice->isPlaying(&playing), FMOD_OK);
    EXPECT_NEAR(PositionMs(thrice), 500u, 1);
    EXPECT_EQ(points->isPlaying(&playing), FMOD_OK);
    EXPECT_NEAR(PositionMs(points), 300u, 1);  // 2.5 s = 400 ms + 10 loops of 200 ms + 100 ms

    Step(0.6);
    EXPECT_EQ(thrice->isPlaying(&playing), FMOD_ERR_INVALID_HANDLE);
    EXPECT_EQ(forever->isPlaying(&playing), FMOD_OK);

    // Bad loop points are refused and change nothing.
    EXPECT_EQ(points->setLoopPoints(400, FMOD_TIMEUNIT_MS, 300, FMOD_TIMEUNIT_MS),
              FMOD_ERR_INVALID_PARAM);
    EXPECT_EQ(points->setLoopPoints(0, FMOD_TIMEUNIT_MS, 1000, FMOD_TIMEUNIT_MS),
              FMOD_ERR_INVALID_PARAM);
    EXPECT_EQ(points->setLoopCount(-2), FMOD_ERR_INVALID_PARAM);
    points->getLoopPoints(&start, FMOD_TIMEUNIT_PCM, &end, FMOD_TIMEUNIT_PCM);
    EXPECT_EQ(start, 8820u);
}

TEST_F(SilentLayer, SetModeChangesOnlyTheGroupsItNames)
{
    FMOD::Channel* channel = Play(Load(0.5, FMOD_3D));
    FMOD_MODE mode = 0;
    channel->getMode(&mode);
    EXPECT_EQ(mode & (FMOD_3D | FMOD_LOOP_OFF), FMOD_3D | FMOD_LOOP_OFF);

    channel->setMode(FMOD_LOOP_NORMAL);
    channel->getMode(&mode);
    EXPECT_EQ(mode & (FMOD_3D | FMOD_LOOP_NORMAL), FMOD_3D | FMOD_LOOP_NORMAL);

    channel->setMode(FMOD_2D);
    channel->getMode(&mode);
    EXPECT_EQ(mode & (FMOD_2D | FMOD_LOOP_NORMAL), FMOD_2D | FMOD_LOOP_NORMAL);

    EXPECT_EQ(channel->setMode(FMOD_2D | FMOD_3D), FMOD_ERR_INVALID_PARAM);
    EXPECT_EQ(channel->setMode(FMOD_LOOP_OFF | FMOD_LOOP_NORMAL), FMOD_ERR_INVALID_PARAM);
}

TEST_F(SilentLayer, VolumesAreClampedAndNaNRefused)
{
    FMOD::Channel* channel = Play(Load(0.5));
    struct Case {
        float set;
        FMOD_RESULT result;
        float read;
    };
    const Case cases[] = {
        {0.25f, FMOD_OK, 0.25f},
        {1.5f, FMOD_OK, 1.0f},
        {-0.5f, FMOD_OK, 0.0f},
        {std::numeric_limits<float>::quiet_NaN(), FMOD_ERR_INVALID_PARAM, 0.0f},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(channel->setVolume(c.set), c.result) << c.set;
        float volume = -1.0f;
        channel->getVolume(&volume);
        EXPECT_EQ(volume, c.read) << c.set;
    }
    EXPECT_EQ(channel->set3DMinMaxDistance(5.0f, 1.0f), FMOD_ERR_INVALID_PARAM);
    EXPECT_EQ(channel->set3DMinMaxDistance(20.0f, 10000.0f), FMOD_OK);
    float minDistance = 0.0f, maxDistance = 0.0f;
    channel->get3DMinMaxDistance(&minDistance, &maxDistance);
    EXPECT_EQ(minDistance, 20.0f);
    EXPECT_EQ(maxDistance, 10000.0f);
}

TEST_F(SilentLayer, FullChannelTableStealsTheOldestChannel)
{
    m_system->release();
    ASSERT_EQ(FMOD_System_Create(&m_system), FMOD_OK);
    m_system->setOutput(FMOD_OUTPUTTYPE_NOSOUND);
    m_system->setClock(m_clock.Function());
    ASSERT_EQ(m_system->init(2, FMOD_INIT_NORMAL, nullptr), FMOD_OK);

    FMOD::Sound* sound = Load(1.0);
    FMOD::Channel* oldest = Play(sound);
    FMOD::Channel* middle = Play(sound);
    FMOD::Channel* newest = Play(sound);
    bool playing = true;
    EXPECT_EQ(oldest->isPlaying(&playing), FMOD_ERR_CHANNEL_STOLEN);
    EXPECT_FALSE(playing);
    EXPECT_EQ(oldest->setVolume(0.1f), FMOD_ERR_CHANNEL_STOLEN);
    EXPECT_EQ(middle->isPlaying(&playing), FMOD_OK);
    EXPECT_EQ(newest->isPlaying(&playing), FMOD_OK);
    float volume = 0.0f;
    newest->getVolume(&volume);
    EXPECT_EQ(volume, 1.0f);
}

TEST_F(SilentLayer, ReplayingAStreamRestartsItAndEndsTheOldChannel)
{
    FMOD::Sound* stream = Load(1.0, FMOD_2D, true, true);
    FMOD::Channel* first = Play(stream);
    Step(0.6);
    FMOD::Channel* second = Play(stream);
    bool playing = true;
    EXPECT_EQ(first->isPlaying(&playing), FMOD_ERR_INVALID_HANDLE);
    EXPECT_EQ(PositionMs(second), 0u);
    Step(0.6);
    EXPECT_EQ(second->isPlaying(&playing), FMOD_OK);
    EXPECT_TRUE(playing);

    // A sample, by contrast, plays on as many channels as asked.
    FMOD::Sound* sample = Load(1.0);
    FMOD::Channel* a = Play(sample);
    FMOD::Channel* b = Play(sample);
    EXPECT_EQ(a->isPlaying(&playing), FMOD_OK);
    EXPECT_EQ(b->isPlaying(&playing), FMOD_OK);
}

TEST_F(SilentLayer, ReleasingASoundEndsItsChannels)
{
    FMOD::Sound* sound = Load(1.0);
    FMOD::Channel* channel = Play(sound);
    EXPECT_EQ(sound->release(), FMOD_OK);
    bool playing = true;
    EXPECT_EQ(channel->isPlaying(&playing), FMOD_ERR_INVALID_HANDLE);
    Step(0.1);
    int count = -1;
    m_system->getChannelsPlaying(&count);
    EXPECT_EQ(count, 0);
}

TEST_F(SilentLayer, ChannelGroupCountsAndReleasesItsChannels)
{
    FMOD::ChannelGroup* group = nullptr;
    m_system->createChannelGroup(nullptr, &group);
    FMOD::Sound* sound = Load(0.5);
    FMOD::Channel* a = Play(sound);
    Play(sound);
    a->setChannelGroup(group);
    int count = -1;
    group->getNumChannels(&count);
    EXPECT_EQ(count, 1);
    FMOD::ChannelGroup* read = nullptr;
    a->getChannelGroup(&read);
    EXPECT_EQ(read, group);
    a->setChannelGroup(nullptr);
    group->getNumChannels(&count);
    EXPECT_EQ(count, 0);
}

}  // namespace
