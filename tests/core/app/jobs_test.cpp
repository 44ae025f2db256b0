// The loading job queue and the initialisation that follows it: jobs leave the queue only when
// done, and the systems initialised after loading get their Init in the first frame whose
// update leaves the queue empty, once.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/app/Probes.h"

namespace {

using apptest::EarlyProbe;
using apptest::HeadlessApp;
using apptest::LateProbe;
using Calls = std::vector<std::string>;

using JobQueue = HeadlessApp;

TEST_F(JobQueue, AJobThatIsNotDoneStaysAtTheFront)
{
    std::vector<std::string> calls;
    int firstCalls = 0;
    app->QueueJob([&] {
        calls.push_back("first");
        return ++firstCalls == 2;
    });
    app->QueueJob([&] {
        calls.push_back("second");
        return true;
    });
    app->QueueJob([&] {
        calls.push_back("third");
        return true;
    });

    // The result tells whether more than one job is left afterwards.
    const bool results[] = {app->RunNextJob(), app->RunNextJob(), app->RunNextJob(),
                            app->RunNextJob(), app->RunNextJob()};
    EXPECT_EQ(calls, (std::vector<std::string>{"first", "first", "second", "third"}));
    EXPECT_TRUE(results[0]);   // first stays: three left
    EXPECT_TRUE(results[1]);   // first done: two left
    EXPECT_FALSE(results[2]);  // one left
    EXPECT_FALSE(results[3]);  // none left
    EXPECT_FALSE(results[4]);  // empty: nothing called
    EXPECT_FALSE(app->HasPendingJobs());
}

TEST_F(JobQueue, AJobMayQueueMoreJobsWhileItRuns)
{
    int ran = 0;
    app->QueueJob([&] {
        for (int i = 0; i < 100; ++i)
            app->QueueJob([&] { return ++ran > 0; });
        return true;
    });
    while (app->HasPendingJobs())
        app->RunNextJob();
    EXPECT_EQ(ran, 100);
}

// Start state S1 runs E1, P2 and the loader; P3 runs in S2. E1 and the loader are initialised
// at start-up; E4 queues two jobs in its Load. The loader works one job off per update.
class LoadingRun : public HeadlessApp {
protected:
    void SetUp() override
    {
        HeadlessApp::SetUp();
        app->AddState("S1");
        app->AddState("S2");
        e1 = Add<EarlyProbe<1>>({"S1"});
        p2 = Add<LateProbe<2>>({"S1"});
        p3 = Add<LateProbe<3>>({"S2"});
        e4 = Add<EarlyProbe<4>>({"S2"});
        loader = Add<EarlyProbe<5>>({"S1"});
        loader->onUpdate = [this] {
            if (app->HasPendingJobs())
                app->RunNextJob();
        };
        app->ChangeState("S1");
        Take();
    }

    std::string Frame()
    {
        return zttest::CaptureStdout([this] { app->RunFrame(); });
    }

    apptest::Probe* e1 = nullptr;
    apptest::Probe* p2 = nullptr;
    apptest::Probe* p3 = nullptr;
    apptest::Probe* e4 = nullptr;
    apptest::Probe* loader = nullptr;
};

TEST_F(LoadingRun, PendingSystemsStartInTheFrameThatEmptiesTheQueue)
{
    e4->onLoad = [this] {
        app->QueueJob([] { return true; });
        app->QueueJob([] { return true; });
    };
    app->StartSubsystems();
    EXPECT_EQ(Take(), (Calls{"E1.Load", "P2.Load", "P3.Load", "E4.Load", "E5.Load", "E1.Init",
                             "E4.Init", "E5.Init", "E1.SetToCurrentState", "E5.SetToCurrentState"}));

    app->StartFrameTimers();
    EXPECT_EQ(Frame(), "");
    EXPECT_EQ(Take(), (Calls{"E1.Update", "P2.Update", "E5.Update", "BeginPass", "E1.Render",
                             "P2.Render", "E5.Render", "EndPass"}));

    renderer.m_debug = false;
    EXPECT_EQ(Frame(), "all jobs completed!\n");
    // Registration order for Init, then activation of the current state's new ones only.
    EXPECT_EQ(Take(), (Calls{"E1.Update", "P2.Update", "E5.Update", "P2.Init", "P3.Init",
                             "P2.SetToCurrentState"}));
    EXPECT_TRUE(app->AreJobsDone());

    // A second wave of jobs holds up nothing and starts nothing again.
    app->QueueJob([] { return true; });
    EXPECT_EQ(Frame(), "");
    EXPECT_EQ(Frame(), "");
    EXPECT_EQ(Take(), (Calls{"E1.Update", "P2.Update", "E5.Update", "E1.Update", "P2.Update",
                             "E5.Update"}));
}

TEST_F(LoadingRun, PendingSystemsStartEvenWhenNothingWasEverQueued)
{
    renderer.m_debug = false;
    app->StartSubsystems();
    EXPECT_FALSE(app->AreJobsDone());
    Take();
    app->StartFrameTimers();
    EXPECT_EQ(Frame(), "all jobs completed!\n");
    EXPECT_EQ(Take(), (Calls{"E1.Update", "P2.Update", "E5.Update", "P2.Init", "P3.Init",
                             "P2.SetToCurrentState"}));
    EXPECT_EQ(Frame(), "");
}

}  // namespace
