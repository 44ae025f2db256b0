#pragma once
// An application object for tests of one screen system over a real 2D layer (create it with a
// GL context current, as GLTest gives): the game's event names and the shared records a
// screen reads, polled input the test scripts frame by frame, and the state changes asked for.
#include <filesystem>
#include <string>
#include <vector>

#include "core/graphics/Graphics2D.h"
#include "core/input/Input.h"
#include "support/FakeInput.h"
#include "support/HeadlessApp.h"
#include "support/TestSupport.h"

namespace zttest {

class ScreenTestApp : public HeadlessApp {
public:
    ScreenTestApp(int width, int height)
    {
        m_windowInfo.windowWidth = static_cast<uint32_t>(width);
        m_windowInfo.windowHeight = static_cast<uint32_t>(height);
        m_graphics2D.Init(width, height);
        m_graphics2DService = &m_graphics2D;
        m_inputService = &keys;
        // The screens offer the pad's buttons; one is plugged in.
        keys.SetJoystickPresent(true);
        CaptureStdout([&] {
            m_messagingSystem.LoadEventNames(
                (std::filesystem::path(ZT_RUNTIME_DIR) / "EventNames.txt").c_str());
        });
    }
    ~ScreenTestApp() override
    {
        ReleaseSharedData();
        m_graphics2D.Shutdown();
    }

    using HeadlessApp::ChangeState;
    void ChangeState(const char* state) override { stateChanges.emplace_back(state); }

    ztengine::Graphics2D& Graphics2D() { return m_graphics2D; }

    FakeInput keys;
    std::vector<std::string> stateChanges;

private:
    ztengine::Graphics2D m_graphics2D;
};

}  // namespace zttest
