// GameShadowSystem: the overworld and dungeon sun sets, "lightSettings.config", the per-frame
// sun and the "In Game Shadow Settings" window with its shadow-map preview.
#include "core/subsys/GameShadowSystem/GameShadowSystem.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "core/App.h"
#include "core/MessagingSystem.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/gui/Gui.h"
#include "core/math/Quaternion.h"
#include "core/math/Vector4.h"
#include "core/serialization/Params.h"

namespace ztengine {

namespace {

constexpr float kPi = 3.14159265358979f;

// What a place starts with when the file does not say otherwise: the sun straight above the
// origin, shining straight down.
ShadowSettings DefaultSettings()
{
    ShadowSettings set;
    set.sunPosition = ztmath::Vector3(0.0f, 1000.0f, 0.0f);
    set.lightEuler = ztmath::Vector3(0.0f, 0.0f, 0.0f);
    set.projectionWidth = 1000;
    set.projectionHeight = 1000;
    set.projectionNear = 0.5f;
    set.projectionFar = 1000.0f;
    set.distance = 0.0f;
    return set;
}

void ReportUnusable(const char* path, const char* key, const char* type)
{
    std::printf("%s: \"%s\" is missing or not stored as %s; the default is used\n", path, key,
                type);
    std::fflush(stdout);
}

// A hand-edited file may lack a key or hold it in another type (a Vec3 written with whole
// numbers is dropped by the loader): the default stays. Every key but the shadow flag and the
// two distances is one the file has always held, so its absence is worth a word (`required`).
void ReadVec3(const char* path, const Params& params, const char* key, ztmath::Vector3& out)
{
    const ParamValue* value = params.GetParam(key);
    if (value == nullptr || !value->IsVec3()) {
        ReportUnusable(path, key, "a Vec3");
        return;
    }
    out = value->GetVec3();
}

bool ReadFloat(const char* path, const Params& params, const char* key, float& out, bool required)
{
    const ParamValue* value = params.GetParam(key);
    if (value == nullptr && !required)
        return false;
    if (value == nullptr || !value->IsFloat()) {
        ReportUnusable(path, key, "a Float");
        return false;
    }
    out = value->GetFloat();
    return true;
}

bool ReadInt(const char* path, const Params& params, const char* key, int32_t& out, bool required)
{
    const ParamValue* value = params.GetParam(key);
    if (value == nullptr && !required)
        return false;
    if (value == nullptr || !value->IsInt()) {
        ReportUnusable(path, key, "an Int");
        return false;
    }
    out = value->GetInt();
    return true;
}

}  // namespace

ztmath::Vector3 ShadowLightDirection(const ztmath::Vector3& eulerDegrees)
{
    // Half of each angle, in radians.
    const float hx = eulerDegrees.x / 360.0f * 2.0f * kPi * 0.5f;
    const float hy = eulerDegrees.y / 360.0f * 2.0f * kPi * 0.5f;
    const float hz = eulerDegrees.z / 360.0f * 2.0f * kPi * 0.5f;
    const ztmath::Quaternion qx(std::sin(hx), 0.0f, 0.0f, std::cos(hx));
    const ztmath::Quaternion qy(0.0f, std::sin(hy), 0.0f, std::cos(hy));
    const ztmath::Quaternion qz(0.0f, 0.0f, std::sin(hz), std::cos(hz));
    const ztmath::Quaternion q = (qz * qy) * qx;
    const ztmath::Vector3 n = q.Rotate(ztmath::Vector3(0.0f, -1.0f, 0.0f));
    return n / n.Length();
}

void ReadShadowSettings(const char* path, ShadowSettings& overworld, ShadowSettings& dungeon,
                        bool& enableShadow)
{
    overworld = DefaultSettings();
    dungeon = DefaultSettings();
    enableShadow = true;

    Params params;
    ParamsProblems problems;
    if (!params.LoadFromFile(path, &problems)) {
        std::error_code error;
        if (std::filesystem::exists(path, error)) {
            std::printf("%s could not be read as a settings file; the default shadow settings "
                        "are used (%s)\n",
                        path, problems.empty() ? "it cannot be opened" : problems[0].c_str());
            std::fflush(stdout);
        }
        return;
    }
    // Entries that could not be read: the keys they held are reported below as missing.
    for (const std::string& problem : problems)
        std::printf("%s: %s\n", path, problem.c_str());
    std::fflush(stdout);

    ReadVec3(path, params, "overworld_sun_pos", overworld.sunPosition);
    ReadVec3(path, params, "overworld_light_euler", overworld.lightEuler);
    ReadFloat(path, params, "overworld_proj_f", overworld.projectionFar, true);
    ReadFloat(path, params, "overworld_proj_n", overworld.projectionNear, true);
    ReadInt(path, params, "overworld_proj_w", overworld.projectionWidth, true);
    ReadInt(path, params, "overworld_proj_h", overworld.projectionHeight, true);
    ReadVec3(path, params, "dungeon_sun_pos", dungeon.sunPosition);
    ReadVec3(path, params, "dungeon_light_euler", dungeon.lightEuler);
    ReadFloat(path, params, "dungeon_proj_f", dungeon.projectionFar, true);
    ReadFloat(path, params, "dungeon_proj_n", dungeon.projectionNear, true);
    ReadInt(path, params, "dungeon_proj_w", dungeon.projectionWidth, true);
    ReadInt(path, params, "dungeon_proj_h", dungeon.projectionHeight, true);

    int32_t shadowValue = 0;
    if (ReadInt(path, params, "enableShadow", shadowValue, false))
        enableShadow = shadowValue > 0;
    ReadFloat(path, params, "overworld_d", overworld.distance, false);
    ReadFloat(path, params, "dungeon_d", dungeon.distance, false);
}

bool WriteShadowSettings(const char* path, const ShadowSettings& overworld,
                         const ShadowSettings& dungeon, bool enableShadow)
{
    Params params;
    params.SetVec3("overworld_sun_pos", overworld.sunPosition);
    params.SetVec3("overworld_light_euler", overworld.lightEuler);
    params.SetInt("overworld_proj_w", overworld.projectionWidth);
    params.SetInt("overworld_proj_h", overworld.projectionHeight);
    params.SetFloat("overworld_proj_n", overworld.projectionNear);
    params.SetFloat("overworld_proj_f", overworld.projectionFar);
    params.SetFloat("overworld_d", overworld.distance);
    params.SetVec3("dungeon_sun_pos", dungeon.sunPosition);
    params.SetVec3("dungeon_light_euler", dungeon.lightEuler);
    params.SetInt("dungeon_proj_w", dungeon.projectionWidth);
    params.SetInt("dungeon_proj_h", dungeon.projectionHeight);
    params.SetFloat("dungeon_proj_n", dungeon.projectionNear);
    params.SetFloat("dungeon_proj_f", dungeon.projectionFar);
    params.SetFloat("dungeon_d", dungeon.distance);
    params.SetInt("enableShadow", enableShadow ? 1 : 0);
    return params.SaveToFile(path);
}

GameShadowSystem::GameShadowSystem(App* app)
    : Subsystem(app), m_messaging(&app->m_messagingSystem)
{
}

void GameShadowSystem::Init()
{
    m_showShadowMap = false;
    LoadSettings();

    m_messaging->RegisterHandler("ENTER_OVERWORLD",
                                 [this](const IEvent&) { m_isOverworld = true; });
    m_messaging->RegisterHandler("EXIT_OVERWORLD",
                                 [this](const IEvent&) { m_isOverworld = false; });

    // The shadow map drawn as a sprite; hidden until the window's box asks for it.
    m_graphics2D->m_textures.push_back(Texture2D{m_graphics->GetShadowMapTexture(), 0, 0, 0, 1});
    const Texture2DHandle texture{static_cast<unsigned>(m_graphics2D->m_textures.size() - 1), 1};
    m_previewSprite = m_graphics2D->CreateSprite(texture, ztmath::Vector2(350.0f, 150.0f),
                                                 ztmath::Vector2(350.0f, 350.0f), 0);
    m_previewSprite.SetVisible(false);

    Gui& gui = Gui::Instance();
    m_window = gui.CreateWindow("In Game Shadow Settings", true, 650.0f, 450.0f);
    gui.AddText(m_window, "Setting Overworld");
    gui.AddInputFloat3(m_window, "Set Sun Position(OVERWORLD)", m_overworld.sunPosition.data);
    gui.AddInputFloat3(m_window, "Set Light Direction Euler(OVERWORLD)",
                       m_overworld.lightEuler.data);
    gui.AddInputInt(m_window, "Set Projection W(OVERWORLD)", &m_overworld.projectionWidth);
    gui.AddInputInt(m_window, "Set Projection H(OVERWORLD)", &m_overworld.projectionHeight);
    gui.AddInputFloat(m_window, "Set Projection N(OVERWORLD)", &m_overworld.projectionNear);
    gui.AddInputFloat(m_window, "Set Projection F(OVERWORLD)", &m_overworld.projectionFar);
    gui.AddInputFloat(m_window, "Set Distance from Origin(OVERWORLD)", &m_overworld.distance);
    gui.AddText(m_window, "Setting Dungeon");
    gui.AddInputFloat3(m_window, "Set Sun Position(DUNGEON)", m_dungeon.sunPosition.data);
    gui.AddInputFloat3(m_window, "Set Light Direction Euler(DUNGEON)", m_dungeon.lightEuler.data);
    gui.AddInputInt(m_window, "Set Projection W(DUNGEON)", &m_dungeon.projectionWidth);
    gui.AddInputInt(m_window, "Set Projection H(DUNGEON)", &m_dungeon.projectionHeight);
    gui.AddInputFloat(m_window, "Set Projection N(DUNGEON)", &m_dungeon.projectionNear);
    gui.AddInputFloat(m_window, "Set Projection F(DUNGEON)", &m_dungeon.projectionFar);
    gui.AddInputFloat(m_window, "Set Distance from Origin(DUNGEON)", &m_dungeon.distance);
    gui.AddCheckbox(m_window, "Show Shadow Map", &m_showShadowMap);
    gui.AddButton(m_window, "Save Settings", [this] { SaveSettings(); });
    gui.AddButton(m_window, "Load Previous Settings", [this] { LoadSettings(); });
    gui.AddButton(m_window, "Set Sun Position To Camera(Overworld)",
                  [this] { m_overworld.sunPosition = m_graphics->GetCameraPosition(); });
    gui.AddButton(m_window, "Set Sun Position To Camera(Dungeon)",
                  [this] { m_dungeon.sunPosition = m_graphics->GetCameraPosition(); });

    m_isOverworld = true;
    Update(0.0f);
}

void GameShadowSystem::Update(float)
{
    const ShadowSettings& set = m_isOverworld ? m_overworld : m_dungeon;
    const ztmath::Vector3 direction = ShadowLightDirection(set.lightEuler);
    // In the dungeons the sun follows the player, so the shadow map always covers them.
    const ztmath::Vector3 base = m_isOverworld ? set.sunPosition : m_graphics->GetCameraPosition();
    m_graphics->SetSunPosition(base - direction * set.distance);
    m_graphics->SetShadowProjection(ztmath::Vector4(static_cast<float>(set.projectionWidth),
                                                   static_cast<float>(set.projectionHeight),
                                                   set.projectionNear, set.projectionFar));
    m_graphics->GetCurrentEnvironment()->m_lightDirection = direction;
    if (m_previewSprite.IsValid())
        m_previewSprite.SetVisible(m_showShadowMap);
}

void GameShadowSystem::LoadSettings()
{
    ReadShadowSettings(kSettingsFile, m_overworld, m_dungeon, m_enableShadow);
}

void GameShadowSystem::SaveSettings()
{
    WriteShadowSettings(kSettingsFile, m_overworld, m_dungeon, m_enableShadow);
}

}  // namespace ztengine
