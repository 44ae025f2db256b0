#pragma once
// A particle of the world's effects as the game keeps it on the CPU: the renderer's particle
// list is rebuilt from a vector of these every step.
#include "core/math/Vector3.h"

namespace ztengine {

struct FxParticle {
    ztmath::Vector3 m_position;
    ztmath::Vector3 m_velocity;
    float m_rotation = 0.0f;  // degrees
    float m_size = 0.0f;
    // Free for the effect: an atlas selector, a spin speed, ...
    float m_extra = 0.0f;
    float m_lifetime = 0.0f;
    float m_age = 0.0f;
};

// u in 0..1 from the game's C-library sequence.
float RandUnit();

}  // namespace ztengine
