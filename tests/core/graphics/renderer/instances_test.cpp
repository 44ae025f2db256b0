// Drawn object instances: pools and the reuse of their slots, the handle's accessors, model
// changes and the live-instance counts that decide which models are drawn.
#include <gtest/gtest.h>

#include <vector>

#include "core/graphics/framework/Graphics3D.h"
#include "support/NullRenderer3D.h"

namespace {

using ztengine::InstanceData;
using ztengine::InstanceHandle;
using ztengine::InstanceTransform;
using ztmath::Vector3;

InstanceTransform At(float x)
{
    InstanceTransform transform;
    transform.m_position = Vector3(x, 0.0f, 0.0f);
    return transform;
}

class InstancesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const int32_t cube = renderer.CreateCubeMesh();
        modelA = renderer.CreateModel(static_cast<uint32_t>(cube), 0);
        modelB = renderer.CreateModel(static_cast<uint32_t>(renderer.CreateSphereMesh(4, 4)), 0);
    }

    zttest::NullRenderer3D renderer;
    int32_t modelA = -1;
    int32_t modelB = -1;
};

TEST_F(InstancesTest, ANewInstanceIsVisibleWithTheDefaults)
{
    InstanceTransform transform = At(2.0f);
    transform.m_scale = Vector3(1.0f, 2.0f, 3.0f);
    const InstanceHandle handle = renderer.CreateInstance(modelA, transform);
    EXPECT_EQ(handle.m_modelId, modelA);
    EXPECT_EQ(handle.m_poolIndex, 0);
    EXPECT_EQ(handle.m_renderContext, 0);
    EXPECT_EQ(handle.m_batchPool, &renderer.GetBatch(modelA));

    const InstanceData& data = handle.GetInstanceConst();
    EXPECT_EQ(data.m_transform.m_position, Vector3(2.0f, 0.0f, 0.0f));
    EXPECT_EQ(data.m_transform.m_scale, Vector3(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(data.m_tint.w, 0.0f);
    EXPECT_TRUE(data.m_boneMatrices.empty());
    EXPECT_EQ(data.m_castShadow, 1);
    EXPECT_EQ(data.m_tiling, ztmath::Vector2(1.0f, 1.0f));
    EXPECT_EQ(data.m_flags, 0);
    EXPECT_EQ(data.m_hidden, 0);
    EXPECT_EQ(data.m_fakeLighting, 0);
    EXPECT_EQ(data.m_animated, 0);
    EXPECT_EQ(data.m_animationTime, 0.0f);
    EXPECT_EQ(data.m_animationIndex, 0);
    EXPECT_EQ(renderer.GetModelEntityCount(static_cast<uint32_t>(modelA)), 1);
}

TEST_F(InstancesTest, FreedSlotsAreReusedOldestFirstAndOthersAppend)
{
    const InstanceHandle first = renderer.CreateInstance(modelA, At(0.0f));
    const InstanceHandle second = renderer.CreateInstance(modelA, At(1.0f));
    renderer.DestroyInstance(first);
    const InstanceHandle third = renderer.CreateInstance(modelA, At(2.0f));
    const InstanceHandle fourth = renderer.CreateInstance(modelA, At(3.0f));
    EXPECT_EQ(third.m_poolIndex, first.m_poolIndex);
    EXPECT_EQ(fourth.m_poolIndex, 2);

    // Freed in the order second, fourth: reused in that order.
    renderer.DestroyInstance(second);
    renderer.DestroyInstance(fourth);
    EXPECT_EQ(renderer.CreateInstance(modelA, At(4.0f)).m_poolIndex, second.m_poolIndex);
    EXPECT_EQ(renderer.CreateInstance(modelA, At(5.0f)).m_poolIndex, fourth.m_poolIndex);
    EXPECT_EQ(renderer.CreateInstance(modelA, At(6.0f)).m_poolIndex, 3);

    // The passes walk the used indices in ascending order.
    const std::vector<uint32_t> used(renderer.GetBatch(modelA).m_usedIndices.begin(),
                                     renderer.GetBatch(modelA).m_usedIndices.end());
    EXPECT_EQ(used, (std::vector<uint32_t>{0, 1, 2, 3}));
    EXPECT_EQ(renderer.GetModelEntityCount(static_cast<uint32_t>(modelA)), 4);
}

TEST_F(InstancesTest, AReusedSlotStartsFromTheDefaults)
{
    const InstanceHandle old = renderer.CreateInstance(modelA, At(0.0f));
    old.SetHidden(true);
    old.SetTint({1.0f, 0.0f, 0.0f, 0.8f});
    old.SetTiling({4.0f, 2.0f});
    old.SetEffectsOff(true);
    old.SetFakeLighting(true);
    old.SetAnimated(true);
    old.SetAnimationIndex(3);
    old.SetAnimationTime(0.5f);
    old.GetInstance().m_castShadow = 0;
    old.GetInstance().m_boneMatrices.resize(12);
    renderer.DestroyInstance(old);

    const InstanceHandle fresh = renderer.CreateInstance(modelA, At(9.0f));
    ASSERT_EQ(fresh.m_poolIndex, old.m_poolIndex);
    const InstanceData& data = fresh.GetInstanceConst();
    EXPECT_EQ(data.m_transform.m_position.x, 9.0f);
    EXPECT_EQ(data.m_hidden, 0);
    EXPECT_EQ(data.m_tint.x, 0.0f);
    EXPECT_EQ(data.m_tint.w, 0.0f);
    EXPECT_EQ(data.m_tiling, ztmath::Vector2(1.0f, 1.0f));
    EXPECT_EQ(data.m_flags, 0);
    EXPECT_EQ(data.m_fakeLighting, 0);
    EXPECT_EQ(data.m_animated, 0);
    EXPECT_EQ(data.m_animationIndex, 0);
    EXPECT_EQ(data.m_animationTime, 0.0f);
    EXPECT_EQ(data.m_castShadow, 1);
    EXPECT_TRUE(data.m_boneMatrices.empty());
}

TEST_F(InstancesTest, HandleAccessorsWriteTheInstance)
{
    const InstanceHandle handle = renderer.CreateInstance(modelA, At(0.0f));
    handle.SetAnimated(true);
    handle.SetAnimationIndex(2);
    handle.SetAnimationTime(0.75f);
    handle.SetTiling({3.0f, 0.5f});
    handle.SetTint({0.1f, 0.2f, 0.3f, 0.4f});
    EXPECT_EQ(handle.GetAnimationIndex(), 2);
    EXPECT_EQ(handle.GetAnimationTime(), 0.75f);
    EXPECT_EQ(handle.GetTiling(), ztmath::Vector2(3.0f, 0.5f));
    EXPECT_EQ(handle.GetInstanceConst().m_animated, 1);
    EXPECT_EQ(handle.GetInstanceConst().m_tint.z, 0.3f);

    // Effects off is one bit: true sets it, false clears it, neither toggles.
    struct Step {
        bool off;
        uint8_t flags;
    };
    for (const Step& step : {Step{false, 0}, Step{true, 1}, Step{true, 1}, Step{false, 0}, Step{false, 0}}) {
        handle.SetEffectsOff(step.off);
        EXPECT_EQ(handle.GetInstanceConst().m_flags, step.flags);
    }
    handle.GetInstance().m_flags = 0x81;
    handle.SetEffectsOff(false);
    EXPECT_EQ(handle.GetInstanceConst().m_flags, 0x80);
}

TEST_F(InstancesTest, ChangeInstanceModelKeepsTransformTilingAndEffectsFlag)
{
    for (const bool effectsOff : {false, true}) {
        SCOPED_TRACE(effectsOff);
        InstanceTransform transform = At(5.0f);
        transform.m_scale = Vector3(2.0f, 2.0f, 2.0f);
        transform.m_basis.Yaw(45.0f);
        InstanceHandle handle = renderer.CreateInstance(modelA, transform);
        handle.SetTiling({8.0f, 8.0f});
        handle.SetEffectsOff(effectsOff);
        const int32_t countA = renderer.GetModelEntityCount(static_cast<uint32_t>(modelA));
        const int32_t countB = renderer.GetModelEntityCount(static_cast<uint32_t>(modelB));

        const InstanceHandle returned = renderer.ChangeInstanceModel(handle, modelB);
        EXPECT_EQ(handle.m_modelId, modelB);
        EXPECT_EQ(returned.m_poolIndex, handle.m_poolIndex);
        EXPECT_EQ(handle.m_batchPool, &renderer.GetBatch(modelB));
        const InstanceData& data = handle.GetInstanceConst();
        EXPECT_EQ(data.m_transform.m_position, transform.m_position);
        EXPECT_EQ(data.m_transform.m_scale, transform.m_scale);
        EXPECT_EQ(data.m_transform.m_basis, transform.m_basis);
        EXPECT_EQ(data.m_tiling, ztmath::Vector2(8.0f, 8.0f));
        EXPECT_EQ((data.m_flags & InstanceData::kEffectsOff) != 0, effectsOff);
        EXPECT_EQ(renderer.GetModelEntityCount(static_cast<uint32_t>(modelA)), countA - 1);
        EXPECT_EQ(renderer.GetModelEntityCount(static_cast<uint32_t>(modelB)), countB + 1);
    }
}

TEST_F(InstancesTest, DestroyIgnoresHandlesThatNameNoLiveInstance)
{
    const InstanceHandle handle = renderer.CreateInstance(modelA, At(0.0f));
    renderer.CreateInstance(modelA, At(1.0f));
    renderer.DestroyInstance(handle);
    // A second destroy of the same handle leaves the other instance counted.
    renderer.DestroyInstance(handle);
    EXPECT_EQ(renderer.GetModelEntityCount(static_cast<uint32_t>(modelA)), 1);
    EXPECT_EQ(renderer.GetBatch(modelA).m_freeIndices.size(), 1u);

    // A model without any instance yet, and an empty handle.
    InstanceHandle other = handle;
    other.m_modelId = modelB;
    renderer.DestroyInstance(other);
    renderer.DestroyInstance(InstanceHandle());
    EXPECT_EQ(renderer.GetModelEntityCount(static_cast<uint32_t>(modelB)), 0);
    EXPECT_EQ(renderer.FindBatch(modelB, 0), nullptr);
}

TEST_F(InstancesTest, TheModelMatrixIsTranslationRotationScale)
{
    InstanceTransform transform = At(1.0f);
    transform.m_scale = Vector3(2.0f, 3.0f, 4.0f);
    transform.m_basis.Yaw(90.0f);
    const ztmath::Vector3 p = transform.ToMatrix().TransformPoint(Vector3(1.0f, 1.0f, 1.0f));
    const Vector3 expected = transform.m_position + transform.m_basis.right * 2.0f +
                             transform.m_basis.up * 3.0f + transform.m_basis.forward * 4.0f;
    EXPECT_NEAR(p.x, expected.x, 1e-5f);
    EXPECT_NEAR(p.y, expected.y, 1e-5f);
    EXPECT_NEAR(p.z, expected.z, 1e-5f);
}

using InstancesDeathTest = InstancesTest;

TEST_F(InstancesDeathTest, EmptyHandlesUnknownModelsAndMissingPoolsStop)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const InstanceHandle empty;
    EXPECT_DEATH(empty.SetHidden(true), "m_batchPool");
    EXPECT_DEATH(empty.GetAnimationTime(), "m_batchPool");
    EXPECT_DEATH(renderer.CreateInstance(7, At(0.0f)), "isValidInstance\\(instance\\)");
    EXPECT_DEATH(renderer.CreateInstance(-1, At(0.0f)), "isValidInstance\\(instance\\)");
    EXPECT_DEATH(renderer.GetBatch(modelB), "batchList != m_batchMap.cend\\(\\)");
}

}  // namespace
