// One road through the running game in its own window (software GL on a virtual display): a
// generated red floor is handed to the play state as the dungeon builder would, and the frame
// shows the health and stamina bars, the minimap with its fog, arrow and an enemy dot, the
// exit's rings, torch flames and a shrine's glow; a shot costs stamina; TAB opens the big map and closes it again;
// at health 0 the bars send the player to the death state, once. The pictures are saved under
// "test-artefacts/" next to the tests' scratch folder for a look.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/Win32App.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/gui/Gui.h"
#include "core/subsys/DungeonGenerator/DungeonMapGenerator.h"
#include "core/subsys/MinimapSubsystem/MinimapSubsystem.h"
#include "core/subsys/StaminaDurabilitySystem/StaminaDurabilitySystem.h"
#include "core/subsys/WorldParticles/DungeonPortalParticleGenerator.h"
#include "core/subsys/WorldParticles/ShrineParticleSystem.h"
#include "core/subsys/WorldParticles/TorchParticleSystem.h"
#include "core/subsys/sharedData/AISpawner/AISpawner.h"
#include "core/subsys/sharedData/LevelRecords.h"
#include "core/subsys/sharedData/PlayerRecords.h"
#include "core/subsys/sharedData/PlayerStatus.h"
#include "core/subsys/sharedData/ShrineRecords.h"
#include "core/subsys/sharedData/UpgradeQueues.h"
#include "support/AppFixture.h"
#include "support/GLTestContext.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using ztmath::Vector3;

struct Rgb {
    double r = 0.0, g = 0.0, b = 0.0;
};

// Mean colour of a rectangle given from the top-left of the window.
Rgb MeanColour(const std::vector<uint8_t>& pixels, int width, int height, int x0, int y0, int w, int h)
{
    Rgb sum;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) {
            const size_t i = (static_cast<size_t>(height - 1 - y) * width + x) * 4;
            sum.r += pixels[i];
            sum.g += pixels[i + 1];
            sum.b += pixels[i + 2];
        }
    const double n = static_cast<double>(w) * h;
    return {sum.r / n, sum.g / n, sum.b / n};
}

double Difference(const Rgb& a, const Rgb& b)
{
    return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
}

class HudInPlay : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_display = zttest::PrivateDisplay(1280, 1024);
        ASSERT_FALSE(m_display.empty()) << "no Xvfb";
        m_onDisplay = std::make_unique<zttest::ScopedDisplay>(m_display);
        zttest::CaptureStdout([&] { m_game = std::make_unique<zttest::AppFixture>(); });
        ASSERT_TRUE(m_game->Started()) << m_game->InitError();
    }
    void TearDown() override
    {
        if (m_game)
            zttest::CaptureStdout([&] { m_game->Shutdown(); });
        m_game.reset();
        m_onDisplay.reset();
    }

    ztengine::Win32App& App() { return m_game->App(); }
    std::string State() { return App().GetStateName(App().GetCurrentState()); }
    int Width() { return static_cast<int>(App().m_windowInfo.windowWidth); }
    int Height() { return static_cast<int>(App().m_windowInfo.windowHeight); }
    void Run(int frames)
    {
        zttest::CaptureStdout([&] { m_game->RunFrames(frames); });
    }
    std::vector<uint8_t> Picture(const std::string& name)
    {
        Run(1);
        glReadBuffer(GL_BACK);
        std::vector<uint8_t> pixels = zttest::GLTestContext::ReadPixels(0, 0, Width(), Height());
        const fs::path path = fs::path(ZT_TEST_TMP_DIR).parent_path() / "test-artefacts" / (name + ".png");
        zttest::GLTestContext::SavePng(path, pixels, Width(), Height());
        return pixels;
    }
    template <class T>
    T& Shared(const char* name)
    {
        return *App().GetSharedData<T>(name);
    }

    std::string m_display;
    std::unique_ptr<zttest::ScopedDisplay> m_onDisplay;
    std::unique_ptr<zttest::AppFixture> m_game;
};

