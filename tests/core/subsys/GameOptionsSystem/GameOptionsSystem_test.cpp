// The graphics options on a headless renderer: what a start-up pushes into the renderer and
// writes back to "settings.ini" for the files a player may have, how the "Options" window edits,
// applies and reloads them, and that a file the game cannot read is reported and kept.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "support/HeadlessApp.h"
#include "core/App.h"
#include "core/Win32App.h"
#include "core/graphics/Graphics2D.h"
#include "core/gui/GuiHarness.h"
#include "core/serialization/Params.h"
#include "core/subsys/GameOptionsSystem/GameOptionsSystem.h"
#include "support/AppFixture.h"
#include "support/NullRenderer3D.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using ztengine::GameOptionsSystem;
using ztengine::Params;
using ztmath::Vector3;
using zttest::GuiHarness;
using zttest::NullRenderer3D;

// What a first start writes: every option at its default, fog off, in the file's key order.
constexpr const char* kDefaultFile =
    R"({"data":[{"__name":"m_DOFFocalRange","__type":0,"__size":1,"__data":1000.0},)"
    R"({"__name":"m_DOFocalPerc","__type":0,"__size":1,"__data":0.0},)"
    R"({"__name":"m_bloomFilterThreshold","__type":2,"__size":1,)"
    R"("__data":[0.2125999927520752,0.7152000069618225,0.0722000002861023]},)"
    R"({"__name":"m_bloomIntensity","__type":0,"__size":1,"__data":1.0},)"
    R"({"__name":"m_blurSampleCount","__type":1,"__size":1,"__data":16},)"
    R"({"__name":"m_distanceFogColor","__type":2,"__size":1,"__data":[1.0,1.0,1.0]},)"
    R"({"__name":"m_enableDOF","__type":1,"__size":1,"__data":1},)"
    R"({"__name":"m_enableFog","__type":1,"__size":1,"__data":0},)"
    R"({"__name":"m_enableMotionBlur","__type":1,"__size":1,"__data":1},)"
    R"({"__name":"m_enableParallaxMapping","__type":1,"__size":1,"__data":0},)"
    R"({"__name":"m_enableSSAO","__type":1,"__size":1,"__data":1},)"
    R"({"__name":"m_fogDensity","__type":0,"__size":1,"__data":0.007000000216066837},)"
    R"({"__name":"m_fogGradient","__type":0,"__size":1,"__data":1.5},)"
    R"({"__name":"m_motionBlurScale","__type":0,"__size":1,"__data":0.75},)"
    R"({"__name":"m_setGammaFactor","__type":0,"__size":1,"__data":2.200000047683716},)"
    R"({"__name":"m_ssaoRadius","__type":0,"__size":1,"__data":0.8500000238418579},)"
    R"({"__name":"m_ssaoStrength","__type":0,"__size":1,"__data":2.299999952316284},)"
    R"({"__name":"m_ssao_allowance","__type":0,"__size":1,"__data":0.0}]})";

constexpr const char* kWindow = "Options";

using zttest::ReadBytes;

using zttest::WriteBytes;

// One parameter-set entry as the file holds it.
std::string Entry(const char* key, int type, const char* data)
{
    return std::string(R"({"__name":")") + key + R"(","__type":)" + std::to_string(type) +
           R"(,"__size":1,"__data":)" + data + "}";
}

std::string SetOf(const std::vector<std::string>& entries)
{
    std::string text = R"({"data":[)";
    for (size_t i = 0; i < entries.size(); ++i)
        text += (i > 0 ? "," : "") + entries[i];
    return text + "]}";
}

// The services a system takes from the application: the renderer is the headless one.
class OptionsApp : public zttest::HeadlessApp {
public:
    explicit OptionsApp(ztengine::Graphics3D* renderer)
    {
        m_graphics3DService = renderer;
        m_graphics2DService = &m_graphics2D;
    }

private:
    ztengine::Graphics2D m_graphics2D;
};

// One run of the game: a fresh GUI, renderer and options system. The GUI goes last, since the
// window's widgets point into the system.
struct GameRun {
    GuiHarness gui;
    NullRenderer3D renderer;
    OptionsApp app{&renderer};
    GameOptionsSystem system{&app};
    std::string printed;

    GameRun() { printed = zttest::CaptureStdout([&] { system.Init(); }); }
    const ztengine::RendererOptions& Options() const { return renderer.GetOptions(); }
};

class GameOptionsSystemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previousDir = fs::current_path();
        fs::current_path(zttest::MakeTempDir("options"));
    }
    void TearDown() override
    {
        run.reset();
        fs::current_path(m_previousDir);
    }

    // Starts the game anew in the same folder, as a player's next start.
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

