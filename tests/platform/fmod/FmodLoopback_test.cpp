// The sound layer through OpenAL Soft's loopback device: what it mixes is rendered into memory,
// so these tests hear placement, fall-off, streaming and silence the way a player would.
#include <gtest/gtest.h>

#include <vector>

#include "platform/fmod/Fmod.h"
#include "platform/fmod/TestSounds.h"
#include "support/TestSupport.h"

namespace {

constexpr int kBlock = 4096;

class LoopbackLayer : public testing::Test {
protected:
    void SetUp() override { m_dir = zttest::MakeTempDir("fmod-loopback"); }

    void TearDown() override
    {
        if (m_system != nullptr)
            m_system->release();
    }

    void Start(FMOD_INITFLAGS flags)
    {
        ASSERT_EQ(FMOD_System_Create(&m_system), FMOD_OK);
        ASSERT_EQ(m_system->setOutput(FMOD_OUTPUTTYPE_LOOPBACK), FMOD_OK);
        ASSERT_EQ(m_system->setClock(m_clock.Function()), FMOD_OK);
        ASSERT_EQ(m_system->init(64, flags, nullptr), FMOD_OK);
    }

    FMOD::Sound* Load(const zttest::Tone& shape, FMOD_MODE mode, bool stream = false)
    {
        const auto path = zttest::WriteTone(
            m_dir, "tone" + std::to_string(m_files++) + (shape.ogg ? ".ogg" : ".wav"), shape);
        FMOD::Sound* sound = nullptr;
        const FMOD_RESULT r = stream ? m_system->createStream(path.c_str(), mode, &sound)
                                     : m_system->createSound(path.c_str(), mode, &sound);
        EXPECT_EQ(r, FMOD_OK) << FMOD_ErrorString(r);
        return sound;
    }

    // One update, then one block of the mix.
    std::vector<float> Render()
    {
        EXPECT_EQ(m_system->update(), FMOD_OK);
        std::vector<float> out(kBlock * 2, 1.0f);
        EXPECT_EQ(m_system->renderLoopback(out.data(), kBlock), FMOD_OK);
        return out;
    }

    // Level of one channel (-1 both) over the second half of a block, after any gain ramp.
    static double Level(const std::vector<float>& block, int channel = -1)
    {
        return zttest::Rms(block, kBlock / 2, kBlock, channel);
    }

    // The level of one channel playing `sound` set up by `setUp`, heard alone.
    double LevelOf(FMOD::Sound* sound, const std::function<void(FMOD::Channel*)>& setUp,
                   int side = -1)
    {
        FMOD::Channel* channel = nullptr;
        EXPECT_EQ(m_system->playSound(FMOD_CHANNEL_FREE, sound, false, &channel), FMOD_OK);
        setUp(channel);
        Render();  // lets the source settle on its settings
        const double level = Level(Render(), side);
        channel->stop();
        Render();
        return level;
    }

