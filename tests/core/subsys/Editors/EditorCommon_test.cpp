// What the resource editors share: entering and leaving their states (windows, previews, the
// cursor and its events), the preview's place, turn and zoom, and the bounded name fields.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "support/HeadlessApp.h"
#include "core/App.h"
#include "core/gui/GuiManager.h"
#include "core/input/Input.h"
#include "core/subsys/Editors/EditorCommon.h"
#include "support/FakeInput.h"
#include "support/NullRenderer3D.h"

namespace {

using ztengine::InstanceHandle;
using ztmath::Vector3;

// The shared scripted input, idle, with each switch of the cursor logged among the editors'
// other calls; the cursor starts captured.
class CursorInput : public zttest::FakeInput {
public:
    CursorInput() { FakeInput::SetCursorEnabled(false); }
    void SetCursorEnabled(bool on) override
    {
        FakeInput::SetCursorEnabled(on);
        calls->push_back(on ? "cursor on" : "cursor off");
    }

    std::vector<std::string>* calls = nullptr;
};

// An application that offers the input and the event names; nothing else is reached.
class EditorApp : public zttest::HeadlessApp {
public:
    EditorApp() { m_inputService = &input; }

    CursorInput input;
};

class EditorStateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app.input.calls = &calls;
        for (const char* event : {"HIDE_CUSTOM_CURSOR", "SHOW_CUSTOM_CURSOR"}) {
            app.m_messagingSystem.RegisterEvent(event);
            const std::string name = event;
            app.m_messagingSystem.RegisterHandler(event, [this, name](const ztengine::IEvent& e) {
                calls.push_back(name);
                EXPECT_EQ(e.m_tag, 0);
                EXPECT_EQ(e.m_data, nullptr);
            });
        }
        windows[0] = gui.CreateWindow("Editor List", true, 300.0f, 200.0f);
        windows[1] = gui.CreateWindow("Editor Panel", true, 400.0f, 300.0f);
        const int32_t model = renderer.CreateModel(static_cast<uint32_t>(renderer.CreateCubeMesh()), 0);
        for (InstanceHandle& preview : previews) {
            preview = renderer.CreateInstance(model, ztengine::InstanceTransform());
            preview.SetHidden(true);
        }
    }

    bool Visible(int window) { return gui.GetGuiWindow(window)->visible; }

    EditorApp app;
    ztengine::GuiManager gui;
    zttest::NullRenderer3D renderer;
    int windows[2] = {-1, -1};
    InstanceHandle previews[3];
    std::vector<std::string> calls;
};

TEST_F(EditorStateTest, EnteringShowsWindowsSelectedPreviewAndCursorLeavingHidesEverything)
{
    ztengine::EnterEditorState(app, gui, {windows[0], windows[1]}, &previews[1]);
    EXPECT_TRUE(Visible(windows[0]));
    EXPECT_TRUE(Visible(windows[1]));
    EXPECT_TRUE(previews[0].GetInstanceConst().m_hidden);
    EXPECT_FALSE(previews[1].GetInstanceConst().m_hidden);
    EXPECT_TRUE(previews[2].GetInstanceConst().m_hidden);
    EXPECT_EQ(calls, (std::vector<std::string>{"cursor on", "SHOW_CUSTOM_CURSOR"}));

    // A preview shown by a create button is hidden on leaving too.
    previews[2].SetHidden(false);
    calls.clear();
    ztengine::LeaveEditorState(app, gui, {windows[0], windows[1]}, previews);
    EXPECT_FALSE(Visible(windows[0]));
    EXPECT_FALSE(Visible(windows[1]));
    for (const InstanceHandle& preview : previews)
        EXPECT_TRUE(preview.GetInstanceConst().m_hidden);
    EXPECT_EQ(calls, (std::vector<std::string>{"cursor off", "HIDE_CUSTOM_CURSOR"}));
}

TEST_F(EditorStateTest, BeforeInitAndBeforeThePreviewJobsNothingIsTouched)
{
    // Windows not made yet (-1), an unknown window, and previews whose jobs have not run.
    const InstanceHandle none[2];
    ztengine::EnterEditorState(app, gui, {-1, 7}, &none[0]);
    ztengine::LeaveEditorState(app, gui, {-1, 7}, none);
    ztengine::PlaceEditorPreview(renderer, none[0]);
    ztengine::TurnEditorPreview(none[0], 1.0f);
    ztengine::ScaleEditorPreview(none[0], 2.0f);
    EXPECT_FALSE(ztengine::HasEditorPreview(none[0]));
    EXPECT_TRUE(Visible(windows[0]));  // made visible by CreateWindow, untouched
    EXPECT_EQ(calls, (std::vector<std::string>{"cursor on", "SHOW_CUSTOM_CURSOR", "cursor off",
                                               "HIDE_CUSTOM_CURSOR"}));

    // An event name the game does not know is skipped.
    EditorApp bare;
    bare.input.calls = &calls;
    calls.clear();
    ztengine::EnterEditorState(bare, gui, {}, nullptr);
    EXPECT_EQ(calls, (std::vector<std::string>{"cursor on"}));
}

