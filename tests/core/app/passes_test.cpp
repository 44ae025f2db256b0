// The application's passes over its systems: state changes, update, pause, resume, render and
// the physics debug shapes, checked as whole call sequences of recording systems.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/app/Probes.h"

namespace {

using apptest::EarlyProbe;
using apptest::HeadlessApp;
using apptest::LateProbe;
using Calls = std::vector<std::string>;

// Four systems over three states, registered in the order A, B, C, D:
//   S1 runs A, B, D;  S2 runs A, C;  S3 runs D.
// A and D are initialised at start-up, B and C after loading.
class StatePasses : public HeadlessApp {
protected:
    void SetUp() override
    {
        HeadlessApp::SetUp();
        app->AddState("S1");  // 1
        app->AddState("S2");  // 2
        app->AddState("S3");  // 3
        a = Add<EarlyProbe<1>>({"S1", "S2"});
        b = Add<LateProbe<2>>({"S1"});
        c = Add<LateProbe<3>>({"S2"});
        d = Add<EarlyProbe<4>>({"S1", "S3"});
        a->m_name = "A";
        b->m_name = "B";
        c->m_name = "C";
        d->m_name = "D";
    }

    apptest::Probe* a = nullptr;
    apptest::Probe* b = nullptr;
    apptest::Probe* c = nullptr;
    apptest::Probe* d = nullptr;
};

TEST_F(StatePasses, StateChangeCallsLeavingAndEnteringSystems)
{
    struct Case {
        int from;
        int to;
        Calls calls;
        bool samePrinted;
    };
    const Case cases[] = {
        {1, 2, {"B.NextState(2)", "D.NextState(2)", "A.SetToCurrentState", "C.SetToCurrentState"}, false},
        {2, 1, {"C.NextState(1)", "A.SetToCurrentState", "B.SetToCurrentState", "D.SetToCurrentState"}, false},
        {1, 3, {"A.NextState(3)", "B.NextState(3)", "D.SetToCurrentState"}, false},
        {0, 1, {"A.SetToCurrentState", "B.SetToCurrentState", "D.SetToCurrentState"}, false},
        {1, 1, {"A.SetToCurrentState", "B.SetToCurrentState", "D.SetToCurrentState"}, true},
        {3, 0, {"D.NextState(0)"}, false},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE("from " + std::to_string(test.from) + " to " + std::to_string(test.to));
        app->ChangeState(test.from);
        Take();
        const std::string out = zttest::CaptureStdout([&] { app->ChangeState(test.to); });
        EXPECT_EQ(Take(), test.calls);
        EXPECT_EQ(out, test.samePrinted ? "already set to same state!\n" : "");
        EXPECT_EQ(app->GetCurrentState(), static_cast<uint32_t>(test.to));
        EXPECT_EQ(app->GetPreviousState(), static_cast<uint32_t>(test.from));
    }
}

TEST_F(StatePasses, ChangeByNameAndBackToThePreviousState)
{
    app->ChangeState("S2");
    app->ChangeState("S3");
    EXPECT_EQ(app->GetCurrentState(), 3u);
    EXPECT_EQ(app->GetStateName(app->GetCurrentState()), "S3");
    Take();
    app->ChangeToPreviousState();
    EXPECT_EQ(Take(), (Calls{"D.NextState(2)", "A.SetToCurrentState", "C.SetToCurrentState"}));
    EXPECT_EQ(app->GetCurrentState(), 2u);
    EXPECT_EQ(app->GetPreviousState(), 3u);
}

TEST_F(StatePasses, UpdateEndsAfterTheSystemThatChangedTheState)
{
    app->ChangeState("S1");
    b->onUpdate = [this] { app->ChangeState("S2"); };
    Take();
    app->UpdateSubsystems(0.25f);
    EXPECT_EQ(Take(), (Calls{"A.Update", "B.Update", "B.NextState(2)", "D.NextState(2)",
                             "A.SetToCurrentState", "C.SetToCurrentState"}));
    EXPECT_EQ(a->lastDt, 0.25f);

    // The new state's systems run from the next pass on.
    app->UpdateSubsystems(0.5f);
    EXPECT_EQ(Take(), (Calls{"A.Update", "C.Update"}));
}

TEST_F(StatePasses, ResetReachesOnlyValidStates)
{
    app->ResetSubsystemsOfState(1);
    EXPECT_EQ(Take(), (Calls{"A.Reset", "B.Reset", "D.Reset"}));
    app->ResetSubsystemsOfState(4);
    app->ResetSubsystemsOfState(0xFFFFFFFFu);
    EXPECT_TRUE(Take().empty());
}

TEST_F(StatePasses, UnknownStateNamesAndIndicesAreFatal)
{
    EXPECT_DEATH(
        {
            apptest::ReportOnStderr();
            app->ChangeState("NO_SUCH_STATE");
        },
        "Sorry I fucked up: \\(findStateIt != m_stateNameMapping.end\\(\\)\\) at function: "
        "ztengine::Win32App::ChangeState");
    EXPECT_DEATH(
        {
            apptest::ReportOnStderr();
            app->ChangeState(4);
        },
        "\\(IsValidState\\(state\\)\\)");
    EXPECT_DEATH(
        {
            apptest::ReportOnStderr();
            app->RegSystemToState("NO_SUCH_STATE", 0);
        },
        "\\(findState != m_stateNameMapping.end\\(\\)\\) at function: "
        "ztengine::Win32App::RegSystemToState");
}

TEST_F(StatePasses, PauseStopsAtAStateChangeAndLeavesTheSoundPlaying)
{
    app->ChangeState("S1");
    // A's pause opens another state: nothing after it is paused, nor is the sound.
    a->onPause = [this] { app->ChangeState("S3"); };
    Take();
    app->PauseSubsystems();
    EXPECT_EQ(Take(), (Calls{"A.Pause", "A.NextState(3)", "B.NextState(3)", "D.SetToCurrentState"}));
    EXPECT_FALSE(app->GetSoundSystem()->m_musicPaused);
    EXPECT_FALSE(app->GetSoundSystem()->m_effectsPaused);
}

TEST_F(StatePasses, AFullPausePassPausesTheSoundAndResumeUnpausesIt)
{
    app->ChangeState("S1");
    ztengine::SoundSystem& sound = *app->GetSoundSystem();
    sound.SetMusicMuted(true);
    Take();

    app->PauseSubsystems();
    // Only the initialised systems of the current state.
    EXPECT_EQ(Take(), (Calls{"A.Pause", "D.Pause"}));
    EXPECT_TRUE(sound.m_musicPaused);
    EXPECT_TRUE(sound.m_effectsPaused);

    app->ResumeSubsystems();
    // Every initialised system of every state, in registration order.
    EXPECT_EQ(Take(), (Calls{"A.Resume", "D.Resume"}));
    EXPECT_FALSE(sound.m_musicPaused);
    EXPECT_FALSE(sound.m_effectsPaused);
    EXPECT_TRUE(sound.m_musicMuted);
    EXPECT_FALSE(sound.m_effectsMuted);
}

TEST_F(StatePasses, RenderRunsOnlyWhileDebugDrawingIsOn)
{
    app->ChangeState("S1");
    Take();
    renderer.m_debug = false;
    app->RenderSubsystems(0.1f);
    EXPECT_TRUE(Take().empty());

    renderer.m_debug = true;
    app->RenderSubsystems(0.1f);
    EXPECT_EQ(Take(), (Calls{"BeginPass", "A.Render", "B.Render", "D.Render", "EndPass"}));
}

TEST_F(StatePasses, PhysicsDebugShapesAreDrawnFromTheirBatches)
{
    app->ChangeState("S3");
    app->m_physicsDebug.drawShapes = true;
    app->m_physicsDebug.drawContacts = true;
    const ztmath::Quaternion identity;
    app->AddPhysicsDebugShape({1, 2, 3}, {0.5f, 0.5f, 0.5f}, identity, ztengine::DebugShapeSphere);
    app->AddPhysicsDebugShape({0, 0, 0}, {1, 2, 3}, identity, ztengine::DebugShapeBox);
    app->AddPhysicsDebugShape({0, 0, 0}, {1, 2, 1}, identity, ztengine::DebugShapeCapsule);
    app->AddPhysicsDebugShape({0, 0, 0}, {1, 2, 1}, identity, ztengine::DebugShapeCylinder);
    Take();

    app->RenderSubsystems(0.1f);
    EXPECT_EQ(Take(), (Calls{"BeginPass", "D.Render", "Color(1,0,0)", "Sphere(1,2,3) r1 w1",
                             "Box(0,0,0) size(2,4,6)", "Box(0,0,0) size(2,6,2)", "Color(0,1,0)",
                             "EndPass"}));
    EXPECT_TRUE(app->GetDebugSphereBatch().empty());
    EXPECT_TRUE(app->GetDebugBoxBatch().empty());

    app->DrawPhysicsDebugContact({4, 5, 6}, {0, 1, 0});
    EXPECT_EQ(Take(), (Calls{"Sphere(4,5,6) r0.005 w1"}));
}

TEST_F(StatePasses, MinimisedFramesRunNoSystemAndDropInput)
{
    app->ChangeState("S3");
    renderer.m_debug = false;
    ztengine::GLFWInput& input = app->GetGLFWInput();
    app->SetKeyState(65, GLFW_PRESS);  // pressed before minimising
    Take();

    app->HandleIconify(true);
    EXPECT_EQ(input.m_keys[65], 0) << "minimising clears the keys";
    app->SetKeyState(66, GLFW_PRESS);
    app->SetMouseButtonState(0, GLFW_PRESS);
    app->RunFrame();
    EXPECT_TRUE(Take().empty());
    EXPECT_EQ(input.m_keys[66], 0);
    EXPECT_EQ(input.m_mouseButtons[0], 0);

    app->HandleIconify(false);
    app->RunFrame();
    EXPECT_EQ(Take(), (Calls{"D.Update"}));
}

TEST_F(StatePasses, ShutdownExitsInitialisedSystemsThenDeletesAll)
{
    app->ShutdownSubsystems();
    EXPECT_EQ(Take(), (Calls{"A.Exit", "D.Exit", "A.Delete", "B.Delete", "C.Delete", "D.Delete"}));
    // The entries stay; deleting the application later deletes nothing twice.
    EXPECT_EQ(app->GetSubsystems().Count(), 4u);
}

}  // namespace
