// "lightSettings.config": the sun and shadow settings read as at start-up, then written back as
// "Save Settings" does. What was written must read back to the same settings, or the next start
// would lose or change them.
#include <cstring>

#include "FuzzFiles.h"
#include "core/subsys/GameShadowSystem/GameShadowSystem.h"

namespace {

template <typename T>
bool SameBits(const T& a, const T& b)
{
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

bool SamePlace(const ztengine::ShadowSettings& a, const ztengine::ShadowSettings& b)
{
    return SameBits(a.sunPosition, b.sunPosition) && SameBits(a.lightEuler, b.lightEuler) &&
           a.projectionWidth == b.projectionWidth && a.projectionHeight == b.projectionHeight &&
           SameBits(a.projectionNear, b.projectionNear) &&
           SameBits(a.projectionFar, b.projectionFar) && SameBits(a.distance, b.distance);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path =
        (ztfuzz::WorkFolder() / ztengine::GameShadowSystem::kSettingsFile).string();
    ztfuzz::WriteInput(path, data, size);

    ztengine::ShadowSettings overworld;
    ztengine::ShadowSettings dungeon;
    bool enableShadow = false;
    ztengine::ReadShadowSettings(path.c_str(), overworld, dungeon, enableShadow);
    if (!ztengine::WriteShadowSettings(path.c_str(), overworld, dungeon, enableShadow))
        return 0;  // the old file stays

    ztengine::ShadowSettings overworldAgain;
    ztengine::ShadowSettings dungeonAgain;
    bool enableShadowAgain = false;
    ztengine::ReadShadowSettings(path.c_str(), overworldAgain, dungeonAgain, enableShadowAgain);
    if (!SamePlace(overworld, overworldAgain) || !SamePlace(dungeon, dungeonAgain) ||
        enableShadow != enableShadowAgain)
        std::abort();
    return 0;
}
