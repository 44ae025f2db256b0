#pragma once
// The off-screen targets of the deferred frame, each owned by the pass that draws into it: the
// geometry buffer, the lit scene (with its bloom source) and the sun's shadow map. The post
// effects and the particles read these textures; their layout is described at the top of
// GLRenderer3D.cpp.
#include <cstdint>

#include "core/graphics/framework/PointLights.h"
#include "core/graphics/glrenderer/FrameBufferObject.h"
#include "core/math/Matrix4x4.h"
#include "core/math/Vector3.h"

namespace ztengine {

// Positions, normals, material values and tint of every visible surface, with its depth.
class GeometryPass {
public:
    // Colour attachments, in attachment order ("output0" .. "output3").
    enum Attachment : uint32_t { kPositions = 0, kNormals = 1, kMaterials = 2, kTint = 3 };

    // Builds the target at the size; false when the driver reports it incomplete.
    bool Init(int width, int height);
    void Release();

    FrameBufferObject& GetGBuffer() { return m_gBuffer; }
    // RGBA16F: view-space position xyz, effects mask w (1 = screen effects apply).
    uint32_t GetPositionsTexture() const { return ColorTexture(kPositions); }
    // RGBA16F: view-space normal xyz, linear depth w (0 at the near plane, 1 at the far one).
    uint32_t GetNormalsTexture() const { return ColorTexture(kNormals); }
    // RGBA16F: linear albedo rgb, specular strength a.
    uint32_t GetMaterialsTexture() const { return ColorTexture(kMaterials); }
    // RGBA16F: tint of model instances: linear colour rgb, strength a.
    uint32_t GetTintTexture() const { return ColorTexture(kTint); }
    // DEPTH_COMPONENT32: window depth of the nearest surface, 1 where there is none.
    uint32_t GetDepthTexture() const;
    bool IsComplete() const { return m_complete; }

private:
    uint32_t ColorTexture(uint32_t attachment) const;

    FrameBufferObject m_gBuffer;
    bool m_complete = false;
};

// The lit scene colour and its over-threshold part for bloom; the point lights it lights with.
class LightPass {
public:
    bool Init(int width, int height);
    void Release();

    // Colour attachments: the lit colour ("fragOut") and its part above the bloom threshold
    // ("brightOut"), both RGBA16F, linear.
    enum Attachment : uint32_t { kSceneColor = 0, kBrightColor = 1 };

    FrameBufferObject& GetSceneTarget() { return m_scene; }
    uint32_t GetSceneColorTexture() const;
    uint32_t GetBrightColorTexture() const;
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
