#pragma once
// The lit, shadowed scene the frame test looks at and the frame benchmark times: a grass ground,
// 20 crates, a skeleton posed half way through its walk, an instance buffer of 1,000 spheres,
// 8 coloured point lights and a sky box, plus three floating crates whose shadows the test
// inspects (one casting, one hidden, one with shadow casting off). Needs an initialised
// GLRenderer3D run from the runtime folder; uses nothing but the engine.
#include <cmath>
#include <cstdint>

#include "core/graphics/GLRenderer3D.h"
#include "core/math/Basis.h"
#include "core/math/Matrix4x4.h"
#include "core/math/Vector3.h"
#include "core/math/Vector4.h"

namespace renderertest {

struct DemoScene {
    // Floating crates above the ground, their shadows falling along the light.
    static constexpr float kFloatHeight = 3.0f;
    static constexpr float kCrateSize = 1.5f;

    ztengine::InstanceHandle caster;
    ztengine::InstanceHandle hiddenCaster;
    ztengine::InstanceHandle noShadowCaster;
    ztengine::InstanceHandle skeleton;
    int32_t sphereBuffer = -1;
    uint32_t skeletonBones = 0;
    ztmath::Vector3 lightDirection;

    // Where a crate floating at `position` puts its shadow on the ground (y = 0).
    ztmath::Vector3 ShadowOnGround(const ztmath::Vector3& position) const
    {
        const float t = position.y / -lightDirection.y;
        return position + lightDirection * t;
    }

    static ztengine::InstanceTransform Placed(const ztmath::Vector3& position, const ztmath::Vector3& scale,
                                              const ztmath::Basis& basis = ztmath::Basis())
    {
        ztengine::InstanceTransform transform;
        transform.m_position = position;
        transform.m_scale = scale;
        transform.SetBasis(basis);
        return transform;
    }

