// The material editor without a window: its loading jobs, the texture matching of its panel,
// selection, previews, and the create and delete buttons with the file they rewrite.
#include <gtest/gtest.h>

#include <strings.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "core/subsys/Editors/MaterialEditor/MaterialEditor.h"
#include "core/subsys/Editors/ResourceEditorHarness.h"

namespace {

using ztengine::InstanceHandle;
using ztengine::MaterialEditor;

std::string Material(const std::string& name, const std::string& diffuse,
                     const std::string& normal = "")
{
    return "{\"mat\":\"" + name + "\",\"diff\":\"" + diffuse + "\",\"spec\":\"\",\"nrm\":\"" +
           normal + "\",\"disp\":\"\"}";
}

const std::string kGold = Material("gold", "textures/diff/coin.png");
const std::string kStone = Material("stone", "textures/diff/altar.png", "textures/nrm/overworld_NRM.png");
const std::string kIce = Material("pillarIce", "textures/diff/pillar_ice.png");
const std::string kMaterials = "[" + kGold + "," + kStone + "," + kIce + "]";

class MaterialEditorTest : public editortest::ResourceEditorTest {
protected:
    void SetUp() override
    {
        ResourceEditorTest::SetUp();
        LoadLists(kMaterials, "[]", "[]");
        editor = AddEditor<MaterialEditor>("MATERIAL_EDITOR");
        editor->Load();
        queuedAtLoad = app->GetPendingJobCount();
        editor->Init();
        DrainJobs();
    }

    int32_t Index(const std::vector<std::string>& files, const std::string& name)
    {
        for (size_t i = 0; i < files.size(); ++i)
            if (files[i] == name)
                return static_cast<int32_t>(i);
        return -1;
    }

    ztmath::Vector3 Ahead(float distance)
    {
        return renderer.GetCameraPosition() + renderer.GetCameraBasis().forward * distance;
    }

    static void ExpectAt(const InstanceHandle& preview, const ztmath::Vector3& where)
    {
        const ztmath::Vector3& p = preview.GetInstanceConst().m_transform.m_position;
        EXPECT_NEAR(p.x, where.x, 1e-5f);
        EXPECT_NEAR(p.y, where.y, 1e-5f);
        EXPECT_NEAR(p.z, where.z, 1e-5f);
    }

