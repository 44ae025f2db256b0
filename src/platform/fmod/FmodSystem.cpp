// The sound layer's engine: system set-up, sounds, channel slots kept by the clock, channel
// groups, 3D settings, and the System entry points that forward to it.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>

#include "platform/fmod/FmodCore.h"

namespace ztplatform::fmod {
namespace {

constexpr int kMaxChannels = 4096;

bool ValidModeBits(FMOD_MODE mode)
{
    const bool bothLoops = (mode & FMOD_LOOP_OFF) && (mode & FMOD_LOOP_NORMAL);
    const bool bothDims = (mode & FMOD_2D) && (mode & FMOD_3D);
    return !bothLoops && !bothDims;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Set-up

SystemCore::SystemCore()
{
    const auto origin = std::chrono::steady_clock::now();
    m_clock = [origin] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - origin).count();
    };
}

SystemCore::~SystemCore()
{
    for (int i = 0; i < static_cast<int>(m_slots.size()); ++i) {
        if (m_slots[i].handle != nullptr)
            EndChannel(i, false, true);
    }
    for (Sound* sound : m_sounds)
        delete sound;
    m_sounds.clear();
    m_output.reset();
}

double SystemCore::Now() const
{
    return m_clock();
}

FMOD_RESULT SystemCore::SetOutput(FMOD_OUTPUTTYPE output)
{
    if (m_initialised)
        return FMOD_ERR_INITIALIZED;
    if (output < FMOD_OUTPUTTYPE_AUTODETECT || output > FMOD_OUTPUTTYPE_LOOPBACK)
        return FMOD_ERR_INVALID_PARAM;
    m_requestedOutput = output;
    return FMOD_OK;
}

FMOD_RESULT SystemCore::GetOutput(FMOD_OUTPUTTYPE* output)
{
    if (output == nullptr)
        return FMOD_ERR_INVALID_PARAM;
    *output = m_output ? m_output->Type() : m_requestedOutput;
    return FMOD_OK;
}

FMOD_RESULT SystemCore::SetClock(FMOD_CLOCK clock)
{
    if (m_initialised)
        return FMOD_ERR_INITIALIZED;
    if (!clock)
        return FMOD_ERR_INVALID_PARAM;
    m_clock = std::move(clock);
    return FMOD_OK;
}

FMOD_RESULT SystemCore::Init(int maxChannels, FMOD_INITFLAGS flags, void* extraDriverData)
{
    if (m_initialised)
        return FMOD_ERR_INITIALIZED;
    if (maxChannels < 1 || maxChannels > kMaxChannels || extraDriverData != nullptr)
        return FMOD_ERR_INVALID_PARAM;

    switch (m_requestedOutput) {
    case FMOD_OUTPUTTYPE_AUTODETECT:
        m_output = MakeOpenALOutput(false);
        if (!m_output)
            m_output = MakeSilentOutput();
        break;
    case FMOD_OUTPUTTYPE_OPENAL:
    case FMOD_OUTPUTTYPE_LOOPBACK:
        m_output = MakeOpenALOutput(m_requestedOutput == FMOD_OUTPUTTYPE_LOOPBACK);
        if (!m_output)
            return FMOD_ERR_OUTPUT_INIT;
        break;
    case FMOD_OUTPUTTYPE_NOSOUND:
        m_output = MakeSilentOutput();
        break;
    }
    m_rightHanded = (flags & FMOD_INIT_3D_RIGHTHANDED) != 0;
    m_slots.assign(static_cast<size_t>(maxChannels), ChannelSlot{});
    m_initialised = true;
    m_output->Set3DSettings(m_dopplerScale, m_distanceFactor, m_rolloffScale);
    m_output->SetListener(ToOutputFrame(m_listenerPosition), ToOutputFrame(m_listenerVelocity),
                          ToOutputFrame(m_listenerForward), ToOutputFrame(m_listenerUp));
    return FMOD_OK;
}

FMOD_RESULT SystemCore::Update()
{
    if (!m_initialised)
        return FMOD_ERR_UNINITIALIZED;
    const double now = Now();
    for (int i = 0; i < static_cast<int>(m_slots.size()); ++i) {
        if (m_slots[i].handle != nullptr)
            Advance(i, now);
    }
    for (ChannelSlot& slot : m_slots) {
        if (slot.handle == nullptr || slot.voice == nullptr)
            continue;
        slot.started = true;
        slot.voice->Feed(
            [this, &slot](int16_t* out, int64_t maxFrames) { return Fill(slot, out, maxFrames); });
        ApplyPause(slot);
    }
    m_output->Update();
    return FMOD_OK;
}

// ---------------------------------------------------------------------------------------------
// Sounds

FMOD_RESULT SystemCore::CreateSound(const char* path, FMOD_MODE mode, bool stream, Sound** sound)
{
    if (sound == nullptr)
        return FMOD_ERR_INVALID_PARAM;
    *sound = nullptr;
    if (!m_initialised)
        return FMOD_ERR_UNINITIALIZED;
    if (path == nullptr || !ValidModeBits(mode))
        return FMOD_ERR_INVALID_PARAM;

    SoundData* data = nullptr;
    stream = stream || (mode & FMOD_CREATESTREAM) != 0;
    const FMOD_RESULT result = SoundData::Open(path, stream, &data);
    if (result != FMOD_OK)
        return result;

    Sound* created = new Sound();
    created->m_core = this;
    created->m_data.reset(data);
    created->m_mode = ((mode & FMOD_LOOP_NORMAL) ? FMOD_LOOP_NORMAL : FMOD_LOOP_OFF) |
                      ((mode & FMOD_3D) ? FMOD_3D : FMOD_2D) | (stream ? FMOD_CREATESTREAM : 0u);
    m_sounds.push_back(created);
    *sound = created;
    return FMOD_OK;
}

FMOD_RESULT SystemCore::ReleaseSound(Sound* sound)
{
    auto it = std::find(m_sounds.begin(), m_sounds.end(), sound);
    if (it == m_sounds.end())
        return FMOD_ERR_INVALID_HANDLE;
    for (int i = 0; i < static_cast<int>(m_slots.size()); ++i) {
        if (m_slots[i].handle != nullptr && m_slots[i].sound == sound)
            EndChannel(i, false, true);
    }
    m_sounds.erase(it);
    delete sound;
    return FMOD_OK;
}

FMOD_RESULT SystemCore::GetLength(Sound* sound, unsigned int* length, FMOD_TIMEUNIT unit)
{
    if (length == nullptr)
        return FMOD_ERR_INVALID_PARAM;
    const SoundData& data = *sound->m_data;
    if (unit == FMOD_TIMEUNIT_PCM)
        *length = static_cast<unsigned int>(data.frames);
    else if (unit == FMOD_TIMEUNIT_MS)
        *length = static_cast<unsigned int>(data.frames * 1000 / data.sampleRate);
    else
        return FMOD_ERR_INVALID_PARAM;
    return FMOD_OK;
}

FMOD_RESULT SystemCore::GetMode(Sound* sound, FMOD_MODE* mode)
{
    if (mode == nullptr)
        return FMOD_ERR_INVALID_PARAM;
    *mode = sound->m_mode;
    return FMOD_OK;
}

// ---------------------------------------------------------------------------------------------
// Playing and channel time

FMOD_RESULT SystemCore::PlaySound(FMOD_CHANNELINDEX index, Sound* sound, bool paused,
                                  Channel** channel)
{
    if (channel == nullptr)
        return FMOD_ERR_INVALID_PARAM;
    *channel = nullptr;
    if (!m_initialised)
        return FMOD_ERR_UNINITIALIZED;
    if (index != FMOD_CHANNEL_FREE || sound == nullptr)
        return FMOD_ERR_INVALID_PARAM;
    if (std::find(m_sounds.begin(), m_sounds.end(), sound) == m_sounds.end())
        return FMOD_ERR_INVALID_HANDLE;

    // A stream has one decoder, so it plays on one channel: a replay ends the previous one.
    if (sound->m_streamSlot >= 0)
        EndChannel(sound->m_streamSlot, false, true);

    int free = -1;
    for (int i = 0; i < static_cast<int>(m_slots.size()); ++i) {
        if (m_slots[i].handle == nullptr) {
            free = i;
            break;
        }
    }
    if (free < 0) {
        free = 0;
        for (int i = 1; i < static_cast<int>(m_slots.size()); ++i) {
            if (m_slots[i].order < m_slots[free].order)
                free = i;
        }
        EndChannel(free, true, true);
    }

    const SoundData& data = *sound->m_data;
    ChannelSlot& slot = m_slots[free];
    slot = ChannelSlot{};
    m_handles.push_back(std::unique_ptr<Channel>(new Channel(this, free)));
    slot.handle = m_handles.back().get();
    slot.sound = sound;
    slot.looping = (sound->m_mode & FMOD_LOOP_NORMAL) != 0;
    slot.is3D = (sound->m_mode & FMOD_3D) != 0;
    slot.loopEnd = std::max<int64_t>(0, data.frames - 1);
    slot.lastTime = Now();
    slot.paused = paused;
    slot.order = ++m_playCount;
    if (sound->m_mode & FMOD_CREATESTREAM)
        sound->m_streamSlot = free;

    slot.voice = m_output->AcquireVoice();
    if (slot.voice != nullptr) {
        slot.voice->Reset(data.channels, data.sampleRate);
        ApplySpatial(slot);
        ApplyGain(slot);
    }
    *channel = slot.handle;
    return FMOD_OK;
}

bool SystemCore::EffectivelyPaused(const ChannelSlot& slot) const
{
    return slot.paused || (slot.group != nullptr && slot.group->m_paused);
}

bool SystemCore::Advance(int index, double now)
{
    ChannelSlot& slot = m_slots[index];
    const double elapsed = now - slot.lastTime;
    slot.lastTime = now;
    if (EffectivelyPaused(slot) || elapsed <= 0.0)
        return true;

    const SoundData& data = *slot.sound->m_data;
    slot.position += elapsed * data.sampleRate;
    for (;;) {
        const bool looping = slot.looping && slot.loopsLeft != 0;
        const double end = static_cast<double>(looping ? slot.loopEnd + 1 : data.frames);
        if (slot.position < end)
            return true;
        if (!looping) {
            EndChannel(index, false, false);
            return false;
        }
        // However long the step, wrap in one go rather than pass by pass.
        const double region = static_cast<double>(slot.loopEnd + 1 - slot.loopStart);
        const double passes = std::floor((slot.position - end) / region) + 1.0;
        if (slot.loopsLeft < 0 || passes <= slot.loopsLeft) {
            slot.position -= passes * region;
            if (slot.loopsLeft > 0)
                slot.loopsLeft -= static_cast<int>(passes);
            return true;
        }
        // The last pass runs out here; the rest plays on to the end of the sound.
        slot.position -= slot.loopsLeft * region;
        slot.loopsLeft = 0;
    }
}

void SystemCore::EndChannel(int index, bool stolen, bool cut)
{
    ChannelSlot& slot = m_slots[index];
    slot.handle->m_state = stolen ? Channel::State::Stolen : Channel::State::Ended;
    slot.handle = nullptr;
    if (slot.voice != nullptr) {
        // A channel that ends by itself lets its voice play out what it queued.
        m_output->ReleaseVoice(slot.voice, cut || !slot.started);
        slot.voice = nullptr;
    }
    if (slot.sound != nullptr && slot.sound->m_streamSlot == index)
        slot.sound->m_streamSlot = -1;
    slot.sound = nullptr;
    slot.group = nullptr;
}

int64_t SystemCore::Fill(ChannelSlot& slot, int16_t* out, int64_t maxFrames)
{
    SoundData& data = *slot.sound->m_data;
    while (!slot.readDone) {
        const bool looping = slot.looping && slot.readLoopsLeft != 0;
        const int64_t end = looping ? slot.loopEnd + 1 : data.frames;
        if (slot.readPosition >= end) {
            if (!looping) {
                slot.readDone = true;
                break;
            }
            slot.readPosition = slot.loopStart;
            if (slot.readLoopsLeft > 0)
                --slot.readLoopsLeft;
            continue;
        }
        const int64_t got =
            data.Read(slot.readPosition, out, std::min(maxFrames, end - slot.readPosition));
        if (got <= 0) {
            slot.readDone = true;  // a read error ends what is heard; the clock side plays on
            break;
        }
        slot.readPosition += got;
        return got;
    }
    return 0;
}

FMOD_RESULT SystemCore::GetChannelsPlaying(int* channels)
{
    if (channels == nullptr)
        return FMOD_ERR_INVALID_PARAM;
    *channels = static_cast<int>(std::count_if(
        m_slots.begin(), m_slots.end(), [](const ChannelSlot& s) { return s.handle != nullptr; }));
    return FMOD_OK;
}

// ---------------------------------------------------------------------------------------------
// What the output hears

void SystemCore::ApplyGain(ChannelSlot& slot)
{
    if (slot.voice == nullptr)
        return;
    float gain = slot.mute ? 0.0f : slot.volume;
    if (slot.group != nullptr)
        gain = slot.group->m_mute ? 0.0f : gain * slot.group->m_volume;
    slot.voice->SetGain(gain);
}

void SystemCore::ApplyPause(ChannelSlot& slot)
{
    // Before its first feed the voice has nothing queued and stays silent anyway.
    if (slot.voice != nullptr && slot.started)
        slot.voice->SetPaused(EffectivelyPaused(slot));
}

void SystemCore::ApplySpatial(ChannelSlot& slot)
{
    if (slot.voice == nullptr)
        return;
    slot.voice->SetSpatial(slot.is3D, ToOutputFrame(slot.position3D),
                           ToOutputFrame(slot.velocity3D), slot.minDistance, slot.maxDistance);
}

FMOD_VECTOR SystemCore::ToOutputFrame(const FMOD_VECTOR& v) const
{
    // OpenAL's frame is right-handed; a left-handed caller's z points the other way.
    return m_rightHanded ? v : FMOD_VECTOR{v.x, v.y, -v.z};
}

// ---------------------------------------------------------------------------------------------
// 3D

FMOD_RESULT SystemCore::Set3DSettings(float dopplerScale, float distanceFactor, float rolloffScale)
{
    if (!(dopplerScale >= 0.0f) || !(distanceFactor > 0.0f) || !(rolloffScale >= 0.0f))
        return FMOD_ERR_INVALID_PARAM;
    m_dopplerScale = dopplerScale;
    m_distanceFactor = distanceFactor;
    m_rolloffScale = rolloffScale;
    if (m_output)
        m_output->Set3DSettings(dopplerScale, distanceFactor, rolloffScale);
    return FMOD_OK;
}

FMOD_RESULT SystemCore::Get3DSettings(float* dopplerScale, float* distanceFactor,
                                      float* rolloffScale)
{
    if (dopplerScale != nullptr)
        *dopplerScale = m_dopplerScale;
    if (distanceFactor != nullptr)
        *distanceFactor = m_distanceFactor;
    if (rolloffScale != nullptr)
        *rolloffScale = m_rolloffScale;
    return FMOD_OK;
}

FMOD_RESULT SystemCore::SetListener(int listener, const FMOD_VECTOR* position,
                                    const FMOD_VECTOR* velocity, const FMOD_VECTOR* forward,
                                    const FMOD_VECTOR* up)
{
    if (listener != 0)
        return FMOD_ERR_INVALID_PARAM;
    if (position != nullptr)
        m_listenerPosition = *position;
    if (velocity != nullptr)
        m_listenerVelocity = *velocity;
    if (forward != nullptr)
        m_listenerForward = *forward;
    if (up != nullptr)
        m_listenerUp = *up;
    if (m_output)
        m_output->SetListener(ToOutputFrame(m_listenerPosition), ToOutputFrame(m_listenerVelocity),
                              ToOutputFrame(m_listenerForward), ToOutputFrame(m_listenerUp));
    return FMOD_OK;
}

FMOD_RESULT SystemCore::RenderLoopback(float* out, int frames)
{
    if (!m_initialised)
        return FMOD_ERR_UNINITIALIZED;
    if (out == nullptr || frames < 0)
        return FMOD_ERR_INVALID_PARAM;
    return m_output->Render(out, frames);
}

// ---------------------------------------------------------------------------------------------
// Channel groups

FMOD_RESULT SystemCore::CreateChannelGroup(ChannelGroup** group)
{
    if (group == nullptr)
        return FMOD_ERR_INVALID_PARAM;
    *group = nullptr;
    if (!m_initialised)
        return FMOD_ERR_UNINITIALIZED;
    m_groups.push_back(std::unique_ptr<ChannelGroup>(new ChannelGroup(this)));
    *group = m_groups.back().get();
    return FMOD_OK;
}

bool SystemCore::OwnsGroup(const ChannelGroup* group) const
{
    return std::any_of(m_groups.begin(), m_groups.end(),
                       [group](const auto& g) { return g.get() == group; });
}

FMOD_RESULT SystemCore::SetGroupPaused(ChannelGroup* group, bool paused)
{
    // Time up to now counts under the old state.
    const double now = Now();
    for (int i = 0; i < static_cast<int>(m_slots.size()); ++i) {
        if (m_slots[i].handle != nullptr && m_slots[i].group == group)
            Advance(i, now);
    }
    group->m_paused = paused;
    for (ChannelSlot& slot : m_slots) {
        if (slot.handle != nullptr && slot.group == group)
            ApplyPause(slot);
    }
    return FMOD_OK;
}

FMOD_RESULT SystemCore::SetGroupMute(ChannelGroup* group, bool mute)
{
    group->m_mute = mute;
    for (ChannelSlot& slot : m_slots) {
        if (slot.handle != nullptr && slot.group == group)
            ApplyGain(slot);
    }
    return FMOD_OK;
}

FMOD_RESULT SystemCore::SetGroupVolume(ChannelGroup* group, float volume)
{
    if (std::isnan(volume))
        return FMOD_ERR_INVALID_PARAM;
    group->m_volume = std::clamp(volume, 0.0f, 1.0f);
    for (ChannelSlot& slot : m_slots) {
        if (slot.handle != nullptr && slot.group == group)
            ApplyGain(slot);
    }
    return FMOD_OK;
}

FMOD_RESULT SystemCore::GetGroupChannels(ChannelGroup* group, int* channels)
{
    if (channels == nullptr)
        return FMOD_ERR_INVALID_PARAM;
    *channels = static_cast<int>(std::count_if(
        m_slots.begin(), m_slots.end(),
        [group](const ChannelSlot& s) { return s.handle != nullptr && s.group == group; }));
    return FMOD_OK;
}

// ---------------------------------------------------------------------------------------------
// System entry points

System::System() : m_core(std::make_unique<SystemCore>()) {}
System::~System() = default;

FMOD_RESULT FMOD_System_Create(System** system)
{
    if (system == nullptr)
        return FMOD_ERR_INVALID_PARAM;
    *system = new System();
    return FMOD_OK;
}

FMOD_RESULT System::setOutput(FMOD_OUTPUTTYPE output)
{
    return m_core->SetOutput(output);
}
FMOD_RESULT System::getOutput(FMOD_OUTPUTTYPE* output)
{
    return m_core->GetOutput(output);
}
FMOD_RESULT System::setClock(FMOD_CLOCK clock)
{
    return m_core->SetClock(std::move(clock));
}

FMOD_RESULT System::init(int maxChannels, FMOD_INITFLAGS flags, void* extraDriverData)
{
    return m_core->Init(maxChannels, flags, extraDriverData);
}

FMOD_RESULT System::release()
{
    delete this;
    return FMOD_OK;
}

FMOD_RESULT System::update()
{
    return m_core->Update();
}

FMOD_RESULT System::getVersion(unsigned int* version)
{
    if (version == nullptr)
        return FMOD_ERR_INVALID_PARAM;
    *version = FMOD_VERSION;
    return FMOD_OK;
}

FMOD_RESULT System::createSound(const char* path, FMOD_MODE mode, Sound** sound)
{
    return m_core->CreateSound(path, mode, false, sound);
}

FMOD_RESULT System::createStream(const char* path, FMOD_MODE mode, Sound** sound)
{
    return m_core->CreateSound(path, mode, true, sound);
}

FMOD_RESULT System::createChannelGroup(const char* /*name*/, ChannelGroup** group)
{
    return m_core->CreateChannelGroup(group);
}

FMOD_RESULT System::playSound(FMOD_CHANNELINDEX index, Sound* sound, bool paused, Channel** channel)
{
    return m_core->PlaySound(index, sound, paused, channel);
}

FMOD_RESULT System::getChannelsPlaying(int* channels)
{
    return m_core->GetChannelsPlaying(channels);
}

FMOD_RESULT System::set3DSettings(float dopplerScale, float distanceFactor, float rolloffScale)
{
    return m_core->Set3DSettings(dopplerScale, distanceFactor, rolloffScale);
}

FMOD_RESULT System::get3DSettings(float* dopplerScale, float* distanceFactor, float* rolloffScale)
{
    return m_core->Get3DSettings(dopplerScale, distanceFactor, rolloffScale);
}

FMOD_RESULT System::set3DListenerAttributes(int listener, const FMOD_VECTOR* position,
                                            const FMOD_VECTOR* velocity, const FMOD_VECTOR* forward,
                                            const FMOD_VECTOR* up)
{
    return m_core->SetListener(listener, position, velocity, forward, up);
}

FMOD_RESULT System::renderLoopback(float* out, int frames)
{
    return m_core->RenderLoopback(out, frames);
}

}  // namespace ztplatform::fmod
