#pragma once
// The small synthesiser behind the generated sounds: an audio buffer, oscillators, filters,
// envelopes and noise, and the encoders that write WAV and Ogg Vorbis files byte for byte the
// same on every run.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace assetgen {

constexpr int kSampleRate = 44100;
constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;

// Interleaved samples, nominally -1..1.
struct Audio {
    int channels = 1;
    std::vector<float> samples;

    size_t Frames() const { return channels > 0 ? samples.size() / size_t(channels) : 0; }
    double Seconds() const { return double(Frames()) / kSampleRate; }
};

inline size_t FramesFor(double seconds) { return size_t(std::llround(seconds * kSampleRate)); }
inline double MidiToHz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

enum class AudioFormat {
    Wav16,      // 16-bit PCM WAV
    OggVorbis,  // Ogg Vorbis at the given quality
};

// Encodes 44.1 kHz audio into the bytes of a file. libsndfile stamps Ogg streams with a random
// serial number; it is replaced by `serial` so that a second run writes the same bytes.
bool EncodeAudio(const Audio& audio, AudioFormat format, double vorbisQuality, uint32_t serial,
                 std::string& bytes, std::string& error);
// Reads any file libsndfile knows; sampleRate receives the file's rate.
bool ReadAudioFile(const std::filesystem::path& file, Audio& audio, int& sampleRate, std::string& error);
// Writes the bytes, creating the folders on the way.
bool WriteFileBytes(const std::filesystem::path& file, const std::string& bytes, std::string& error);
// Rewrites the serial number of every page of an Ogg stream and mends the page checksums.
bool SetOggSerial(std::string& bytes, uint32_t serial);

// ---- building blocks ----------------------------------------------------------------------

// Deterministic white noise, -1..1.
class WhiteNoise {
public:
    explicit WhiteNoise(uint32_t seed) : m_state(seed ? seed : 0x2545F491u) {}
    float Next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return float(m_state >> 8) * (2.0f / 16777216.0f) - 1.0f;
    }
    float Uniform() { return 0.5f * (Next() + 1.0f); }  // 0..1

private:
    uint32_t m_state;
};

// Integrated white noise with a leak: the deep rumble of stone and earth.
class BrownNoise {
public:
    explicit BrownNoise(uint32_t seed) : m_white(seed) {}
    float Next()
    {
        m_level = 0.995f * m_level + 0.06f * m_white.Next();
        return m_level * 3.0f;
    }

private:
    WhiteNoise m_white;
    float m_level = 0.0f;
};

// Phase accumulator with band-limited saw and pulse (PolyBLEP), so bright notes do not alias.
class Oscillator {
public:
    explicit Oscillator(double phase = 0.0) : m_phase(phase) {}
    float Sine(double hz) { return float(std::sin(kTwoPi * Advance(hz))); }
    float Triangle(double hz)
    {
        const double p = Advance(hz);
        return float(p < 0.5 ? 4.0 * p - 1.0 : 3.0 - 4.0 * p);
    }
    float Saw(double hz)
    {
        const double dt = hz / kSampleRate;
        const double p = Advance(hz);
        return float(2.0 * p - 1.0 - Blep(p, dt));
    }
    float Pulse(double hz, double width = 0.5)
    {
        const double dt = hz / kSampleRate;
        const double p = Advance(hz);
        double v = p < width ? 1.0 : -1.0;
        v += Blep(p, dt);
        double q = p - width;
        if (q < 0.0) q += 1.0;
        v -= Blep(q, dt);
        return float(v);
    }
    double Phase() const { return m_phase; }

private:
    // Returns the phase before advancing, 0..1.
    double Advance(double hz)
    {
        const double p = m_phase;
        m_phase += hz / kSampleRate;
        m_phase -= std::floor(m_phase);
        return p;
    }
    static double Blep(double p, double dt)
    {
        if (dt <= 0.0) return 0.0;
        if (p < dt) {
            const double t = p / dt;
            return t + t - t * t - 1.0;
        }
        if (p > 1.0 - dt) {
            const double t = (p - 1.0) / dt;
            return t * t + t + t + 1.0;
        }
        return 0.0;
    }
    double m_phase;
};

// Second-order filter (the usual cookbook forms); the coefficients may be changed every sample
// for sweeps.
class Biquad {
public:
    void LowPass(double hz, double q);
    void HighPass(double hz, double q);
    void BandPass(double hz, double q);  // 0 dB at the centre
    float Process(float x)
    {
        const double y = m_b0 * x + m_z1;
        m_z1 = m_b1 * x - m_a1 * y + m_z2;
        m_z2 = m_b2 * x - m_a2 * y;
        return float(y);
    }

private:
    void Set(double b0, double b1, double b2, double a0, double a1, double a2);
    double m_b0 = 1, m_b1 = 0, m_b2 = 0, m_a1 = 0, m_a2 = 0;
    double m_z1 = 0, m_z2 = 0;
};

// One-pole low-pass, for smoothing and gentle darkening.
class OnePole {
public:
    void SetCutoff(double hz) { m_a = float(1.0 - std::exp(-kTwoPi * hz / kSampleRate)); }
    float LowPass(float x) { return m_y += m_a * (x - m_y); }
    float HighPass(float x) { return x - LowPass(x); }

private:
    float m_a = 1.0f, m_y = 0.0f;
};

// Vowel colour for the voiced effects: three formant band-passes over a glottal buzz.
struct Vowel {
    double f1, f2, f3;
};
constexpr Vowel kVowelA{800, 1150, 2900};
constexpr Vowel kVowelO{450, 800, 2830};
constexpr Vowel kVowelU{325, 700, 2530};
constexpr Vowel kVowelUh{600, 1040, 2250};

class FormantFilter {
public:
    float Process(float x, const Vowel& v, double q = 8.0);

private:
    Biquad m_bands[3];
};

// Linear attack, exponential decay with time constant `tau`, in seconds.
inline float AttackDecay(double t, double attack, double tau)
{
    if (t < 0.0) return 0.0f;
    if (t < attack) return float(t / attack);
    return float(std::exp(-(t - attack) / tau));
}

// Exponential decay with time constant `tau`, from 1 at t = 0.
inline float Decay(double t, double tau) { return float(std::exp(-t / tau)); }

// Exponential glide from a to b over `seconds` (clamped at the end).
inline double Glide(double a, double b, double t, double seconds)
{
    const double u = std::clamp(t / seconds, 0.0, 1.0);
    return a * std::pow(b / a, u);
}

// Short fades at both ends so nothing starts or stops with a click.
void FadeEdges(Audio& audio, double fadeIn, double fadeOut);
// Scales to the given peak; silence stays silence.
void NormalisePeak(Audio& audio, float peak);
float PeakOf(const Audio& audio);
// How loud a sound is heard: the largest RMS over 50 ms windows (stepped by 10 ms), all channels
// together. A short hit is judged by its loudest moment, not diluted by its silent tail.
float LoudnessOf(const Audio& audio);
// Brings the loudness to `rms` and keeps every sample within `ceiling` with a soft knee, so a
// spiky sound is not left quiet just because its first click reaches the peak.
void NormaliseLoudness(Audio& audio, float rms, float ceiling);

}  // namespace assetgen
