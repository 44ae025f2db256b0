#pragma once
// PlayerStatus ("PlayerStatus"): the player's tuning values with the live stamina and a few
// per-frame flags. The tuning values are read from "playerSettings.ini" at start-up and written
// back at shutdown; a debug GUI window edits them while the game runs.
#include <cstdint>
#include <string>

#include "core/serialization/Params.h"
#include "core/serialization/Serializer.h"

namespace ztengine {

class PlayerStatus : public Serializer {
public:
    explicit PlayerStatus(std::string fileName = "playerSettings.ini");

    // Writes the tuning values. A settings file that could not be read at start-up is left as it
    // is, so a hand-edit gone wrong is not replaced by the defaults.
    void Save() override;
    // Opens the "Player Control Values" window, resets the tuning values to their defaults,
    // takes every Float key of the file, then binds the window's inputs to the values. Called
    // once at start-up: the window stays bound to this object for the rest of the run.
    void Load() override;

    const std::string& FileName() const { return m_fileName; }

    bool m_attackedThisFrame = false;
    float m_playerMoveSpeed = 500.0f;
    float m_playerJumpSpeed = 800.0f;
    float m_playerRunMultiplier = 2.5f;
    float m_healthRegenRate = 1.0f;
    float m_staminaDrainFactor = 3.5f;
    float m_maxStamina = 150.0f;
    float m_staminaRecoveryRate = 20.0f;
    float m_staminaCostPerAttack = 5.0f;
    float m_staminaCostPerParry = 15.0f;
    float m_staminaCostPerBlock = 3.5f;
    float m_shieldDurability = 100.0f;
    float m_shieldDurabilityLoss = 1.2f;
    float m_exhaustedFactor = 1.0f;
    float m_aliveFactor = 1.0f;
    float m_stamina = 100.0f;
    float m_recoilFactor = -5.0f;
    int32_t m_weaponProjectileCount = 1;
    float m_playerMass = 50.0f;
    bool m_invulnerable = false;

private:
    void SetFileDefaults();
    void ReadFrom(const Params& params, ParamsProblems& problems);
    void AddWindowWidgets(int window);

    std::string m_fileName;
    bool m_keepUnreadableFile = false;
};

}  // namespace ztengine
