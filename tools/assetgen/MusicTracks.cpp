// The looping music: a small step sequencer with a handful of instruments, one arrangement per
// place (calm town, dark cave, fast battles, intense mini-boss fights, an epic final boss).
//
// Every track is rendered into a circular buffer a whole number of bars long: a note that rings
// past the end carries on at the start, and the noise beds and the reverb run round the loop
// twice so their state at the end is the state the start was made with. The last sample leads
// into the first as any sample leads into the next, so the game can loop the file whole.
#include "assetgen/SoundGenerator.h"

#include "assetgen/Noise.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <string>
#include <tuple>

namespace assetgen {
namespace {

// ---- scales and songs -----------------------------------------------------------------------

using Scale = std::array<int, 7>;
constexpr Scale kMajor{0, 2, 4, 5, 7, 9, 11};
constexpr Scale kMinor{0, 2, 3, 5, 7, 8, 10};
constexpr Scale kHarmonicMinor{0, 2, 3, 5, 7, 8, 11};
constexpr Scale kPhrygian{0, 1, 3, 5, 7, 8, 10};

// A track's form: one letter per four-bar phrase. 'A' the main theme, 'B' the second theme
// (its own chords and tune), 'D' a breakdown (the beat drops out, the harmony stays).
constexpr int kPhraseBars = 4;

struct Song {
    double bpm;
    std::string form;
    int root;  // MIDI note of the key's tonic, in the bass octave
    Scale scale;
    std::vector<int> chords;   // scale degree of each bar's chord in the A and D phrases
    std::vector<int> chordsB;  // the same for the B phrases
    int bars = int(form.size()) * kPhraseBars;

    double StepSeconds() const { return 60.0 / bpm / 4.0; }  // a sixteenth
    size_t Frames() const { return FramesFor(bars * 16 * StepSeconds()); }
    size_t FrameOfStep(double step) const { return size_t(std::llround(step * StepSeconds() * kSampleRate)); }
    char SectionOf(int bar) const { return form[size_t(bar / kPhraseBars) % form.size()]; }
    int ChordOf(int bar) const
    {
        const std::vector<int>& list = SectionOf(bar) == 'B' && !chordsB.empty() ? chordsB : chords;
        return list[size_t(bar) % list.size()];
    }
    // Any scale degree, negative or past the octave, as a MIDI note.
    int Note(int degree, int octaveShift = 0) const
    {
        const int octave = degree >= 0 ? degree / 7 : -((6 - degree) / 7);
        return root + 12 * (octave + octaveShift) + scale[size_t(degree - 7 * octave)];
    }
    bool InChord(int midi, int degree) const
    {
        for (int k : {0, 2, 4})
            if (((Note(degree + k) - midi) % 12 + 12) % 12 == 0) return true;
        return false;
    }
};

// ---- the circular mix ---------------------------------------------------------------------

class Loop {
public:
    explicit Loop(size_t frames) : m_left(frames, 0.0f), m_right(frames, 0.0f) {}
    size_t Frames() const { return m_left.size(); }

