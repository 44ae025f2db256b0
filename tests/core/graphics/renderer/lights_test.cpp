// Point lights: the list other systems fill, its nearest-first order and the 52 lights that
// reach the light program.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "RendererTestUtil.h"
#include "core/graphics/framework/PointLights.h"
#include "support/NullRenderer3D.h"

namespace {

using ztengine::PointLightArrays;
using ztengine::RenderPointLight;
using ztmath::Vector3;

RenderPointLight LightAt(const Vector3& position, float radius = 3.0f)
{
    RenderPointLight light;
    light.m_position = position;
    light.m_color = Vector3(1.0f, 0.5f, 0.25f);
    light.m_radius = radius;
    light.m_intensity = 2.0f;
    return light;
}

TEST(PointLights, AddPointLightAppendsPositionColourRadiusIntensity)
{
    zttest::NullRenderer3D renderer;
    renderer.AddPointLight({1.0f, 2.0f, 3.0f}, {0.5f, 0.5f, 1.0f}, 150.0f, 0.75f);
    ASSERT_EQ(renderer.m_pointLights.size(), 1u);
    const RenderPointLight& light = renderer.m_pointLights[0];
    EXPECT_EQ(light.m_position, Vector3(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(light.m_color, Vector3(0.5f, 0.5f, 1.0f));
    EXPECT_EQ(light.m_radius, 150.0f);
    EXPECT_EQ(light.m_intensity, 0.75f);
}

TEST(PointLights, SortedNearestToTheCameraFirst)
{
    zttest::NullRenderer3D renderer;
    renderer.SetCameraPosition({10.0f, 0.0f, 0.0f});
    for (float x : {0.0f, 30.0f, 9.0f, -20.0f, 12.5f})
        renderer.m_pointLights.push_back(LightAt({x, 0.0f, 0.0f}));
    renderer.SortPointLightsByDistance();
    std::vector<float> order;
    for (const RenderPointLight& light : renderer.m_pointLights)
        order.push_back(light.m_position.x);
    EXPECT_EQ(order, (std::vector<float>{9.0f, 12.5f, 0.0f, 30.0f, -20.0f}));

    // One light stays as it is; the frame sorts the list unless lighting is simple.
    std::vector<RenderPointLight> single{LightAt({5.0f, 5.0f, 5.0f})};
    ztengine::SortPointLightsByDistance(single, Vector3());
    EXPECT_EQ(single[0].m_position, Vector3(5.0f, 5.0f, 5.0f));

    renderer.m_pointLights = {LightAt({100.0f, 0.0f, 0.0f}), LightAt({11.0f, 0.0f, 0.0f})};
    renderer.m_simpleLighting = true;
    renderer.RenderFrame(0.0f);
    EXPECT_EQ(renderer.m_pointLights[0].m_position.x, 100.0f);
    renderer.m_simpleLighting = false;
    renderer.RenderFrame(0.0f);
    EXPECT_EQ(renderer.m_pointLights[0].m_position.x, 11.0f);
}

TEST(PointLights, OnlyThe52NearestReachTheLightProgram)
{
    std::mt19937 random(11);
    std::uniform_real_distribution<float> coordinate(-100.0f, 100.0f);
    const Vector3 camera(5.0f, 1.0f, -3.0f);
    std::vector<RenderPointLight> lights;
    for (int i = 0; i < 60; ++i)
        lights.push_back(LightAt({coordinate(random), coordinate(random), coordinate(random)}, static_cast<float>(i)));

    std::vector<float> distances;
    for (const RenderPointLight& light : lights)
        distances.push_back((light.m_position - camera).LengthSquared());
    std::sort(distances.begin(), distances.end());

    ztengine::SortPointLightsByDistance(lights, camera);
    ztmath::Basis basis;
    basis.Yaw(30.0f);
    const ztmath::Matrix4x4 view = ztmath::Matrix4x4::LookAt(camera, basis);
    PointLightArrays arrays;
    ASSERT_EQ(arrays.Fill(view, lights), 52u);
    EXPECT_EQ(arrays.m_count, 52u);
    for (uint32_t i = 0; i < 52; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ((lights[i].m_position - camera).LengthSquared(), distances[i]);
        renderertest::ExpectNear(arrays.m_positions[i].XYZ(), view.TransformPoint(lights[i].m_position), 1e-3f);
        EXPECT_EQ(arrays.m_positions[i].w, lights[i].m_radius);
        EXPECT_EQ(arrays.m_colors[i].XYZ(), lights[i].m_color);
        EXPECT_EQ(arrays.m_colors[i].w, lights[i].m_intensity);
    }

    // Fewer lights, then none: the count follows the list.
    lights.resize(5);
    EXPECT_EQ(arrays.Fill(view, lights), 5u);
    lights.clear();
    EXPECT_EQ(arrays.Fill(view, lights), 0u);
}

}  // namespace
