// The shadow system on a headless renderer with the real event messaging: the light direction
// and sun of each set, the switch between overworld and dungeon on "ENTER_OVERWORLD" and
// "EXIT_OVERWORLD", "lightSettings.config" read, written and reloaded (also when keys are missing
// or of the wrong shape), and the "In Game Shadow Settings" window with its shadow-map preview.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "support/HeadlessApp.h"
#include "core/App.h"
#include "core/MessagingSystem.h"
#include "core/Win32App.h"
#include "core/graphics/Graphics2D.h"
#include "core/gui/GuiHarness.h"
#include "core/math/Vector4.h"
#include "core/serialization/Params.h"
#include "core/subsys/GameShadowSystem/GameShadowSystem.h"
#include "support/NullRenderer3D.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using ztengine::GameShadowSystem;
using ztengine::Params;
using ztmath::Vector3;
using ztmath::Vector4;
using zttest::GuiHarness;
using zttest::NullRenderer3D;

// Both sets at their defaults, as "Save Settings" writes them.
constexpr const char* kDefaultFile =
    R"({"data":[{"__name":"dungeon_d","__type":0,"__size":1,"__data":0.0},)"
    R"({"__name":"dungeon_light_euler","__type":2,"__size":1,"__data":[0.0,0.0,0.0]},)"
    R"({"__name":"dungeon_proj_f","__type":0,"__size":1,"__data":1000.0},)"
    R"({"__name":"dungeon_proj_h","__type":1,"__size":1,"__data":1000},)"
    R"({"__name":"dungeon_proj_n","__type":0,"__size":1,"__data":0.5},)"
    R"({"__name":"dungeon_proj_w","__type":1,"__size":1,"__data":1000},)"
    R"({"__name":"dungeon_sun_pos","__type":2,"__size":1,"__data":[0.0,1000.0,0.0]},)"
    R"({"__name":"enableShadow","__type":1,"__size":1,"__data":1},)"
    R"({"__name":"overworld_d","__type":0,"__size":1,"__data":0.0},)"
    R"({"__name":"overworld_light_euler","__type":2,"__size":1,"__data":[0.0,0.0,0.0]},)"
    R"({"__name":"overworld_proj_f","__type":0,"__size":1,"__data":1000.0},)"
    R"({"__name":"overworld_proj_h","__type":1,"__size":1,"__data":1000},)"
    R"({"__name":"overworld_proj_n","__type":0,"__size":1,"__data":0.5},)"
    R"({"__name":"overworld_proj_w","__type":1,"__size":1,"__data":1000},)"
    R"({"__name":"overworld_sun_pos","__type":2,"__size":1,"__data":[0.0,1000.0,0.0]}]})";

constexpr const char* kWindow = "In Game Shadow Settings";

using zttest::ReadBytes;

using zttest::WriteBytes;

// The file with one entry's value (and type, when given) replaced, or the entry removed when
// `data` is null.
std::string FileWith(std::string file, const std::string& key, const char* data, int type = -1)
{
    const std::string name = R"({"__name":")" + key + R"(",)";
    const size_t begin = file.find(name);
    const size_t end = file.find('}', begin) + 1;
    if (data == nullptr) {
        // The entry and the comma that joins it to the next (or the previous) one.
        const bool last = file[end] != ',';
        file.erase(last ? begin - 1 : begin, end - begin + 1);
        return file;
    }
    std::string entry = file.substr(begin, end - begin);
    if (type >= 0)
        entry.replace(entry.find("__type\":") + 8, 1, std::to_string(type));
    const size_t value = entry.find("\"__data\":") + 9;
    entry.replace(value, entry.size() - 1 - value, data);
    file.replace(begin, end - begin, entry);
    return file;
}

std::string DefaultFileWith(const std::string& key, const char* data)
{
    return FileWith(kDefaultFile, key, data);
}

