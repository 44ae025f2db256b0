#include "core/subsys/Overworld/Overworld.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/App.h"
#include "core/MessagingSystem.h"
#include "core/graphics/Graphics2D.h"
#include "core/graphics/framework/DebugDraw.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/math/Basis.h"
#include "core/math/Quaternion.h"
#include "core/physics-engine/PhysicsEngine.h"
#include "core/subsys/sharedData/FadeMessageQueue.h"
#include "core/subsys/sharedData/LevelRecords.h"
#include "platform/CRand.h"

namespace ztengine {

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr int32_t kStaticTypeId = 18;
constexpr uint16_t kStaticCategory = 2;
constexpr const char* kModelFolder = "models";

struct PortalLayout {
    int32_t level;
    ztmath::Vector3 skull;
    float skullYaw;  // degrees
    ztmath::Vector3 plane;
    ztmath::Vector3 reserveCentre;
    float reserveHalfX;
    float reserveHalfZ;
    float selector;
    ztmath::Vector3 spinAxis;
    const char* name;
};

const float kInvSqrt2 = 1.0f / std::sqrt(2.0f);

const PortalLayout kPortalLayouts[3] = {
    {1, {500.0f, 500.0f, 700.0f}, 180.0f, {500.0f, 511.0f, 690.0f}, {500.0f, 500.0f, 715.0f},
     60.0f, 52.5f, 0.0f, {0.0f, 0.0f, 1.0f}, "Red"},
    {2, {300.0f, 500.0f, 300.0f}, 45.0f, {307.0f, 511.0f, 307.0f}, {300.0f, 500.0f, 300.0f},
     60.0f, 60.0f, 2.0f / 3.0f, {-kInvSqrt2, 0.0f, -kInvSqrt2}, "Green"},
    {3, {700.0f, 500.0f, 300.0f}, -45.0f, {693.0f, 511.0f, 307.0f}, {700.0f, 500.0f, 300.0f},
     60.0f, 60.0f, 1.0f / 3.0f, {kInvSqrt2, 0.0f, -kInvSqrt2}, "Blue"},
};
const ztmath::Vector3 kReturnPlanePosition{525.0f, 511.0f, 550.0f};

struct MountainLayout {
    ztmath::Vector3 position;
    bool turned;
    ztmath::Vector3 wallHalfExtents;
    ztmath::Vector3 wallPosition;
};

const MountainLayout kMountains[4] = {
    {{0.0f, 493.75f, 1080.0f}, false, {500.0f, 50.0f, 1.0f}, {500.0f, 500.0f, 900.0f}},
    {{0.0f, 493.75f, -50.0f}, false, {500.0f, 50.0f, 1.0f}, {500.0f, 500.0f, 100.0f}},
    {{1080.0f, 493.75f, 580.0f}, true, {1.0f, 50.0f, 500.0f}, {900.0f, 500.0f, 500.0f}},
    {{-50.0f, 493.75f, 580.0f}, true, {1.0f, 50.0f, 500.0f}, {100.0f, 500.0f, 500.0f}},
};

ztmath::Basis YawBasis(float degrees)
{
    ztmath::Basis basis;
    basis.Yaw(degrees);
    return basis;
}

// forward (0, 0, 1), up (0, 1, 0), right = up x forward, then turned like its skull.
ztmath::Basis PlaneBasis(float yawDegrees)
{
    ztmath::Basis basis;
    basis.forward = {0.0f, 0.0f, 1.0f};
    basis.up = {0.0f, 1.0f, 0.0f};
    basis.right = basis.up.Cross(basis.forward).Normalized();
    basis.Yaw(yawDegrees);
    return basis;
}

float DistanceSquared(const ztmath::Vector3& a, const ztmath::Vector3& b)
{
    return (a - b).LengthSquared();
}

// Ages every particle by d and drops the expired ones, keeping the order.
void RemoveExpired(std::vector<FxParticle>& particles, float d)
{
    for (FxParticle& p : particles)
        p.m_age += d;
    particles.erase(std::remove_if(particles.begin(), particles.end(),
                                   [](const FxParticle& p) { return p.m_age > p.m_lifetime; }),
                    particles.end());
}

}  // namespace

Overworld::Overworld(App* app)
    : Subsystem(app),
      m_fadeQueue(app->GetSharedData<FadeMessageQueue>("FadeMessageQueue")),
      m_levelState(app->GetSharedData<LevelState>("LevelState")),
      m_messaging(&app->m_messagingSystem),
      m_physics(&app->m_physicsEngine)
{
    std::fill(std::begin(m_rockColliders), std::end(m_rockColliders), -1);
    m_portalParticles.reserve(kPortalCapacity);
    m_ringParticles.reserve(kRingCapacity);
    m_burstParticles.reserve(kBurstCapacity);
    m_orbitParticles.reserve(kOrbitCapacity);
}