TEST_F(EditorStateTest, PreviewFloatsTwoUnitsAheadTurnsInPlaceAndZoomsCompounding)
{
    renderer.SetCameraPosition(Vector3(1.0f, 2.0f, 3.0f));
    ztmath::Basis camera;
    camera.Yaw(90.0f);  // looking along +x
    renderer.SetCameraBasis(camera);

    const InstanceHandle& preview = previews[0];
    ztengine::ScaleEditorPreview(preview, ztengine::kEditorZoomInFactor);
    ztengine::ScaleEditorPreview(preview, ztengine::kEditorZoomInFactor);
    ztengine::ScaleEditorPreview(preview, ztengine::kEditorZoomInFactor);
    ztengine::PlaceEditorPreview(renderer, preview);
    ztengine::TurnEditorPreview(preview, 0.5f);
    ztengine::ScaleEditorPreview(preview, ztengine::kEditorZoomOutFactor);

    const ztengine::InstanceTransform& t = preview.GetInstanceConst().m_transform;
    EXPECT_NEAR(t.m_position.x, 3.0f, 1e-5f);
    EXPECT_NEAR(t.m_position.y, 2.0f, 1e-5f);
    EXPECT_NEAR(t.m_position.z, 3.0f, 1e-5f);
    EXPECT_EQ(t.m_scale.x, 4.0f);
    EXPECT_EQ(t.m_scale.y, 4.0f);
    EXPECT_EQ(t.m_scale.z, 4.0f);
    EXPECT_FLOAT_EQ(t.m_basis.forward.x, std::sin(0.5f));
    EXPECT_FLOAT_EQ(t.m_basis.forward.z, std::cos(0.5f));
}

TEST(EditorTurn, BasisIsAFrameTurnedAboutUp)
{
    for (float angle : {0.0f, 0.01f, 1.5707964f, 3.0f, 6.2f}) {
        SCOPED_TRACE(angle);
        const ztmath::Basis turned = ztengine::EditorTurnBasis(angle);
        // The frame the math types build from the same forward and up.
        const ztmath::Basis built(Vector3(std::sin(angle), 0.0f, std::cos(angle)),
                                  Vector3(0.0f, 1.0f, 0.0f), true);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(turned.forward[i], built.forward[i], 1e-6f);
            EXPECT_NEAR(turned.up[i], built.up[i], 1e-6f);
            EXPECT_NEAR(turned.right[i], built.right[i], 1e-6f);
        }
    }
    const ztmath::Basis quarter = ztengine::EditorTurnBasis(1.5707964f);
    EXPECT_NEAR(quarter.forward.x, 1.0f, 1e-6f);
    EXPECT_NEAR(quarter.right.z, -1.0f, 1e-6f);
}

TEST(EditorTurn, TheAngleStaysBoundedWithTheSameOrientationAsTheRunningSum)
{
    // 628 updates are about one turn; the bounded angle gives the orientation of the unbounded
    // float sum.
    float bounded = 0.0f;
    float sum = 0.0f;
    for (int i = 0; i < 628; ++i) {
        bounded = ztengine::AdvanceEditorTurn(bounded);
        sum += ztengine::kEditorTurnStep;
    }
    EXPECT_NEAR(sum, 6.28f, 1e-3f);
    EXPECT_LT(bounded, 6.2831854f);
    EXPECT_NEAR(std::sin(bounded), std::sin(sum), 1e-4f);
    EXPECT_NEAR(std::cos(bounded), std::cos(sum), 1e-4f);

    // After a long run (a day at 60 updates per second) the bounded angle still turns by
    // one step per update, where the float sum can only move in coarse steps.
    const long kUpdates = 60L * 60 * 60 * 24;
    for (long i = 628; i < kUpdates; ++i) {
        bounded = ztengine::AdvanceEditorTurn(bounded);
        sum += ztengine::kEditorTurnStep;
    }
    EXPECT_GE(bounded, 0.0f);
    EXPECT_LT(bounded, 6.2831854f);
    const float next = ztengine::AdvanceEditorTurn(bounded);
    const float step = next >= bounded ? next - bounded : next + 6.2831855f - bounded;
    EXPECT_NEAR(step, 0.01f, 1e-5f);
    EXPECT_GT(std::fabs((sum + ztengine::kEditorTurnStep) - sum - 0.01f), 1e-3f);
}

TEST(EditorNameField, LongTextIsCutToTheFieldAndZeroTerminated)
{
    struct Case {
        size_t length;
        size_t kept;
    };
    for (const Case& c : {Case{0, 0}, Case{10, 10}, Case{63, 63}, Case{64, 63}, Case{300, 63}}) {
        SCOPED_TRACE(c.length);
        char field[65];
        std::fill(std::begin(field), std::end(field), 'x');
        ztengine::CopyToField(field, 64, std::string(c.length, 'n'));
        EXPECT_EQ(std::string(field), std::string(c.kept, 'n'));
        for (size_t i = c.kept; i < 64; ++i)
            EXPECT_EQ(field[i], '\0');
        EXPECT_EQ(field[64], 'x');  // the byte past the field is untouched
    }
}

}  // namespace
