// Bad input, odd names and crashes around the files the game keeps: scenes that share a name,
// scene names that would leave their folder, list records that cannot be used, images that
// cannot be read, values a scene file cannot hold, saves cut short, lines lost at an abort, and
// a virtual display outliving its test.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "core/MessagingSystem.h"
#include "core/graphics/Graphics2D.h"
#include "core/graphics/framework/RenderRecords.h"
#include "core/gui/Gui.h"
#include "core/resources/MaterialManager.h"
#include "core/resources/MeshManager.h"
#include "core/resources/ModelManager.h"
#include "core/resources/PropManager.h"
#include "core/resources/ResourceJson.h"
#include "core/resources/ResourceTestUtil.h"
#include "core/resources/SoundManager.h"
#include "core/serialization/WinConfig.h"
#include "core/sound/SoundSystem.h"
#include "core/subsys/DungeonGenerator/DungeonMapGenerator.h"
#include "core/subsys/GameOptionsSystem/GameOptionsSystem.h"
#include "core/subsys/GameShadowSystem/GameShadowSystem.h"
#include "core/subsys/sharedData/PlayerStatus.h"
#include "support/AppFixture.h"
#include "support/HeadlessApp.h"
#include "support/NullRenderer3D.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using ztengine::PropManager;
using zttest::ReadBytes;
using zttest::WriteBytes;

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

class SceneFilesTest : public testing::Test {
protected:
    std::string Load()
    {
        scenes.m_folder = dir.string();
        return zttest::CaptureStdout([&] { scenes.Load(); });
    }
    std::string Save()
    {
        return zttest::CaptureStdout([&] { scenes.Save(); });
    }
    std::string Path(const std::string& name) const { return (dir / name).string(); }

    fs::path dir = zttest::MakeTempDir("scenefiles");
    PropManager scenes;
};

const char* const kOneProp =
    "{\"name\": \"crate\", \"model name\": \"Crate4\", \"position\": [1.0, 2.0, 3.0], "
    "\"collider type\": 0}";
const char* const kBackupProp =
    "{\"name\": \"old crate\", \"model name\": \"Crate4\", \"position\": [9.0, 9.0, 9.0], "
    "\"collider type\": 0}";

TEST_F(SceneFilesTest, TwoFilesGivingOneSceneNameAreReportedAndEditsReachTheFileReadFrom)
{
    WriteBytes(dir / "hall.bak.json", kBackupProp);
    WriteBytes(dir / "hall.json", kOneProp);
    const std::string printed = Load();
    EXPECT_TRUE(Contains(printed, Path("hall.bak.json") + " gives the scene name \"hall\" that " +
                                      Path("hall.json") + " already gives: it is not loaded\n"))
        << printed;
    ASSERT_EQ(scenes.m_scenes.size(), 1u);
    ASSERT_EQ(scenes.m_scenes[0].m_props.size(), 1u);
    EXPECT_EQ(scenes.m_scenes[0].m_props[0].m_name, "crate");

    // The edit is saved into the file the scene came from; the backup stays as it was.
    scenes.m_playerStart = ztmath::Vector3(0.0f, 5.0f, 0.0f);
    scenes.StoreCurrentScene("hall");
    Save();
    EXPECT_EQ(ReadBytes(dir / "hall.bak.json"), kBackupProp);
    EXPECT_EQ(ReadBytes(dir / "hall.json"), "{}");
    PropManager reread;
    reread.m_folder = dir.string();
    zttest::CaptureStdout([&] { reread.Load(); });
    EXPECT_EQ(reread.GetScene("hall").m_playerStart, ztmath::Vector3(0.0f, 5.0f, 0.0f));

    // A scene known only from a file with a longer name is written back to that file.
    fs::remove(dir / "hall.json");
    fs::remove(dir / "hall.dlight");
    fs::remove(dir / "hall.plight");
    PropManager backupOnly;
    backupOnly.m_folder = dir.string();
    zttest::CaptureStdout([&] { backupOnly.Load(); });
    backupOnly.StoreCurrentScene("hall");
    zttest::CaptureStdout([&] { backupOnly.Save(); });
    EXPECT_EQ(ReadBytes(dir / "hall.bak.json"), "{}");
    EXPECT_FALSE(fs::exists(dir / "hall.json"));
}