Overworld::~Overworld() = default;

// =============================================================================================
// Building the hub
// =============================================================================================

void Overworld::Init()
{
    m_messaging->RegisterHandler("EXIT_OVERWORLD", [this](const IEvent&) {
        Hide();
        if (m_textManager != nullptr)
            m_textManager->SetTextVisible(m_returnText, false);
    });
    m_messaging->RegisterHandler("ENTER_OVERWORLD", [this](const IEvent&) { Show(); });
    m_messaging->RegisterHandler("EVENT_RESTART", [this](const IEvent&) { Reset(); });
    m_messaging->RegisterHandler("TOWN_PORTAL", [this](const IEvent&) { ActivateReturnPortal(); });
    m_messaging->RegisterHandler("FINAL_BOSS_FIGHT_BEGIN", [this](const IEvent&) { LockPortals(); });
    m_portalsLocked = false;
    m_exitEventId = m_messaging->GetEventId("EXIT_OVERWORLD");
    m_walk.ListenForJumps(*m_messaging);

    const int32_t terrainMesh = m_graphics->CreateHeightMapMesh();
    const int32_t terrainMaterial = m_graphics->CreateMaterial(
        "textures/diff/overworld_COLOR.png", "textures/spec/overworld_SPEC.png",
        "textures/nrm/overworld_NRM.png", "textures/disp/overworld_DISP.png");
    const int32_t terrainModel = m_graphics->CreateModel(terrainMesh, terrainMaterial);
    InstanceTransform terrain;
    terrain.m_position = {kHubCentre, kGroundY, kHubCentre};
    terrain.m_scale = {1000.0f, 1.0f, 1000.0f};
    m_terrain = m_graphics->CreateInstance(terrainModel, terrain);
    m_terrain.SetTiling({1.0f, 1.0f});

   
    m_groundCollider = static_cast<int32_t>(m_physics->CreateBoxCollider({500.0f, 1.0f, 500.0f}));
    m_groundBody = MakeStaticBody(m_groundCollider, {kHubCentre, kGroundY, kHubCentre});

    if (m_graphics2D != nullptr) {
        m_textManager = &m_graphics2D->GetTextManager();
        m_font = m_textManager->LoadFont("fonts/arial.ttf");
        m_returnText = m_textManager->CreateText("Return to previous dungeon location", m_font);
        const float height = static_cast<float>(m_app->m_windowInfo.windowHeight);
        m_textManager->SetTextPosition(m_returnText, {150.0f, 0.75f * height});
        if (TextEntry* entry = m_textManager->GetTextEntry(m_returnText))
            entry->scale = {1.2f, 1.2f};
        m_textManager->SetTextColor(m_returnText, {1.0f, 1.0f, 1.0f}, 1.0f);
        m_textManager->SetTextVisible(m_returnText, false);
    }

    m_playerStart = {500.0f, 510.0f, 500.0f};
    SendPlayerStart();

    m_grid.Reserve(75.0f, 75.0f, m_playerStart, PlacementGrid::kPlayerStart);
    m_grid.Reserve(15.0f, 22.5f, {500.0f, 500.0f, 615.0f}, PlacementGrid::kKeptFree);
    m_grid.Reserve(15.0f, 15.0f, {400.0f, 500.0f, 400.0f}, PlacementGrid::kKeptFree);
    m_grid.Reserve(15.0f, 15.0f, {600.0f, 500.0f, 400.0f}, PlacementGrid::kKeptFree);

    PlacePortals();
    SetUpSkybox();
    PlaceGrass();
    PlaceTrees();
    PlaceRocks();
    PlaceFerns();
    PlaceMountains();
    m_built = true;
    std::printf("done loading Overworld\n");
}

PhysicsBody Overworld::MakeStaticBody(uint32_t collider, const ztmath::Vector3& position)
{
    PhysicsBody body = m_physics->CreateStaticBody(collider, position, ztmath::Quaternion());
    body.SetUserTypeId(kStaticTypeId);
    body.SetCollisionCategoryBits(kStaticCategory);
    return body;
}

void Overworld::SendPlayerStart()
{
    m_messaging->SendEventByName("PLAYER_SET_POSITION", IEvent(1, &m_playerStart));
}

namespace {

// The swirl pictures are JPEGs painted on black: the black around the disc is see-through, and
// the shadow map, which knows nothing of the picture, would darken the ground with the whole
// square, so the swirl casts none.
void MakeSwirl(const InstanceHandle& plane)
{
    InstanceData& data = plane.GetInstance();
    data.m_flags |= InstanceData::kCutOutBlack;
    data.m_castShadow = 0;
}

}  // namespace

