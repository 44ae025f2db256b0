// Saving killed at random moments: a child process saves a settings file, a resource list and a
// scene over and over, switching between two versions, and is killed with SIGKILL; every file
// must then be the whole old or the whole new version, and a scene's files one version together.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include "core/resources/MaterialManager.h"
#include "core/resources/PropManager.h"
#include "core/resources/ResourceTestUtil.h"
#include "core/serialization/Params.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using zttest::ReadBytes;

struct Files {
    fs::path dir;
    std::string Settings() const { return (dir / "settings.ini").string(); }
    std::string List() const { return (dir / "material.init").string(); }
    std::string Scenes() const { return (dir / "scenes").string(); }
};

// Writes every file of version `v` (0 or 1); the two versions differ in every file and size.
void SaveVersion(const Files& files, int v)
{
    ztengine::Params settings;
    settings.SetFloat("volume", v == 0 ? 0.25f : 0.75f);
    settings.SetString("name", v == 0 ? "first" : "the second version of the name");
    settings.SaveToFile(files.Settings().c_str());

    ztengine::MaterialManager materials;
    materials.m_fileName = files.List();
    for (int i = 0; i < 3 + 20 * v; ++i) {
        ztengine::MaterialInfo info;
        info.m_name = "material" + std::to_string(i);
        info.m_textures = {"d.png", "s.png", "n.png", "h.png"};
        materials.m_materials.push_back(info);
    }
    materials.Save();

    ztengine::PropManager scenes;
    scenes.m_folder = files.Scenes();
    ztengine::DungeonScene scene;
    scene.m_name = "hall";
    scene.m_playerStart = ztmath::Vector3(0.0f, v == 0 ? 1.0f : 2.0f, 0.0f);
    scene.m_props.resize(v == 0 ? 1 : 30);
    scene.m_pointLights.resize(v == 0 ? 2 : 9);
    scene.m_lightEnabled = v == 1;
    scenes.AddScene(scene);
    scenes.Save();
}

TEST(SavingKilled, EveryFileIsTheWholeOldOrNewVersionAfterSigkill)
{
    const Files reference[2] = {{zttest::MakeTempDir("savekill_a")},
                                {zttest::MakeTempDir("savekill_b")}};
    const char* const kSceneFiles[] = {"hall.json", "hall.dlight", "hall.plight"};
    for (int v = 0; v < 2; ++v) {
        fs::create_directories(reference[v].Scenes());
        zttest::CaptureStdout([&] { SaveVersion(reference[v], v); });
    }

    const Files files{zttest::MakeTempDir("savekill")};
    fs::create_directories(files.Scenes());
    zttest::CaptureStdout([&] { SaveVersion(files, 0); });

    std::mt19937 random(20261211);
    std::uniform_int_distribution<int> delayUs(0, 30000);
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            // The child's lines would only clutter the test output.
            std::freopen("/dev/null", "w", stdout);
            for (int v = 1;; v = 1 - v)
                SaveVersion(files, v);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));

        // Starting the game again finishes or drops a half-saved scene.
        ztengine::PropManager scenes;
        scenes.m_folder = files.Scenes();
        zttest::CaptureStdout([&] { scenes.Load(); });

        for (const std::string& path : {files.Settings(), files.List()}) {
            const std::string name = fs::path(path).filename().string();
            const std::string bytes = ReadBytes(path);
            EXPECT_TRUE(bytes == ReadBytes(fs::path(reference[0].dir) / name) ||
                        bytes == ReadBytes(fs::path(reference[1].dir) / name))
                << name << " is neither version: " << bytes.size() << " bytes";
        }
        int sceneVersion = -1;
        for (int v = 0; v < 2; ++v) {
            if (ReadBytes(fs::path(files.Scenes()) / "hall.json") ==
                ReadBytes(fs::path(reference[v].Scenes()) / "hall.json"))
                sceneVersion = v;
        }
        ASSERT_GE(sceneVersion, 0) << "hall.json is neither version";
        for (const char* name : kSceneFiles) {
            EXPECT_EQ(ReadBytes(fs::path(files.Scenes()) / name),
                      ReadBytes(fs::path(reference[sceneVersion].Scenes()) / name))
                << name << " is not of the version of hall.json";
        }
    }
}

}  // namespace
