// GameOptionsSystem: "settings.ini" read, pushed into the renderer and written back, and the
// "Options" window that edits it.
#include "core/subsys/GameOptionsSystem/GameOptionsSystem.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "core/graphics/framework/Graphics3D.h"
#include "core/graphics/framework/RendererOptions.h"
#include "core/gui/Gui.h"
#include "core/serialization/Params.h"

namespace ztengine {

namespace {

// A file with bytes in it is something the player may have written; an empty one is not.
bool HasContent(const char* path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return false;
    const auto size = std::filesystem::file_size(path, error);
    return !error && size > 0;
}

void ReportMistyped(ParamsProblems& problems, const char* key, const char* type)
{
    problems.push_back(std::string("\"") + key + "\" is not stored as " + type + "; it is ignored");
}

// A switch is on only when its int is exactly 1.
void ReadSwitch(const Params& params, const char* key, bool& out, ParamsProblems& problems)
{
    const ParamValue* value = params.GetParam(key);
    if (value == nullptr)
        return;
    if (!value->IsInt()) {
        ReportMistyped(problems, key, "an Int");
        return;
    }
    out = value->GetInt() == 1;
}

void ReadInt(const Params& params, const char* key, int32_t& out, ParamsProblems& problems)
{
    const ParamValue* value = params.GetParam(key);
    if (value == nullptr)
        return;
    if (!value->IsInt()) {
        ReportMistyped(problems, key, "an Int");
        return;
    }
    out = value->GetInt();
}

void ReadFloat(const Params& params, const char* key, float& out, ParamsProblems& problems)
{
    const ParamValue* value = params.GetParam(key);
    if (value == nullptr)
        return;
    if (!value->IsFloat()) {
        ReportMistyped(problems, key, "a Float");
        return;
    }
    out = value->GetFloat();
}

void ReadVec3(const Params& params, const char* key, ztmath::Vector3& out, ParamsProblems& problems)
{
    const ParamValue* value = params.GetParam(key);
    if (value == nullptr)
        return;
    if (!value->IsVec3()) {
        ReportMistyped(problems, key, "a Vec3");
        return;
    }
    out = value->GetVec3();
}

}  // namespace

bool ReadGraphicsOptions(const char* path, GraphicsOptions& options)
{
    Params params;
    ParamsProblems problems;
    if (!params.LoadFromFile(path, &problems) || params.Entries().empty()) {
        // An empty file holds nothing to lose and is written at start-up like a missing one.
        std::error_code error;
        if (std::filesystem::exists(path, error)) {
            std::printf("%s holds no setting the game can read (%s); the graphics options keep "
                        "their current values\n",
                        path, problems.empty() ? "no entry" : problems[0].c_str());
            std::fflush(stdout);
        }
        return HasContent(path);
    }

    ReadSwitch(params, "m_enableMotionBlur", options.m_enableMotionBlur, problems);
    ReadSwitch(params, "m_enableSSAO", options.m_enableSSAO, problems);
    ReadSwitch(params, "m_enableDOF", options.m_enableDOF, problems);
    ReadSwitch(params, "m_enableParallaxMapping", options.m_enableParallaxMapping, problems);
    ReadSwitch(params, "m_enableFog", options.m_enableFog, problems);
    ReadVec3(params, "m_distanceFogColor", options.m_distanceFogColor, problems);
    ReadFloat(params, "m_motionBlurScale", options.m_motionBlurScale, problems);
    ReadInt(params, "m_blurSampleCount", options.m_blurSampleCount, problems);
    ReadFloat(params, "m_ssaoRadius", options.m_ssaoRadius, problems);
    ReadFloat(params, "m_ssaoStrength", options.m_ssaoStrength, problems);
    ReadFloat(params, "m_ssao_allowance", options.m_ssao_allowance, problems);
    ReadFloat(params, "m_DOFFocalRange", options.m_DOFFocalRange, problems);
    ReadFloat(params, "m_DOFocalPerc", options.m_DOFocalPerc, problems);
    ReadFloat(params, "m_fogGradient", options.m_fogGradient, problems);
    ReadFloat(params, "m_fogDensity", options.m_fogDensity, problems);
    ReadFloat(params, "m_setGammaFactor", options.m_setGammaFactor, problems);
    ReadFloat(params, "m_bloomIntensity", options.m_bloomIntensity, problems);
    ReadVec3(params, "m_bloomFilterThreshold", options.m_bloomFilterThreshold, problems);

    // The settings that could be read are used; a file with any the game could not read stays
    // as the player wrote it until "Apply Settings" replaces it.
    for (const std::string& problem : problems)
        std::printf("%s: %s\n", path, problem.c_str());
    std::fflush(stdout);
    return !problems.empty();
}

bool WriteGraphicsOptions(const char* path, const GraphicsOptions& options)
{
    // A fresh set: keys the game does not know leave the file here.
    Params params;
    params.SetVec3("m_distanceFogColor", options.m_distanceFogColor);
    params.SetInt("m_enableMotionBlur", options.m_enableMotionBlur ? 1 : 0);
    params.SetInt("m_blurSampleCount", options.m_blurSampleCount);
    params.SetInt("m_enableSSAO", options.m_enableSSAO ? 1 : 0);
    params.SetInt("m_enableDOF", options.m_enableDOF ? 1 : 0);
    params.SetInt("m_enableParallaxMapping", options.m_enableParallaxMapping ? 1 : 0);
    params.SetInt("m_enableFog", options.m_enableFog ? 1 : 0);
    params.SetFloat("m_motionBlurScale", options.m_motionBlurScale);
    params.SetFloat("m_ssaoRadius", options.m_ssaoRadius);
    params.SetFloat("m_ssaoStrength", options.m_ssaoStrength);
    params.SetFloat("m_ssao_allowance", options.m_ssao_allowance);
    params.SetFloat("m_DOFFocalRange", options.m_DOFFocalRange);
    params.SetFloat("m_DOFocalPerc", options.m_DOFocalPerc);
    params.SetFloat("m_fogGradient", options.m_fogGradient);
    params.SetFloat("m_fogDensity", options.m_fogDensity);
    params.SetFloat("m_setGammaFactor", options.m_setGammaFactor);
    params.SetFloat("m_bloomIntensity", options.m_bloomIntensity);
    params.SetVec3("m_bloomFilterThreshold", options.m_bloomFilterThreshold);
    return params.SaveToFile(path);
}

GameOptionsSystem::GameOptionsSystem(App* app) : Subsystem(app) {}

void GameOptionsSystem::Init()
{
    LoadSettings();
    if (m_fileUnreadable) {
        // A file the player broke by hand still holds their values: the renderer runs with
        // what we have, and the file waits to be mended or replaced by "Apply Settings".
        PushToRenderer();
        std::printf("%s was left as it is; \"Apply Settings\" in the Options window replaces it\n",
                    kSettingsFile);
        std::fflush(stdout);
    } else {
        ApplySettings();
    }

    Gui& gui = Gui::Instance();
    m_window = gui.CreateWindow("Options", true, 640.0f, 640.0f);
    gui.AddCheckbox(m_window, "Enable Motion Blur", &m_enableMotionBlur);
    gui.AddSliderFloat(m_window, "Blur Amt", &m_motionBlurScale, 0.0f, 1.0f);
    gui.AddSliderInt(m_window, "Blur Sample Count", &m_blurSampleCount, 1, 62);
    gui.AddCheckbox(m_window, "Enable Screen Space Ambient Occlusion", &m_enableSSAO);
    gui.AddSliderFloat(m_window, "SSAO Radius", &m_ssaoRadius, 0.0f, 20.0f);
    gui.AddSliderFloat(m_window, "SSAO Strength", &m_ssaoStrength, 0.0f, 25.0f);
    gui.AddSliderFloat(m_window, "SSAO AngleAllowance", &m_ssao_allowance, 0.0f, 1.0f);
    gui.AddCheckbox(m_window, "Enable Depth Of Field(Linear)", &m_enableDOF);
    gui.AddSliderFloat(m_window, "Focal Range", &m_DOFFocalRange, 0.0f, 10000.0f);
    gui.AddSliderFloat(m_window, "Focal Perc", &m_DOFocalPerc, 0.0f, 1.0f);
    gui.AddCheckbox(m_window, "Enable Parallax Mapping", &m_enableParallaxMapping);
    gui.AddCheckbox(m_window, "Enable Distance Fog", &m_enableFog);
    gui.AddDragFloat3(m_window, "Set Fog Color", m_distanceFogColor.data, 0.01f);
    gui.AddSliderFloat(m_window, "Set Fog Density", &m_fogDensity, 0.0f, 0.035f);
    gui.AddSliderFloat(m_window, "Set Fog Gradient", &m_fogGradient, 0.0f, 20.0f);
    gui.AddSliderFloat(m_window, "Set Gamma Correction", &m_setGammaFactor, 1.0f, 5.0f);
    gui.AddSliderFloat(m_window, "Set Bloom Intensity", &m_bloomIntensity, 0.0f, 1.0f);
    gui.AddInputFloat3(m_window, "Set Bloom Threshold Values", m_bloomFilterThreshold.data);
    gui.AddButton(m_window, "Apply Settings", [this] { ApplySettings(); });
    gui.AddButton(m_window, "Load Previous", [this] { LoadSettings(); });
}

void GameOptionsSystem::LoadSettings()
{
    m_fileUnreadable = ReadGraphicsOptions(kSettingsFile, *this);
}

void GameOptionsSystem::ApplySettings()
{
    PushToRenderer();
    if (SaveSettings())
        m_fileUnreadable = false;
}

void GameOptionsSystem::PushToRenderer()
{
    uint8_t mask = RendererOptions::kEffectBase;
    if (m_enableMotionBlur)
        mask |= RendererOptions::kEffectMotionBlur;
    if (m_enableDOF)
        mask |= RendererOptions::kEffectDepthOfField;
    m_graphics->SetEffectsMask(mask);
    m_graphics->EnableParallaxMapping(m_enableParallaxMapping);
    m_graphics->m_ssaoEnabled = m_enableSSAO;
    m_graphics->m_fogEnabled = m_enableFog;
    m_graphics->SetBlurSampleCount(m_blurSampleCount);
    m_graphics->SetMotionBlurScale(m_motionBlurScale);
    m_graphics->m_ssaoRadius = m_ssaoRadius;
    m_graphics->m_ssaoStrength = m_ssaoStrength;
    m_graphics->SetSSAOAllowance(m_ssao_allowance);
    m_graphics->SetDOFFocalRange(m_DOFFocalRange);
    m_graphics->SetDOFFocalPercent(m_DOFocalPerc);
    m_graphics->m_fogGradient = m_fogGradient;
    m_graphics->m_fogDensity = m_fogDensity;
    m_graphics->m_fogColor = m_distanceFogColor;
    m_graphics->m_gamma = m_setGammaFactor;
    m_graphics->SetBloomIntensity(m_bloomIntensity);
    m_graphics->SetBloomFilterThreshold(m_bloomFilterThreshold);
}

bool GameOptionsSystem::SaveSettings() const
{
    // Written through a temporary file and a rename: a failed write leaves the old file whole.
    return WriteGraphicsOptions(kSettingsFile, *this);
}

}  // namespace ztengine