void Overworld::PlacePortals()
{
    const int32_t skullMesh = m_graphics->CreateCustomMesh(kModelFolder, "portalskull.fbx");
    const int32_t skullMaterial =
        m_graphics->CreateMaterial("textures/diff/portalskull.jpg", nullptr, nullptr, nullptr);
    const int32_t skullModel = m_graphics->CreateModel(skullMesh, skullMaterial);

    const int32_t planeMesh = m_graphics->CreatePlaneMesh(10, 10);
    static const char* const kPlaneTextures[3] = {"textures/diff/portal_red.jpg",
                                                  "textures/diff/portal_yellow.jpg",
                                                  "textures/diff/portal_blue.jpg"};
    int32_t planeModels[3];
    for (int i = 0; i < 3; ++i)
        planeModels[i] = m_graphics->CreateModel(
            planeMesh, m_graphics->CreateMaterial(kPlaneTextures[i], nullptr, nullptr, nullptr));

    for (int i = 0; i < 3; ++i) {
        const PortalLayout& layout = kPortalLayouts[i];
        InstanceTransform skull;
        skull.m_position = layout.skull;
        skull.m_scale = {10.0f, 5.0f, 10.0f};
        skull.m_basis = YawBasis(layout.skullYaw);
        m_skulls[i] = m_graphics->CreateInstance(skullModel, skull);

        InstanceTransform plane;
        plane.m_position = layout.plane;
        plane.m_scale = {15.0f, 16.0f, 15.0f};
        plane.m_basis = PlaneBasis(layout.skullYaw);
        m_portals[i].m_plane = m_graphics->CreateInstance(planeModels[i], plane);
        MakeSwirl(m_portals[i].m_plane);
        m_portals[i].m_kind = i;
        m_portals[i].m_valid = true;

        const bool reserved = m_grid.Reserve(layout.reserveHalfX, layout.reserveHalfZ,
                                             layout.reserveCentre, PlacementGrid::kPortal);
        std::printf("Place %s Portal: %d\n", layout.name, reserved ? 1 : 0);
    }

    InstanceTransform returnPlane;
    returnPlane.m_position = kReturnPlanePosition;
    returnPlane.m_scale = {15.0f, 16.0f, 15.0f};
    returnPlane.m_basis = PlaneBasis(0.0f);
    m_portals[3].m_plane = m_graphics->CreateInstance(planeModels[2], returnPlane);
    MakeSwirl(m_portals[3].m_plane);
    m_portals[3].m_kind = OverworldPortal::kReturn;
    m_portals[3].m_valid = true;
    m_portals[3].m_plane.SetHidden(true);

    m_portalsOpen = true;
    m_returnPortalActive = false;
    m_portalSystem = m_graphics->CreateParticleSystem("textures/diff/OrbsColor.png", 2, kPortalCapacity);
    m_ringSystem = m_graphics->CreateParticleSystem("particles/particleAtlas.png", 4, kRingCapacity);
    m_burstSystem = m_graphics->CreateParticleSystem("particles/particleAtlas.png", 4, kBurstCapacity);
}

void Overworld::SetUpSkybox()
{
    Environment& environment = m_graphics->GetCurrentEnvironmentRef();
    const SkyboxHandle sky = environment.CreateSkybox();
    environment.SetCurrentSkybox(sky);
    environment.GetCurrentSkybox().m_blendFactor = 0.5f;
    m_graphics->EnableSkybox(true);
}

void Overworld::PlaceGrass()
{
    const int32_t mesh = m_graphics->CreateCustomMesh(kModelFolder, "grass.obj");
    const int32_t material = m_graphics->CreateMaterial("textures/diff/green.jpg", nullptr, nullptr, nullptr);
    m_grassBuffer = m_graphics->CreateInstanceBuffer(mesh, 5000, material);
    int placed = 0;
    for (int draw = 0; placed < kGrassCount && draw < kGrassCount * kDrawsPerItem; ++draw) {
        const float x = 100.0f + 800.0f * RandUnit();
        const float z = 100.0f + 800.0f * RandUnit();
        const float yaw = 360.0f - 360.0f * RandUnit();
        if (!m_grid.IsFree(m_grid.ColumnOf(x), m_grid.RowOf(z), 2, 2))
            continue;
        const ztmath::Vector3 position{x, kGroundY, z};
        m_graphics->AddInstanceToBuffer(m_grassBuffer, position, YawBasis(yaw), 0.2f, {0.0f, 0.0f});
        m_grassPositions.push_back(position);
        ++placed;
    }
    if (placed < kGrassCount)
        std::printf("Overworld: room for %d of %d grass tufts\n", placed, kGrassCount);
}