    void Build(ztengine::GLRenderer3D& renderer)
    {
        using ztmath::Vector3;
        // Camera above and behind the scene, looking down into it.
        ztmath::Basis camera;
        camera.SetForward(Vector3(0.0f, -7.0f, 18.0f).Normalized());
        renderer.SetCameraBasis(camera);
        renderer.SetCameraPosition(Vector3(0.0f, 7.0f, -13.0f));

        // The sun, slanted so shadows fall beside what casts them, with a map covering the scene.
        lightDirection = Vector3(0.5f, -1.0f, 0.3f).Normalized();
        ztengine::Environment& environment = renderer.GetCurrentEnvironmentRef();
        environment.m_lightDirection = lightDirection;
        renderer.SetSunPosition(lightDirection * -60.0f);
        renderer.SetShadowProjection(ztmath::Vector4(70.0f, 70.0f, 0.5f, 150.0f));
        // The overworld's blue sky (the second one is the final boss's).
        const ztengine::SkyboxHandle sky = environment.CreateSkybox();
        sky->m_blendFactor = 0.0f;
        environment.SetCurrentSkybox(sky);

        // Ground.
        const int32_t plane = renderer.CreatePlaneMesh(1, 1);
        const int32_t grass = renderer.CreateMaterial("textures/diff/green.jpg", nullptr, nullptr, nullptr);
        const int32_t ground = renderer.CreateModel(static_cast<uint32_t>(plane), static_cast<uint32_t>(grass));
        const ztmath::Basis facingUp(Vector3(0.0f, 1.0f, 0.0f), Vector3(0.0f, 0.0f, 1.0f), true);
        renderer.CreateInstance(ground, Placed(Vector3(0.0f, 0.0f, 10.0f), Vector3(60.0f, 60.0f, 1.0f), facingUp))
            .SetTiling(ztmath::Vector2(12.0f, 12.0f));

        // Twenty crates in the back.
        const int32_t cube = renderer.CreateCubeMesh();
        const int32_t wood = renderer.CreateMaterial("textures/diff/crate.png", nullptr, nullptr, nullptr);
        const int32_t crate = renderer.CreateModel(static_cast<uint32_t>(cube), static_cast<uint32_t>(wood));
        for (int row = 0; row < 4; ++row) {
            for (int column = 0; column < 5; ++column) {
                const Vector3 position(-8.0f + 4.0f * static_cast<float>(column), kCrateSize * 0.5f,
                                       6.0f + 4.0f * static_cast<float>(row));
                renderer.CreateInstance(crate, Placed(position, Vector3(kCrateSize, kCrateSize, kCrateSize)));
            }
        }

        // The three floating crates in front.
        const Vector3 size(kCrateSize, kCrateSize, kCrateSize);
        caster = renderer.CreateInstance(crate, Placed(CasterPosition(), size));
        hiddenCaster = renderer.CreateInstance(crate, Placed(HiddenCasterPosition(), size));
        hiddenCaster.SetHidden(true);
        noShadowCaster = renderer.CreateInstance(crate, Placed(NoShadowCasterPosition(), size));
        noShadowCaster.GetInstance().m_castShadow = 0;

        // The skeleton, four units tall, half way through its walk.
        const int32_t skeletonMesh = renderer.CreateCustomMesh("models/", "skeleton.fbx");
        const int32_t bones = renderer.CreateMaterial("textures/diff/skeleton.png", nullptr, nullptr, nullptr);
        const int32_t skeletonModel =
            renderer.CreateModel(static_cast<uint32_t>(skeletonMesh), static_cast<uint32_t>(bones));
        renderer.LoadAnimation(skeletonModel, "animation/anim_skele_walk.fbx");
        renderer.LoadAnimation(skeletonModel, "animation/anim_skele_run.fbx");
        const ztengine::MeshBounds& bounds = renderer.GetMeshAABB(static_cast<uint32_t>(skeletonMesh));
        const float height = bounds.m_max.y - bounds.m_min.y;
        const float scale = height > 0.0f ? 4.0f / height : 1.0f;
        ztmath::Basis facingCamera(Vector3(0.0f, 0.0f, -1.0f), Vector3(0.0f, 1.0f, 0.0f), true);
        skeleton = renderer.CreateInstance(
            skeletonModel, Placed(Vector3(0.0f, -bounds.m_min.y * scale, 1.0f), Vector3(scale, scale, scale), facingCamera));
        skeleton.SetAnimated(true);
        skeleton.SetAnimationIndex(0);
        skeleton.SetAnimationTime(0.5f);
        skeletonBones = renderer.GetBoneCount(static_cast<uint32_t>(skeletonMesh));

        // 1,000 small spheres far back, one instanced draw.
        const int32_t sphere = renderer.CreateSphereMesh(8, 8);
        const int32_t ice = renderer.CreateMaterial("textures/diff/ice.png", nullptr, nullptr, nullptr);
        sphereBuffer = renderer.CreateInstanceBuffer(sphere, 1000, ice);
        for (int i = 0; i < 1000; ++i) {
            const Vector3 position(-20.0f + static_cast<float>(i % 40), 0.4f, 24.0f + static_cast<float>(i / 40));
            renderer.AddInstanceToBuffer(static_cast<uint32_t>(sphereBuffer), position, ztmath::Basis(), 0.8f,
                                         ztmath::Vector2(0.0f, 0.0f));
        }
        renderer.SetInstanceBufferTint(static_cast<uint32_t>(sphereBuffer), ztmath::Vector4(1.0f, 0.85f, 0.7f, 1.0f));

        // Eight coloured lights among the crates.
        const Vector3 colors[8] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 0},
                                   {1, 0, 1}, {0, 1, 1}, {1, 0.5f, 0}, {0.5f, 0, 1}};
        for (int i = 0; i < 8; ++i) {
            const Vector3 position(-10.0f + 20.0f * static_cast<float>(i % 4) / 3.0f, 1.5f,
                                   8.0f + 8.0f * static_cast<float>(i / 4));
            renderer.AddPointLight(position, colors[i], 7.0f, 3.0f);
        }
    }

    static ztmath::Vector3 CasterPosition() { return {6.0f, kFloatHeight, -4.0f}; }
    static ztmath::Vector3 HiddenCasterPosition() { return {0.0f, kFloatHeight, -4.0f}; }
    static ztmath::Vector3 NoShadowCasterPosition() { return {-6.0f, kFloatHeight, -4.0f}; }
};

// Window pixel (bottom-left origin, as glReadPixels counts) of a world point.
inline ztmath::Vector3 WorldToPixel(ztengine::Graphics3D& renderer, const ztmath::Vector3& world, int width,
                                    int height)
{
    const ztmath::Vector4 clip =
        renderer.GetProjection() * (renderer.GetViewMatrix() * ztmath::Vector4(world.x, world.y, world.z, 1.0f));
    return ztmath::Vector3((clip.x / clip.w * 0.5f + 0.5f) * static_cast<float>(width),
                           (clip.y / clip.w * 0.5f + 0.5f) * static_cast<float>(height), clip.z / clip.w);
}

}  // namespace renderertest
