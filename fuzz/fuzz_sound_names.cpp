// The sound name list, loaded and saved as the sound registry does at start-up and exit.
#include "FuzzFiles.h"
#include "core/resources/SoundManager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::filesystem::path path = ztfuzz::WorkFolder() / "sounds.json";
    ztfuzz::WriteInput(path, data, size);
    ztengine::SoundManager sounds;
    sounds.Load(path.string());
    sounds.Save(path.string());
    return 0;
}