TEST_F(SceneFilesTest, SceneNamesThatAreNoPlainFileNameAreRefused)
{
    const struct {
        const char* name;
        bool accepted;
    } kCases[] = {
        {"hall", true},           {"Dungeon Room 2", true}, {"caf\xc3\xa9", true},
        {"", false},              {"..", false},            {"../escaped", false},
        {"a/b", false},           {"a\\b", false},          {"a..b", false},
        {"what?", false},         {"a:b", false},           {"a*", false},
        {"tab\there", false},     {"hall.bak", false},      {"trailing ", false},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(ztengine::SceneNameProblem(c.name) == nullptr, c.accepted) << c.name;

    // Whatever stores such a name, saving writes nothing outside the scene folder.
    Load();
    scenes.StoreCurrentScene("../escaped");
    const std::string printed = Save();
    EXPECT_TRUE(Contains(printed, "is not saved")) << printed;
    EXPECT_FALSE(fs::exists(dir.parent_path() / "escaped.json"));
}

TEST_F(SceneFilesTest, BadValuesAreReportedWithThePropsIndexAndKeyAndTheFileIsKept)
{
    const std::string props =
        "{\"name\": \"a\", \"collider type\": 0, \"name\": \"b\", \"position\": [1.0, 2.0], "
        "\"pitch\": \"up\", \"collider type\": 0}";
    const std::string lights = "{\"light name\": 3, \"radius\": 1.0}";
    const std::string dlight = "{\"direction\": [0.0, -1.0], \"enabled\": true}";
    WriteBytes(dir / "hall.json", props);
    WriteBytes(dir / "hall.plight", lights);
    WriteBytes(dir / "hall.dlight", dlight);
    const std::string printed = Load();
    EXPECT_TRUE(Contains(printed, Path("hall.json") +
                                      ": prop 1: \"position\" is not three finite numbers\n"))
        << printed;
    EXPECT_TRUE(Contains(printed, Path("hall.json") + ": prop 1: \"pitch\" is not a finite number\n"));
    EXPECT_TRUE(Contains(printed, Path("hall.plight") + ": point light 0: \"light name\" is not a string\n"));
    EXPECT_TRUE(Contains(printed, Path("hall.dlight") + ": directional light 0: \"direction\""));
    ASSERT_EQ(scenes.m_scenes.size(), 1u);
    EXPECT_EQ(scenes.m_scenes[0].m_props.size(), 2u);

    // The exit save leaves the files as the designer wrote them.
    Save();
    EXPECT_EQ(ReadBytes(dir / "hall.json"), props);
    EXPECT_EQ(ReadBytes(dir / "hall.plight"), lights);
    EXPECT_EQ(ReadBytes(dir / "hall.dlight"), dlight);
}

TEST_F(SceneFilesTest, ASaveCutShortLeavesTheOldSetOrCompletesTheNewOne)
{
    WriteBytes(dir / "hall.json", "{}");
    WriteBytes(dir / "hall.plight", "{}");
    WriteBytes(dir / "cave.json", "{}");
    WriteBytes(dir / "cave.plight", "{}");
    // hall: cut short before its set was committed; cave: cut short half-way through the renames.
    WriteBytes(dir / "hall.json.tmp", kOneProp);
    WriteBytes(dir / "hall.commit.tmp", "hall.json\n");
    WriteBytes(dir / "cave.json.tmp", kOneProp);
    WriteBytes(dir / "cave.plight", "{\"light name\": \"new\", \"radius\": 1.0}");
    WriteBytes(dir / "cave.commit", "cave.json\ncave.plight\n../outside\n");
    WriteBytes(dir.parent_path() / "outside.tmp", "x");
    Load();
    EXPECT_EQ(ReadBytes(dir / "hall.json"), "{}");
    EXPECT_EQ(ReadBytes(dir / "cave.json"), kOneProp);
    EXPECT_EQ(ReadBytes(dir / "cave.plight"), "{\"light name\": \"new\", \"radius\": 1.0}");
    EXPECT_FALSE(fs::exists(dir / "hall.json.tmp"));
    EXPECT_FALSE(fs::exists(dir / "hall.commit.tmp"));
    EXPECT_FALSE(fs::exists(dir / "cave.commit"));
    EXPECT_TRUE(fs::exists(dir.parent_path() / "outside.tmp"));
    EXPECT_EQ(scenes.GetScene("cave").m_props.size(), 1u);

    // A normal save leaves nothing behind but the three files of each scene.
    Save();
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"cave.dlight", "cave.json", "cave.plight",
                                               "hall.dlight", "hall.json", "hall.plight"}));
}

