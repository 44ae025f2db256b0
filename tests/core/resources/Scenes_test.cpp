// Scenes: the exact bytes of the three pretty, CR LF scene files, reading them back (keys in any
// order, repeated per prop, the closing members), pairing the light files with their scene by
// name, unreadable files kept at exit, storing scenes, and the working scene's instances.
#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/math/Basis.h"
#include "core/resources/PropManager.h"
#include "core/resources/ResourceTestUtil.h"
#include "support/NullRenderer3D.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using ztengine::DungeonScene;
using ztengine::InstanceTransform;
using ztengine::PointLight;
using ztengine::Prop;
using ztengine::PropManager;
using ztengine::WorkingProp;
using ztmath::Vector3;
using zttest::ReadBytes;
using zttest::WriteBytes;

// Lines joined with CR LF, none after the last.
std::string CrLf(std::initializer_list<const char*> lines)
{
    std::string out;
    for (const char* line : lines) {
        if (!out.empty())
            out += "\r\n";
        out += line;
    }
    return out;
}

Prop CrateProp()
{
    Prop prop;
    prop.m_name = "crate";
    prop.m_modelName = "Crate4";
    prop.m_position = Vector3(1.5f, 0.0f, -2.0f);
    prop.m_scale = Vector3(0.4f, 1.0f, 1.0f);
    prop.m_pitch = 90.0f;
    prop.m_yaw = -45.0f;
    prop.m_roll = 0.0f;
    prop.m_tiling[0] = 2.0f;
    prop.m_tiling[1] = 0.5f;
    prop.m_enableRender = true;
    prop.m_enableFakeLight = true;
    prop.m_enableCollision = true;
    prop.m_colliderIndex = 3;
    prop.m_colliderType = 1;
    return prop;
}

DungeonScene Hall()
{
    DungeonScene scene;
    scene.m_name = "hall";
    scene.m_playerStart = Vector3(0.0f, 2.0f, 0.0f);
    scene.m_props = {CrateProp(), Prop()};
    PointLight light;
    light.m_name = "torch";
    light.m_position = Vector3(1.0f, 2.0f, 3.0f);
    light.m_colour = Vector3(1.0f, 0.5f, 0.25f);
    light.m_diffuseIntensity = 2.0f;
    light.m_radius = 1e-7f;
    scene.m_pointLights = {light};
    scene.m_lightDirection = Vector3(0.0f, -1.0f, 0.0f);
    scene.m_lightColour = Vector3(1.0f, 1.0f, 1.0f);
    scene.m_lightEnabled = true;
    return scene;
}

const std::string kHallJson = CrLf({
    "{",
    "    \"name\": \"crate\",",
    "    \"model name\": \"Crate4\",",
    "    \"position\": [",
    "        1.5,",
    "        0.0,",
    "        -2.0",
    "    ],",
    "    \"scale\": [",
    "        0.4000000059604645,",
    "        1.0,",
    "        1.0",
    "    ],",
    "    \"pitch\": 90.0,",
    "    \"yaw\": -45.0,",
    "    \"roll\": 0.0,",
    "    \"tiling\": [",
    "        2.0,",
    "        0.5",
    "    ],",
    "    \"enable render\": true,",
    "    \"enable fakelight\": true,",
    "    \"enable collision\": true,",
    "    \"collider index\": 3,",
    "    \"collider type\": 1,",
    "    \"name\": \"\",",
    "    \"model name\": \"\",",
    "    \"position\": [",
    "        0.0,",
    "        0.0,",
    "        0.0",
    "    ],",
    "    \"scale\": [",
    "        0.0,",
    "        0.0,",
    "        0.0",
    "    ],",
    "    \"pitch\": 0.0,",
    "    \"yaw\": 0.0,",
    "    \"roll\": 0.0,",
    "    \"tiling\": [",
    "        0.0,",
    "        0.0",
    "    ],",
    "    \"enable render\": true,",
    "    \"enable fakelight\": false,",
    "    \"enable collision\": false,",
    "    \"collider index\": 4294967295,",
    "    \"collider type\": 0",
    "}",
});

