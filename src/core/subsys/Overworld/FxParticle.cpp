#include "core/subsys/Overworld/FxParticle.h"

#include "platform/CRand.h"

namespace ztengine {

float RandUnit()
{
    return static_cast<float>(ztplatform::Rand()) / 32767.0f;
}

}  // namespace ztengine
