// Instance buffers without GL: the per-instance matrix layout, the fixed capacity, and the change
// marks that decide what the next frame uploads.
#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "core/graphics/framework/InstanceBuffers.h"
#include "core/math/Matrix4x4.h"
#include "support/NullRenderer3D.h"

namespace {

using ztengine::GpuInstance;
using ztengine::InstanceBufferKey;
using ztengine::InstanceBufferStore;
using ztmath::Vector3;

struct Recorded {
    uint32_t key;
    uint32_t count;
    std::vector<float> firstMatrix;
};

std::vector<Recorded> Upload(InstanceBufferStore& store)
{
    std::vector<Recorded> uploads;
    store.UploadChanged([&](uint32_t key, const InstanceBufferKey&, const GpuInstance* records, uint32_t count) {
        uploads.push_back({key, count, std::vector<float>(records[0].m_matrix, records[0].m_matrix + 16)});
    });
    return uploads;
}

InstanceBufferKey Key(uint32_t capacity)
{
    InstanceBufferKey key;
    key.m_capacity = capacity;
    return key;
}

TEST(GpuInstance, MatrixIsTranslationRotationScaleColumnByColumn)
{
    static_assert(offsetof(GpuInstance, m_textureOffset) == 64);
    ztmath::Basis basis;
    basis.Yaw(30.0f);
    basis.Pitch(-20.0f);
    const Vector3 position(3.0f, -4.0f, 5.0f);
    const GpuInstance instance = ztengine::MakeGpuInstance(position, basis, 2.5f, {0.25f, 0.5f});

    const ztmath::Matrix4x4 expected = ztmath::Matrix4x4::MakeTranslation(position) *
                                       ztmath::Matrix4x4::FromAxes(basis.right, basis.up, basis.forward, Vector3()) *
                                       ztmath::Matrix4x4::MakeScale(Vector3(2.5f, 2.5f, 2.5f));
    // Our matrices are row-major; the record holds column c at floats 4c .. 4c + 3.
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column)
            EXPECT_NEAR(instance.m_matrix[4 * column + row], expected[4 * row + column], 1e-6f)
                << "row " << row << " column " << column;
    }
    EXPECT_EQ(instance.m_matrix[12], 3.0f);
    EXPECT_EQ(instance.m_matrix[13], -4.0f);
    EXPECT_EQ(instance.m_matrix[14], 5.0f);
    EXPECT_EQ(instance.m_matrix[15], 1.0f);
    EXPECT_EQ(instance.m_textureOffset[0], 0.25f);
    EXPECT_EQ(instance.m_textureOffset[1], 0.5f);
}

TEST(InstanceBufferStore, OnlyChangedListsWithInstancesAreUploaded)
{
    InstanceBufferStore store;
    const uint32_t a = store.Add(Key(4));
    const uint32_t b = store.Add(Key(16));
    // New buffers are marked, but an empty list has nothing to write.
    EXPECT_TRUE(store.IsDirty(a));
    EXPECT_TRUE(Upload(store).empty());
    EXPECT_FALSE(store.IsDirty(a));
    EXPECT_FALSE(store.IsDirty(b));

    const GpuInstance one = ztengine::MakeGpuInstance(Vector3(1.0f, 0.0f, 0.0f), {}, 1.0f, {});
    EXPECT_TRUE(store.AddInstance(b, one));
    EXPECT_TRUE(store.AddInstance(b, one));
    std::vector<Recorded> uploads = Upload(store);
    ASSERT_EQ(uploads.size(), 1u);
    EXPECT_EQ(uploads[0].key, b);
    EXPECT_EQ(uploads[0].count, 2u);
    // Nothing changed since: nothing to write.
    EXPECT_TRUE(Upload(store).empty());

    // Hiding and tinting are drawing state, not instance data.
    store.SetHidden(b, true);
    store.SetTint(b, {0.5f, 0.5f, 0.5f, 1.0f});
    EXPECT_TRUE(Upload(store).empty());
    EXPECT_EQ(store.GetInstanceCount(b), 2u);
    EXPECT_EQ(store.GetKey(b).m_visible, 0);

    // Cleared and refilled within one frame: exactly the new ones are written.
    store.Clear(b);
    for (int i = 0; i < 10; ++i)
        store.AddInstance(b, ztengine::MakeGpuInstance(Vector3(7.0f, 0.0f, 0.0f), {}, 1.0f, {}));
    uploads = Upload(store);
    ASSERT_EQ(uploads.size(), 1u);
    EXPECT_EQ(uploads[0].count, 10u);
    EXPECT_EQ(uploads[0].firstMatrix[12], 7.0f);

    // Cleared and left empty: nothing written, the list stays empty.
    store.Clear(b);
    EXPECT_TRUE(Upload(store).empty());
    EXPECT_EQ(store.GetInstanceCount(b), 0u);
}