TEST_F(GameOptionsSystemTest, FirstStartPushesTheDefaultsAndWritesThemAll)
{
    EXPECT_TRUE(GameOptionsSystem::kInitialisedAtStart);
    GameRun& game = Start();
    const NullRenderer3D& r = game.renderer;

    EXPECT_EQ(game.Options().m_effectsMask, 7);
    EXPECT_FALSE(game.Options().m_parallaxEnabled);
    EXPECT_TRUE(r.m_ssaoEnabled);
    EXPECT_FALSE(r.m_fogEnabled);
    EXPECT_EQ(game.Options().m_motionBlurSampleCount, 16);
    EXPECT_FLOAT_EQ(game.Options().m_motionBlurScale, 0.75f);
    EXPECT_FLOAT_EQ(r.m_ssaoRadius, 0.85f);
    EXPECT_FLOAT_EQ(r.m_ssaoStrength, 2.3f);
    EXPECT_FLOAT_EQ(game.Options().m_ssaoAllowance, 0.0f);
    EXPECT_FLOAT_EQ(game.Options().m_dofFocalRange, 1000.0f);
    EXPECT_FLOAT_EQ(game.Options().m_dofFocalPercent, 0.0f);
    EXPECT_FLOAT_EQ(r.m_fogGradient, 1.5f);
    EXPECT_FLOAT_EQ(r.m_fogDensity, 0.007f);
    EXPECT_EQ(r.m_fogColor, Vector3(1.0f, 1.0f, 1.0f));
    EXPECT_FLOAT_EQ(r.m_gamma, 2.2f);
    EXPECT_FLOAT_EQ(game.Options().m_bloomIntensity, 1.0f);
    EXPECT_EQ(game.Options().m_bloomThreshold, Vector3(0.2126f, 0.7152f, 0.0722f));

    EXPECT_EQ(ReadBytes("settings.ini"), kDefaultFile);
    EXPECT_EQ(game.printed, "");
}

