// "playerSettings.ini": the player's tuning values, loaded and saved as at start-up and exit.
#include "FuzzFiles.h"
#include "core/gui/Gui.h"
#include "core/subsys/sharedData/PlayerStatus.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::filesystem::path path = ztfuzz::WorkFolder() / "playerSettings.ini";
    ztfuzz::WriteInput(path, data, size);
    {
        ztengine::PlayerStatus status(path.string());
        status.Load();
        status.Save();
    }
    // Load binds a window to the status: it goes with it, as at the end of a run.
    ztengine::Gui::Instance().Reset();
    return 0;
}
