// "mesh.init": the mesh list, loaded and saved as at start-up and exit.
#include "FuzzFiles.h"
#include "core/resources/MeshManager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::filesystem::path path = ztfuzz::WorkFolder() / "mesh.init";
    ztfuzz::WriteInput(path, data, size);
    ztengine::MeshManager list;
    list.m_fileName = path.string();
    list.Load();
    list.Save();
    return 0;
}
