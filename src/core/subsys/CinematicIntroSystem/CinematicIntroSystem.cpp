#include "core/subsys/CinematicIntroSystem/CinematicIntroSystem.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/App.h"
#include "core/MessagingSystem.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/input/Input.h"
#include "core/math/Basis.h"
#include "core/sound/SoundSystem.h"
#include "core/subsys/sharedData/BossAltarQueues.h"
#include "core/subsys/sharedData/FeedbackRecords.h"

namespace ztengine {

namespace {

struct VoiceFile {
    const char* file;
    float volume;
};

const VoiceFile kVoiceFiles[CinematicIntroSystem::kVoiceCount] = {
    {"voiceoversounds/voiceoverfinal/boss/chillwasimortesh.wav", 1.0f},
    {"voiceoversounds/voiceoverfinal/boss/chillwelcometovosk.wav", 1.0f},
    {"voiceoversounds/voiceoverfinal/boss/bringorbs.wav", 1.0f},
    {"voiceoversounds/voiceoverfinal/boss/thenyoucanzao.wav", 1.0f},
    {"voiceoversounds/voiceoverfinal/boss/angishere.wav", 4.0f},
    {"voiceoversounds/voiceoverfinal/boss/greenishere.wav", 4.0f},
    {"voiceoversounds/voiceoverfinal/boss/bluishere.wav", 2.0f},
    {"voiceoversounds/voiceoverfinal/drev/goahdrev-lengthened.wav", 2.0f},
};

// One beat of the script: its line while the camera moves away from key b, and the line that
// replaces it while the camera rests on key b + 1 (the same line for beats that say one thing).
// Voices are indices into the voice table, -1 for none.
struct Beat {
    const char* blendLine;
    float blendTime;
    int32_t blendVoice;
    const char* holdLine;
    float holdTime;
    int32_t holdVoice;
};

const Beat kScript[] = {
    {"Hi there! I am Mor Tesh.", 1.0f, 0, "Welcome to the realm of Vosk.", 1.5f, 1},
    {"Help me get the 3 orbs,", 1.5f, 2, "Help me get the 3 orbs,", 1.5f, 2},
    {"and place them on that altar,", 1.0f, -1, "and place them on that altar,", 1.0f, -1},
    {"then you will be able to leave.", 1.5f, 3, "then you will be able to leave.", 1.5f, 3},
    {"The red orb, Ang,", 1.5f, -1, "is located here, in the red dungeon.", 1.0f, 4},
    {"The green orb, Che,", 1.5f, -1, "is located here, in the green dungeon.", 1.0f, 5},
    {"And the blue orb, Lam,", 1.5f, -1, "is located here, in the blue dungeon.", 1.0f, 6},
    {"Now go, Ah Drev,", 1.5f, -1, "free us from this place!", 1.0f, 7},
};

// The quest giver speaks in black.
const ztmath::Vector3 kLineColour{0.0f, 0.0f, 0.0f};

// The direction the path's rotations are measured from. The camera's own forward at start-up
// depends on which system touched it last, so the path is built from this fixed direction
// instead: the view of every key is then the same whatever ran before.
const ztmath::Vector3 kReferenceForward{0.0f, 0.0f, -1.0f};


}  // namespace

CinematicIntroSystem::CinematicIntroSystem(App* app)
    : Subsystem(app),
      m_soundSystem(app->GetSoundSystem()),
      m_dialogue(app->GetSharedData<DialogueController>("DialogueController"))
{
}

ztmath::Quaternion CinematicIntroSystem::RotationToward(const ztmath::Vector3& d, float* angle,
                                                        ztmath::Vector3* axis)
{
    const ztmath::Vector3& f = kReferenceForward;
    const float cosine = std::clamp(f.Dot(d) / (f.Length() * d.Length()), -1.0f, 1.0f);
    const float a = std::numbers::pi_v<float> - std::acos(cosine);
    ztmath::Vector3 n = d.Normalized().Cross(f);
    n = n.Length() > 0.0f ? n.Normalized() : ztmath::Vector3(0.0f, 1.0f, 0.0f);
    if (angle != nullptr)
        *angle = a;
    if (axis != nullptr)
        *axis = n;
    return ztmath::Quaternion(n * std::sin(a / 2.0f), std::cos(a / 2.0f));
}

void CinematicIntroSystem::BuildCameraPath()
{
    const ztmath::Vector3 start(kStartX, kStartY, kStartZ);
    auto key = [](const ztmath::Quaternion& rotation, const ztmath::Vector3& position, float hold,
                  float blend) {
        AnimationTransform transform;
        transform.rotation = rotation;
        transform.position = position;
        transform.scale = ztmath::Vector3(1.0f, 1.0f, 1.0f);
        transform.holdTime = hold;
        transform.blendTime = blend;
        return transform;
    };

    float altarAngle = 0.0f;
    ztmath::Vector3 altarAxis;
    const ztmath::Quaternion towardAltar =
        RotationToward(ztmath::Vector3(-20.0f, 0.0f, 50.0f) / std::sqrt(2900.0f), &altarAngle, &altarAxis);
    // A little past the altar, to take in the way out as well.
    const float swing = 35.0f * std::numbers::pi_v<float> / 180.0f;
    const float beyondAngle = altarAngle - swing;
    const ztmath::Quaternion beyondAltar(altarAxis * std::sin(beyondAngle / 2.0f), std::cos(beyondAngle / 2.0f));

    // Each skull is looked at from 80 to 85 % of the way there, on the camera's height.
    auto horizontal = [&](const ztmath::Vector3& target) {
        ztmath::Vector3 d(target.x - start.x, 0.0f, target.z - start.z);
        return d.Normalized();
    };
    auto along = [&](const ztmath::Vector3& target, float share) {
        return ztmath::Vector3(start.x + (target.x - start.x) * share, start.y,
                               start.z + (target.z - start.z) * share);
    };

    const ztmath::Quaternion identity;
    m_cameraPath.AddSequence(kPath, false);
    m_cameraPath.AddTransform(kPath, key(identity, start, 1.5f, 2.0f));
    m_cameraPath.AddTransform(kPath, key(towardAltar, start, 3.0f, 2.0f));
    m_cameraPath.AddTransform(kPath, key(towardAltar, ztmath::Vector3(488.0f, 510.0f, 530.0f), 1.0f, 1.5f));
    m_cameraPath.AddTransform(kPath, key(beyondAltar, ztmath::Vector3(488.0f, 510.0f, 530.0f), 0.5f, 1.0f));
    m_cameraPath.AddTransform(kPath, key(identity, start, 3.0f, 4.0f));
    m_cameraPath.AddTransform(kPath, key(RotationToward(horizontal(m_redSkull)), along(m_redSkull, 0.8f), 3.0f, 4.0f));
    m_cameraPath.AddTransform(kPath,
                              key(RotationToward(horizontal(m_yellowSkull)), along(m_yellowSkull, 0.85f), 3.0f, 4.0f));
    m_cameraPath.AddTransform(kPath, key(RotationToward(horizontal(m_blueSkull)), along(m_blueSkull, 0.85f), 3.0f, 4.0f));
    m_cameraPath.AddTransform(kPath, key(identity, start, 3.0f, 2.5f));
}

void CinematicIntroSystem::LoadVoices()
{
    for (uint32_t i = 0; i < kVoiceCount; ++i) {
        const int32_t sound = m_soundSystem->LoadSound(kVoiceFiles[i].file);
        const int32_t instance = m_soundSystem->CreateSoundInstance(sound);
        m_voices[i] = VoiceLine{instance, false};
        if (!m_soundSystem->IsValidInstance(instance))
            continue;
        // Spoken to the player, not from a place in the hub.
        m_soundSystem->SetInstance2D(instance, true);
        m_soundSystem->SetInstanceVolume(instance, kVoiceFiles[i].volume);
    }
}

void CinematicIntroSystem::Init()
{
    BuildCameraPath();
    m_cameraPath.m_paused = false;
    m_cameraPath.Play(kPath);
    LoadVoices();
    m_app->m_messagingSystem.RegisterHandler("EVENT_RESTART", [this](const IEvent&) { ResetVoiceFlags(); });
}

int32_t CinematicIntroSystem::CurrentBeat() const
{
    const AnimationSequence* sequence = m_cameraPath.m_CurrentAnimationSequence;
    if (sequence == nullptr)
        return 0;
    const auto key = static_cast<int32_t>(sequence->m_currentIndex);
    const float hold = sequence->m_Transforms[sequence->m_currentIndex].holdTime;
    return m_cameraPath.m_time < hold ? key - 1 : key;
}

void CinematicIntroSystem::PlayVoiceOnce(uint32_t index)
{
    VoiceLine& voice = m_voices[index];
    if (voice.played)
        return;
    voice.played = true;
    if (m_soundSystem->IsValidInstance(voice.instance))
        m_soundSystem->PlayInstance(voice.instance);
}

void CinematicIntroSystem::ResetVoiceFlags()
{
    for (VoiceLine& voice : m_voices)
        voice.played = false;
    m_app->GetSharedData<BossSystemQueue>("BossSystemQueue")->m_introSeen = false;
}

void CinematicIntroSystem::RunScript(int32_t beat)
{
    if (beat < 0 || beat >= static_cast<int32_t>(std::size(kScript)))
        return;
    const Beat& step = kScript[beat];
    m_dialogue->Show(step.blendTime, step.blendLine, kLineColour);
    if (step.blendVoice >= 0)
        PlayVoiceOnce(static_cast<uint32_t>(step.blendVoice));

    const AnimationSequence* sequence = m_cameraPath.m_CurrentAnimationSequence;
    const bool resting = m_cameraPath.m_time < sequence->m_Transforms[sequence->m_currentIndex].holdTime;
    if (!resting)
        return;
    m_dialogue->Show(step.holdTime, step.holdLine, kLineColour);
    if (step.holdVoice >= 0)
        PlayVoiceOnce(static_cast<uint32_t>(step.holdVoice));
}

bool CinematicIntroSystem::SkipRequested()
{
    Input& input = *m_input;
    return input.IsKeyReleased(GLFW_KEY_ESCAPE) || input.IsKeyReleased(GLFW_KEY_SPACE) || input.IsKeyReleased(GLFW_KEY_ENTER) ||
           input.IsMouseButtonReleased(0) || input.IsJoystickButtonReleased(0, 0) ||
           input.IsJoystickButtonReleased(0, 7);
}

void CinematicIntroSystem::Update(float dt)
{
    m_soundSystem->m_listenerPosition = m_graphics->GetCameraPosition();

    RunScript(CurrentBeat());

    m_cameraPath.Update(dt);
    ztmath::Vector3 scale;
    ztmath::Quaternion rotation;
    ztmath::Vector3 position;
    m_cameraPath.GetTransform(scale, rotation, position);
    m_graphics->SetCameraPosition(position);
    ztmath::Basis basis = ztmath::Basis().RotateLocal(rotation);
    basis.RemoveRoll();
    m_graphics->SetCameraBasis(basis);

    // A developer's way out of the game from the intro. It leaves through the normal shutdown
    // so that the settings, lists and scenes are still saved.
    if (m_input->IsKeyReleased(GLFW_KEY_Z))
        m_app->Quit();

    if (SkipRequested())
        m_app->ChangeState("GAMEPLAY_STATE");

    const AnimationSequence* sequence = m_cameraPath.m_CurrentAnimationSequence;
    if (sequence != nullptr &&
        CurrentBeat() == static_cast<int32_t>(sequence->m_Transforms.size()) - 1)
        m_app->ChangeState("GAMEPLAY_STATE");
}

void CinematicIntroSystem::SetToCurrentState()
{
    m_graphics->SetCameraPosition(ztmath::Vector3(kStartX, kStartY, kStartZ));
    m_graphics->m_directionalLightEnabled = true;
    m_cameraPath.Restart();
    m_cameraPath.m_paused = false;
}

void CinematicIntroSystem::NextState(int)
{
    m_cameraPath.m_paused = true;
    m_cameraPath.Restart();
    // Gameplay takes over a camera that looks straight ahead, not wherever the flight stopped.
    m_graphics->SetCameraBasis(ztmath::Basis());
    m_graphics->GetCameraBasis().SetForward(ztmath::Vector3(0.0f, 0.0f, 1.0f));
    m_app->GetSharedData<BossSystemQueue>("BossSystemQueue")->m_introSeen = true;
}

}  // namespace ztengine