class ListRecordsTest : public testing::Test {
protected:
    template <class Manager>
    std::string Load(Manager& manager, const std::string& bytes)
    {
        manager.m_fileName = (dir / "list.init").string();
        WriteBytes(manager.m_fileName, bytes);
        return zttest::CaptureStdout([&] { manager.Load(); });
    }
    template <class Manager>
    std::string Save(Manager& manager)
    {
        zttest::CaptureStdout([&] { manager.Save(); });
        return ReadBytes(manager.m_fileName);
    }
    fs::path dir = zttest::MakeTempDir("listrecords");
};

TEST_F(ListRecordsTest, ABadRecordIsReportedWithItsIndexAndKeptAtTheNextSave)
{
    const std::string good =
        R"({"mat":"stone","diff":"d.png","spec":"s.png","nrm":"n.png","disp":"h.png"})";
    const std::string noSpec = R"({"mat":"wood","diff":"d.png","nrm":"n.png","disp":"h.png"})";
    ztengine::MaterialManager materials;
    std::string printed = Load(materials, "[" + good + "," + noSpec + ",7]");
    const std::string file = materials.m_fileName;
    EXPECT_TRUE(Contains(printed, file + ": record 1 is not used (\"spec\" is missing)")) << printed;
    EXPECT_TRUE(Contains(printed, file + ": record 2 is not used (not an object)")) << printed;
    ASSERT_EQ(materials.m_materials.size(), 1u);
    EXPECT_EQ(Save(materials), "[" + good + "," + noSpec + ",7]");

    const std::string mesh =
        R"({"MeshName":"ring","MeshType":4,"MeshStacks":8,"MeshSlices":8,"MeshStartAngle":0,)"
        R"("MeshEndAngle":6.0,"MeshMinorFactor":0.5,"MeshFilePath":"","MeshFileName":""})";
    ztengine::MeshManager meshes;
    printed = Load(meshes, "[" + mesh + "]");
    EXPECT_TRUE(Contains(printed, ": record 0 is not used (\"MeshStartAngle\" is not a number"))
        << printed;
    EXPECT_TRUE(meshes.m_meshes.empty());
    EXPECT_EQ(Save(meshes), "[" + mesh + "]");

    const std::string model = R"({"ModelName":"m","MeshName":"x","MaterialName":3})";
    ztengine::ModelManager models;
    printed = Load(models, "[" + model + "]");
    EXPECT_TRUE(Contains(printed, "record 0 is not used (\"MaterialName\" is not a string)"));
    EXPECT_EQ(Save(models), "[" + model + "]");

    ztengine::SoundManager sounds;
    const std::string path = (dir / "sounds.json").string();
    WriteBytes(path, R"([{"SoundName":"hit","FileName":"hit.wav"},{"SoundName":"miss"}])");
    printed = zttest::CaptureStdout([&] { sounds.Load(path); });
    EXPECT_TRUE(Contains(printed, "record 1 is not used (\"FileName\" is missing)")) << printed;
    zttest::CaptureStdout([&] { sounds.Save(path); });
    EXPECT_EQ(ReadBytes(path), R"([{"SoundName":"hit","FileName":"hit.wav"},{"SoundName":"miss"}])");
}

