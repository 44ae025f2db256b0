// The mesh editor without a window: its build and preview jobs, the builder fields per kind,
// selection, zoom keys and buttons, and the create and delete buttons with the file they rewrite.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "core/subsys/Editors/EditorCommon.h"
#include "core/subsys/Editors/MeshEditor/MeshEditor.h"
#include "core/subsys/Editors/ResourceEditorHarness.h"  // GLEW, then GLFW

namespace {

using ztengine::InstanceHandle;
using ztengine::MeshEditor;

std::string Mesh(const std::string& name, int type, int stacks, int slices,
                 const std::string& path = "", const std::string& file = "")
{
    return "{\"MeshName\":\"" + name + "\",\"MeshType\":" + std::to_string(type) +
           ",\"MeshStacks\":" + std::to_string(stacks) + ",\"MeshSlices\":" +
           std::to_string(slices) +
           ",\"MeshStartAngle\":0.0,\"MeshEndAngle\":0.0,\"MeshMinorFactor\":0.0,"
           "\"MeshFilePath\":\"" + path + "\",\"MeshFileName\":\"" + file + "\"}";
}

const std::string kLongName(100, 'z');
// Listed out of name order; the editor shows them in name order.
const std::string kUnsortedMeshList = "[" + Mesh("b", 3, 8, 16) + "," + Mesh("a", 2, 0, 0) + "," +
                                      Mesh("c", 8, 0, 0, "models/", "coin.obj") + "," +
                                      Mesh(kLongName, 2, 0, 0) + "]";

class MeshEditorTest : public editortest::ResourceEditorTest {
protected:
    void SetUp() override
    {
        ResourceEditorTest::SetUp();
        LoadLists("[]", kUnsortedMeshList, "[]");
        editor = AddEditor<MeshEditor>("MESH_EDITOR");
        editor->Load();
        buildJobs = app->GetPendingJobCount();
        DrainJobs();
        app->InitPendingSubsystems();
        previewJobs = app->GetPendingJobCount();
        DrainJobs();
    }

    void Frame() { editor->Update(1.0f / 60.0f); }
    void Key(int key)
    {
        // Down in one frame and up in the next, with the input's end-of-frame step between.
        app->SetKeyState(key, GLFW_PRESS);
        Frame();
        app->GetGLFWInput().Update();
        app->SetKeyState(key, GLFW_RELEASE);
        app->GetGLFWInput().Update();
    }
    float ScaleOf(size_t preview) { return editor->m_previews[preview].GetInstanceConst().m_transform.m_scale.x; }
    int32_t PreviewMesh(size_t preview)
    {
        return renderer.GetModel(static_cast<uint32_t>(editor->m_previews[preview].m_modelId)).m_mesh;
    }