const std::string kHallDlight = CrLf({
    "{",
    "    \"player startpos\": [",
    "        0.0,",
    "        2.0,",
    "        0.0",
    "    ],",
    "    \"direction\": [",
    "        0.0,",
    "        -1.0,",
    "        0.0",
    "    ],",
    "    \"colour\": [",
    "        1.0,",
    "        1.0,",
    "        1.0",
    "    ],",
    "    \"enabled\": true",
    "}",
});

const std::string kHallPlight = CrLf({
    "{",
    "    \"light name\": \"torch\",",
    "    \"position\": [",
    "        1.0,",
    "        2.0,",
    "        3.0",
    "    ],",
    "    \"colour\": [",
    "        1.0,",
    "        0.5,",
    "        0.25",
    "    ],",
    "    \"diff intensity\": 2.0,",
    "    \"radius\": 1.0000000116860974e-7",
    "}",
});

void ExpectSameProp(const Prop& a, const Prop& b)
{
    EXPECT_EQ(a.m_name, b.m_name);
    EXPECT_EQ(a.m_modelName, b.m_modelName);
    EXPECT_EQ(a.m_position, b.m_position);
    EXPECT_EQ(a.m_scale, b.m_scale);
    EXPECT_EQ(a.m_pitch, b.m_pitch);
    EXPECT_EQ(a.m_yaw, b.m_yaw);
    EXPECT_EQ(a.m_roll, b.m_roll);
    EXPECT_EQ(a.m_tiling[0], b.m_tiling[0]);
    EXPECT_EQ(a.m_tiling[1], b.m_tiling[1]);
    EXPECT_EQ(a.m_enableRender, b.m_enableRender);
    EXPECT_EQ(a.m_enableFakeLight, b.m_enableFakeLight);
    EXPECT_EQ(a.m_enableCollision, b.m_enableCollision);
    EXPECT_EQ(a.m_colliderIndex, b.m_colliderIndex);
    EXPECT_EQ(a.m_colliderType, b.m_colliderType);
}

class SceneTest : public testing::Test {
protected:
    SceneTest() { scenes.m_folder = dir.string(); }

    std::string Read(const std::string& name) const { return ReadBytes(dir / name); }
    void Write(const std::string& name, const std::string& bytes) const
    {
        WriteBytes(dir / name, bytes);
    }
    std::string Load(PropManager& manager)
    {
        manager.m_folder = dir.string();
        return zttest::CaptureStdout([&] { manager.Load(); });
    }
    std::string Save(PropManager& manager)
    {
        return zttest::CaptureStdout([&] { manager.Save(); });
    }

    fs::path dir = zttest::MakeTempDir("scenes");
    PropManager scenes;
};

TEST_F(SceneTest, SceneFilesArePrettyWithCrLfAndNoFinalLineEnd)
{
    scenes.AddScene(Hall());
    DungeonScene empty;
    empty.m_name = "empty";
    scenes.AddScene(empty);
    EXPECT_EQ(Save(scenes), "");

    EXPECT_EQ(Read("hall.json"), kHallJson);
    EXPECT_EQ(Read("hall.dlight"), kHallDlight);
    EXPECT_EQ(Read("hall.plight"), kHallPlight);
    EXPECT_EQ(Read("empty.json"), "{}");
    EXPECT_EQ(Read("empty.plight"), "{}");
    EXPECT_EQ(Read("empty.dlight"),
              CrLf({"{", "    \"player startpos\": [", "        0.0,", "        0.0,",
                    "        0.0", "    ],", "    \"direction\": [", "        0.0,",
                    "        0.0,", "        0.0", "    ],", "    \"colour\": [", "        0.0,",
                    "        0.0,", "        0.0", "    ],", "    \"enabled\": false", "}"}));
}

