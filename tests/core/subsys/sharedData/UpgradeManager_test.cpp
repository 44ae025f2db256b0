// The upgrade registry: indices in registration order, a name registered twice and a bad index
// stop the program, and an invocation tells the watcher before running the creator.
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <vector>

#include "core/subsys/sharedData/Upgrades/UpgradeManager.h"

namespace {

using ztengine::Upgrade;
using ztengine::UpgradeManager;

const char* const kNames[] = {"AddProj", "IncHP", "IncFireRate", "IncHPRegen", "IncStam", "IncStamRegen"};

TEST(UpgradeManagerTest, RegistersInOrderAndInvokesWatcherBeforeCreator)
{
    UpgradeManager manager;
    std::vector<uint32_t> before;
    manager.GetUpgradeIndices(before);
    EXPECT_TRUE(before.empty());

    std::vector<std::string> calls;
    for (uint32_t i = 0; i < 6; ++i) {
        const std::string name = kNames[i];
        EXPECT_EQ(manager.RegisterUpgrade(name, [&calls, name] { calls.push_back("create " + name); },
                                          name + " text", name + ".PNG"),
                  i);
    }
    std::vector<uint32_t> indices{99};
    manager.GetUpgradeIndices(indices);
    EXPECT_EQ(indices, (std::vector<uint32_t>{99, 0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(manager.m_upgradeIndexMapping.at("IncStamRegen"), 5u);
    EXPECT_EQ(manager.GetUpgradeIcon(3), -1);
    EXPECT_EQ(manager.GetUpgradeTextObject(3), -1);

    // Without a watcher only the creator runs.
    manager.InvokeUpgrade(2);
    EXPECT_EQ(calls, (std::vector<std::string>{"create IncFireRate"}));

    manager.SetUpgradeIcon(1, 7);
    manager.SetUpgradeTextObject(1, 9);
    manager.m_onInvoke = [&calls](const Upgrade& upgrade) {
        calls.push_back("show " + upgrade.m_text + " " + std::to_string(upgrade.m_iconElement) + " " +
                        std::to_string(upgrade.m_textObject));
    };
    calls.clear();
    manager.InvokeUpgrade(1);
    EXPECT_EQ(calls, (std::vector<std::string>{"show IncHP text 7 9", "create IncHP"}));
}

// The engine's report goes to standard output; a death test reads standard error.
#define EXPECT_REPORTED_DEATH(report, ...) \
    EXPECT_DEATH(([&] {                    \
                     dup2(2, 1);           \
                     __VA_ARGS__;          \
                 })(),                     \
                 report)

TEST(UpgradeManagerDeathTest, DuplicateNameAndBadIndexStop)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    UpgradeManager manager;
    manager.RegisterUpgrade("IncHP", [] {}, "t", "i");
    EXPECT_REPORTED_DEATH("findName == m_upgradeIndexMapping.end\\(\\)", manager.RegisterUpgrade("IncHP", [] {}, "t", "i"));
    EXPECT_REPORTED_DEATH("m_upgradeCreators.IsValidIndex\\(index\\)", manager.InvokeUpgrade(1));
    EXPECT_REPORTED_DEATH("m_upgradeCreators.IsValidIndex\\(index\\)", manager.SetUpgradeIcon(4, 0));
    EXPECT_REPORTED_DEATH("m_upgradeCreators.IsValidIndex\\(index\\)", manager.GetUpgradeTextObject(4));
}

}  // namespace
