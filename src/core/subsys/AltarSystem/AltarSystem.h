#pragma once
// The orb quest: each dungeon's mini-boss leaves an orb, walking into it collects it (its icon
// flies into the heads-up display), walking up to the hub's altar sets every collected orb on
// it, and the third orb springs the quest giver's trap and calls up the final fight.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/Subsystem.h"
#include "core/graphics/Graphics2D.h"
#include "core/graphics/framework/instance/Instances.h"
#include "core/math/Vector2.h"
#include "core/math/Vector3.h"
#include "core/physics-engine/PhysicsBody.h"
#include "core/subsys/sharedData/WalkedPath.h"

namespace ztengine {

class MessagingSystem;
class PhysicsEngine;
class UIElement;
class DialogueController;
class AltarSharedData;
class BossSystemQueue;
struct AltarMessage;
struct LevelState;

class AltarSystem : public Subsystem {
public:
    using TextureSource = std::function<Texture2DHandle(const std::string& path)>;

    enum OrbType : int32_t { kFire = 0, kSnow = 1, kLightning = 2 };

    static constexpr int kOrbTypes = 3;
    static constexpr uint32_t kMaxSparks = 1000;
    static constexpr float kAltarReach = 8.0f;
    static constexpr float kOrbReach = 4.0f;
    static constexpr float kExtraReach = 6.0f;
    static constexpr float kIconStartSize = 500.0f;
    static constexpr float kIconSize = 50.0f;
    static constexpr float kIconSpeed = 1.01f * 1000.0f;
    static constexpr const char* kTrapLine = "Hahahah! You fool! Mor Tesh is finally FREE!";

    struct GroundOrb {
        float m_reach = kOrbReach;
        InstanceHandle m_instance;
        int32_t m_type = 0;
    };
    struct HudSlot {
        ztmath::Vector2 m_position;
        bool m_taken = false;
    };
    struct Spark {
        ztmath::Vector3 m_position;
        ztmath::Vector3 m_velocity;
        float m_rotation = 0.0f;
        float m_size = 0.0f;
        int32_t m_type = 0;
        float m_lifetime = 0.0f;
        float m_age = 0.0f;
    };

    explicit AltarSystem(App* app);
    ~AltarSystem() override;

    void Init() override;
    void Update(float dt) override;
    void NextState(int newState) override;
    void SetToCurrentState() override;
    void Reset() override;

    void CreateAltar(const ztmath::Vector3& position, const ztmath::Vector3& scale);
    void HandleAltarMessage(const AltarMessage& message);
    void CheatSpawnOrbs();
    void ShowOrbIcon(int32_t type);
    void UpdateOrbIcon(int32_t type, UIElement* element);
    void EmitSpark(int32_t type, const ztmath::Vector3& position);
    void UpdateSparks(float dt);

    static ztmath::Vector3 SlotOffset(int32_t type);
    ztmath::Vector3 OrbPosition(int32_t type) const;
    ztmath::Vector3 AltarPosition() const;

    // Where the icons' pictures come from; the 2D layer by default.
    TextureSource m_textureSource;

    // ---- State, open to the game's tests.
    float m_altarReach = kAltarReach;
    InstanceHandle m_altar;
    InstanceHandle m_altarSlots[kOrbTypes];
    bool m_placed[kOrbTypes] = {false, false, false};
    GroundOrb m_orbs[kOrbTypes];
    float m_extraReach = kExtraReach;
    HudSlot m_hudSlots[kOrbTypes];
    int m_iconElements[kOrbTypes] = {-1, -1, -1};
    SpriteHandle m_iconSprites[kOrbTypes];
    ztmath::Vector2 m_iconTargets[kOrbTypes];
    bool m_iconArrived[kOrbTypes] = {false, false, false};
    float m_iconPhase[kOrbTypes] = {1.0f, 1.0f, 1.0f};
    bool m_collected[kOrbTypes] = {false, false, false};
    float m_frameTime = 0.0f;
    int m_placedCount = 0;
    int32_t m_sparkSystem = -1;
    std::vector<Spark> m_sparks;
    PhysicsEngine* m_physics = nullptr;
    int32_t m_altarCollider = -1;
    PhysicsBody m_altarBody;
    bool m_trapSprung = false;
    bool m_finalFight = false;
    DialogueController* m_dialogue = nullptr;
    MessagingSystem* m_messaging = nullptr;
    AltarSharedData* m_altarQueue = nullptr;
    BossSystemQueue* m_bossQueue = nullptr;
    LevelState* m_levelState = nullptr;
    // Orbs and the altar are reached anywhere along the way walked since the last update.
    WalkedPath m_walk;
};

}  // namespace ztengine