    // Adds a mono sound at `start`, wrapping past the end; pan -1 (left) .. 1 (right).
    void Add(size_t start, const std::vector<float>& sound, float gain, float pan)
    {
        const double angle = (std::clamp(pan, -1.0f, 1.0f) + 1.0) * kPi / 4.0;
        const float gl = gain * float(std::cos(angle)), gr = gain * float(std::sin(angle));
        const size_t n = Frames();
        size_t at = start % n;
        for (float s : sound) {
            m_left[at] += gl * s;
            m_right[at] += gr * s;
            if (++at == n) at = 0;
        }
    }
    void AddStereo(const std::vector<float>& left, const std::vector<float>& right, float gain)
    {
        for (size_t i = 0; i < Frames(); ++i) {
            m_left[i] += gain * left[i];
            m_right[i] += gain * right[i];
        }
    }
    std::vector<float>& Left() { return m_left; }
    std::vector<float>& Right() { return m_right; }

private:
    std::vector<float> m_left, m_right;
};

// Runs a filter over the loop twice and keeps the second pass, so it starts in the state it
// ends in.
template <class F>
std::vector<float> AroundTheLoop(const std::vector<float>& in, F&& filter)
{
    std::vector<float> out(in.size());
    for (size_t i = 0; i < in.size(); ++i) filter(in[i]);
    for (size_t i = 0; i < in.size(); ++i) out[i] = filter(in[i]);
    return out;
}

// A small Schroeder room: four damped combs into two all-passes per side.
class Reverb {
public:
    explicit Reverb(int spread)
    {
        constexpr int combs[4] = {1116, 1188, 1277, 1356};
        constexpr int passes[2] = {556, 441};
        for (int i = 0; i < 4; ++i) m_comb[i].assign(size_t(combs[i] + spread), 0.0f);
        for (int i = 0; i < 2; ++i) m_pass[i].assign(size_t(passes[i] + spread), 0.0f);
    }
    float operator()(float x)
    {
        float sum = 0.0f;
        for (int i = 0; i < 4; ++i) {
            std::vector<float>& line = m_comb[i];
            float& at = line[m_combAt[i]];
            m_damp[i] = at * 0.8f + m_damp[i] * 0.2f;
            sum += at;
            at = x * 0.015f + m_damp[i] * 0.84f;
            if (++m_combAt[i] == line.size()) m_combAt[i] = 0;
        }
        for (int i = 0; i < 2; ++i) {
            std::vector<float>& line = m_pass[i];
            const float delayed = line[m_passAt[i]];
            line[m_passAt[i]] = sum + delayed * 0.5f;
            sum = delayed - sum;
            if (++m_passAt[i] == line.size()) m_passAt[i] = 0;
        }
        return sum;
    }

private:
    std::vector<float> m_comb[4], m_pass[2];
    size_t m_combAt[4] = {}, m_passAt[2] = {};
    float m_damp[4] = {};
};

// ---- instruments --------------------------------------------------------------------------

enum class Instrument { Bass, Pad, DarkPad, Choir, Pluck, Lead, Brass, Bell, Strings };

// Sustain with linear attack and release; `gate` is how long the key is held.
float Adsr(double t, double gate, double attack, double decay, double sustain, double release)
{
    auto held = [&](double u) {
        if (u < attack) return u / attack;
        if (u < attack + decay) return 1.0 - (1.0 - sustain) * (u - attack) / decay;
        return sustain;
    };
    if (t <= gate) return float(held(t));
    return float(held(gate) * std::max(0.0, 1.0 - (t - gate) / release));
}

std::vector<float> PlayNote(Instrument kind, double hz, double gate)
{
    double release = 0.05;
    switch (kind) {
    case Instrument::Pad: release = 0.8; break;
    case Instrument::DarkPad: release = 2.0; break;
    case Instrument::Choir: release = 0.9; break;
    case Instrument::Pluck: release = 0.5; break;
    case Instrument::Lead: release = 0.12; break;
    case Instrument::Brass: release = 0.2; break;
    case Instrument::Bell: release = 2.5; break;
    case Instrument::Strings: release = 0.12; break;
    case Instrument::Bass: release = 0.06; break;
    }
    std::vector<float> out(FramesFor(gate + release));
    Oscillator a, b(0.33), c(0.67);
    Biquad tone;
    FormantFilter mouth;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / kSampleRate;
        float v = 0.0f;
        switch (kind) {
        case Instrument::Bass:
            tone.LowPass(180 + 1100 * std::exp(-t / 0.08), 1.2);
            v = tone.Process(a.Saw(hz) + 0.6f * b.Sine(hz * 0.5)) * Adsr(t, gate, 0.005, 0.1, 0.75, release);
            break;
        case Instrument::Pad:
            tone.LowPass(1600, 0.7);
            v = tone.Process(a.Saw(hz * 0.996) + b.Saw(hz) + c.Saw(hz * 1.004)) * 0.35f *
                Adsr(t, gate, 0.4, 0.3, 0.8, release);
            break;
        case Instrument::DarkPad:
            tone.LowPass(500 + 150 * std::sin(kTwoPi * 0.2 * t), 0.9);
            v = tone.Process(a.Saw(hz * 0.997) + b.Saw(hz * 1.003) + 0.8f * c.Triangle(hz * 0.5)) * 0.4f *
                Adsr(t, gate, 1.5, 0.5, 0.9, release);
            break;
        case Instrument::Choir: {
            const double f = hz * (1.0 + 0.006 * std::sin(kTwoPi * 5.0 * t));
            v = mouth.Process(a.Saw(f * 0.997) + b.Saw(f * 1.003), kVowelA, 4.0) * 0.8f *
                Adsr(t, gate, 0.35, 0.3, 0.85, release);
            break;
        }
        case Instrument::Pluck:
            tone.LowPass(600 + 4000 * std::exp(-t / 0.12), 0.8);
            v = tone.Process(a.Triangle(hz) + 0.4f * b.Saw(hz)) * AttackDecay(t, 0.003, 0.35) *
                (t > gate ? float(std::max(0.0, 1.0 - (t - gate) / release)) : 1.0f);
            break;
        case Instrument::Lead: {
            const double vib = t > 0.15 ? 0.008 * std::sin(kTwoPi * 5.5 * t) : 0.0;
            tone.LowPass(3500, 0.7);
            v = tone.Process(a.Pulse(hz * (1.0 + vib), 0.35)) * 0.6f * Adsr(t, gate, 0.01, 0.1, 0.8, release);
            break;
        }
        case Instrument::Brass:
            tone.LowPass(500 + 2500 * std::min(1.0, t / 0.08) * (0.6 + 0.4 * std::exp(-t / 0.3)), 0.9);
            v = tone.Process(a.Saw(hz) + b.Saw(hz * 1.005)) * 0.5f * Adsr(t, gate, 0.04, 0.2, 0.75, release);
            break;
        case Instrument::Bell:
            v = (a.Sine(hz) + 0.45f * b.Sine(hz * 2.76) + 0.25f * c.Sine(hz * 5.4) * Decay(t, 0.3)) *
                AttackDecay(t, 0.004, 0.9);
            break;
        case Instrument::Strings:
            tone.LowPass(2200, 0.7);
            v = tone.Process(a.Saw(hz) + b.Saw(hz * 1.006)) * 0.45f * Adsr(t, gate, 0.01, 0.08, 0.6, release);
            break;
        }
        out[i] = v;
    }
    return out;
}

enum class Drum { Kick, Snare, ClosedHat, OpenHat, Shaker, Tom, LowTom, Timpani, Crash };

std::vector<float> HitDrum(Drum kind, uint32_t seed)
{
    const double lengths[] = {0.35, 0.25, 0.06, 0.3, 0.08, 0.4, 0.5, 1.2, 1.6};
    std::vector<float> out(FramesFor(lengths[int(kind)]));
    WhiteNoise noise(seed);
    Oscillator body, overtone;
    Biquad colour;
    switch (kind) {
    case Drum::Snare: colour.BandPass(1800, 0.8); break;
    case Drum::ClosedHat:
    case Drum::OpenHat: colour.HighPass(7000, 0.7); break;
    case Drum::Shaker: colour.BandPass(5000, 1.5); break;
    case Drum::Crash: colour.HighPass(4000, 0.6); break;
    default: colour.LowPass(1200, 0.7); break;
    }
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / kSampleRate;
        const float n = colour.Process(noise.Next());
        float v = 0.0f;
        switch (kind) {
        case Drum::Kick:
            v = body.Sine(Glide(150, 45, t, 0.12)) * Decay(t, 0.22) + 0.5f * n * Decay(t, 0.004);
            break;
        case Drum::Snare:
            v = 0.5f * body.Sine(190) * Decay(t, 0.05) + 1.4f * n * Decay(t, 0.09);
            break;
        case Drum::ClosedHat: v = 1.4f * n * Decay(t, 0.015); break;
        case Drum::OpenHat: v = 1.2f * n * Decay(t, 0.1); break;
        case Drum::Shaker: v = n * AttackDecay(t, 0.012, 0.02); break;
        case Drum::Tom: v = body.Sine(Glide(140, 90, t, 0.3)) * Decay(t, 0.18) + 0.3f * n * Decay(t, 0.01); break;
        case Drum::LowTom: v = body.Sine(Glide(95, 60, t, 0.4)) * Decay(t, 0.25) + 0.3f * n * Decay(t, 0.01); break;
        case Drum::Timpani:
            v = (body.Sine(Glide(70, 62, t, 0.3)) + 0.4f * overtone.Sine(62 * 1.5)) * Decay(t, 0.45) +
                0.4f * n * Decay(t, 0.015);
            break;
        case Drum::Crash: v = 0.8f * n * AttackDecay(t, 0.002, 0.5); break;
        }
        out[i] = v;
    }
    return out;
}