    MaterialEditor* editor = nullptr;
    size_t queuedAtLoad = 0;
};

TEST_F(MaterialEditorTest, LoadingBuildsEveryMaterialListsThemAndMakesOneHiddenPreviewEach)
{
    // Three build jobs, the list job and the preview-queueing job.
    EXPECT_EQ(queuedAtLoad, 5u);
    EXPECT_EQ(editor->m_materialNames, (std::vector<std::string>{"gold", "stone", "pillarIce"}));
    ASSERT_EQ(editor->m_selections.size(), 3u);
    ASSERT_EQ(editor->m_previews.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const ztengine::MaterialInfo& info = materials->m_materials[i];
        EXPECT_NE(info.m_materialHandle, 0);
        EXPECT_EQ(DiffuseOf(info.m_materialHandle), info.m_textures.m_diffuse);
        // Each preview has a material and model of its own, drawn with the same image.
        const InstanceHandle& preview = editor->m_previews[i];
        EXPECT_TRUE(Hidden(preview));
        const int32_t previewMaterial =
            renderer.GetModel(static_cast<uint32_t>(preview.m_modelId)).m_material;
        EXPECT_NE(previewMaterial, info.m_materialHandle);
        EXPECT_EQ(DiffuseOf(previewMaterial), info.m_textures.m_diffuse);
        EXPECT_EQ(renderer.GetModel(static_cast<uint32_t>(preview.m_modelId)).m_mesh, editor->m_previewMesh);
    }
    // The listings start with "none" and keep the folders' files in name order.
    EXPECT_EQ(editor->m_normalFiles, (std::vector<std::string>{"none", "overworld_NRM.png"}));
    EXPECT_EQ(editor->m_diffuseFiles.front(), "none");
    EXPECT_TRUE(std::is_sorted(editor->m_diffuseFiles.begin() + 1, editor->m_diffuseFiles.end(),
                               [](const std::string& a, const std::string& b) {
                                   return strcasecmp(a.c_str(), b.c_str()) < 0;
                               }));
    const MaterialEditor::TextureSelection stone = editor->m_selections[1];
    EXPECT_EQ(stone.diffuse, Index(editor->m_diffuseFiles, "altar.png"));
    EXPECT_EQ(stone.normal, 1);
    EXPECT_EQ(stone.specular, 0);
    EXPECT_EQ(stone.displacement, 0);
}

TEST(MaterialTextureMatch, OnlyTheWholePathPicksAFile)
{
    const std::vector<std::string> files = {"none", "ice.png", "pillar_ice.png", "wall.png",
                                            "stone_wall.png"};
    const std::string folder = "textures/diff/";
    struct Case {
        std::string path;
        int32_t index;
    };
    const Case cases[] = {
        {"textures/diff/stone_wall.png", 4},  // not wall.png, which it contains
        {"textures/diff/pillar_ice.png", 2},  // not ice.png
        {"textures/diff/wall.png", 3},
        {"", 0},
        {"textures/diff/none", 0},            // "none" is no file
        {"textures/diff/gone.png", 0},        // no longer in the folder
        {"textures/spec/wall.png", 0},        // another folder
        {"textures/diff/WALL.png", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(MaterialEditor::FindTextureIndex(files, folder, c.path), c.index);
    }
}

TEST_F(MaterialEditorTest, EnteringShowsTheSelectionTurningAheadAndSelectingSwapsPanelAndPreview)
{
    app->ChangeState("MATERIAL_EDITOR");
    EXPECT_TRUE(WindowVisible(editor->m_selectWindow));
    EXPECT_TRUE(WindowVisible(editor->m_mainWindow));
    EXPECT_FALSE(Hidden(editor->m_previews[0]));
    EXPECT_TRUE(Hidden(editor->m_previews[1]));
    EXPECT_EQ(events, (std::vector<std::string>{"SHOW_CUSTOM_CURSOR"}));

    editor->Update(1.0f / 60.0f);
    EXPECT_STREQ(editor->m_nameField, "gold");
    EXPECT_EQ(*editor->m_diffuseSelection, Index(editor->m_diffuseFiles, "coin.png"));
    ExpectAt(editor->m_previews[0], Ahead(2.0f));

    *editor->m_materialSelection = 1;
    editor->Update(1.0f / 60.0f);
    EXPECT_STREQ(editor->m_nameField, "stone");
    EXPECT_EQ(*editor->m_diffuseSelection, Index(editor->m_diffuseFiles, "altar.png"));
    EXPECT_EQ(*editor->m_normalSelection, 1);
    EXPECT_TRUE(Hidden(editor->m_previews[0]));
    EXPECT_FALSE(Hidden(editor->m_previews[1]));
    ExpectAt(editor->m_previews[1], Ahead(2.0f));
    // The turn carries on from the first preview: two updates so far.
    const ztmath::Basis& turned = editor->m_previews[1].GetInstanceConst().m_transform.m_basis;
    EXPECT_NEAR(turned.forward.x, std::sin(0.02f), 1e-5f);

    // About one full turn after 628 updates.
    for (int i = 2; i < 628; ++i)
        editor->Update(1.0f / 60.0f);
    EXPECT_NEAR(turned.forward.x, std::sin(6.28f), 1e-3f);
    EXPECT_NEAR(turned.forward.z, std::cos(6.28f), 1e-3f);

    // Closing a window by hand lasts: the material editor does not reopen it every frame.
    Gui().GetGuiWindow(editor->m_mainWindow)->visible = false;
    editor->Update(1.0f / 60.0f);
    EXPECT_FALSE(WindowVisible(editor->m_mainWindow));

    app->ChangeState("OTHER");
    EXPECT_FALSE(WindowVisible(editor->m_selectWindow));
    for (const InstanceHandle& preview : editor->m_previews)
        EXPECT_TRUE(Hidden(preview));
    EXPECT_EQ(events, (std::vector<std::string>{"SHOW_CUSTOM_CURSOR", "HIDE_CUSTOM_CURSOR"}));
}

TEST_F(MaterialEditorTest, CreatingUpdatesOrAppendsAndRewritesTheListAtOnce)
{
    app->ChangeState("MATERIAL_EDITOR");
    editor->Update(1.0f / 60.0f);

    // The name of a material that is not selected: its preview is replaced and shows, still,
    // one unit ahead, beside the selected one turning two units ahead.
    std::snprintf(editor->m_nameField, sizeof(editor->m_nameField), "stone");
    *editor->m_diffuseSelection = Index(editor->m_diffuseFiles, "wall_red.png");
    *editor->m_normalSelection = 0;
    const InstanceHandle old = editor->m_previews[1];
    Press(editor->m_mainWindow, "Create Material");
    EXPECT_TRUE(Hidden(old));
    EXPECT_FALSE(Hidden(editor->m_previews[1]));
    ExpectAt(editor->m_previews[1], Ahead(1.0f));
    EXPECT_EQ(DiffuseOfInstance(editor->m_previews[1]), "textures/diff/wall_red.png");
    EXPECT_EQ(editor->m_status, "stone has been created.");
    EXPECT_EQ(Read("material.init"),
              "[" + kGold + "," + Material("stone", "textures/diff/wall_red.png") + "," + kIce + "]");
    editor->Update(1.0f / 60.0f);
    EXPECT_FALSE(Hidden(editor->m_previews[0]));
    EXPECT_FALSE(Hidden(editor->m_previews[1]));
    ExpectAt(editor->m_previews[0], Ahead(2.0f));
    ExpectAt(editor->m_previews[1], Ahead(1.0f));

    // A new name is appended, not selected, its preview hidden until it is.
    std::snprintf(editor->m_nameField, sizeof(editor->m_nameField), "moss");
    *editor->m_diffuseSelection = Index(editor->m_diffuseFiles, "grass_2_COLOR.png");
    Press(editor->m_mainWindow, "Create Material");
    EXPECT_EQ(editor->m_materialNames.back(), "moss");
    ASSERT_EQ(editor->m_previews.size(), 4u);
    EXPECT_TRUE(Hidden(editor->m_previews[3]));
    EXPECT_EQ(*editor->m_materialSelection, 0);
    EXPECT_EQ(Read("material.init"), "[" + kGold + "," +
                                         Material("stone", "textures/diff/wall_red.png") + "," +
                                         kIce + "," + Material("moss", "textures/diff/grass_2_COLOR.png") + "]");

    // Selecting a material and creating it unchanged writes back the very path it was read
    // with, also when a shorter file name is part of it (ice.png in pillar_ice.png).
    *editor->m_materialSelection = 2;
    editor->Update(1.0f / 60.0f);
    EXPECT_EQ(*editor->m_diffuseSelection, Index(editor->m_diffuseFiles, "pillar_ice.png"));
    Press(editor->m_mainWindow, "Create Material");
    EXPECT_EQ(materials->m_materials[2].m_textures.m_diffuse, "textures/diff/pillar_ice.png");
}

TEST_F(MaterialEditorTest, DeletingRemovesTheSelectedMaterialAndShowsTheFirstNext)
{
    app->ChangeState("MATERIAL_EDITOR");
    *editor->m_materialSelection = 1;
    editor->Update(1.0f / 60.0f);
    const InstanceHandle deleted = editor->m_previews[1];
    const InstanceHandle third = editor->m_previews[2];

    Press(editor->m_mainWindow, "Delete Material");
    EXPECT_EQ(Read("material.init"), "[" + kGold + "," + kIce + "]");
    EXPECT_EQ(editor->m_materialNames, (std::vector<std::string>{"gold", "pillarIce"}));
    EXPECT_EQ(editor->m_status, "stone has been deleted.");
    EXPECT_TRUE(Hidden(deleted));
    ASSERT_EQ(editor->m_previews.size(), 2u);
    EXPECT_EQ(editor->m_previews[1].m_poolIndex, third.m_poolIndex);
    EXPECT_EQ(*editor->m_materialSelection, 0);

    editor->Update(1.0f / 60.0f);
    EXPECT_STREQ(editor->m_nameField, "gold");
    EXPECT_FALSE(Hidden(editor->m_previews[0]));

    // Down to nothing, and once more: nothing left to delete.
    Press(editor->m_mainWindow, "Delete Material");
    Press(editor->m_mainWindow, "Delete Material");
    Press(editor->m_mainWindow, "Delete Material");
    EXPECT_EQ(Read("material.init"), "[]");
    EXPECT_TRUE(editor->m_previews.empty());
    editor->Update(1.0f / 60.0f);
}

TEST_F(MaterialEditorTest, SelectionsPastTheEndOfAListAreIgnored)
{
    app->ChangeState("MATERIAL_EDITOR");
    *editor->m_materialSelection = 7;
    editor->Update(1.0f / 60.0f);
    EXPECT_STREQ(editor->m_nameField, "");
    Press(editor->m_mainWindow, "Delete Material");
    EXPECT_EQ(materials->m_materials.size(), 3u);

    // Texture indices outside their lists give no path.
    std::snprintf(editor->m_nameField, sizeof(editor->m_nameField), "odd");
    *editor->m_diffuseSelection = 999;
    *editor->m_specularSelection = -3;
    Press(editor->m_mainWindow, "Create Material");
    EXPECT_EQ(materials->m_materials.back().m_textures.m_diffuse, "");
    EXPECT_EQ(materials->m_materials.back().m_textures.m_specular, "");
}

// The panel's windows can be opened from the "Windows" menu while the loading screen still
// runs the jobs; what is made then must keep every preview at its own material's index.
// The parameter: how many loading jobs have run when "Create Material" is pressed (1: only a
// build job; 4: the previews are queued; 6: one preview is made).
class MaterialEditorWhileLoading : public editortest::ResourceEditorTest,
                                   public ::testing::WithParamInterface<int> {};

TEST_P(MaterialEditorWhileLoading, CreatingKeepsEveryPreviewAtItsMaterialsIndex)
{
    LoadLists(kMaterials, "[]", "[]");
    MaterialEditor* editor = AddEditor<MaterialEditor>("MATERIAL_EDITOR");
    editor->Load();
    editor->Init();
    for (int i = 0; i < GetParam(); ++i)
        app->RunNextJob();
    std::snprintf(editor->m_nameField, sizeof(editor->m_nameField), "moss");
    *editor->m_diffuseSelection = 3;
    Press(editor->m_mainWindow, "Create Material");
    DrainJobs();

    EXPECT_EQ(editor->m_materialNames.size(), 4u);
    ASSERT_LE(editor->m_previews.size(), editor->m_materialNames.size());
    EXPECT_GE(editor->m_previews.size(), 3u);
    for (size_t i = 0; i < editor->m_previews.size(); ++i)
        EXPECT_EQ(DiffuseOfInstance(editor->m_previews[i]),
                  materials->m_materials[i].m_textures.m_diffuse) << i;
}

INSTANTIATE_TEST_SUITE_P(JobsRun, MaterialEditorWhileLoading, ::testing::Values(1, 4, 6));

}  // namespace
