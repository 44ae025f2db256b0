// Filters and envelopes of the synthesiser, and the WAV and Ogg Vorbis encoders over libsndfile
// (written to memory first, so Ogg pages can be given a fixed serial before they hit the disk).
#include "assetgen/SoundSynth.h"

#include <sndfile.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>

namespace assetgen {

// ---- filters ------------------------------------------------------------------------------

void Biquad::Set(double b0, double b1, double b2, double a0, double a1, double a2)
{
    m_b0 = b0 / a0;
    m_b1 = b1 / a0;
    m_b2 = b2 / a0;
    m_a1 = a1 / a0;
    m_a2 = a2 / a0;
}

static double ClampHz(double hz) { return std::clamp(hz, 10.0, kSampleRate * 0.45); }

void Biquad::LowPass(double hz, double q)
{
    const double w = kTwoPi * ClampHz(hz) / kSampleRate, c = std::cos(w), alpha = std::sin(w) / (2.0 * q);
    Set((1 - c) / 2, 1 - c, (1 - c) / 2, 1 + alpha, -2 * c, 1 - alpha);
}

void Biquad::HighPass(double hz, double q)
{
    const double w = kTwoPi * ClampHz(hz) / kSampleRate, c = std::cos(w), alpha = std::sin(w) / (2.0 * q);
    Set((1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + alpha, -2 * c, 1 - alpha);
}

void Biquad::BandPass(double hz, double q)
{
    const double w = kTwoPi * ClampHz(hz) / kSampleRate, c = std::cos(w), alpha = std::sin(w) / (2.0 * q);
    Set(alpha, 0, -alpha, 1 + alpha, -2 * c, 1 - alpha);
}

float FormantFilter::Process(float x, const Vowel& v, double q)
{
    m_bands[0].BandPass(v.f1, q);
    m_bands[1].BandPass(v.f2, q);
    m_bands[2].BandPass(v.f3, q);
    return m_bands[0].Process(x) + 0.6f * m_bands[1].Process(x) + 0.3f * m_bands[2].Process(x);
}

// ---- levels -------------------------------------------------------------------------------

void FadeEdges(Audio& audio, double fadeIn, double fadeOut)
{
    const size_t frames = audio.Frames();
    const size_t in = std::min(frames, FramesFor(fadeIn));
    const size_t out = std::min(frames, FramesFor(fadeOut));
    for (size_t f = 0; f < frames; ++f) {
        float g = 1.0f;
        if (f < in) g = float(f) / float(in);
        if (f + out >= frames && out > 0) g = std::min(g, float(frames - 1 - f) / float(out));
        for (int c = 0; c < audio.channels; ++c) audio.samples[f * audio.channels + c] *= g;
    }
}

float PeakOf(const Audio& audio)
{
    float peak = 0.0f;
    for (float s : audio.samples) peak = std::max(peak, std::fabs(s));
    return peak;
}

void NormalisePeak(Audio& audio, float peak)
{
    const float now = PeakOf(audio);
    if (now <= 1e-9f) return;
    const float gain = peak / now;
    for (float& s : audio.samples) s *= gain;
}

float LoudnessOf(const Audio& audio)
{
    const size_t channels = size_t(std::max(audio.channels, 1));
    const size_t frames = audio.samples.size() / channels;
    const size_t window = size_t(kSampleRate) / 20, hop = size_t(kSampleRate) / 100;
    // Running sums of squares per frame, so each window costs two look-ups.
    std::vector<double> sums(frames + 1, 0.0);
    for (size_t f = 0; f < frames; ++f) {
        double e = 0.0;
        for (size_t c = 0; c < channels; ++c) e += double(audio.samples[f * channels + c]) * audio.samples[f * channels + c];
        sums[f + 1] = sums[f] + e / double(channels);
    }
    if (frames <= window) return frames ? float(std::sqrt(sums[frames] / double(frames))) : 0.0f;
    double loudest = 0.0;
    for (size_t from = 0; from + window <= frames; from += hop)
        loudest = std::max(loudest, (sums[from + window] - sums[from]) / double(window));
    return float(std::sqrt(loudest));
}

void NormaliseLoudness(Audio& audio, float rms, float ceiling)
{
    const float now = LoudnessOf(audio);
    if (now <= 1e-9f) return;
    const float gain = rms / now;
    // Linear up to the knee, then bent smoothly towards the ceiling (never reached).
    const float knee = 0.6f * ceiling, room = ceiling - knee;
    for (float& s : audio.samples) {
        float v = s * gain, m = std::fabs(v);
        if (m > knee) m = knee + room * std::tanh((m - knee) / room);
        s = std::copysign(m, v);
    }
}

// ---- files in memory ----------------------------------------------------------------------

namespace {

struct MemoryFile {
    std::string data;
    sf_count_t position = 0;
};

sf_count_t MemLength(void* user) { return sf_count_t(static_cast<MemoryFile*>(user)->data.size()); }

sf_count_t MemSeek(sf_count_t offset, int whence, void* user)
{
    auto* m = static_cast<MemoryFile*>(user);
    sf_count_t base = 0;
    if (whence == SEEK_CUR) base = m->position;
    else if (whence == SEEK_END) base = sf_count_t(m->data.size());
    const sf_count_t target = base + offset;
    if (target < 0) return -1;
    m->position = target;
    return m->position;
}

sf_count_t MemRead(void* out, sf_count_t count, void* user)
{
    auto* m = static_cast<MemoryFile*>(user);
    const sf_count_t size = sf_count_t(m->data.size());
    if (m->position >= size || count <= 0) return 0;
    const sf_count_t n = std::min(count, size - m->position);
    std::memcpy(out, m->data.data() + m->position, size_t(n));
    m->position += n;
    return n;
}

sf_count_t MemWrite(const void* in, sf_count_t count, void* user)
{
    auto* m = static_cast<MemoryFile*>(user);
    if (count <= 0) return 0;
    const size_t end = size_t(m->position + count);
    if (end > m->data.size()) m->data.resize(end, '\0');
    std::memcpy(m->data.data() + m->position, in, size_t(count));
    m->position += count;
    return count;
}

sf_count_t MemTell(void* user) { return static_cast<MemoryFile*>(user)->position; }

// The checksum of Ogg pages: CRC-32 with polynomial 0x04C11DB7, no reflection, start 0.
uint32_t OggCrc(const uint8_t* data, size_t size)
{
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t r = i << 24;
            for (int k = 0; k < 8; ++k) r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : r << 1;
            t[i] = r;
        }
        return t;
    }();
    uint32_t crc = 0;
    for (size_t i = 0; i < size; ++i) crc = (crc << 8) ^ table[((crc >> 24) ^ data[i]) & 0xFF];
    return crc;
}

void PutLE32(uint8_t* at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) at[i] = uint8_t(v >> (8 * i));
}

}  // namespace