TEST_F(ListRecordsTest, AnEditorSaysAnUnreadableListIsKeptAndHowToRecover)
{
    ztengine::MaterialManager materials;
    Load(materials, "[{\"mat\":");
    ASSERT_TRUE(materials.KeepsUnreadableFile());
    std::string status = "wood has been created.";
    zttest::CaptureStdout([&] { materials.Save(); });
    ztengine::ReportIfListKept(materials, status);
    EXPECT_EQ(status, materials.m_fileName +
                          " could not be read at start-up and is kept unchanged: nothing is "
                          "saved. Fix the file and restart the game.");
    EXPECT_EQ(ReadBytes(materials.m_fileName), "[{\"mat\":");

    ztengine::MaterialManager readable;
    Load(readable, "[]");
    status = "wood has been created.";
    ztengine::ReportIfListKept(readable, status);
    EXPECT_EQ(status, "wood has been created.");
}

// The headless renderer, with some image files that cannot be read.
class MissingImageRenderer : public zttest::NullRenderer3D {
public:
    uint32_t LoadMaterialTexture(const char* path, TextureKind kind) override
    {
        if (std::string(path).find("missing") != std::string::npos)
            return ztengine::kNoTexture;
        return NullRenderer3D::LoadMaterialTexture(path, kind);
    }
};

TEST(MaterialImages, AnImageThatCannotBeReadIsReportedAndItsSlotKeepsTheDefault)
{
    MissingImageRenderer renderer;
    const ztengine::RenderMaterial defaults = renderer.GetMaterial(0);
    int32_t material = -1;
    const std::string printed = zttest::CaptureStdout([&] {
        material = renderer.CreateMaterial("missing_d.png", "s.png", "missing_n.png", "h.png");
    });
    EXPECT_EQ(printed,
              "Texture missing_d.png cannot be read: the material uses the default diffuse texture\n"
              "Texture missing_n.png cannot be read: the material uses the default normal texture\n");
    const ztengine::RenderMaterial m = renderer.GetMaterial(material);
    EXPECT_EQ(m.m_diffuseTexture, defaults.m_diffuseTexture);
    EXPECT_EQ(m.m_normalTexture, defaults.m_normalTexture);
    EXPECT_EQ(renderer.GetTexturePath(m.m_specularTexture), "s.png");
    EXPECT_EQ(renderer.GetTexturePath(m.m_displacementTexture), "h.png");
}

// Runs `body` in a child process whose standard output goes to a pipe; the child's output.
template <class Body>
std::string ChildOutput(Body body)
{
    int fds[2];
    if (pipe(fds) != 0)
        return {};
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        dup2(fds[1], STDOUT_FILENO);
        // A pipe makes standard output fully buffered, as it is under a piped test run.
        setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
        body();
        _exit(0);
    }
    close(fds[1]);
    std::string out;
    char chunk[256];
    ssize_t got = 0;
    while ((got = read(fds[0], chunk, sizeof chunk)) > 0)
        out.append(chunk, static_cast<size_t>(got));
    close(fds[0]);
    waitpid(pid, nullptr, 0);
    return out;
}

TEST(DiagnosticLines, TheSoundSystemsLinesSurviveAnAbort)
{
    const std::string out = ChildOutput([] {
        signal(SIGABRT, SIG_DFL);
        ztengine::SoundSystemOptions options;
        options.output = FMOD_OUTPUTTYPE_NOSOUND;
        ztengine::SoundSystem sound(options);
        sound.CreateSoundInstance(42);
        std::abort();
    });
    EXPECT_TRUE(Contains(out, "Specified sound is not valid!\n")) << out;
}

