// The model editor without a window: the model build at the end of loading, its preview, list
// refresh and selection, the animation list, the clock and orientation of the preview, and the
// create and delete buttons with the file they rewrite.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/subsys/Editors/EditorCommon.h"
#include "core/subsys/Editors/ModelEditor/ModelEditor.h"
#include "core/subsys/Editors/ResourceEditorHarness.h"

namespace {

using ztengine::ModelEditor;

const std::string kMaterialList =
    "[{\"mat\":\"gold\",\"diff\":\"textures/diff/coin.png\",\"spec\":\"\",\"nrm\":\"\",\"disp\":\"\"},"
    "{\"mat\":\"stone\",\"diff\":\"textures/diff/altar.png\",\"spec\":\"\",\"nrm\":\"\",\"disp\":\"\"}]";
const std::string kMeshList =
    "[{\"MeshName\":\"coin\",\"MeshType\":8,\"MeshStacks\":0,\"MeshSlices\":0,"
    "\"MeshStartAngle\":0.0,\"MeshEndAngle\":0.0,\"MeshMinorFactor\":0.0,"
    "\"MeshFilePath\":\"models/\",\"MeshFileName\":\"coin.obj\"},"
    "{\"MeshName\":\"ball\",\"MeshType\":3,\"MeshStacks\":8,\"MeshSlices\":16,"
    "\"MeshStartAngle\":0.0,\"MeshEndAngle\":0.0,\"MeshMinorFactor\":0.0,"
    "\"MeshFilePath\":\"\",\"MeshFileName\":\"\"}]";
const std::string kCoinModel =
    "{\"ModelName\":\"CoinModel\",\"MeshName\":\"coin\",\"MaterialName\":\"gold\",\"AnimationNames\":[\"\"]}";
const std::string kBallModel =
    "{\"ModelName\":\"ballModel\",\"MeshName\":\"ball\",\"MaterialName\":\"stone\","
    "\"AnimationNames\":[\"animation/anim_skele_run.fbx\",\"animation/anim_skele_walk.fbx\"]}";
const std::string kModelList = "[" + kCoinModel + "," + kBallModel + "]";

class ModelEditorTest : public editortest::ResourceEditorTest {
protected:
    void SetUp() override
    {
        ResourceEditorTest::SetUp();
        LoadLists(kMaterialList, kMeshList, kModelList);
        // The first wave, as the material and mesh editors queue it.
        materials->QueueBuildJobs(renderer, *app);
        meshes->QueueBuildJobs(renderer, *app);
        DrainJobs();
        editor = AddEditor<ModelEditor>("MODEL_EDITOR");
        app->InitPendingSubsystems();
        previewJobs = app->GetPendingJobCount();
        DrainJobs();
    }

    void Frame() { editor->Update(1.0f / 60.0f); }
    ztengine::TexturedBatch PreviewModel() { return renderer.GetModel(static_cast<uint32_t>(editor->m_previewModel)); }
    const ztengine::InstanceData& Preview() { return editor->m_preview.GetInstanceConst(); }

