#pragma once
// GameStats ("GameStats"): the run's statistics, shown on the statistics screen at the end.
#include <cstdint>

namespace ztgame {

struct GameStats {
    uint32_t m_enemiesKilled = 0;
    uint32_t m_bossesKilled = 0;
    uint32_t m_goldCollected = 0;
    uint32_t m_shrineUpgrades = 0;    // blessings taken at blessing shrines
    uint32_t m_personalUpgrades = 0;  // upgrades bought in the shop
    float m_totalPlayTime = 0.0f;     // seconds spent in "GAMEPLAY_STATE"
    bool m_gameWon = false;
    // Every writer of a counter calls Print after adding when this is set.
    bool m_printOnChange = true;

    // The five counters and the play time on standard output, one labelled line each, then an
    // empty line.
    void Print() const;
};

}  // namespace ztgame
