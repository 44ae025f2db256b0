// RangePlayerSystem: gun placement and easing, the fire step, shot geometry and weapon messages.
#include "core/subsys/RangePlayerSystem/RangePlayerSystem.h"

#include <cmath>

#include "core/App.h"
#include "core/MessagingSystem.h"
#include "core/UI/UIElementManager.h"
#include "core/graphics/Graphics2D.h"
#include "core/gui/Gui.h"
#include "core/input/Input.h"
#include "core/math/Quaternion.h"
#include "core/math/Vector2.h"
#include "core/sound/SoundSystem.h"
#include "core/subsys/sharedData/CameraRecords.h"
#include "core/subsys/sharedData/PlayerRecords.h"
#include "core/subsys/sharedData/PlayerStatus.h"
#include "core/subsys/sharedData/ProjectilesShared.h"
#include "core/subsys/sharedData/UpgradeQueues.h"
#include "platform/CRand.h"

namespace ztengine {

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kGunScale = 0.0075f;
// The gun comes back towards the camera fast after a shot and drifts out again slowly.
constexpr float kKickBackRate = 5.4f;
constexpr float kEaseOutRate = 1.8f;
constexpr float kPadTriggerThreshold = 0.2f;
constexpr float kRandMax = 32767.0f;

float Rand01()
{
    return static_cast<float>(ztplatform::Rand()) / kRandMax;
}

int32_t MakeHiddenElement(Graphics2D& graphics2D, const char* texture, ztmath::Vector2 position,
                          ztmath::Vector2 size)
{
    SpriteHandle sprite =
        graphics2D.CreateSprite(graphics2D.LoadTexture(texture), position, size, 0);
    sprite.SetAlpha(1.0f);
    UIElementManager& ui = UIElementManager::GetInstance();
    const int32_t index = ui.AddElement(UIElement(sprite));
    ui.SetVisible(index, false);
    return index;
}

}  // namespace

RangePlayerSystem::RangePlayerSystem(App* app)
    : Subsystem(app),
      m_rangedStats(app->GetSharedData<RangedStats>("RangedStats")),
      m_playerStatus(app->GetSharedData<PlayerStatus>("PlayerStatus")),
      m_projectiles(app->GetSharedData<ProjectilesShared>("ProjectilesShared")),
      m_weaponMessages(app->GetSharedData<WeaponMessageQueue>("WeaponMessageQueue")),
      m_cameraUpdates(app->GetSharedData<FPSCameraUpdates>("FPSCameraUpdates"))
{
}

RangePlayerSystem::~RangePlayerSystem() = default;

void RangePlayerSystem::Init()
{
    m_crosshairElement = MakeHiddenElement(*m_graphics2D, "textures/2d/whitedot.png",
                                           ztmath::Vector2(0.0f, 0.0f), ztmath::Vector2(15.0f, 15.0f));
    m_hiddenElement = MakeHiddenElement(*m_graphics2D, "textures/2d/mana.png",
                                        ztmath::Vector2(550.0f, -315.0f),
                                        ztmath::Vector2(200.0f, 200.0f));

    m_fireConvergeDistance = 611.0f;
    m_hotPoint[0] = 0.7995303f;
    m_hotPoint[1] = 0.2399061f;
    m_hotPoint[2] = 1.9887323f;
    m_randomTrajectory[0] = 0.0399061f;
    m_randomTrajectory[1] = 0.0422535f;
    m_aimOffset[0] = 0.0117371f;
    m_aimOffset[1] = 0.0f;
    Gui& gui = Gui::Instance();
    m_debugWindow = gui.CreateWindow("Projectile Hotpoint modifier", true, 350.0f, 250.0f);
    gui.AddSliderFloat(m_debugWindow, "Firing converge distance", &m_fireConvergeDistance, 1.0f, 2000.0f);
    gui.AddSliderFloat(m_debugWindow, "hot point x", &m_hotPoint[0], 0.1f, 15.0f);
    gui.AddSliderFloat(m_debugWindow, "hot point y", &m_hotPoint[1], 0.1f, 15.0f);
    gui.AddSliderFloat(m_debugWindow, "hot point z", &m_hotPoint[2], 0.1f, 15.0f);
    gui.AddSliderFloat(m_debugWindow, "random traject X", &m_randomTrajectory[0], 0.0f, 0.5f);
    gui.AddSliderFloat(m_debugWindow, "random traject Y", &m_randomTrajectory[1], 0.0f, 0.5f);
    gui.AddSliderFloat(m_debugWindow, "aim offset X", &m_aimOffset[0], -0.5f, 0.5f);
    gui.AddSliderFloat(m_debugWindow, "aim offset Y", &m_aimOffset[1], -0.5f, 0.5f);

    const int32_t mesh = m_graphics->CreateCustomMesh("models", "gun.obj");
    const int32_t material = m_graphics->CreateMaterial("textures/diff/gun1.jpg", nullptr, nullptr, nullptr);
    const int32_t model = m_graphics->CreateModel(static_cast<uint32_t>(mesh), static_cast<uint32_t>(material));
    m_gunInstance = m_graphics->CreateInstance(model, InstanceTransform());
    m_gunInstance.GetInstance().m_transform.m_scale = ztmath::Vector3(kGunScale, kGunScale, kGunScale);
    // The gun sits right against the lens: blurring it with the scene behind looks wrong.
    m_gunInstance.SetEffectsOff(true);
    m_gunDistance = kGunNear;

    SoundSystem* sound = m_app->GetSoundSystem();
    // The swing sound is made ready with the shot sound but no attack plays it.
    const int32_t swing = sound->CreateSoundInstance(sound->LoadSound("SFX_Sword_Swing.wav"));
    m_fireSound = sound->CreateSoundInstance(sound->LoadSound("SFX_Fireball.wav"));
    for (int32_t instance : {swing, m_fireSound}) {
        if (!sound->IsValidInstance(instance))
            continue;
        sound->SetInstanceVolume(instance, 0.6f);
        sound->SetInstance2D(instance, true);
    }

    MessagingSystem& messaging = m_app->m_messagingSystem;
    messaging.RegisterHandler("EVENT_RESTART", [this](const IEvent&) {
        m_gunInstance.SetHidden(false);
        Reset();
    });
    messaging.RegisterHandler("PLAYER_DEATH", [this](const IEvent&) { m_gunInstance.SetHidden(true); });
    // Out of sight until the next update puts it back in front of the camera of the new run.
    messaging.RegisterHandler("EVENT_RESTART", [this](const IEvent&) {
        m_gunInstance.GetInstance().m_transform.m_position = ztmath::Vector3(5000.0f, -5000.0f, 5000.0f);
    });
}