// ---- arranging ----------------------------------------------------------------------------

class Arranger {
public:
    Arranger(const Song& song, uint32_t seed)
        : m_song(song), m_dry(song.Frames()), m_send(song.Frames()), m_rng(seed), m_seed(seed)
    {
    }

    // Plays a note at a sixteenth `step` for `steps` sixteenths.
    void Note(Instrument kind, int midi, double step, double steps, float gain, float pan, float reverb)
    {
        // Tracks repeat the same few notes hundreds of times: each is rendered once.
        const auto key = std::make_tuple(int(kind), midi, std::llround(steps * 1000.0));
        auto it = m_notes.find(key);
        if (it == m_notes.end())
            it = m_notes.emplace(key, PlayNote(kind, MidiToHz(midi), steps * m_song.StepSeconds())).first;
        Place(m_song.FrameOfStep(step), it->second, gain, pan, reverb);
    }
    void Hit(Drum kind, double step, float gain, float pan = 0.0f, float reverb = 0.1f)
    {
        auto it = m_drums.find(kind);
        if (it == m_drums.end())
            it = m_drums.emplace(kind, HitDrum(kind, m_seed ^ (0x9E37u * (unsigned(kind) + 1)))).first;
        Place(m_song.FrameOfStep(step), it->second, gain, pan, reverb);
    }
    // A bed of filtered noise under the whole loop.
    void NoiseBed(double lowPassHz, float gain)
    {
        BrownNoise brown(m_seed ^ 0xBEDu);
        std::vector<float> raw(m_dry.Frames());
        for (float& s : raw) s = brown.Next();
        Biquad lp;
        lp.LowPass(lowPassHz, 0.7);
        std::vector<float> bed = AroundTheLoop(raw, [&](float x) { return lp.Process(x); });
        m_dry.Add(0, bed, gain, -0.2f);
        // The other side gets the same bed a little later, so it is not dead centre.
        m_dry.Add(m_dry.Frames() / 3, bed, gain, 0.2f);
    }
    // A water drop: a quick upward blip.
    void Drip(double step, float gain, float pan)
    {
        std::vector<float> drop(FramesFor(0.25));
        Oscillator o;
        for (size_t i = 0; i < drop.size(); ++i) {
            const double t = double(i) / kSampleRate;
            drop[i] = o.Sine(Glide(900, 2200, t, 0.03)) * AttackDecay(t, 0.001, 0.04);
        }
        Place(m_song.FrameOfStep(step), drop, gain, pan, 0.6f);
    }

