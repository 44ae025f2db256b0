#pragma once
// CollectibleSystem: gold coins. Every "DROP_COIN" pops a spinning coin out of the dropping
// enemy; coins near the player are pulled in and collected, adding to "Gold".
#include <cstdint>

#include "core/Subsystem.h"
#include "core/graphics/framework/instance/Instances.h"
#include "core/math/Vector3.h"
#include "core/physics-engine/PhysicsBody.h"
#include "core/subsys/sharedData/WalkedPath.h"
#include "core/util/cont/StableArrayList.h"

namespace ztgame {
struct GameStats;
}

namespace ztengine {

class MessagingSystem;
class ModelManager;
class PhysicsEngine;
class TextManager;
class UIElement;
struct Gold;
struct GoldDropQueue;

struct CoinRecord {
    InstanceHandle m_instance;
    PhysicsBody m_body;
};

class CollectibleSystem : public Subsystem {
public:
    static constexpr float kPullRadius = 16.0f;
    static constexpr float kCollectRadius = 3.5f;
    static constexpr float kPullForce = 95.0f;
    static constexpr float kCoinMass = 0.5f;
    static constexpr float kCoinRestitution = 8.65f;
    static constexpr float kLaunchImpulse = 16.0f;
    static constexpr uint16_t kCoinCategory = 16;
    static constexpr uint16_t kCoinMask = 18;  // other coins and the scenery

    explicit CollectibleSystem(App* app);
    ~CollectibleSystem() override;

    void Init() override;
    void Update(float dt) override;
    void NextState(int newState) override;
    void SetToCurrentState() override;

    void DropCoin(const ztmath::Vector3& position);
    void ClearCoins();
    void FadePickupFlash(UIElement* element);

    int32_t m_pickupFlash = -1;
    float m_dt = 0.0f;
    Gold* m_gold = nullptr;
    GoldDropQueue* m_goldDropQueue = nullptr;
    ModelManager* m_models = nullptr;
    TextManager* m_textManager = nullptr;
    uint32_t m_font = 0;
    uint32_t m_goldText = 0xFFFFFFFFu;
    float m_goldTextAlpha = 0.0f;
    MessagingSystem* m_messaging = nullptr;
    PhysicsEngine* m_physics = nullptr;
    int32_t m_coinCollider = -1;
    uint32_t m_coinCollectEvent = 0xFFFFFFFFu;
    ztmath::Vector3 m_lastCollected;
    StableArrayList<CoinRecord> m_coins;
    ztgame::GameStats* m_stats = nullptr;
    // A coin is collected anywhere along the way walked since the last update.
    WalkedPath m_walk;
};

}  // namespace ztengine
