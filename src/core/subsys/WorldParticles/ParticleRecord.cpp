#include "core/subsys/WorldParticles/ParticleRecord.h"

#include "platform/CRand.h"

namespace ztgame {

float RandomUnit()
{
    return static_cast<float>(ztplatform::Rand() / 32767.0);
}

}  // namespace ztgame
