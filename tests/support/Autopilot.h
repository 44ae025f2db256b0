#pragma once
// A player made of code: it plays the real game through the game's own input (keys, mouse motion
// and buttons delivered by the fixture at its fixed step), and sees only what a player sees,
// through the game's shared records: its own position and view, the map of the floor it stands
// on, the enemies (where they are, which way they face, whether they still stand), the coins
// and the orb, its health, stamina and gold, and the shop's prices. It never sends an event,
// never moves the player but by walking and never changes a game value; the one cheat it may use
// is key 0, invulnerability, and it says so in its report.
//
// What it does: Play in the main menu, Space through the intro, a portal of the hub; on each
// floor it walks to every room by a path over the map's open cells, fights each wave by turning
// to the nearest enemy and firing while stamina lasts, picks up the gold and takes the stairs; on
// a boss floor it fights the mini-boss (from behind, once it has seen its shots blocked), walks to
// the orb and takes it, and returns to town with T. In the hub it buys an upgrade at the quest
// giver when its gold allows, walks to the next portal, and after three dungeons sets the orbs on
// the altar and fights the final boss through to its death, the statistics and the main menu,
// where Escape ends the program.
//
//     zttest::AppFixture game(options);           // windowless or windowed, at a fixed step
//     game.RunLoading();
//     zttest::Autopilot pilot(game);
//     pilot.Play([&] { return pilot.Figures().kills > 0; }, 600.0);
//     std::cout << pilot.Report();
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/math/Vector3.h"
#include "support/AppFixture.h"

namespace zttest {

// What happened over a stretch of play.
struct AutopilotFigures {
    double seconds = 0.0;  // game time played (the fixture's steps)
    int64_t frames = 0;
    int shots = 0;       // projectiles fired by the player
    int hits = 0;        // hits that hurt an enemy or a boss
    int blocked = 0;     // hits a shield turned away
    std::map<std::string, int> kills;  // by kind
    int goldPicked = 0;
    int upgrades = 0;
    float damageTaken = 0.0f;  // health lost (also while invulnerable: what would have been lost)
    int deaths = 0;

    int Kills() const;
    void Add(const AutopilotFigures& other);
    std::string Line() const;
};

struct AutopilotOptions {
    // Key 0 once in play: the player takes no damage.
    bool invulnerable = false;
    // Game seconds without progress after which the run stops as stuck.
    double stuckSeconds = 90.0;
    // Called with a name at the run's moments (a cleared room, the mini-boss fight, the orb taken,
    // the altar with three orbs, the final fight, a stuck moment); may be empty.
    std::function<void(const std::string& name)> screenshot;
    // Prints what it does to standard error.
    bool verbose = false;
};

// Fixes every random source of a started game to `seed`: the dungeons' maps and waves, the
// mini-bosses' order, the enemies' draws. Set-up for a reproducible run, before Play.
void SeedGame(AppFixture& game, uint32_t seed);

class Autopilot {
public:
    explicit Autopilot(AppFixture& game, AutopilotOptions options = {});
    ~Autopilot();
    Autopilot(const Autopilot&) = delete;
    Autopilot& operator=(const Autopilot&) = delete;

    // Plays frame by frame until `goal` holds after a frame (true), the run has ended (the program
    // quits, the player lost), it is stuck, or `maxSeconds` of game time have passed (false).
    bool Play(const std::function<bool()>& goal, double maxSeconds);

    // Why play stopped: "" while it may go on; otherwise "won", "lost", "quit", "stuck: ..." or
    // "time".
    const std::string& Ended() const { return m_ended; }
    bool Stuck() const { return m_ended.rfind("stuck", 0) == 0; }

    // All play so far, and play per floor ("hub", "red 1", ..., "blue 3") in the order reached.
    const AutopilotFigures& Figures() const { return m_total; }
    const std::vector<std::pair<std::string, AutopilotFigures>>& Floors() const { return m_floors; }
    // A readable summary: per floor, in all, and how it ended.
    std::string Report() const;
    bool UsedInvulnerability() const { return m_usedInvulnerability; }

