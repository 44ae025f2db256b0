// PlayerStatus: "playerSettings.ini" in and out, and the "Player Control Values" window.
#include "core/subsys/sharedData/PlayerStatus.h"

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

#include "core/gui/Gui.h"
#include "core/serialization/Params.h"

namespace ztengine {

namespace {

// The physics world needs a dynamic body's mass above the float epsilon.
constexpr float kMinimumPlayerMass = 1.1920929e-7f;

// A key of the file stored as something else than a Float is reported in `problems`.
bool ReadFloat(const Params& params, const char* key, float& field, ParamsProblems& problems)
{
    const ParamValue* value = params.GetParam(key);
    if (value == nullptr)
        return false;
    if (!value->IsFloat()) {
        problems.push_back(std::string("\"") + key + "\" is not stored as a Float");
        return false;
    }
    field = value->GetFloat();
    return true;
}

}  // namespace

PlayerStatus::PlayerStatus(std::string fileName) : m_fileName(std::move(fileName)) {}

void PlayerStatus::SetFileDefaults()
{
    const PlayerStatus defaults;
    m_playerMoveSpeed = defaults.m_playerMoveSpeed;
    m_playerJumpSpeed = defaults.m_playerJumpSpeed;
    m_playerRunMultiplier = defaults.m_playerRunMultiplier;
    m_staminaDrainFactor = defaults.m_staminaDrainFactor;
    m_maxStamina = defaults.m_maxStamina;
    m_staminaRecoveryRate = defaults.m_staminaRecoveryRate;
    m_staminaCostPerAttack = defaults.m_staminaCostPerAttack;
    m_staminaCostPerParry = defaults.m_staminaCostPerParry;
    m_staminaCostPerBlock = defaults.m_staminaCostPerBlock;
    m_shieldDurability = defaults.m_shieldDurability;
    m_shieldDurabilityLoss = defaults.m_shieldDurabilityLoss;
    m_recoilFactor = defaults.m_recoilFactor;
    m_playerMass = defaults.m_playerMass;
}

void PlayerStatus::ReadFrom(const Params& params, ParamsProblems& problems)
{
    ReadFloat(params, "m_playerMoveSpeed", m_playerMoveSpeed, problems);
    // The game always starts with the stock stamina limit and recovery, whatever the file says:
    // the stamina boosts of a run raise these two in place and the file is written at every
    // shutdown, so taking them from the file would carry one run's boosts into the next.
    if (ReadFloat(params, "m_maxStamina", m_maxStamina, problems))
        m_maxStamina = 150.0f;
    ReadFloat(params, "m_playerJumpSpeed", m_playerJumpSpeed, problems);
    ReadFloat(params, "m_playerRunMultiplier", m_playerRunMultiplier, problems);
    ReadFloat(params, "m_staminaDrainFactor", m_staminaDrainFactor, problems);
    if (ReadFloat(params, "m_staminaRecoveryRate", m_staminaRecoveryRate, problems))
        m_staminaRecoveryRate = 20.0f;
    ReadFloat(params, "m_staminaCostPerAttack", m_staminaCostPerAttack, problems);
    ReadFloat(params, "m_staminaCostPerParry", m_staminaCostPerParry, problems);
    ReadFloat(params, "m_staminaCostPerBlock", m_staminaCostPerBlock, problems);
    ReadFloat(params, "m_shieldDurability", m_shieldDurability, problems);
    ReadFloat(params, "m_shieldDurabilityLoss", m_shieldDurabilityLoss, problems);
    ReadFloat(params, "m_recoilFactor", m_recoilFactor, problems);

    float mass = m_playerMass;
    if (ReadFloat(params, "m_playerMass", mass, problems)) {
        if (mass > kMinimumPlayerMass) {
            m_playerMass = mass;
        } else {
            std::printf("%s: m_playerMass %g is too small for the player's body, keeping %g\n",
                        m_fileName.c_str(), mass, m_playerMass);
            std::fflush(stdout);
        }
    }
}

void PlayerStatus::AddWindowWidgets(int window)
{
    // Edits take effect at once: the game's systems read these fields every frame. The mass is
    // read only when the player's body is made at start-up, so its edit shows from the next start.
    Gui& gui = Gui::Instance();
    gui.AddInputFloat(window, "Player Move Speed", &m_playerMoveSpeed);
    gui.AddInputFloat(window, "Player Jump Speed", &m_playerJumpSpeed);
    gui.AddInputFloat(window, "Player Run Multi", &m_playerRunMultiplier);
    gui.AddInputFloat(window, "Player Stamina Drain", &m_staminaDrainFactor);
    gui.AddInputFloat(window, "Player Stamina Recovery Rate", &m_staminaRecoveryRate);
    gui.AddInputFloat(window, "Player Stamina Cost Per Attack", &m_staminaCostPerAttack);
    gui.AddInputFloat(window, "Player Stamina Cost Per Parry", &m_staminaCostPerParry);
    gui.AddInputFloat(window, "Player Stamina Cost Per Block", &m_staminaCostPerBlock);
    gui.AddInputFloat(window, "Player Shield Durability", &m_shieldDurability);
    gui.AddInputFloat(window, "Player Shield Durability Loss", &m_shieldDurabilityLoss);
    gui.AddInputFloat(window, "Player Max Stamina", &m_maxStamina);
    gui.AddInputFloat(window, "Player Recoil Factor", &m_recoilFactor);
    gui.AddInputFloat(window, "Player Mass", &m_playerMass);
    gui.AddCheckbox(window, "Player invulnerable status", &m_invulnerable);
    gui.AddButton(window, "Save Settings", [this] { Save(); });
}

void PlayerStatus::Load()
{
    const int window = Gui::Instance().CreateWindow("Player Control Values", true, 580.0f, 350.0f);

    SetFileDefaults();
    m_keepUnreadableFile = false;

    std::error_code error;
    const bool exists = std::filesystem::exists(m_fileName, error);
    Params params;
    ParamsProblems problems;
    if (!params.LoadFromFile(m_fileName.c_str(), &problems)) {
        if (exists) {
            m_keepUnreadableFile = true;
            std::printf("%s could not be read (%s): using the default player settings, the file "
                        "is left unchanged\n",
                        m_fileName.c_str(), problems.empty() ? "it cannot be opened" : problems[0].c_str());
            std::fflush(stdout);
        }
    } else {
        ReadFrom(params, problems);
        // The part of the file that could be read is used; the file stays as the designer
        // wrote it, so that the values the game could not read are not replaced at exit.
        if (!problems.empty()) {
            m_keepUnreadableFile = true;
            for (const std::string& problem : problems)
                std::printf("%s: %s; the default is used and the file is left unchanged\n",
                            m_fileName.c_str(), problem.c_str());
            std::fflush(stdout);
        }
    }
    AddWindowWidgets(window);
}

void PlayerStatus::Save()
{
    if (m_keepUnreadableFile) {
        std::printf("%s was not rewritten: it could not be read at start-up\n", m_fileName.c_str());
        std::fflush(stdout);
        return;
    }
    Params params;
    params.SetFloat("m_playerMoveSpeed", m_playerMoveSpeed);
    params.SetFloat("m_playerJumpSpeed", m_playerJumpSpeed);
    params.SetFloat("m_playerRunMultiplier", m_playerRunMultiplier);
    params.SetFloat("m_staminaDrainFactor", m_staminaDrainFactor);
    params.SetFloat("m_staminaRecoveryRate", m_staminaRecoveryRate);
    params.SetFloat("m_staminaCostPerAttack", m_staminaCostPerAttack);
    params.SetFloat("m_staminaCostPerParry", m_staminaCostPerParry);
    params.SetFloat("m_staminaCostPerBlock", m_staminaCostPerBlock);
    params.SetFloat("m_shieldDurability", m_shieldDurability);
    params.SetFloat("m_shieldDurabilityLoss", m_shieldDurabilityLoss);
    params.SetFloat("m_maxStamina", m_maxStamina);
    params.SetFloat("m_recoilFactor", m_recoilFactor);
    params.SetFloat("m_playerMass", m_playerMass);
    params.SaveToFile(m_fileName.c_str());
}

}  // namespace ztengine