TEST_F(SceneTest, ScenesComeBackFieldForFieldAndSaveToTheSameBytes)
{
    Write("hall.json", kHallJson);
    Write("hall.dlight", kHallDlight);
    Write("hall.plight", kHallPlight);
    Write("empty.json", "{}");
    Write("empty.plight", "{}");
    PropManager loaded;
    Load(loaded);

    ASSERT_EQ(loaded.m_scenes.size(), 2u);
    const DungeonScene& empty = loaded.m_scenes[0];
    EXPECT_EQ(empty.m_name, "empty");
    EXPECT_TRUE(empty.m_props.empty());
    EXPECT_TRUE(empty.m_pointLights.empty());
    EXPECT_FALSE(empty.m_lightEnabled);

    const DungeonScene& hall = loaded.m_scenes[1];
    const DungeonScene expected = Hall();
    EXPECT_EQ(hall.m_name, "hall");
    ASSERT_EQ(hall.m_props.size(), 2u);
    ExpectSameProp(hall.m_props[0], expected.m_props[0]);
    ExpectSameProp(hall.m_props[1], expected.m_props[1]);
    EXPECT_EQ(hall.m_props[1].m_colliderIndex, -1);
    ASSERT_EQ(hall.m_pointLights.size(), 1u);
    EXPECT_EQ(hall.m_pointLights[0].m_name, "torch");
    EXPECT_EQ(hall.m_pointLights[0].m_colour, Vector3(1.0f, 0.5f, 0.25f));
    EXPECT_EQ(hall.m_pointLights[0].m_radius, 1e-7f);
    EXPECT_EQ(hall.m_playerStart, Vector3(0.0f, 2.0f, 0.0f));
    EXPECT_EQ(hall.m_lightDirection, Vector3(0.0f, -1.0f, 0.0f));
    EXPECT_TRUE(hall.m_lightEnabled);

    for (const char* name : {"hall.json", "hall.dlight", "hall.plight", "empty.json"})
        fs::remove(dir / name);
    Save(loaded);
    EXPECT_EQ(Read("hall.json"), kHallJson);
    EXPECT_EQ(Read("hall.dlight"), kHallDlight);
    EXPECT_EQ(Read("hall.plight"), kHallPlight);
    EXPECT_EQ(Read("empty.json"), "{}");
}