    ModelEditor* editor = nullptr;
    size_t previewJobs = 0;
};

TEST_F(ModelEditorTest, InitBuildsEveryModelAndOneHiddenPreviewOfTheFirst)
{
    for (const ztengine::ModelInfo& info : models->m_models) {
        SCOPED_TRACE(info.m_modelName);
        const int32_t model = models->GetModel(info.m_modelName.c_str());
        EXPECT_NE(model, models->m_defaultModel);
        EXPECT_EQ(renderer.GetModel(static_cast<uint32_t>(model)).m_mesh, meshes->GetMesh(info.m_meshName.c_str()));
        EXPECT_EQ(renderer.GetModel(static_cast<uint32_t>(model)).m_material,
                  materials->GetMaterialHandle(info.m_materialName));
    }
    EXPECT_EQ(models->m_animationFiles.size(), 9u);  // "animation/*.FBX" in any case
    EXPECT_EQ(previewJobs, 1u);
    ASSERT_TRUE(ztengine::HasEditorPreview(editor->m_preview));
    EXPECT_TRUE(Preview().m_hidden);
    EXPECT_EQ(PreviewModel().m_mesh, meshes->GetMesh("coin"));
    EXPECT_EQ(PreviewModel().m_material, materials->GetMaterialHandle("gold"));
    EXPECT_NE(editor->m_previewModel, models->GetModel("CoinModel"));  // the editor's own
    EXPECT_TRUE(editor->m_animationEnabled);
}

TEST_F(ModelEditorTest, SelectingAModelSetsPreviewDropDownsAndAnimationsAndResetsTheZoom)
{
    app->ChangeState("MODEL_EDITOR");
    EXPECT_TRUE(WindowVisible(editor->m_listWindow));
    EXPECT_FALSE(Preview().m_hidden);
    EXPECT_EQ(events, (std::vector<std::string>{"SHOW_CUSTOM_CURSOR"}));

    Frame();
    EXPECT_EQ(editor->m_modelNames, (std::vector<std::string>{"CoinModel", "ballModel"}));
    EXPECT_EQ(editor->m_meshNames, (std::vector<std::string>{"ball", "coin"}));
    EXPECT_EQ(editor->m_materialNames, (std::vector<std::string>{"gold", "stone"}));
    EXPECT_EQ(editor->m_animationFiles.size(), 9u);
    EXPECT_EQ(*editor->m_meshSelection, 1);
    EXPECT_EQ(*editor->m_materialSelection, 0);
    EXPECT_EQ(editor->m_chosenAnimations, (std::vector<std::string>{""}));

    Press(editor->m_listWindow, "Zoom In");
    EXPECT_FLOAT_EQ(editor->m_zoom, 0.8f);
    EXPECT_EQ(Preview().m_transform.m_scale.y, 1.0f);
    *editor->m_modelSelection = 1;
    Frame();
    EXPECT_EQ(PreviewModel().m_mesh, meshes->GetMesh("ball"));
    EXPECT_EQ(PreviewModel().m_material, materials->GetMaterialHandle("stone"));
    EXPECT_EQ(editor->m_zoom, 1.0f);
    EXPECT_EQ(*editor->m_meshSelection, 0);
    EXPECT_EQ(*editor->m_materialSelection, 1);
    EXPECT_EQ(editor->m_chosenAnimations,
              (std::vector<std::string>{"animation/anim_skele_run.fbx", "animation/anim_skele_walk.fbx"}));

    // A window closed with its close box is back in the next frame.
    Gui().GetGuiWindow(editor->m_mainWindow)->visible = false;
    Frame();
    EXPECT_TRUE(WindowVisible(editor->m_mainWindow));

    app->ChangeState("OTHER");
    EXPECT_FALSE(WindowVisible(editor->m_listWindow));
    EXPECT_FALSE(WindowVisible(editor->m_mainWindow));
    EXPECT_TRUE(Preview().m_hidden);
    EXPECT_EQ(events, (std::vector<std::string>{"SHOW_CUSTOM_CURSOR", "HIDE_CUSTOM_CURSOR"}));
}

TEST_F(ModelEditorTest, PreviewIsAnimatedOnAClockThatWrapsAndTurnedPitchRollThenYaw)
{
    app->ChangeState("MODEL_EDITOR");
    for (int i = 0; i < 100; ++i)
        Frame();
    EXPECT_FLOAT_EQ(Preview().m_animationTime, 0.99999934f);
    EXPECT_EQ(Preview().m_animated, 1);
    EXPECT_EQ(Preview().m_animationIndex, 1);
    Frame();
    EXPECT_EQ(Preview().m_animationTime, 0.0f);

    editor->m_pitch = 90.0f;
    editor->m_yaw = 90.0f;
    editor->m_roll = 30.0f;
    Frame();
    ztmath::Basis expected;
    expected.Pitch(90.0f);
    expected.Roll(30.0f);
    expected.Yaw(90.0f);
    ztmath::Basis yawFirst;
    yawFirst.Yaw(90.0f);
    yawFirst.Roll(30.0f);
    yawFirst.Pitch(90.0f);
    const ztmath::Basis& shown = Preview().m_transform.m_basis;
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(shown.forward[i], expected.forward[i], 1e-5f);
        EXPECT_NEAR(shown.up[i], expected.up[i], 1e-5f);
    }
    EXPECT_GT((shown.forward - yawFirst.forward).Length(), 0.1f);
    // The middle of the model's bounds, turned with it, sits at its framing distance ahead.
    const ztengine::MeshBounds bounds = ztengine::EditorPreviewBounds(renderer, editor->m_preview);
    const ztmath::Vector3 centre = Preview().m_transform.m_position +
                                   shown.right * bounds.m_center.x + shown.up * bounds.m_center.y +
                                   shown.forward * bounds.m_center.z;
    const ztmath::Vector3 ahead =
        renderer.GetCameraPosition() +
        renderer.GetCameraBasis().forward *
            ztengine::EditorFramingDistance(bounds, ztmath::Vector3(1, 1, 1));
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(centre[i], ahead[i], 1e-4f);
}

