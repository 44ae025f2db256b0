#pragma once
// The game's sound library: a small FMOD Ex-style layer of our own (system, sounds and
// streams, channels, channel groups) that decodes with libsndfile and mixes through OpenAL
// Soft, or runs silent but keeps time when there is no audio device.
//
// Lifetime: FMOD_System_Create makes a System, System::release destroys it and with it every
// sound, channel group and channel handle it made. Channel handles stay valid pointers until
// then: once their channel has ended (stopped, played out, stolen, its sound released) every
// call on them returns FMOD_ERR_INVALID_HANDLE (FMOD_ERR_CHANNEL_STOLEN when a newer sound took
// the channel) and changes nothing.
//
// Time: channels advance by the layer's clock (System::setClock) in System::update and when
// their pause state changes; queries report the state as of the last such step.
//
// Everything is called from one thread.
#include <memory>

#include "platform/fmod/FmodTypes.h"

namespace ztplatform::fmod {

class SystemCore;
struct SoundData;

class Sound;
class Channel;
class ChannelGroup;

class System {
public:
    // Chooses the output; only before init.
    FMOD_RESULT setOutput(FMOD_OUTPUTTYPE output);
    // After init this is the output actually in use (NOSOUND when AUTODETECT found no device).
    FMOD_RESULT getOutput(FMOD_OUTPUTTYPE* output);
    // Replaces the clock channel time is kept by; only before init.
    FMOD_RESULT setClock(FMOD_CLOCK clock);

    // maxChannels: 1 to 4096 channels that can play at once. extraDriverData must be null.
    FMOD_RESULT init(int maxChannels, FMOD_INITFLAGS flags, void* extraDriverData);
    // Stops everything, frees every object this system made and the system itself.
    FMOD_RESULT release();
    // Once per frame: advances channel time, ends channels that played out, refills streams.
    FMOD_RESULT update();
    FMOD_RESULT getVersion(unsigned int* version);

    // Decodes the whole file now (WAV, Ogg Vorbis and whatever else libsndfile reads; mono or
    // stereo). Mode: FMOD_2D or FMOD_3D, FMOD_LOOP_OFF or FMOD_LOOP_NORMAL. On failure *sound
    // is null.
    FMOD_RESULT createSound(const char* path, FMOD_MODE mode, Sound** sound);
    // Keeps the file open and decodes it in chunks while it plays. A stream plays on one
    // channel at a time: playing it again ends its previous channel and starts from the top.
    FMOD_RESULT createStream(const char* path, FMOD_MODE mode, Sound** sound);

    // Channel groups pause and mute every channel in them. A channel starts in no group.
    FMOD_RESULT createChannelGroup(const char* name, ChannelGroup** group);

    // Starts the sound on a free channel (stealing the oldest when none is free) with the
    // sound's mode, full volume, no 3D position and no group. On failure *channel is null.
    FMOD_RESULT playSound(FMOD_CHANNELINDEX index, Sound* sound, bool paused, Channel** channel);
    FMOD_RESULT getChannelsPlaying(int* channels);

    // Doppler scale, units per metre (for the speed of sound) and how fast sound falls off
    // beyond a channel's minimum distance (1 = inverse distance).
    FMOD_RESULT set3DSettings(float dopplerScale, float distanceFactor, float rolloffScale);
    FMOD_RESULT get3DSettings(float* dopplerScale, float* distanceFactor, float* rolloffScale);
    // Only listener 0 exists. Any pointer may be null to keep that value.
    FMOD_RESULT set3DListenerAttributes(int listener, const FMOD_VECTOR* position,
                                        const FMOD_VECTOR* velocity, const FMOD_VECTOR* forward,
                                        const FMOD_VECTOR* up);

    // Loopback output only: mixes the next `frames` frames of interleaved stereo float at
    // FMOD_LOOPBACK_RATE into `out` (2 x frames floats). Mixing is not update: call update
    // between renders so streams are refilled.
    FMOD_RESULT renderLoopback(float* out, int frames);

private:
    friend FMOD_RESULT FMOD_System_Create(System** system);
    System();
    ~System();
    System(const System&) = delete;
    System& operator=(const System&) = delete;

