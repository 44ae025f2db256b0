// The "Player Control Values" window, driven through the debug GUI as a developer would: every
// input edits its own tuning value, the check box toggles invulnerability and "Save Settings"
// writes what was typed to the settings file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "core/gui/GuiHarness.h"
#include "core/serialization/Params.h"
#include "core/subsys/sharedData/PlayerStatus.h"
#include "support/TestSupport.h"

namespace {

using ztengine::PlayerStatus;
using zttest::GuiHarness;

constexpr const char* kWindow = "Player Control Values";

class PlayerControlValuesWindow : public testing::Test {
protected:
    // Loads the settings and makes the window tall enough to show every row at once.
    void LoadAndShow()
    {
        status.Load();
        gui.Frame();
        gui.Unfold(kWindow);
        ImGui::SetWindowSize(kWindow, ImVec2(580.0f, 650.0f));
        gui.Frame();
    }

    // The widgets hovered down the window's left edge, each with the first point that hovers it.
    std::vector<std::pair<ImGuiID, ImVec2>> Rows()
    {
        std::vector<std::pair<ImGuiID, ImVec2>> rows;
        ImGuiWindow* w = GuiHarness::Window(kWindow);
        if (w == nullptr)
            return rows;
        const float x = w->Pos.x + w->WindowPadding.x + 3.0f;
        for (float y = w->Pos.y + w->TitleBarHeight() + 1.0f; y < w->Pos.y + w->Size.y; y += 1.0f) {
            gui.Frame(ImVec2(x, y));
            const ImGuiID id = ImGui::GetCurrentContext()->HoveredId;
            if (id != 0 && (rows.empty() || rows.back().first != id))
                rows.emplace_back(id, ImVec2(x, y + 2.0f));
        }
        return rows;
    }

    // Replaces the field's text and confirms it.
    void TypeInto(ImVec2 at, const char* text)
    {
        gui.Click(at);
        gui.Key(GLFW_KEY_LEFT_CONTROL, GLFW_PRESS);
        gui.Key(GLFW_KEY_A, GLFW_PRESS);
        gui.Key(GLFW_KEY_A, GLFW_RELEASE);
        gui.Key(GLFW_KEY_LEFT_CONTROL, GLFW_RELEASE);
        gui.Type(text);
        gui.Key(GLFW_KEY_ENTER, GLFW_PRESS);
        gui.Key(GLFW_KEY_ENTER, GLFW_RELEASE);
    }

