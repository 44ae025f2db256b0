#include "core/subsys/MiniBossSystem/DungeonMiniBossSystem.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "core/App.h"
#include "core/MessagingSystem.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/subsys/sharedData/AISpawner/AISpawner.h"
#include "core/subsys/sharedData/BossAltarQueues.h"
#include "core/subsys/sharedData/LevelRecords.h"
#include "core/util/Random.h"

namespace ztengine {

namespace {

constexpr int kShufflePasses = 10;
constexpr float kOrbAboveCamera = 1.0f;

}  // namespace

DungeonMiniBossSystem::DungeonMiniBossSystem(App* app)
    : Subsystem(app),
      m_messaging(&app->m_messagingSystem),
      m_spawner(app->GetSharedData<AISpawner>("AISpawner")),
      m_altarQueue(app->GetSharedData<AltarSharedData>("AltarSharedData")),
      m_layout(app->GetSharedData<LevelLayout>("LevelLayout"))
{
}

DungeonMiniBossSystem::~DungeonMiniBossSystem() = default;

void DungeonMiniBossSystem::Init()
{
    // The payloads point at a position (the dungeon's boss cell, the mini-boss's death record,
    // which starts with its position).
    auto position = [](const IEvent& event) {
        return event.m_data != nullptr ? *static_cast<const ztmath::Vector3*>(event.m_data)
                                       : ztmath::Vector3(0.0f, 0.0f, 0.0f);
    };
    m_messaging->RegisterHandler("DUNGEON_BOSS_BEGIN", [this, position](const IEvent& event) {
        SpawnMiniBoss(position(event));
    });
    m_messaging->RegisterHandler("EVENT_RESTART", [this](const IEvent&) { RefillMiniBosses(); });
    for (const char* died : {"MB00_DIED", "MB01_DIED", "MB02_DIED"})
        m_messaging->RegisterHandler(died, [this, position](const IEvent& event) { PlaceOrb(position(event)); });
    RefillMiniBosses();
}

void DungeonMiniBossSystem::RefillMiniBosses()
{
    m_miniBosses = {"mb_flying_skull", "mb_lkanga", "mb_ogre"};
    for (int pass = 0; pass < kShufflePasses; ++pass) {
        const auto i = static_cast<size_t>(RandomRange(0, 2));
        const auto j = static_cast<size_t>(RandomRange(0, 2));
        if (i != j)
            std::swap(m_miniBosses[i], m_miniBosses[j]);
        else
            std::swap(m_miniBosses[i], m_miniBosses[i == 2 ? 1 : i + 1]);
    }
}

void DungeonMiniBossSystem::SpawnMiniBoss(const ztmath::Vector3& position)
{
    if (m_miniBosses.empty())
        return;
    const std::string name = m_miniBosses.back();
    m_miniBosses.pop_back();
    const bool known = name == "mb_flying_skull" || name == "mb_lkanga" || name == "mb_ogre";
    SpawnConfig config;
    config.m_position = position;
    config.m_orientation = ztmath::Quaternion(0.0f, 0.0f, 0.0f, 1.0f);
    config.m_health = known ? kMiniBossHealth : 100.0f;
    config.m_damageScale = 1.0f;
    m_spawner->QueueEnemy(name.c_str(), config);
}

ztmath::Vector3 DungeonMiniBossSystem::OrbPosition(const ztmath::Vector3& deathPosition)
{
    // The room's extent on each axis on its own: a corner that moved only when both of a cell's
    // coordinates were beyond it would follow the diagonal and miss the middle of any room that
    // is not square.
    constexpr float kMax = std::numeric_limits<float>::max();
    float minX = kMax;
    float minZ = kMax;
    float maxX = -kMax;
    float maxZ = -kMax;
    for (const LayoutCell& cell : m_layout->m_roomCells) {
        minX = std::min(minX, cell.m_worldX);
        minZ = std::min(minZ, cell.m_worldZ);
        maxX = std::max(maxX, cell.m_worldX);
        maxZ = std::max(maxZ, cell.m_worldZ);
    }
    if (m_layout->m_roomCells.empty())
        return deathPosition;
    const float cameraY = m_graphics->GetCameraPosition().y;
    return ztmath::Vector3((minX + maxX) / 2.0f, cameraY + kOrbAboveCamera, (minZ + maxZ) / 2.0f);
}

void DungeonMiniBossSystem::PlaceOrb(const ztmath::Vector3& deathPosition)
{
    AltarMessage message;
    message.m_position = OrbPosition(deathPosition);
    message.m_type = 0;
    m_altarQueue->m_messages.push_back(message);
}

}  // namespace ztengine
