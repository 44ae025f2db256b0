// WinConfig and "config.ini": the default bytes, partial and malformed files, refused sizes, and
// a broken file that survives the save at exit.
#include "core/serialization/WinConfig.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/TestSupport.h"

using ztengine::WinConfig;

namespace {

using zttest::ReadBytes;

class ConfigFile : public testing::Test {
protected:
    std::filesystem::path dir = zttest::MakeTempDir("winconfig");
    std::string path = (dir / "config.ini").string();

    void Write(const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
};

}  // namespace

TEST_F(ConfigFile, MissingFileKeepsDefaultsAndSaveWritesThem)
{
    WinConfig config(path);
    const std::string out = zttest::CaptureStdout([&] { config.Load(); });
    EXPECT_EQ(out, "");
    EXPECT_EQ(config.m_width, 800u);
    EXPECT_EQ(config.m_height, 600u);
    EXPECT_FALSE(config.m_fullscreen);
    EXPECT_FALSE(config.m_vsync);

    config.Save();
    EXPECT_EQ(ReadBytes(path), R"({"w":800,"h":600,"fullscreen":false,"vsync":false})");
}

TEST_F(ConfigFile, TakesOnlyMembersOfTheRightKind)
{
    // A member of the wrong kind is reported and the file is then kept as the player wrote it;
    // `saved` null means the file stays byte-identical.
    struct Case {
        const char* text;
        uint32_t w, h;
        bool fullscreen, vsync;
        const char* saved;
        const char* printed;
    };
    const Case cases[] = {
        {R"({"w":1280,"fullscreen":true})", 1280, 600, true, false,
         R"({"w":1280,"h":600,"fullscreen":true,"vsync":false})", ""},
        {R"({"w":1280.0,"h":"720","vsync":1,"fullscreen":null})", 800, 600, false, false, nullptr,
         ": \"w\" is not an integer, keeping 800\n"},
        {R"({"h":1024,"vsync":true,"extra":[1,2]})", 800, 1024, false, true,
         R"({"w":800,"h":1024,"fullscreen":false,"vsync":true})", ""},
        {R"({"w":4294967295,"h":2147483647})", 800, 2147483647, false, false, nullptr,
         ": \"w\" is not an integer, keeping 800\n"},
        {"{}", 800, 600, false, false, R"({"w":800,"h":600,"fullscreen":false,"vsync":false})", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Write(c.text);
        WinConfig config(path);
        const std::string out = zttest::CaptureStdout([&] { config.Load(); });
        if (*c.printed == '\0')
            EXPECT_EQ(out, "");
        else
            EXPECT_EQ(out.substr(0, path.size() + std::string(c.printed).size()), path + c.printed);
        EXPECT_EQ(config.m_width, c.w);
        EXPECT_EQ(config.m_height, c.h);
        EXPECT_EQ(config.m_fullscreen, c.fullscreen);
        EXPECT_EQ(config.m_vsync, c.vsync);
        zttest::CaptureStdout([&] { config.Save(); });
        EXPECT_EQ(ReadBytes(path), c.saved != nullptr ? c.saved : c.text);
    }
}

TEST_F(ConfigFile, RefusesSizesOfZeroOrBelow)
{
    Write(R"({"w":0,"h":-600,"fullscreen":true})");
    WinConfig config(path);
    const std::string out = zttest::CaptureStdout([&] { config.Load(); });
    EXPECT_EQ(out, path + ": \"w\" of 0 is not a window size, keeping 800\n" + path +
                       ": \"h\" of -600 is not a window size, keeping 600\n");
    EXPECT_EQ(config.m_width, 800u);
    EXPECT_EQ(config.m_height, 600u);
    EXPECT_TRUE(config.m_fullscreen);
}

// A file that is not a JSON object is reported, changes nothing, and is still there, unchanged,
// after the save at exit.
TEST_F(ConfigFile, MalformedFileIsReportedAndNeverOverwritten)
{
    for (const std::string text : {"[800,600]", "w=1280", "", "{\"w\":1280", "\"text\""}) {
        SCOPED_TRACE(text);
        Write(text);
        WinConfig config(path);
        const std::string loaded = zttest::CaptureStdout([&] { config.Load(); });
        EXPECT_EQ(loaded, path + " is not a proper json file format\n");
        EXPECT_EQ(config.m_width, 800u);
        EXPECT_EQ(config.m_height, 600u);

        const std::string saved = zttest::CaptureStdout([&] { config.Save(); });
        EXPECT_EQ(saved, path + " was not rewritten: it could not be read at start-up\n");
        EXPECT_EQ(ReadBytes(path), text);
    }
}

TEST_F(ConfigFile, DefaultNameAndUnwritableFolder)
{
    EXPECT_EQ(WinConfig().FileName(), "config.ini");

    const std::string nowhere = (dir / "missing" / "config.ini").string();
    WinConfig config(nowhere);
    const std::string out = zttest::CaptureStdout([&] { config.Save(); });
    EXPECT_EQ(out, "can't serialize: " + nowhere + "\n");
    EXPECT_FALSE(std::filesystem::exists(nowhere));
}

// The authored file: the game's menus and HUD are laid out for 1280 x 800, windowed.
TEST(ConfigFileData, AuthoredConfigIsCompactAndLoads)
{
    const std::string authored = std::string(ZT_DATA_DIR) + "/config.ini";
    EXPECT_EQ(ReadBytes(authored), R"({"w":1280,"h":800,"fullscreen":false,"vsync":false})");
    WinConfig config(authored);
    config.Load();
    EXPECT_EQ(config.m_width, 1280u);
    EXPECT_EQ(config.m_height, 800u);
    EXPECT_FALSE(config.m_fullscreen);
    EXPECT_FALSE(config.m_vsync);
}
