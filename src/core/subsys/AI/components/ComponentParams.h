#pragma once
// Lenient reads of a creator's keys: a key that is missing, or holds another type, gives the
// creator's default, silently. Archetypes are written by hand and a typo must not stop the game.
#include <cstdint>
#include <string>

#include "core/math/Quaternion.h"
#include "core/math/Vector3.h"
#include "core/math/Vector4.h"
#include "core/serialization/Params.h"

namespace ztengine {

inline float ReadFloatKey(const Params& params, const char* key, float fallback)
{
    const ParamValue* value = params.GetParam(key);
    return value != nullptr && value->IsFloat() ? value->GetFloat() : fallback;
}

inline int32_t ReadIntKey(const Params& params, const char* key, int32_t fallback)
{
    const ParamValue* value = params.GetParam(key);
    return value != nullptr && value->IsInt() ? value->GetInt() : fallback;
}

inline ztmath::Vector3 ReadVec3Key(const Params& params, const char* key,
                                   const ztmath::Vector3& fallback)
{
    const ParamValue* value = params.GetParam(key);
    return value != nullptr && value->IsVec3() ? value->GetVec3() : fallback;
}

// A Vec4 key holding a quaternion as x, y, z, w.
inline ztmath::Quaternion ReadQuaternionKey(const Params& params, const char* key,
                                            const ztmath::Quaternion& fallback)
{
    const ParamValue* value = params.GetParam(key);
    if (value == nullptr || !value->IsVec4())
        return fallback;
    const ztmath::Vector4 v = value->GetVec4();
    return ztmath::Quaternion(v.x, v.y, v.z, v.w);
}

inline ztmath::Vector4 ReadVec4Key(const Params& params, const char* key,
                                   const ztmath::Vector4& fallback)
{
    const ParamValue* value = params.GetParam(key);
    return value != nullptr && value->IsVec4() ? value->GetVec4() : fallback;
}

inline std::string ReadStringKey(const Params& params, const char* key, const char* fallback)
{
    const ParamValue* value = params.GetParam(key);
    return value != nullptr && value->IsString() ? std::string(value->GetString())
                                                 : std::string(fallback);
}

}  // namespace ztengine