void Overworld::PlaceTrees()
{
    m_orbitSystem = m_graphics->CreateParticleSystem("textures/diff/OrbsColor.png", 2, kOrbitCapacity);
    const int32_t mesh = m_graphics->CreateCustomMesh(kModelFolder, "tree.obj");
    const int32_t material =
        m_graphics->CreateMaterial("textures/diff/tree_COLOR.png", nullptr, nullptr, nullptr);
    m_treeBuffer = m_graphics->CreateInstanceBuffer(mesh, kTreeCount, material);
    m_treeCollider = static_cast<int32_t>(m_physics->CreateBoxCollider({1.0f, 7.5f, 1.0f}));
    int placed = 0;
    for (int draw = 0; placed < kTreeCount && draw < kTreeCount * kDrawsPerItem; ++draw) {
        const float x = 150.0f + 700.0f * RandUnit();
        const float z = 150.0f + 700.0f * RandUnit();
        const ztmath::Vector3 position{x, kGroundY, z};
        if (!m_grid.Reserve(10.0f, 10.0f, position, PlacementGrid::kTree))
            continue;
        m_graphics->AddInstanceToBuffer(m_treeBuffer, position, ztmath::Basis(), 0.5f, {0.0f, 0.0f});
        m_treeBodies[placed] = MakeStaticBody(m_treeCollider, {x, 505.0f, z});
        m_treePositions.push_back(position);
        if (m_orbitEmitters.size() < kMaxOrbitEmitters && (ztplatform::Rand() & 1) != 0) {
            OrbitEmitter emitter;
            emitter.m_centre = {x, 505.0f, z};
            emitter.m_position = emitter.m_centre;
            emitter.m_angle = 360.0f * RandUnit();
            m_orbitEmitters.push_back(emitter);
        }
        ++placed;
    }
    if (placed < kTreeCount)
        std::printf("Overworld: room for %d of %d trees\n", placed, kTreeCount);
}

void Overworld::PlaceRocks()
{
    const int32_t mesh = m_graphics->CreateCustomMesh(kModelFolder, "rock.obj");
    const int32_t material =
        m_graphics->CreateMaterial("textures/diff/grass_2_COLOR.png", nullptr, nullptr, nullptr);
    m_rockBuffer = m_graphics->CreateInstanceBuffer(mesh, kRockCount, material);
    int placed = 0;
    for (int draw = 0; placed < kRockCount && draw < kRockCount * kDrawsPerItem; ++draw) {
        const float x = 150.0f + 700.0f * RandUnit();
        const float z = 150.0f + 700.0f * RandUnit();
        const float s = 0.1f + 0.7f * RandUnit();
        const ztmath::Vector3 position{x, kGroundY, z};
        if (!m_grid.Reserve(25.0f * s, 20.0f * s, position, PlacementGrid::kRock))
            continue;
        m_graphics->AddInstanceToBuffer(m_rockBuffer, position, ztmath::Basis(), s, {0.0f, 0.0f});
        m_rockHalfExtents[placed] = {14.0f * s, 14.0f * s, 14.0f * s};
        m_rockColliders[placed] = static_cast<int32_t>(m_physics->CreateBoxCollider(m_rockHalfExtents[placed]));
        m_rockBodies[placed] = MakeStaticBody(m_rockColliders[placed], {x, kGroundY + 14.0f * s, z});
        m_rockPositions.push_back(position);
        ++placed;
    }
    if (placed < kRockCount)
        std::printf("Overworld: room for %d of %d rocks\n", placed, kRockCount);
}

void Overworld::PlaceFerns()
{
    const int32_t mesh = m_graphics->CreateCustomMesh(kModelFolder, "fern.obj");
    const int32_t material = m_graphics->CreateMaterial("textures/diff/green.jpg", nullptr, nullptr, nullptr);
    m_fernBuffer = m_graphics->CreateInstanceBuffer(mesh, kFernCount, material);
    int placed = 0;
    for (int draw = 0; placed < kFernCount && draw < kFernCount * kDrawsPerItem; ++draw) {
        const float x = 150.0f + 700.0f * RandUnit();
        const float z = 150.0f + 700.0f * RandUnit();
        const ztmath::Vector3 position{x, kGroundY, z};
        if (!m_grid.Reserve(10.0f, 10.0f, position, PlacementGrid::kFern))
            continue;
        m_graphics->AddInstanceToBuffer(m_fernBuffer, position, ztmath::Basis(), 0.2f, {0.0f, 0.0f});
        m_fernPositions.push_back(position);
        ++placed;
    }
    if (placed < kFernCount)
        std::printf("Overworld: room for %d of %d ferns\n", placed, kFernCount);
}