void ExpectNear(const Vector3& actual, const Vector3& expected, float tolerance = 1e-3f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

// The services the system takes from the application: the headless renderer, a 2D layer that
// is never drawn, and the application's own event messaging.
class ShadowApp : public zttest::HeadlessApp {
public:
    explicit ShadowApp(ztengine::Graphics3D* renderer)
    {
        m_graphics3DService = renderer;
        m_graphics2DService = &m_graphics2D;
    }

    ztengine::Graphics2D m_graphics2D;
};

// One run of the game, in the test's folder. The GUI goes last, since the window's widgets
// point into the system.
struct GameRun {
    GameRun()
    {
        WriteBytes("EventNames.txt", "ENTER_OVERWORLD\nEXIT_OVERWORLD\nPLAYER_JUMP\n");
        zttest::CaptureStdout([&] { app.m_messagingSystem.LoadEventNames("EventNames.txt"); });
        // Something else already shows a sprite, as the pointer does in the game.
        app.m_graphics2D.m_textures.push_back(ztengine::Texture2D{77, 8, 8, 4, 1});
        app.m_graphics2D.CreateSprite(ztengine::Texture2DHandle{0, 1}, {0.0f, 0.0f},
                                      {1.0f, 1.0f}, 3);
        printed = zttest::CaptureStdout([&] { system.Init(); });
    }

    void Send(const char* event)
    {
        app.m_messagingSystem.SendEventByName(event, ztengine::IEvent());
    }
    Vector3 Sun() const { return renderer.GetOptions().m_sunPosition; }
    Vector4 Projection() const { return renderer.GetOptions().m_shadowProjection; }
    Vector3 LightDirection() { return renderer.GetCurrentEnvironment()->m_lightDirection; }
    const ztengine::Sprite& Preview() const
    {
        return app.m_graphics2D.GetSprites().at(system.m_previewSprite.GetIndex());
    }

    GuiHarness gui;
    NullRenderer3D renderer;
    ShadowApp app{&renderer};
    GameShadowSystem system{&app};
    std::string printed;
};

class GameShadowSystemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previousDir = fs::current_path();
        fs::current_path(zttest::MakeTempDir("shadow"));
    }
    void TearDown() override
    {
        run.reset();
        fs::current_path(m_previousDir);
    }

    GameRun& Start()
    {
        run.reset();
        run = std::make_unique<GameRun>();
        return *run;
    }

    std::unique_ptr<GameRun> run;

private:
    fs::path m_previousDir;
};

