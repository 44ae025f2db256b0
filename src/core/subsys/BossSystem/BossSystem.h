#pragma once
// The final boss of the hub: loads the boss and its animations, stands it by the altar as a
// shop with a physics body, springs the trap when a start message arrives in "BossSystemQueue"
// (the third orb on the altar, or one shot too many), plays the 3 s fight intro and hands every
// frame to the boss's behaviour.
#include <cstdint>
#include <memory>

#include "core/Subsystem.h"
#include "core/math/Vector3.h"

namespace ztengine {

class MessagingSystem;
class PhysicsEngine;
class PhysicsBody;
class FinalBoss;
class BossSystemQueue;
struct ShrineContainer;
class DialogueController;
class AltarSharedData;
struct BossSystemMessage;
struct ContactInfo;

class BossSystem : public Subsystem {
public:
    static constexpr const char* kModelName = "KoboldModel";
    static constexpr int kAnimationFiles = 14;
    static const char* const kAnimationPaths[kAnimationFiles];
    static constexpr float kScale = 0.5f;
    static constexpr float kHealth = 20000.0f;
    static constexpr float kDamagePerShot = 10.0f;
    static constexpr float kShopRadius = 12.0f;
    static constexpr float kIntroSeconds = 3.0f;
    static constexpr int32_t kBossBodyType = 14;
    static constexpr int32_t kPlayerProjectileType = 11;
    static constexpr uint16_t kBossMask = 0xFFFD;
    static const ztmath::Vector3 kColliderHalfExtents;
    static constexpr const char* kTauntLine = "You think funny is it!!!! Come I show you power!!!!!";

    explicit BossSystem(App* app);
    ~BossSystem() override;

    void Init() override;
    void Update(float dt) override;
    void Exit() override;
    void Reset() override;
    void Render(DebugDraw& drawer, float dt) override;

    // The loading job: the boss, its animations, body and shop. Done at its first run.
    bool LoadBoss();
    void OnBossContact(const PhysicsBody& other, const ContactInfo& contact);
    void HandleMessage(const BossSystemMessage& message);

    // ---- State, open to the game's tests.
    MessagingSystem* m_messaging = nullptr;
    std::unique_ptr<FinalBoss> m_boss;
    float m_introTimer = 0.0f;
    PhysicsEngine* m_physics = nullptr;
    int32_t m_collider = -1;
    bool m_introRunning = false;
    bool m_introStarted = false;
    int32_t m_model = -1;

private:
    void AddShopEntry();

    BossSystemQueue* m_queue = nullptr;
    ShrineContainer* m_shrines = nullptr;
    DialogueController* m_dialogue = nullptr;
    AltarSharedData* m_altarQueue = nullptr;
};

}  // namespace ztengine
