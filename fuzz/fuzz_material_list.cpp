// "material.init": the material list, loaded and saved as at start-up and exit.
#include "FuzzFiles.h"
#include "core/resources/MaterialManager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::filesystem::path path = ztfuzz::WorkFolder() / "material.init";
    ztfuzz::WriteInput(path, data, size);
    ztengine::MaterialManager list;
    list.m_fileName = path.string();
    list.Load();
    list.Save();
    return 0;
}