// Each file a player may have, what the renderer gets from it, and what the start-up rewrite
// leaves in the file.
TEST_F(GameOptionsSystemTest, WhatAStartMakesOfTheFile)
{
    struct Case {
        const char* name;
        std::string file;
        std::function<void(const GameRun&, const Params&)> check;
    };
    const std::vector<Case> cases = {
        {"a switch stored as 2 is off and written back as 0",
         SetOf({Entry("m_enableDOF", 1, "2")}),
         [](const GameRun& game, const Params& saved) {
             EXPECT_EQ(game.Options().m_effectsMask, 3);
             EXPECT_EQ(saved.GetParam("m_enableDOF")->GetInt(), 0);
         }},
        {"motion blur off, depth of field on", SetOf({Entry("m_enableMotionBlur", 1, "0")}),
         [](const GameRun& game, const Params&) { EXPECT_EQ(game.Options().m_effectsMask, 5); }},
        {"both effects off",
         SetOf({Entry("m_enableMotionBlur", 1, "0"), Entry("m_enableDOF", 1, "0")}),
         [](const GameRun& game, const Params&) { EXPECT_EQ(game.Options().m_effectsMask, 1); }},
        {"only the fog density", SetOf({Entry("m_fogDensity", 0, "0.02")}),
         [](const GameRun& game, const Params& saved) {
             EXPECT_FLOAT_EQ(game.renderer.m_fogDensity, 0.02f);
             EXPECT_FLOAT_EQ(game.renderer.m_gamma, 2.2f);
             EXPECT_FLOAT_EQ(game.renderer.m_ssaoRadius, 0.85f);
             EXPECT_EQ(saved.Entries().size(), 18u);
             EXPECT_FLOAT_EQ(saved.GetParam("m_fogDensity")->GetFloat(), 0.02f);
         }},
        {"a key the game does not know is dropped",
         SetOf({Entry("m_enableSSAO", 1, "1"), Entry("m_oldOption", 0, "4.0")}),
         [](const GameRun&, const Params& saved) {
             EXPECT_FALSE(saved.HasParam("m_oldOption"));
             EXPECT_EQ(saved.Entries().size(), 18u);
         }},
        {"a sample count beyond the slider reaches the renderer",
         SetOf({Entry("m_blurSampleCount", 1, "100")}),
         [](const GameRun& game, const Params& saved) {
             EXPECT_EQ(game.Options().m_motionBlurSampleCount, 100);
             EXPECT_EQ(saved.GetParam("m_blurSampleCount")->GetInt(), 100);
         }},
        {"every value set",
         SetOf({Entry("m_enableFog", 1, "1"), Entry("m_enableSSAO", 1, "0"),
                Entry("m_enableParallaxMapping", 1, "1"),
                Entry("m_distanceFogColor", 2, "[0.5,0.25,0.125]"),
                Entry("m_motionBlurScale", 0, "0.5"), Entry("m_ssaoRadius", 0, "3"),
                Entry("m_ssaoStrength", 0, "4.5"), Entry("m_ssao_allowance", 0, "0.25"),
                Entry("m_DOFFocalRange", 0, "500.0"), Entry("m_DOFocalPerc", 0, "0.5"),
                Entry("m_fogGradient", 0, "2.0"), Entry("m_setGammaFactor", 0, "1.8"),
                Entry("m_bloomIntensity", 0, "0.5"),
                Entry("m_bloomFilterThreshold", 2, "[0.25,0.5,0.75]")}),
         [](const GameRun& game, const Params& saved) {
             const NullRenderer3D& r = game.renderer;
             EXPECT_TRUE(r.m_fogEnabled);
             EXPECT_FALSE(r.m_ssaoEnabled);
             EXPECT_TRUE(game.Options().m_parallaxEnabled);
             EXPECT_EQ(r.m_fogColor, Vector3(0.5f, 0.25f, 0.125f));
             EXPECT_FLOAT_EQ(game.Options().m_motionBlurScale, 0.5f);
             EXPECT_FLOAT_EQ(r.m_ssaoRadius, 3.0f);  // a whole number is a Float too
             EXPECT_FLOAT_EQ(r.m_ssaoStrength, 4.5f);
             EXPECT_FLOAT_EQ(game.Options().m_ssaoAllowance, 0.25f);
             EXPECT_FLOAT_EQ(game.Options().m_dofFocalRange, 500.0f);
             EXPECT_FLOAT_EQ(game.Options().m_dofFocalPercent, 0.5f);
             EXPECT_FLOAT_EQ(r.m_fogGradient, 2.0f);
             EXPECT_FLOAT_EQ(r.m_gamma, 1.8f);
             EXPECT_FLOAT_EQ(game.Options().m_bloomIntensity, 0.5f);
             EXPECT_EQ(game.Options().m_bloomThreshold, Vector3(0.25f, 0.5f, 0.75f));
             EXPECT_EQ(saved.GetParam("m_enableFog")->GetInt(), 1);
             EXPECT_EQ(saved.GetParam("m_enableSSAO")->GetInt(), 0);
             EXPECT_EQ(saved.GetParam("m_bloomFilterThreshold")->GetVec3(),
                       Vector3(0.25f, 0.5f, 0.75f));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes("settings.ini", c.file);
        GameRun& game = Start();
        EXPECT_EQ(game.printed, "");
        Params saved;
        ASSERT_TRUE(saved.LoadFromFile("settings.ini"));
        c.check(game, saved);
    }
}

TEST_F(GameOptionsSystemTest, KeysOfTheWrongTypeAreSkippedNotFatal)
{
    const std::string file =
        SetOf({Entry("m_blurSampleCount", 0, "20.5"), Entry("m_enableSSAO", 0, "0.0"),
               Entry("m_enableMotionBlur", 4, R"("no")"), Entry("m_ssaoRadius", 1, "3"),
               // Not usable by the loader at all: an Int written as a fraction and a
               // colour of whole numbers.
               Entry("m_enableFog", 1, "1.0"), Entry("m_distanceFogColor", 2, "[0,0,0]"),
               Entry("m_fogGradient", 0, "4.0")});
    WriteBytes("settings.ini", file);
    GameRun& game = Start();

    for (const char* key : {"m_blurSampleCount", "m_enableSSAO", "m_enableMotionBlur",
                            "m_ssaoRadius"}) {
        EXPECT_NE(game.printed.find(std::string("\"") + key + "\" is not stored as"),
                  std::string::npos)
            << key << "\n" << game.printed;
    }
    EXPECT_EQ(game.Options().m_motionBlurSampleCount, 16);
    EXPECT_TRUE(game.renderer.m_ssaoEnabled);
    EXPECT_EQ(game.Options().m_effectsMask, 7);
    EXPECT_FLOAT_EQ(game.renderer.m_ssaoRadius, 0.85f);
    EXPECT_FALSE(game.renderer.m_fogEnabled);
    EXPECT_EQ(game.renderer.m_fogColor, Vector3(1.0f, 1.0f, 1.0f));
    // The good key in the same file is taken.
    EXPECT_FLOAT_EQ(game.renderer.m_fogGradient, 4.0f);

    // The two entries the loader could not use are named with their place in the file.
    EXPECT_NE(game.printed.find("settings.ini: entry 4 (\"m_enableFog\"): "), std::string::npos)
        << game.printed;
    EXPECT_NE(game.printed.find("settings.ini: entry 5 (\"m_distanceFogColor\"): "),
              std::string::npos);

    // The start leaves the file as the player wrote it; "Apply Settings" replaces it with one in
    // the shape the game reads.
    EXPECT_TRUE(game.system.IsFileUnreadable());
    EXPECT_EQ(ReadBytes("settings.ini"), file);
    zttest::CaptureStdout([&] { game.system.ApplySettings(); });
    Params saved;
    ASSERT_TRUE(saved.LoadFromFile("settings.ini"));
    EXPECT_EQ(saved.Entries().size(), 18u);
    EXPECT_TRUE(saved.GetParam("m_blurSampleCount")->IsInt());
}

TEST_F(GameOptionsSystemTest, AnUnreadableFileGivesTheDefaultsAndIsKept)
{
    const std::vector<std::string> files = {
        R"({"data":[{"__name":"m_fogDensity","__type":0,"__size":1,"__data":0.02},)",  // cut off
        "gamma = 3",
        R"({"settings":[]})",
        SetOf({R"({"name":"m_fogDensity","data":0.02})"}),
    };
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        WriteBytes("settings.ini", file);
        GameRun& game = Start();
        EXPECT_NE(game.printed.find("settings.ini holds no setting the game can read"),
                  std::string::npos)
            << game.printed;
        EXPECT_NE(game.printed.find("settings.ini was left as it is"), std::string::npos);
        EXPECT_TRUE(game.system.IsFileUnreadable());
        EXPECT_EQ(game.Options().m_effectsMask, 7);
        EXPECT_FLOAT_EQ(game.renderer.m_ssaoRadius, 0.85f);
        EXPECT_FLOAT_EQ(game.renderer.m_gamma, 2.2f);
        EXPECT_EQ(ReadBytes("settings.ini"), file);

        // "Load Previous" says so again and changes nothing.
        game.system.m_setGammaFactor = 3.0f;
        const std::string again = zttest::CaptureStdout([&] { game.system.LoadSettings(); });
        EXPECT_NE(again.find("holds no setting"), std::string::npos);
        EXPECT_FLOAT_EQ(game.system.m_setGammaFactor, 3.0f);
        EXPECT_EQ(ReadBytes("settings.ini"), file);

        // Asking to apply replaces it.
        game.system.m_setGammaFactor = 2.2f;
        game.system.ApplySettings();
        EXPECT_FALSE(game.system.IsFileUnreadable());
        EXPECT_EQ(ReadBytes("settings.ini"), kDefaultFile);
    }
}

TEST_F(GameOptionsSystemTest, AnEmptyFileIsSimplyWrittenAnew)
{
    WriteBytes("settings.ini", "");
    GameRun& game = Start();
    EXPECT_EQ(game.printed, "settings.ini holds no setting the game can read (byte 0: The document "
                            "is empty.); the graphics options keep their current values\n");
    EXPECT_EQ(ReadBytes("settings.ini"), kDefaultFile);
}

TEST_F(GameOptionsSystemTest, AFailedWriteLeavesTheOldFileWhole)
{
    WriteBytes("settings.ini", SetOf({Entry("m_fogDensity", 0, "0.02")}));
    Start();
    const std::string before = ReadBytes("settings.ini");

    // A value JSON cannot hold stops the write before the file is touched.
    run->system.m_setGammaFactor = std::numeric_limits<float>::infinity();
    const std::string printed = zttest::CaptureStdout([&] { run->system.ApplySettings(); });
    EXPECT_NE(printed.find("error writing out Params to File: settings.ini"), std::string::npos)
        << printed;
    EXPECT_EQ(ReadBytes("settings.ini"), before);
    // The renderer has the value all the same.
    EXPECT_EQ(run->renderer.m_gamma, std::numeric_limits<float>::infinity());
}

TEST_F(GameOptionsSystemTest, TheWindowHoldsTheTwentyWidgetsBoundToTheOptions)
{
    GameRun& game = Start();
    game.gui.Frame();
    const ztengine::GuiWindow* window = game.gui.Manager().GetGuiWindow(game.system.m_window);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->name, kWindow);
    EXPECT_TRUE(window->listed);
    EXPECT_TRUE(window->visible);
    EXPECT_EQ(window->width, 640.0f);
    EXPECT_EQ(window->height, 640.0f);

    // Everything is at the window's top level and hovered top to bottom in this order.
    const auto item = [](const char* label, int index = -1) {
        const ImGuiID id = GuiHarness::IdOf(kWindow, label);
        return index < 0 ? id : ImHashData(&index, sizeof(index), id);
    };
    const std::vector<ImGuiID> expected = {
        item("Enable Motion Blur"),
        item("Blur Amt"),
        item("Blur Sample Count"),
        item("Enable Screen Space Ambient Occlusion"),
        item("SSAO Radius"),
        item("SSAO Strength"),
        item("SSAO AngleAllowance"),
        item("Enable Depth Of Field(Linear)"),
        item("Focal Range"),
        item("Focal Perc"),
        item("Enable Parallax Mapping"),
        item("Enable Distance Fog"),
        item("Set Fog Color", 0),
        item("Set Fog Density"),
        item("Set Fog Gradient"),
        item("Set Gamma Correction"),
        item("Set Bloom Intensity"),
        item("Set Bloom Threshold Values", 0),
        item("Apply Settings"),
        item("Load Previous"),
    };
    EXPECT_EQ(game.gui.HoverScan(kWindow), expected);

    // Each is bound to its option, with the ranges the panel offers.
    const ztengine::GuiWindowWidgets* widgets = game.gui.Manager().GetWidgets(game.system.m_window);
    ASSERT_NE(widgets, nullptr);
    EXPECT_EQ(widgets->layout.size(), 20u);
    for (const ztengine::GuiLayoutEntry& entry : widgets->layout)
        EXPECT_EQ(entry.header, -1);
    struct Slider {
        const char* label;
        const float* value;
        float min;
        float max;
    };
    const GameOptionsSystem& s = game.system;
    const std::vector<Slider> sliders = {
        {"Blur Amt", &s.m_motionBlurScale, 0.0f, 1.0f},
        {"SSAO Radius", &s.m_ssaoRadius, 0.0f, 20.0f},
        {"SSAO Strength", &s.m_ssaoStrength, 0.0f, 25.0f},
        {"SSAO AngleAllowance", &s.m_ssao_allowance, 0.0f, 1.0f},
        {"Focal Range", &s.m_DOFFocalRange, 0.0f, 10000.0f},
        {"Focal Perc", &s.m_DOFocalPerc, 0.0f, 1.0f},
        {"Set Fog Density", &s.m_fogDensity, 0.0f, 0.035f},
        {"Set Fog Gradient", &s.m_fogGradient, 0.0f, 20.0f},
        {"Set Gamma Correction", &s.m_setGammaFactor, 1.0f, 5.0f},
        {"Set Bloom Intensity", &s.m_bloomIntensity, 0.0f, 1.0f},
    };
    ASSERT_EQ(widgets->sliderFloats.records.size(), sliders.size());
    for (size_t i = 0; i < sliders.size(); ++i) {
        const ztengine::GuiSliderFloat& record = widgets->sliderFloats.records[i];
        EXPECT_EQ(record.label, sliders[i].label);
        EXPECT_EQ(record.value, sliders[i].value) << sliders[i].label;
        EXPECT_EQ(record.min, sliders[i].min) << sliders[i].label;
        EXPECT_EQ(record.max, sliders[i].max) << sliders[i].label;
    }
    ASSERT_EQ(widgets->sliderInts.records.size(), 1u);
    EXPECT_EQ(widgets->sliderInts.records[0].value, &s.m_blurSampleCount);
    EXPECT_EQ(widgets->sliderInts.records[0].min, 1);
    EXPECT_EQ(widgets->sliderInts.records[0].max, 62);
    ASSERT_EQ(widgets->checkboxes.size(), 5u);
    const std::vector<const bool*> switches = {&s.m_enableMotionBlur, &s.m_enableSSAO,
                                               &s.m_enableDOF, &s.m_enableParallaxMapping,
                                               &s.m_enableFog};
    for (size_t i = 0; i < switches.size(); ++i)
        EXPECT_EQ(widgets->checkboxes[i].value, switches[i]) << widgets->checkboxes[i].label;
    ASSERT_EQ(widgets->drags.size(), 1u);
    EXPECT_EQ(widgets->drags[0].values, s.m_distanceFogColor.data);
    EXPECT_EQ(widgets->drags[0].speed, 0.01f);
    ASSERT_EQ(widgets->inputFloat3s.records.size(), 1u);
    EXPECT_EQ(widgets->inputFloat3s.records[0].values, s.m_bloomFilterThreshold.data);
}

