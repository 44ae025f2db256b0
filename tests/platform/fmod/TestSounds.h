#pragma once
// Small sound files made on the spot for the sound tests: sine tones written with libsndfile
// as 16-bit WAV or Ogg Vorbis.
#include <sndfile.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

namespace zttest {

struct Tone {
    double seconds = 1.0;
    int sampleRate = 44100;
    int channels = 1;
    double hz = 440.0;
    float amplitude = 0.5f;
    bool ogg = false;
};

// Writes the tone to dir/name and returns the full path; empty when libsndfile refused.
inline std::filesystem::path WriteTone(const std::filesystem::path& dir, const std::string& name,
                                       const Tone& shape = {})
{
    const std::filesystem::path path = dir / name;
    std::filesystem::create_directories(path.parent_path());
    SF_INFO info;
    std::memset(&info, 0, sizeof(info));
    info.samplerate = shape.sampleRate;
    info.channels = shape.channels;
    info.format =
        shape.ogg ? (SF_FORMAT_OGG | SF_FORMAT_VORBIS) : (SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    SNDFILE* file = sf_open(path.string().c_str(), SFM_WRITE, &info);
    if (file == nullptr)
        return {};
    const auto frames = static_cast<sf_count_t>(std::llround(shape.seconds * shape.sampleRate));
    std::vector<float> samples(static_cast<size_t>(frames * shape.channels));
    for (sf_count_t i = 0; i < frames; ++i) {
        const float v =
            shape.amplitude *
            static_cast<float>(std::sin(2.0 * std::numbers::pi * shape.hz * i / shape.sampleRate));
        for (int c = 0; c < shape.channels; ++c)
            samples[static_cast<size_t>(i * shape.channels + c)] = v;
    }
    sf_writef_float(file, samples.data(), frames);
    sf_close(file);
    return path;
}

// A clock the tests step by hand.
struct ManualClock {
    double now = 0.0;
    auto Function()
    {
        return [this] { return now; };
    }
};

// Root mean square of the interleaved stereo frames [from, to) of one channel (-1: both).
inline double Rms(const std::vector<float>& stereo, size_t from, size_t to, int channel = -1)
{
    double sum = 0.0;
    size_t count = 0;
    for (size_t f = from; f < to; ++f) {
        for (int c = 0; c < 2; ++c) {
            if (channel >= 0 && c != channel)
                continue;
            const double s = stereo[f * 2 + c];
            sum += s * s;
            ++count;
        }
    }
    return count ? std::sqrt(sum / count) : 0.0;
}

}  // namespace zttest
