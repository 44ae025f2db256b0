// The output used without an audio device: nothing is heard, so no voice is ever handed out;
// the layer still keeps every channel's time.
#include "platform/fmod/AudioOutput.h"

namespace ztplatform::fmod {
namespace {

class SilentOutput final : public AudioOutput {
public:
    FMOD_OUTPUTTYPE Type() const override { return FMOD_OUTPUTTYPE_NOSOUND; }
    Voice* AcquireVoice() override { return nullptr; }
    void ReleaseVoice(Voice*, bool) override {}
    void Update() override {}
    void SetListener(const FMOD_VECTOR&, const FMOD_VECTOR&, const FMOD_VECTOR&,
                     const FMOD_VECTOR&) override
    {
    }
    void Set3DSettings(float, float, float) override {}
    FMOD_RESULT Render(float*, int) override { return FMOD_ERR_UNSUPPORTED; }
};

}  // namespace

std::unique_ptr<AudioOutput> MakeSilentOutput()
{
    return std::make_unique<SilentOutput>();
}

}  // namespace ztplatform::fmod
