// The settings menu: the option rows, their actions and the pad grid.
#include "core/subsys/Menus/SettingsSystem.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "core/App.h"
#include "core/MessagingSystem.h"
#include "core/UI/UIElementManager.h"
#include "core/graphics/Graphics2D.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/gui/Gui.h"
#include "core/serialization/Params.h"
#include "core/input/Input.h"
#include "core/sound/SoundSystem.h"
#include "core/subsys/Menus/MenuCommon.h"

namespace ztengine {

namespace {

constexpr float kLabelHeight = 35.0f;
// The panel under the labels and choices, reaching a little past the widest of them (Parallax
// Mapping on the left, Off on the right) and the rows' tops and bottoms: the labels are pale
// and the view behind them may be as light.
constexpr ztmath::Vector2 kBackingCentre{-50.0f, 25.0f};
constexpr ztmath::Vector2 kBackingSize{1140.0f, 440.0f};
constexpr float kBackingAlpha = 0.72f;
const ztmath::Vector2 kBackPosition{400.0f, -300.0f};

struct Label {
    const char* picture;
    ztmath::Vector2 position;
    float width;
};

const Label kLabels[] = {
    {"textures/2d/Settings_SSAO.png", {-543.0f, 200.0f}, 81.5f},
    {"textures/2d/Settings_MotionBlur.png", {-504.0f, 150.0f}, 152.0f},
    {"textures/2d/Settings_ParallaxMapping.png", {-472.0f, 100.0f}, 221.5f},
    {"textures/2d/Settings_DOF.png", {-490.0f, 50.0f}, 175.0f},
    {"textures/2d/Settings_Shadows.png", {-515.0f, 0.0f}, 120.5f},
    {"textures/2d/Settings_Fullscreen.png", {-510.0f, -50.0f}, 130.5f},
    {"textures/2d/Settings_BGM.png", {-540.0f, -100.0f}, 62.0f},
    {"textures/2d/Settings_SFX.png", {-550.0f, -150.0f}, 52.5f},
};

// The height of a Yes / No row (1 to 7).
float RowY(int32_t row)
{
    return 150.0f - 50.0f * static_cast<float>(row - 1);
}

}  // namespace

SettingsSystem::SettingsSystem(App* app) : Subsystem(app)
{
    m_buttonPositions.push_back({{0.0f, 200.0f}, {150.0f, 200.0f}, {300.0f, 200.0f}, {450.0f, 200.0f}});
    for (int32_t row = 1; row <= 7; ++row)
        m_buttonPositions.push_back({{0.0f, RowY(row)}, {150.0f, RowY(row)}});
    m_buttonPositions.push_back({kBackPosition});
    MakeOptions();
}

void SettingsSystem::SaveRendererChoices()
{
    Params params;
    ParamsProblems problems;
    std::error_code error;
    // A file the game cannot wholly read is left as the player made it, as the graphics options
    // do: writing back only the entries that could be read would lose the others.
    if (std::filesystem::exists(kSettingsFile, error) &&
        (!params.LoadFromFile(kSettingsFile, &problems) || !problems.empty())) {
        std::printf("%s was left as it is (%s); the choice lasts for this run\n", kSettingsFile,
                    problems.empty() ? "it cannot be opened" : problems[0].c_str());
        std::fflush(stdout);
        return;
    }
    params.SetInt("m_enableSSAO", m_graphics->m_ssaoEnabled ? 1 : 0);
    params.SetFloat("m_ssaoStrength", m_graphics->m_ssaoStrength);
    params.SetInt("m_enableMotionBlur", m_graphics->IsMotionBlurEnabled() ? 1 : 0);
    params.SetFloat("m_motionBlurScale", m_graphics->GetMotionBlurScale());
    params.SetInt("m_enableParallaxMapping", m_graphics->IsParallaxMappingEnabled() ? 1 : 0);
    params.SetInt("m_enableDOF", m_graphics->IsDOFEnabled() ? 1 : 0);
    params.SaveToFile(kSettingsFile);
}

void SettingsSystem::MakeOptions()
{
    Graphics3D* graphics = m_graphics;
    App* app = m_app;
    auto add = [this](std::string name, int32_t row, ztmath::Vector2 position, ztmath::Vector2 size,
                      std::function<void()> choose, std::function<bool()> isCurrent) {
        Option option;
        option.name = std::move(name);
        option.row = row;
        option.position = position;
        option.size = size;
        option.choose = std::move(choose);
        option.isCurrent = std::move(isCurrent);
        m_options.push_back(std::move(option));
    };
    // A row of Yes / No over one switch.
    auto addSwitch = [&](int32_t row, std::function<void(bool)> set, std::function<bool()> get) {
        if (row <= kLastRendererRow) {
            set = [this, set](bool on) {
                set(on);
                SaveRendererChoices();
            };
        }
        add("Yes", row, {0.0f, RowY(row)}, {70.0f, kLabelHeight}, [set]() { set(true); }, [get]() { return get(); });
        add("No", row, {150.0f, RowY(row)}, {58.5f, kLabelHeight}, [set]() { set(false); },
            [get]() { return !get(); });
    };

    auto ssao = [this, graphics](float strength) {
        return [this, graphics, strength]() {
            graphics->m_ssaoStrength = strength;
            graphics->m_ssaoEnabled = true;
            SaveRendererChoices();
        };
    };
    auto ssaoIn = [graphics](float above, float upTo) {
        return [graphics, above, upTo]() {
            return graphics->m_ssaoEnabled && graphics->m_ssaoStrength > above && graphics->m_ssaoStrength <= upTo;
        };
    };
    add("Low", 0, {0.0f, 200.0f}, {76.0f, kLabelHeight}, ssao(kSSAOLow), ssaoIn(-1e30f, kSSAOLow));
    add("Med", 0, {150.0f, 200.0f}, {76.0f, kLabelHeight}, ssao(kSSAOMed), ssaoIn(kSSAOLow, kSSAOMed));
    add("High", 0, {300.0f, 200.0f}, {81.0f, kLabelHeight}, ssao(kSSAOHigh), ssaoIn(kSSAOMed, kSSAOHigh));
    add("Off", 0, {450.0f, 200.0f}, {70.0f, kLabelHeight}, 
        [this, graphics]() {
            graphics->m_ssaoEnabled = false;
            SaveRendererChoices();
        },
        [graphics]() { return !graphics->m_ssaoEnabled; });

    // The blur is drawn only while both its switch and its scale say so (the graphics options
    // set either alone): the choice sets both, and shows Yes only when the blur is drawn.
    addSwitch(
        1,
        [graphics](bool on) {
            graphics->EnableMotionBlur(on);
            graphics->SetMotionBlurScale(on ? kMotionBlurOn : 0.0f);
        },
        [graphics]() { return graphics->IsMotionBlurEnabled() && graphics->GetMotionBlurScale() >= kMotionBlurShown; });
    addSwitch(
        2, [graphics](bool on) { graphics->EnableParallaxMapping(on); },
        [graphics]() { return graphics->IsParallaxMappingEnabled(); });
    addSwitch(
        3, [graphics](bool on) { graphics->EnableDOF(on); }, [graphics]() { return graphics->IsDOFEnabled(); });
    addSwitch(
        4, [graphics](bool on) { graphics->EnableShadows(on); }, [graphics]() { return graphics->AreShadowsEnabled(); });
    addSwitch(
        5,
        [app](bool on) {
            app->m_windowInfo.fullscreen = on;
            app->SetFullscreen(on);
        },
        [app]() { return app->m_windowInfo.fullscreen; });
    addSwitch(
        6,
        [app](bool on) {
            if (SoundSystem* sound = app->GetSoundSystem())
                sound->SetMusicMuted(!on);
        },
        [app]() {
            SoundSystem* sound = app->GetSoundSystem();
            return sound == nullptr || !sound->m_musicMuted;
        });
    addSwitch(
        7,
        [app](bool on) {
            if (SoundSystem* sound = app->GetSoundSystem())
                sound->SetEffectsMuted(!on);
        },
        [app]() {
            SoundSystem* sound = app->GetSoundSystem();
            return sound == nullptr || !sound->m_effectsMuted;
        });
}

int SettingsSystem::FindOption(int32_t row, const std::string& name) const
{
    for (size_t i = 0; i < m_options.size(); ++i)
        if (m_options[i].row == row && m_options[i].name == name)
            return static_cast<int>(i);
    return -1;
}

void SettingsSystem::Load()
{
    m_app->QueueJob([this]() {
        BuildScreen();
        return true;
    });
}

void SettingsSystem::BuildScreen()
{
    Graphics2D& graphics = *m_graphics2D;
    UIElementManager& ui = UIElementManager::GetInstance();
    // Made first, so that everything of the screen on its layer is drawn over it.
    m_backingElement = MakeMenuElement(graphics, "textures/2d/black_screen.png", kBackingCentre, kBackingSize, 0);
    MenuElement(m_backingElement).m_sprite.SetAlpha(kBackingAlpha);
    m_titleElement = MakeMenuElement(graphics, "textures/2d/MainMenu_SettingsSelected.png", {-470.0f, 300.0f},
                                     {257.0f, 70.0f}, 0);
    m_backElement = MakeMenuButton(graphics, "textures/2d/Credits_BackIdle.png", kBackPosition, {182.0f, 84.0f}, 0,
                                   [this]() { m_app->ChangeToPreviousState(); });
    for (const Label& label : kLabels)
        m_labelElements.push_back(
            MakeMenuElement(graphics, label.picture, label.position, {label.width, kLabelHeight}, 0));

    for (Option& option : m_options) {
        const std::string stem = "textures/2d/Settings_" + option.name;
        option.selectedElement = MakeMenuElement(graphics, stem + "Selected.png", option.position, option.size, 0);
        option.idleElement = MakeMenuElement(graphics, stem + "Idle.png", option.position, option.size, 0);
        const int32_t idle = option.idleElement;
        const int32_t selected = option.selectedElement;
        ui.SetOnHover(idle, [selected](UIElement* element) {
            element->m_sprite.SetVisible(false);
            MenuElement(selected).m_sprite.SetVisible(true);
        });
        ui.SetOnRelease(idle, [choose = option.choose](UIElement*) { choose(); });
        ui.SetOnUpdate(idle, [selected, isCurrent = option.isCurrent](UIElement* element) {
            const bool current = isCurrent();
            MenuElement(selected).m_sprite.SetVisible(current);
            element->m_sprite.SetVisible(!current);
        });
    }
    Gui::Instance().SetEnabled(false);
}

void SettingsSystem::SetToCurrentState()
{
    // Opened before loading has built it (only through the debug state list): nothing to show.
    if (m_titleElement < 0)
        return;
    ShowMenuElement(m_backingElement, false);
    ShowMenuElement(m_titleElement, false);
    ShowMenuElement(m_backElement, true);
    for (int32_t label : m_labelElements)
        ShowMenuElement(label, false);
    for (const Option& option : m_options) {
        ShowMenuElement(option.selectedElement, false);
        ShowMenuElement(option.idleElement, true);
    }
    m_app->m_messagingSystem.SendEventByName("SHOW_CUSTOM_CURSOR", IEvent());
}

void SettingsSystem::Update(float)
{
    Input& input = *m_input;
    if (menu::BackRequested(input)) {
        m_app->ChangeToPreviousState();
        return;
    }
    if (!input.IsJoystickPresent(0))
        return;
    bool moved = false;
    if (input.IsJoystickButtonReleased(0, menu::kPadDown)) {
        if (m_row + 1 < kRows)
            ++m_row;
        moved = true;
    } else if (input.IsJoystickButtonReleased(0, menu::kPadUp)) {
        if (m_row >= 1)
            --m_row;
        moved = true;
    }
    const auto rowLength = [this]() { return static_cast<int32_t>(m_buttonPositions[static_cast<size_t>(m_row)].size()); };
    if (input.IsJoystickButtonReleased(0, menu::kPadRight)) {
        if (m_column + 1 < rowLength())
            ++m_column;
    } else if (input.IsJoystickButtonReleased(0, menu::kPadLeft)) {
        if (m_column > 0)
            --m_column;
    } else if (!moved) {
        return;
    }
    m_column = std::min(m_column, rowLength() - 1);
    SnapCursorTo(*m_app, input, m_buttonPositions[static_cast<size_t>(m_row)][static_cast<size_t>(m_column)]);
}

void SettingsSystem::NextState(int)
{
    m_input->SetCursorEnabled(false);
    m_app->m_messagingSystem.SendEventByName("HIDE_CUSTOM_CURSOR", IEvent());
    if (m_titleElement < 0)
        return;
    HideMenuElement(m_backingElement);
    HideMenuElement(m_titleElement);
    HideMenuElement(m_backElement);
    for (int32_t label : m_labelElements)
        HideMenuElement(label);
    for (const Option& option : m_options) {
        HideMenuElement(option.selectedElement);
        HideMenuElement(option.idleElement);
    }
}

}  // namespace ztengine
