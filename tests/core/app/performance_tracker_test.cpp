// The performance trackers the application files for its systems: one per system, named after
// its class, with a part for each operation, under the state current at registration.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "core/app/Probes.h"
#include "core/util/PerformanceTracker.h"

namespace {

using apptest::HeadlessApp;
using ztengine::PerformanceTracker;

class Trackers : public HeadlessApp {};

TEST_F(Trackers, EverySystemGetsOneWithAPartPerOperation)
{
    Add<apptest::EarlyProbe<1>>({});
    app->AddState("LATER_STATE");
    app->ChangeState("LATER_STATE");
    Add<apptest::LateProbe<2>>({});

    ASSERT_EQ(app->GetTrackers().size(), 2u);
    ASSERT_EQ(app->GetTrackers()[0].size(), 1u) << "filed under the state of its registration";
    ASSERT_EQ(app->GetTrackers()[1].size(), 1u);
    EXPECT_EQ(app->GetTrackers()[0][0].GetName(), "apptest::EarlyProbe<1>");
    EXPECT_EQ(app->GetTrackers()[1][0].GetName(), "apptest::LateProbe<2>");

    const std::map<int, std::string> expected = {
        {0, "Init"},   {1, "Update"}, {2, "Render"},     {3, "Pause"},
        {4, "Resume"}, {5, "Resize"}, {6, "Exit"},       {7, "Next State"},
        {8, "Set To Current State"}};
    std::map<int, std::string> parts;
    for (const auto& [id, part] : app->GetTrackers()[1][0].m_TrackedParts) {
        parts[id] = part.name;
        EXPECT_EQ(part.value, 0);
    }
    EXPECT_EQ(parts, expected);
}

TEST(PerformanceTracker, APartIdAddedTwiceIsFatal)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    PerformanceTracker tracker("Probe");
    tracker.AddPart(3, "Pause");
    EXPECT_DEATH(tracker.AddPart(3, "Resume"),
                 "m_TrackedParts.find\\(partid\\) == m_TrackedParts.end\\(\\)");
    EXPECT_EQ(tracker.m_TrackedParts.at(3).name, "Pause");
}

}  // namespace