ztmath::Vector3 RangePlayerSystem::GunPosition(const ztmath::Vector3& camera, const ztmath::Basis& basis) const
{
    const ztmath::Vector3 forward = basis.forward.Normalized();
    const ztmath::Vector3 up = basis.up.Normalized();
    const ztmath::Vector3 right = basis.right.Normalized();
    return camera + forward * (m_gunDistance * 0.75f) - up * 0.5f - right * 1.0f;
}

void RangePlayerSystem::PlaceGun()
{
    const ztmath::Vector3 camera = m_graphics->GetCameraPosition();
    ztmath::Basis basis = m_graphics->GetCameraBasis();
    const ztmath::Vector3 up = basis.up.Normalized();
    InstanceTransform& transform = m_gunInstance.GetInstance().m_transform;
    transform.m_position = GunPosition(camera, basis);
    // The model points backwards: half a turn about the view's up axis faces it away from us.
    basis.Rotate(ztmath::Quaternion(up * std::sin(kPi * 0.5f), std::cos(kPi * 0.5f)));
    transform.m_basis = basis;
}

void RangePlayerSystem::Update(float dt)
{
    PlaceGun();

    while (!m_weaponMessages->m_messages.empty()) {
        const WeaponMessage message = m_weaponMessages->m_messages.front();
        m_weaponMessages->m_messages.pop_front();
        HandleWeaponMessage(message);
    }
    for (const std::unique_ptr<Modifiers>& modifier : m_modifiers)
        modifier->Update(dt);

    if (m_timeSinceShot <= m_rangedStats->m_fireInterval)
        m_timeSinceShot += dt;

    FireStep(dt);
}

void RangePlayerSystem::HandleWeaponMessage(const WeaponMessage& message)
{
    switch (message.m_type) {
    case 0: {
        if (message.m_modifier != 0)
            return;
        auto modifier = std::make_unique<IncreaseProjectile>();
        modifier->Apply();
        modifier->m_id = message.m_level;
        m_projectileCount += 2;
        m_modifiers.push_back(std::move(modifier));
        return;
    }
    case 1:
        for (auto it = m_modifiers.begin(); it != m_modifiers.end(); ++it) {
            auto* increase = dynamic_cast<IncreaseProjectile*>(it->get());
            if (increase == nullptr || increase->m_id != message.m_level)
                continue;
            m_modifiers.erase(it);
            if (message.m_modifier == 0)
                m_projectileCount -= 2;
            return;
        }
        return;
    case 2:
        m_modifiers.clear();
        m_rangedStats->m_fireInterval = kDefaultFireInterval;
        m_timeSinceShot = 0.0f;
        m_projectileCount = 1;
        m_spreadDegrees = 5;
        return;
    default:
        return;
    }
}

void RangePlayerSystem::Reset()
{
    WeaponMessage reset;
    reset.m_type = 2;
    HandleWeaponMessage(reset);
}