TEST_F(GameOptionsSystemTest, ThePanelAppliesOnlyOnApplyAndAnAppliedValueSurvivesARestart)
{
    GameRun* game = &Start();
    game->gui.Frame();
    const auto dof = game->gui.Locate(kWindow, "Enable Depth Of Field(Linear)");
    const auto apply = game->gui.Locate(kWindow, "Apply Settings");
    ASSERT_TRUE(dof && apply);

    // Ticking a box and moving a value change the panel only.
    game->gui.Click(*dof);
    EXPECT_FALSE(game->system.m_enableDOF);
    game->system.m_setGammaFactor = 1.6f;
    EXPECT_EQ(game->Options().m_effectsMask, 7);
    EXPECT_FLOAT_EQ(game->renderer.m_gamma, 2.2f);
    EXPECT_EQ(ReadBytes("settings.ini"), kDefaultFile);

    game->gui.Click(*apply);
    EXPECT_EQ(game->Options().m_effectsMask, 3);
    EXPECT_FLOAT_EQ(game->renderer.m_gamma, 1.6f);

    // The next start reads the applied values back.
    game = &Start();
    EXPECT_FALSE(game->system.m_enableDOF);
    EXPECT_FLOAT_EQ(game->system.m_setGammaFactor, 1.6f);
    EXPECT_EQ(game->Options().m_effectsMask, 3);
    EXPECT_FLOAT_EQ(game->renderer.m_gamma, 1.6f);
}