    // Heard as a player hears the game (counts only, never acted on but for the shield).
    int Heard(const std::string& event) const;
    int RoomsCleared() const { return m_roomsCleared; }
    int OrbsTaken() const { return m_orbsTaken; }
    int OrbsPlaced() const { return m_orbsPlaced; }
    // The floor the player is on, as the floor figures name it, and the game's state.
    std::string FloorName() const;
    std::string State() const;

private:
    struct Key {
        int code;
        bool down;
    };
    enum class Phase { Any, Shop, Altar, Portal };

    void Frame();
    // Every key and button let go, as a player's hands leave the controls.
    void LetGo();
    void Decide();
    void DecideMenus(const std::string& state);
    void DecideHub();
    void DecideDungeon();
    void DecideFinalFight();
    void Fight(bool bossFloor);
    bool WalkTo(const ztmath::Vector3& target, float arrive);
    bool WalkPath(const ztmath::Vector3& target, float arrive);
    void WalkStraight(const ztmath::Vector3& target, bool hub);
    void LookAt(const ztmath::Vector3& point);
    void Turn(float yaw, float pitch);
    void Move(const ztmath::Vector3& worldDirection);
    void Hold(int key, bool down);
    void Tap(int key);
    void Click(float fromCentreX, float fromCentreY);
    // Something changed for the better (the stuck clock starts again), and what it is doing.
    void Progress(const std::string& what);
    void Doing(const std::string& what);
    void Shot(const std::string& name);
    void Say(const std::string& what);
    void Count();
    AutopilotFigures& FloorFigures();

    // The map of the current floor.
    char Cell(int column, int row) const;
    bool Open(int column, int row) const;
    bool ClearLine(const ztmath::Vector3& from, const ztmath::Vector3& to) const;
    std::vector<ztmath::Vector3> FindPath(const ztmath::Vector3& from, const ztmath::Vector3& to) const;
    int RoomOf(const ztmath::Vector3& point) const;
    ztmath::Vector3 OpenCellNear(const ztmath::Vector3& point) const;

    ztmath::Vector3 Eye();
    float Yaw();
    float Pitch();
    int NearestEnemy(bool standingOnly);

    AppFixture& m_game;
    AutopilotOptions m_options;
    std::string m_ended;

    std::map<int, bool> m_keys;
    std::set<int> m_tapped;
    bool m_fire = false;
    bool m_fireHeld = false;
    double m_cursorX = 0.0;
    double m_cursorY = 0.0;
    bool m_wantKeys[4] = {false, false, false, false};
    int m_wait = 0;

    // The floor being walked, and where the walk goes.
    std::string m_floorName;
    int64_t m_floorSerial = -1;
    std::set<int> m_roomsVisited;
    int m_goalRoom = -1;
    std::vector<ztmath::Vector3> m_path;
    size_t m_pathIndex = 0;
    ztmath::Vector3 m_pathTarget;
    int m_replan = 0;
    bool m_shieldSeen = false;
    bool m_townRequested = false;
    int m_townWait = 0;
    bool m_fightWasOn = false;
    int m_killsAtFightStart = 0;
    double m_lastHitAt = 0.0;
    int m_bossSeenFrames = 0;
    bool m_orbShot = false;
    int m_nextDungeon = 1;
    int m_sidestep = 0;
    int m_sidestepKey = 0;
    float m_bestDistance = 1e30f;
    double m_bestAt = 0.0;
    double m_targetSince = 0.0;
    bool m_shopTried = false;
    int m_shopFrames = 0;
    int m_finalFrames = 0;
    int m_strafeFrames = 0;
    int m_strafeKey = 0;
    double m_coinSince = -1.0;
    double m_coinsIgnoredUntil = -1.0;
    // Coins it could not reach (lying in a wall's box, say): a player leaves them be.
    std::vector<ztmath::Vector3> m_coinsGivenUp;

    // Progress and figures.
    double m_time = 0.0;
    double m_lastProgress = 0.0;
    std::string m_lastDoing;
    AutopilotFigures m_total;
    std::vector<std::pair<std::string, AutopilotFigures>> m_floors;
    std::map<std::string, int> m_heard;
    int m_roomsCleared = 0;
    int m_orbsTaken = 0;
    int m_orbsPlaced = 0;
    float m_lastHealth = -1.0f;
    float m_lastBossHealth = -1.0f;
    int m_lastGold = -1;
    int m_lastUpgrades = -1;
    bool m_usedInvulnerability = false;
    bool m_won = false;
    std::set<std::string> m_shotsTaken;
};

}  // namespace zttest