TEST(InstanceBufferStore, FullBuffersAndInvalidKeysChangeNothing)
{
    InstanceBufferStore store;
    const uint32_t key = store.Add(Key(3));
    const GpuInstance instance = ztengine::MakeGpuInstance(Vector3(), {}, 1.0f, {});
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(store.AddInstance(key, instance));
    Upload(store);
    EXPECT_FALSE(store.AddInstance(key, instance));
    EXPECT_EQ(store.GetInstanceCount(key), 3u);
    EXPECT_FALSE(store.IsDirty(key));

    EXPECT_FALSE(store.AddInstance(1, instance));
    EXPECT_EQ(store.GetInstanceCount(1), 0u);
    EXPECT_EQ(store.GetCapacity(0), 3u);
    EXPECT_EQ(store.GetCapacity(1), 0u);
    EXPECT_EQ(store.GetCapacity(-1), 0u);
    store.Clear(7);
    store.SetHidden(7, true);
    EXPECT_EQ(store.GetBufferCount(), 1u);
}

TEST(RendererInstanceBuffers, BuffersHoldTheMeshMaterialAndRecordsThroughGraphics3D)
{
    zttest::NullRenderer3D renderer;
    ztengine::Graphics3D& g = renderer;
    g.CreateCubeMesh();
    const int32_t mesh = g.CreateSphereMesh(4, 4);
    const int32_t key = g.CreateInstanceBuffer(mesh, 2, 0);
    EXPECT_EQ(key, 0);
    EXPECT_TRUE(g.IsValidInstanceBuffer(0));
    EXPECT_FALSE(g.IsValidInstanceBuffer(1));
    EXPECT_EQ(g.GetInstanceCapacity(key), 2u);
    EXPECT_EQ(g.GetInstanceCapacity(1), 0u);
    EXPECT_EQ(g.GetInstanceCapacity(-1), 0u);

    const InstanceBufferKey& record = renderer.GetInstanceBufferStore().GetKey(0);
    EXPECT_EQ(record.m_vao, renderer.GetRawModel(static_cast<uint32_t>(mesh)).m_vao);
    EXPECT_EQ(record.m_indexCount, renderer.GetRawModel(static_cast<uint32_t>(mesh)).m_indexCount);
    EXPECT_EQ(record.m_vboSize, 2u * 72u);
    EXPECT_EQ(record.m_tint.x, 1.0f);
    EXPECT_EQ(record.m_tint.w, 1.0f);
    EXPECT_EQ(record.m_visible, 1);

    EXPECT_TRUE(g.AddInstanceToBuffer(0, {1.0f, 2.0f, 3.0f}, {}, 1.0f, {}));
    EXPECT_TRUE(g.AddInstanceToBuffer(0, {1.0f, 2.0f, 3.0f}, {}, 1.0f, {}));
    EXPECT_FALSE(g.AddInstanceToBuffer(0, {1.0f, 2.0f, 3.0f}, {}, 1.0f, {}));
    EXPECT_FALSE(g.AddInstanceToBuffer(5, {}, {}, 1.0f, {}));
    EXPECT_EQ(g.GetInstanceCount(0), 2u);
    EXPECT_EQ(g.GetInstanceCount(5), 0u);

    // The frame writes the two records once.
    g.RenderFrame(0.016f);
    ASSERT_EQ(renderer.GetLastUploads().size(), 1u);
    EXPECT_EQ(renderer.GetLastUploads()[0].count, 2u);
    g.RenderFrame(0.016f);
    EXPECT_TRUE(renderer.GetLastUploads().empty());
}

TEST(RendererInstanceBufferDeathTest, MeshZeroAndBadKeysStop)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    zttest::NullRenderer3D renderer;
    renderer.CreateCubeMesh();
    renderer.CreateCubeMesh();
    EXPECT_DEATH(renderer.CreateInstanceBuffer(0, 8, 0), "meshId > 0 && meshId < static_cast<int>\\(m_rawModels.size\\(\\)\\)");
    EXPECT_DEATH(renderer.CreateInstanceBuffer(2, 8, 0), "meshId > 0");
    EXPECT_DEATH(renderer.CreateInstanceBuffer(1, 8, 3), "m_materials.size\\(\\)");
    EXPECT_DEATH(renderer.SetInstanceBufferTint(0, {1.0f, 0.0f, 0.0f, 1.0f}), "keyId < m_instanceBuffers.size\\(\\)");
}

}  // namespace
