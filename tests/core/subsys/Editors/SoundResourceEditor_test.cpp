// The sound resource editor with the silent sound output, a CPU renderer and a scratch audio
// folder of small WAV files: listing, the registry file, registering names and playing them.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "support/HeadlessApp.h"
#include "core/App.h"
#include "core/Win32App.h"
#include "core/gui/GuiHarness.h"
#include "core/resources/SoundManager.h"
#include "core/sound/SoundSystem.h"
#include "core/subsys/Editors/SoundResourceEditor/SoundResourceEditor.h"
#include "support/NullRenderer3D.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using ztengine::SoundManager;
using ztengine::SoundResourceEditor;
using ztengine::SoundSystem;

ztengine::SoundSystemOptions SilentOutput()
{
    ztengine::SoundSystemOptions options;
    options.output = FMOD_OUTPUTTYPE_NOSOUND;
    return options;
}

// A mono 16-bit PCM file of the given length at 8 kHz.
void WriteWav(const fs::path& path, uint32_t samples)
{
    auto u32 = [](std::ofstream& out, uint32_t v) { out.write(reinterpret_cast<char*>(&v), 4); };
    auto u16 = [](std::ofstream& out, uint16_t v) { out.write(reinterpret_cast<char*>(&v), 2); };
    std::ofstream out(path, std::ios::binary);
    out.write("RIFF", 4);
    u32(out, 36 + samples * 2);
    out.write("WAVEfmt ", 8);
    u32(out, 16);
    u16(out, 1);  // PCM
    u16(out, 1);  // mono
    u32(out, 8000);
    u32(out, 16000);
    u16(out, 2);
    u16(out, 16);
    out.write("data", 4);
    u32(out, samples * 2);
    for (uint32_t i = 0; i < samples; ++i)
        u16(out, static_cast<uint16_t>((i * 523u) & 0x3FFFu));
}

using zttest::ReadBytes;

class SoundApp : public zttest::HeadlessApp {
public:
    SoundApp()
    {
        m_soundService = &sounds;
        m_graphics3DService = &renderer;
        AddSharedData<SoundManager>("SoundManager");
    }
    ~SoundApp() override { ReleaseSharedData(); }

    zttest::NullRenderer3D renderer;
    SoundSystem sounds{SilentOutput()};
};

constexpr const char* kRegistry =
    R"([{"SoundName":"alpha","FileName":"two.wav"},{"SoundName":"beta","FileName":"Three.WAV"},)"
    R"({"BGMName":"theme","FileName":"one.wav"}])";

class SoundResourceEditorTest : public ::testing::Test {
protected:
    SoundResourceEditorTest()
    {
        fs::create_directories(dir / "audio");
        WriteWav(dir / "audio" / "one.wav", 4000);
        WriteWav(dir / "audio" / "two.wav", 6000);
        WriteWav(dir / "audio" / "Three.WAV", 8000);
        std::ofstream(dir / "audio" / "notes.txt") << "not a sound";
        std::ofstream(dir / "audio" / "audio.json", std::ios::binary) << kRegistry;
        fs::current_path(dir);
        zttest::CaptureStdout([&] {
            app = std::make_unique<SoundApp>();
            editor = std::make_unique<SoundResourceEditor>(app.get());
        });
    }
    ~SoundResourceEditorTest() override
    {
        editor.reset();
        app.reset();
        fs::current_path(previousDir);
    }

    void Init()
    {
        zttest::CaptureStdout([&] { editor->Init(); });
        editor->Update(1.0f / 60.0f);
    }
    int IndexOf(const std::vector<std::string>& names, const std::string& name)
    {
        for (size_t i = 0; i < names.size(); ++i) {
            if (names[i] == name)
                return static_cast<int>(i);
        }
        ADD_FAILURE() << name << " is not listed";
        return -1;
    }
    void Type(const char* name)
    {
        std::memset(editor->m_name, 0, sizeof(editor->m_name));
        std::strncpy(editor->m_name, name, sizeof(editor->m_name) - 1);
    }
    SoundManager& Registry() { return *app->GetSharedData<SoundManager>("SoundManager"); }
    std::string RegistryFile() { return ReadBytes(dir / "audio" / "audio.json"); }

    zttest::GuiHarness gui;
    fs::path previousDir = fs::current_path();
    fs::path dir = zttest::MakeTempDir("sound-editor");
    std::unique_ptr<SoundApp> app;
    std::unique_ptr<SoundResourceEditor> editor;
};