    // A note for a melody line: a chord tone or a near step, close to the last note.
    int MelodyNote(int bar, int last, int low, int high, float chordWeight = 3.0f)
    {
        std::vector<int> notes;
        std::vector<float> weights;
        for (int d = -21; d < 35; ++d) {
            const int n = m_song.Note(d);
            if (n < low || n > high) continue;
            float w = m_song.InChord(n, m_song.ChordOf(bar)) ? chordWeight : 1.0f;
            const int jump = std::abs(n - last);
            w *= jump == 0 ? 0.4f : (jump <= 4 ? 1.0f : (jump <= 7 ? 0.4f : 0.1f));
            notes.push_back(n);
            weights.push_back(w);
        }
        float total = 0.0f;
        for (float w : weights) total += w;
        float pick = m_rng.Uniform() * total;
        for (size_t i = 0; i < notes.size(); ++i) {
            pick -= weights[i];
            if (pick <= 0.0f) return notes[i];
        }
        return notes.empty() ? last : notes.back();
    }
    Rng& Random() { return m_rng; }
    const Song& Sheet() const { return m_song; }

    Audio Mix(float reverbLevel)
    {
        Reverb left(0), right(23);
        std::vector<float> wetL = AroundTheLoop(m_send.Left(), left);
        std::vector<float> wetR = AroundTheLoop(m_send.Right(), right);
        m_dry.AddStereo(wetL, wetR, reverbLevel);
        // A gentle limiter: loud peaks are rounded off instead of clipping.
        Audio out;
        out.channels = 2;
        out.samples.resize(m_dry.Frames() * 2);
        float peak = 1e-9f;
        for (size_t i = 0; i < m_dry.Frames(); ++i)
            peak = std::max({peak, std::fabs(m_dry.Left()[i]), std::fabs(m_dry.Right()[i])});
        const float drive = 1.6f / peak;
        for (size_t i = 0; i < m_dry.Frames(); ++i) {
            out.samples[2 * i] = std::tanh(m_dry.Left()[i] * drive);
            out.samples[2 * i + 1] = std::tanh(m_dry.Right()[i] * drive);
        }
        NormalisePeak(out, 0.85f);
        return out;
    }

private:
    void Place(size_t frame, const std::vector<float>& sound, float gain, float pan, float reverb)
    {
        m_dry.Add(frame, sound, gain, pan);
        if (reverb > 0.0f) m_send.Add(frame, sound, gain * reverb, pan);
    }

    const Song& m_song;
    Loop m_dry, m_send;
    Rng m_rng;
    uint32_t m_seed;
    std::map<Drum, std::vector<float>> m_drums;
    std::map<std::tuple<int, int, long long>, std::vector<float>> m_notes;
};

// Chord tones of a bar, from the chord's root upwards in the given octave.
std::array<int, 3> Triad(const Song& s, int bar, int octaveShift)
{
    const int d = s.ChordOf(bar);
    return {s.Note(d, octaveShift), s.Note(d + 2, octaveShift), s.Note(d + 4, octaveShift)};
}

// ---- the places -----------------------------------------------------------------------------

