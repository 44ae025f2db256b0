// The entry point of GrelvokVoskDungeon: builds the game, starts it, runs it until the player
// quits (or the system asks it to stop) and shuts it down.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "core/Win32App.h"
#include "core/subsys/Registration/GameRegistration.h"
#include "core/util/memory/MemoryAllocator.h"
#include "platform/Signals.h"

int main()
{
    // Ctrl+C and a termination request end the run through the normal shutdown.
    ztplatform::InstallQuitSignalHandlers();

    ztengine::Win32App* app = ztengine::BuildGame();
    if (!app->Init()) {
        std::fprintf(stderr, "GrelvokVoskDungeon could not start: %s\n",
                     app->GetInitError().c_str());
        std::fflush(stderr);
        const std::string logFile = app->GetLogger()->FileName();
        ztengine::Win32App::DeleteInstance();
        ztengine::MemoryAllocator::ReleasePages();
        // A run that never started leaves no log file behind (it could hold nothing anyway).
        std::error_code error;
        if (!logFile.empty() && std::filesystem::is_regular_file(logFile, error) &&
            std::filesystem::file_size(logFile, error) == 0)
            std::filesystem::remove(logFile, error);
        return 1;
    }
    app->Run();
    ztengine::Win32App::DeleteInstance();
    ztengine::MemoryAllocator::ReleasePages();
    return 0;
}
