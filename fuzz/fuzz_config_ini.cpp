// "config.ini": the window settings, loaded and saved as at start-up and exit.
#include "FuzzFiles.h"
#include "core/serialization/WinConfig.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::filesystem::path path = ztfuzz::WorkFolder() / "config.ini";
    ztfuzz::WriteInput(path, data, size);
    ztengine::WinConfig config(path.string());
    config.Load();
    config.Save();
    return 0;
}
