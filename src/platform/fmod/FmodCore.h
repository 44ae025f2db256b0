#pragma once
// The sound layer's private engine behind System, Sound, Channel and ChannelGroup: the channel
// slots with their clock-kept play positions, the handles, and the output the slots are heard
// through.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/fmod/AudioOutput.h"
#include "platform/fmod/Fmod.h"
#include "platform/fmod/SoundData.h"

namespace ztplatform::fmod {

struct ChannelSlot {
    Channel* handle = nullptr;  // the live handle; null while the slot is free
    Sound* sound = nullptr;
    ChannelGroup* group = nullptr;
    bool looping = false;
    bool is3D = false;
    int loopCount = -1;
    int loopsLeft = -1;
    int64_t loopStart = 0;  // frames, both inclusive
    int64_t loopEnd = 0;
    double position = 0.0;  // frames, by the clock
    double lastTime = 0.0;  // the clock reading position was last advanced to
    float volume = 1.0f;
    bool paused = false;
    bool mute = false;
    FMOD_VECTOR position3D{0.0f, 0.0f, 0.0f};
    FMOD_VECTOR velocity3D{0.0f, 0.0f, 0.0f};
    float minDistance = 1.0f;
    float maxDistance = 10000.0f;
    uint64_t order = 0;  // start order, for stealing the oldest
    // What is heard, when the output had a voice to give; the read side runs ahead of the
    // clock side by what the voice has queued.
    Voice* voice = nullptr;
    bool started = false;  // first feed happens in update, after the caller's set-up calls
    int64_t readPosition = 0;
    int readLoopsLeft = -1;
    bool readDone = false;
};

class SystemCore {
public:
    SystemCore();
    ~SystemCore();

    // System
    FMOD_RESULT SetOutput(FMOD_OUTPUTTYPE output);
    FMOD_RESULT GetOutput(FMOD_OUTPUTTYPE* output);
    FMOD_RESULT SetClock(FMOD_CLOCK clock);
    FMOD_RESULT Init(int maxChannels, FMOD_INITFLAGS flags, void* extraDriverData);
    FMOD_RESULT Update();
    FMOD_RESULT CreateSound(const char* path, FMOD_MODE mode, bool stream, Sound** sound);
    FMOD_RESULT CreateChannelGroup(ChannelGroup** group);
    FMOD_RESULT PlaySound(FMOD_CHANNELINDEX index, Sound* sound, bool paused, Channel** channel);
    FMOD_RESULT GetChannelsPlaying(int* channels);
    FMOD_RESULT Set3DSettings(float dopplerScale, float distanceFactor, float rolloffScale);
    FMOD_RESULT Get3DSettings(float* dopplerScale, float* distanceFactor, float* rolloffScale);
    FMOD_RESULT SetListener(int listener, const FMOD_VECTOR* position, const FMOD_VECTOR* velocity,
                            const FMOD_VECTOR* forward, const FMOD_VECTOR* up);
    FMOD_RESULT RenderLoopback(float* out, int frames);

    // Sound
    FMOD_RESULT ReleaseSound(Sound* sound);
    FMOD_RESULT GetLength(Sound* sound, unsigned int* length, FMOD_TIMEUNIT unit);
    FMOD_RESULT GetMode(Sound* sound, FMOD_MODE* mode);