TEST(TestDisplay, AVirtualDisplayStopsWhenItsTestProcessAborts)
{
    const std::string out = ChildOutput([] {
        signal(SIGABRT, SIG_DFL);
        unsetenv("DISPLAY");
        if (zttest::EnsureDisplay())
            std::printf("%s\n", std::getenv("DISPLAY"));
        std::fflush(stdout);
        std::abort();
    });
    ASSERT_GT(out.size(), 2u) << "no virtual display could be started";
    const std::string number = out.substr(1, out.find('\n') - 1);
    const fs::path socket = "/tmp/.X11-unix/X" + number;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (fs::exists(socket) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(fs::exists(socket)) << "the display " << out << " is still running";
}

}  // namespace

namespace {

// One parser of the game's files: loads the file at `path` and saves it the way a normal exit
// does, each returning what it printed.
struct Parser {
    const char* name;
    std::function<std::string(const std::string& path)> loadAndSave;
};

template <class Manager>
std::string LoadAndSaveList(const std::string& path)
{
    Manager manager;
    manager.m_fileName = path;
    return zttest::CaptureStdout([&] {
        manager.Load();
        manager.Save();
    });
}

TEST(MalformedFiles, EveryParserReportsThemAndLeavesTheFileAsItWas)
{
    const fs::path dir = zttest::MakeTempDir("malformed");
    std::string deep(100000, '[');
    deep += std::string(100000, ']');
    const struct {
        const char* what;
        std::string bytes;
    } kFiles[] = {
        {"truncated", "[{\"mat\":\"stone\",\"diff\":\"d"},
        {"truncated object", "{\"name\": \"crate\", \"position\": [1.0, "},
        {"wrong type of document", "\"just a string\""},
        {"wrong type of record", "[{\"mat\":1,\"MeshName\":2,\"ModelName\":3,\"SoundName\":4}]"},
        {"wrong type of value", "{\"position\": \"here\", \"collider type\": 0, \"w\": \"wide\"}"},
        {"number too big", "[1e400]"},
        {"deep nesting", deep},
        {"not a number", "[NaN, Infinity, -Infinity]"},
        {"invalid UTF-8", "[\"\xff\xfe\xc3\"]"},
        {"invalid UTF-8 in an object", "{\"name\": \"\xc0\xaf\", \"collider type\": 0}"},
        {"zero bytes", std::string("[\0\0\0]", 5)},
        // A zero with an exponent or a long fraction once reached an undefined conversion
        // inside the JSON library (the files are cut short after them).
        {"zero with an exponent", "[0e99, -0.00E+400, {\"position\": [0e5, 0E-5, 0.0e1]}"},
        {"zero with a long fraction", "[0.000000000000000000000000000000000000000001e-3, "
                                      "-0.00000000000000000000000000000000000000000000"},
        {"zeros run together", "[0e9e49, 0E8E-22]"},
        {"digits at the significand's limit", "[0.00000000184467440737095516159800E99, 1"},
        {"far below a double's range",
         "[[[8886.68,6886.6855555555555555555555555555555555501199731e-366]J,6.6,88]]]"},
        {"far above a double's range",
         "[7777777777703000000000077777777039908014829377777757777777777777777010000000398793977"
         "77777770e0277]"},
    };
    const Parser kParsers[] = {
        {"material list", &LoadAndSaveList<ztengine::MaterialManager>},
        {"mesh list", &LoadAndSaveList<ztengine::MeshManager>},
        {"model list", &LoadAndSaveList<ztengine::ModelManager>},
        {"sound name list",
         [](const std::string& path) {
             ztengine::SoundManager sounds;
             return zttest::CaptureStdout([&] {
                 sounds.Load(path);
                 sounds.Save(path);
             });
         }},
        {"config.ini",
         [](const std::string& path) {
             ztengine::WinConfig config(path);
             return zttest::CaptureStdout([&] {
                 config.Load();
                 config.Save();
             });
         }},
        {"scene file",
         [](const std::string& path) {
             PropManager scenes;
             scenes.m_folder = fs::path(path).parent_path().string();
             return zttest::CaptureStdout([&] {
                 scenes.Load();
                 scenes.Save();
             });
         }},
    };
    for (const Parser& parser : kParsers) {
        for (const auto& file : kFiles) {
            SCOPED_TRACE(std::string(parser.name) + ", " + file.what);
            const fs::path folder = dir / (std::string(parser.name) + " " + file.what);
            fs::create_directories(folder);
            const fs::path path = folder / "hall.json";
            WriteBytes(path, file.bytes);
            const std::string printed = parser.loadAndSave(path.string());
            EXPECT_TRUE(Contains(printed, path.string())) << printed;
            EXPECT_EQ(ReadBytes(path), file.bytes);
        }
    }
}

}  // namespace

