// SIGINT and SIGTERM only ask the game to quit: the process lives on and the request is polled.
#include <gtest/gtest.h>

#include <signal.h>

#include <csignal>

#include "platform/Signals.h"

namespace {

class QuitSignals : public testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        sigaction(SIGINT, nullptr, &m_oldInt);
        sigaction(SIGTERM, nullptr, &m_oldTerm);
        ztplatform::ClearQuitRequest();
    }
    void TearDown() override
    {
        sigaction(SIGINT, &m_oldInt, nullptr);
        sigaction(SIGTERM, &m_oldTerm, nullptr);
        ztplatform::ClearQuitRequest();
    }

private:
    struct sigaction m_oldInt {};
    struct sigaction m_oldTerm {};
};

TEST_P(QuitSignals, SignalRecordsAQuitRequestAndTheProcessCarriesOn)
{
    ztplatform::InstallQuitSignalHandlers();
    ztplatform::InstallQuitSignalHandlers();  // a second install changes nothing
    EXPECT_FALSE(ztplatform::QuitRequested());
    ASSERT_EQ(raise(GetParam()), 0);
    EXPECT_TRUE(ztplatform::QuitRequested());
    EXPECT_TRUE(ztplatform::QuitRequested()) << "polling does not consume the request";
    ztplatform::ClearQuitRequest();
    EXPECT_FALSE(ztplatform::QuitRequested());
}

INSTANTIATE_TEST_SUITE_P(Signals, QuitSignals, testing::Values(SIGINT, SIGTERM));

}  // namespace
