#pragma once
// A windowless application for the hub, the town portal and the altar: the CPU renderer, a 2D
// layer that is never drawn, the game's event names and the shared records these systems use,
// run from a copy of the runtime folder so the model files are found. State changes are
// recorded instead of made.
#include <filesystem>
#include <string>
#include <vector>

#include "core/MessagingSystem.h"
#include "core/graphics/Graphics2D.h"
#include "core/subsys/sharedData/BossAltarQueues.h"
#include "core/subsys/sharedData/FadeMessageQueue.h"
#include "core/subsys/sharedData/FeedbackRecords.h"
#include "core/subsys/sharedData/LevelRecords.h"
#include "support/AppFixture.h"
#include "support/HeadlessApp.h"
#include "support/NullRenderer3D.h"
#include "support/TestSupport.h"

namespace hubtest {

class HubApp : public zttest::HeadlessApp {
public:
    HubApp()
    {
        m_graphics3DService = &m_renderer;
        m_graphics2DService = &m_graphics2D;
        m_windowInfo.windowHeight = 800;
        zttest::CaptureStdout([&] { m_messagingSystem.LoadEventNames("EventNames.txt"); });
        m_levelState = AddSharedData<ztengine::LevelState>("LevelState");
        m_fadeQueue = AddSharedData<ztengine::FadeMessageQueue>("FadeMessageQueue");
        m_altarQueue = AddSharedData<ztengine::AltarSharedData>("AltarSharedData");
        m_bossQueue = AddSharedData<ztengine::BossSystemQueue>("BossSystemQueue");
        m_dialogue = AddSharedData<ztengine::DialogueController>("DialogueController");
    }
    ~HubApp() override { ReleaseSharedData(); }

    void ChangeState(const char* name) override { m_stateChanges.push_back(name); }

    // Every event sent from now on, by name, in order.
    void RecordEvents(const std::vector<std::string>& names)
    {
        for (const std::string& name : names)
            m_messagingSystem.RegisterHandler(name.c_str(), [this, name](const ztengine::IEvent&) {
                m_events.push_back(name);
            });
    }
    void Send(const char* name) { m_messagingSystem.SendEventByName(name, ztengine::IEvent()); }

    zttest::NullRenderer3D m_renderer{1280, 800};
    ztengine::Graphics2D m_graphics2D;
    ztengine::LevelState* m_levelState = nullptr;
    ztengine::FadeMessageQueue* m_fadeQueue = nullptr;
    ztengine::AltarSharedData* m_altarQueue = nullptr;
    ztengine::BossSystemQueue* m_bossQueue = nullptr;
    ztengine::DialogueController* m_dialogue = nullptr;
    std::vector<std::string> m_stateChanges;
    std::vector<std::string> m_events;
};

// Runs the test in a fresh copy of the runtime folder.
class InRuntimeFolder {
public:
    InRuntimeFolder() : m_previous(std::filesystem::current_path())
    {
        std::filesystem::current_path(zttest::MakeRuntimeWorkspace("hub"));
    }
    ~InRuntimeFolder() { std::filesystem::current_path(m_previous); }

private:
    std::filesystem::path m_previous;
};

}  // namespace hubtest