void Overworld::PlaceMountains()
{
    const int32_t mesh = m_graphics->CreateCustomMesh(kModelFolder, "mountain.obj");
    const int32_t material =
        m_graphics->CreateMaterial("textures/diff/grass_2_COLOR.png", nullptr, nullptr, nullptr);
    const int32_t model = m_graphics->CreateModel(mesh, material);
    for (int i = 0; i < 4; ++i) {
        InstanceTransform transform;
        transform.m_position = kMountains[i].position;
        transform.m_scale = {5.0f, 4.0f, 2.5f};
        transform.m_basis = YawBasis(kMountains[i].turned ? 90.0f : 0.0f);
        m_mountains[i] = m_graphics->CreateInstance(model, transform);
        m_mountains[i].SetTiling({15.0f, 15.0f});
        m_wallColliders[i] = static_cast<int32_t>(m_physics->CreateBoxCollider(kMountains[i].wallHalfExtents));
        m_wallBodies[i] = MakeStaticBody(m_wallColliders[i], kMountains[i].wallPosition);
    }
}

ztmath::Vector3 Overworld::SkullPosition(int portal)
{
    return kPortalLayouts[portal].skull;
}

ztmath::Vector3 Overworld::PlanePosition(int portal) const
{
    if (!m_portals[portal].m_valid)
        return {};
    return m_portals[portal].m_plane.GetInstanceConst().m_transform.m_position;
}

// =============================================================================================
// Each frame
// =============================================================================================

void Overworld::Update(float dt)
{
    if (!m_visible || !m_built)
        return;
    const float d = std::min(dt, 1.0f / 60.0f);

    // A fixed turn per frame: the spin speed follows the frame rate.
    for (int i = 0; i < 3; ++i) {
        if (!m_portals[i].m_valid)
            continue;
        ztmath::Quaternion turn;
        turn.SetFromAxisAngle(0.01f, kPortalLayouts[i].spinAxis);
        ztmath::Basis& basis = m_portals[i].m_plane.GetInstance().m_transform.m_basis;
        basis.Rotate(turn);
    }

    if (m_portalsOpen) {
        for (int i = 0; i < 3; ++i) {
            EmitPortalParticle(kPortalLayouts[i].skull, kPortalLayouts[i].selector);
            UpdatePortalParticles(d);
        }
    } else {
        UpdatePortalParticles(d);
    }

    // The portals catch the whole way walked since the last frame, not only where it ended.
    const ztmath::Vector3 camera = m_graphics->GetCameraPosition();
    m_walk.MoveTo(camera);
    for (int i = 0; i < 3; ++i) {
        const ztmath::Vector3 trigger = kPortalLayouts[i].skull + ztmath::Vector3(0.0f, kPortalTriggerHeight, 0.0f);
        if (m_walk.DistanceSquaredTo(trigger) < kPortalReachSquared && !m_portalsLocked)
            EnterDungeon(kPortalLayouts[i].level);
    }

    const ztmath::Vector3 returnPoint = PlanePosition(OverworldPortal::kReturn);
    const float returnDistance = DistanceSquared(returnPoint, camera);
    if (m_returnPortalActive && !m_portalsLocked &&
        m_walk.DistanceSquaredTo(returnPoint) < kReturnReachSquared &&
        m_levelState->m_returnLevel != 0) {
        m_levelState->m_level = m_levelState->m_returnLevel;
        m_levelState->m_returnedToTown = false;
        m_fadeQueue->PushEvent(m_exitEventId, "GAMEPLAY_STATE");
        m_fadeQueue->PushTeleport(m_levelState->m_returnPosition, "GAMEPLAY_STATE");
        m_app->ChangeState("FADE_OUT_STATE");
        m_messaging->SendEventByName("PLAYER_WARP", IEvent());
    }

    if (m_textManager != nullptr)
        m_textManager->SetTextVisible(m_returnText, false);
    if (m_returnPortalActive) {
        if (m_textManager != nullptr)
            m_textManager->SetTextVisible(m_returnText,
                                          returnDistance < kReturnTextReachSquared && !m_portalsLocked);
        EmitReturnRings(returnPoint - ztmath::Vector3(0.0f, 11.0f, 0.0f));
        m_ringTimer += d;
    }

    UpdateRingParticles(d);
    UpdateBurstParticles(d);
    UpdateOrbitEmitters(d);
}

