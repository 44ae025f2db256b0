#include "core/subsys/sharedData/GameStats.h"

#include <iostream>

namespace ztgame {

void GameStats::Print() const
{
    std::cout << "Enemies Killed             : " << m_enemiesKilled << '\n'
              << "Bosses Killed              : " << m_bossesKilled << '\n'
              << "Gold Collected             : " << m_goldCollected << '\n'
              << "Shrine Upgrade Collected   : " << m_shrineUpgrades << '\n'
              << "Personal Upgrade Collected : " << m_personalUpgrades << '\n'
              << "Total Play Time            : " << m_totalPlayTime << '\n'
              << '\n'
              << std::flush;
}

}  // namespace ztgame
