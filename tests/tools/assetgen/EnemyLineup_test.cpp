// The generated enemies and bosses drawn by the deferred renderer: every enemy kind, the three
// mini-bosses and the final boss, loaded from the resource lists the way the game builds its
// models, posed part way through one of their clips and lined up in two rows facing the camera.
// The 1280 x 800 picture is kept as build/<dir>/test-artefacts/enemy-lineup.png.
#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/graphics/GLRenderer3D.h"
#include "core/math/Basis.h"
#include "core/math/Matrix4x4.h"
#include "core/math/Vector3.h"
#include "core/math/Vector4.h"
#include "support/GLTestContext.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using ztmath::Vector3;
using ztmath::Vector4;

// One figure of the line-up: which model, and where in which clip it is caught. Clip indices are
// the game's (0 and 1 come with the model file, 2 on are the loaded animation files); -1 leaves
// a model without clips unposed, as the game leaves the flying skulls.
struct Figure {
    const char* modelName;
    int32_t clip;
    float phase;
    int row;       // 0 the top row (regular enemies), 1 the bottom row (mini-bosses and boss)
    float column;  // left to right, 0 to 4; the shorter bottom row sits between the top's slots
};

const Figure kFigures[] = {
    {"rabbitmanModel", 5, 0.5f, 0, 0},      // zombie attack
    {"lkangaModel", 4, 0.5f, 0, 1},         // fireball
    {"ogreModel", 3, 0.4f, 0, 2},           // running
    {"flyingSkullModel", -1, 0.0f, 0, 3},
    {"skeletonModel", 2, 0.5f, 0, 4},       // attack
    {"mblkangaModel", 6, 0.5f, 1, 0.5f},    // taunt
    {"mbOgreModel", 2, 0.5f, 1, 1.5f},      // swagger walk
    {"mbFlyingSkullModel", -1, 0.0f, 1, 2.5f},
    {"KoboldModel", 4, 0.5f, 1, 3.5f},      // fireball
};

// What the three resource lists say about one model.
struct ModelEntry {
    std::string meshFolder;
    std::string meshFile;
    std::string diffuse;
    std::vector<std::string> animations;
};

rapidjson::Document ReadRunList(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    rapidjson::Document doc;
    doc.Parse(text.str().c_str());
    return doc;
}

const rapidjson::Value* FindByName(const rapidjson::Document& list, const char* key, const std::string& name)
{
    if (!list.IsArray())
        return nullptr;
    for (const rapidjson::Value& entry : list.GetArray()) {
        if (entry.IsObject() && entry.HasMember(key) && entry[key].IsString() && name == entry[key].GetString())
            return &entry;
    }
    return nullptr;
}

// The lists in the runtime folder, as the build staged them; false (with a failure) when the
// model, its mesh or its material is not listed.
bool LookUp(const std::string& modelName, ModelEntry& out)
{
    const fs::path run(ZT_RUNTIME_DIR);
    const rapidjson::Document models = ReadRunList(run / "model.init");
    const rapidjson::Document meshes = ReadRunList(run / "mesh.init");
    const rapidjson::Document materials = ReadRunList(run / "material.init");
    const rapidjson::Value* model = FindByName(models, "ModelName", modelName);
    if (model == nullptr) {
        ADD_FAILURE() << modelName << " is not in model.init";
        return false;
    }
    const rapidjson::Value* mesh = FindByName(meshes, "MeshName", (*model)["MeshName"].GetString());
    const rapidjson::Value* material = FindByName(materials, "mat", (*model)["MaterialName"].GetString());
    if (mesh == nullptr || material == nullptr) {
        ADD_FAILURE() << modelName << ": mesh or material not listed";
        return false;
    }
    out.meshFolder = (*mesh)["MeshFilePath"].GetString();
    out.meshFile = (*mesh)["MeshFileName"].GetString();
    out.diffuse = (*material)["diff"].GetString();
    out.animations.clear();
    for (const rapidjson::Value& name : (*model)["AnimationNames"].GetArray())
        out.animations.emplace_back(name.GetString());
    return true;
}

