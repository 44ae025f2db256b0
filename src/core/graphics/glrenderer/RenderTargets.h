#pragma once
// The off-screen targets of the deferred frame, each owned by the pass that draws into it: the
// geometry buffer, the lit scene (with its bloom source) and the sun's shadow map.
#include <cstdint>

#include "core/graphics/framework/PointLights.h"
#include "core/graphics/glrenderer/FrameBufferObject.h"
#include "core/math/Matrix4x4.h"
#include "core/math/Vector3.h"

namespace ztengine {

// Positions, normals, material values and tint of every visible surface, with its depth.
class GeometryPass {
public:
    // Builds the target at the size; false when the driver reports it incomplete.
    bool Init(int width, int height);
    void Release();

    FrameBufferObject& GetGBuffer() { return m_gBuffer; }
    uint32_t GetDepthTexture() const;
    bool IsComplete() const { return m_complete; }

private:
    FrameBufferObject m_gBuffer;
    bool m_complete = false;
};

// The lit scene colour and its over-threshold part for bloom; the point lights it lights with.
class LightPass {
public:
    bool Init(int width, int height);
    void Release();

    FrameBufferObject& GetSceneTarget() { return m_scene; }
    bool IsComplete() const { return m_complete; }
    PointLightArrays& GetPointLights() { return m_pointLights; }

private:
    FrameBufferObject m_scene;
    PointLightArrays m_pointLights;
    bool m_complete = false;
};

// Depth of the scene seen from the sun, for the directional light's shadows.
class ShadowPass {
public:
    // The map is twice the render size on each axis.
    bool Init(int renderWidth, int renderHeight);
    void Release();

    FrameBufferObject& GetTarget() { return m_target; }
    uint32_t GetDepthTexture() const;
    bool IsComplete() const { return m_complete; }

    ztmath::Matrix4x4 m_lightViewProjection;
    ztmath::Vector3 m_lightPosition;
    ztmath::Vector3 m_lightDirection;

private:
    FrameBufferObject m_target;
    bool m_complete = false;
};

}  // namespace ztengine
