// The particle records on the CPU: atlas frames and offsets, the GPU record, camera facing, and
// the list operations with their bounds answers.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "core/graphics/framework/particles/ParticleSystem.h"
#include "core/math/Basis.h"
#include "core/math/Matrix4x4.h"

namespace {

using ztengine::AtlasFrame;
using ztengine::ParticleDescription;
using ztengine::ParticleGpuInstance;
using ztengine::ParticleSystem;
using ztengine::ParticleSystemList;
using ztmath::Vector3;

TEST(ParticleAtlasTest, FrameCountLeavesOutTheLastCell)
{
    const std::pair<uint32_t, uint32_t> cases[] = {{0, 0}, {1, 1}, {2, 3}, {4, 15}, {8, 63}};
    for (const auto& [rows, frames] : cases)
        EXPECT_EQ(ztengine::ParticleFrameCount(rows), frames) << "rows " << rows;
}

TEST(ParticleAtlasTest, LifeFractionPicksFrameNextFrameAndBlend)
{
    struct Case {
        float life;
        uint32_t frameCount;
        uint32_t current, next;
        float blend;
    };
    const Case cases[] = {
        {0.0f, 15, 0, 1, 0.0f},
        {1.0f, 15, 15, 15, 0.0f},   // the end of life shows frame c and stays there
        {0.5f, 15, 7, 8, 0.5f},
        {13.5f / 15.0f, 15, 13, 14, 0.5f},
        {14.5f / 15.0f, 15, 14, 14, 0.5f},  // the last frame has no next one to blend into
        {0.0f, 1, 0, 0, 0.0f},     // rows 1: a single frame
        {0.7f, 1, 0, 0, 0.7f},
        {0.25f, 3, 0, 1, 0.75f},
        // Outside [0, 1] the animation holds at its ends instead of reading past the atlas.
        {-0.5f, 15, 0, 1, 0.0f},
        {3.0f, 15, 15, 15, 0.0f},
        {std::numeric_limits<float>::quiet_NaN(), 15, 0, 1, 0.0f},
    };
    for (const Case& c : cases) {
        const AtlasFrame frame = ztengine::SelectAtlasFrame(c.life, c.frameCount);
        SCOPED_TRACE(testing::Message() << "life " << c.life << " of " << c.frameCount << " frames");
        EXPECT_EQ(frame.m_current, c.current);
        EXPECT_EQ(frame.m_next, c.next);
        EXPECT_NEAR(frame.m_blend, c.blend, 1e-5f);
    }
}

TEST(ParticleAtlasTest, CellsRunAlongTheBottomRowFirst)
{
    struct Case {
        uint32_t cell, rows;
        float u, v;
    };
    const Case cases[] = {
        {0, 4, 0.0f, 0.0f}, {1, 4, 0.25f, 0.0f}, {3, 4, 0.75f, 0.0f}, {4, 4, 0.0f, 0.25f},
        {14, 4, 0.5f, 0.75f}, {15, 4, 0.75f, 0.75f}, {0, 1, 0.0f, 0.0f}, {2, 2, 0.0f, 0.5f},
    };
    for (const Case& c : cases) {
        const ztmath::Vector2 offset = ztengine::AtlasCellOffset(c.cell, c.rows);
        EXPECT_FLOAT_EQ(offset.x, c.u) << "cell " << c.cell << " rows " << c.rows;
        EXPECT_FLOAT_EQ(offset.y, c.v) << "cell " << c.cell << " rows " << c.rows;
    }
}

// The model matrix of a record back in our row-major form.
ztmath::Matrix4x4 ModelOf(const ParticleGpuInstance& instance)
{
    ztmath::Matrix4x4 columns;
    for (int i = 0; i < 16; ++i)
        columns[i] = instance.m_matrix[i];
    return columns.Transpose();
}

void ExpectNear(const Vector3& actual, const Vector3& expected, float tolerance = 1e-5f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

TEST(ParticleGpuRecordTest, RecordHoldsPlacementFramesRowsAndBlend)
{
    // Rows 4, life 0.5: f = 7.5, frame 7 at (0.75, 0.25), next 8 at (0, 0.5).
    const ParticleGpuInstance record =
        ztengine::MakeParticleInstance(Vector3(1.0f, 2.0f, 3.0f), 90.0f, 2.0f, 0.5f, 15, 4);
    EXPECT_FLOAT_EQ(record.m_offset[0], 0.75f);
    EXPECT_FLOAT_EQ(record.m_offset[1], 0.25f);
    EXPECT_FLOAT_EQ(record.m_nextOffset[0], 0.0f);
    EXPECT_FLOAT_EQ(record.m_nextOffset[1], 0.5f);
    EXPECT_FLOAT_EQ(record.m_rows, 4.0f);
    EXPECT_FLOAT_EQ(record.m_blend, 0.5f);

    // Column-major: the translation is the fourth column, floats 12 to 14.
    EXPECT_FLOAT_EQ(record.m_matrix[12], 1.0f);
    EXPECT_FLOAT_EQ(record.m_matrix[13], 2.0f);
    EXPECT_FLOAT_EQ(record.m_matrix[14], 3.0f);
    EXPECT_FLOAT_EQ(record.m_matrix[15], 1.0f);

    // Rolled 90 degrees and scaled by 2: the quad's x axis turns as the basis's right does.
    ztmath::Basis rolled;
    rolled.Roll(90.0f);
    const ztmath::Matrix4x4 model = ModelOf(record);
    ExpectNear(model.TransformDirection(Vector3(1.0f, 0.0f, 0.0f)), rolled.right * 2.0f);
    ExpectNear(model.TransformDirection(Vector3(0.0f, 1.0f, 0.0f)), rolled.up * 2.0f);
}

TEST(ParticleGpuRecordTest, UpdateTurnsTheQuadToFaceTheCamera)
{
    ParticleSystem system(4, 8);
    ASSERT_TRUE(system.Emit(Vector3(5.0f, 0.0f, -2.0f), 0.0f, 3.0f, 0.5f));
    const float offsetsBefore[4] = {system.m_instances[0].m_offset[0], system.m_instances[0].m_offset[1],
                                    system.m_instances[0].m_nextOffset[0], system.m_instances[0].m_nextOffset[1]};

    ztmath::Basis camera;
    camera.Yaw(35.0f);
    camera.Pitch(-20.0f);
    const ztmath::Matrix4x4 view = ztmath::Matrix4x4::LookAt(Vector3(1.0f, 2.0f, 3.0f), camera);
    ParticleSystemList list;
    list.Add(system);
    list.Update(view);

    const ParticleGpuInstance& record = list.Get(0).m_instances[0];
    const ztmath::Matrix4x4 model = ModelOf(record);
    // In view space the quad's axes are the screen's x and y, scaled, and it keeps its place.
    const ztmath::Matrix4x4 modelView = view * model;
    ExpectNear(modelView.TransformDirection(Vector3(1.0f, 0.0f, 0.0f)), Vector3(3.0f, 0.0f, 0.0f), 1e-4f);
    ExpectNear(modelView.TransformDirection(Vector3(0.0f, 1.0f, 0.0f)), Vector3(0.0f, 3.0f, 0.0f), 1e-4f);
    ExpectNear(model.TransformPoint(Vector3(0.0f, 0.0f, 0.0f)), Vector3(5.0f, 0.0f, -2.0f));
    // Camera facing leaves the frame choice alone.
    EXPECT_EQ(record.m_offset[0], offsetsBefore[0]);
    EXPECT_EQ(record.m_offset[1], offsetsBefore[1]);
    EXPECT_EQ(record.m_nextOffset[0], offsetsBefore[2]);
    EXPECT_EQ(record.m_nextOffset[1], offsetsBefore[3]);
    EXPECT_FLOAT_EQ(record.m_blend, 0.5f);
}

// Particles told apart by their x position.
std::vector<float> Xs(const ParticleSystem& system)
{
    std::vector<float> xs;
    for (size_t i = 0; i < system.m_particles.size(); ++i) {
        xs.push_back(system.m_particles[i].m_position.x);
        // The GPU records stay in step with the particle records.
        EXPECT_FLOAT_EQ(ModelOf(system.m_instances[i]).TransformPoint(Vector3()).x, xs.back()) << i;
    }
    return xs;
}

class ParticleListTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_list.Add(ParticleSystem(4, 3));
        m_list.Add(ParticleSystem(1, 100));
    }