    MeshEditor* editor = nullptr;
    size_t buildJobs = 0;
    size_t previewJobs = 0;
};

TEST_F(MeshEditorTest, LoadingBuildsTheListThenOneHiddenPreviewPerNameInNameOrder)
{
    EXPECT_EQ(buildJobs, 4u);
    EXPECT_GE(meshes->m_defaultCubeMesh, 0);
    EXPECT_EQ(previewJobs, 4u);
    EXPECT_EQ(editor->m_meshNames, (std::vector<std::string>{"a", "b", "c", kLongName}));
    ASSERT_EQ(editor->m_previews.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(editor->m_meshNames[i]);
        EXPECT_TRUE(Hidden(editor->m_previews[i]));
        EXPECT_EQ(PreviewMesh(i), meshes->GetMesh(editor->m_meshNames[i].c_str()));
        EXPECT_EQ(renderer.GetModel(static_cast<uint32_t>(editor->m_previews[i].m_modelId)).m_material, 0);
    }
    // "models/" entries of more than four characters, files and folders alike.
    EXPECT_EQ(editor->m_editorMaterial, 0);
    EXPECT_NE(std::find(editor->m_customFiles.begin(), editor->m_customFiles.end(), "cube1cm.obj"),
              editor->m_customFiles.end());
    EXPECT_NE(std::find(editor->m_customFiles.begin(), editor->m_customFiles.end(), "OgrePack"),
              editor->m_customFiles.end());
}

TEST_F(MeshEditorTest, OnlyTheChosenKindsBuilderFieldsShow)
{
    const MeshEditor& e = *editor;
    const std::vector<int> ints = {e.m_planeStacksWidget,    e.m_planeSlicesWidget,
                                   e.m_coneStacksWidget,     e.m_coneSlicesWidget,
                                   e.m_cylinderStacksWidget, e.m_cylinderSlicesWidget,
                                   e.m_sphereStacksWidget,   e.m_sphereSlicesWidget,
                                   e.m_torusStacksWidget,    e.m_torusSlicesWidget};
    const std::vector<int> floats = {e.m_torusStartAngleWidget, e.m_torusEndAngleWidget,
                                     e.m_torusMinorFactorWidget};
    auto shown = [&]() {
        std::vector<int> visible;
        const std::vector<bool> intShown = WidgetVisibility(e.m_mainWindow, ztengine::GuiWidgetInputInt);
        const std::vector<bool> floatShown = WidgetVisibility(e.m_mainWindow, ztengine::GuiWidgetInputFloat);
        for (size_t i = 0; i < ints.size(); ++i)
            if (intShown.at(static_cast<size_t>(ints[i])))
                visible.push_back(static_cast<int>(i));
        for (size_t i = 0; i < floats.size(); ++i)
            if (floatShown.at(static_cast<size_t>(floats[i])))
                visible.push_back(static_cast<int>(10 + i));
        return visible;
    };
    EXPECT_TRUE(shown().empty());  // all hidden after Init

    struct Case {
        int kind;
        std::vector<int> fields;  // 0..9 the int fields in panel order, 10..12 the torus floats
    };
    const Case cases[] = {
        {MeshEditor::KindPlane, {0, 1}},    {MeshEditor::KindCube, {}},
        {MeshEditor::KindCone, {2, 3}},     {MeshEditor::KindCylinder, {4, 5}},
        {MeshEditor::KindSphere, {6, 7}},   {MeshEditor::KindTorus, {8, 9, 10, 11, 12}},
        {MeshEditor::KindPlane, {0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        *editor->m_kindSelection = c.kind;
        Frame();
        EXPECT_EQ(shown(), c.fields);
    }
}

TEST_F(MeshEditorTest, SelectionShowsItsPreviewAheadAndKeysZoomEachPreviewOnItsOwn)
{
    app->ChangeState("MESH_EDITOR");
    EXPECT_TRUE(WindowVisible(editor->m_mainWindow));
    EXPECT_TRUE(WindowVisible(editor->m_listWindow));
    EXPECT_FALSE(Hidden(editor->m_previews[0]));
    EXPECT_EQ(events, (std::vector<std::string>{"SHOW_CUSTOM_CURSOR"}));

    Frame();
    EXPECT_STREQ(editor->m_nameField, "a");
    // Framed: the middle of the mesh's bounds at its framing distance straight ahead.
    const auto framedAt = [&](int index) {
        const ztengine::InstanceHandle& preview = editor->m_previews[static_cast<size_t>(index)];
        const ztengine::InstanceData& data = preview.GetInstanceConst();
        const ztengine::MeshBounds bounds = ztengine::EditorPreviewBounds(renderer, preview);
        const ztmath::Vector3 centre = data.m_transform.m_position +
                                       data.m_transform.m_basis.right * bounds.m_center.x +
                                       data.m_transform.m_basis.up * bounds.m_center.y +
                                       data.m_transform.m_basis.forward * bounds.m_center.z;
        return (centre - renderer.GetCameraPosition()).Length();
    };
    const float framed = ztengine::EditorFramingDistance(
        ztengine::EditorPreviewBounds(renderer, editor->m_previews[0]), ztmath::Vector3(1, 1, 1));
    EXPECT_NEAR(framedAt(0), framed, 1e-4f);

    // Zoom moves the preview, never resizes it, each step a share of the distance.
    Key(GLFW_KEY_EQUAL);
    Key(GLFW_KEY_EQUAL);
    Key(GLFW_KEY_EQUAL);
    EXPECT_FLOAT_EQ(editor->m_zoom, 0.8f * 0.8f * 0.8f);
    EXPECT_NEAR(framedAt(0), framed * 0.512f, 1e-4f);
    Frame();  // a key held over from nothing does not zoom again
    EXPECT_FLOAT_EQ(editor->m_zoom, 0.512f);
    Press(editor->m_listWindow, "Zoom Out");
    EXPECT_FLOAT_EQ(editor->m_zoom, 0.64f);
    Key(GLFW_KEY_MINUS);
    EXPECT_FLOAT_EQ(editor->m_zoom, 0.8f);
    EXPECT_EQ(ScaleOf(0), 1.0f);

    // Another mesh opens framed whole.
    *editor->m_meshSelection = 1;
    Frame();
    EXPECT_TRUE(Hidden(editor->m_previews[0]));
    EXPECT_FALSE(Hidden(editor->m_previews[1]));
    EXPECT_EQ(editor->m_zoom, 1.0f);
    EXPECT_EQ(ScaleOf(1), 1.0f);

    // A window closed with its close box is back in the next frame.
    Gui().GetGuiWindow(editor->m_listWindow)->visible = false;
    Frame();
    EXPECT_TRUE(WindowVisible(editor->m_listWindow));

    // A name longer than the field is cut to 63 characters.
    *editor->m_meshSelection = 3;
    Frame();
    EXPECT_EQ(std::string(editor->m_nameField), std::string(63, 'z'));

    app->ChangeState("OTHER");
    EXPECT_FALSE(WindowVisible(editor->m_mainWindow));
    EXPECT_FALSE(WindowVisible(editor->m_listWindow));
    for (const InstanceHandle& preview : editor->m_previews)
        EXPECT_TRUE(Hidden(preview));
    EXPECT_EQ(events, (std::vector<std::string>{"SHOW_CUSTOM_CURSOR", "HIDE_CUSTOM_CURSOR"}));
}

TEST_F(MeshEditorTest, CreatingAppendsOrReplacesAndRewritesTheListAtOnce)
{
    app->ChangeState("MESH_EDITOR");
    *editor->m_meshSelection = 1;
    Frame();

    // A new sphere: appended with a hidden preview, the selection stays.
    std::snprintf(editor->m_nameField, sizeof(editor->m_nameField), "ball");
    *editor->m_kindSelection = MeshEditor::KindSphere;
    editor->m_sphereStacks = 8;
    editor->m_sphereSlices = 16;
    Press(editor->m_mainWindow, "Create Mesh");
    EXPECT_EQ(editor->m_status, "ball created.");
    EXPECT_EQ(editor->m_meshNames.back(), "ball");
    ASSERT_EQ(editor->m_previews.size(), 5u);
    EXPECT_TRUE(Hidden(editor->m_previews[4]));
    EXPECT_EQ(PreviewMesh(4), meshes->GetMesh("ball"));
    EXPECT_EQ(*editor->m_meshSelection, 1);
    const std::string withBall = "[" + Mesh("b", 3, 8, 16) + "," + Mesh("a", 2, 0, 0) + "," +
                                 Mesh("c", 8, 0, 0, "models/", "coin.obj") + "," +
                                 Mesh(kLongName, 2, 0, 0) + "," + Mesh("ball", 3, 8, 16) + "]";
    EXPECT_EQ(Read("mesh.init"), withBall);

    // The selected name again, as a plane: its preview is replaced and shown again next frame.
    std::snprintf(editor->m_nameField, sizeof(editor->m_nameField), "b");
    *editor->m_kindSelection = MeshEditor::KindPlane;
    editor->m_planeStacks = 2;
    editor->m_planeSlices = 3;
    const InstanceHandle old = editor->m_previews[1];
    Press(editor->m_mainWindow, "Create Mesh");
    EXPECT_TRUE(Hidden(old));
    EXPECT_TRUE(Hidden(editor->m_previews[1]));
    EXPECT_EQ(PreviewMesh(1), meshes->GetMesh("b"));
    Frame();
    EXPECT_FALSE(Hidden(editor->m_previews[1]));
    EXPECT_EQ(editor->m_meshNames.size(), 5u);

    // A new mesh from a model file: the first mesh is shown next frame, its name in the field.
    std::snprintf(editor->m_nameField, sizeof(editor->m_nameField), "crate");
    *editor->m_customSelection = static_cast<int>(
        std::find(editor->m_customFiles.begin(), editor->m_customFiles.end(), "crate.obj") -
        editor->m_customFiles.begin());
    Press(editor->m_mainWindow, "Create Custom Mesh");
    EXPECT_EQ(editor->m_status, "crate created.");
    EXPECT_TRUE(Hidden(editor->m_previews[1]));
    EXPECT_EQ(*editor->m_meshSelection, 0);
    EXPECT_EQ(editor->m_meshNames.back(), "crate");
    Frame();
    EXPECT_STREQ(editor->m_nameField, "a");
    EXPECT_FALSE(Hidden(editor->m_previews[0]));
    EXPECT_NE(Read("mesh.init").find(Mesh("crate", 8, 0, 0, "models/", "crate.obj") + "]"),
              std::string::npos);
}

TEST_F(MeshEditorTest, DeletingTheThirdOfFiveKeepsEveryOtherNameWithItsOwnPreview)
{
    std::snprintf(editor->m_nameField, sizeof(editor->m_nameField), "cone");
    *editor->m_kindSelection = MeshEditor::KindCone;
    editor->m_coneStacks = 4;
    editor->m_coneSlices = 6;
    Press(editor->m_mainWindow, "Create Mesh");
    ASSERT_EQ(editor->m_meshNames.size(), 5u);

    *editor->m_meshSelection = 2;
    Frame();
    const InstanceHandle third = editor->m_previews[2];
    Press(editor->m_listWindow, "Delete Mesh");
    EXPECT_TRUE(Hidden(third));
    EXPECT_EQ(editor->m_meshNames, (std::vector<std::string>{"a", "b", kLongName, "cone"}));
    ASSERT_EQ(editor->m_previews.size(), 4u);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(PreviewMesh(i), meshes->GetMesh(editor->m_meshNames[i].c_str())) << i;
    EXPECT_EQ(*editor->m_meshSelection, 0);
    EXPECT_EQ(editor->m_status, "cone created.");  // a delete leaves the status alone
    EXPECT_EQ(Read("mesh.init"), "[" + Mesh("b", 3, 8, 16) + "," + Mesh("a", 2, 0, 0) + "," +
                                     Mesh(kLongName, 2, 0, 0) + "," + Mesh("cone", 7, 4, 6) + "]");
    Frame();
    EXPECT_STREQ(editor->m_nameField, "a");
}

TEST_F(MeshEditorTest, ButtonsAndKeysWithNothingToActOnDoNothing)
{
    *editor->m_customSelection = 10000;
    Press(editor->m_mainWindow, "Create Custom Mesh");
    *editor->m_meshSelection = 99;
    Frame();
    Key(GLFW_KEY_EQUAL);
    Press(editor->m_listWindow, "Zoom In");
    Press(editor->m_listWindow, "Delete Mesh");
    EXPECT_EQ(editor->m_meshNames.size(), 4u);
    EXPECT_EQ(meshes->m_meshes.size(), 4u);
    EXPECT_EQ(Read("mesh.init"), kUnsortedMeshList);  // never rewritten
}

// Created and deleted while the preview jobs of the second loading wave are still queued.
class MeshEditorWhileLoading : public editortest::ResourceEditorTest {};

TEST_F(MeshEditorWhileLoading, PreviewsStayWithTheirNames)
{
    LoadLists("[]", kUnsortedMeshList, "[]");
    MeshEditor* editor = AddEditor<MeshEditor>("MESH_EDITOR");
    editor->Load();
    DrainJobs();
    app->InitPendingSubsystems();
    app->RunNextJob();  // the preview of "a"

    *editor->m_meshSelection = 1;  // "b", whose preview is not made yet
    Press(editor->m_listWindow, "Delete Mesh");
    std::snprintf(editor->m_nameField, sizeof(editor->m_nameField), "box");
    *editor->m_kindSelection = MeshEditor::KindCube;
    Press(editor->m_mainWindow, "Create Mesh");
    DrainJobs();

    EXPECT_EQ(editor->m_meshNames, (std::vector<std::string>{"a", "c", kLongName, "box"}));
    ASSERT_GE(editor->m_previews.size(), 3u);
    ASSERT_LE(editor->m_previews.size(), editor->m_meshNames.size());
    for (size_t i = 0; i < editor->m_previews.size(); ++i)
        EXPECT_EQ(renderer.GetModel(static_cast<uint32_t>(editor->m_previews[i].m_modelId)).m_mesh,
                  meshes->GetMesh(editor->m_meshNames[i].c_str())) << i;
    for (int i = 0; i < 3; ++i)
        editor->Update(1.0f / 60.0f);
}

}  // namespace