    // Channel: each resolves the handle first; a stale one changes nothing.
    FMOD_RESULT Stop(Channel* channel);
    FMOD_RESULT IsPlaying(Channel* channel, bool* playing);
    FMOD_RESULT SetPaused(Channel* channel, bool paused);
    FMOD_RESULT GetPaused(Channel* channel, bool* paused);
    FMOD_RESULT SetVolume(Channel* channel, float volume);
    FMOD_RESULT GetVolume(Channel* channel, float* volume);
    FMOD_RESULT SetMute(Channel* channel, bool mute);
    FMOD_RESULT GetMute(Channel* channel, bool* mute);
    FMOD_RESULT SetMode(Channel* channel, FMOD_MODE mode);
    FMOD_RESULT GetMode(Channel* channel, FMOD_MODE* mode);
    FMOD_RESULT SetLoopCount(Channel* channel, int loopCount);
    FMOD_RESULT GetLoopCount(Channel* channel, int* loopCount);
    FMOD_RESULT SetLoopPoints(Channel* channel, unsigned int start, FMOD_TIMEUNIT startUnit,
                              unsigned int end, FMOD_TIMEUNIT endUnit);
    FMOD_RESULT GetLoopPoints(Channel* channel, unsigned int* start, FMOD_TIMEUNIT startUnit,
                              unsigned int* end, FMOD_TIMEUNIT endUnit);
    FMOD_RESULT Set3DAttributes(Channel* channel, const FMOD_VECTOR* position,
                                const FMOD_VECTOR* velocity);
    FMOD_RESULT Get3DAttributes(Channel* channel, FMOD_VECTOR* position, FMOD_VECTOR* velocity);
    FMOD_RESULT Set3DMinMaxDistance(Channel* channel, float minDistance, float maxDistance);
    FMOD_RESULT Get3DMinMaxDistance(Channel* channel, float* minDistance, float* maxDistance);
    FMOD_RESULT SetChannelGroup(Channel* channel, ChannelGroup* group);
    FMOD_RESULT GetChannelGroup(Channel* channel, ChannelGroup** group);
    FMOD_RESULT GetPosition(Channel* channel, unsigned int* position, FMOD_TIMEUNIT unit);
    FMOD_RESULT GetCurrentSound(Channel* channel, Sound** sound);

    // ChannelGroup
    FMOD_RESULT SetGroupPaused(ChannelGroup* group, bool paused);
    FMOD_RESULT SetGroupMute(ChannelGroup* group, bool mute);
    FMOD_RESULT SetGroupVolume(ChannelGroup* group, float volume);
    FMOD_RESULT GetGroupChannels(ChannelGroup* group, int* channels);

private:
    double Now() const;
    FMOD_RESULT Resolve(Channel* channel, ChannelSlot** slot);
    bool OwnsGroup(const ChannelGroup* group) const;
    bool EffectivelyPaused(const ChannelSlot& slot) const;
    // Moves the slot's clock position up to `now`, looping or ending it; false once it ended.
    bool Advance(int index, double now);
    void EndChannel(int index, bool stolen, bool cut);
    void ApplyGain(ChannelSlot& slot);
    void ApplyPause(ChannelSlot& slot);
    void ApplySpatial(ChannelSlot& slot);
    int64_t Fill(ChannelSlot& slot, int16_t* out, int64_t maxFrames);
    FMOD_VECTOR ToOutputFrame(const FMOD_VECTOR& v) const;
    int64_t ToFrames(const ChannelSlot& slot, unsigned int value, FMOD_TIMEUNIT unit) const;

    FMOD_OUTPUTTYPE m_requestedOutput = FMOD_OUTPUTTYPE_AUTODETECT;
    FMOD_CLOCK m_clock;
    bool m_initialised = false;
    bool m_rightHanded = false;
    std::unique_ptr<AudioOutput> m_output;
    std::vector<ChannelSlot> m_slots;
    // Every handle ever given out lives until the system is released, so a stale handle is
    // still a valid object that reads as ended. Each costs a few bytes per play.
    std::vector<std::unique_ptr<Channel>> m_handles;
    std::vector<Sound*> m_sounds;
    std::vector<std::unique_ptr<ChannelGroup>> m_groups;
    uint64_t m_playCount = 0;
    FMOD_VECTOR m_listenerPosition{0.0f, 0.0f, 0.0f};
    FMOD_VECTOR m_listenerVelocity{0.0f, 0.0f, 0.0f};
    FMOD_VECTOR m_listenerForward{0.0f, 0.0f, 1.0f};
    FMOD_VECTOR m_listenerUp{0.0f, 1.0f, 0.0f};
    float m_dopplerScale = 1.0f;
    float m_distanceFactor = 1.0f;
    float m_rolloffScale = 1.0f;
};

}  // namespace ztplatform::fmod
