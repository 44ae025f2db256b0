#include "core/graphics/glrenderer/FramePlan.h"

#include <algorithm>
#include <cmath>

#include "core/graphics/framework/RendererOptions.h"
#include "core/graphics/framework/instance/Instances.h"
#include "core/graphics/framework/mesh/core/MeshVertex.h"

namespace ztengine {

FramePlan MakeFramePlan(const FrameSwitches& switches)
{
    const bool simple = switches.simpleLighting;
    FramePlan plan;
    plan.shadowPass = switches.shadows;
    plan.ssao = switches.ssao && !simple;
    plan.updateLightInputs = !simple;
    plan.fog = switches.fog && !simple;
    plan.directionalLight = simple || switches.directionalLight;
    plan.skybox = switches.skybox && switches.skyboxAvailable;
    plan.motionBlur = (switches.effectsMask & RendererOptions::kEffectMotionBlur) != 0 && !simple;
    plan.depthOfField = (switches.effectsMask & RendererOptions::kEffectDepthOfField) != 0 && !simple;
    return plan;
}

ztmath::Matrix4x4 InverseViewMatrix(const ztmath::Basis& basis, const ztmath::Vector3& position)
{
    const ztmath::Vector3 z = -basis.forward;
    const ztmath::Vector3 x = basis.up.Cross(z);
    const ztmath::Vector3 y = z.Cross(x);
    return ztmath::Matrix4x4::FromAxes(x, y, z, position);
}

ztmath::Matrix4x4 ShadowMatrix(const ztmath::Vector3& lightDirection, const ztmath::Vector3& sunPosition,
                               const ztmath::Vector4& projection)
{
    ztmath::Basis sun;
    sun.SetForward(lightDirection);
    sun.RemoveRoll();
    const ztmath::Matrix4x4 view = ztmath::Matrix4x4::LookAt(sunPosition, sun);
    ztmath::Matrix4x4 orthographic;
    orthographic.MakeOrthographic(projection.x, projection.y, projection.z, projection.w);
    return orthographic * view;
}

ztmath::Vector3 ViewLightDirection(const ztmath::Matrix4x4& view, const ztmath::Vector3& lightDirection)
{
    return view.TransformDirection(lightDirection.Normalized()).Normalized();
}

ztmath::Vector3 LinearColour(const ztmath::Vector3& colour, float gamma)
{
    const auto channel = [gamma](float value) { return std::pow(std::max(value, 0.0f), gamma); };
    return ztmath::Vector3(channel(colour.x), channel(colour.y), channel(colour.z));
}

bool ShouldPose(const InstanceData& instance, uint32_t animationCount)
{
    return instance.m_hidden == 0 && instance.m_animated != 0 && animationCount > 1;
}

bool UsesBones(const InstanceData& instance, uint32_t animationCount)
{
    return instance.m_animated != 0 && animationCount > 1 && !instance.m_boneMatrices.empty();
}

bool MotionBlurClock::Advance(float dt, double step)
{
    m_timer += dt;
    if (static_cast<double>(m_timer) >= step) {
        m_timer = 0.0f;
        m_step = true;
    }
    return m_step;
}

bool BoxInOrthographicView(const ztmath::Matrix4x4& toClip, const ztmath::Vector3& boxMin,
                           const ztmath::Vector3& boxMax)
{
    float low[3] = {INFINITY, INFINITY, INFINITY};
    float high[3] = {-INFINITY, -INFINITY, -INFINITY};
    for (int corner = 0; corner < 8; ++corner) {
        const ztmath::Vector4 point((corner & 1) != 0 ? boxMax.x : boxMin.x, (corner & 2) != 0 ? boxMax.y : boxMin.y,
                                    (corner & 4) != 0 ? boxMax.z : boxMin.z, 1.0f);
        const ztmath::Vector4 clip = toClip * point;
        // A broken matrix decides nothing: the caster is drawn, as it would have been.
        if (!std::isfinite(clip.x) || !std::isfinite(clip.y) || !std::isfinite(clip.z))
            return true;
        for (int axis = 0; axis < 3; ++axis) {
            low[axis] = std::min(low[axis], clip[axis]);
            high[axis] = std::max(high[axis], clip[axis]);
        }
    }
    for (int axis = 0; axis < 3; ++axis) {
        if (low[axis] > 1.0f || high[axis] < -1.0f)
            return false;
    }
    return true;
}


namespace {

// Bits of the clip planes a clip-space point lies beyond: -x, +x, -y, +y, -z, +z. A point counts
// as beyond a plane only by a margin, so that the program's own rounding of a vertex on the box
// cannot bring it back in; a point that is not finite lies beyond none.
uint32_t OutsidePlanes(const ztmath::Vector4& clip)
{
    if (!std::isfinite(clip.x) || !std::isfinite(clip.y) || !std::isfinite(clip.z) || !std::isfinite(clip.w))
        return 0u;
    const float reach = clip.w + 1.0e-4f * std::fabs(clip.w) + 1.0e-6f;
    uint32_t bits = 0u;
    bits |= clip.x < -reach ? 1u : 0u;
    bits |= clip.x > reach ? 2u : 0u;
    bits |= clip.y < -reach ? 4u : 0u;
    bits |= clip.y > reach ? 8u : 0u;
    bits |= clip.z < -reach ? 16u : 0u;
    bits |= clip.z > reach ? 32u : 0u;
    return bits;
}

// The planes every corner of the box lies beyond, and-ed into `common`.
void BoxOutside(const ztmath::Matrix4x4& toClip, const ztmath::Vector3& boxMin, const ztmath::Vector3& boxMax,
                uint32_t& common)
{
    for (int corner = 0; corner < 8 && common != 0u; ++corner) {
        const ztmath::Vector4 point((corner & 1) != 0 ? boxMax.x : boxMin.x, (corner & 2) != 0 ? boxMax.y : boxMin.y,
                                    (corner & 4) != 0 ? boxMax.z : boxMin.z, 1.0f);
        common &= OutsidePlanes(toClip * point);
    }
}

}  // namespace

bool BoxInView(const ztmath::Matrix4x4& toClip, const ztmath::Vector3& boxMin, const ztmath::Vector3& boxMax)
{
    uint32_t common = 63u;
    BoxOutside(toClip, boxMin, boxMax, common);
    return common == 0u;
}

void SkinBounds::Box::Add(const ztmath::Vector3& point)
{
    if (m_empty) {
        m_min = point;
        m_max = point;
        m_empty = false;
        return;
    }
    m_min = ztmath::Vector3(std::min(m_min.x, point.x), std::min(m_min.y, point.y), std::min(m_min.z, point.z));
    m_max = ztmath::Vector3(std::max(m_max.x, point.x), std::max(m_max.y, point.y), std::max(m_max.z, point.z));
}

SkinBounds ComputeSkinBounds(const MeshVertex* vertices, const SkinWeights* weights, size_t count, uint32_t maxBones)
{
    // The programs' own threshold on the sum of a vertex's weights; a sum this close to it may
    // fall either way in the program's arithmetic, so such a vertex counts on both sides.
    constexpr float kThreshold = 0.0001f;
    constexpr float kMargin = 0.00001f;
    SkinBounds bounds;
    bounds.m_bones.resize(maxBones);
    bounds.m_bounded = maxBones > 0;
    for (size_t v = 0; v < count && bounds.m_bounded; ++v) {
        const SkinWeights& skin = weights[v];
        const ztmath::Vector3& position = vertices[v].position;
        float total = 0.0f;
        for (int k = 0; k < 4; ++k) {
            if (!(skin.weights[k] >= 0.0f) || !std::isfinite(skin.weights[k]))
                bounds.m_bounded = false;
            total += skin.weights[k];
        }
        if (!bounds.m_bounded || !std::isfinite(position.x) || !std::isfinite(position.y) ||
            !std::isfinite(position.z)) {
            bounds.m_bounded = false;
            break;
        }
        if (total <= kThreshold + kMargin)
            bounds.m_rest.Add(position);
        if (total > kThreshold - kMargin) {
            for (int k = 0; k < 4; ++k) {
                if (skin.weights[k] > 0.0f) {
                    const int32_t id = std::clamp<int32_t>(skin.boneIds[k], 0, static_cast<int32_t>(maxBones) - 1);
                    bounds.m_bones[static_cast<size_t>(id)].Add(position);
                }
            }
        }
    }
    return bounds;
}

bool PosedInView(const SkinBounds& bounds, const ztmath::Matrix4x4& toClip, const ztmath::Matrix4x4* bones,
                 uint32_t boneCount)
{
    if (!bounds.m_bounded)
        return true;
    uint32_t common = 63u;
    if (!bounds.m_rest.m_empty)
        BoxOutside(toClip, bounds.m_rest.m_min, bounds.m_rest.m_max, common);
    for (size_t bone = 0; bone < bounds.m_bones.size() && common != 0u; ++bone) {
        const SkinBounds::Box& box = bounds.m_bones[bone];
        if (box.m_empty)
            continue;
        if (bone >= boneCount)
            return true;
        BoxOutside(toClip * bones[bone], box.m_min, box.m_max, common);
    }
    return common == 0u;
}

}  // namespace ztengine
