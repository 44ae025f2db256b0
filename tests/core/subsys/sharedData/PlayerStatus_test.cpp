// PlayerStatus and "playerSettings.ini": what the file may change, the exact file it writes, and
// files that are never damaged (unreadable at start-up, or a save that cannot complete).
#include "core/subsys/sharedData/PlayerStatus.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>

#include "core/gui/Gui.h"
#include "support/TestSupport.h"

using ztengine::PlayerStatus;

namespace {

using zttest::ReadBytes;

std::string FloatEntry(const char* key, const char* value)
{
    return std::string("{\"__name\":\"") + key + "\",\"__type\":0,\"__size\":1,\"__data\":" + value +
           "}";
}

class PlayerSettingsFile : public testing::Test {
protected:
    // Load opens the settings window bound to this object; the GUI must not outlive it.
    ~PlayerSettingsFile() override { ztengine::Gui::Instance().Reset(); }

    std::filesystem::path dir = zttest::MakeTempDir("playersettings");
    std::string path = (dir / "playerSettings.ini").string();
    PlayerStatus status{path};

    void Write(const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
};

}  // namespace

TEST_F(PlayerSettingsFile, MissingFileGivesDefaultsAndSaveWritesEveryTuningValue)
{
    status.m_playerMoveSpeed = 1.0f;  // an earlier edit is undone by Load
    EXPECT_EQ(zttest::CaptureStdout([&] { status.Load(); }), "");
    EXPECT_EQ(status.m_playerMoveSpeed, 500.0f);
    EXPECT_EQ(status.m_playerMass, 50.0f);

    status.m_shieldDurabilityLoss = 2.0f;
    status.Save();
    EXPECT_EQ(ReadBytes(path),
              "{\"data\":[" + FloatEntry("m_maxStamina", "150.0") + "," +
                  FloatEntry("m_playerJumpSpeed", "800.0") + "," +
                  FloatEntry("m_playerMass", "50.0") + "," +
                  FloatEntry("m_playerMoveSpeed", "500.0") + "," +
                  FloatEntry("m_playerRunMultiplier", "2.5") + "," +
                  FloatEntry("m_recoilFactor", "-5.0") + "," +
                  FloatEntry("m_shieldDurability", "100.0") + "," +
                  FloatEntry("m_shieldDurabilityLoss", "2.0") + "," +
                  FloatEntry("m_staminaCostPerAttack", "5.0") + "," +
                  FloatEntry("m_staminaCostPerBlock", "3.5") + "," +
                  FloatEntry("m_staminaCostPerParry", "15.0") + "," +
                  FloatEntry("m_staminaDrainFactor", "3.5") + "," +
                  FloatEntry("m_staminaRecoveryRate", "20.0") + "]}");
}

TEST_F(PlayerSettingsFile, LoadTakesFloatKeysButNotTheStaminaLimits)
{
    Write("{\"data\":[" + FloatEntry("m_playerMoveSpeed", "650.0") + "," +
          FloatEntry("m_maxStamina", "300.0") + "," + FloatEntry("m_staminaRecoveryRate", "5.0") +
          "," + FloatEntry("m_recoilFactor", "-2.5") + "," +
          R"({"__name":"m_playerJumpSpeed","__type":1,"__size":1,"__data":900},)" +
          R"({"__name":"m_invulnerable","__type":0,"__size":1,"__data":1.0})" + "]}");
    status.Load();
    EXPECT_EQ(status.m_playerMoveSpeed, 650.0f);
    EXPECT_EQ(status.m_maxStamina, 150.0f);
    EXPECT_EQ(status.m_staminaRecoveryRate, 20.0f);
    EXPECT_EQ(status.m_recoilFactor, -2.5f);
    EXPECT_EQ(status.m_playerJumpSpeed, 800.0f);  // an Int is not taken
    EXPECT_FALSE(status.m_invulnerable);          // not a file value
    EXPECT_EQ(status.m_playerMass, 50.0f);        // absent key keeps the default
}

// The physics world cannot make a body of no mass: such a file value keeps the default.
TEST_F(PlayerSettingsFile, RefusesAMassTheBodyCannotHave)
{
    for (const char* mass : {"0.0", "-3.0", "1e-8"}) {
        SCOPED_TRACE(mass);
        Write("{\"data\":[" + FloatEntry("m_playerMass", mass) + "]}");
        const std::string out = zttest::CaptureStdout([&] { status.Load(); });
        EXPECT_NE(out.find("m_playerMass"), std::string::npos);
        EXPECT_EQ(status.m_playerMass, 50.0f);
    }
    Write("{\"data\":[" + FloatEntry("m_playerMass", "80.5") + "]}");
    status.Load();
    EXPECT_EQ(status.m_playerMass, 80.5f);
}

// A settings file the game cannot read is the player's, not the game's: it keeps the defaults
// for the run and leaves the file exactly as it was at exit.
TEST_F(PlayerSettingsFile, UnreadableFileIsNeverOverwritten)
{
    const std::string broken = "{\"data\":[" + FloatEntry("m_playerMoveSpeed", "650.0") + ",}";
    Write(broken);
    const std::string loaded = zttest::CaptureStdout([&] { status.Load(); });
    EXPECT_NE(loaded.find(path + " could not be read"), std::string::npos);
    EXPECT_EQ(status.m_playerMoveSpeed, 500.0f);

    const std::string saved = zttest::CaptureStdout([&] { status.Save(); });
    EXPECT_EQ(saved, path + " was not rewritten: it could not be read at start-up\n");
    EXPECT_EQ(ReadBytes(path), broken);

    // Once the file reads again, saving works again.
    Write("{\"data\":[]}");
    status.Load();
    status.Save();
    EXPECT_NE(ReadBytes(path), "{\"data\":[]}");
}

TEST_F(PlayerSettingsFile, SaveOfAValueJsonCannotHoldKeepsTheOldFile)
{
    status.Save();
    const std::string before = ReadBytes(path);
    status.m_playerMoveSpeed = std::numeric_limits<float>::quiet_NaN();
    const std::string out = zttest::CaptureStdout([&] { status.Save(); });
    EXPECT_EQ(out, "error writing out Params to File: " + path + "\n");
    EXPECT_EQ(ReadBytes(path), before);
}