// Calm town: plucked melody over a soft pad, walking bass, shaker and a light kick. The B theme
// climbs higher on its own rhythm; the breakdown keeps only the pad and a bell-like echo.
Audio Town(uint32_t seed, const MusicShape& shape)
{
    const Song song{shape.bpm, shape.form, 41, kMajor, {0, 4, 5, 3, 0, 4, 3, 0, 5, 3, 1, 4}, {3, 4, 0, 5, 3, 4, 1, 4}};
    Arranger a(song, seed);
    // A four-bar rhythm per theme that the melody keeps returning to.
    std::array<bool, 32> rhythmA{}, rhythmB{};
    for (bool& on : rhythmA) on = a.Random().Uniform() < 0.55f;
    for (bool& on : rhythmB) on = a.Random().Uniform() < 0.7f;
    rhythmA[0] = rhythmB[0] = true;
    int last = song.Note(14);
    for (int bar = 0; bar < song.bars; ++bar) {
        const double at = bar * 16.0;
        const char section = song.SectionOf(bar);
        const auto chord = Triad(song, bar, 2);
        for (int k = 0; k < 3; ++k) a.Note(Instrument::Pad, chord[size_t(k)], at, 16, 0.3f, -0.4f + 0.4f * k, 0.4f);
        if (section == 'D') {
            // The breakdown: a slow bell answer, no bass, no beat.
            for (double pos : {0.0, 6.0, 12.0}) {
                last = a.MelodyNote(bar, last, song.Note(14), song.Note(21), 4.0f);
                a.Note(Instrument::Bell, last, at + pos, 4, 0.18f, -0.2f, 0.8f);
            }
            continue;
        }
        const int root = song.Note(song.ChordOf(bar));
        a.Note(Instrument::Bass, root, at, 3, 0.5f, 0.0f, 0.0f);
        a.Note(Instrument::Bass, song.Note(song.ChordOf(bar) + 4), at + 8, 3, 0.45f, 0.0f, 0.0f);
        const auto& rhythm = section == 'B' ? rhythmB : rhythmA;
        const int low = section == 'B' ? 13 : 10, high = section == 'B' ? 23 : 20;
        for (int e = 0; e < 8; ++e) {
            if (!rhythm[size_t((bar % 4) * 8 + e)] && e != 0) continue;
            last = a.MelodyNote(bar, last, song.Note(low), song.Note(high));
            a.Note(Instrument::Pluck, last, at + 2 * e, 2, 0.45f, 0.25f, 0.5f);
        }
        for (int beat = 0; beat < 4; ++beat) {
            if (beat % 2 == 0 || section == 'B') a.Hit(Drum::Kick, at + 4 * beat, 0.15f);
            a.Hit(Drum::Shaker, at + 4 * beat, 0.08f, 0.3f);
            a.Hit(Drum::Shaker, at + 4 * beat + 2, 0.12f, 0.3f);
        }
    }
    return a.Mix(0.5f);
}

// Dark cave: slow drones, a rumbling bed, far-off bells and dripping water; no beat. The B
// phrases lift to a higher, colder drone with a choir; the water keeps dripping through all.
Audio Cave(uint32_t seed, const MusicShape& shape)
{
    const Song song{shape.bpm, shape.form, 38, kMinor, {0, 5, 3, 4, 0, 5, 6, 4}, {5, 3, 6, 4}};
    Arranger a(song, seed);
    a.NoiseBed(140, 0.25f);
    int last = song.Note(14);
    for (int bar = 0; bar < song.bars; ++bar) {
        const double at = bar * 16.0;
        const int root = song.ChordOf(bar);
        const bool lifted = song.SectionOf(bar) == 'B';
        a.Note(Instrument::DarkPad, song.Note(root, 1), at, 16, 0.45f, -0.3f, 0.6f);
        a.Note(Instrument::DarkPad, song.Note(root + 4, 1), at, 16, 0.35f, 0.3f, 0.6f);
        a.Note(Instrument::DarkPad, song.Note(root), at, 16, 0.4f, 0.0f, 0.3f);
        if (lifted) a.Note(Instrument::Choir, song.Note(root + 2, 2), at, 14, 0.12f, 0.0f, 0.9f);
        const int bells = (lifted ? 2 : 1) + int(a.Random().Uniform() * 2.0f);
        for (int b = 0; b < bells; ++b) {
            const double step = at + 2.0 * int(a.Random().Uniform() * 8.0f);
            last = a.MelodyNote(bar, last, song.Note(lifted ? 25 : 21), song.Note(lifted ? 35 : 32), 4.0f);
            a.Note(Instrument::Bell, last, step, 2, 0.12f, a.Random().Range(-0.7f, 0.7f), 1.0f);
        }
        if (a.Random().Uniform() < 0.8f)
            a.Drip(at + a.Random().Range(0.0f, 15.0f), 0.08f, a.Random().Range(-0.8f, 0.8f));
    }
    return a.Mix(0.9f);
}

// Fast battle: driving eighths in the bass, a sixteenth riff, power-chord pad and a full kit.
// Each battle has its own beat and its own lead voice; the B theme hands the tune to the lead,
// the breakdown drops the kit for a filtered riff and a snare roll back in.
enum class BattleStyle { Straight, HalfTime, Broken };