TEST_F(ModelEditorTest, AnimationRowsAreAddedOnceAndRemovedBySelection)
{
    Frame();
    editor->m_chosenAnimations.clear();
    *editor->m_animationFileSelection = 2;
    Press(editor->m_mainWindow, "Add selected animation");
    Press(editor->m_mainWindow, "Add selected animation");
    *editor->m_animationFileSelection = 4;
    Press(editor->m_mainWindow, "Add selected animation");
    *editor->m_animationFileSelection = 9;  // past the end
    Press(editor->m_mainWindow, "Add selected animation");
    EXPECT_EQ(editor->m_chosenAnimations,
              (std::vector<std::string>{editor->m_animationFiles[2], editor->m_animationFiles[4]}));

    *editor->m_chosenRowSelection = 1;
    Press(editor->m_mainWindow, "Remove Animation");
    EXPECT_EQ(editor->m_chosenAnimations, (std::vector<std::string>{editor->m_animationFiles[2]}));
    EXPECT_EQ(*editor->m_chosenRowSelection, 0);
    *editor->m_chosenRowSelection = 3;
    Press(editor->m_mainWindow, "Remove Animation");
    EXPECT_EQ(editor->m_chosenAnimations.size(), 1u);
}

TEST_F(ModelEditorTest, CreatingACopyAndDeletingRewriteTheListAtOnce)
{
    app->ChangeState("MODEL_EDITOR");
    *editor->m_modelSelection = 1;
    Frame();

    // Nothing happens without a name.
    Press(editor->m_mainWindow, "Create Model");
    EXPECT_EQ(Read("model.init"), kModelList);
    EXPECT_EQ(editor->m_status, "");

    std::snprintf(editor->m_nameField, sizeof(editor->m_nameField), "ballCopy");
    Press(editor->m_mainWindow, "Create Model");
    EXPECT_EQ(editor->m_status, "ballCopy created.");
    const std::string copy =
        "{\"ModelName\":\"ballCopy\",\"MeshName\":\"ball\",\"MaterialName\":\"stone\","
        "\"AnimationNames\":[\"animation/anim_skele_run.fbx\",\"animation/anim_skele_walk.fbx\"]}";
    EXPECT_EQ(Read("model.init"), "[" + kCoinModel + "," + kBallModel + "," + copy + "]");
    EXPECT_GE(models->GetModel("ballCopy"), 0);
    Frame();
    EXPECT_EQ(editor->m_modelNames.back(), "ballCopy");

    // A drop-down left past the end of its list creates nothing.
    *editor->m_meshSelection = 5;
    std::snprintf(editor->m_nameField, sizeof(editor->m_nameField), "broken");
    Press(editor->m_mainWindow, "Create Model");
    EXPECT_EQ(models->m_models.size(), 3u);

    // Deleting the selected model; the next update shows the first one at scale 1.
    Press(editor->m_listWindow, "Zoom In");
    Press(editor->m_listWindow, "Delete Model");
    EXPECT_EQ(Read("model.init"), "[" + kCoinModel + "," + copy + "]");
    EXPECT_EQ(*editor->m_modelSelection, 0);
    Frame();
    EXPECT_EQ(PreviewModel().m_mesh, meshes->GetMesh("coin"));
    EXPECT_EQ(Preview().m_transform.m_scale.x, 1.0f);

    *editor->m_modelSelection = 4;
    Press(editor->m_listWindow, "Delete Model");
    EXPECT_EQ(models->m_models.size(), 2u);
}

TEST_F(ModelEditorTest, WithoutModelsThereIsNoPreviewAndTheButtonsDoNothing)
{
    // The lists are filled by the first update; until then there is nothing to delete.
    Press(editor->m_listWindow, "Delete Model");
    EXPECT_EQ(models->m_models.size(), 2u);
    Frame();
    Press(editor->m_listWindow, "Delete Model");
    Press(editor->m_listWindow, "Delete Model");
    EXPECT_TRUE(models->m_models.empty());
    EXPECT_EQ(Read("model.init"), "[]");
    Frame();
    EXPECT_TRUE(Preview().m_hidden);
    const float scale = Preview().m_transform.m_scale.x;
    Press(editor->m_listWindow, "Zoom In");
    Press(editor->m_listWindow, "Delete Model");
    EXPECT_EQ(Preview().m_transform.m_scale.x, scale);
    EXPECT_EQ(Read("model.init"), "[]");
}

}  // namespace