TEST_F(SoundResourceEditorTest, InitListsTheWavFilesAndReadsTheRegistryWithoutLoadingIt)
{
    EXPECT_TRUE(ztengine::SystemInitialisedAtStart<SoundResourceEditor>());
    zttest::CaptureStdout([&] { editor->Init(); });

    // Matched without regard to case, as the game's data was named on Windows.
    EXPECT_EQ(editor->m_audioFiles, (std::vector<std::string>{"one.wav", "Three.WAV", "two.wav"}));
    EXPECT_EQ(Registry().m_soundFiles.size(), 2u);
    EXPECT_EQ(Registry().m_musicFiles.at("theme"), "one.wav");
    EXPECT_TRUE(app->sounds.m_sounds.empty());
    EXPECT_TRUE(app->sounds.m_streams.empty());

    for (int window : {editor->m_currentAudioWindow, editor->m_createAudioWindow}) {
        const ztengine::GuiWindow* w = gui.Manager().GetGuiWindow(window);
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(w->listed);
        EXPECT_EQ(w->width, 350.0f);
        EXPECT_EQ(w->height, 200.0f);
        EXPECT_FALSE(w->visible) << w->name;
    }
    EXPECT_EQ(gui.Manager().GetGuiWindow(editor->m_currentAudioWindow)->name, "Current Audio");
    EXPECT_EQ(gui.Manager().GetGuiWindow(editor->m_createAudioWindow)->name, "Create Audio");

    // The name lists follow the registry from the first update on, in name order.
    EXPECT_TRUE(editor->m_soundNames.empty());
    editor->Update(1.0f / 60.0f);
    EXPECT_EQ(editor->m_soundNames, (std::vector<std::string>{"alpha", "beta"}));
    EXPECT_EQ(editor->m_musicNames, (std::vector<std::string>{"theme"}));

    editor->SetToCurrentState();
    EXPECT_TRUE(gui.Manager().GetGuiWindow(editor->m_currentAudioWindow)->visible);
    EXPECT_TRUE(gui.Manager().GetGuiWindow(editor->m_createAudioWindow)->visible);
    editor->NextState(2);
    EXPECT_FALSE(gui.Manager().GetGuiWindow(editor->m_currentAudioWindow)->visible);
    EXPECT_FALSE(gui.Manager().GetGuiWindow(editor->m_createAudioWindow)->visible);
}

TEST_F(SoundResourceEditorTest, CreateRegistersTheNameAndRewritesTheRegistryAtOnce)
{
    Init();
    *editor->m_audioSelection = IndexOf(editor->m_audioFiles, "one.wav");
    Type("gamma");
    editor->CreateSound();

    EXPECT_EQ(Registry().m_soundFiles.at("gamma"), "one.wav");
    ASSERT_EQ(Registry().m_soundIds.count("gamma"), 1u);
    EXPECT_NE(app->sounds.m_sounds.at(static_cast<size_t>(Registry().m_soundIds["gamma"])),
              nullptr);
    EXPECT_EQ(std::string(editor->m_name, sizeof(editor->m_name)),
              std::string(sizeof(editor->m_name), '\0'));
    EXPECT_EQ(RegistryFile(),
              R"([{"SoundName":"alpha","FileName":"two.wav"},{"SoundName":"beta","FileName":"Three.WAV"},)"
              R"({"SoundName":"gamma","FileName":"one.wav"},{"BGMName":"theme","FileName":"one.wav"}])");
    editor->Update(1.0f / 60.0f);
    EXPECT_EQ(editor->m_soundNames, (std::vector<std::string>{"alpha", "beta", "gamma"}));

    // The same name again: reported, unchanged, the field cleared and the file written anew.
    fs::remove(dir / "audio" / "audio.json");
    *editor->m_audioSelection = IndexOf(editor->m_audioFiles, "two.wav");
    Type("gamma");
    const std::string out = zttest::CaptureStdout([&] { editor->CreateSound(); });
    EXPECT_EQ(out, "sound with the name \"gamma\" already exists!\n");
    EXPECT_EQ(Registry().m_soundFiles.at("gamma"), "one.wav");
    EXPECT_EQ(app->sounds.m_sounds.size(), 1u);
    EXPECT_EQ(editor->m_name[0], '\0');
    EXPECT_NE(RegistryFile().find(R"({"SoundName":"gamma","FileName":"one.wav"})"),
              std::string::npos);

    // Music in the same way.
    *editor->m_audioSelection = IndexOf(editor->m_audioFiles, "Three.WAV");
    Type("boss");
    editor->CreateBGM();
    EXPECT_EQ(Registry().m_musicFiles.at("boss"), "Three.WAV");
    EXPECT_EQ(Registry().m_musicIds.count("boss"), 1u);
    EXPECT_NE(RegistryFile().find(R"({"BGMName":"boss","FileName":"Three.WAV"},{"BGMName":"theme")"),
              std::string::npos);
    editor->Update(1.0f / 60.0f);
    EXPECT_EQ(editor->m_musicNames, (std::vector<std::string>{"boss", "theme"}));
}