void BattleBeat(Arranger& a, BattleStyle style, double at, int bar)
{
    switch (style) {
    case BattleStyle::Straight:  // four on the floor, backbeat, off-beat hats
        for (int beat = 0; beat < 4; ++beat) {
            a.Hit(Drum::Kick, at + 4 * beat, 0.6f);
            if (beat % 2 == 1) a.Hit(Drum::Snare, at + 4 * beat, 0.45f, 0.05f, 0.25f);
            a.Hit(Drum::ClosedHat, at + 4 * beat + 2, 0.25f, 0.35f);
            a.Hit(Drum::ClosedHat, at + 4 * beat, 0.12f, 0.35f);
        }
        a.Hit(Drum::Kick, at + 6, 0.45f);
        break;
    case BattleStyle::HalfTime:  // heavy kick on one and the "and" of three, snare on three, sixteenth hats
        for (int s : {0, 3, 10}) a.Hit(Drum::Kick, at + s, s == 0 ? 0.65f : 0.5f);
        a.Hit(Drum::Snare, at + 8, 0.55f, 0.0f, 0.3f);
        for (int s = 0; s < 16; ++s) a.Hit(Drum::ClosedHat, at + s, s % 4 == 2 ? 0.24f : 0.1f, -0.35f);
        if (bar % 2 == 1) a.Hit(Drum::Tom, at + 14, 0.35f, 0.3f, 0.2f);
        break;
    case BattleStyle::Broken:  // a broken beat: syncopated kicks, ghost snares, open hats
        for (int s : {0, 6, 10}) a.Hit(Drum::Kick, at + s, 0.6f);
        a.Hit(Drum::Snare, at + 4, 0.45f, 0.0f, 0.25f);
        a.Hit(Drum::Snare, at + 12, 0.45f, 0.0f, 0.25f);
        a.Hit(Drum::Snare, at + 7, 0.15f, 0.1f, 0.1f);
        a.Hit(Drum::Snare, at + 15, 0.18f, 0.1f, 0.1f);
        for (int beat = 0; beat < 4; ++beat) a.Hit(Drum::OpenHat, at + 4 * beat + 2, 0.16f, 0.4f);
        a.Hit(Drum::Shaker, at + 1, 0.1f, -0.4f);
        a.Hit(Drum::Shaker, at + 9, 0.1f, -0.4f);
        break;
    }
}

Audio Battle(uint32_t seed, const MusicShape& shape, int root, std::vector<int> chords, std::vector<int> chordsB,
             BattleStyle style)
{
    const Song song{shape.bpm, shape.form, root, kMinor, std::move(chords), std::move(chordsB)};
    Arranger a(song, seed);
    // A two-bar riff of chord-tone offsets, replayed on every chord.
    std::array<int, 32> riff{};
    for (int& r : riff) r = a.Random().Uniform() < 0.25f ? -1 : int(a.Random().Uniform() * 5.0f);
    const int bassPattern[8] = {0, 0, 12, 0, 0, 12, 0, 7};
    const Instrument lead = style == BattleStyle::Straight   ? Instrument::Lead
                            : style == BattleStyle::HalfTime ? Instrument::Brass
                                                             : Instrument::Strings;
    int last = song.Note(16);
    for (int bar = 0; bar < song.bars; ++bar) {
        const double at = bar * 16.0;
        const char section = song.SectionOf(bar);
        const int degree = song.ChordOf(bar);
        a.Note(Instrument::Pad, song.Note(degree, 1), at, 16, 0.18f, -0.5f, 0.3f);
        a.Note(Instrument::Pad, song.Note(degree + 4, 1), at, 16, 0.18f, 0.5f, 0.3f);
        const int octave = section == 'B' ? 3 : 2;
        for (int s = 0; s < 16; ++s) {
            const int r = riff[size_t((bar % 2) * 16 + s)];
            if (r < 0) continue;
            const int note = song.Note(degree + (r % 3) * 2 + 7 * (r / 3), octave);
            a.Note(Instrument::Pluck, note, at + s, 1, section == 'D' ? 0.14f : 0.22f, 0.3f, section == 'D' ? 0.6f : 0.2f);
        }
        if (section == 'D') {
            // The breakdown: no bass or kit, only a long bass note and, in its last bar, a roll.
            if (bar % kPhraseBars == 0) a.Note(Instrument::Bass, song.Note(degree), at, 14, 0.3f, 0.0f, 0.2f);
            if (bar % kPhraseBars == kPhraseBars - 1)
                for (int s = 0; s < 16; ++s) a.Hit(Drum::Snare, at + s, 0.1f + 0.025f * s, 0.0f, 0.2f);
            continue;
        }
        for (int e = 0; e < 8; ++e)
            a.Note(Instrument::Bass, song.Note(degree) + bassPattern[e], at + 2 * e, 1.6, 0.45f, 0.0f, 0.0f);
        if (section == 'B') {
            // The tune: quarter notes and a held half, in this battle's own lead voice.
            for (double pos : {0.0, 4.0, 8.0}) {
                last = a.MelodyNote(bar, last, song.Note(14), song.Note(23), 3.0f);
                a.Note(lead, last, at + pos, pos == 8.0 ? 7.5 : 3.5, 0.2f, -0.2f, 0.3f);
            }
        } else if (bar % 4 == 3) {
            for (int s = 0; s < 8; ++s)
                a.Note(lead, song.Note(degree + 7 - s, 2), at + 8 + s, 1, 0.16f, -0.2f, 0.3f);
        }
        BattleBeat(a, style, at, bar);
        if (bar % 8 == 0 || song.SectionOf(bar - 1 + song.bars) != section)
            a.Hit(Drum::Crash, at, 0.3f, -0.3f, 0.3f);
    }
    return a.Mix(0.35f);
}

