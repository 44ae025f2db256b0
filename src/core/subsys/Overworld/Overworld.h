#pragma once
// The town hub every run starts in: built once in code (terrain, mountains and walls, scattered
// decoration, sky box, three dungeon portals and a hidden return portal with their particle
// effects), then only shown, hidden and reset. Walking into a portal starts that dungeon.
#include <cstdint>
#include <vector>

#include "core/Subsystem.h"
#include "core/graphics/framework/instance/Instances.h"
#include "core/math/Vector3.h"
#include "core/physics-engine/PhysicsBody.h"
#include "core/subsys/Overworld/FxParticle.h"
#include "core/subsys/Overworld/PlacementGrid.h"
#include "core/subsys/sharedData/WalkedPath.h"

namespace ztengine {

class App;
class MessagingSystem;
class PhysicsEngine;
class TextManager;
struct FadeMessageQueue;
struct LevelState;

struct OverworldPortal {
    enum Kind : int32_t { kNone = -1, kRed = 0, kYellow = 1, kBlue = 2, kReturn = 3 };

    bool m_valid = false;
    int32_t m_kind = kNone;
    InstanceHandle m_plane;
};

struct OrbitEmitter {
    ztmath::Vector3 m_centre;
    ztmath::Vector3 m_position;
    ztmath::Vector3 m_offset;
    float m_angle = 0.0f;  // degrees
};

class Overworld : public Subsystem {
public:
    static constexpr float kHubCentre = 500.0f;
    static constexpr float kGroundY = 500.0f;
    // The portals react within 16 units of a point 7.5 above the skull's base.
    static constexpr float kPortalReachSquared = 256.0f;
    static constexpr float kPortalTriggerHeight = 7.5f;
    static constexpr float kReturnReachSquared = 25.0f;
    static constexpr float kReturnTextReachSquared = 250.0f;
    static constexpr uint32_t kPortalCapacity = 3000;
    static constexpr uint32_t kRingCapacity = 2048;
    static constexpr uint32_t kBurstCapacity = 2048;
    static constexpr uint32_t kOrbitCapacity = 5096;
    static constexpr uint32_t kMaxOrbitEmitters = 20;
    static constexpr int kTreeCount = 50;
    static constexpr int kRockCount = 50;
    static constexpr int kFernCount = 50;
    static constexpr int kGrassCount = 1000;
    // A scatter item that finds no free spot in this many draws per wanted item gives up, so a
    // crowded grid can never hang the start of the game.
    static constexpr int kDrawsPerItem = 200;

    explicit Overworld(App* app);
    ~Overworld() override;

    void Init() override;
    void Update(float dt) override;
    void NextState(int newState) override;
    void SetToCurrentState() override;
    void Reset() override;
    void Render(DebugDraw& drawer, float dt) override;

    void Hide();
    void Show();
    void ActivateReturnPortal();
    void LockPortals();

    // ---- Building steps, in the order Init runs them.
    void PlacePortals();
    void SetUpSkybox();
    void PlaceGrass();
    void PlaceTrees();
    void PlaceRocks();
    void PlaceFerns();
    void PlaceMountains();

    // ---- Effects.
    void EmitPortalParticle(const ztmath::Vector3& position, float selector);
    void UpdatePortalParticles(float d);
    void EmitReturnRings(const ztmath::Vector3& centre);
    void EmitPortalBurst(const ztmath::Vector3& position);
    void UpdateRingParticles(float d);
    void UpdateBurstParticles(float d);
    void UpdateOrbitEmitters(float d);
    void ClearRingParticles();
    void ClearBurstParticles();

    // The skull base of a dungeon portal (0 red, 1 yellow, 2 blue).
    static ztmath::Vector3 SkullPosition(int portal);
    ztmath::Vector3 PlanePosition(int portal) const;

    // ---- State, open to the game's tests.
    InstanceHandle m_terrain;
    OverworldPortal m_portals[4];
    ztmath::Vector3 m_playerStart{500.0f, 510.0f, 500.0f};
    FadeMessageQueue* m_fadeQueue = nullptr;
    LevelState* m_levelState = nullptr;
    InstanceHandle m_skulls[3];
    int32_t m_treeBuffer = -1;
    int32_t m_rockBuffer = -1;
    int32_t m_fernBuffer = -1;
    int32_t m_grassBuffer = -1;
    TextManager* m_textManager = nullptr;
    uint32_t m_font = 0;
    uint32_t m_returnText = 0xFFFFFFFFu;
    PlacementGrid m_grid;
    int32_t m_portalSystem = -1;
    std::vector<FxParticle> m_portalParticles;
    float m_portalTimer = 0.0f;
    int32_t m_ringSystem = -1;
    std::vector<FxParticle> m_ringParticles;
    float m_ringTimer = 0.0f;
    int32_t m_burstSystem = -1;
    std::vector<FxParticle> m_burstParticles;
    int32_t m_orbitSystem = -1;
    std::vector<FxParticle> m_orbitParticles;
    std::vector<OrbitEmitter> m_orbitEmitters;
    MessagingSystem* m_messaging = nullptr;
    PhysicsEngine* m_physics = nullptr;
    int32_t m_groundCollider = -1;
    PhysicsBody m_groundBody;
    int32_t m_treeCollider = -1;
    PhysicsBody m_treeBodies[kTreeCount];
    int32_t m_rockColliders[kRockCount];
    PhysicsBody m_rockBodies[kRockCount];
    ztmath::Vector3 m_rockHalfExtents[kRockCount];
    int32_t m_wallColliders[4] = {-1, -1, -1, -1};
    PhysicsBody m_wallBodies[4];
    InstanceHandle m_mountains[4];
    uint32_t m_exitEventId = 0xFFFFFFFFu;
    bool m_visible = true;
    bool m_portalsLocked = false;
    bool m_returnPortalActive = false;
    bool m_portalsOpen = false;
    bool m_built = false;
    // The way walked since the last frame, against which the portals are checked.
    WalkedPath m_walk;
    // Where each placed item went, for the scatter's checks.
    std::vector<ztmath::Vector3> m_treePositions;
    std::vector<ztmath::Vector3> m_rockPositions;
    std::vector<ztmath::Vector3> m_fernPositions;
    std::vector<ztmath::Vector3> m_grassPositions;

private:
    void EnterDungeon(int32_t level);
    void SendPlayerStart();
    PhysicsBody MakeStaticBody(uint32_t collider, const ztmath::Vector3& position);
    // Rebuilds the renderer's list of a ring-style effect after aging it by d.
    void StepFadingParticles(std::vector<FxParticle>& particles, int32_t system, float d);
};

}  // namespace ztengine
