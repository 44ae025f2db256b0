#include "core/subsys/PlayerStatTracking/GameTimeSystem.h"

#include "core/App.h"
#include "core/subsys/sharedData/GameStats.h"

namespace ztengine {

GameTimeSystem::GameTimeSystem(App* app)
    : Subsystem(app), m_stats(app->GetSharedData<ztgame::GameStats>("GameStats"))
{
}

void GameTimeSystem::Update(float dt)
{
    m_stats->m_totalPlayTime += dt;
}

}  // namespace ztengine