    ParticleSystemList m_list;
};

TEST_F(ParticleListTest, EmitFillsUpToCapacityThenRefuses)
{
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(m_list.Emit(0, Vector3(float(i), 0, 0), 0.0f, 1.0f, 0.0f)) << i;
    EXPECT_FALSE(m_list.Emit(0, Vector3(9, 0, 0), 0.0f, 1.0f, 0.0f));
    EXPECT_EQ(m_list.GetCount(0), 3u);
    EXPECT_EQ(m_list.GetCapacity(0), 3u);
    EXPECT_EQ(Xs(m_list.Get(0)), (std::vector<float>{0, 1, 2}));
    EXPECT_EQ(m_list.Get(0).m_particles[1].m_alive, 1u);
}

TEST_F(ParticleListTest, InvalidIdsAndIndicesAnswerFalseOrZeroAndChangeNothing)
{
    ASSERT_TRUE(m_list.Emit(0, Vector3(1, 0, 0), 0.0f, 1.0f, 0.0f));
    const ParticleDescription one{};
    for (uint32_t bad : {2u, 3u, 0xFFFFFFFFu}) {
        EXPECT_FALSE(m_list.IsValid(bad));
        EXPECT_FALSE(m_list.Emit(bad, Vector3(), 0.0f, 1.0f, 0.0f));
        EXPECT_FALSE(m_list.Set(bad, 0, Vector3(), 0.0f, 1.0f, 0.0f, 1));
        EXPECT_FALSE(m_list.Remove(bad, 0));
        EXPECT_FALSE(m_list.SetAll(bad, &one, 1));
        EXPECT_EQ(m_list.GetCount(bad), 0u);
        EXPECT_EQ(m_list.GetCapacity(bad), 0u);
        m_list.Clear(bad);  // an id equal to the system count does nothing
    }
    EXPECT_FALSE(m_list.Set(0, 1, Vector3(), 0.0f, 1.0f, 0.0f, 1));
    EXPECT_FALSE(m_list.Remove(0, 1));
    EXPECT_EQ(m_list.GetCount(0), 1u);
    EXPECT_EQ(m_list.GetSystemCount(), 2u);
}