void RangePlayerSystem::KickBack(float dt)
{
    if (m_gunDistance > kGunNear)
        m_gunDistance -= dt * kKickBackRate;
    else
        m_recoilActive = false;
}

void RangePlayerSystem::FireStep(float dt)
{
    m_playerStatus->m_weaponProjectileCount = m_projectileCount;

    const bool triggerHeld = m_input->IsMouseButtonHeld(0) ||
                             m_input->GetJoystickAxis(0, 2) > kPadTriggerThreshold;
    if (!triggerHeld) {
        m_recoilActive = false;
        m_playerStatus->m_attackedThisFrame = false;
        if (m_gunDistance < kGunFar)
            m_gunDistance += dt * kEaseOutRate;
    } else if (m_timeSinceShot >= m_rangedStats->m_fireInterval &&
               m_playerStatus->m_stamina >= m_playerStatus->m_staminaCostPerAttack) {
        SoundSystem* sound = m_app->GetSoundSystem();
        if (sound->IsValidInstance(m_fireSound)) {
            const ztmath::Basis& basis = m_graphics->GetCameraBasis();
            sound->SetInstancePosition(m_fireSound, m_graphics->GetCameraPosition() + basis.forward - basis.right);
            sound->PlayInstance(m_fireSound);
        }
        m_timeSinceShot = 0.0f;
        SpawnShot();
        m_recoilActive = true;
        m_playerStatus->m_attackedThisFrame = true;
        KickBack(dt);
    } else {
        m_playerStatus->m_attackedThisFrame = false;
        if (m_recoilActive)
            KickBack(dt);
        else if (m_gunDistance < kGunFar)
            m_gunDistance += dt * kEaseOutRate;
    }

    if (m_playerStatus->m_attackedThisFrame)
        m_cameraUpdates->m_pitchDelta += m_playerStatus->m_recoilFactor;
}

void RangePlayerSystem::SpawnShot()
{
    const ztmath::Vector3 camera = m_graphics->GetCameraPosition();
    const ztmath::Basis& basis = m_graphics->GetCameraBasis();
    const ztmath::Vector3 forward = basis.forward;
    const ztmath::Vector3 up = basis.up;
    const ztmath::Vector3 right = basis.right;

    m_spawnPoint = camera + forward * m_hotPoint[2] - right * m_hotPoint[0] - up * m_hotPoint[1];
    // The muzzle sits off the view axis, so the shot is aimed at the point the crosshair covers
    // at the converge distance rather than straight ahead.
    const float reach = m_fireConvergeDistance - (m_spawnPoint - camera).Length();
    const float rx = m_randomTrajectory[0];
    const float ry = m_randomTrajectory[1];
    const float t = rx - 2.0f * rx * static_cast<float>(ztplatform::Rand()) / kRandMax;
    const float u = ry - 2.0f * ry * static_cast<float>(ztplatform::Rand()) / kRandMax;
    const ztmath::Vector3 aim =
        (forward + right * (t + m_aimOffset[0]) + up * (u + m_aimOffset[1])).Normalized();
    const ztmath::Vector3 target = camera + aim * reach;
    const ztmath::Vector3 direction = (target - m_spawnPoint).Normalized();

    ProjectileRequest request;
    request.m_command = 0;
    request.m_position = m_spawnPoint;
    request.m_direction = direction;
    request.m_speed = kProjectileSpeed;
    request.m_size = kProjectileSize;
    request.m_life = kProjectileLife;
    request.m_damage = 0;
    request.m_kind = kPlayerProjectileKind;
    request.m_trail = 1;
    m_projectiles->m_requests.push_back(request);

    const float spread = static_cast<float>(m_spreadDegrees);
    for (int32_t i = 1; i < m_projectileCount; ++i) {
        const float a1 = (Rand01() * spread - spread / 2.0f) * (kPi / 180.0f) * 0.5f;
        const float a2 = (Rand01() * spread - spread / 2.0f) * (kPi / 180.0f) * 0.5f;
        const ztmath::Quaternion aboutRight(right * std::sin(a1), std::cos(a1));
        const ztmath::Quaternion aboutUp(up * std::sin(a2), std::cos(a2));
        const ztmath::Vector3 turned = (aboutRight * aboutUp).Rotate(direction);
        ProjectileRequest extra = request;
        extra.m_position = m_spawnPoint + turned * 0.75f;
        extra.m_direction = turned;
        m_projectiles->m_requests.push_back(extra);
    }
}

void RangePlayerSystem::SetCrosshairVisible(bool visible)
{
    if (m_crosshairElement >= 0)
        UIElementManager::GetInstance().SetVisible(m_crosshairElement, visible);
}

void RangePlayerSystem::NextState(int)
{
    SetCrosshairVisible(false);
}

void RangePlayerSystem::SetToCurrentState()
{
    SetCrosshairVisible(true);
}

}  // namespace ztengine