TEST_F(HudInPlay, ADungeonFloorShowsBarsMapAndEffectsTabEnlargesTheMapAndDeathIsTakenOnce)
{
    // This road places the camera and carries out the fades by hand; in the whole game the
    // player's camera and the fade systems now do both, so its steps need rewriting around them.
    GTEST_SKIP() << "road to be rewritten for the player's camera and the fade systems";
    ASSERT_EQ(Width(), 1280);
    ASSERT_EQ(Height(), 800);
    // Loading without a frame per job; the frame that finds the queue empty initialises the
    // systems, whose own jobs are worked off as well.
    zttest::CaptureStdout([&] {
        for (int wave = 0; wave < 2; ++wave) {
            while (App().HasPendingJobs())
                App().RunNextJob();
            m_game->RunFrames(1);
        }
    });
    ASSERT_TRUE(App().AreJobsDone());
    // The debug GUI's menu bar would lie over the health bar and the map's hint.
    ztengine::Gui::Instance().SetEnabled(false);

    // A red floor as the builder leaves it: the grid, a fresh explored mask, the exit portal,
    // torches and a blessing chest; the player at the up stairs, looking down +z.
    ztengine::DungeonMapGenerator generator("levels/");
    generator.Seed(7);
    bool built = false;
    zttest::CaptureStdout([&] { built = generator.GenerateFloor(1, false); });
    ASSERT_TRUE(built);
    auto& layout = Shared<ztengine::LevelLayout>("LevelLayout");
    generator.CopyRows(layout.m_rows);
    layout.m_explored.assign(layout.m_rows.size(), ztengine::CountedVector<char>(79, 0));
    layout.m_width = 79;
    layout.m_height = 39;
    layout.m_valid = true;
    int startRow = -1, startColumn = -1;
    for (int r = 0; r < 39 && startRow < 0; ++r)
        for (int c = 0; c < 79; ++c)
            if (layout.m_rows[r][c] == '*') {
                startRow = r;
                startColumn = c;
                break;
            }
    ASSERT_GE(startRow, 0);
    const Vector3 eye(10.0f * startColumn + 5.0f, 12.0f, 10.0f * startRow + 5.0f);
    App().GetGraphics3D()->SetCameraPosition(eye);

    auto& level = Shared<ztengine::LevelState>("LevelState");
    level.m_level = 1;
    level.m_floor = 2;
    auto& portal = Shared<ztengine::PortalLocation>("PortalLocation");
    portal.m_position = eye + Vector3(0.0f, -10.0f, 35.0f);
    portal.m_valid = true;
    auto& torches = Shared<ztengine::TorchSharedData>("TorchSharedData");
    for (float side : {-9.0f, 9.0f}) {
        ztengine::TorchRecord torch;
        torch.m_scale = 1.0f;
        torch.m_position = eye + Vector3(side, 0.0f, 16.0f);
        torch.m_flameDirection = Vector3(0.0f, 1.0f, 0.0f);
        torch.m_kind = ztengine::TorchParticleSystem::kFlameKind;
        torches.m_torches.push_back(torch);
    }
    auto& shrines = Shared<ztengine::Shrine2Container>("Shrine2Container");
    ztengine::BlessingShrine shrine;
    shrine.m_position = eye + Vector3(-14.0f, -10.0f, 40.0f);
    shrine.m_active = true;
    shrines.m_shrines.push_back(shrine);
    auto& spawner = Shared<ztengine::AISpawner>("AISpawner");
    spawner.m_enemyPositions.push_back(eye + Vector3(-15.0f, 0.0f, 12.0f));

    auto* minimap = m_game->FindSystem<ztengine::MinimapSubsystem>();
    auto* bars = m_game->FindSystem<ztengine::StaminaDurabilitySystem>();
    auto* rings = m_game->FindSystem<ztengine::DungeonPortalParticleGenerator>();
    auto* flames = m_game->FindSystem<ztengine::TorchParticleSystem>();
    auto* glow = m_game->FindSystem<ztengine::ShrineParticleSystem>();
    ASSERT_TRUE(minimap && bars && rings && flames && glow);

    App().ChangeState("GAMEPLAY_STATE");
    Run(2);
    ASSERT_EQ(State(), "GAMEPLAY_STATE");
    // Read afresh each time: the sprite list may grow and move.
    auto mapSprite = [&]() { return App().GetGraphics2D()->GetSprites()[minimap->m_mapSprite.GetIndex()]; };
    EXPECT_FALSE(mapSprite().visible);  // shown from the way into a dungeon on
    const std::vector<uint8_t> withoutMap = Picture("hud-0-play-before-the-map");

    App().m_messagingSystem.SendEventByName("EXIT_OVERWORLD", ztengine::IEvent());
    Run(125);  // past the first rings at 2 s
    ASSERT_EQ(State(), "GAMEPLAY_STATE");
    EXPECT_TRUE(mapSprite().visible);
    EXPECT_EQ(rings->m_particles.size(), 40u);
    EXPECT_FALSE(flames->m_flame.empty());
    EXPECT_FALSE(glow->m_fountain.empty());

    // The map: fog over the unseen floor, the seen 8 x 8 cells around the start, the enemy's
    // dot, the arrow and the border.
    int fog = 0, enemies = 0, players = 0, borders = 0;
    for (const ztengine::MinimapDraw& d : minimap->m_drawList) {
        fog += d.tile == ztengine::kMinimapFog;
        enemies += d.tile == ztengine::kMinimapEnemy;
        players += d.tile == ztengine::kMinimapPlayer;
        borders += d.tile == ztengine::kMinimapBorder;
    }
    EXPECT_GE(fog, 79 * 39 - 64);
    EXPECT_EQ(enemies, 1);
    EXPECT_EQ(players, 1);
    EXPECT_EQ(borders, 1);
    EXPECT_EQ(layout.m_explored[startRow][startColumn], 1);

    const std::vector<uint8_t> play = Picture("hud-1-dungeon-bars-map-and-effects");
    // Health fill (x 20 to 160, rows 11 to 49 from the top) is red, the stamina fill below it
    // green; the map's corner has changed from the frame without it.
    const Rgb health = MeanColour(play, Width(), Height(), 50, 22, 60, 16);
    EXPECT_GT(health.r, health.g + 60.0);
    EXPECT_GT(health.r, health.b + 60.0);
    const Rgb stamina = MeanColour(play, Width(), Height(), 50, 62, 60, 16);
    EXPECT_GT(stamina.g, stamina.r);
    EXPECT_GT(stamina.g, stamina.b + 40.0);
    EXPECT_GT(Difference(MeanColour(play, Width(), Height(), 990, 20, 260, 160),
                         MeanColour(withoutMap, Width(), Height(), 990, 20, 260, 160)), 15.0);

    // A shot of the weapon costs stamina, which then regenerates.
    auto& status = Shared<ztengine::PlayerStatus>("PlayerStatus");
    const float full = status.m_stamina;
    ASSERT_EQ(full, status.m_maxStamina);
    m_game->PressMouseButton(0);
    Run(4);
    m_game->ReleaseMouseButton(0);
    Run(1);
    EXPECT_GE(status.m_stamina, full - status.m_staminaCostPerAttack);
    EXPECT_LE(status.m_stamina, full - status.m_staminaCostPerAttack + 5.0f * status.m_staminaRecoveryRate / 60.0f + 1e-3f);

    // TAB (on release) opens the big map over the middle of the screen, and closes it again.
    m_game->PressKey(GLFW_KEY_TAB);
    Run(1);
    m_game->ReleaseKey(GLFW_KEY_TAB);
    Run(1);
    EXPECT_TRUE(minimap->m_bigMap);
    EXPECT_EQ(mapSprite().scale, ztmath::Vector2(800.0f, 600.0f));
    EXPECT_EQ(mapSprite().position, ztmath::Vector2(180.0f, 40.0f));
    const std::vector<uint8_t> bigMap = Picture("hud-2-big-map");
    EXPECT_GT(Difference(MeanColour(bigMap, Width(), Height(), 500, 300, 300, 200),
                         MeanColour(play, Width(), Height(), 500, 300, 300, 200)), 15.0);
    m_game->PressKey(GLFW_KEY_TAB);
    Run(1);
    m_game->ReleaseKey(GLFW_KEY_TAB);
    Run(1);
    EXPECT_FALSE(minimap->m_bigMap);
    EXPECT_EQ(mapSprite().scale, ztmath::Vector2(300.0f, 200.0f));

    // Death: one reset of the weapon, one "PLAYER_DEATH", and the death state; the bars are no
    // longer updated there, so nothing repeats.
    int deaths = 0;
    App().m_messagingSystem.RegisterHandler("PLAYER_DEATH", [&deaths](const ztengine::IEvent&) { ++deaths; });
    auto& weapon = Shared<ztengine::WeaponMessageQueue>("WeaponMessageQueue");
    weapon.m_messages.clear();
    Shared<ztengine::PlayerHealth>("PlayerHealth").m_currentHealth = 0.0f;
    Run(1);
    EXPECT_EQ(State(), "PLAYER_DEATH_STATE");
    EXPECT_EQ(deaths, 1);
    ASSERT_EQ(weapon.m_messages.size(), 1u);
    EXPECT_EQ(weapon.m_messages.front().m_type, 2);
    Run(5);
    EXPECT_EQ(deaths, 1);
    for (const ztengine::SpriteHandle& sprite : bars->m_sprites)
        EXPECT_FALSE(App().GetGraphics2D()->GetSprites()[sprite.GetIndex()].visible);
}

}  // namespace
