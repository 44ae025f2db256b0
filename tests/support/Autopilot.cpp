#include "support/Autopilot.h"

#include <GLFW/glfw3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <queue>
#include <sstream>

#include "core/Win32App.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/MessagingSystem.h"
#include "core/subsys/AltarSystem/AltarSystem.h"
#include "core/subsys/BossSystem/BossSystem.h"
#include "core/subsys/BossSystem/FinalBoss.h"
#include "core/subsys/CollectibleSystem/CollectibleSystem.h"
#include "core/subsys/DungeonGenerator/DungeonGenerator.h"
#include "core/subsys/DungeonGenerator/DungeonMapGenerator.h"
#include "core/util/Random.h"
#include "core/subsys/FirstPersonCameraSystem/FirstPersonCameraSystem.h"
#include "core/subsys/ShrineSystem/ShrineUISystem.h"
#include "core/subsys/sharedData/AISpawner/AISpawner.h"
#include "core/subsys/sharedData/BossAltarQueues.h"
#include "core/subsys/sharedData/GameStats.h"
#include "core/subsys/sharedData/Gold.h"
#include "core/subsys/sharedData/LevelRecords.h"
#include "core/subsys/sharedData/PlayerRecords.h"
#include "core/subsys/sharedData/PlayerStatus.h"

