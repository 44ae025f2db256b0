#pragma once
// The decisions of one deferred frame that need no GL: which passes run for the current switches,
// the matrices the passes share, which instances get posed and when the motion-blur camera steps.
// GLRenderer3D::Render follows them; tests check them without a context.
#include <cstdint>

#include "core/math/Basis.h"
#include "core/math/Matrix4x4.h"
#include "core/math/Vector3.h"
#include "core/math/Vector4.h"

namespace ztengine {

struct InstanceData;
struct RendererOptions;

// The switches the frame reads, gathered from the renderer's option fields.
struct FrameSwitches {
    bool simpleLighting = false;
    bool ssao = true;
    bool fog = false;
    bool directionalLight = true;
    bool shadows = true;
    bool skybox = true;
    uint8_t effectsMask = 7;
    // The current environment exists and names a valid sky box.
    bool skyboxAvailable = false;
};

struct FramePlan {
    bool shadowPass = false;
    bool ssao = false;
    // Shadow switch, shadow matrix and point lights reach the light program. Off under simple
    // lighting: the program keeps what an earlier frame gave it.
    bool updateLightInputs = false;
    bool fog = false;
    // What the light program's "enableDirectionalLight" ends the frame with.
    bool directionalLight = false;
    bool skybox = false;
    bool motionBlur = false;
    bool depthOfField = false;
};

FramePlan MakeFramePlan(const FrameSwitches& switches);

// Camera to world: columns x = up x z, y = z x x, z = -forward (not normalised), translation
// the camera position. The inverse of Matrix4x4::LookAt for an orthonormal basis.
ztmath::Matrix4x4 InverseViewMatrix(const ztmath::Basis& basis, const ztmath::Vector3& position);

// The sun's view-projection: an orthographic volume (width, height, near, far) looking along the
// light direction from the sun position, without roll.
ztmath::Matrix4x4 ShadowMatrix(const ztmath::Vector3& lightDirection, const ztmath::Vector3& sunPosition,
                               const ztmath::Vector4& projection);

// The light direction as the light program takes it: normalised, turned into view space.
ztmath::Vector3 ViewLightDirection(const ztmath::Matrix4x4& view, const ztmath::Vector3& lightDirection);

// A colour as the settings name it (the way a texture is painted), turned into the linear light
// the frame's targets hold, so that the final gamma shows it as named: 0.5 shows as 128.
ztmath::Vector3 LinearColour(const ztmath::Vector3& colour, float gamma);

// An instance is posed when it is shown, animated, and its mesh has more than one animation
// (a single one is the bind pose some files carry).
bool ShouldPose(const InstanceData& instance, uint32_t animationCount);

// The geometry and shadow programs skin an instance when it is posed and the pose has bones.
bool UsesBones(const InstanceData& instance, uint32_t animationCount);

// Whether a mesh's box, carried into an orthographic view's clip space by `toClip` (the view's
// projection x view x model), can put anything in that view: the clip-space bounds of its eight
// corners meet the view's cube. The shadow pass leaves out casters for which it is false; they
// would be clipped whole.
bool BoxInOrthographicView(const ztmath::Matrix4x4& toClip, const ztmath::Vector3& boxMin,
                           const ztmath::Vector3& boxMax);

// The camera history of motion blur moves on at a fixed step, not every frame.
class MotionBlurClock {
public:
    // Adds dt; once the total reaches the step (compared in double precision) it restarts and the
    // step flag is raised. Returns the flag.
    bool Advance(float dt, double step);
    // The frame has remembered the camera for the step.
    void ClearStep() { m_step = false; }
    bool IsStep() const { return m_step; }
    float GetTimer() const { return m_timer; }

private:
    float m_timer = 0.0f;
    bool m_step = false;
};

}  // namespace ztengine