TEST_F(GameOptionsSystemTest, LoadPreviousRestoresThePanelButNotTheRenderer)
{
    WriteBytes("settings.ini", SetOf({Entry("m_ssaoRadius", 0, "4.0")}));
    GameRun& game = Start();
    game.gui.Frame();
    const auto load = game.gui.Locate(kWindow, "Load Previous");
    ASSERT_TRUE(load);

    game.system.m_ssaoRadius = 9.0f;
    game.system.m_fogDensity = 0.03f;
    game.renderer.m_ssaoRadius = 12.0f;  // a change made elsewhere
    game.gui.Click(*load);
    EXPECT_FLOAT_EQ(game.system.m_ssaoRadius, 4.0f);
    // Every key was written at start-up, so every edited value comes back.
    EXPECT_FLOAT_EQ(game.system.m_fogDensity, 0.007f);
    EXPECT_FLOAT_EQ(game.renderer.m_ssaoRadius, 12.0f);

    // With the file gone the panel keeps what it shows.
    fs::remove("settings.ini");
    game.system.m_ssaoRadius = 9.0f;
    const std::string printed = zttest::CaptureStdout([&] { game.gui.Click(*load); });
    EXPECT_EQ(printed, "");
    EXPECT_FLOAT_EQ(game.system.m_ssaoRadius, 9.0f);
}