void Overworld::EnterDungeon(int32_t level)
{
    m_levelState->m_level = level;
    m_levelState->m_returnedToTown = false;
    m_fadeQueue->PushEvent(m_exitEventId, "GAMEPLAY_STATE");
    // Back into the dungeon left by town portal: straight to the saved spot. Any other dungeon
    // is built anew by the dungeon builder, which sees the new level and starts the fade itself.
    if (level == m_levelState->m_returnLevel) {
        m_fadeQueue->PushTeleport(m_levelState->m_returnPosition, "GAMEPLAY_STATE");
        m_app->ChangeState("FADE_OUT_STATE");
        m_messaging->SendEventByName("PLAYER_WARP", IEvent());
    }
}

void Overworld::SetToCurrentState()
{
    // The camera changes hands between the intro's flight and the player: a jump, not a walk.
    m_walk.Jump();
}

void Overworld::NextState(int)
{
    if (m_textManager != nullptr)
        m_textManager->SetTextVisible(m_returnText, false);
    if (m_portalSystem >= 0)
        m_graphics->ClearParticles(static_cast<uint32_t>(m_portalSystem));
}

void Overworld::Render(DebugDraw& drawer, float)
{
    if (!m_built)
        return;
    drawer.SetColor({1.0f, 0.0f, 0.0f});
    for (size_t i = 0; i < m_treePositions.size(); ++i)
        drawer.DrawBox(m_treeBodies[i].GetPosition(), m_treeBodies[i].GetOrientation(), {2.0f, 10.0f, 2.0f});
    for (size_t i = 0; i < m_rockPositions.size(); ++i)
        drawer.DrawBox(m_rockBodies[i].GetPosition(), m_rockBodies[i].GetOrientation(),
                       m_rockHalfExtents[i] * 2.0f);
    for (int i = 0; i < 4; ++i) {
        const ztmath::Vector3 size = kMountains[i].turned ? ztmath::Vector3(2.0f, 100.0f, 1000.0f)
                                                          : ztmath::Vector3(1000.0f, 100.0f, 2.0f);
        drawer.DrawBox(m_wallBodies[i].GetPosition(), m_wallBodies[i].GetOrientation(), size);
    }
}

// =============================================================================================
// Show, hide, reset, return portal, lock
// =============================================================================================

void Overworld::Hide()
{
    std::printf("Hiding Overworld Objects\n");
    if (!m_built)
        return;
    m_terrain.SetHidden(true);
    for (const OverworldPortal& portal : m_portals)
        if (portal.m_valid)
            portal.m_plane.SetHidden(true);
    for (const InstanceHandle& skull : m_skulls)
        skull.SetHidden(true);
    for (const InstanceHandle& mountain : m_mountains)
        mountain.SetHidden(true);
    m_returnPortalActive = false;
    m_portalsOpen = false;
    ClearRingParticles();
    ClearBurstParticles();
    for (int32_t buffer : {m_treeBuffer, m_rockBuffer, m_fernBuffer, m_grassBuffer})
        m_graphics->SetInstanceBufferHidden(static_cast<uint32_t>(buffer), true);
    m_graphics->ClearParticles(static_cast<uint32_t>(m_portalSystem));
    m_visible = false;
    m_groundBody.SetActive(false);
    // The hub stops watching: wherever the player turns up next is no walk from here.
    m_walk.Forget();
}

void Overworld::Show()
{
    std::printf("Displaying Overworld Objects\n");
    if (!m_built)
        return;
    m_terrain.SetHidden(false);
    for (int i = 0; i < 3; ++i)
        if (m_portals[i].m_valid)
            m_portals[i].m_plane.SetHidden(false);
    for (const InstanceHandle& skull : m_skulls)
        skull.SetHidden(false);
    for (const InstanceHandle& mountain : m_mountains)
        mountain.SetHidden(false);
    m_portalsOpen = true;
    ClearRingParticles();
    for (int32_t buffer : {m_treeBuffer, m_rockBuffer, m_fernBuffer, m_grassBuffer})
        m_graphics->SetInstanceBufferHidden(static_cast<uint32_t>(buffer), false);
    m_visible = true;
    m_groundBody.SetActive(true);
}