// Mini-boss: faster still, a galloping bass, brass stabs, a wailing lead and tom fills. The B
// theme puts the lead an octave up over double-time hats; the breakdown is brass and timpani.
Audio MiniBoss(uint32_t seed, const MusicShape& shape, int root, const Scale& scale, std::vector<int> chords,
               std::vector<int> chordsB)
{
    const Song song{shape.bpm, shape.form, root, scale, std::move(chords), std::move(chordsB)};
    Arranger a(song, seed);
    int last = song.Note(17);
    for (int bar = 0; bar < song.bars; ++bar) {
        const double at = bar * 16.0;
        const char section = song.SectionOf(bar);
        const int degree = song.ChordOf(bar);
        const auto chord = Triad(song, bar, 1);
        for (int k = 0; k < 3; ++k) {
            a.Note(Instrument::Brass, chord[size_t(k)], at, 3, 0.2f, -0.3f + 0.3f * k, 0.3f);
            a.Note(Instrument::Brass, chord[size_t(k)], at + 10, 2, 0.15f, -0.3f + 0.3f * k, 0.3f);
        }
        if (section == 'D') {
            // No bass and no kit: the stabs hang over one soft timpani stroke a bar.
            a.Hit(Drum::Timpani, at, 0.3f, 0.0f, 0.5f);
            continue;
        }
        for (int s = 0; s < 16; ++s)
            if (s % 4 != 1) a.Note(Instrument::Bass, song.Note(degree), at + s, 0.8, 0.42f, 0.0f, 0.0f);
        // The lead holds long notes: half, quarter, quarter.
        const int shift = section == 'B' ? 7 : 0;
        for (double pos : {0.0, 8.0, 12.0}) {
            last = a.MelodyNote(bar, last, song.Note(14 + shift), song.Note(24 + shift), 2.0f);
            a.Note(Instrument::Lead, last, at + pos, pos == 0.0 ? 7.5 : 3.5, 0.22f, 0.2f, 0.35f);
        }
        const bool fill = bar % 4 == 3;
        for (int e = 0; e < 8; ++e) {
            if (fill && e >= 4) break;
            a.Hit(Drum::Kick, at + 2 * e, section == 'B' ? 0.5f : (e % 2 == 0 ? 0.55f : 0.35f));
        }
        for (int s = 0; s < 16; ++s) a.Hit(Drum::ClosedHat, at + s, s % 2 == 0 || section == 'B' ? 0.2f : 0.1f, 0.4f);
        a.Hit(Drum::Snare, at + 4, 0.5f, 0.0f, 0.25f);
        a.Hit(Drum::Snare, at + 12, 0.5f, 0.0f, 0.25f);
        if (fill) {
            for (int s = 0; s < 8; ++s)
                a.Hit(s < 4 ? Drum::Tom : Drum::LowTom, at + 8 + s, 0.45f, s < 4 ? -0.4f : 0.4f, 0.2f);
        }
        if (bar % 4 == 0) a.Hit(Drum::Crash, at, 0.3f, 0.3f, 0.3f);
    }
    return a.Mix(0.35f);
}

