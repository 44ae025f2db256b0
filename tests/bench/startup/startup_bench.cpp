// Start-up benchmark: the real game, built and started as the tests start it (fixed 1/60 s
// frames, a window on the display), from the first splash to the main menu, against the same
// road with the 3D frame left out of every frame (2D only). The frame count is the same in both
// (the screens' timing runs on the fixed step); what differs is what each frame draws. Each
// variant runs in a process of its own (the application is one per process); the two alternate
// round by round, in turns, so the machine's other load falls on both alike. Per round the
// game's time over the 2D-only time is one ratio; printed with its min, median and max.
//
//     xvfb-run -a bench_startup [rounds]      (default 3 rounds; each start-up takes a while)
//         In a sanitized build add ASAN_OPTIONS=detect_leaks=0: the GL driver keeps memory past exit.
#include <GL/glew.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "../BenchStats.h"
#include "core/Win32App.h"
#include "support/AppFixture.h"

namespace {

constexpr const char* kChildTag = "bench_startup child:";

struct ChildResult {
    bool ok = false;
    int frames = 0;
    double initSeconds = 0.0;
    double frameSeconds = 0.0;
};

// One start-up in this process; prints one tagged line.
int RunChild(bool twoDOnly)
{
    const double startInit = ztbench::WallSeconds();
    zttest::AppFixture game;
    const double initSeconds = ztbench::WallSeconds() - startInit;
    if (!game.Started()) {
        std::fprintf(stderr, "bench_startup: the game did not start: %s\n", game.InitError().c_str());
        return 1;
    }
    ztengine::Win32App& app = game.App();
    auto inMenu = [&] { return app.GetStateName(app.GetCurrentState()) == "MAIN_MENU_STATE"; };
    const double startFrames = ztbench::WallSeconds();
    int frames = 0;
    while (!inMenu() && frames < 20000) {
        game.RunFrames(1, [&](int) {
            if (twoDOnly)
                app.GetGraphics3D()->CoverFrame();
        });
        glFinish();
        ++frames;
    }
    const double frameSeconds = ztbench::WallSeconds() - startFrames;
    if (!inMenu()) {
        std::fprintf(stderr, "bench_startup: no main menu after %d frames\n", frames);
        return 1;
    }
    std::printf("%s %d %.6f %.6f\n", kChildTag, frames, initSeconds, frameSeconds);
    std::fflush(stdout);
    game.Shutdown();
    return 0;
}

ChildResult RunVariant(const std::string& self, bool twoDOnly)
{
    ChildResult result;
    const std::string command = "'" + self + "' --child " + (twoDOnly ? "2d" : "game") + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return result;
    char line[4096];
    const size_t tagLength = std::strlen(kChildTag);
    while (std::fgets(line, sizeof(line), pipe) != nullptr) {
        if (std::strncmp(line, kChildTag, tagLength) == 0)
            result.ok = std::sscanf(line + tagLength, "%d %lf %lf", &result.frames, &result.initSeconds,
                                    &result.frameSeconds) == 3;
        else if (std::strstr(line, "bench_startup:") != nullptr)
            std::fputs(line, stderr);
    }
    result.ok = pclose(pipe) == 0 && result.ok;
    return result;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 2 && std::strcmp(argv[1], "--child") == 0)
        return RunChild(std::strcmp(argv[2], "2d") == 0);

    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    std::error_code error;
    std::filesystem::path self = std::filesystem::canonical("/proc/self/exe", error);
    if (error)
        self = std::filesystem::absolute(argv[0]);
    // The driver's own allocations outlive the run; they are not ours to report.
    setenv("ASAN_OPTIONS", "detect_leaks=0", 0);

    ztbench::RatioTable ratios({"frames to the main menu", "start-up including Init"});
    std::printf("bench_startup: splash to main menu, the game against 2D-only frames, %d rounds\n", rounds);
    for (int round = 0; round < rounds; ++round) {
        ChildResult game;
        ChildResult twoD;
        if (round % 2 == 0) {
            game = RunVariant(self.string(), false);
            twoD = RunVariant(self.string(), true);
        } else {
            twoD = RunVariant(self.string(), true);
            game = RunVariant(self.string(), false);
        }
        if (!game.ok || !twoD.ok) {
            std::fprintf(stderr, "bench_startup: round %d failed\n", round + 1);
            return 1;
        }
        std::printf("  round %d: game %d frames in %.2f s (Init %.2f s), 2D only %d frames in %.2f s (Init %.2f s)\n",
                    round + 1, game.frames, game.frameSeconds, game.initSeconds, twoD.frames, twoD.frameSeconds,
                    twoD.initSeconds);
        std::fflush(stdout);
        ratios.AddRound({game.frameSeconds / twoD.frameSeconds,
                         (game.initSeconds + game.frameSeconds) / (twoD.initSeconds + twoD.frameSeconds)});
    }
    ratios.Print("start-up time, the game over 2D-only frames");
    return 0;
}