TEST_F(ParticleListTest, RemoveKeepsTheOrderOfTheRest)
{
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(m_list.Emit(0, Vector3(float(i), 0, 0), 0.0f, 1.0f, 0.0f));
    EXPECT_TRUE(m_list.Remove(0, 0));
    EXPECT_EQ(Xs(m_list.Get(0)), (std::vector<float>{1, 2}));
    EXPECT_TRUE(m_list.Emit(0, Vector3(3, 0, 0), 0.0f, 1.0f, 0.0f));
    EXPECT_TRUE(m_list.Remove(0, 1));
    EXPECT_EQ(Xs(m_list.Get(0)), (std::vector<float>{1, 3}));
}

TEST_F(ParticleListTest, ParticleSetDeadStaysUntilTheNextUpdateWhichKeepsTheOrder)
{
    for (int i = 0; i < 40; ++i)
        ASSERT_TRUE(m_list.Emit(1, Vector3(float(i), 0, 0), 0.0f, 1.0f, 0.0f));
    std::vector<float> survivors;
    for (uint32_t i = 0; i < 40; ++i) {
        const bool dies = i % 3 != 1;  // runs of dead particles, the first and last among them
        ASSERT_TRUE(m_list.Set(1, i, Vector3(float(i), 0, 0), 0.0f, 1.0f, 0.0f, dies ? 0 : 1));
        if (!dies)
            survivors.push_back(float(i));
    }
    EXPECT_EQ(m_list.GetCount(1), 40u);
    EXPECT_EQ(m_list.Get(1).m_particles[0].m_alive, 0u);

    m_list.Update(ztmath::Matrix4x4());
    EXPECT_EQ(Xs(m_list.Get(1)), survivors);
    // A system whose particles all die is emptied.
    for (uint32_t i = 0; i < m_list.GetCount(1); ++i)
        ASSERT_TRUE(m_list.Set(1, i, Vector3(), 0.0f, 1.0f, 0.0f, 0));
    m_list.Update(ztmath::Matrix4x4());
    EXPECT_EQ(m_list.GetCount(1), 0u);
}

TEST_F(ParticleListTest, SetAllReplacesEverythingWithoutACapacityCheck)
{
    ASSERT_TRUE(m_list.Emit(0, Vector3(7, 0, 0), 0.0f, 1.0f, 0.0f));
    std::vector<ParticleDescription> input(5);
    for (size_t i = 0; i < input.size(); ++i) {
        input[i].m_position = Vector3(float(i), 0, 0);
        input[i].m_maxLife = 2.0f;
        input[i].m_scale = 1.0f;
    }
    input[0].m_life = 0.0f;  // fraction 0: frame 0
    input[1].m_life = 1.0f;  // fraction 0.5: frame 7.5
    input[2].m_life = 5.0f;  // more than the maximum: fraction 1, frame 15
    input[3].m_maxLife = 0.0f;  // no lifetime: the first frame, not 0 / 0

    EXPECT_TRUE(m_list.SetAll(0, input.data(), 5));
    const ParticleSystem& system = m_list.Get(0);
    EXPECT_EQ(system.GetCount(), 5u);
    EXPECT_EQ(system.GetDrawCount(), 3u);  // only the capacity is uploaded and drawn
    EXPECT_EQ(Xs(system), (std::vector<float>{0, 1, 2, 3, 4}));
    EXPECT_FLOAT_EQ(system.m_instances[0].m_offset[0], 0.0f);
    EXPECT_FLOAT_EQ(system.m_instances[1].m_blend, 0.5f);
    EXPECT_FLOAT_EQ(system.m_instances[2].m_offset[0], 0.75f);
    EXPECT_FLOAT_EQ(system.m_instances[2].m_offset[1], 0.75f);
    EXPECT_FALSE(std::isnan(system.m_instances[3].m_blend));
    EXPECT_FLOAT_EQ(system.m_instances[3].m_offset[0], 0.0f);
    EXPECT_EQ(system.m_particles[4].m_alive, 1u);
    // Full beyond capacity: emitting is refused until the list is below it again.
    EXPECT_FALSE(m_list.Emit(0, Vector3(), 0.0f, 1.0f, 0.0f));

    EXPECT_TRUE(m_list.SetAll(0, input.data(), 0));
    EXPECT_EQ(m_list.GetCount(0), 0u);
}

}  // namespace