    std::unique_ptr<SystemCore> m_core;
};

// Makes a system (not yet initialised). *system is null on failure.
FMOD_RESULT FMOD_System_Create(System** system);

class Sound {
public:
    // Stops every channel playing this sound and frees it.
    FMOD_RESULT release();
    FMOD_RESULT getLength(unsigned int* length, FMOD_TIMEUNIT unit);
    FMOD_RESULT getMode(FMOD_MODE* mode);

private:
    friend class SystemCore;
    Sound() = default;
    ~Sound();
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    SystemCore* m_core = nullptr;
    std::unique_ptr<SoundData> m_data;
    FMOD_MODE m_mode = FMOD_DEFAULT;
    // The slot of the one channel a stream plays on, -1 when it is not playing.
    int m_streamSlot = -1;
};

class Channel {
public:
    // Ends the channel at once; the handle is stale afterwards.
    FMOD_RESULT stop();
    FMOD_RESULT isPlaying(bool* playing);
    FMOD_RESULT setPaused(bool paused);
    FMOD_RESULT getPaused(bool* paused);
    // Clamped to 0..1.
    FMOD_RESULT setVolume(float volume);
    // The channel's own volume, not counting mute or its group.
    FMOD_RESULT getVolume(float* volume);
    FMOD_RESULT setMute(bool mute);
    FMOD_RESULT getMute(bool* mute);
    FMOD_RESULT setMode(FMOD_MODE mode);
    FMOD_RESULT getMode(FMOD_MODE* mode);
    // -1 loops for ever, 0 plays once, n repeats the loop n more times. Needs FMOD_LOOP_NORMAL.
    FMOD_RESULT setLoopCount(int loopCount);
    FMOD_RESULT getLoopCount(int* loopCount);
    // Both points inclusive, start before end, end within the sound.
    FMOD_RESULT setLoopPoints(unsigned int loopStart, FMOD_TIMEUNIT startUnit, unsigned int loopEnd,
                              FMOD_TIMEUNIT endUnit);
    FMOD_RESULT getLoopPoints(unsigned int* loopStart, FMOD_TIMEUNIT startUnit,
                              unsigned int* loopEnd, FMOD_TIMEUNIT endUnit);
    // Either pointer may be null to keep that value. Used while the channel is in 3D mode.
    FMOD_RESULT set3DAttributes(const FMOD_VECTOR* position, const FMOD_VECTOR* velocity);
    FMOD_RESULT get3DAttributes(FMOD_VECTOR* position, FMOD_VECTOR* velocity);
    // Full volume up to the minimum distance, no further fall-off past the maximum.
    FMOD_RESULT set3DMinMaxDistance(float minDistance, float maxDistance);
    FMOD_RESULT get3DMinMaxDistance(float* minDistance, float* maxDistance);
    // Null takes the channel out of any group.
    FMOD_RESULT setChannelGroup(ChannelGroup* group);
    FMOD_RESULT getChannelGroup(ChannelGroup** group);
    // The play position within the sound.
    FMOD_RESULT getPosition(unsigned int* position, FMOD_TIMEUNIT unit);
    FMOD_RESULT getCurrentSound(Sound** sound);

private:
    friend class SystemCore;
    enum class State : unsigned char { Live, Ended, Stolen };
    Channel(SystemCore* core, int slot) : m_core(core), m_slot(slot) {}

    SystemCore* m_core;
    int m_slot;
    State m_state = State::Live;
};

class ChannelGroup {
public:
    // A paused group stops its channels' time as well as their sound.
    FMOD_RESULT setPaused(bool paused);
    FMOD_RESULT getPaused(bool* paused);
    // Muting silences without stopping time; it is independent of pausing.
    FMOD_RESULT setMute(bool mute);
    FMOD_RESULT getMute(bool* mute);
    // Scales every channel's volume; clamped to 0..1.
    FMOD_RESULT setVolume(float volume);
    FMOD_RESULT getVolume(float* volume);
    FMOD_RESULT getNumChannels(int* channels);

private:
    friend class SystemCore;
    explicit ChannelGroup(SystemCore* core) : m_core(core) {}

    SystemCore* m_core;
    bool m_paused = false;
    bool m_mute = false;
    float m_volume = 1.0f;
};

}  // namespace ztplatform::fmod

// The spelling the game's code uses: FMOD::System, FMOD::ChannelGroup and the FMOD_ names.
namespace FMOD = ztplatform::fmod;
using enum ztplatform::fmod::FMOD_RESULT;
using enum ztplatform::fmod::FMOD_OUTPUTTYPE;
using ztplatform::fmod::FMOD_2D;
using ztplatform::fmod::FMOD_3D;
using ztplatform::fmod::FMOD_CHANNEL_FREE;
using ztplatform::fmod::FMOD_CHANNELINDEX;
using ztplatform::fmod::FMOD_CLOCK;
using ztplatform::fmod::FMOD_CREATESTREAM;
using ztplatform::fmod::FMOD_DEFAULT;
using ztplatform::fmod::FMOD_ErrorString;
using ztplatform::fmod::FMOD_INIT_3D_RIGHTHANDED;
using ztplatform::fmod::FMOD_INIT_NORMAL;
using ztplatform::fmod::FMOD_INITFLAGS;
using ztplatform::fmod::FMOD_LOOP_NORMAL;
using ztplatform::fmod::FMOD_LOOP_OFF;
using ztplatform::fmod::FMOD_LOOPBACK_RATE;
using ztplatform::fmod::FMOD_MODE;
using ztplatform::fmod::FMOD_OUTPUTTYPE;
using ztplatform::fmod::FMOD_RESULT;
using ztplatform::fmod::FMOD_System_Create;
using ztplatform::fmod::FMOD_TIMEUNIT;
using ztplatform::fmod::FMOD_TIMEUNIT_MS;
using ztplatform::fmod::FMOD_TIMEUNIT_PCM;
using ztplatform::fmod::FMOD_VECTOR;
using ztplatform::fmod::FMOD_VERSION;
