// A parameter set's file: loaded, every value read back by its type, and written out again.
#include "FuzzFiles.h"
#include "core/serialization/Params.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::filesystem::path path = ztfuzz::WorkFolder() / "params.ini";
    ztfuzz::WriteInput(path, data, size);
    ztengine::Params params;
    params.SetFloat("radius", 1.5f);  // a key the file may replace or leave alone
    if (!params.LoadFromFile(path.c_str()))
        return 0;
    volatile float sink = 0.0f;
    for (const auto& [key, value] : params.Entries()) {
        for (uint32_t i = 0; i < value.GetCount(); ++i) {
            switch (value.GetType()) {
            case ztengine::ParamType::Vec3: sink = sink + value.GetVec3At(i).x; break;
            case ztengine::ParamType::Vec4: sink = sink + value.GetVec4At(i).w; break;
            case ztengine::ParamType::Float: sink = sink + value.GetFloatAt(i); break;
            case ztengine::ParamType::Int: sink = sink + static_cast<float>(value.GetIntAt(i)); break;
            case ztengine::ParamType::String: sink = sink + value.GetStringAt(i)[0]; break;
            case ztengine::ParamType::Empty: break;
            }
        }
    }
    const ztengine::Params copy = params;
    copy.SaveToFile((ztfuzz::WorkFolder() / "params.out").c_str());
    return 0;
}