TEST_F(SceneTest, PropsCloseWithColliderTypeWhateverTheOrderOfTheirKeys)
{
    Write("mixed.json",
          "{\"collider index\": 4294967295, \"collider type\": 1,\n"
          " \"yaw\": 30.0, \"model name\": \"TORCH3\", \"name\": \"t\", \"unknown\": [1],\n"
          " \"scale\": [1, 2, 3, 4], \"collider index\": 7, \"collider type\": 0,\n"
          // Unusable values are ignored, and the bad type still closes its prop.
          " \"name\": 5, \"position\": [1.0, 2.0], \"enable render\": 0, \"collider index\": -3,\n"
          " \"pitch\": 1e300, \"collider type\": \"box\",\n"
          " \"name\": \"dropped\", \"model name\": \"no collider type after it\"}");
    Load(scenes);
    ASSERT_EQ(scenes.m_scenes.size(), 1u);
    const std::vector<Prop>& props = scenes.m_scenes[0].m_props;
    ASSERT_EQ(props.size(), 3u);

    EXPECT_EQ(props[0].m_colliderIndex, -1);
    EXPECT_EQ(props[0].m_colliderType, 1);
    EXPECT_EQ(props[0].m_scale, Vector3());
    EXPECT_EQ(props[1].m_name, "t");
    EXPECT_EQ(props[1].m_modelName, "TORCH3");
    EXPECT_EQ(props[1].m_yaw, 30.0f);
    EXPECT_EQ(props[1].m_pitch, 0.0f);
    EXPECT_EQ(props[1].m_scale, Vector3(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(props[1].m_colliderIndex, 7);
    EXPECT_EQ(props[2].m_name, "");
    EXPECT_EQ(props[2].m_position, Vector3());
    EXPECT_TRUE(props[2].m_enableRender);
    EXPECT_EQ(props[2].m_colliderIndex, -1);
    EXPECT_EQ(props[2].m_pitch, 0.0f);
    EXPECT_EQ(props[2].m_colliderType, 0);
}

TEST_F(SceneTest, LightFilesTakeEffectOnlyInTheirClosingOrder)
{
    Write("d.json", "{}");
    Write("d.dlight",
          "{\"enabled\": true, \"direction\": [0.0, -1.0, 0.0], \"colour\": [1.0, 1.0, 1.0],\n"
          " \"player startpos\": [4.0, 5.0, 6.0]}");
    Write("d.plight",
          "{\"light name\": \"a\", \"radius\": 2.0, \"diff intensity\": 4.0, \"radius\": 5.0,\n"
          " \"light name\": \"unclosed\"}");
    Load(scenes);
    ASSERT_EQ(scenes.m_scenes.size(), 1u);
    const DungeonScene& d = scenes.m_scenes[0];
    EXPECT_TRUE(d.m_lightEnabled);
    EXPECT_EQ(d.m_lightDirection, Vector3());
    EXPECT_EQ(d.m_lightColour, Vector3());
    EXPECT_EQ(d.m_playerStart, Vector3(4.0f, 5.0f, 6.0f));
    ASSERT_EQ(d.m_pointLights.size(), 2u);
    EXPECT_EQ(d.m_pointLights[0].m_name, "a");
    EXPECT_EQ(d.m_pointLights[0].m_radius, 2.0f);
    EXPECT_EQ(d.m_pointLights[0].m_diffuseIntensity, 1.0f);
    EXPECT_EQ(d.m_pointLights[0].m_colour, Vector3());
    EXPECT_EQ(d.m_pointLights[1].m_name, "");
    EXPECT_EQ(d.m_pointLights[1].m_diffuseIntensity, 4.0f);
}

// Folder listings come in no particular order on Linux; each scene must still get its own
// lights, and a scene without light files gets none of another scene's.
TEST_F(SceneTest, LightFilesGoWithTheSceneOfTheSameName)
{
    Write("b.json", "{}");
    Write("a.json", "{}");
    Write("c.json", "{}");
    Write("b.plight", "{\"light name\": \"of b\", \"radius\": 3.0}");
    Write("c.plight", "{\"light name\": \"of c\", \"radius\": 3.0}");
    Write("c.dlight", "{\"player startpos\": [0.0, 7.0, 0.0], \"enabled\": false}");
    Write("orphan.dlight", "{\"player startpos\": [0.0, 9.0, 0.0], \"enabled\": false}");
    Write("hall.v2.json", "{}");
    Write("hall.v2.plight", "{\"light name\": \"of hall.v2\", \"radius\": 3.0}");
    Load(scenes);

    ASSERT_EQ(scenes.m_scenes.size(), 4u);
    EXPECT_EQ(scenes.m_scenes[0].m_name, "a");
    EXPECT_EQ(scenes.m_scenes[1].m_name, "b");
    EXPECT_EQ(scenes.m_scenes[2].m_name, "c");
    EXPECT_EQ(scenes.m_scenes[3].m_name, "hall");
    EXPECT_TRUE(scenes.m_scenes[0].m_pointLights.empty());
    EXPECT_EQ(scenes.m_scenes[0].m_playerStart, Vector3());
    ASSERT_EQ(scenes.m_scenes[1].m_pointLights.size(), 1u);
    EXPECT_EQ(scenes.m_scenes[1].m_pointLights[0].m_name, "of b");
    EXPECT_EQ(scenes.m_scenes[1].m_playerStart, Vector3());
    EXPECT_EQ(scenes.m_scenes[2].m_pointLights[0].m_name, "of c");
    EXPECT_EQ(scenes.m_scenes[2].m_playerStart, Vector3(0.0f, 7.0f, 0.0f));
    EXPECT_EQ(scenes.m_scenes[3].m_pointLights[0].m_name, "of hall.v2");
    EXPECT_EQ(scenes.GetScene("orphan").m_name, "");
}

TEST_F(SceneTest, AnUnreadableSceneFileIsReportedAndKeptUntilItsSceneIsStoredAgain)
{
    const std::string broken = "{\"name\": \"crate\", \"collider type\": 0,";
    Write("hall.json", broken);
    Write("hall.plight", kHallPlight);
    Write("hall.dlight", "[]");
    const std::string printed = Load(scenes);
    const std::string json = (dir / "hall.json").string();
    const std::string dlight = (dir / "hall.dlight").string();
    EXPECT_NE(printed.find(json + " is not a proper json file format\n"), std::string::npos);
    EXPECT_NE(printed.find(dlight + " is not a proper json file format\n"), std::string::npos);
    ASSERT_EQ(scenes.m_scenes.size(), 1u);
    EXPECT_TRUE(scenes.m_scenes[0].m_props.empty());
    EXPECT_EQ(scenes.m_scenes[0].m_pointLights.size(), 1u);

    // The exit save keeps both unreadable files and still writes the readable one.
    fs::remove(dir / "hall.plight");
    const std::string saved = Save(scenes);
    EXPECT_NE(saved.find(json + " was not rewritten"), std::string::npos);
    EXPECT_EQ(Read("hall.json"), broken);
    EXPECT_EQ(Read("hall.dlight"), "[]");
    EXPECT_EQ(Read("hall.plight"), kHallPlight);

    // Storing the scene again is a deliberate replacement.
    scenes.m_playerStart = Vector3(0.0f, 2.0f, 0.0f);
    scenes.StoreCurrentScene("hall");
    EXPECT_EQ(Save(scenes), "");
    EXPECT_EQ(Read("hall.json"), "{}");
    EXPECT_NE(Read("hall.dlight"), "[]");

    // An empty file holds nothing to lose: it is read as an empty part and written over.
    PropManager other;
    Write("blank.json", "");
    Load(other);
    Save(other);
    EXPECT_EQ(Read("blank.json"), "{}");
}

TEST_F(SceneTest, StoringAndAddingScenesReplaceByName)
{
    scenes.m_workingProps.push_back(WorkingProp{CrateProp(), {}});
    scenes.m_workingLights.push_back(PointLight());
    scenes.m_lightDirection = Vector3(0.0f, -1.0f, 0.0f);
    scenes.m_lightEnabled = true;
    scenes.m_playerStart = Vector3(1.0f, 2.0f, 3.0f);

    EXPECT_EQ(scenes.StoreCurrentScene("first"), 0);
    DungeonScene dungeon;
    dungeon.m_name = "dungeon";
    EXPECT_EQ(scenes.AddScene(dungeon), 1);
    EXPECT_EQ(scenes.m_sceneNames, std::vector<std::string>{"first"});
    const DungeonScene first = scenes.GetScene("first");
    EXPECT_EQ(first.m_props.size(), 1u);
    EXPECT_EQ(first.m_pointLights.size(), 1u);
    EXPECT_EQ(first.m_playerStart, Vector3(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(first.m_lightDirection, Vector3(0.0f, -1.0f, 0.0f));
    EXPECT_TRUE(first.m_lightEnabled);

    scenes.m_workingProps.clear();
    EXPECT_EQ(scenes.StoreCurrentScene("first"), 0);
    EXPECT_TRUE(scenes.GetScene("first").m_props.empty());
    dungeon.m_props.push_back(Prop());
    EXPECT_EQ(scenes.AddScene(dungeon), 1);
    EXPECT_EQ(scenes.m_scenes.size(), 2u);
    EXPECT_EQ(scenes.m_sceneNames.size(), 1u);
    EXPECT_EQ(scenes.GetScene("dungeon").m_props.size(), 1u);
    EXPECT_EQ(scenes.GetScene("nothing").m_name, "");

    // Every stored scene is written, the added one too.
    Save(scenes);
    for (const char* name : {"first.json", "first.dlight", "first.plight", "dungeon.json",
                             "dungeon.dlight", "dungeon.plight"})
        EXPECT_TRUE(fs::exists(dir / name)) << name;
}

TEST_F(SceneTest, WorkingPropsDriveTheirInstances)
{
    zttest::NullRenderer3D renderer;
    const int32_t model = renderer.CreateModel(static_cast<uint32_t>(renderer.CreateCubeMesh()), 0);
    for (int i = 0; i < 3; ++i)
        scenes.m_workingProps.push_back(WorkingProp{CrateProp(), renderer.CreateInstance(model, InstanceTransform())});
    scenes.m_workingProps[1].m_prop.m_enableRender = false;
    scenes.m_workingProps.push_back(WorkingProp{CrateProp(), {}});  // no instance yet

    scenes.ApplyPropsToInstances();
    const ztengine::InstanceData& data = scenes.m_workingProps[0].m_instance.GetInstanceConst();
    EXPECT_EQ(data.m_transform.m_position, Vector3(1.5f, 0.0f, -2.0f));
    EXPECT_EQ(data.m_transform.m_scale, Vector3(0.4f, 1.0f, 1.0f));
    EXPECT_EQ(data.m_tiling.x, 2.0f);
    EXPECT_EQ(data.m_tiling.y, 0.5f);
    EXPECT_EQ(data.m_hidden, 0);
    EXPECT_EQ(data.m_fakeLighting, 1);
    EXPECT_EQ(scenes.m_workingProps[1].m_instance.GetInstanceConst().m_hidden, 1);
    // Pitch 90 first turns forward down to -y and up to +z; yaw -45 then turns forward about
    // that new up. (Yaw first would leave forward at -y and tilt up instead.)
    const ztmath::Basis& basis = data.m_transform.m_basis;
    EXPECT_NEAR(basis.forward.x, -0.70710678f, 1e-5f);
    EXPECT_NEAR(basis.forward.y, -0.70710678f, 1e-5f);
    EXPECT_NEAR(basis.forward.z, 0.0f, 1e-5f);
    EXPECT_NEAR(basis.up.z, 1.0f, 1e-5f);

    scenes.ShowAllProps();
    EXPECT_EQ(scenes.m_workingProps[1].m_instance.GetInstanceConst().m_hidden, 0);
    const ztengine::InstanceHandle removed = scenes.m_workingProps[0].m_instance;
    scenes.RemoveProp(0);
    EXPECT_EQ(removed.GetInstanceConst().m_hidden, 1);
    EXPECT_EQ(scenes.m_workingProps.size(), 3u);

    scenes.m_workingLights = {PointLight(), PointLight()};
    PointLight light;
    light.m_name = "moved";
    scenes.SetPointLight(1, light);
    EXPECT_EQ(scenes.m_workingLights[1].m_name, "moved");
    scenes.RemovePointLight(0);
    EXPECT_EQ(scenes.m_workingLights[0].m_name, "moved");

    const ztengine::InstanceHandle kept = scenes.m_workingProps[0].m_instance;
    scenes.ClearWorkingScene();
    EXPECT_TRUE(scenes.m_workingProps.empty());
    EXPECT_TRUE(scenes.m_workingLights.empty());
    EXPECT_EQ(kept.GetInstanceConst().m_hidden, 1);
}

// The authored scene is already in the form the game writes, so exits leave it untouched.
TEST_F(SceneTest, ShippedScenesAreInTheFormTheGameWritesBack)
{
    const fs::path shipped = fs::path(ZT_DATA_DIR) / "scenes";
    ASSERT_TRUE(fs::is_directory(shipped));
    PropManager authored;
    authored.m_folder = shipped.string();
    zttest::CaptureStdout([&] { authored.Load(); });
    ASSERT_FALSE(authored.m_scenes.empty());

    scenes.m_scenes = authored.m_scenes;
    EXPECT_EQ(Save(scenes), "");
    int files = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(shipped)) {
        const std::string extension = entry.path().extension().string();
        if (extension != ".json" && extension != ".dlight" && extension != ".plight")
            continue;
        ++files;
        EXPECT_EQ(Read(entry.path().filename().string()), ReadBytes(entry.path())) << entry.path();
    }
    EXPECT_EQ(files, static_cast<int>(3 * authored.m_scenes.size()));
    for (const DungeonScene& scene : authored.m_scenes)
        EXPECT_FALSE(scene.m_props.empty()) << scene.m_name;
}

}  // namespace