// Final boss: choir and brass over timpani, a string ostinato and long bass notes. The B theme
// gives the brass the whole bar; the breakdown is choir and timpani alone.
Audio FinalBoss(uint32_t seed, const MusicShape& shape)
{
    const Song song{shape.bpm, shape.form, 36, kHarmonicMinor, {0, 5, 3, 4, 0, 5, 2, 4, 3, 0, 5, 4, 0, 5, 3, 4},
                    {5, 3, 0, 4, 5, 1, 4, 4}};
    Arranger a(song, seed);
    int last = song.Note(16);
    for (int bar = 0; bar < song.bars; ++bar) {
        const double at = bar * 16.0;
        const char section = song.SectionOf(bar);
        const int degree = song.ChordOf(bar);
        const auto chord = Triad(song, bar, 2);
        for (int k = 0; k < 3; ++k) a.Note(Instrument::Choir, chord[size_t(k)], at, 16, 0.22f, -0.5f + 0.5f * k, 0.6f);
        a.Hit(Drum::Timpani, at, 0.6f, 0.0f, 0.4f);
        if (section == 'D') {
            if (bar % 2 == 1) a.Hit(Drum::Timpani, at + 12, 0.4f, 0.0f, 0.5f);
            continue;
        }
        a.Note(Instrument::Bass, song.Note(degree), at, 15, 0.45f, 0.0f, 0.1f);
        // Strings climb the chord in eighths.
        const int arp[8] = {0, 2, 4, 7, 4, 2, 0, 2};
        for (int e = 0; e < 8; ++e)
            a.Note(Instrument::Strings, song.Note(degree + arp[e], 1), at + 2 * e, 1.8, 0.2f, -0.35f, 0.4f);
        // Brass answers in the second half of every other bar, or carries the B theme.
        if (section == 'B') {
            for (double pos : {0.0, 4.0, 6.0, 8.0}) {
                last = a.MelodyNote(bar, last, song.Note(16), song.Note(25), 3.0f);
                a.Note(Instrument::Brass, last, at + pos, pos == 8.0 ? 7.5 : 1.8, 0.3f, 0.25f, 0.4f);
            }
        } else if (bar % 2 == 1) {
            for (double pos : {8.0, 11.0, 12.0}) {
                last = a.MelodyNote(bar, last, song.Note(14), song.Note(23), 3.0f);
                a.Note(Instrument::Brass, last, at + pos, pos == 12.0 ? 4.0 : 2.5, 0.3f, 0.25f, 0.4f);
            }
        }
        a.Hit(Drum::Timpani, at + 8, 0.45f, 0.0f, 0.4f);
        a.Hit(Drum::Kick, at, 0.4f);
        a.Hit(Drum::Snare, at + 4, 0.35f, 0.0f, 0.4f);
        a.Hit(Drum::Snare, at + 12, 0.35f, 0.0f, 0.4f);
        if (bar % 4 == 3)
            for (int s = 12; s < 16; ++s) a.Hit(Drum::LowTom, at + s, 0.4f, 0.0f, 0.3f);
        if (bar % 4 == 0) a.Hit(Drum::Crash, at, 0.28f, -0.2f, 0.5f);
    }
    return a.Mix(0.5f);
}

using Maker = Audio (*)(uint32_t, const MusicShape&);

SoundMakerEntry Track(const MusicShape& shape, Maker make)
{
    return {shape.path, [make, shape](const SoundContext& c, Audio& out, std::string&) {
                out = make(c.seed, shape);
                return true;
            }};
}

}  // namespace

std::vector<MusicShape> MusicShapes()
{
    return {
        {"audio/bgm/theoverworld.ogg", 100, "AABADBBA"},
        {"audio/bgm/incave.ogg", 64, "AABAB"},
        {"audio/bgm/battle0.ogg", 150, "AABBDAABBA"},
        {"audio/bgm/battle1.ogg", 144, "AABBDAABBA"},
        {"audio/bgm/battle2.ogg", 156, "AABBDAABBA"},
        {"audio/bgm/boss_fight1.ogg", 170, "AABBAADBBAAB"},
        {"audio/bgm/boss_fight2.ogg", 165, "AABBAADBBAAB"},
        {"audio/bgm/boss_fight3.ogg", 175, "AABBAADBBAAB"},
        {"audio/bgm/finalboss.ogg", 120, "AABBDAAB"},
    };
}

std::vector<SoundMakerEntry> MusicMakers()
{
    const std::vector<MusicShape> shapes = MusicShapes();
    auto shape = [&](size_t i) -> const MusicShape& { return shapes[i]; };
    return {
        Track(shape(0), Town),
        Track(shape(1), Cave),
        Track(shape(2),
              [](uint32_t s, const MusicShape& m) {
                  return Battle(s, m, 40, {0, 5, 6, 0, 0, 3, 5, 4}, {5, 6, 3, 4}, BattleStyle::Straight);
              }),
        Track(shape(3),
              [](uint32_t s, const MusicShape& m) {
                  return Battle(s, m, 45, {0, 3, 5, 4, 0, 6, 5, 4}, {3, 4, 6, 4}, BattleStyle::HalfTime);
              }),
        Track(shape(4),
              [](uint32_t s, const MusicShape& m) {
                  return Battle(s, m, 38, {0, 6, 5, 6, 0, 3, 4, 4}, {5, 3, 6, 4}, BattleStyle::Broken);
              }),
        Track(shape(5),
              [](uint32_t s, const MusicShape& m) {
                  return MiniBoss(s, m, 37, kPhrygian, {0, 1, 0, 6, 0, 1, 5, 4}, {1, 6, 5, 4});
              }),
        Track(shape(6),
              [](uint32_t s, const MusicShape& m) {
                  return MiniBoss(s, m, 41, kHarmonicMinor, {0, 5, 3, 4, 0, 5, 1, 4}, {3, 5, 1, 4});
              }),
        Track(shape(7),
              [](uint32_t s, const MusicShape& m) {
                  return MiniBoss(s, m, 43, kPhrygian, {0, 6, 5, 1, 0, 3, 1, 0}, {5, 6, 3, 1});
              }),
        Track(shape(8), FinalBoss),
    };
}

}  // namespace assetgen