// The game's own start-up, with a window: the options arrive after the renderer has set its
// own values, and what is applied is there at the next start.
TEST(GameOptionsInTheGame, TheFileWinsOverTheRenderersOwnStartValues)
{
    // A display of our own that stays up between the two starts (a shared one may be
    // resetting when the first game closes its connection).
    const std::string display = zttest::PrivateDisplay(1280, 1024);
    ASSERT_FALSE(display.empty()) << "no Xvfb";
    const zttest::ScopedDisplay onDisplay(display);
    const fs::path work = zttest::MakeRuntimeWorkspace("options-game");
    WriteBytes(work / "settings.ini",
              SetOf({Entry("m_setGammaFactor", 0, "1.7"), Entry("m_enableDOF", 1, "0")}));
    GameOptionsSystem* system = nullptr;
    zttest::AppFixtureOptions options;
    options.workDir = work;
    options.beforeInit = [&system](ztengine::Win32App& app) {
        auto [added, handle] = app.AddSystem<GameOptionsSystem>();
        app.RegSystemToState("GAME_OPTIONS_SETTING_STATE", handle);
        system = added;
    };

    {
        std::unique_ptr<zttest::AppFixture> game;
        zttest::CaptureStdout([&] { game = std::make_unique<zttest::AppFixture>(options); });
        ASSERT_TRUE(game->Started()) << game->InitError();
        ztengine::Graphics3D* renderer = game->App().GetGraphics3D();
        EXPECT_FLOAT_EQ(renderer->m_gamma, 1.7f);
        EXPECT_FALSE(renderer->IsDOFEnabled());
        EXPECT_FLOAT_EQ(renderer->m_ssaoRadius, 0.85f);
        EXPECT_FLOAT_EQ(renderer->GetMotionBlurScale(), 0.75f);

        zttest::CaptureStdout([&] {
            game->RunFrames(2);
            system->m_ssaoRadius = 5.0f;
            system->ApplySettings();
            game->Shutdown();
        });
    }

    std::unique_ptr<zttest::AppFixture> game;
    zttest::CaptureStdout([&] { game = std::make_unique<zttest::AppFixture>(options); });
    ASSERT_TRUE(game->Started()) << game->InitError();
    EXPECT_FLOAT_EQ(game->App().GetGraphics3D()->m_ssaoRadius, 5.0f);
    EXPECT_FLOAT_EQ(game->App().GetGraphics3D()->m_gamma, 1.7f);
    zttest::CaptureStdout([&] { game->Shutdown(); });
}

}  // namespace