void Overworld::Reset()
{
    std::printf("Restarting Overworld\n");
    if (!m_built)
        return;
    m_terrain.SetHidden(false);
    for (int i = 0; i < 3; ++i) {
        if (m_portals[i].m_valid)
            m_portals[i].m_plane.SetHidden(false);
        m_skulls[i].SetHidden(false);
    }
    for (const InstanceHandle& mountain : m_mountains)
        mountain.SetHidden(false);
    if (m_portals[OverworldPortal::kReturn].m_valid)
        m_portals[OverworldPortal::kReturn].m_plane.SetHidden(true);
    m_portalsOpen = true;
    m_returnPortalActive = false;
    ClearRingParticles();
    ClearBurstParticles();
    for (int32_t buffer : {m_treeBuffer, m_rockBuffer, m_fernBuffer, m_grassBuffer})
        m_graphics->SetInstanceBufferHidden(static_cast<uint32_t>(buffer), false);
    m_visible = true;
    m_levelState->m_level = 0;
    m_levelState->m_returnLevel = 0;
    m_levelState->m_returnedToTown = false;
    m_portalsLocked = false;
    m_messaging->SendEventByName("ENTER_OVERWORLD", IEvent());
    SendPlayerStart();
}

void Overworld::ActivateReturnPortal()
{
    // The return point is shown by its rings only; the plane stays hidden.
    if (m_portals[OverworldPortal::kReturn].m_valid)
        m_portals[OverworldPortal::kReturn].m_plane.SetHidden(true);
    m_returnPortalActive = true;
    m_ringTimer = 0.0f;
}

void Overworld::LockPortals()
{
    m_portalsLocked = true;
    for (const OverworldPortal& portal : m_portals)
        if (portal.m_valid)
            portal.m_plane.SetHidden(true);
    if (m_built)
        for (const InstanceHandle& skull : m_skulls)
            skull.SetHidden(true);
    m_returnPortalActive = false;
    m_portalsOpen = false;
    for (int i = 0; i < 3; ++i)
        EmitPortalBurst(PlanePosition(i));
}

// =============================================================================================
// Particle effects
// =============================================================================================

void Overworld::EmitPortalParticle(const ztmath::Vector3& position, float selector)
{
    if (m_portalParticles.size() >= kPortalCapacity)
        return;
    FxParticle p;
    p.m_position = position;
    p.m_velocity = {0.0f, 100.0f, 0.0f};
    p.m_rotation = 90.0f * RandUnit();
    p.m_size = static_cast<float>(ztplatform::Rand() % 5 + 10);
    p.m_extra = selector;
    p.m_lifetime = 8.0f;
    p.m_age = 0.01f;
    m_portalParticles.push_back(p);
}

void Overworld::UpdatePortalParticles(float d)
{
    if (m_portalSystem < 0)
        return;
    const auto system = static_cast<uint32_t>(m_portalSystem);
    m_graphics->ClearParticles(system);
    RemoveExpired(m_portalParticles, d);
    for (FxParticle& p : m_portalParticles) {
        p.m_position += p.m_velocity * d;
        p.m_rotation += 15.0f * d;
        m_graphics->EmitParticle(system, p.m_position, p.m_rotation, p.m_size, p.m_extra);
    }
}

void Overworld::EmitReturnRings(const ztmath::Vector3& centre)
{
    if (m_ringTimer < 1.0f || m_ringSystem < 0)
        return;
    const auto system = static_cast<uint32_t>(m_ringSystem);
    auto emit = [&](const ztmath::Vector3& position, const ztmath::Vector3& velocity) {
        if (m_ringParticles.size() >= kRingCapacity)
            return;
        FxParticle p;
        p.m_position = position;
        p.m_velocity = velocity;
        p.m_size = 3.0f;
        p.m_extra = 2.0f;
        p.m_lifetime = 10.0f;
        m_ringParticles.push_back(p);
        m_graphics->EmitParticle(system, position, 0.0f, p.m_size, 0.0f);
    };
    // Counted by integer: twenty angles a tenth of pi apart, whatever float rounding does.
    for (int i = 0; i < 20; ++i) {
        const float theta = static_cast<float>(i) * kPi / 10.0f;
        const float c = std::cos(theta);
        const float s = std::sin(theta);
        emit(centre + ztmath::Vector3(5.0f * c, 0.0f, -5.0f * s), {0.0f, 1.0f, 0.0f});
        emit(centre, {0.5f * c, 0.0f, -0.5f * s});
    }
    m_ringTimer = 0.0f;
}

