#pragma once
// An application object without a window, for tests of one system: every state operation does
// nothing, and each service is whatever the test points it at (null by default).
#include <cstdint>
#include <string>

#include "core/App.h"

namespace zttest {

class HeadlessApp : public ztengine::App {
public:
    void ChangeState(const char*) override {}
    void ChangeState(int) override {}
    std::string GetStateName(uint32_t) override { return {}; }
    void ChangeToPreviousState() override {}
    bool IsValidState(uint32_t) override { return false; }
    void ResetSubsystemsOfState(uint32_t) override {}
    ztengine::Input* GetInput() override { return m_inputService; }
    void SetFullscreen(bool) override {}
    ztmath::Vector2 GetCursorPosition() override { return {}; }
    void Quit() override {}
    void IconifyWindow() override {}
    ztengine::SoundSystem* GetSoundSystem() override { return m_soundService; }
    ztengine::Graphics3D* GetGraphics3D() override { return m_graphics3DService; }
    ztengine::Logger* GetLogger() override { return nullptr; }
    ztengine::Graphics2D* GetGraphics2D() override { return m_graphics2DService; }

protected:
    ztengine::Input* m_inputService = nullptr;
    ztengine::SoundSystem* m_soundService = nullptr;
    ztengine::Graphics3D* m_graphics3DService = nullptr;
    ztengine::Graphics2D* m_graphics2DService = nullptr;
};

}  // namespace zttest
