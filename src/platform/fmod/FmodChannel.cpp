// Channel calls of the sound layer: every call resolves its handle first, so a channel that has
// ended reads as ended (or stolen) and nothing it is asked changes another sound.
#include <algorithm>
#include <cmath>

#include "platform/fmod/FmodCore.h"

namespace ztplatform::fmod {

FMOD_RESULT SystemCore::Resolve(Channel* channel, ChannelSlot** slot)
{
    switch (channel->m_state) {
    case Channel::State::Live:
        *slot = &m_slots[channel->m_slot];
        return FMOD_OK;
    case Channel::State::Stolen:
        return FMOD_ERR_CHANNEL_STOLEN;
    case Channel::State::Ended:
        break;
    }
    return FMOD_ERR_INVALID_HANDLE;
}

int64_t SystemCore::ToFrames(const ChannelSlot& slot, unsigned int value, FMOD_TIMEUNIT unit) const
{
    if (unit == FMOD_TIMEUNIT_PCM)
        return value;
    if (unit == FMOD_TIMEUNIT_MS)
        return (static_cast<int64_t>(value) * slot.sound->m_data->sampleRate + 500) / 1000;
    return -1;
}

FMOD_RESULT SystemCore::Stop(Channel* channel)
{
    ChannelSlot* slot = nullptr;
    if (const FMOD_RESULT r = Resolve(channel, &slot); r != FMOD_OK)
        return r;
    EndChannel(channel->m_slot, false, true);
    return FMOD_OK;
}

FMOD_RESULT SystemCore::IsPlaying(Channel* channel, bool* playing)
{
    if (playing == nullptr)
        return FMOD_ERR_INVALID_PARAM;
    ChannelSlot* slot = nullptr;
    const FMOD_RESULT r = Resolve(channel, &slot);
    *playing = r == FMOD_OK;
    return r;
}

FMOD_RESULT SystemCore::SetPaused(Channel* channel, bool paused)
{
    ChannelSlot* slot = nullptr;
    if (const FMOD_RESULT r = Resolve(channel, &slot); r != FMOD_OK)
        return r;
    // Time up to now counts under the old state; the channel may play out right here.
    if (!Advance(channel->m_slot, Now()))
        return FMOD_ERR_INVALID_HANDLE;
    slot->paused = paused;
    ApplyPause(*slot);
    return FMOD_OK;
}

FMOD_RESULT SystemCore::GetPaused(Channel* channel, bool* paused)
{
    if (paused == nullptr)
        return FMOD_ERR_INVALID_PARAM;
    ChannelSlot* slot = nullptr;
    if (const FMOD_RESULT r = Resolve(channel, &slot); r != FMOD_OK)
        return r;
    *paused = slot->paused;
    return FMOD_OK;
}

FMOD_RESULT SystemCore::SetVolume(Channel* channel, float volume)
{
    ChannelSlot* slot = nullptr;
    if (const FMOD_RESULT r = Resolve(channel, &slot); r != FMOD_OK)
        return r;
    if (std::isnan(volume))
        return FMOD_ERR_INVALID_PARAM;
    slot->volume = std::clamp(volume, 0.0f, 1.0f);
    ApplyGain(*slot);
    return FMOD_OK;
}

FMOD_RESULT SystemCore::GetVolume(Channel* channel, float* volume)
{
    if (volume == nullptr)
        return FMOD_ERR_INVALID_PARAM;
    ChannelSlot* slot = nullptr;
    if (const FMOD_RESULT r = Resolve(channel, &slot); r != FMOD_OK)
        return r;
    *volume = slot->volume;
    return FMOD_OK;
}

FMOD_RESULT SystemCore::SetMute(Channel* channel, bool mute)
{
    ChannelSlot* slot = nullptr;
    if (const FMOD_RESULT r = Resolve(channel, &slot); r != FMOD_OK)
        return r;
    slot->mute = mute;
    ApplyGain(*slot);
    return FMOD_OK;
}

FMOD_RESULT SystemCore::GetMute(Channel* channel, bool* mute)
{
    if (mute == nullptr)
        return FMOD_ERR_INVALID_PARAM;
    ChannelSlot* slot = nullptr;
    if (const FMOD_RESULT r = Resolve(channel, &slot); r != FMOD_OK)
        return r;
    *mute = slot->mute;
    return FMOD_OK;
}

FMOD_RESULT SystemCore::SetMode(Channel* channel, FMOD_MODE mode)
{
    ChannelSlot* slot = nullptr;
    if (const FMOD_RESULT r = Resolve(channel, &slot); r != FMOD_OK)
        return r;
    if (((mode & FMOD_LOOP_OFF) && (mode & FMOD_LOOP_NORMAL)) ||
        ((mode & FMOD_2D) && (mode & FMOD_3D)))
        return FMOD_ERR_INVALID_PARAM;
    if (mode & FMOD_LOOP_NORMAL) {
        slot->looping = true;
        slot->readDone = false;  // a sound already queued to its end may now wrap
    } else if (mode & FMOD_LOOP_OFF) {
        slot->looping = false;
    }
    if (mode & (FMOD_2D | FMOD_3D)) {
        slot->is3D = (mode & FMOD_3D) != 0;
        ApplySpatial(*slot);
    }
    return FMOD_OK;
}

FMOD_RESULT SystemCore::GetMode(Channel* channel, FMOD_MODE* mode)
{
    if (mode == nullptr)
        return FMOD_ERR_INVALID_PARAM;
    ChannelSlot* slot = nullptr;
    if (const FMOD_RESULT r = Resolve(channel, &slot); r != FMOD_OK)
        return r;
    *mode = (slot->looping ? FMOD_LOOP_NORMAL : FMOD_LOOP_OFF) | (slot->is3D ? FMOD_3D : FMOD_2D) |
            (slot->sound->m_mode & FMOD_CREATESTREAM);
    return FMOD_OK;
}

FMOD_RESULT SystemCore::SetLoopCount(Channel* channel, int loopCount)
{
    ChannelSlot* slot = nullptr;
    if (const FMOD_RESULT r = Resolve(channel, &slot); r != FMOD_OK)
        return r;
    if (loopCount < -1)
        return FMOD_ERR_INVALID_PARAM;
    slot->loopCount = slot->loopsLeft = slot->readLoopsLeft = loopCount;
    slot->readDone = false;
    return FMOD_OK;
}

FMOD_RESULT SystemCore::GetLoopCount(Channel* channel, int* loopCount)
{
    if (loopCount == nullptr)
        return FMOD_ERR_INVALID_PARAM;
    ChannelSlot* slot = nullptr;
    if (const FMOD_RESULT r = Resolve(channel, &slot); r != FMOD_OK)
        return r;
    *loopCount = slot->loopCount;
    return FMOD_OK;
}

FMOD_RESULT SystemCore::SetLoopPoints(Channel* channel, unsigned int start, FMOD_TIMEUNIT startUnit,
                                      unsigned int end, FMOD_TIMEUNIT endUnit)
{
    ChannelSlot* slot = nullptr;
    if (const FMOD_RESULT r = Resolve(channel, &slot); r != FMOD_OK)
        return r;
    const int64_t startFrame = ToFrames(*slot, start, startUnit);
    const int64_t endFrame = ToFrames(*slot, end, endUnit);
    if (startFrame < 0 || endFrame < 0 || startFrame >= endFrame ||
        endFrame >= slot->sound->m_data->frames)
        return FMOD_ERR_INVALID_PARAM;
    slot->loopStart = startFrame;
    slot->loopEnd = endFrame;
    slot->readDone = false;
    return FMOD_OK;
}

FMOD_RESULT SystemCore::GetLoopPoints(Channel* channel, unsigned int* start,
                                      FMOD_TIMEUNIT startUnit, unsigned int* end,
                                      FMOD_TIMEUNIT endUnit)
{
    ChannelSlot* slot = nullptr;
    if (const FMOD_RESULT r = Resolve(channel, &slot); r != FMOD_OK)
        return r;
    const int rate = slot->sound->m_data->sampleRate;
    auto convert = [rate](int64_t frames, FMOD_TIMEUNIT unit, unsigned int* out) {
        if (unit == FMOD_TIMEUNIT_PCM)
            *out = static_cast<unsigned int>(frames);
        else if (unit == FMOD_TIMEUNIT_MS)
            *out = static_cast<unsigned int>((frames * 1000 + rate / 2) / rate);
        else
            return false;
        return true;
    };
    if ((start != nullptr && !convert(slot->loopStart, startUnit, start)) ||
        (end != nullptr && !convert(slot->loopEnd, endUnit, end)))
        return FMOD_ERR_INVALID_PARAM;
    return FMOD_OK;
}

FMOD_RESULT SystemCore::Set3DAttributes(Channel* channel, const FMOD_VECTOR* position,
                                        const FMOD_VECTOR* velocity)
{
    ChannelSlot* slot = nullptr;
    if (const FMOD_RESULT r = Resolve(channel, &slot); r != FMOD_OK)
        return r;
    if (position != nullptr)
        slot->position3D = *position;
    if (velocity != nullptr)
        slot->velocity3D = *velocity;
    ApplySpatial(*slot);
    return FMOD_OK;
}

FMOD_RESULT SystemCore::Get3DAttributes(Channel* channel, FMOD_VECTOR* position,
                                        FMOD_VECTOR* velocity)
{
    ChannelSlot* slot = nullptr;
    if (const FMOD_RESULT r = Resolve(channel, &slot); r != FMOD_OK)
        return r;
    if (position != nullptr)
        *position = slot->position3D;
    if (velocity != nullptr)
        *velocity = slot->velocity3D;
    return FMOD_OK;
}

FMOD_RESULT SystemCore::Set3DMinMaxDistance(Channel* channel, float minDistance, float maxDistance)
{
    ChannelSlot* slot = nullptr;
    if (const FMOD_RESULT r = Resolve(channel, &slot); r != FMOD_OK)
        return r;
    if (!(minDistance > 0.0f) || !(maxDistance >= minDistance))
        return FMOD_ERR_INVALID_PARAM;
    slot->minDistance = minDistance;
    slot->maxDistance = maxDistance;
    ApplySpatial(*slot);
    return FMOD_OK;
}

FMOD_RESULT SystemCore::Get3DMinMaxDistance(Channel* channel, float* minDistance,
                                            float* maxDistance)
{
    ChannelSlot* slot = nullptr;
    if (const FMOD_RESULT r = Resolve(channel, &slot); r != FMOD_OK)
        return r;
    if (minDistance != nullptr)
        *minDistance = slot->minDistance;
    if (maxDistance != nullptr)
        *maxDistance = slot->maxDistance;
    return FMOD_OK;
}

FMOD_RESULT SystemCore::SetChannelGroup(Channel* channel, ChannelGroup* group)
{
    ChannelSlot* slot = nullptr;
    if (const FMOD_RESULT r = Resolve(channel, &slot); r != FMOD_OK)
        return r;
    if (group != nullptr && !OwnsGroup(group))
        return FMOD_ERR_INVALID_PARAM;
    // Moving into or out of a paused group changes whether time runs: count up to now first.
    if (!Advance(channel->m_slot, Now()))
        return FMOD_ERR_INVALID_HANDLE;
    slot->group = group;
    ApplyGain(*slot);
    ApplyPause(*slot);
    return FMOD_OK;
}

FMOD_RESULT SystemCore::GetChannelGroup(Channel* channel, ChannelGroup** group)
{
    if (group == nullptr)
        return FMOD_ERR_INVALID_PARAM;
    ChannelSlot* slot = nullptr;
    if (const FMOD_RESULT r = Resolve(channel, &slot); r != FMOD_OK)
        return r;
    *group = slot->group;
    return FMOD_OK;
}

FMOD_RESULT SystemCore::GetPosition(Channel* channel, unsigned int* position, FMOD_TIMEUNIT unit)
{
    if (position == nullptr)
        return FMOD_ERR_INVALID_PARAM;
    ChannelSlot* slot = nullptr;
    if (const FMOD_RESULT r = Resolve(channel, &slot); r != FMOD_OK)
        return r;
    if (unit == FMOD_TIMEUNIT_PCM)
        *position = static_cast<unsigned int>(slot->position);
    else if (unit == FMOD_TIMEUNIT_MS)
        *position =
            static_cast<unsigned int>(slot->position * 1000.0 / slot->sound->m_data->sampleRate);
    else
        return FMOD_ERR_INVALID_PARAM;
    return FMOD_OK;
}

FMOD_RESULT SystemCore::GetCurrentSound(Channel* channel, Sound** sound)
{
    if (sound == nullptr)
        return FMOD_ERR_INVALID_PARAM;
    *sound = nullptr;
    ChannelSlot* slot = nullptr;
    if (const FMOD_RESULT r = Resolve(channel, &slot); r != FMOD_OK)
        return r;
    *sound = slot->sound;
    return FMOD_OK;
}

// ---------------------------------------------------------------------------------------------
// The object entry points

Sound::~Sound() = default;

FMOD_RESULT Sound::release()
{
    return m_core->ReleaseSound(this);
}
FMOD_RESULT Sound::getLength(unsigned int* length, FMOD_TIMEUNIT unit)
{
    return m_core->GetLength(this, length, unit);
}
FMOD_RESULT Sound::getMode(FMOD_MODE* mode)
{
    return m_core->GetMode(this, mode);
}

FMOD_RESULT Channel::stop()
{
    return m_core->Stop(this);
}
FMOD_RESULT Channel::isPlaying(bool* playing)
{
    return m_core->IsPlaying(this, playing);
}
FMOD_RESULT Channel::setPaused(bool paused)
{
    return m_core->SetPaused(this, paused);
}
FMOD_RESULT Channel::getPaused(bool* paused)
{
    return m_core->GetPaused(this, paused);
}
FMOD_RESULT Channel::setVolume(float volume)
{
    return m_core->SetVolume(this, volume);
}
FMOD_RESULT Channel::getVolume(float* volume)
{
    return m_core->GetVolume(this, volume);
}
FMOD_RESULT Channel::setMute(bool mute)
{
    return m_core->SetMute(this, mute);
}
FMOD_RESULT Channel::getMute(bool* mute)
{
    return m_core->GetMute(this, mute);
}
FMOD_RESULT Channel::setMode(FMOD_MODE mode)
{
    return m_core->SetMode(this, mode);
}
FMOD_RESULT Channel::getMode(FMOD_MODE* mode)
{
    return m_core->GetMode(this, mode);
}
FMOD_RESULT Channel::setLoopCount(int loopCount)
{
    return m_core->SetLoopCount(this, loopCount);
}
FMOD_RESULT Channel::getLoopCount(int* loopCount)
{
    return m_core->GetLoopCount(this, loopCount);
}

FMOD_RESULT Channel::setLoopPoints(unsigned int loopStart, FMOD_TIMEUNIT startUnit,
                                   unsigned int loopEnd, FMOD_TIMEUNIT endUnit)
{
    return m_core->SetLoopPoints(this, loopStart, startUnit, loopEnd, endUnit);
}

FMOD_RESULT Channel::getLoopPoints(unsigned int* loopStart, FMOD_TIMEUNIT startUnit,
                                   unsigned int* loopEnd, FMOD_TIMEUNIT endUnit)
{
    return m_core->GetLoopPoints(this, loopStart, startUnit, loopEnd, endUnit);
}

FMOD_RESULT Channel::set3DAttributes(const FMOD_VECTOR* position, const FMOD_VECTOR* velocity)
{
    return m_core->Set3DAttributes(this, position, velocity);
}

FMOD_RESULT Channel::get3DAttributes(FMOD_VECTOR* position, FMOD_VECTOR* velocity)
{
    return m_core->Get3DAttributes(this, position, velocity);
}

FMOD_RESULT Channel::set3DMinMaxDistance(float minDistance, float maxDistance)
{
    return m_core->Set3DMinMaxDistance(this, minDistance, maxDistance);
}

FMOD_RESULT Channel::get3DMinMaxDistance(float* minDistance, float* maxDistance)
{
    return m_core->Get3DMinMaxDistance(this, minDistance, maxDistance);
}

FMOD_RESULT Channel::setChannelGroup(ChannelGroup* group)
{
    return m_core->SetChannelGroup(this, group);
}
FMOD_RESULT Channel::getChannelGroup(ChannelGroup** group)
{
    return m_core->GetChannelGroup(this, group);
}

FMOD_RESULT Channel::getPosition(unsigned int* position, FMOD_TIMEUNIT unit)
{
    return m_core->GetPosition(this, position, unit);
}

FMOD_RESULT Channel::getCurrentSound(Sound** sound)
{
    return m_core->GetCurrentSound(this, sound);
}

FMOD_RESULT ChannelGroup::setPaused(bool paused)
{
    return m_core->SetGroupPaused(this, paused);
}

FMOD_RESULT ChannelGroup::getPaused(bool* paused)
{
    if (paused == nullptr)
        return FMOD_ERR_INVALID_PARAM;
    *paused = m_paused;
    return FMOD_OK;
}

FMOD_RESULT ChannelGroup::setMute(bool mute)
{
    return m_core->SetGroupMute(this, mute);
}

FMOD_RESULT ChannelGroup::getMute(bool* mute)
{
    if (mute == nullptr)
        return FMOD_ERR_INVALID_PARAM;
    *mute = m_mute;
    return FMOD_OK;
}

FMOD_RESULT ChannelGroup::setVolume(float volume)
{
    return m_core->SetGroupVolume(this, volume);
}

FMOD_RESULT ChannelGroup::getVolume(float* volume)
{
    if (volume == nullptr)
        return FMOD_ERR_INVALID_PARAM;
    *volume = m_volume;
    return FMOD_OK;
}

FMOD_RESULT ChannelGroup::getNumChannels(int* channels)
{
    return m_core->GetGroupChannels(this, channels);
}

}  // namespace ztplatform::fmod