// Window rectangle (bottom-left origin, as glReadPixels counts) of something on screen.
struct Rect {
    int x0 = 0;
    int y0 = 0;
    int x1 = 0;
    int y1 = 0;
    int Width() const { return x1 - x0; }
    int Height() const { return y1 - y0; }
};

class EnemyLineupTest : public zttest::GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        if (IsSkipped())
            return;
        width = m_gl->Width();
        height = m_gl->Height();
        zttest::CaptureStdout([&] { renderer.Init(width, height, width, height); });
    }

    void TearDown() override
    {
        if (m_gl)
            renderer.Shutdown();
        GLTest::TearDown();
    }

    Vector3 ToPixel(const Vector3& world)
    {
        const Vector4 clip =
            renderer.GetProjection() * (renderer.GetViewMatrix() * Vector4(world.x, world.y, world.z, 1.0f));
        return Vector3((clip.x / clip.w * 0.5f + 0.5f) * static_cast<float>(width),
                       (clip.y / clip.w * 0.5f + 0.5f) * static_cast<float>(height), clip.z / clip.w);
    }

    // The screen rectangle of the instance's mesh bounds as placed.
    Rect ScreenRect(const ztengine::MeshBounds& bounds, const ztengine::InstanceTransform& transform)
    {
        const ztmath::Matrix4x4 world = transform.ToMatrix();
        float minX = 1e9f, minY = 1e9f, maxX = -1e9f, maxY = -1e9f;
        for (int corner = 0; corner < 8; ++corner) {
            const Vector4 local((corner & 1) ? bounds.m_max.x : bounds.m_min.x,
                                (corner & 2) ? bounds.m_max.y : bounds.m_min.y,
                                (corner & 4) ? bounds.m_max.z : bounds.m_min.z, 1.0f);
            const Vector4 placed = world * local;
            const Vector3 p = ToPixel(Vector3(placed.x, placed.y, placed.z));
            minX = std::min(minX, p.x);
            minY = std::min(minY, p.y);
            maxX = std::max(maxX, p.x);
            maxY = std::max(maxY, p.y);
        }
        return Rect{static_cast<int>(std::floor(minX)), static_cast<int>(std::floor(minY)),
                    static_cast<int>(std::ceil(maxX)), static_cast<int>(std::ceil(maxY))};
    }

    ztengine::GLRenderer3D renderer;
    int width = 0;
    int height = 0;
};

size_t CountDiffering(const std::vector<uint8_t>& frame, int frameWidth, const Rect& r, const zttest::Rgba& colour)
{
    size_t count = 0;
    for (int y = r.y0; y < r.y1; ++y) {
        for (int x = r.x0; x < r.x1; ++x) {
            const uint8_t* p = &frame[(static_cast<size_t>(y) * frameWidth + x) * 4];
            if (std::abs(p[0] - colour[0]) + std::abs(p[1] - colour[1]) + std::abs(p[2] - colour[2]) > 12)
                ++count;
        }
    }
    return count;
}

size_t CountChanged(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int frameWidth, const Rect& r)
{
    size_t count = 0;
    for (int y = r.y0; y < r.y1; ++y) {
        for (int x = r.x0; x < r.x1; ++x) {
            const size_t i = (static_cast<size_t>(y) * frameWidth + x) * 4;
            if (a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2])
                ++count;
        }
    }
    return count;
}

