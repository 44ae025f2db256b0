#pragma once
// The decisions of one deferred frame that need no GL: which passes run for the current switches,
// the matrices the passes share, which instances get posed and when the motion-blur camera steps.
// GLRenderer3D::Render follows them; tests check them without a context.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/math/Basis.h"
#include "core/math/Matrix4x4.h"
#include "core/math/Vector3.h"
#include "core/math/Vector4.h"

namespace ztengine {

struct InstanceData;
struct MeshVertex;
struct SkinWeights;
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

// Whether a box, carried into a view's clip space by `toClip` (the view's projection x view x
// model, perspective or orthographic), can put anything in that view: false only when all eight
// corners lie beyond one and the same plane of the clip volume, where the rasteriser would clip
// the whole of it. A matrix that makes a corner non-finite decides nothing (true).
bool BoxInView(const ztmath::Matrix4x4& toClip, const ztmath::Vector3& boxMin, const ztmath::Vector3& boxMax);

// Where a skinned mesh can reach under any pose, kept per mesh: per bone, the rest-pose box of the
// vertices that bone moves, and the box of the vertices the programs leave at rest (their weights
// add up to no more than the programs' threshold). A skinned vertex is a weighted sum of its
// bones' transforms of it; with weights that are not negative its clip position is a
// non-negative mix of those transforms' clip positions, so it lies beyond a clip plane whenever
// every bone's box does.
struct SkinBounds {
    struct Box {
        ztmath::Vector3 m_min;
        ztmath::Vector3 m_max;
        bool m_empty = true;
        void Add(const ztmath::Vector3& point);
    };
    // Indexed by the bone id as the programs clamp it.
    std::vector<Box> m_bones;
    Box m_rest;
    // False when a weight is negative or not finite: such a mesh is always drawn.
    bool m_bounded = false;
};

SkinBounds ComputeSkinBounds(const MeshVertex* vertices, const SkinWeights* weights, size_t count,
                             uint32_t maxBones);

// Whether an instance posed with these bone matrices (as handed to the programs: `boneCount` of
// them) can put anything in the view of `toClip` (projection x view x model). A vertex held by a
// bone beyond the matrices handed over decides nothing (true).
bool PosedInView(const SkinBounds& bounds, const ztmath::Matrix4x4& toClip, const ztmath::Matrix4x4* bones,
                 uint32_t boneCount);

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
