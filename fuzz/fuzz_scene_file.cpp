// The scene files of one scene: the first byte picks which of the three files (props, point
// lights, directional light) gets the rest; the scene folder is loaded and saved as at start-up
// and exit.
#include "FuzzFiles.h"
#include "core/resources/PropManager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    static const char* const kFiles[] = {"hall.json", "hall.plight", "hall.dlight"};
    const std::filesystem::path folder = ztfuzz::WorkFolder() / "scenes";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directory(folder);
    ztfuzz::WriteInput(folder / kFiles[data[0] % 3], data + 1, size - 1);
    ztengine::PropManager scenes;
    scenes.m_folder = folder.string();
    scenes.Load();
    scenes.Save();
    return 0;
}
