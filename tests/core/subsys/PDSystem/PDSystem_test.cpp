// Barrel pieces on a windowless application with the real physics world: the ten pieces' models,
// placement and outward flight, their three-second life, and the debug key.
#include <gtest/gtest.h>

#include <vector>

#include "core/MessagingSystem.h"
#include "core/math/Basis.h"
#include "core/subsys/PDSystem/PDSystem.h"
#include "core/subsys/sharedData/CombatRecords.h"
#include "support/CombatFixture.h"

#include <GLFW/glfw3.h>

namespace {

using ztengine::BarrelDestructionRecord;
using ztengine::PDSystem;
using ztmath::Vector3;

class PDSystemTest : public ::testing::Test {
protected:
    PDSystemTest()
    {
        for (int i = 1; i <= 5; ++i)
            pieceModels.push_back(app.AddNamedModel(("barrelpiecemodel" + std::to_string(i)).c_str()));
        pieces.Init();
    }

    zttest::CombatApp app;
    std::vector<int32_t> pieceModels;
    PDSystem pieces{&app};
};

TEST_F(PDSystemTest, BarrelBurstsIntoTenPiecesAroundItThatGoAfterThreeSeconds)
{
    BarrelDestructionRecord barrel;
    barrel.m_position = Vector3(10.0f, 2.0f, -4.0f);
    barrel.m_orientation.Yaw(90.0f);  // forward along +x
    const ztmath::Basis& axes = barrel.m_orientation;
    app.m_messagingSystem.SendEventByName("BARREL_DESTRUCTION", ztengine::IEvent(0, &barrel));
    ASSERT_EQ(pieces.m_pieces.size(), 10u);

    for (size_t i = 0; i < 10; ++i) {
        const PDSystem::Piece& piece = pieces.m_pieces[i];
        EXPECT_EQ(piece.m_instance.m_modelId, pieceModels[i % 5]) << i;
        const Vector3 offset = piece.m_instance.GetInstanceConst().m_transform.m_position - barrel.m_position;
        const float along = offset.Dot(axes.forward);
        EXPECT_GE(along, -1e-4f);
        EXPECT_LE(along, 5.0f + 1e-4f);
        EXPECT_LE(std::fabs(offset.Dot(axes.right)), 2.0f + 1e-4f);
        EXPECT_LE(std::fabs(offset.Dot(axes.up)), 2.0f + 1e-4f);
        EXPECT_EQ(piece.m_instance.GetInstanceConst().m_transform.m_scale, Vector3(2.0f, 2.0f, 2.0f));
        // Thrown outward at ten times its offset per second (mass 5, impulse 50 x offset).
        const Vector3 velocity = piece.m_body.GetLinearVelocity();
        EXPECT_NEAR((velocity - offset * 10.0f).Length(), 0.0f, 1e-3f) << i;
    }

    // The drawn piece follows its body; the last update that keeps it is the one its age reaches 3.
    const float dt = 0.25f;
    for (int frame = 1; frame <= 12; ++frame) {
        app.m_physicsEngine.Update(dt);
        pieces.Update(dt);
    }
    ASSERT_EQ(pieces.m_pieces.size(), 10u);
    const PDSystem::Piece& first = pieces.m_pieces.front();
    EXPECT_EQ(first.m_instance.GetInstanceConst().m_transform.m_position, first.m_body.GetPosition());
    EXPECT_FLOAT_EQ(first.m_age, 3.0f);
    app.m_physicsEngine.Update(dt);
    pieces.Update(dt);
    EXPECT_TRUE(pieces.m_pieces.empty());
}

TEST_F(PDSystemTest, KeyBBurstsABarrelFiveUnitsInFrontOfTheCamera)
{
    ztmath::Basis view;
    view.Yaw(-45.0f);
    app.renderer.SetCameraPosition(Vector3(1.0f, 2.0f, 3.0f));
    app.renderer.SetCameraBasis(view);
    std::vector<BarrelDestructionRecord> sent;
    app.m_messagingSystem.RegisterHandler("BARREL_DESTRUCTION", [&](const ztengine::IEvent& e) {
        sent.push_back(*static_cast<const BarrelDestructionRecord*>(e.m_data));
    });
    pieces.Update(1.0f / 60.0f);
    EXPECT_TRUE(sent.empty());
    app.input.Press(GLFW_KEY_B);
    pieces.Update(1.0f / 60.0f);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_NEAR((sent[0].m_position - (Vector3(1.0f, 2.0f, 3.0f) + view.forward * 5.0f)).Length(), 0.0f, 1e-5f);
    EXPECT_EQ(sent[0].m_orientation, view);
    EXPECT_EQ(pieces.m_pieces.size(), 10u);
}

}  // namespace