namespace zttest {

namespace {

using ztmath::Vector3;

constexpr float kPi = 3.14159265358979f;
constexpr float kDegrees = 180.0f / kPi;
// The camera turns by 0.055 degrees per unit of cursor movement.
constexpr float kLookPerUnit = 0.055f;

// What a player hears of the fight, counted: the hit and death events of every enemy kind, and
// the run's milestones.
struct Kind {
    const char* hit;
    const char* died;
    const char* name;
};
const Kind kKinds[] = {
    {"RABBITMAN_GOT_HIT", "RABBITMAN_DIED", "rabbitman"},   {"FSKULL_GOT_HIT", "FSKULL_DIED", "flying skull"},
    {"LKANGA_GOT_HIT", "LKANGA_DIED", "lkanga"},            {"OGRE_GOT_HIT", "OGRE_DIED", "ogre"},
    {"SMAGICIAN_GOT_HIT", "SMAGICIAN_DIED", "skeleton magician"},
    {"MB00_GOT_HIT", "MB00_DIED", "mini-boss skull"},       {"MB01_GOT_HIT", "MB01_DIED", "mini-boss ogre"},
    {"MB02_GOT_HIT", "MB02_DIED", "mini-boss lkanga"},
};
const char* const kMilestones[] = {"MB00_GOT_HIT_INVUL", "DUNGEON_FIGHT_BEGIN", "DUNGEON_FIGHT_END",
                                   "DUNGEON_BOSS_BEGIN", "DUNGEON_BOSS_END", "ORB_COLLECT", "ORB_ALTAR",
                                   "FINAL_BOSS_FIGHT_BEGIN", "FIGHT_BOSS_DEAD", "FIGHT_BOSS_FIGHT_END",
                                   "PLAYER_DEATH", "NEW_DUNGEON_GENERATED", "COIN_COLLECT"};

float Flat(const Vector3& a, const Vector3& b)
{
    const float dx = a.x - b.x;
    const float dz = a.z - b.z;
    return std::sqrt(dx * dx + dz * dz);
}

float WrapDegrees(float angle)
{
    while (angle > 180.0f)
        angle -= 360.0f;
    while (angle < -180.0f)
        angle += 360.0f;
    return angle;
}

const char* ColourName(int level)
{
    switch (level) {
    case 1: return "red";
    case 2: return "green";
    case 3: return "blue";
    default: return "hub";
    }
}

// The hub: the portals' skulls, the altar and the quest giver.
const Vector3 kAltar(500.0f, 500.0f, 550.0f);
const Vector3 kQuestGiver(480.0f, 509.0f, 550.0f);

}  // namespace

void SeedGame(AppFixture& game, uint32_t seed)
{
    ztengine::SeedRandom(seed);
    ztengine::g_mtEngineA.seed(seed + 1u);
    ztengine::g_mtEngineB.seed(seed + 2u);
    if (auto* dungeon = game.FindSystem<ztengine::DungeonGenerator>()) {
        dungeon->MapGenerator().Seed(seed + 3u);
        dungeon->WaveEngine().seed(seed + 4u);
    }
}

int AutopilotFigures::Kills() const
{
    int n = 0;
    for (const auto& [kind, count] : kills)
        n += count;
    return n;
}

void AutopilotFigures::Add(const AutopilotFigures& other)
{
    seconds += other.seconds;
    frames += other.frames;
    shots += other.shots;
    hits += other.hits;
    blocked += other.blocked;
    for (const auto& [kind, count] : other.kills)
        kills[kind] += count;
    goldPicked += other.goldPicked;
    upgrades += other.upgrades;
    damageTaken += other.damageTaken;
    deaths += other.deaths;
}

std::string AutopilotFigures::Line() const
{
    std::ostringstream out;
    out.setf(std::ios::fixed);
    out.precision(1);
    out << seconds << " s, " << frames << " frames, " << shots << " shots, " << hits << " hits";
    if (blocked > 0)
        out << " (+" << blocked << " blocked)";
    out << ", kills " << Kills();
    if (!kills.empty()) {
        out << " (";
        bool first = true;
        for (const auto& [kind, count] : kills) {
            out << (first ? "" : ", ") << kind << " " << count;
            first = false;
        }
        out << ")";
    }
    out << ", gold +" << goldPicked << ", upgrades " << upgrades << ", damage taken " << damageTaken
        << ", deaths " << deaths;
    return out.str();
}

// The event counts outlive the pilot: the game never removes a handler.
struct HeardCounts {
    std::map<std::string, int> counts;
};

namespace {
std::shared_ptr<HeardCounts>& Ears()
{
    static std::shared_ptr<HeardCounts> ears;
    return ears;
}
}  // namespace

Autopilot::Autopilot(AppFixture& game, AutopilotOptions options) : m_game(game), m_options(std::move(options))
{
    // One set of ears per program: the handlers stay registered with the game.
    static ztengine::Win32App* listened = nullptr;
    if (!Ears() || listened != &m_game.App()) {
        Ears() = std::make_shared<HeardCounts>();
        listened = &m_game.App();
        std::weak_ptr<HeardCounts> ears = Ears();
        auto listen = [&](const char* name) {
            m_game.App().m_messagingSystem.RegisterHandler(name, [ears, name](const ztengine::IEvent&) {
                if (auto heard = ears.lock())
                    ++heard->counts[name];
            });
        };
        for (const Kind& kind : kKinds) {
            listen(kind.hit);
            listen(kind.died);
        }
        for (const char* name : kMilestones)
            listen(name);
    }
    for (const auto& [name, count] : Ears()->counts)
        m_heard[name] = count;
    // The cursor starts where the fixture left it.
    const float* at = m_game.App().GetInput()->GetCursorPosition();
    m_cursorX = at[0];
    m_cursorY = at[1];
}

Autopilot::~Autopilot()
{
    for (auto& [key, down] : m_keys)
        if (down)
            m_game.ReleaseKey(key);
    if (m_fireHeld)
        m_game.ReleaseMouseButton(GLFW_MOUSE_BUTTON_LEFT);
}

int Autopilot::Heard(const std::string& event) const
{
    auto it = m_heard.find(event);
    return it == m_heard.end() ? 0 : it->second;
}

std::string Autopilot::State() const
{
    auto& app = m_game.App();
    return app.GetStateName(app.GetCurrentState());
}

std::string Autopilot::FloorName() const
{
    auto& app = m_game.App();
    const auto& level = *app.GetSharedData<ztengine::LevelState>("LevelState");
    if (level.m_level < 1 || level.m_level > 3)
        return "hub";
    return std::string(ColourName(level.m_level)) + " " + std::to_string(level.m_floor);
}

Vector3 Autopilot::Eye()
{
    return m_game.App().GetGraphics3D()->GetCameraPosition();
}

float Autopilot::Yaw()
{
    return m_game.FindSystem<ztengine::FirstPersonCameraSystem>()->GetYaw();
}

float Autopilot::Pitch()
{
    return m_game.FindSystem<ztengine::FirstPersonCameraSystem>()->GetPitch();
}

void Autopilot::Say(const std::string& what)
{
    if (m_options.verbose)
        std::fprintf(stderr, "[pilot %7.1fs %s] %s\n", m_time, FloorName().c_str(), what.c_str());
}

void Autopilot::Progress(const std::string& what)
{
    m_lastProgress = m_time;
    Doing(what);
}

void Autopilot::Doing(const std::string& what)
{
    if (!what.empty() && what != m_lastDoing) {
        m_lastDoing = what;
        Say(what);
    }
}

void Autopilot::Shot(const std::string& name)
{
    if (!m_options.screenshot || m_shotsTaken.count(name) != 0)
        return;
    m_shotsTaken.insert(name);
    Say("screenshot " + name);
    m_options.screenshot(name);
}

AutopilotFigures& Autopilot::FloorFigures()
{
    const std::string name = m_floorName.empty() ? FloorName() : m_floorName;
    if (m_floors.empty() || m_floors.back().first != name)
        m_floors.emplace_back(name, AutopilotFigures{});
    return m_floors.back().second;
}

// ---- the map ----

char Autopilot::Cell(int column, int row) const
{
    const auto& layout = *m_game.App().GetSharedData<ztengine::LevelLayout>("LevelLayout");
    if (row < 0 || column < 0 || row >= static_cast<int>(layout.m_rows.size()))
        return '.';
    const auto& line = layout.m_rows[static_cast<size_t>(row)];
    if (column >= static_cast<int>(line.size()))
        return '.';
    return line[static_cast<size_t>(column)];
}

bool Autopilot::Open(int column, int row) const
{
    switch (Cell(column, row)) {
    case ' ': case ',': case '+': case '-': case '*': case '!': case 'B': case ':': case '?': case '^':
    case '~': case 'Z':
        return true;
    case 'v':
        // The stairs take the player down at once: walked onto only on purpose.
        return false;
    default:
        return false;
    }
}

namespace {
int ColumnOf(float x) { return static_cast<int>(std::floor(x / 10.0f + 0.5f)); }
}  // namespace

bool Autopilot::ClearLine(const Vector3& from, const Vector3& to) const
{
    Vector3 d = to - from;
    d.y = 0.0f;
    const float length = std::sqrt(d.x * d.x + d.z * d.z);
    if (length < 0.001f)
        return true;
    const Vector3 u(d.x / length, 0.0f, d.z / length);
    const Vector3 side(-u.z, 0.0f, u.x);
    for (float s = 0.0f; s <= length; s += 2.0f) {
        const Vector3 p = from + u * s;
        for (float offset : {-2.8f, 0.0f, 2.8f}) {
            const Vector3 q = p + side * offset;
            if (!Open(ColumnOf(q.x), ColumnOf(q.z)))
                return false;
        }
    }
    return true;
}

Vector3 Autopilot::OpenCellNear(const Vector3& point) const
{
    const int c0 = ColumnOf(point.x);
    const int r0 = ColumnOf(point.z);
    for (int radius = 0; radius < 8; ++radius)
        for (int dr = -radius; dr <= radius; ++dr)
            for (int dc = -radius; dc <= radius; ++dc) {
                if (std::max(std::abs(dr), std::abs(dc)) != radius)
                    continue;
                if (Open(c0 + dc, r0 + dr))
                    return Vector3(10.0f * static_cast<float>(c0 + dc), point.y, 10.0f * static_cast<float>(r0 + dr));
            }
    return point;
}

std::vector<Vector3> Autopilot::FindPath(const Vector3& from, const Vector3& to) const
{
    const auto& layout = *m_game.App().GetSharedData<ztengine::LevelLayout>("LevelLayout");
    const int rows = static_cast<int>(layout.m_rows.size());
    const int columns = rows > 0 ? static_cast<int>(layout.m_rows[0].size()) : 0;
    std::vector<Vector3> path;
    if (rows == 0 || columns == 0)
        return path;
    const Vector3 start = OpenCellNear(from);
    const int sc = ColumnOf(start.x);
    const int sr = ColumnOf(start.z);
    const int gc = ColumnOf(to.x);
    const int gr = ColumnOf(to.z);
    auto index = [&](int c, int r) { return r * columns + c; };
    auto passable = [&](int c, int r) { return (c == gc && r == gr) || Open(c, r); };
    std::vector<float> cost(static_cast<size_t>(rows * columns), 1e30f);
    std::vector<int> previous(static_cast<size_t>(rows * columns), -1);
    using Entry = std::pair<float, int>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> open;
    if (sc < 0 || sr < 0 || sc >= columns || sr >= rows)
        return path;
    cost[static_cast<size_t>(index(sc, sr))] = 0.0f;
    open.push({0.0f, index(sc, sr)});
    bool found = false;
    while (!open.empty()) {
        const int at = open.top().second;
        open.pop();
        const int c = at % columns;
        const int r = at / columns;
        if (c == gc && r == gr) {
            found = true;
            break;
        }
        const float here = cost[static_cast<size_t>(at)];
        for (int dr = -1; dr <= 1; ++dr)
            for (int dc = -1; dc <= 1; ++dc) {
                if ((dr == 0 && dc == 0))
                    continue;
                const int nc = c + dc;
                const int nr = r + dr;
                if (nc < 0 || nr < 0 || nc >= columns || nr >= rows || !passable(nc, nr))
                    continue;
                // No corner cutting past a wall.
                if (dr != 0 && dc != 0 && (!passable(c + dc, r) || !passable(c, r + dr)))
                    continue;
                float step = (dr != 0 && dc != 0) ? 1.4142f : 1.0f;
                const char ch = Cell(nc, nr);
                if (ch == 'Z')
                    step += 6.0f;  // spikes hurt
                else if (ch == '~' || ch == '^')
                    step += 2.0f;  // goo and ice slow and slide
                // Keep off the walls where there is room.
                int walls = 0;
                for (int wr = -1; wr <= 1; ++wr)
                    for (int wc = -1; wc <= 1; ++wc)
                        walls += passable(nc + wc, nr + wr) ? 0 : 1;
                step += 0.15f * static_cast<float>(walls);
                const float next = here + step;
                const size_t ni = static_cast<size_t>(index(nc, nr));
                if (next < cost[ni]) {
                    cost[ni] = next;
                    previous[ni] = at;
                    const float h = std::hypot(static_cast<float>(nc - gc), static_cast<float>(nr - gr));
                    open.push({next + h, index(nc, nr)});
                }
            }
    }
    if (!found)
        return path;
    for (int at = index(gc, gr); at != -1; at = previous[static_cast<size_t>(at)])
        path.emplace_back(10.0f * static_cast<float>(at % columns), from.y, 10.0f * static_cast<float>(at / columns));
    std::reverse(path.begin(), path.end());
    return path;
}

int Autopilot::RoomOf(const Vector3& point) const
{
    const auto& layout = *m_game.App().GetSharedData<ztengine::LevelLayout>("LevelLayout");
    for (size_t i = 0; i < layout.m_rooms.size(); ++i) {
        const auto& room = layout.m_rooms[i];
        if (point.x >= room.m_min.x + 5.0f && point.x <= room.m_max.x - 5.0f && point.z >= room.m_min.z + 5.0f &&
            point.z <= room.m_max.z - 5.0f)
            return static_cast<int>(i);
    }
    return -1;
}

// ---- the input ----

void Autopilot::Hold(int key, bool down)
{
    bool& now = m_keys[key];
    if (now == down)
        return;
    now = down;
    if (down)
        m_game.PressKey(key);
    else
        m_game.ReleaseKey(key);
}

void Autopilot::Tap(int key)
{
    if (m_keys[key])
        return;
    m_game.PressKey(key);
    m_keys[key] = true;
    m_tapped.insert(key);
}

void Autopilot::Turn(float yaw, float pitch)
{
    const float dYaw = WrapDegrees(yaw - Yaw());
    const float dPitch = std::clamp(pitch, -80.0f, 80.0f) - Pitch();
    if (std::fabs(dYaw) < 0.01f && std::fabs(dPitch) < 0.01f)
        return;
    m_cursorX += static_cast<double>(-dYaw / kLookPerUnit);
    m_cursorY += static_cast<double>(dPitch / kLookPerUnit);
    m_game.MoveCursor(m_cursorX, m_cursorY);
}

void Autopilot::LookAt(const Vector3& point)
{
    const Vector3 d = point - Eye();
    const float flat = std::sqrt(d.x * d.x + d.z * d.z);
    Turn(std::atan2(d.x, d.z) * kDegrees, -std::atan2(d.y, flat) * kDegrees);
}

void Autopilot::Move(const Vector3& direction)
{
    // The movement keys push along the view's flat forward F and R = (-F.z, 0, F.x) (D).
    const float yaw = Yaw() / kDegrees;
    const Vector3 f(std::sin(yaw), 0.0f, std::cos(yaw));
    const Vector3 r(-f.z, 0.0f, f.x);
    const float length = std::sqrt(direction.x * direction.x + direction.z * direction.z);
    if (length < 0.001f)
        return;
    const float along = (direction.x * f.x + direction.z * f.z) / length;
    const float across = (direction.x * r.x + direction.z * r.z) / length;
    m_wantKeys[0] = along > 0.38f;
    m_wantKeys[2] = along < -0.38f;
    m_wantKeys[3] = across > 0.38f;
    m_wantKeys[1] = across < -0.38f;
}

void Autopilot::Click(float fromCentreX, float fromCentreY)
{
    auto& app = m_game.App();
    // The menus read the pointer from the window's centre, y up; without a window the centre is
    // the origin.
    double x = fromCentreX;
    double y = -fromCentreY;
    if (app.GetWindow() != nullptr) {
        x += app.m_windowInfo.windowWidth / 2.0;
        y += app.m_windowInfo.windowHeight / 2.0;
    }
    m_cursorX = x;
    m_cursorY = y;
    m_game.MoveCursor(x, y);
    m_game.RunFrames(1);
    Count();
    m_game.PressMouseButton(GLFW_MOUSE_BUTTON_LEFT);
    m_game.RunFrames(2);
    Count();
    Count();
    m_game.ReleaseMouseButton(GLFW_MOUSE_BUTTON_LEFT);
    m_game.RunFrames(1);
    Count();
}

// ---- walking ----

bool Autopilot::WalkTo(const Vector3& target, float arrive)
{
    const Vector3 eye = Eye();
    if (Flat(eye, target) <= arrive)
        return true;
    // Walking makes progress while it gets nearer to where it goes.
    const float distance = Flat(eye, target);
    if (Flat(target, m_pathTarget) > 1.0f) {
        m_bestDistance = distance;
        m_bestAt = m_time;
        m_targetSince = m_time;
    }
    // Nearer counts only to a goal kept for a while: goals that take turns are no progress.
    if (distance < m_bestDistance - 3.0f && m_time - m_targetSince > 1.0) {
        m_bestDistance = distance;
        m_bestAt = m_time;
        Progress("");
    }
    return WalkPath(target, arrive);
}

bool Autopilot::WalkPath(const Vector3& target, float arrive)
{
    const Vector3 eye = Eye();
    if (Flat(target, m_pathTarget) > 1.0f || m_path.empty() || --m_replan <= 0) {
        m_pathTarget = target;
        m_path = FindPath(eye, target);
        m_pathIndex = 0;
        // A fresh plan now and then: doors close and open, and a shove can put the player off it.
        m_replan = 60;
        if (m_path.empty())
            return false;
        m_path.back() = Vector3(target.x, eye.y, target.z);
    }
    // Nowhere to go by the map (a door shut, a target beyond the walls): the player waits.
    if (m_path.empty())
        return false;
    // The farthest point ahead that can be walked to in a straight line.
    while (m_pathIndex + 1 < m_path.size() && Flat(eye, m_path[m_pathIndex]) < 6.0f)
        ++m_pathIndex;
    size_t aim = m_pathIndex;
    for (size_t i = m_pathIndex + 1; i < m_path.size() && i < m_pathIndex + 10; ++i)
        if (ClearLine(eye, m_path[i]))
            aim = i;
    const Vector3 point = m_path[aim];
    const Vector3 d = point - eye;
    Turn(std::atan2(d.x, d.z) * kDegrees, 0.0f);
    // The view turns at the start of the next frame, before the body moves: the keys act along
    // the new view.
    m_wantKeys[0] = true;
    (void)arrive;
    return false;
}

void Autopilot::WalkStraight(const Vector3& target, bool)
{
    const Vector3 eye = Eye();
    const float distance = Flat(eye, target);
    if (Flat(target, m_pathTarget) > 1.0f) {
        m_pathTarget = target;
        m_bestDistance = distance;
        m_bestAt = m_time;
    }
    if (distance < m_bestDistance - 2.0f) {
        m_bestDistance = distance;
        m_bestAt = m_time;
        Progress("");
    }
    const Vector3 d = target - eye;
    Turn(std::atan2(d.x, d.z) * kDegrees, 0.0f);
    if (m_sidestep > 0) {
        --m_sidestep;
        m_wantKeys[m_sidestepKey] = true;
        m_wantKeys[0] = true;
        return;
    }
    // A tree or a rock in the way: a step to one side, then on.
    if (m_time - m_bestAt > 1.0) {
        m_sidestepKey = m_sidestepKey == 1 ? 3 : 1;
        m_sidestep = std::max(1, static_cast<int>(0.4 / m_game.Step()));
        m_bestAt = m_time;
    }
    m_wantKeys[0] = true;
}

// ---- deciding ----

int Autopilot::NearestEnemy(bool standingOnly)
{
    const auto& spawner = *m_game.App().GetSharedData<ztengine::AISpawner>("AISpawner");
    const Vector3 eye = Eye();
    int best = -1;
    float bestScore = 1e30f;
    for (size_t i = 0; i < spawner.m_enemyPositions.size(); ++i) {
        if (standingOnly && i < spawner.m_enemyStanding.size() && spawner.m_enemyStanding[i] == 0)
            continue;
        const Vector3& p = spawner.m_enemyPositions[i];
        float score = (p - eye).Length();
        // One in sight comes before a nearer one behind a wall.
        if (!ClearLine(eye, p))
            score += 200.0f;
        if (score < bestScore) {
            bestScore = score;
            best = static_cast<int>(i);
        }
    }
    return best;
}

void Autopilot::Fight(bool bossFloor)
{
    auto& app = m_game.App();
    const auto& spawner = *app.GetSharedData<ztengine::AISpawner>("AISpawner");
    const auto& status = *app.GetSharedData<ztengine::PlayerStatus>("PlayerStatus");
    const int target = NearestEnemy(true);
    const Vector3 eye = Eye();
    if (target < 0) {
        // The wave is still coming, or only the falling are left.
        m_fire = false;
        return;
    }
    const Vector3 enemy = spawner.m_enemyPositions[static_cast<size_t>(target)];
    const float distance = (enemy - eye).Length();
    // Near at hand the map's cells say little (a pillar's corner): shoot.
    const bool inSight = distance < 30.0f || ClearLine(eye, enemy);
    Vector3 facing = target < static_cast<int>(spawner.m_enemyFacings.size())
                         ? spawner.m_enemyFacings[static_cast<size_t>(target)]
                         : Vector3(0.0f, 0.0f, 1.0f);
    facing.y = 0.0f;
    const float facingLength = std::sqrt(facing.x * facing.x + facing.z * facing.z);
    if (facingLength > 0.001f)
        facing = facing * (1.0f / facingLength);

    // Out of sight, or shot at for long without a hit (something the map does not show stands
    // in the way, or the aim is off at this range): closer, by the map.
    const bool missing = m_time - m_lastHitAt > 8.0 && m_time - m_lastHitAt < 14.0;
    if (!inSight || (missing && distance > 20.0f)) {
        m_fire = false;
        WalkTo(enemy, 0.0f);
        return;
    }
    if (m_time - m_lastHitAt >= 14.0)
        m_lastHitAt = m_time;
    LookAt(enemy + Vector3(0.0f, 2.5f, 0.0f));

    bool mayFire = true;
    if (bossFloor && m_shieldSeen) {
        // The shielded skull is hurt only from behind: stand behind it, shoot along its facing.
        Vector3 toEnemy = enemy - eye;
        toEnemy.y = 0.0f;
        const float flat = std::sqrt(toEnemy.x * toEnemy.x + toEnemy.z * toEnemy.z);
        const float behind = flat > 0.001f ? (toEnemy.x * facing.x + toEnemy.z * facing.z) / flat : 0.0f;
        mayFire = behind > 0.6f;
        Vector3 spot = enemy - facing * 45.0f;
        spot.y = eye.y;
        if (!Open(ColumnOf(spot.x), ColumnOf(spot.z)))
            spot = OpenCellNear(spot);
        if (Flat(eye, spot) > 8.0f)
            Move(spot - eye);
        Doing("behind the mini-boss");
    } else if (distance < 25.0f) {
        // Too close: back off where there is floor behind.
        Vector3 away = eye - enemy;
        away.y = 0.0f;
        const Vector3 step = eye + away * (12.0f / std::max(0.001f, Flat(eye, enemy)));
        if (ClearLine(eye, step))
            Move(away);
        else
            Move(Vector3(-away.z, 0.0f, away.x));
    } else if (distance > 160.0f) {
        Move(enemy - eye);
    }
    // Fire while stamina lasts; let it recover to a third before firing again.
    const float cost = status.m_staminaCostPerAttack;
    if (status.m_stamina < cost)
        m_fire = false;
    else if (!m_fire && status.m_stamina >= std::max(cost, status.m_maxStamina / 3.0f))
        m_fire = true;
    if (!mayFire)
        m_fire = false;
}

void Autopilot::DecideMenus(const std::string& state)
{
    auto& app = m_game.App();
    if (state == "MAIN_MENU_STATE") {
        if (m_won) {
            Tap(GLFW_KEY_ESCAPE);
            return;
        }
        if (++m_wait < 5)
            return;
        m_wait = 0;
        Say("Play");
        Click(-500.0f, -25.0f);
        return;
    }
    if (state == "CINEMATIC_INTRO_STATE") {
        if (++m_wait % 4 == 0)
            Tap(GLFW_KEY_SPACE);
        return;
    }
    if (state == "PAUSE_MENU_STATE") {
        if (++m_wait % 4 == 0)
            Tap(GLFW_KEY_ESCAPE);
        return;
    }
    if (state == "BOSS_DEATH_STATE") {
        // Space held hurries the credits.
        Hold(GLFW_KEY_SPACE, true);
        Doing("the boss's end");
        return;
    }
    if (state == "END_GAME_STATE") {
        Hold(GLFW_KEY_SPACE, false);
        const auto& stats = *app.GetSharedData<ztgame::GameStats>("GameStats");
        m_won = m_won || stats.m_gameWon;
        if (++m_wait % 20 == 0)
            Tap(GLFW_KEY_SPACE);
        Doing("the statistics");
        return;
    }
    if (state == "LOSE_STATE") {
        m_ended = "lost";
        return;
    }
    if (state == "SHRINE_UI_STATE") {
        auto* shop = m_game.FindSystem<ztengine::ShrineUISystem>();
        const int gold = app.GetSharedData<ztengine::Gold>("Gold")->m_gold;
        // The buttons stand in the screen's places in another order than the prices' list:
        // the faster fire sits at the third place, the health regeneration at the fourth.
        static constexpr int kPlaceOfButton[] = {0, 1, 3, 2, 4, 5};
        // More projectiles first, then a faster fire, then the rest. A purchase is progress when
        // it is counted (see Count), not when it is clicked: a click that buys nothing must
        // not keep the run from being found stuck.
        for (int button : {0, 2, 1, 4, 5, 3}) {
            const int price = shop->m_prices[static_cast<size_t>(button)];
            if (price <= gold) {
                const auto& at = shop->m_positions[static_cast<size_t>(kPlaceOfButton[button])];
                Say("buys upgrade " + std::to_string(button) + " for " + std::to_string(price));
                Click(at.x, at.y);
                return;
            }
        }
        const auto& back = shop->m_positions[ztengine::ShrineUISystem::kBackPosition];
        Click(back.x, back.y);
        return;
    }
    // Fades, loading, the death sequence: nothing to do but wait.
}

void Autopilot::DecideDungeon()
{
    auto& app = m_game.App();
    const auto& level = *app.GetSharedData<ztengine::LevelState>("LevelState");
    const auto& layout = *app.GetSharedData<ztengine::LevelLayout>("LevelLayout");
    const auto& spawner = *app.GetSharedData<ztengine::AISpawner>("AISpawner");
    const Vector3 eye = Eye();
    const bool bossFloor = level.m_floor >= 3;

    // A new floor: nothing of it walked yet.
    const int64_t serial = Heard("NEW_DUNGEON_GENERATED") * 8 + level.m_level;
    if (serial != m_floorSerial) {
        m_floorSerial = serial;
        m_roomsVisited.clear();
        m_path.clear();
        m_pathTarget = Vector3(1e9f, 0.0f, 1e9f);
        m_shieldSeen = false;
        m_townRequested = false;
        m_bossSeenFrames = 0;
        Progress("new floor " + FloorName());
    }
    if (Heard("MB00_GOT_HIT_INVUL") > 0 && !m_shieldSeen && bossFloor) {
        m_shieldSeen = true;
        Say("the mini-boss blocks shots from the front: it is hurt from behind");
    }
    const int room = RoomOf(eye);
    if (room >= 0 && m_roomsVisited.insert(room).second)
        Progress("in room " + std::to_string(room));

    // Fight while the doors are shut or anything stands near.
    const int enemy = NearestEnemy(true);
    const bool near = enemy >= 0 && (spawner.m_enemyPositions[static_cast<size_t>(enemy)] - eye).Length() < 150.0f;
    if (level.m_fight == 1 || near) {
        if (!m_fightWasOn) {
            m_killsAtFightStart = m_total.Kills();
            m_lastHitAt = m_time;
        }
        m_fightWasOn = true;
        m_townRequested = false;
        if (bossFloor && enemy >= 0 && ++m_bossSeenFrames == static_cast<int>(4.0 / m_game.Step()))
            Shot("mini-boss-fight");
        Fight(bossFloor);
        return;
    }
    m_fire = false;
    if (m_fightWasOn) {
        m_fightWasOn = false;
        // A room whose doors shut on nobody was not a fight.
        if (m_total.Kills() > m_killsAtFightStart) {
            ++m_roomsCleared;
            Progress("room cleared");
            if (!bossFloor)
                Shot("cleared-room");
        }
    }

    // Gold lying about, unless it could not be reached for a while.
    auto* coins = m_game.FindSystem<ztengine::CollectibleSystem>();
    if (coins != nullptr && m_time > m_coinsIgnoredUntil) {
        float best = 150.0f;
        Vector3 coin;
        bool any = false;
        for (uint32_t i = 0; i < static_cast<uint32_t>(coins->m_coins.m_nodes.size()); ++i) {
            if (!coins->m_coins.IsValidIndex(i))
                continue;
            const Vector3 p = coins->m_coins.At(i).m_body.GetPosition();
            const bool givenUp = std::any_of(m_coinsGivenUp.begin(), m_coinsGivenUp.end(),
                                             [&p](const Vector3& q) { return (p - q).Length() < 2.0f; });
            if (givenUp)
                continue;
            const float d = Flat(p, eye);
            if (d < best) {
                best = d;
                coin = p;
                any = true;
            }
        }
        if (any) {
            if (m_coinSince < 0.0)
                m_coinSince = m_time;
            if (m_time - m_coinSince > 12.0) {
                char where[160];
                std::snprintf(where, sizeof where, "gives up a coin out of reach at (%.1f, %.1f, %.1f), eye (%.1f, %.1f, %.1f)",
                              coin.x, coin.y, coin.z, eye.x, eye.y, eye.z);
                Say(where);
                m_coinsGivenUp.push_back(coin);
                m_coinsIgnoredUntil = m_time + 1.0;
                m_coinSince = -1.0;
                return;
            }
            WalkTo(coin, 0.0f);
            Doing("to a coin");
            return;
        }
    }
    m_coinSince = -1.0;

    // The orb, where the mini-boss fell: seen lying on the floor until it is taken.
    if (m_orbsTaken < Heard("ORB_COLLECT")) {
        m_orbsTaken = Heard("ORB_COLLECT");
        Progress("orb taken");
    }
    if (auto* altar = m_game.FindSystem<ztengine::AltarSystem>(); altar != nullptr && bossFloor) {
        for (int32_t type = 0; type < 3; ++type) {
            const Vector3 orb = altar->OrbPosition(type);
            if (altar->m_collected[type] || orb.y < -500.0f || Flat(orb, eye) > 1000.0f)
                continue;
            if ((orb - eye).Length() < 30.0f)
                Shot("orb-taken");
            WalkTo(orb, 0.0f);
            Doing("to the orb");
            return;
        }
    }
    // The orb taken: back to town, standing still while the portal opens.
    if (bossFloor && Heard("ORB_COLLECT") >= m_nextDungeon) {
        if (!m_townRequested || ++m_townWait > static_cast<int>(4.0 / m_game.Step())) {
            if (m_wait++ < 2)
                return;
            m_wait = 0;
            Tap(GLFW_KEY_T);
            m_townRequested = true;
            m_townWait = 0;
            Doing("T to town");
        }
        return;
    }

    // The rooms not yet walked, nearest first.
    int goal = -1;
    float goalDistance = 1e30f;
    for (size_t i = 0; i < layout.m_rooms.size(); ++i) {
        if (m_roomsVisited.count(static_cast<int>(i)) != 0)
            continue;
        const auto& box = layout.m_rooms[i];
        const Vector3 centre = (box.m_min + box.m_max) * 0.5f;
        const float d = Flat(centre, eye);
        if (d < goalDistance) {
            goalDistance = d;
            goal = static_cast<int>(i);
        }
    }
    if (goal >= 0) {
        const auto& box = layout.m_rooms[static_cast<size_t>(goal)];
        Vector3 centre = (box.m_min + box.m_max) * 0.5f;
        centre = OpenCellNear(centre);
        if (goal != m_goalRoom) {
            m_goalRoom = goal;
            Say("to room " + std::to_string(goal));
        }
        // A room that cannot be reached by the map counts as walked.
        if (FindPath(eye, centre).empty()) {
            m_roomsVisited.insert(goal);
            return;
        }
        if (WalkTo(centre, 4.0f))
            m_roomsVisited.insert(goal);
        return;
    }
    // Every room walked: the stairs.
    if (!bossFloor && layout.m_specialValid) {
        WalkTo(layout.m_specialPosition, 0.0f);
        Doing("to the stairs");
        return;
    }
}

void Autopilot::DecideHub()
{
    auto& app = m_game.App();
    const Vector3 eye = Eye();
    const int gold = app.GetSharedData<ztengine::Gold>("Gold")->m_gold;
    m_orbsPlaced = Heard("ORB_ALTAR");
    m_orbsTaken = Heard("ORB_COLLECT");
    m_nextDungeon = m_orbsTaken + 1;
    m_fire = false;
    if (Heard("FINAL_BOSS_FIGHT_BEGIN") > 0 || m_orbsPlaced >= 3) {
        if (m_orbsPlaced >= 3)
            Shot("altar-three-orbs");
        DecideFinalFight();
        return;
    }
    // The quest giver sells upgrades while the gold lasts.
    auto* shop = m_game.FindSystem<ztengine::ShrineUISystem>();
    int cheapest = 1 << 30;
    for (int price : shop->m_prices)
        cheapest = std::min(cheapest, price);
    if (!m_shopTried && gold >= cheapest) {
        const Vector3 stand(480.0f, eye.y, 537.0f);
        // In reach (the shop is the quest giver's collider, 12 around it, seen in front) and a
        // little off its box: a walk of whole frames cannot stop on a point.
        const bool inReach = Flat(eye, kQuestGiver) < 14.0f && eye.z < 541.0f;
        if (!inReach) {
            m_shopFrames = 0;
            WalkStraight(Flat(eye, Vector3(480.0f, 0.0f, 520.0f)) > 6.0f && eye.z < 520.0f
                             ? Vector3(480.0f, eye.y, 520.0f)
                             : stand,
                         true);
            Doing("to the quest giver");
            return;
        }
        LookAt(kQuestGiver);
        if (++m_shopFrames == 3) {
            m_game.PressKey(GLFW_KEY_E);
            m_keys[GLFW_KEY_E] = true;
        } else if (m_shopFrames == 5) {
            Hold(GLFW_KEY_E, false);
        } else if (m_shopFrames > 10) {
            std::ostringstream where;
            where << "the quest giver's shop did not open at (" << eye.x << ", " << eye.y << ", " << eye.z << ")";
            Say(where.str());
            m_shopTried = true;
            m_shopFrames = 0;
        }
        return;
    }
    // With three orbs, the altar.
    if (m_orbsTaken >= 3) {
        WalkStraight(Vector3(kAltar.x + 20.0f, eye.y, kAltar.z - 10.0f), true);
        if (Flat(eye, Vector3(kAltar.x + 20.0f, 0.0f, kAltar.z - 10.0f)) < 6.0f)
            WalkStraight(Vector3(kAltar.x, eye.y, kAltar.z), true);
        Doing("to the altar");
        return;
    }
    // The next dungeon's portal, around the altar and the quest giver.
    static const Vector3 kWays[3][2] = {
        {Vector3(525.0f, 0.0f, 600.0f), Vector3(500.0f, 0.0f, 700.0f)},
        {Vector3(430.0f, 0.0f, 430.0f), Vector3(300.0f, 0.0f, 300.0f)},
        {Vector3(570.0f, 0.0f, 430.0f), Vector3(700.0f, 0.0f, 300.0f)},
    };
    const auto& way = kWays[std::clamp(m_nextDungeon, 1, 3) - 1];
    Vector3 target = way[1];
    if (Flat(eye, way[1]) > Flat(way[0], way[1]) + 5.0f && Flat(eye, way[0]) > 8.0f)
        target = way[0];
    target.y = eye.y;
    WalkStraight(target, true);
    Doing(std::string("to the ") + ColourName(m_nextDungeon) + " portal");
}

void Autopilot::DecideFinalFight()
{
    auto& app = m_game.App();
    const auto& status = *app.GetSharedData<ztengine::PlayerStatus>("PlayerStatus");
    const Vector3 boss = app.GetSharedData<ztengine::BossSystemQueue>("BossSystemQueue")->m_bossPosition;
    const Vector3 eye = Eye();
    if (Heard("FINAL_BOSS_FIGHT_BEGIN") == 0) {
        // The trap: the boss comes out. Step back from it and watch.
        LookAt(boss + Vector3(0.0f, 10.0f, 0.0f));
        if (Flat(eye, boss) < 70.0f)
            Move(eye - boss);
        return;
    }
    if (++m_finalFrames == static_cast<int>(10.0 / m_game.Step()))
        Shot("final-fight");
    LookAt(boss + Vector3(0.0f, 8.0f, 0.0f));
    // Circle it at a distance, always facing it.
    const float d = Flat(eye, boss);
    Vector3 toBoss = boss - eye;
    toBoss.y = 0.0f;
    Vector3 around(-toBoss.z, 0.0f, toBoss.x);
    if (m_strafeFrames-- <= 0) {
        m_strafeFrames = static_cast<int>(3.0 / m_game.Step());
        m_strafeKey = m_strafeKey == 1 ? -1 : 1;
    }
    Vector3 move = around * static_cast<float>(m_strafeKey);
    if (d > 110.0f)
        move = move + toBoss;
    else if (d < 70.0f)
        move = move - toBoss;
    // Only now and then: a walk at full speed would carry the player out of the ring.
    if (m_finalFrames % 6 == 0)
        Move(move);
    const float cost = status.m_staminaCostPerAttack;
    if (status.m_stamina < cost)
        m_fire = false;
    else if (!m_fire && status.m_stamina >= std::max(cost, status.m_maxStamina / 3.0f))
        m_fire = true;
    Doing("the final fight");
}

void Autopilot::Decide()
{
    const std::string state = State();
    for (bool& want : m_wantKeys)
        want = false;
    if (state != "GAMEPLAY_STATE") {
        m_fire = false;
        m_shopFrames = 0;
        DecideMenus(state);
        return;
    }
    auto& app = m_game.App();
    auto& status = *app.GetSharedData<ztengine::PlayerStatus>("PlayerStatus");
    if (m_options.invulnerable && !status.m_invulnerable && !m_usedInvulnerability) {
        Tap(GLFW_KEY_0);
        m_usedInvulnerability = true;
        Say("key 0: invulnerable");
        return;
    }
    const auto& level = *app.GetSharedData<ztengine::LevelState>("LevelState");
    if (level.m_level >= 1 && level.m_level <= 3) {
        m_shopTried = false;
        DecideDungeon();
    } else {
        DecideHub();
    }
}

void Autopilot::Count()
{
    auto& app = m_game.App();
    m_time += m_game.Step();
    const std::string state = State();
    if (state == "GAMEPLAY_STATE")
        m_floorName = FloorName();
    AutopilotFigures& floor = FloorFigures();
    AutopilotFigures delta;
    delta.seconds = m_game.Step();
    delta.frames = 1;
    const auto& status = *app.GetSharedData<ztengine::PlayerStatus>("PlayerStatus");
    if (status.m_attackedThisFrame && state == "GAMEPLAY_STATE")
        delta.shots = status.m_weaponProjectileCount;
    const float health = app.GetSharedData<ztengine::PlayerHealth>("PlayerHealth")->m_currentHealth;
    if (m_lastHealth >= 0.0f && health < m_lastHealth)
        delta.damageTaken = m_lastHealth - health;
    m_lastHealth = health;
    const int gold = app.GetSharedData<ztengine::Gold>("Gold")->m_gold;
    const auto& stats = *app.GetSharedData<ztgame::GameStats>("GameStats");
    const int upgrades = static_cast<int>(stats.m_personalUpgrades);
    if (m_lastUpgrades >= 0 && upgrades > m_lastUpgrades) {
        delta.upgrades = upgrades - m_lastUpgrades;
        Progress("upgrade bought");
    }
    m_lastUpgrades = upgrades;
    if (m_lastGold >= 0 && gold != m_lastGold)
        Progress("");
    m_lastGold = gold;
    // The final boss says nothing when hit; its health bar shows each hit's 10.
    if (auto* bosses = m_game.FindSystem<ztengine::BossSystem>(); bosses != nullptr && bosses->m_boss) {
        const float bossHealth = bosses->m_boss->m_health;
        if (m_lastBossHealth > 0.0f && bossHealth < m_lastBossHealth) {
            delta.hits += static_cast<int>(std::lround((m_lastBossHealth - bossHealth) / 10.0f));
            Progress("");
        }
        m_lastBossHealth = bossHealth;
    }
    for (const auto& [name, count] : Ears()->counts) {
        int& seen = m_heard[name];
        if (count == seen)
            continue;
        const int more = count - seen;
        seen = count;
        Progress("");
        for (const Kind& kind : kKinds) {
            if (name == kind.hit) {
                delta.hits += more;
                m_lastHitAt = m_time;
            }
            if (name == kind.died)
                delta.kills[kind.name] += more;
        }
        if (name == "MB00_GOT_HIT_INVUL")
            delta.blocked += more;
        if (name == "COIN_COLLECT")
            delta.goldPicked += more;
        if (name == "PLAYER_DEATH")
            delta.deaths += more;
        if (name == "FIGHT_BOSS_DEAD")
            delta.kills["final boss"] += more;
        if (name == "ORB_ALTAR")
            m_orbsPlaced = count;
    }
    floor.Add(delta);
    m_total.Add(delta);
    if (m_options.verbose && std::getenv("AUTOPILOT_TRACE") != nullptr &&
        m_time >= std::strtod(std::getenv("AUTOPILOT_TRACE"), nullptr)) {
        const Vector3 eye = Eye();
        std::fprintf(stderr, "  trace %.2f %s eye (%.1f, %.1f, %.1f) yaw %.1f pitch %.1f keys %d%d%d%d fire %d stamina %.0f fight %d\n", m_time,
                     state.c_str(), eye.x, eye.y, eye.z, Yaw(), Pitch(), m_wantKeys[0], m_wantKeys[1], m_wantKeys[2],
                     m_wantKeys[3], m_fire ? 1 : 0, status.m_stamina, app.GetSharedData<ztengine::LevelState>("LevelState")->m_fight);
    }
}

void Autopilot::Frame()
{
    const std::string before = State();
    Decide();
    static const int kMoveKeys[4] = {GLFW_KEY_W, GLFW_KEY_A, GLFW_KEY_S, GLFW_KEY_D};
    for (int i = 0; i < 4; ++i)
        Hold(kMoveKeys[i], m_wantKeys[i]);
    const bool fire = m_fire && before == "GAMEPLAY_STATE";
    if (fire != m_fireHeld) {
        m_fireHeld = fire;
        if (fire)
            m_game.PressMouseButton(GLFW_MOUSE_BUTTON_LEFT);
        else
            m_game.ReleaseMouseButton(GLFW_MOUSE_BUTTON_LEFT);
    }
    m_game.RunFrames(1);
    // A tapped key goes up after one frame down.
    for (int key : m_tapped)
        Hold(key, false);
    m_tapped.clear();
    Count();
    if (State() != before)
        Progress("in " + State());
}

bool Autopilot::Play(const std::function<bool()>& goal, double maxSeconds)
{
    const double start = m_time;
    m_lastProgress = m_time;
    while (m_ended.empty()) {
        if (m_game.App().ShouldQuit()) {
            m_ended = m_won ? "won" : "quit";
            break;
        }
        Frame();
        if (goal && goal()) {
            LetGo();
            return true;
        }
        if (m_time - m_lastProgress > m_options.stuckSeconds) {
            const Vector3 eye = Eye();
            std::ostringstream why;
            why << "stuck: no progress for " << m_options.stuckSeconds << " s while " << m_lastDoing << " on "
                << FloorName() << " in " << State() << " at (" << eye.x << ", " << eye.y << ", " << eye.z << ")";
            const auto& spawner = *m_game.App().GetSharedData<ztengine::AISpawner>("AISpawner");
            // Whether the player still stands in the room whose doors are shut.
            const auto& layout = *m_game.App().GetSharedData<ztengine::LevelLayout>("LevelLayout");
            const auto& level = *m_game.App().GetSharedData<ztengine::LevelState>("LevelState");
            bool inFightRoom = false;
            for (const auto& cell : layout.m_roomCells)
                inFightRoom = inFightRoom || (ColumnOf(eye.x) == static_cast<int>(cell.m_column) &&
                                              ColumnOf(eye.z) == static_cast<int>(cell.m_row));
            why << " on '" << Cell(ColumnOf(eye.x), ColumnOf(eye.z)) << "', fight " << level.m_fight
                << (level.m_fight == 1 ? (inFightRoom ? " (inside its room)" : " (outside its room)") : "");
            why << ", enemies counted " << spawner.m_enemyCount << ", seen " << spawner.m_enemyPositions.size();
            for (size_t i = 0; i < spawner.m_enemyPositions.size(); ++i) {
                const Vector3& p = spawner.m_enemyPositions[i];
                why << (i == 0 ? ": " : "; ") << "(" << p.x << ", " << p.y << ", " << p.z << ") on '"
                    << Cell(ColumnOf(p.x), ColumnOf(p.z)) << "'"
                    << (i < spawner.m_enemyStanding.size() && spawner.m_enemyStanding[i] == 0 ? " falling" : "")
                    << (ClearLine(eye, p) ? " in sight" : "") << (FindPath(eye, p).empty() ? " no way" : "");
            }
            m_ended = why.str();
            Say(m_ended);
            Shot("stuck");
            break;
        }
        if (m_time - start > maxSeconds) {
            m_ended = "time";
            break;
        }
    }
    LetGo();
    return false;
}

void Autopilot::LetGo()
{
    for (auto& [key, down] : m_keys)
        if (down) {
            m_game.ReleaseKey(key);
            down = false;
        }
    m_tapped.clear();
    if (m_fireHeld) {
        m_game.ReleaseMouseButton(GLFW_MOUSE_BUTTON_LEFT);
        m_fireHeld = false;
    }
    m_fire = false;
    m_game.RunFrames(1);
}

std::string Autopilot::Report() const
{
    std::ostringstream out;
    for (const auto& [name, figures] : m_floors)
        out << "  " << name << ": " << figures.Line() << "\n";
    out << "in all: " << m_total.Line() << ", rooms cleared " << m_roomsCleared << ", orbs taken " << m_orbsTaken
        << ", orbs placed " << m_orbsPlaced << (m_usedInvulnerability ? ", invulnerable (key 0)" : ", no cheat key")
        << "\n";
    out << "ended: " << (m_ended.empty() ? "playing" : m_ended) << "\n";
    return out.str();
}

}  // namespace zttest