TEST_F(SoundResourceEditorTest, AfterAnUnreadableRegistryTheStatusSaysTheFileIsKeptAndHowToRecover)
{
    const std::string broken = R"([{"SoundName":"alpha","FileName":)";
    std::ofstream(dir / "audio" / "audio.json", std::ios::binary) << broken;
    Init();
    EXPECT_EQ(editor->m_status, "");
    *editor->m_audioSelection = IndexOf(editor->m_audioFiles, "one.wav");
    Type("gamma");
    zttest::CaptureStdout([&] { editor->CreateSound(); });
    EXPECT_EQ(editor->m_status, "audio/audio.json could not be read at start-up and is kept "
                                "unchanged: nothing is saved. Fix the file and restart the game.");
    EXPECT_EQ(RegistryFile(), broken);
}

TEST_F(SoundResourceEditorTest, CreateWithoutAFileOrANameDoesNothing)
{
    Init();
    fs::remove(dir / "audio" / "audio.json");
    struct Case {
        int selection;
        const char* name;
    };
    for (const Case& c : {Case{0, ""}, Case{-1, "delta"}, Case{3, "delta"}}) {
        *editor->m_audioSelection = c.selection;
        Type(c.name);
        editor->CreateSound();
        editor->CreateBGM();
        EXPECT_FALSE(fs::exists(dir / "audio" / "audio.json")) << c.selection << c.name;
        EXPECT_EQ(Registry().m_soundFiles.size(), 2u);
        EXPECT_EQ(Registry().m_musicFiles.size(), 1u);
    }
}

TEST_F(SoundResourceEditorTest, PlayingANameFromTheRegistryFilePlaysItsOwnFile)
{
    Init();
    // Sound 0 of the sound system is another file, registered during the run.
    *editor->m_audioSelection = IndexOf(editor->m_audioFiles, "one.wav");
    Type("gamma");
    editor->CreateSound();
    editor->Update(1.0f / 60.0f);
    ASSERT_EQ(Registry().m_soundIds.at("gamma"), 0);

    app->renderer.SetCameraPosition(ztmath::Vector3(1.0f, 2.0f, 3.0f));
    *editor->m_soundSelection = IndexOf(editor->m_soundNames, "beta");
    editor->PlaySound();
    ASSERT_EQ(Registry().m_soundIds.count("beta"), 1u);
    const int32_t beta = Registry().m_soundIds.at("beta");
    EXPECT_NE(beta, 0);
    ASSERT_EQ(app->sounds.m_instances.size(), 1u);
    EXPECT_EQ(app->sounds.m_instances[0].m_soundIndex, beta);
    EXPECT_TRUE(app->sounds.IsPlaying(0));
    EXPECT_EQ(app->sounds.m_listenerPosition, ztmath::Vector3(1.0f, 2.0f, 3.0f));

    // Each press plays a new instance of the sound loaded the first time.
    editor->PlaySound();
    EXPECT_EQ(app->sounds.m_sounds.size(), 2u);
    ASSERT_EQ(app->sounds.m_instances.size(), 2u);
    EXPECT_EQ(app->sounds.m_instances[1].m_soundIndex, beta);

    // Music from the file starts its own stream, loaded once.
    *editor->m_musicSelection = IndexOf(editor->m_musicNames, "theme");
    editor->PlayBGM();
    editor->PlayBGM();
    ASSERT_EQ(app->sounds.m_streams.size(), 1u);
    const int32_t theme = Registry().m_musicIds.at("theme");
    EXPECT_NE(app->sounds.m_musicRecords.at(static_cast<size_t>(theme)).m_channel, nullptr);

    // No pick: nothing plays.
    *editor->m_soundSelection = 5;
    *editor->m_musicSelection = -1;
    editor->PlaySound();
    editor->PlayBGM();
    EXPECT_EQ(app->sounds.m_instances.size(), 2u);
    EXPECT_EQ(app->sounds.m_streams.size(), 1u);
    // The registry file keeps only names and files.
    EXPECT_EQ(RegistryFile().find("Id"), std::string::npos);
}

}  // namespace