    GuiHarness gui;
    std::filesystem::path dir = zttest::MakeTempDir("playerwindow");
    std::string path = (dir / "playerSettings.ini").string();
    PlayerStatus status{path};
};

struct Row {
    const char* label;
    float PlayerStatus::*field;
    const char* typed;
    float expected;
};

// Top to bottom as the window shows them; each typed value is unlike every default and every
// other row's, so an input bound to the wrong field shows up.
const Row kRows[] = {
    {"Player Move Speed", &PlayerStatus::m_playerMoveSpeed, "650", 650.0f},
    {"Player Jump Speed", &PlayerStatus::m_playerJumpSpeed, "812.5", 812.5f},
    {"Player Run Multi", &PlayerStatus::m_playerRunMultiplier, "3.25", 3.25f},
    {"Player Stamina Drain", &PlayerStatus::m_staminaDrainFactor, "4.5", 4.5f},
    {"Player Stamina Recovery Rate", &PlayerStatus::m_staminaRecoveryRate, "22", 22.0f},
    {"Player Stamina Cost Per Attack", &PlayerStatus::m_staminaCostPerAttack, "6", 6.0f},
    {"Player Stamina Cost Per Parry", &PlayerStatus::m_staminaCostPerParry, "17", 17.0f},
    {"Player Stamina Cost Per Block", &PlayerStatus::m_staminaCostPerBlock, "2.75", 2.75f},
    {"Player Shield Durability", &PlayerStatus::m_shieldDurability, "120", 120.0f},
    {"Player Shield Durability Loss", &PlayerStatus::m_shieldDurabilityLoss, "1.75", 1.75f},
    {"Player Max Stamina", &PlayerStatus::m_maxStamina, "175", 175.0f},
    {"Player Recoil Factor", &PlayerStatus::m_recoilFactor, "-7.5", -7.5f},
    {"Player Mass", &PlayerStatus::m_playerMass, "65", 65.0f},
};

const char* const kFileKeys[] = {
    "m_playerMoveSpeed",     "m_playerJumpSpeed",      "m_playerRunMultiplier",
    "m_staminaDrainFactor",  "m_staminaRecoveryRate",  "m_staminaCostPerAttack",
    "m_staminaCostPerParry", "m_staminaCostPerBlock",  "m_shieldDurability",
    "m_shieldDurabilityLoss", "m_maxStamina",          "m_recoilFactor",
    "m_playerMass",
};

std::vector<ImGuiID> ExpectedIds()
{
    std::vector<ImGuiID> ids;
    for (const Row& row : kRows)
        ids.push_back(GuiHarness::IdOf(kWindow, row.label));
    ids.push_back(GuiHarness::IdOf(kWindow, "Player invulnerable status"));
    ids.push_back(GuiHarness::IdOf(kWindow, "Save Settings"));
    return ids;
}

TEST_F(PlayerControlValuesWindow, IsListedWithEveryInputInOrder)
{
    LoadAndShow();
    ztengine::GuiManager& m = gui.Manager();
    ASSERT_EQ(m.m_windows.size(), 1u);
    EXPECT_EQ(m.m_windows[0].name, kWindow);
    EXPECT_TRUE(m.m_windows[0].listed);
    EXPECT_EQ(m.m_windows[0].width, 580.0f);
    EXPECT_EQ(m.m_windows[0].height, 350.0f);

    std::vector<ImGuiID> drawn;
    for (const auto& row : Rows())
        drawn.push_back(row.first);
    EXPECT_EQ(drawn, ExpectedIds());
}

TEST_F(PlayerControlValuesWindow, InputsEditTheirValuesAndSaveWritesThem)
{
    LoadAndShow();
    const auto rows = Rows();
    ASSERT_EQ(rows.size(), std::size(kRows) + 2);

    for (size_t i = 0; i < std::size(kRows); ++i) {
        SCOPED_TRACE(kRows[i].label);
        TypeInto(rows[i].second, kRows[i].typed);
        EXPECT_EQ(status.*kRows[i].field, kRows[i].expected);
    }
    for (const Row& row : kRows)  // no later edit landed in an earlier field
        EXPECT_EQ(status.*row.field, row.expected) << row.label;

    const ImVec2 checkbox = rows[std::size(kRows)].second;
    gui.Click(checkbox);
    EXPECT_TRUE(status.m_invulnerable);
    gui.Click(checkbox);
    EXPECT_FALSE(status.m_invulnerable);

    EXPECT_FALSE(std::filesystem::exists(path));
    gui.Click(rows[std::size(kRows) + 1].second);
    ztengine::Params saved;
    ASSERT_TRUE(saved.LoadFromFile(path.c_str()));
    for (size_t i = 0; i < std::size(kRows); ++i) {
        const ztengine::ParamValue* value = saved.GetParam(kFileKeys[i]);
        ASSERT_NE(value, nullptr) << kFileKeys[i];
        EXPECT_EQ(value->GetFloat(), kRows[i].expected) << kFileKeys[i];
    }
}

// The window is there to fix a settings file gone wrong, so it must appear even when the file
// cannot be read; its button still refuses to overwrite that file.
TEST_F(PlayerControlValuesWindow, AppearsWhenTheFileCannotBeReadAndSaveKeepsTheFile)
{
    const std::string broken = "{\"data\":[";
    std::ofstream(path, std::ios::binary) << broken;
    zttest::CaptureStdout([&] { LoadAndShow(); });
    const auto rows = Rows();
    ASSERT_EQ(rows.size(), std::size(kRows) + 2);

    const std::string out = zttest::CaptureStdout([&] { gui.Click(rows.back().second); });
    EXPECT_EQ(out, path + " was not rewritten: it could not be read at start-up\n");
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), broken);
}

}  // namespace
