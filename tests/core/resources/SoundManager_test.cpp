// The sound editor's name registry: file order (sounds, then music, each by name), duplicate
// names, which names have ids, and an unreadable registry kept as it is.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "core/resources/ResourceTestUtil.h"
#include "core/resources/SoundManager.h"
#include "core/sound/SoundSystem.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using ztengine::SoundManager;
using ztengine::SoundSystem;
using zttest::ReadBytes;
using zttest::WriteBytes;

class SoundManagerTest : public testing::Test {
protected:
    SoundManagerTest()
    {
        ztengine::SoundSystemOptions options;
        options.output = FMOD_OUTPUTTYPE_NOSOUND;
        zttest::CaptureStdout([&] { sound = std::make_unique<SoundSystem>(options); });
    }

    std::string Load(SoundManager& registry, const std::string& bytes)
    {
        WriteBytes(path, bytes);
        return zttest::CaptureStdout([&] { registry.Load(path); });
    }

    fs::path dir = zttest::MakeTempDir("sound-registry");
    std::string path = (dir / "audio.json").string();
    std::unique_ptr<SoundSystem> sound;
};

TEST_F(SoundManagerTest, SavesSoundsThenMusicEachInByteOrder)
{
    SoundManager registry;
    registry.Save(path);
    EXPECT_EQ(ReadBytes(path), "[]");

    registry.m_soundFiles = {{"b", "b.wav"}, {"a", "a.wav"}, {"B", "x\"y.wav"}};
    registry.m_musicFiles = {{"c", "town.wav"}};
    registry.Save(path);
    EXPECT_EQ(ReadBytes(path),
              "[{\"SoundName\":\"B\",\"FileName\":\"x\\\"y.wav\"},"
              "{\"SoundName\":\"a\",\"FileName\":\"a.wav\"},"
              "{\"SoundName\":\"b\",\"FileName\":\"b.wav\"},"
              "{\"BGMName\":\"c\",\"FileName\":\"town.wav\"}]");

    SoundManager again;
    EXPECT_EQ(Load(again, ReadBytes(path)), "");
    EXPECT_EQ(again.m_soundFiles, registry.m_soundFiles);
    EXPECT_EQ(again.m_musicFiles, registry.m_musicFiles);
}

TEST_F(SoundManagerTest, LoaderFillsTheFileMapsOnlyAndReportsDuplicates)
{
    SoundManager registry;
    const std::string printed = Load(
        registry,
        "[{\"SoundName\":\"coin\",\"FileName\":\"coin.wav\"},"
        "{\"SoundName\":\"coin\",\"FileName\":\"other.wav\"},"
        "{\"BGMName\":\"town\",\"FileName\":\"town.wav\"},"
        "{\"BGMName\":\"town\",\"FileName\":\"again.wav\"},"
        "{\"SoundName\":\"both\",\"BGMName\":\"both\",\"FileName\":\"both.wav\"},"
        "{\"SoundName\":7,\"BGMName\":\"numbered\",\"FileName\":\"n.wav\"},"
        "{\"FileName\":\"nameless.wav\"},"
        "{\"SoundName\":\"nofile\",\"FileName\":1},"
        "\"text\"]");
    // Records without a usable name or file are reported with their index (and kept for the
    // next save).
    EXPECT_NE(printed.find("sound with the name \"coin\" already exists!\n"), std::string::npos);
    EXPECT_NE(printed.find("bgm with the name \"town\" already exists!\n"), std::string::npos);
    EXPECT_NE(printed.find(": record 6 is not used (neither \"SoundName\" nor \"BGMName\" is a string)"),
              std::string::npos);
    EXPECT_NE(printed.find(": record 7 is not used (\"FileName\" is not a string)"), std::string::npos);
    EXPECT_NE(printed.find(": record 8 is not used (not an object)"), std::string::npos);
    EXPECT_EQ(registry.m_soundFiles,
              (std::map<std::string, std::string>{{"both", "both.wav"}, {"coin", "coin.wav"}}));
    EXPECT_EQ(registry.m_musicFiles,
              (std::map<std::string, std::string>{{"numbered", "n.wav"}, {"town", "town.wav"}}));
    EXPECT_TRUE(registry.m_soundIds.empty());
    EXPECT_TRUE(registry.m_musicIds.empty());
    EXPECT_TRUE(registry.HasSound("coin"));
    EXPECT_FALSE(registry.HasBGM("coin"));
}

TEST_F(SoundManagerTest, AddedNamesAreLoadedAndGetIdsWhileKnownNamesAreRefused)
{
    SoundManager registry;
    Load(registry, "[{\"SoundName\":\"coin\",\"FileName\":\"coin.wav\"}]");

    std::string printed = zttest::CaptureStdout([&] {
        registry.AddSound(*sound, "coin", "new.wav");
        registry.AddBGM(*sound, "town", "town.wav");
        registry.AddBGM(*sound, "town", "later.wav");
        registry.AddSound(*sound, "jump", "jump.wav");
    });
    EXPECT_NE(printed.find("sound with the name \"coin\" already exists!\n"), std::string::npos);
    EXPECT_NE(printed.find("BGM with the name \"town\" already exists!\n"), std::string::npos);
    EXPECT_EQ(registry.m_soundFiles.at("coin"), "coin.wav");
    EXPECT_EQ(registry.m_soundIds.count("coin"), 0u);
    EXPECT_EQ(registry.m_soundIds.count("jump"), 1u);
    EXPECT_EQ(registry.m_musicFiles.at("town"), "town.wav");
    EXPECT_EQ(registry.m_musicIds.size(), 1u);
}

TEST_F(SoundManagerTest, AnUnreadableRegistryIsReportedAndNotOverwritten)
{
    SoundManager registry;
    EXPECT_EQ(Load(registry, "[{\"SoundName\":\"coin\",]"),
              path + " is not a proper array of info\n");
    EXPECT_TRUE(registry.m_soundFiles.empty());

    // The editor adds a sound; the authored list must survive for someone to mend it.
    zttest::CaptureStdout([&] { registry.AddSound(*sound, "jump", "jump.wav"); });
    const std::string printed = zttest::CaptureStdout([&] { registry.Save(path); });
    EXPECT_NE(printed.find(path + " was not rewritten"), std::string::npos);
    EXPECT_EQ(ReadBytes(path), "[{\"SoundName\":\"coin\",]");

    // Another path is written as usual.
    const std::string other = (dir / "copy.json").string();
    registry.Save(other);
    EXPECT_EQ(ReadBytes(other), "[{\"SoundName\":\"jump\",\"FileName\":\"jump.wav\"}]");

    SoundManager missing;
    EXPECT_EQ(zttest::CaptureStdout([&] { missing.Load((dir / "none.json").string()); }), "");
}

// The registry the asset step ships loads without a complaint and is written back unchanged.
TEST_F(SoundManagerTest, ShippedRegistryIsInTheFormTheGameWritesBack)
{
    const std::string shipped = ReadBytes(fs::path(ZT_RUNTIME_DIR) / "audio" / "audio.json");
    ASSERT_FALSE(shipped.empty());
    SoundManager registry;
    EXPECT_EQ(Load(registry, shipped), "");
    EXPECT_FALSE(registry.m_soundFiles.empty());
    const std::string copy = (dir / "copy.json").string();
    registry.Save(copy);
    EXPECT_EQ(ReadBytes(copy), shipped);
}

}  // namespace