namespace {

// The readers of the settings files, the event names and the room templates: each is run the
// way a start and a normal exit of the game run it, in a folder of its own, and gives what it
// printed on either stream.
class SettingsApp : public zttest::HeadlessApp {
public:
    SettingsApp()
    {
        m_graphics3DService = &m_renderer;
        m_graphics2DService = &m_graphics2D;
    }

private:
    zttest::NullRenderer3D m_renderer;
    ztengine::Graphics2D m_graphics2D;
};

std::string BothStreams(const std::function<void()>& run)
{
    std::string err;
    const std::string out = zttest::CaptureStdout([&] { err = zttest::CaptureStderr(run); });
    return out + err;
}

struct TextReader {
    const char* file;  // the name the game gives the file
    std::function<std::string(const fs::path& folder)> startAndExit;
};

const TextReader kPlayerSettings{"playerSettings.ini", [](const fs::path& folder) {
    return BothStreams([&] {
        ztengine::PlayerStatus status((folder / "playerSettings.ini").string());
        status.Load();
        status.Save();
        ztengine::Gui::Instance().Reset();
    });
}};
const TextReader kGraphicsSettings{"settings.ini", [](const fs::path& folder) {
    return BothStreams([&] {
        const fs::path previous = fs::current_path();
        fs::current_path(folder);
        {
            SettingsApp app;
            ztengine::GameOptionsSystem options(&app);
            options.Init();
            ztengine::Gui::Instance().Reset();
        }
        fs::current_path(previous);
    });
}};
// The sun and shadow settings are written only by their window's "Save Settings".
const TextReader kLightSettings{"lightSettings.config", [](const fs::path& folder) {
    return BothStreams([&] {
        const fs::path previous = fs::current_path();
        fs::current_path(folder);
        {
            SettingsApp app;
            ztengine::GameShadowSystem shadows(&app);
            shadows.LoadSettings();
        }
        fs::current_path(previous);
    });
}};
const TextReader kEventNames{"EventNames.txt", [](const fs::path& folder) {
    return BothStreams([&] {
        ztengine::MessagingSystem messaging;
        messaging.LoadEventNames((folder / "EventNames.txt").c_str());
    });
}};
const TextReader kRoomTemplates{"RedRooms.dat", [](const fs::path& folder) {
    return BothStreams([&] {
        ztengine::DungeonMapGenerator generator({}, {}, {}, 1);
        generator.LoadRoomFile(1, folder.string() + "/");
    });
}};

struct MalformedFile {
    const TextReader* reader;
    const char* what;
    std::string bytes;
    std::string message;  // names the file, the place and what is wrong
};

std::string FloatEntry(const std::string& key, const std::string& data, int type = 0)
{
    return "{\"__name\":\"" + key + "\",\"__type\":" + std::to_string(type) +
           ",\"__size\":1,\"__data\":" + data + "}";
}

// The malformed forms of a settings file, with the message each gives; `key` is a Float key of
// the file and `good` a usable entry of it.
std::vector<MalformedFile> SettingsFileCases(const TextReader& reader, const std::string& key,
                                             const std::string& unreadable,
                                             const std::string& mistyped)
{
    const std::string file = reader.file;
    const std::string good = FloatEntry(key, "2.5");
    auto set = [&](const std::string& entry) { return "{\"data\":[" + good + "," + entry + "]}"; };
    return {
        {&reader, "truncated", "{\"data\":[" + good + ",{\"__name\":\"", unreadable + "byte "},
        {&reader, "empty", "", unreadable + "byte 0: The document is empty."},
        {&reader, "not an object", "[" + good + "]", unreadable + "the file is not a JSON object"},
        {&reader, "no data", "{\"settings\":[]}", unreadable + "there is no \"data\" member"},
        {&reader, "wrong type of value", set(FloatEntry(key, "\"wide\"")),
         file + ": entry 1 (\"" + key + "\"): \"__data\" does not hold a value of its \"__type\" 0"},
        {&reader, "wrong type of key", set(FloatEntry(key, "7", 1)), mistyped},
        {&reader, "entry not an object", set("42"), file + ": entry 1: not an object"},
        {&reader, "float beyond the float range", set(FloatEntry(key, "1e39")),
         file + ": entry 1 (\"" + key + "\"): \"__data\" does not hold"},
        {&reader, "number too big", set(FloatEntry(key, "1e400")), unreadable + "byte "},
        {&reader, "not a number", set(FloatEntry(key, "NaN")), unreadable + "byte "},
        {&reader, "huge size", set("{\"__name\":\"" + key + "\",\"__type\":0,\"__size\":99999999999,"
                                   "\"__data\":[1,2.5]}"),
         file + ": entry 1 (\"" + key + "\"): 1 element(s) of \"__data\" are not of its"},
        {&reader, "invalid UTF-8", set(FloatEntry("m_\xff\xfe", "1.0")),
         unreadable + "byte "},
    };
}

TEST(MalformedFiles, SettingsEventNameAndRoomFilesAreReportedAndLeftAsTheyWere)
{
    std::vector<MalformedFile> cases;
    for (auto& c : SettingsFileCases(kPlayerSettings, "m_playerMoveSpeed",
                                     "playerSettings.ini could not be read (",
                                     "playerSettings.ini: \"m_playerMoveSpeed\" is not stored as a "
                                     "Float; the default is used and the file is left unchanged"))
        cases.push_back(c);
    for (auto& c : SettingsFileCases(kGraphicsSettings, "m_fogDensity",
                                     "settings.ini holds no setting the game can read (",
                                     "settings.ini: \"m_fogDensity\" is not stored as a Float"))
        cases.push_back(c);
    for (auto& c : SettingsFileCases(kLightSettings, "overworld_proj_f",
                                     "lightSettings.config could not be read as a settings file; "
                                     "the default shadow settings are used (",
                                     "lightSettings.config: \"overworld_proj_f\" is missing or not "
                                     "stored as a Float"))
        cases.push_back(c);
    const std::string events = "EventNames.txt";
    cases.insert(cases.end(), {
        {&kEventNames, "empty", "", events + " holds no event name"},
        {&kEventNames, "line starting with a blank", "A\n B\n", events + ":2: the line begins with a blank"},
        {&kEventNames, "zero byte", std::string("A\nB\0C\n", 6), events + ":2: the name holds a zero byte"},
        {&kEventNames, "invalid UTF-8", "A\nB\xc0\xaf\n", events + ":2: the name is not valid UTF-8"},
        {&kEventNames, "control character", "A\nB\x1b[0m\n", events + ":2: the name holds a control"},
        {&kRoomTemplates, "empty", "", "RedRooms.dat:0: the file holds no room template"},
        {&kRoomTemplates, "truncated", "d,1,1\n1,#\ne\nd,3,2\n1,#,#,#\n",
         "RedRooms.dat:4: the template begun here has no end line 'e'"},
        {&kRoomTemplates, "wrong type", "d,three,2\n1,#,#\ne\n", "RedRooms.dat:1: template size is not a number"},
        {&kRoomTemplates, "huge size", "d,1e30,2\n1,#\ne\n", "RedRooms.dat:1: template of 1e30 x 2 needs more than 256 cells"},
        {&kRoomTemplates, "huge negative size", "d,-1e30,1e30\n1,#\ne\n", "RedRooms.dat:1: template of -1e30 x 1e30 needs more"},
        {&kRoomTemplates, "not finite", "d,inf,2\n1,#\ne\nd,1,nan\ne\n", "RedRooms.dat:4: template size is not a number"},
        {&kRoomTemplates, "invalid UTF-8", "d,2,1\n1,#,\xc3\xa9\ne\n", "RedRooms.dat:2: cell 2 is not an ASCII character"},
    });
    // Folder names are the trace: a parser's folder per case.
    const fs::path dir = zttest::MakeTempDir("malformed-text");
    int n = 0;
    for (const MalformedFile& c : cases) {
        SCOPED_TRACE(std::string(c.reader->file) + ", " + c.what);
        const fs::path folder = dir / std::to_string(n++);
        fs::create_directories(folder);
        const fs::path path = folder / c.reader->file;
        WriteBytes(path, c.bytes);
        const std::string printed = c.reader->startAndExit(folder);
        EXPECT_TRUE(Contains(printed, c.message)) << printed;
        // An empty "settings.ini" holds nothing to lose: the start writes the options into it.
        if (c.reader == &kGraphicsSettings && c.bytes.empty())
            EXPECT_TRUE(Contains(ReadBytes(path), "m_fogDensity"));
        else
            EXPECT_EQ(ReadBytes(path), c.bytes);
    }
}

TEST(MalformedFiles, TheReadablePartOfASettingsOrRoomFileIsUsed)
{
    const fs::path dir = zttest::MakeTempDir("malformed-used");
    const std::string set = "{\"data\":[" + FloatEntry("m_playerJumpSpeed", "900.0") + "," +
                            FloatEntry("m_playerMass", "\"heavy\"") + "," +
                            FloatEntry("m_fogDensity", "0.02") + "," +
                            FloatEntry("m_ssaoRadius", "3", 1) + "," +
                            FloatEntry("overworld_proj_f", "[1.0]") + "," +
                            FloatEntry("dungeon_proj_f", "77.0") + "," +
                            FloatEntry("m_playerRunMultiplier", "0e99") + "]}";
    WriteBytes(dir / "playerSettings.ini", set);
    WriteBytes(dir / "settings.ini", set);
    WriteBytes(dir / "lightSettings.config", set);

    ztengine::PlayerStatus status((dir / "playerSettings.ini").string());
    zttest::CaptureStdout([&] { status.Load(); });
    ztengine::Gui::Instance().Reset();
    EXPECT_EQ(status.m_playerJumpSpeed, 900.0f);
    EXPECT_EQ(status.m_playerMass, 50.0f);
    EXPECT_EQ(status.m_playerRunMultiplier, 0.0f);

    const fs::path previous = fs::current_path();
    fs::current_path(dir);
    {
        SettingsApp app;
        ztengine::GameOptionsSystem options(&app);
        zttest::CaptureStdout([&] { options.LoadSettings(); });
        EXPECT_FLOAT_EQ(options.m_fogDensity, 0.02f);
        EXPECT_FLOAT_EQ(options.m_ssaoRadius, 0.85f);
        EXPECT_TRUE(options.IsFileUnreadable());

        ztengine::GameShadowSystem shadows(&app);
        zttest::CaptureStdout([&] { shadows.LoadSettings(); });
        EXPECT_EQ(shadows.m_dungeon.projectionFar, 77.0f);
    }
    fs::current_path(previous);

    // A bad template between two good ones: both good ones are read.
    WriteBytes(dir / "RedRooms.dat", "d,1,1\n1,A\ne\nd,x,1\n1,B\ne\nd,1,1\n1,C\ne\nT\n");
    ztengine::DungeonMapGenerator generator({}, {}, {}, 1);
    zttest::CaptureStdout([&] { generator.LoadRoomFile(1, dir.string() + "/"); });
    const auto& rooms = generator.GetTemplates(1);
    ASSERT_EQ(rooms.size(), 2u);
    EXPECT_EQ(rooms[0].Cell(0, 0), 'A');
    EXPECT_EQ(rooms[1].Cell(0, 0), 'C');
}

}  // namespace