TEST(ShadowLightDirection, TurnsStraightDownAboutXThenYThenZ)
{
    struct Case {
        Vector3 euler;
        Vector3 direction;
    };
    const std::vector<Case> cases = {
        {{0.0f, 0.0f, 0.0f}, {0.0f, -1.0f, 0.0f}},
        {{90.0f, 0.0f, 0.0f}, {0.0f, 0.0f, -1.0f}},
        {{-90.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f}},
        {{0.0f, 90.0f, 0.0f}, {0.0f, -1.0f, 0.0f}},  // about the light's own axis
        {{0.0f, 0.0f, 90.0f}, {1.0f, 0.0f, 0.0f}},
        {{180.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}},
        // The order shows: X first tips the light forward, then Y turns it sideways.
        {{90.0f, 90.0f, 0.0f}, {-1.0f, 0.0f, 0.0f}},
        {{45.0f, 0.0f, 0.0f}, {0.0f, -0.70710678f, -0.70710678f}},
        {{450.0f, 0.0f, 0.0f}, {0.0f, 0.0f, -1.0f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.euler.x << ", " << c.euler.y << ", " << c.euler.z);
        const Vector3 direction = ztengine::ShadowLightDirection(c.euler);
        ExpectNear(direction, c.direction, 1e-5f);
        EXPECT_NEAR(direction.Length(), 1.0f, 1e-6f);
    }
}

TEST_F(GameShadowSystemTest, WithoutAFileTheOverworldSunStandsAboveTheOrigin)
{
    EXPECT_FALSE(ztengine::SystemInitialisedAtStart<GameShadowSystem>());
    GameRun& game = Start();
    EXPECT_EQ(game.printed, "");
    EXPECT_TRUE(game.system.m_isOverworld);
    EXPECT_TRUE(game.system.m_enableShadow);
    EXPECT_EQ(game.Sun(), Vector3(0.0f, 1000.0f, 0.0f));
    EXPECT_EQ(game.Projection(), Vector4(1000.0f, 1000.0f, 0.5f, 1000.0f));
    EXPECT_EQ(game.LightDirection(), Vector3(0.0f, -1.0f, 0.0f));
    // Nothing is written until asked.
    EXPECT_FALSE(fs::exists("lightSettings.config"));

    // The shadow map is a texture of the 2D layer, shown by a hidden sprite.
    const std::vector<ztengine::Texture2D>& textures = game.app.m_graphics2D.m_textures;
    ASSERT_EQ(textures.size(), 2u);
    EXPECT_EQ(textures[1].id, game.renderer.GetShadowMapTexture());
    EXPECT_EQ(textures[1].width, 0);
    EXPECT_EQ(textures[1].height, 0);
    EXPECT_EQ(textures[1].channels, 0);
    EXPECT_EQ(textures[1].rows, 1u);
    ASSERT_TRUE(game.system.m_previewSprite.IsValid());
    EXPECT_EQ(game.system.m_previewSprite.GetIndex(), 1u);
    const ztengine::Sprite& preview = game.Preview();
    EXPECT_EQ(preview.texture, 1u);
    EXPECT_EQ(preview.position, ztmath::Vector2(350.0f, 150.0f));
    EXPECT_EQ(preview.scale, ztmath::Vector2(350.0f, 350.0f));
    EXPECT_EQ(preview.layer, 0u);
    EXPECT_FALSE(preview.visible);
    // The renderer's shadow switch is not this system's.
    EXPECT_TRUE(game.renderer.AreShadowsEnabled());
}

TEST_F(GameShadowSystemTest, TheSunFollowsTheOverworldOrTheCameraAsTheEventsSay)
{
    Params params;
    WriteBytes("lightSettings.config", kDefaultFile);
    ASSERT_TRUE(params.LoadFromFile("lightSettings.config"));
    params.SetVec3("overworld_light_euler", Vector3(90.0f, 0.0f, 0.0f));
    params.SetFloat("overworld_d", 100.0f);
    params.SetInt("overworld_proj_w", 1500);
    params.SetInt("overworld_proj_h", 800);
    params.SetFloat("dungeon_d", 50.0f);
    params.SetVec3("dungeon_sun_pos", Vector3(-7.0f, -7.0f, -7.0f));
    params.SetInt("dungeon_proj_w", 300);
    params.SetFloat("dungeon_proj_f", 200.0f);
    ASSERT_TRUE(params.SaveToFile("lightSettings.config"));
    GameRun& game = Start();
    game.renderer.SetCameraPosition(Vector3(10.0f, 20.0f, 30.0f));

    // Init hands over the overworld sun at once: (0, 1000, 0) moved 100 back along (0, 0, -1).
    ExpectNear(game.Sun(), Vector3(0.0f, 1000.0f, 100.0f));
    ExpectNear(game.LightDirection(), Vector3(0.0f, 0.0f, -1.0f), 1e-6f);
    EXPECT_EQ(game.Projection(), Vector4(1500.0f, 800.0f, 0.5f, 1000.0f));

    // Into a dungeon: the sun stands 50 above the camera, wherever it goes; the dungeon's own
    // sun position plays no part.
    game.Send("EXIT_OVERWORLD");
    EXPECT_FALSE(game.system.m_isOverworld);
    game.system.Update(1.0f / 60.0f);
    EXPECT_EQ(game.Sun(), Vector3(10.0f, 70.0f, 30.0f));
    EXPECT_EQ(game.LightDirection(), Vector3(0.0f, -1.0f, 0.0f));
    EXPECT_EQ(game.Projection(), Vector4(300.0f, 1000.0f, 0.5f, 200.0f));
    for (const Vector3& camera : {Vector3(-40.0f, 2.0f, 5.0f), Vector3(3.0f, -8.0f, 600.0f)}) {
        game.renderer.SetCameraPosition(camera);
        game.system.Update(1.0f / 60.0f);
        EXPECT_EQ(game.Sun(), camera + Vector3(0.0f, 50.0f, 0.0f));
    }

    // Other events change nothing; back in the hub the overworld values return.
    game.Send("PLAYER_JUMP");
    game.system.Update(1.0f / 60.0f);
    EXPECT_EQ(game.Sun(), Vector3(3.0f, 42.0f, 600.0f));
    game.Send("ENTER_OVERWORLD");
    game.system.Update(1.0f / 60.0f);
    ExpectNear(game.Sun(), Vector3(0.0f, 1000.0f, 100.0f));
    EXPECT_EQ(game.Projection(), Vector4(1500.0f, 800.0f, 0.5f, 1000.0f));
    ExpectNear(game.LightDirection(), Vector3(0.0f, 0.0f, -1.0f), 1e-6f);
}

TEST_F(GameShadowSystemTest, SaveWritesBothSetsAndLoadPreviousReadsThemBack)
{
    GameRun& game = Start();
    game.system.SaveSettings();
    EXPECT_EQ(ReadBytes("lightSettings.config"), kDefaultFile);

    game.system.m_overworld.sunPosition = Vector3(1.5f, 2.5f, 3.5f);
    game.system.m_overworld.lightEuler = Vector3(10.0f, 20.0f, 30.0f);
    game.system.m_overworld.projectionWidth = 1500;
    game.system.m_overworld.projectionHeight = 800;
    game.system.m_overworld.projectionNear = 1.0f;
    game.system.m_overworld.projectionFar = 3000.0f;
    game.system.m_overworld.distance = 250.0f;
    game.system.m_dungeon.sunPosition = Vector3(-1.0f, 0.0f, 1.0f);
    game.system.m_dungeon.lightEuler = Vector3(-45.0f, 0.0f, 0.0f);
    game.system.m_dungeon.projectionWidth = 64;
    game.system.m_dungeon.projectionHeight = 32;
    game.system.m_dungeon.projectionNear = 0.25f;
    game.system.m_dungeon.projectionFar = 90.0f;
    game.system.m_dungeon.distance = 12.0f;
    game.system.SaveSettings();
    const ztengine::ShadowSettings overworld = game.system.m_overworld;
    const ztengine::ShadowSettings dungeon = game.system.m_dungeon;

    const auto expectSaved = [&](const GameShadowSystem& s) {
        EXPECT_EQ(s.m_overworld.sunPosition, overworld.sunPosition);
        EXPECT_EQ(s.m_overworld.lightEuler, overworld.lightEuler);
        EXPECT_EQ(s.m_overworld.projectionWidth, 1500);
        EXPECT_EQ(s.m_overworld.projectionHeight, 800);
        EXPECT_EQ(s.m_overworld.projectionNear, 1.0f);
        EXPECT_EQ(s.m_overworld.projectionFar, 3000.0f);
        EXPECT_EQ(s.m_overworld.distance, 250.0f);
        EXPECT_EQ(s.m_dungeon.sunPosition, dungeon.sunPosition);
        EXPECT_EQ(s.m_dungeon.lightEuler, dungeon.lightEuler);
        EXPECT_EQ(s.m_dungeon.projectionWidth, 64);
        EXPECT_EQ(s.m_dungeon.projectionHeight, 32);
        EXPECT_EQ(s.m_dungeon.projectionNear, 0.25f);
        EXPECT_EQ(s.m_dungeon.projectionFar, 90.0f);
        EXPECT_EQ(s.m_dungeon.distance, 12.0f);
    };

    // Edits after the save are undone by "Load Previous Settings".
    game.system.m_overworld.distance = 1.0f;
    game.system.m_dungeon.projectionWidth = 1;
    game.system.LoadSettings();
    expectSaved(game.system);

    // The next start reads the same, and the saved width and height reach the renderer as floats.
    GameRun& next = Start();
    EXPECT_EQ(next.printed, "");
    expectSaved(next.system);
    EXPECT_EQ(next.Projection(), Vector4(1500.0f, 800.0f, 1.0f, 3000.0f));

    // With the file gone, "Load Previous Settings" brings the defaults, not the last values.
    fs::remove("lightSettings.config");
    next.system.LoadSettings();
    next.system.Update(0.0f);
    EXPECT_EQ(next.system.m_overworld.projectionWidth, 1000);
    EXPECT_EQ(next.system.m_dungeon.distance, 0.0f);
    EXPECT_EQ(next.Sun(), Vector3(0.0f, 1000.0f, 0.0f));
    EXPECT_EQ(next.Projection(), Vector4(1000.0f, 1000.0f, 0.5f, 1000.0f));
}

TEST_F(GameShadowSystemTest, TheShadowFlagReadsAnyPositiveValueAsOnAndWritesZeroOrOne)
{
    struct Case {
        const char* stored;
        bool on;
        const char* written;
    };
    for (const Case& c : {Case{"2", true, "1"}, Case{"1", true, "1"}, Case{"0", false, "0"},
                          Case{"-1", false, "0"}}) {
        SCOPED_TRACE(c.stored);
        WriteBytes("lightSettings.config", DefaultFileWith("enableShadow", c.stored));
        GameRun& game = Start();
        EXPECT_EQ(game.system.m_enableShadow, c.on);
        game.system.SaveSettings();
        EXPECT_EQ(ReadBytes("lightSettings.config"), DefaultFileWith("enableShadow", c.written));
    }
}

// A file with a key missing or in another shape keeps that key's default instead of failing.
TEST_F(GameShadowSystemTest, MissingOrMisshapenKeysKeepTheirDefaults)
{
    struct Case {
        const char* key;
        const char* data;  // null: the key is absent
        int type;          // -1: the type the game writes
        bool reported;
    };
    const std::vector<Case> cases = {
        {"overworld_sun_pos", nullptr, -1, true},
        {"overworld_sun_pos", "[0,500,0]", -1, true},  // whole numbers: dropped by the loader
        {"overworld_light_euler", "[10.0,20.0]", -1, true},
        {"overworld_proj_f", "\"far\"", 4, true},
        {"overworld_proj_n", nullptr, -1, true},
        {"overworld_proj_w", "1200.5", -1, true},  // a fraction where an Int belongs
        {"overworld_proj_h", "800.0", 0, true},
        {"dungeon_sun_pos", "5.0", 0, true},
        {"dungeon_light_euler", nullptr, -1, true},
        {"dungeon_proj_f", "7", 1, true},
        {"dungeon_proj_n", "[0.5,0.5,0.5]", 2, true},
        {"dungeon_proj_w", nullptr, -1, true},
        {"dungeon_proj_h", "\"1000\"", 4, true},
        {"enableShadow", nullptr, -1, false},
        {"enableShadow", "0.0", 0, true},
        {"overworld_d", nullptr, -1, false},
        {"dungeon_d", "[1.0,2.0,3.0]", 2, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.key << " " << (c.data ? c.data : "absent"));
        // Every other key holds a value away from its default, so a stray reset shows.
        Params params;
        WriteBytes("lightSettings.config", kDefaultFile);
        ASSERT_TRUE(params.LoadFromFile("lightSettings.config"));
        params.SetVec3("overworld_sun_pos", Vector3(1.0f, 2.0f, 3.0f));
        params.SetVec3("overworld_light_euler", Vector3(5.0f, 6.0f, 7.0f));
        params.SetFloat("overworld_proj_f", 10.0f);
        params.SetFloat("overworld_proj_n", 11.0f);
        params.SetInt("overworld_proj_w", 12);
        params.SetInt("overworld_proj_h", 13);
        params.SetVec3("dungeon_sun_pos", Vector3(4.0f, 5.0f, 6.0f));
        params.SetVec3("dungeon_light_euler", Vector3(8.0f, 9.0f, 10.0f));
        params.SetFloat("dungeon_proj_f", 14.0f);
        params.SetFloat("dungeon_proj_n", 15.0f);
        params.SetInt("dungeon_proj_w", 16);
        params.SetInt("dungeon_proj_h", 17);
        params.SetInt("enableShadow", 0);
        params.SetFloat("overworld_d", 18.0f);
        params.SetFloat("dungeon_d", 19.0f);
        ASSERT_TRUE(params.SaveToFile("lightSettings.config"));
        const std::string base = ReadBytes("lightSettings.config");
        WriteBytes("lightSettings.config", FileWith(base, c.key, c.data, c.type));

        GameRun& game = Start();
        const ztengine::ShadowSettings& o = game.system.m_overworld;
        const ztengine::ShadowSettings& d = game.system.m_dungeon;
        // The default where the key is the broken one, the file's value everywhere else.
        const auto pick = [&c](const char* key, auto fallback, auto stored) {
            return std::string(c.key) == key ? fallback : stored;
        };
        const Vector3 up(0.0f, 1000.0f, 0.0f);
        EXPECT_EQ(o.sunPosition, pick("overworld_sun_pos", up, Vector3(1.0f, 2.0f, 3.0f)));
        EXPECT_EQ(o.lightEuler,
                  pick("overworld_light_euler", Vector3(), Vector3(5.0f, 6.0f, 7.0f)));
        EXPECT_EQ(o.projectionFar, pick("overworld_proj_f", 1000.0f, 10.0f));
        EXPECT_EQ(o.projectionNear, pick("overworld_proj_n", 0.5f, 11.0f));
        EXPECT_EQ(o.projectionWidth, pick("overworld_proj_w", 1000, 12));
        EXPECT_EQ(o.projectionHeight, pick("overworld_proj_h", 1000, 13));
        EXPECT_EQ(d.sunPosition, pick("dungeon_sun_pos", up, Vector3(4.0f, 5.0f, 6.0f)));
        EXPECT_EQ(d.lightEuler, pick("dungeon_light_euler", Vector3(), Vector3(8.0f, 9.0f, 10.0f)));
        EXPECT_EQ(d.projectionFar, pick("dungeon_proj_f", 1000.0f, 14.0f));
        EXPECT_EQ(d.projectionNear, pick("dungeon_proj_n", 0.5f, 15.0f));
        EXPECT_EQ(d.projectionWidth, pick("dungeon_proj_w", 1000, 16));
        EXPECT_EQ(d.projectionHeight, pick("dungeon_proj_h", 1000, 17));
        EXPECT_EQ(game.system.m_enableShadow, pick("enableShadow", true, false));
        EXPECT_EQ(o.distance, pick("overworld_d", 0.0f, 18.0f));
        EXPECT_EQ(d.distance, pick("dungeon_d", 0.0f, 19.0f));

        const std::string message = std::string("lightSettings.config: \"") + c.key +
                                    "\" is missing or not stored as";
        if (c.reported)
            EXPECT_NE(game.printed.find(message), std::string::npos) << game.printed;
        else
            EXPECT_EQ(game.printed, "");
    }
}

TEST_F(GameShadowSystemTest, AnUnreadableFileGivesTheDefaultsAndIsLeftAlone)
{
    for (const std::string& file : {std::string(kDefaultFile).substr(0, 120), std::string("{}"),
                                   std::string("sun = 0 1000 0")}) {
        SCOPED_TRACE(file);
        WriteBytes("lightSettings.config", file);
        GameRun& game = Start();
        EXPECT_NE(game.printed.find("lightSettings.config could not be read as a settings file; "
                                    "the default shadow settings are used"),
                  std::string::npos)
            << game.printed;
        EXPECT_EQ(game.Sun(), Vector3(0.0f, 1000.0f, 0.0f));
        EXPECT_EQ(game.Projection(), Vector4(1000.0f, 1000.0f, 0.5f, 1000.0f));
        game.Send("EXIT_OVERWORLD");
        game.system.Update(0.0f);
        const std::string again = zttest::CaptureStdout([&] { game.system.LoadSettings(); });
        EXPECT_NE(again.find("could not be read"), std::string::npos);
        // Only "Save Settings" writes the file.
        EXPECT_EQ(ReadBytes("lightSettings.config"), file);
    }
}

TEST_F(GameShadowSystemTest, TheWindowEditsBothSetsAndShowsTheShadowMap)
{
    GameRun& game = Start();
    game.gui.Frame();
    const ztengine::GuiWindow* window = game.gui.Manager().GetGuiWindow(game.system.m_window);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->name, kWindow);
    EXPECT_TRUE(window->listed);
    EXPECT_EQ(window->width, 650.0f);
    EXPECT_EQ(window->height, 450.0f);

    // The widgets in drawing order, each with what it is bound to.
    const ztengine::GuiWindowWidgets* widgets = game.gui.Manager().GetWidgets(game.system.m_window);
    ASSERT_NE(widgets, nullptr);
    std::vector<std::string> labels;
    std::vector<const void*> bound;
    for (const ztengine::GuiLayoutEntry& entry : widgets->layout) {
        EXPECT_EQ(entry.header, -1);
        const int i = entry.widgetIndex;
        switch (entry.kind) {
        case ztengine::GuiWidgetText:
            labels.push_back("text " + widgets->texts[i]);
            bound.push_back(nullptr);
            break;
        case ztengine::GuiWidgetInputFloat3:
            labels.push_back("float3 " + widgets->inputFloat3s.records[i].label);
            bound.push_back(widgets->inputFloat3s.records[i].values);
            break;
        case ztengine::GuiWidgetInputInt:
            labels.push_back("int " + widgets->inputInts.records[i].label);
            bound.push_back(widgets->inputInts.records[i].value);
            break;
        case ztengine::GuiWidgetInputFloat:
            labels.push_back("float " + widgets->inputFloats.records[i].label);
            bound.push_back(widgets->inputFloats.records[i].value);
            break;
        case ztengine::GuiWidgetCheckbox:
            labels.push_back("check " + widgets->checkboxes[i].label);
            bound.push_back(widgets->checkboxes[i].value);
            break;
        case ztengine::GuiWidgetButton:
            labels.push_back("button " + widgets->buttons[i].label);
            bound.push_back(nullptr);
            break;
        default:
            labels.push_back("other");
            bound.push_back(nullptr);
            break;
        }
    }
    GameShadowSystem& s = game.system;
    EXPECT_EQ(labels, (std::vector<std::string>{
                          "text Setting Overworld",
                          "float3 Set Sun Position(OVERWORLD)",
                          "float3 Set Light Direction Euler(OVERWORLD)",
                          "int Set Projection W(OVERWORLD)",
                          "int Set Projection H(OVERWORLD)",
                          "float Set Projection N(OVERWORLD)",
                          "float Set Projection F(OVERWORLD)",
                          "float Set Distance from Origin(OVERWORLD)",
                          "text Setting Dungeon",
                          "float3 Set Sun Position(DUNGEON)",
                          "float3 Set Light Direction Euler(DUNGEON)",
                          "int Set Projection W(DUNGEON)",
                          "int Set Projection H(DUNGEON)",
                          "float Set Projection N(DUNGEON)",
                          "float Set Projection F(DUNGEON)",
                          "float Set Distance from Origin(DUNGEON)",
                          "check Show Shadow Map",
                          "button Save Settings",
                          "button Load Previous Settings",
                          "button Set Sun Position To Camera(Overworld)",
                          "button Set Sun Position To Camera(Dungeon)",
                      }));
    EXPECT_EQ(bound, (std::vector<const void*>{
                         nullptr, s.m_overworld.sunPosition.data, s.m_overworld.lightEuler.data,
                         &s.m_overworld.projectionWidth, &s.m_overworld.projectionHeight,
                         &s.m_overworld.projectionNear, &s.m_overworld.projectionFar,
                         &s.m_overworld.distance, nullptr, s.m_dungeon.sunPosition.data,
                         s.m_dungeon.lightEuler.data, &s.m_dungeon.projectionWidth,
                         &s.m_dungeon.projectionHeight, &s.m_dungeon.projectionNear,
                         &s.m_dungeon.projectionFar, &s.m_dungeon.distance, &s.m_showShadowMap,
                         nullptr, nullptr, nullptr, nullptr}));

    // The box shows the preview at the next update, and clearing it hides it again.
    const auto box = game.gui.Locate(kWindow, "Show Shadow Map");
    ASSERT_TRUE(box);
    game.gui.Click(*box);
    EXPECT_TRUE(s.m_showShadowMap);
    EXPECT_FALSE(game.Preview().visible);
    s.Update(0.0f);
    EXPECT_TRUE(game.Preview().visible);
    game.gui.Click(*box);
    s.Update(0.0f);
    EXPECT_FALSE(game.Preview().visible);

    // The camera buttons move the stored sun positions; in a dungeon that changes the file, not
    // the sun, which follows the camera anyway.
    const auto press = [&](const char* label) {
        for (const ztengine::GuiButton& button : widgets->buttons)
            if (button.label == label)
                button.callback();
    };
    game.renderer.SetCameraPosition(Vector3(5.0f, 6.0f, 7.0f));
    game.Send("EXIT_OVERWORLD");
    press("Set Sun Position To Camera(Dungeon)");
    EXPECT_EQ(s.m_dungeon.sunPosition, Vector3(5.0f, 6.0f, 7.0f));
    s.Update(0.0f);
    EXPECT_EQ(game.Sun(), Vector3(5.0f, 6.0f, 7.0f));
    game.renderer.SetCameraPosition(Vector3(1.0f, 1.0f, 1.0f));
    s.Update(0.0f);
    EXPECT_EQ(game.Sun(), Vector3(1.0f, 1.0f, 1.0f));

    press("Set Sun Position To Camera(Overworld)");
    game.Send("ENTER_OVERWORLD");
    s.Update(0.0f);
    EXPECT_EQ(game.Sun(), Vector3(1.0f, 1.0f, 1.0f));

    press("Save Settings");
    Params saved;
    ASSERT_TRUE(saved.LoadFromFile("lightSettings.config"));
    EXPECT_EQ(saved.GetParam("dungeon_sun_pos")->GetVec3(), Vector3(5.0f, 6.0f, 7.0f));
    EXPECT_EQ(saved.GetParam("overworld_sun_pos")->GetVec3(), Vector3(1.0f, 1.0f, 1.0f));

    s.m_overworld.sunPosition = Vector3();
    press("Load Previous Settings");
    EXPECT_EQ(s.m_overworld.sunPosition, Vector3(1.0f, 1.0f, 1.0f));
}

}  // namespace