TEST_F(EnemyLineupTest, EveryEnemyAndBossStandsPosedInTheLineUp)
{
    // Figures 2.8 units tall in slots 3.0 wide; the camera looks along +z at both rows.
    constexpr float kFigureHeight = 2.8f;
    constexpr float kSlotWidth = 3.0f;
    constexpr float kRowHeight = 4.0f;
    constexpr float kTopRowFloor = 0.6f;
    ztmath::Basis camera;
    camera.SetForward(Vector3(0.0f, 0.0f, 1.0f));
    renderer.SetCameraBasis(camera);
    renderer.SetPerspective(50.0f * 3.14159265f / 180.0f, static_cast<float>(width), static_cast<float>(height),
                            ztengine::Graphics3D::kNearPlane, ztengine::Graphics3D::kFarPlane);
    renderer.SetCameraPosition(Vector3(0.0f, 0.0f, -11.0f));
    // Columns count from the picture's left edge, whichever way the view maps world x.
    const Vector3 screenRight(ToPixel(Vector3(1.0f, 0.0f, 0.0f)).x > ToPixel(Vector3()).x ? 1.0f : -1.0f, 0.0f,
                              0.0f);
    // Light from above, in front and a little to the side, so faces turned to the camera are lit.
    renderer.GetCurrentEnvironmentRef().m_lightDirection = Vector3(0.3f, -0.6f, 1.0f).Normalized();
    renderer.EnableShadows(false);
    // Only what the models look like matters here, not the screen effects.
    renderer.SetEffectsMask(1);
    renderer.m_ssaoEnabled = false;

    struct Placed {
        const Figure* figure = nullptr;
        int32_t mesh = -1;
        ztengine::InstanceHandle instance;
        ztengine::InstanceTransform transform;
    };
    std::vector<Placed> lineup;
    const ztmath::Basis facingCamera(Vector3(0.0f, 0.0f, -1.0f), Vector3(0.0f, 1.0f, 0.0f), true);
    for (const Figure& figure : kFigures) {
        SCOPED_TRACE(figure.modelName);
        ModelEntry entry;
        if (!LookUp(figure.modelName, entry))
            continue;
        ASSERT_TRUE(fs::exists(fs::path(ZT_RUNTIME_DIR) / entry.meshFolder / entry.meshFile)) << entry.meshFile;
        ASSERT_TRUE(fs::exists(fs::path(ZT_RUNTIME_DIR) / entry.diffuse)) << entry.diffuse;

        Placed placed;
        placed.figure = &figure;
        placed.mesh = renderer.CreateCustomMesh(entry.meshFolder.c_str(), entry.meshFile.c_str());
        ASSERT_GE(placed.mesh, 0);
        const int32_t material = renderer.CreateMaterial(entry.diffuse.c_str(), nullptr, nullptr, nullptr);
        ASSERT_GT(material, 0);
        const int32_t model =
            renderer.CreateModel(static_cast<uint32_t>(placed.mesh), static_cast<uint32_t>(material));
        for (const std::string& animation : entry.animations)
            EXPECT_TRUE(renderer.LoadAnimation(model, animation.c_str())) << animation;
        if (figure.clip >= 0) {
            // The behaviours count on the model file's own two clips before the loaded ones.
            EXPECT_EQ(renderer.GetAnimationCount(model), 2u + entry.animations.size());
            ASSERT_LT(static_cast<uint32_t>(figure.clip), renderer.GetAnimationCount(model));
        }

        const ztengine::MeshBounds bounds = renderer.GetMeshAABB(static_cast<uint32_t>(placed.mesh));
        const Vector3 size = bounds.m_max - bounds.m_min;
        ASSERT_GT(size.y, 0.0f);
        const float scale = kFigureHeight / std::max(size.y, size.x);
        // The bounds' bottom centre on the middle of the slot, on the row's floor at z = 0.
        placed.transform.m_scale = Vector3(scale, scale, scale);
        placed.transform.SetBasis(facingCamera);
        const Vector3 foot((bounds.m_min.x + bounds.m_max.x) * 0.5f, bounds.m_min.y,
                           (bounds.m_min.z + bounds.m_max.z) * 0.5f);
        const Vector4 footPlaced = placed.transform.ToMatrix() * Vector4(foot.x, foot.y, foot.z, 1.0f);
        const Vector3 slot = screenRight * ((figure.column - 2.0f) * kSlotWidth) +
                             Vector3(0.0f, kTopRowFloor - static_cast<float>(figure.row) * kRowHeight, 0.0f);
        placed.transform.m_position = slot - Vector3(footPlaced.x, footPlaced.y, footPlaced.z);
        placed.instance = renderer.CreateInstance(model, placed.transform);
        if (figure.clip >= 0) {
            placed.instance.SetAnimated(true);
            placed.instance.SetAnimationIndex(figure.clip);
            placed.instance.SetAnimationTime(figure.phase);
        }
        lineup.push_back(placed);
    }
    ASSERT_EQ(lineup.size(), std::size(kFigures));

    renderer.RenderFrame(0.016f);
    renderer.RenderFrame(0.016f);
    EXPECT_EQ(zttest::GLTestContext::TakeErrors(), "");
    const std::vector<uint8_t> frame = m_gl->ReadFrame();
    const fs::path artefact = fs::path(ZT_TEST_TMP_DIR).parent_path() / "test-artefacts" / "enemy-lineup.png";
    ASSERT_TRUE(zttest::GLTestContext::SavePng(artefact, frame, width, height));

    // The corners show nothing but the background.
    const zttest::Rgba background = zttest::GLTestContext::ReadPixel(width - 3, 3);
    EXPECT_EQ(zttest::GLTestContext::ReadPixel(2, height - 3), background);
    EXPECT_EQ(zttest::GLTestContext::ReadPixel(width - 3, height - 3), background);

    std::vector<Rect> areas;
    for (const Placed& placed : lineup) {
        SCOPED_TRACE(placed.figure->modelName);
        const Rect area = ScreenRect(renderer.GetMeshAABB(static_cast<uint32_t>(placed.mesh)), placed.transform);
        // Whole in the picture, of a size worth looking at, and clear of every other figure.
        ASSERT_GE(area.x0, 0);
        ASSERT_GE(area.y0, 0);
        ASSERT_LE(area.x1, width);
        ASSERT_LE(area.y1, height);
        EXPECT_GT(area.Width(), 60);
        EXPECT_GT(area.Height(), 150);
        for (const Rect& other : areas)
            EXPECT_TRUE(other.x1 <= area.x0 || area.x1 <= other.x0 || other.y1 <= area.y0 || area.y1 <= other.y0);
        areas.push_back(area);
        // A body, not a sliver: a good part of its box is something other than background.
        const size_t covered = CountDiffering(frame, width, area, background);
        EXPECT_GT(covered, static_cast<size_t>(area.Width() * area.Height()) / 8)
            << covered << " of " << area.Width() << " x " << area.Height();

        const ztengine::InstanceData& data = placed.instance.GetInstanceConst();
        if (placed.figure->clip >= 0) {
            // One pose matrix per bone of its skeleton.
            EXPECT_EQ(data.m_boneMatrices.size(), renderer.GetBoneCount(static_cast<uint32_t>(placed.mesh)));
            EXPECT_GT(data.m_boneMatrices.size(), 1u);
        } else {
            EXPECT_TRUE(data.m_boneMatrices.empty());
        }
    }

    // Not one flat colour: shaded, textured bodies in many tones.
    std::set<uint32_t> tones;
    for (size_t i = 0; i < frame.size(); i += 4 * 7)
        tones.insert((frame[i] >> 3) << 10 | (frame[i + 1] >> 3) << 5 | (frame[i + 2] >> 3));
    EXPECT_GT(tones.size(), 200u);

    // The pose really follows the clip: caught at another moment, each animated figure moves in
    // its own box; the skulls hold still (but for a neighbour's limb swinging past the edge).
    for (Placed& placed : lineup) {
        if (placed.figure->clip >= 0)
            placed.instance.SetAnimationTime(placed.figure->phase + 0.25f);
    }
    renderer.RenderFrame(0.016f);
    const std::vector<uint8_t> later = m_gl->ReadFrame();
    for (const Placed& placed : lineup) {
        SCOPED_TRACE(placed.figure->modelName);
        const Rect area = ScreenRect(renderer.GetMeshAABB(static_cast<uint32_t>(placed.mesh)), placed.transform);
        const size_t moved = CountChanged(frame, later, width, area);
        if (placed.figure->clip >= 0)
            EXPECT_GT(moved, 200u);
        else
            EXPECT_LT(moved, static_cast<size_t>(area.Width() * area.Height()) / 50);
    }
    EXPECT_EQ(zttest::GLTestContext::TakeErrors(), "");
}

}  // namespace