    std::filesystem::path m_dir;
    zttest::ManualClock m_clock;
    FMOD::System* m_system = nullptr;
    int m_files = 0;
};

TEST_F(LoopbackLayer, FallOffFollowsMinimumMaximumAndRolloff)
{
    Start(FMOD_INIT_3D_RIGHTHANDED);
    zttest::Tone tone;
    tone.seconds = 3.0;
    FMOD::Sound* sound = Load(tone, FMOD_3D);
    auto at = [](float distance, float minDistance, float maxDistance) {
        return [=](FMOD::Channel* c) {
            const FMOD_VECTOR position{0.0f, 0.0f, distance};
            c->set3DAttributes(&position, nullptr);
            c->set3DMinMaxDistance(minDistance, maxDistance);
        };
    };
    const double near = LevelOf(sound, at(0.5f, 1.0f, 10000.0f));
    ASSERT_GT(near, 0.05);
    EXPECT_NEAR(LevelOf(sound, at(10.0f, 1.0f, 10000.0f)) / near, 0.1, 0.01);
    EXPECT_NEAR(LevelOf(sound, at(50.0f, 5.0f, 10000.0f)) / near, 0.1, 0.01);
    // Nothing more is lost past the maximum distance.
    EXPECT_NEAR(LevelOf(sound, at(100.0f, 1.0f, 10.0f)) / near, 0.1, 0.01);
    // 2D ignores distance.
    EXPECT_NEAR(LevelOf(sound,
                        [&](FMOD::Channel* c) {
                            at(100.0f, 1.0f, 10000.0f)(c);
                            c->setMode(FMOD_2D);
                        }) /
                    near,
                1.0, 0.05);
    // The game's roll-off scale of 5 makes sound fall off five times as fast.
    ASSERT_EQ(m_system->set3DSettings(1.0f, 1.0f, 5.0f), FMOD_OK);
    EXPECT_NEAR(LevelOf(sound, at(10.0f, 1.0f, 10000.0f)) / near, 1.0 / 46.0, 0.005);
}

TEST_F(LoopbackLayer, SideFollowsTheHandednessAskedFor)
{
    struct Case {
        FMOD_INITFLAGS flags;
        float x;  // where the sound is heard in the right ear, facing +z with +y up
    };
    for (const Case c : {Case{FMOD_INIT_3D_RIGHTHANDED, -5.0f}, Case{FMOD_INIT_NORMAL, 5.0f}}) {
        Start(c.flags);
        zttest::Tone tone;
        tone.seconds = 2.0;
        FMOD::Sound* sound = Load(tone, FMOD_3D);
        const FMOD_VECTOR forward{0.0f, 0.0f, 1.0f}, up{0.0f, 1.0f, 0.0f}, origin{0.0f, 0.0f, 0.0f};
        m_system->set3DListenerAttributes(0, &origin, nullptr, &forward, &up);
        const auto place = [&](FMOD::Channel* channel) {
            const FMOD_VECTOR position{c.x, 0.0f, 0.0f};
            channel->set3DAttributes(&position, nullptr);
        };
        const double left = LevelOf(sound, place, 0);
        const double right = LevelOf(sound, place, 1);
        EXPECT_GT(right, 2.0 * left) << "flags " << c.flags;
        m_system->release();
        m_system = nullptr;
    }
}

TEST_F(LoopbackLayer, StreamsAreFedInChunksAndLoopWithoutGaps)
{
    Start(FMOD_INIT_3D_RIGHTHANDED);
    zttest::Tone music;
    music.seconds = 1.0;
    music.ogg = true;
    music.channels = 2;
    FMOD::Sound* stream = Load(music, FMOD_2D, true);
    FMOD::Channel* channel = nullptr;
    ASSERT_EQ(m_system->playSound(FMOD_CHANNEL_FREE, stream, false, &channel), FMOD_OK);
    channel->setMode(FMOD_LOOP_NORMAL);
    channel->setLoopCount(-1);
    // 3.3 s of mix: three passes through the file, far more than one voice queues at once.
    for (int block = 0; block < 36; ++block) {
        const std::vector<float> out = Render();
        EXPECT_GT(zttest::Rms(out, 0, kBlock), 0.1) << "block " << block;
    }
}

TEST_F(LoopbackLayer, SoundEndsInSilenceAndPlaysOnlyItsLength)
{
    Start(FMOD_INIT_3D_RIGHTHANDED);
    zttest::Tone tone;
    tone.seconds = 0.2;  // 8820 frames: the second half of the third block is past it
    FMOD::Sound* sound = Load(tone, FMOD_2D);
    FMOD::Channel* channel = nullptr;
    ASSERT_EQ(m_system->playSound(FMOD_CHANNEL_FREE, sound, false, &channel), FMOD_OK);
    EXPECT_GT(Level(Render()), 0.1);
    EXPECT_GT(Level(Render()), 0.1);
    EXPECT_EQ(Level(Render()), 0.0);
    EXPECT_EQ(Level(Render()), 0.0);
}

TEST_F(LoopbackLayer, PausedOrMutedChannelIsSilentAndComesBack)
{
    Start(FMOD_INIT_3D_RIGHTHANDED);
    zttest::Tone tone;
    tone.seconds = 3.0;
    FMOD::Sound* sound = Load(tone, FMOD_2D);
    FMOD::Channel* channel = nullptr;
    ASSERT_EQ(m_system->playSound(FMOD_CHANNEL_FREE, sound, true, &channel), FMOD_OK);
    EXPECT_EQ(Level(Render()), 0.0);  // started paused
    channel->setPaused(false);
    EXPECT_GT(Level(Render()), 0.1);
    channel->setMute(true);
    EXPECT_EQ(Level(Render()), 0.0);
    channel->setMute(false);
    channel->setVolume(0.0f);
    EXPECT_EQ(Level(Render()), 0.0);
    channel->setVolume(1.0f);
    EXPECT_GT(Level(Render()), 0.1);
}

}  // namespace