void Overworld::EmitPortalBurst(const ztmath::Vector3& position)
{
    if (m_burstSystem < 0)
        return;
    const auto system = static_cast<uint32_t>(m_burstSystem);
    // 19 steps of 20 degrees each way, both ends included (0 and 360): 361 particles.
    for (int ia = 0; ia < 19; ++ia) {
        const float a = static_cast<float>(ia) * 20.0f * kPi / 180.0f;
        ztmath::Quaternion aboutX;
        aboutX.SetFromAxisAngle(a, {1.0f, 0.0f, 0.0f});
        for (int ib = 0; ib < 19; ++ib) {
            if (m_burstParticles.size() >= kBurstCapacity)
                return;
            const float b = static_cast<float>(ib) * 20.0f * kPi / 180.0f;
            ztmath::Quaternion aboutZ;
            aboutZ.SetFromAxisAngle(b, {0.0f, 0.0f, 1.0f});
            const ztmath::Vector3 direction = aboutX.Rotate(aboutZ.Rotate({0.0f, 1.0f, 0.0f}));
            FxParticle p;
            p.m_position = position;
            p.m_velocity = direction * (5.0f + 20.0f * RandUnit());
            p.m_size = 8.0f;
            p.m_extra = 2.0f;
            p.m_lifetime = 2.5f;
            m_burstParticles.push_back(p);
            m_graphics->EmitParticle(system, position, 0.0f, p.m_size, 0.0f);
        }
    }
}

void Overworld::StepFadingParticles(std::vector<FxParticle>& particles, int32_t system, float d)
{
    if (system < 0)
        return;
    const auto id = static_cast<uint32_t>(system);
    for (size_t i = 0; i < particles.size();) {
        FxParticle& p = particles[i];
        p.m_age += d;
        if (p.m_age > p.m_lifetime) {
            m_graphics->RemoveParticle(id, static_cast<uint32_t>(i));
            particles.erase(particles.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        const float t = p.m_age / p.m_lifetime;
        p.m_position += p.m_velocity * d;
        // Grows in over the first fifth of its life and shrinks away over the last fifth.
        float f = 0.0f;
        if (t <= 0.2f)
            f = (0.2f - t) / 0.2f;
        else if (t >= 0.8f)
            f = (t - 0.8f) / 0.2f;
        m_graphics->SetParticle(id, static_cast<uint32_t>(i), p.m_position, p.m_rotation,
                                (1.0f - f) * p.m_size, t, 1);
        ++i;
    }
}

void Overworld::UpdateRingParticles(float d)
{
    StepFadingParticles(m_ringParticles, m_ringSystem, d);
}

void Overworld::UpdateBurstParticles(float d)
{
    StepFadingParticles(m_burstParticles, m_burstSystem, d);
}

void Overworld::UpdateOrbitEmitters(float d)
{
    if (m_orbitSystem < 0)
        return;
    for (OrbitEmitter& emitter : m_orbitEmitters) {
        const float a = emitter.m_angle * kPi / 180.0f;
        emitter.m_offset = {3.0f * std::sin(a), 4.0f * std::cos(a), 3.0f * std::cos(a)};
        emitter.m_angle += 50.0f * d;
        if (emitter.m_angle > 360.0f)
            emitter.m_angle -= 360.0f;
        emitter.m_position = emitter.m_centre + emitter.m_offset;
        if (m_orbitParticles.size() >= kOrbitCapacity)
            continue;
        ztmath::Vector3 direction{2.0f * RandUnit() - 1.0f, 2.0f * RandUnit() - 1.0f,
                                  2.0f * RandUnit() - 1.0f};
        const float length = direction.Length();
        direction = length > 0.0f ? direction / length : ztmath::Vector3(0.0f, 1.0f, 0.0f);
        FxParticle p;
        p.m_position = emitter.m_position;
        p.m_velocity = direction * 0.05f;
        p.m_size = 0.5f * RandUnit();
        p.m_extra = 2.0f;
        p.m_lifetime = 0.3f;
        m_orbitParticles.push_back(p);
    }
    const auto system = static_cast<uint32_t>(m_orbitSystem);
    m_graphics->ClearParticles(system);
    RemoveExpired(m_orbitParticles, d);
    for (FxParticle& p : m_orbitParticles) {
        // A drift per frame, not per second: the sparks barely leave their tree.
        p.m_position += p.m_velocity;
        p.m_rotation += 15.0f * d;
        m_graphics->EmitParticle(system, p.m_position, p.m_rotation,
                                 (1.0f - p.m_age / p.m_lifetime) * p.m_size, 0.75f);
    }
}

void Overworld::ClearRingParticles()
{
    if (m_ringSystem >= 0)
        for (size_t i = m_ringParticles.size(); i-- > 0;)
            m_graphics->RemoveParticle(static_cast<uint32_t>(m_ringSystem), static_cast<uint32_t>(i));
    m_ringParticles.clear();
}

void Overworld::ClearBurstParticles()
{
    if (m_burstSystem >= 0)
        for (size_t i = m_burstParticles.size(); i-- > 0;)
            m_graphics->RemoveParticle(static_cast<uint32_t>(m_burstSystem), static_cast<uint32_t>(i));
    m_burstParticles.clear();
}

}  // namespace ztengine
