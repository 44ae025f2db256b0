// The game kept running for a long time, cycling the states a player goes through: pause and
// resume, the pause menu's settings, a dungeon through the red portal and back with the town
// portal, a death with the statistics and the lose screen's Restart, and a won run hurried to
// the boss-death sequence, the statistics and the main menu's Play. Run by tools/soak.sh, which
// watches the process's memory and open handles from outside; not part of the test suite.
//
//     soak_game SECONDS
#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/Win32App.h"
#include "core/subsys/sharedData/PlayerStatus.h"
#include "support/GameRoad.h"

namespace {

using zttest::GameRoad;

bool Wait(GameRoad& road, const char* state, int frames)
{
    return road.State() == state || road.RunUntil([&] { return road.State() == state; }, frames);
}

void ClickAt(GameRoad& road, double x, double y)
{
    road.Game().MoveCursor(x, y);
    road.Run(1);
    road.Click(GLFW_MOUSE_BUTTON_LEFT);
}

bool SkipIntro(GameRoad& road)
{
    road.Run(2);
    road.Tap(GLFW_KEY_SPACE);
    const bool in = Wait(road, "GAMEPLAY_STATE", 10);
    road.Run(10);
    return in;
}

void TapWith(GameRoad& road, int modifier, int key, int times)
{
    road.Game().PressKey(modifier);
    road.Run(1);
    for (int i = 0; i < times; ++i)
        road.Tap(key);
    road.Game().ReleaseKey(modifier);
    road.Run(1);
}

bool PauseAndResume(GameRoad& road)
{
    road.Tap(GLFW_KEY_ESCAPE);
    if (!Wait(road, "PAUSE_MENU_STATE", 5))
        return false;
    road.Run(10);
    // Settings and back, then Escape resumes.
    ClickAt(road, 640.0, 400.0);
    if (!Wait(road, "SETTINGS_STATE", 5))
        return false;
    road.Run(5);
    road.Tap(GLFW_KEY_ESCAPE);
    if (!Wait(road, "PAUSE_MENU_STATE", 5))
        return false;
    road.Tap(GLFW_KEY_ESCAPE);
    return Wait(road, "GAMEPLAY_STATE", 5);
}

bool DungeonAndBack(GameRoad& road)
{
    if (!road.WalkIntoPortal(GameRoad::kRedSkull) || !road.WaitForPlay())
        return false;
    road.Run(20);
    road.Tap('T');
    if (!Wait(road, "FADE_OUT_STATE", 120))
        return false;
    return road.WaitForPlay();
}

bool DieAndRestart(GameRoad& road)
{
    TapWith(road, GLFW_KEY_LEFT_SHIFT, GLFW_KEY_1, 6);
    if (!Wait(road, "END_GAME_STATE", 100))
        return false;
    road.Tap(GLFW_KEY_SPACE);
    road.Tap(GLFW_KEY_SPACE);
    if (!Wait(road, "LOSE_STATE", 5))
        return false;
    ClickAt(road, 640.0, 455.0);
    return Wait(road, "CINEMATIC_INTRO_STATE", 2) && SkipIntro(road);
}

bool WinToTheMenuAndPlay(GameRoad& road)
{
    road.App().m_messagingSystem.SendEventByName("FIGHT_BOSS_FIGHT_END", ztengine::IEvent());
    if (!Wait(road, "BOSS_DEATH_STATE", 2))
        return false;
    road.Game().PressKey(GLFW_KEY_SPACE);
    const bool ended = Wait(road, "END_GAME_STATE", 600);
    road.Game().ReleaseKey(GLFW_KEY_SPACE);
    road.Run(1);
    if (!ended)
        return false;
    road.Tap(GLFW_KEY_SPACE);
    road.Tap(GLFW_KEY_SPACE);
    if (!Wait(road, "MAIN_MENU_STATE", 5))
        return false;
    road.Run(20);
    ClickAt(road, 140.0, 425.0);
    return Wait(road, "CINEMATIC_INTRO_STATE", 2) && SkipIntro(road);
}

}  // namespace

int main(int argc, char** argv)
{
    const double seconds = argc > 1 ? std::atof(argv[1]) : 1800.0;
    GameRoad road("soak");
    if (!road.Start()) {
        std::fprintf(stderr, "soak: %s\n", road.Error().c_str());
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    auto elapsed = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    struct Step {
        const char* name;
        bool (*run)(GameRoad&);
    };
    const Step steps[] = {{"pause", PauseAndResume},
                          {"dungeon", DungeonAndBack},
                          {"death", DieAndRestart},
                          {"win", WinToTheMenuAndPlay}};
    int failures = 0;
    for (int cycle = 1; elapsed() < seconds; ++cycle) {
        for (const Step& step : steps) {
            const bool ok = step.run(road);
            road.ClearPrinted();
            std::printf("soak: cycle %d %s %s (%s) at %.0f s\n", cycle, step.name, ok ? "ok" : "FAILED",
                        road.State().c_str(), elapsed());
            std::fflush(stdout);
            if (!ok) {
                ++failures;
                // Back to play however the step ended, so the next step starts from the hub or floor.
                if (road.State() != "GAMEPLAY_STATE") {
                    road.App().ChangeState("GAMEPLAY_STATE");
                    road.Run(2);
                }
            }
            if (elapsed() >= seconds)
                break;
        }
    }
    const int result = road.Quit();
    std::printf("soak: %d failed steps, shutdown %d\n", failures, result);
    return failures == 0 && result == 0 ? 0 : 1;
}
