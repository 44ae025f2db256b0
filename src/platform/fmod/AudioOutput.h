#pragma once
// Where the sound layer's channels are heard: an output hands out voices (mixing slots) that
// channels feed with PCM and steer with gain, pause and 3D placement. The layer keeps channel
// time itself, so an output that hands out no voices at all is a complete silent back end.
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/fmod/FmodTypes.h"

namespace ztplatform::fmod {

// Fills `out` with up to `maxFrames` frames of 16-bit PCM; returns the frames written, 0 when
// the channel has nothing more to give for now.
using PcmFill = std::function<int64_t(int16_t* out, int64_t maxFrames)>;

class Voice {
public:
    virtual ~Voice() = default;
    // Starts over for a new channel: drops whatever is queued; paused until SetPaused(false).
    virtual void Reset(int channels, int sampleRate) = 0;
    // Tops the voice's queue up from `fill` and, unless paused, keeps it playing (also after
    // it ran dry because nobody fed it in time).
    virtual void Feed(const PcmFill& fill) = 0;
    virtual void SetGain(float gain) = 0;
    virtual void SetPaused(bool paused) = 0;
    // 2D: no placement and no fall-off. 3D (mono data only; stereo always plays 2D): placed in
    // the listener's space with full volume up to minDistance and none lost past maxDistance.
    virtual void SetSpatial(bool is3D, const FMOD_VECTOR& position, const FMOD_VECTOR& velocity,
                            float minDistance, float maxDistance) = 0;
};

class AudioOutput {
public:
    virtual ~AudioOutput() = default;
    // What System::getOutput reports.
    virtual FMOD_OUTPUTTYPE Type() const = 0;
    // A voice for a new channel, or null when none is free: the channel then plays unheard.
    virtual Voice* AcquireVoice() = 0;
    // Gives a voice back. cut: silence now; otherwise what is queued plays out first.
    virtual void ReleaseVoice(Voice* voice, bool cut) = 0;
    // Reclaims voices that finished playing out.
    virtual void Update() = 0;
    // Right-handed, as OpenAL is.
    virtual void SetListener(const FMOD_VECTOR& position, const FMOD_VECTOR& velocity,
                             const FMOD_VECTOR& forward, const FMOD_VECTOR& up) = 0;
    virtual void Set3DSettings(float dopplerScale, float distanceFactor, float rolloffScale) = 0;
    // Loopback outputs only.
    virtual FMOD_RESULT Render(float* out, int frames) = 0;
};

std::unique_ptr<AudioOutput> MakeSilentOutput();
// OpenAL Soft on the default playback device, or a loopback device mixing into memory;
// null when the device cannot be opened.
std::unique_ptr<AudioOutput> MakeOpenALOutput(bool loopback);

}  // namespace ztplatform::fmod
