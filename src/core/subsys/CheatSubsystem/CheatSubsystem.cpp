// CheatSubsystem: the developer keys, read once per frame in a fixed order.
#include "core/subsys/CheatSubsystem/CheatSubsystem.h"

#include <algorithm>
#include <iostream>

#include <GLFW/glfw3.h>

#include "core/App.h"
#include "core/MessagingSystem.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/input/Input.h"
#include "core/math/Basis.h"
#include "core/subsys/sharedData/AISpawner/AISpawner.h"
#include "core/subsys/sharedData/Gold.h"
#include "core/subsys/sharedData/LevelRecords.h"
#include "core/subsys/sharedData/PlayerRecords.h"
#include "core/subsys/sharedData/PlayerStatus.h"
#include "core/util/cont/StableArrayList.h"

namespace ztengine {

namespace {

constexpr int kRightMouseButton = 1;
// One cell beyond the stairs along +z and just above the floor, outside the stairs' exit radius,
// so the warp does not take the player down at once.
const ztmath::Vector3 kWarpOffset{0.0f, 7.5f, 10.0f};

}  // namespace

CheatSubsystem::CheatSubsystem(App* app)
    : Subsystem(app),
      m_gold(app->GetSharedData<Gold>("Gold")),
      m_playerHealth(app->GetSharedData<PlayerHealth>("PlayerHealth")),
      m_playerStatus(app->GetSharedData<PlayerStatus>("PlayerStatus")),
      m_spawner(app->GetSharedData<AISpawner>("AISpawner")),
      m_levelLayout(app->GetSharedData<LevelLayout>("LevelLayout")),
      m_levelState(app->GetSharedData<LevelState>("LevelState"))
{
}

void CheatSubsystem::Send(const char* eventName, int tag, const void* data)
{
    MessagingSystem& messaging = m_app->m_messagingSystem;
    const uint32_t id = messaging.GetEventId(eventName);
    if (id != MessagingSystem::kInvalidEventId)
        messaging.SendEvent(id, IEvent(tag, data));
}

void CheatSubsystem::DropCoin()
{
    m_coinPosition = m_graphics->GetCameraPosition() + m_graphics->GetCameraBasis().forward * kCoinDistance;
    Send("DROP_COIN", 1, &m_coinPosition);
}

void CheatSubsystem::QueueInFront(const char* name, float health)
{
    // A kind nobody registered (a test world without the roster) is skipped rather than stopping
    // the program over a debug key.
    if (m_spawner->GetSpawnerHandle(name) == kInvalidIndex)
        return;
    SpawnConfig config{};
    config.m_position = m_graphics->GetCameraPosition() + m_graphics->GetCameraBasis().forward * kSpawnDistance;
    config.m_orientation = ztmath::Quaternion(0.0f, 0.0f, 0.0f, 1.0f);
    config.m_health = health;
    config.m_damageScale = 1.0f;
    m_spawner->QueueEnemy(name, config);
}

void CheatSubsystem::Update(float /*dt*/)
{
    Input& input = *m_input;
    // "Held" means down since an earlier frame: a modifier pressed together with the letter does
    // not count yet.
    const bool ctrl = input.IsKeyHeld(GLFW_KEY_LEFT_CONTROL);
    const bool leftShift = input.IsKeyHeld(GLFW_KEY_LEFT_SHIFT);
    const bool rightShift = input.IsKeyHeld(GLFW_KEY_RIGHT_SHIFT);

    if (ctrl && input.IsKeyHeld(GLFW_KEY_R)) {
        m_gold->m_gold += 5000;
        DropCoin();
    }
    if (ctrl && input.IsKeyHeld(GLFW_KEY_T))
        Send("CHEAT_SET_DUNGEONSTATE_TO_RELAX", 0, nullptr);

    if (leftShift && input.IsKeyPressed(GLFW_KEY_1))
        m_playerHealth->m_currentHealth =
            std::max(m_playerHealth->m_currentHealth - 0.2f * m_playerHealth->m_maxHealth, -0.1f);
    if (leftShift && input.IsKeyPressed(GLFW_KEY_2))
        m_playerHealth->m_currentHealth = m_playerHealth->m_maxHealth;
    if (leftShift && input.IsKeyPressed(GLFW_KEY_3))
        m_playerStatus->m_stamina =
            std::max(m_playerStatus->m_stamina - 0.2f * m_playerStatus->m_maxStamina, 0.0f);
    if (leftShift && input.IsKeyPressed(GLFW_KEY_4))
        m_playerStatus->m_stamina = m_playerStatus->m_maxStamina;

    if (leftShift && input.IsMouseButtonHeld(kRightMouseButton) && m_gold->m_gold > 0) {
        m_gold->m_gold -= 1;
        DropCoin();
    }

    if (input.IsKeyPressed(GLFW_KEY_0)) {
        m_playerStatus->m_invulnerable = !m_playerStatus->m_invulnerable;
        std::cout << "Player invul status: " << (m_playerStatus->m_invulnerable ? 1 : 0) << std::endl;
    }

    if (ctrl && input.IsKeyPressed(GLFW_KEY_X))
        QueueInFront("lkanga", 100.0f);
    if (ctrl && input.IsKeyPressed(GLFW_KEY_C))
        QueueInFront("ogre", 150.0f);
    if (ctrl && input.IsKeyPressed(GLFW_KEY_V))
        QueueInFront("flying_skull", 300.0f);
    if (ctrl && input.IsKeyPressed(GLFW_KEY_B))
        QueueInFront("skeleton_magician", 100.0f);
    if (leftShift && input.IsKeyPressed(GLFW_KEY_Z))
        QueueInFront("mb_flying_skull", 2000.0f);
    if (leftShift && input.IsKeyPressed(GLFW_KEY_X))
        QueueInFront("mb_lkanga", 2000.0f);
    if (leftShift && input.IsKeyPressed(GLFW_KEY_C))
        QueueInFront("mb_ogre", 2000.0f);

    if (rightShift && input.IsKeyPressed(GLFW_KEY_SLASH)) {
        std::cout << "Killed all enemies" << std::endl;
        Send("KILL_ALL_ENEMIES", 0, nullptr);
    }
    if (input.IsKeyPressed(GLFW_KEY_O))
        Send("CHEAT_SPAWN_ORB", 0, nullptr);

    if (rightShift && input.IsKeyPressed(GLFW_KEY_APOSTROPHE) && m_levelState->m_level != 0 &&
        m_levelState->m_fight != 1 && m_levelLayout->m_specialValid) {
        m_warpPosition = m_levelLayout->m_specialPosition + kWarpOffset;
        Send("PLAYER_SET_POSITION", 0, &m_warpPosition);
    }
}

}  // namespace ztengine
