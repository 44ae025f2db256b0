#pragma once
// The real game in a 1280 x 800 window on a virtual display of its own, started and loaded before
// each test: the base of the on-screen tests that set their scene up by hand.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <utility>

#include "support/AppFixture.h"
#include "support/TestSupport.h"

namespace zttest {

// A working folder of its own for the game, with a "config.ini" for a 1280 x 800 window.
inline AppFixtureOptions WindowedGameOptions(const std::string& tag)
{
    AppFixtureOptions options;
    options.workDir = MakeRuntimeWorkspace(tag);
    std::ofstream(options.workDir / "config.ini", std::ios::binary | std::ios::trunc)
        << R"({"w": 1280, "h": 800, "fullscreen": false, "vsync": false})";
    return options;
}

class OnScreenGameTest : public ::testing::Test {
protected:
    // `tag` names the game's working folder.
    explicit OnScreenGameTest(std::string tag) : m_tag(std::move(tag)) {}

    void SetUp() override
    {
        m_display = PrivateDisplay(1280, 1024);
        ASSERT_FALSE(m_display.empty()) << "no Xvfb";
        m_onDisplay = std::make_unique<ScopedDisplay>(m_display);
        const AppFixtureOptions options = WindowedGameOptions(m_tag);
        CaptureStdout([&] { m_game = std::make_unique<AppFixture>(options); });
        ASSERT_TRUE(m_game->Started()) << m_game->InitError();
        bool loaded = false;
        CaptureStdout([&] { loaded = m_game->RunLoading(); });
        ASSERT_TRUE(loaded);
    }

    void TearDown() override
    {
        if (m_game)
            CaptureStdout([&] { m_game->Shutdown(); });
        m_game.reset();
        m_onDisplay.reset();
    }

    std::string m_display;
    std::unique_ptr<ScopedDisplay> m_onDisplay;
    std::unique_ptr<AppFixture> m_game;

private:
    std::string m_tag;
};

}  // namespace zttest
