#include "core/graphics/glrenderer/FramePlan.h"

#include <algorithm>
#include <cmath>

#include "core/graphics/framework/RendererOptions.h"
#include "core/graphics/framework/instance/Instances.h"

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

}  // namespace ztengine