bool SetOggSerial(std::string& bytes, uint32_t serial)
{
    auto* data = reinterpret_cast<uint8_t*>(bytes.data());
    const size_t size = bytes.size();
    size_t at = 0;
    while (at < size) {
        if (size - at < 27 || std::memcmp(data + at, "OggS", 4) != 0) return false;
        const size_t segments = data[at + 26];
        if (size - at < 27 + segments) return false;
        size_t body = 0;
        for (size_t s = 0; s < segments; ++s) body += data[at + 27 + s];
        const size_t pageSize = 27 + segments + body;
        if (size - at < pageSize) return false;
        PutLE32(data + at + 14, serial);
        PutLE32(data + at + 22, 0);
        PutLE32(data + at + 22, OggCrc(data + at, pageSize));
        at += pageSize;
    }
    return size > 0;
}

bool EncodeAudio(const Audio& audio, AudioFormat format, double vorbisQuality, uint32_t serial,
                 std::string& bytes, std::string& error)
{
    if (audio.channels < 1 || audio.channels > 2 || audio.Frames() == 0) {
        error = "nothing to encode";
        return false;
    }
    SF_VIRTUAL_IO io{MemLength, MemSeek, MemRead, MemWrite, MemTell};
    MemoryFile memory;
    SF_INFO info{};
    info.samplerate = kSampleRate;
    info.channels = audio.channels;
    info.format = format == AudioFormat::Wav16 ? (SF_FORMAT_WAV | SF_FORMAT_PCM_16)
                                               : (SF_FORMAT_OGG | SF_FORMAT_VORBIS);
    SNDFILE* file = sf_open_virtual(&io, SFM_WRITE, &info, &memory);
    if (!file) {
        error = std::string("libsndfile cannot write: ") + sf_strerror(nullptr);
        return false;
    }
    if (format == AudioFormat::OggVorbis) {
        double quality = vorbisQuality;
        sf_command(file, SFC_SET_VBR_ENCODING_QUALITY, &quality, sizeof(quality));
    }
    // Clamp here: libsndfile would wrap an over-full float into a loud crack.
    std::vector<float> clamped(audio.samples.size());
    for (size_t i = 0; i < clamped.size(); ++i) clamped[i] = std::clamp(audio.samples[i], -1.0f, 1.0f);
    // In modest chunks: the Vorbis encoder moves everything not yet encoded down after each
    // block, so one huge write costs time in proportion to the square of its length.
    const sf_count_t frames = sf_count_t(audio.Frames());
    constexpr sf_count_t kChunk = 4096;
    sf_count_t written = 0;
    while (written < frames) {
        const sf_count_t n = std::min(kChunk, frames - written);
        const sf_count_t done = sf_writef_float(file, clamped.data() + written * audio.channels, n);
        if (done != n) break;
        written += done;
    }
    const int closed = sf_close(file);
    if (written != frames || closed != 0) {
        error = "libsndfile could not encode every frame";
        return false;
    }
    if (format == AudioFormat::OggVorbis && !SetOggSerial(memory.data, serial)) {
        error = "the Ogg stream libsndfile wrote is not made of whole pages";
        return false;
    }
    bytes = std::move(memory.data);
    return true;
}

bool ReadAudioFile(const std::filesystem::path& file, Audio& audio, int& sampleRate, std::string& error)
{
    SF_INFO info{};
    SNDFILE* in = sf_open(file.string().c_str(), SFM_READ, &info);
    if (!in) {
        error = "cannot read " + file.string() + ": " + sf_strerror(nullptr);
        return false;
    }
    audio.channels = info.channels;
    audio.samples.assign(size_t(info.frames) * size_t(info.channels), 0.0f);
    const sf_count_t got = info.frames > 0 ? sf_readf_float(in, audio.samples.data(), info.frames) : 0;
    sf_close(in);
    audio.samples.resize(size_t(std::max<sf_count_t>(got, 0)) * size_t(info.channels));
    sampleRate = info.samplerate;
    return true;
}

bool WriteFileBytes(const std::filesystem::path& file, const std::string& bytes, std::string& error)
{
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) {
        error = "cannot write " + file.string();
        return false;
    }
    out.write(bytes.data(), std::streamsize(bytes.size()));
    out.close();
    if (!out) {
        error = "cannot write " + file.string();
        return false;
    }
    return true;
}

}  // namespace assetgen
