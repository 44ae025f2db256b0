// The synthesised sound effects: enemy hits and deaths, shots, pickups, the player's own
// sounds, doors, the altar and the lose jingle. Each is built from oscillators, filtered noise,
// envelopes and pitch sweeps at the inventory's length, then faded at the edges and brought to
// the same loudness (a click-sharp hit and a long groan peak very differently, so matching
// peaks left some hits far quieter than their neighbours).
#include "assetgen/SoundGenerator.h"

#include <algorithm>
#include <cmath>

namespace assetgen {
namespace {

constexpr float kPeak = 0.89f;      // about -1 dBFS
constexpr float kLoudness = 0.28f;  // about -11 dBFS over the loudest 50 ms

// Renders f(t) for every sample of a mono buffer of the given length.
template <class F>
void Render(Audio& out, double seconds, F&& f)
{
    out.channels = 1;
    out.samples.assign(FramesFor(seconds), 0.0f);
    for (size_t i = 0; i < out.samples.size(); ++i) out.samples[i] = f(double(i) / kSampleRate);
}

void Finish(Audio& a)
{
    FadeEdges(a, 0.002, 0.02);
    NormaliseLoudness(a, kLoudness, kPeak);
}

float Step(double t) { return t >= 0.0 ? 1.0f : 0.0f; }

// Fades out over the last `tail` seconds of a sound `length` long.
float Tail(double t, double length, double tail)
{
    return float(std::clamp((length - t) / tail, 0.0, 1.0));
}

// A short band-passed noise tick added into the buffer at `start`.
void AddClick(Audio& a, WhiteNoise& noise, double start, double hz, double decay, float amp)
{
    Biquad bp;
    bp.BandPass(hz, 3.0);
    const size_t from = FramesFor(start);
    const size_t n = FramesFor(decay * 6.0);
    for (size_t i = 0; i < n && from + i < a.samples.size(); ++i) {
        const double t = double(i) / kSampleRate;
        a.samples[from + i] += amp * bp.Process(noise.Next() * Decay(t, decay));
    }
}

// ---- enemies ------------------------------------------------------------------------------

void MagicianHit(const SoundContext& c, Audio& a)
{
    // Bone cracking, with the knock of the blow through the ribcage underneath.
    WhiteNoise noise(c.seed);
    Biquad crack, body, chest;
    crack.BandPass(2400, 4.0);
    body.BandPass(850, 12.0);
    chest.BandPass(260, 6.0);
    Oscillator thud;
    Render(a, c.spec.seconds, [&](double t) {
        const float hit = Decay(t, 0.012) + 0.6f * Step(t - 0.045) * Decay(t - 0.045, 0.01);
        const float x = noise.Next() * hit;
        const float low = 4.0f * chest.Process(x) + 0.7f * thud.Sine(Glide(150, 85, t, 0.15)) * Decay(t, 0.05);
        return (crack.Process(x) + 2.5f * body.Process(x)) * Decay(t, 0.08) + low;
    });
    Finish(a);
}

void MagicianDeath(const SoundContext& c, Audio& a)
{
    // Bones clatter down: ticks of random pitch, thinning out and fading as they settle.
    const double length = c.spec.seconds;
    Render(a, length, [](double) { return 0.0f; });
    WhiteNoise noise(c.seed), pick(c.seed ^ 0xB0E5u);
    double t = 0.0;
    while (t < length - 0.12) {
        const float amp = float(std::pow(1.0 - t / length, 1.5)) * (0.5f + 0.5f * pick.Uniform());
        AddClick(a, noise, t, 1200.0 + 3000.0 * pick.Uniform(), 0.005, amp);
        if (pick.Uniform() < 0.3f) AddClick(a, noise, t + 0.006, 500.0 + 300.0 * pick.Uniform(), 0.01, amp * 0.8f);
        t += 0.02 + 0.07 * pick.Uniform() + 0.06 * t;
    }
    Finish(a);
}

void SkullHit(const SoundContext& c, Audio& a)
{
    // A hollow knock: a short strike ringing two resonances of the skull.
    WhiteNoise noise(c.seed);
    // The blow itself lands as a dull thud under the ring.
    Biquad low, mid, high, hollow;
    low.BandPass(380, 15.0);
    mid.BandPass(1050, 10.0);
    high.BandPass(2200, 8.0);
    hollow.BandPass(170, 8.0);
    Oscillator thud;
    Render(a, c.spec.seconds, [&](double t) {
        const float strike = (t < 1.0 / kSampleRate ? 8.0f : 0.0f) + noise.Next() * Decay(t, 0.003);
        const float ring = low.Process(strike) + 0.5f * mid.Process(strike) + 0.2f * high.Process(strike);
        const float body = 1.5f * hollow.Process(strike) + 0.5f * thud.Sine(Glide(130, 70, t, 0.12)) * Decay(t, 0.04);
        return (ring + body) * Decay(t, 0.09);
    });
    Finish(a);
}

void SkullDeath(const SoundContext& c, Audio& a)
{
    // A falling FM screech with a little rasp.
    WhiteNoise noise(c.seed);
    Biquad rasp;
    rasp.HighPass(3000, 0.7);
    double carrier = 0.0, modulator = 0.0;
    const double length = c.spec.seconds;
    Render(a, length, [&](double t) {
        const double f = Glide(1400, 180, t, length) * (1.0 + 0.03 * std::sin(kTwoPi * 7.0 * t));
        carrier += f / kSampleRate;
        modulator += 1.41 * f / kSampleRate;
        const double index = 4.0 * std::exp(-t / 0.5) + 0.5;
        const double tone = std::sin(kTwoPi * carrier + index * std::sin(kTwoPi * modulator));
        const float env = float(std::min(1.0, t / 0.02) * std::pow(std::max(0.0, 1.0 - t / length), 1.2));
        return env * (float(tone) + 0.2f * rasp.Process(noise.Next()));
    });
    Finish(a);
}

void KangaHit(const SoundContext& c, Audio& a)
{
    // A short "uh" grunt over a low thud.
    Oscillator glottis, thud;
    FormantFilter mouth;
    WhiteNoise noise(c.seed);
    const double length = c.spec.seconds;
    Render(a, length, [&](double t) {
        const float voice = mouth.Process(glottis.Saw(Glide(150, 95, t, length)) + 0.1f * noise.Next(), kVowelUh, 6.0);
        return voice * AttackDecay(t, 0.01, 0.07) + 0.5f * thud.Sine(80) * Decay(t, 0.05);
    });
    Finish(a);
}

void KangaDeath(const SoundContext& c, Audio& a)
{
    // A groan sliding down from "o" to "u".
    Oscillator glottis;
    FormantFilter mouth;
    WhiteNoise noise(c.seed);
    const double length = c.spec.seconds;
    Render(a, length, [&](double t) {
        const double u = t / length;
        const Vowel v{kVowelO.f1 + (kVowelU.f1 - kVowelO.f1) * u, kVowelO.f2 + (kVowelU.f2 - kVowelO.f2) * u,
                      kVowelO.f3 + (kVowelU.f3 - kVowelO.f3) * u};
        const double f = Glide(160, 70, t, length) * (1.0 + 0.03 * std::sin(kTwoPi * 5.0 * t));
        const float env = float(std::min(1.0, t / 0.05) * std::pow(std::max(0.0, 1.0 - u), 0.8));
        return env * mouth.Process(glottis.Saw(f) + 0.08f * noise.Next(), v, 6.0);
    });
    Finish(a);
}

// Noise through a band-pass whose centre rises: the fireball leaving the hand.
void FireWhoosh(const SoundContext& c, Audio& a)
{
    WhiteNoise noise(c.seed), crackle(c.seed ^ 0xF12Eu);
    Biquad sweep, rumble;
    rumble.LowPass(180, 0.7);
    const double length = c.spec.seconds;
    Render(a, length, [&](double t) {
        sweep.BandPass(Glide(300, 3200, t, length * 0.9), 2.5);
        const float n = noise.Next();
        const float pop = crackle.Uniform() > 0.995f ? crackle.Next() : 0.0f;
        return AttackDecay(t, 0.12, 0.15) * (sweep.Process(n) + 0.3f * rumble.Process(n) + 0.3f * pop);
    });
    Finish(a);
}

void OgreHit(const SoundContext& c, Audio& a)
{
    Oscillator thud;
    WhiteNoise noise(c.seed);
    Biquad dull;
    dull.LowPass(400, 0.7);
    Render(a, c.spec.seconds, [&](double t) {
        return thud.Sine(Glide(95, 45, t, 0.25)) * Decay(t, 0.12) +
               0.6f * dull.Process(noise.Next()) * Decay(t, 0.03);
    });
    Finish(a);
}

void OgreDeath(const SoundContext& c, Audio& a)
{
    // Detuned saws falling an octave and more, growling, darkening as they fall.
    Oscillator s1, s2(0.3), s3(0.6);
    WhiteNoise noise(c.seed);
    Biquad tone, breath;
    breath.BandPass(500, 1.5);
    const double length = c.spec.seconds;
    Render(a, length, [&](double t) {
        const double f = Glide(120, 50, t, length);
        tone.LowPass(Glide(1400, 250, t, length), 0.9);
        const float saws = s1.Saw(f) + s2.Saw(f * 1.007) + s3.Saw(f * 0.993);
        const float growl = 1.0f + 0.35f * float(std::sin(kTwoPi * 28.0 * t));
        const float env = float(std::min(1.0, t / 0.08) * std::max(0.0, 1.0 - t / length));
        return env * growl * (tone.Process(saws) + 0.3f * breath.Process(noise.Next()));
    });
    Finish(a);
}

void OgreCharge(const SoundContext& c, Audio& a)
{
    // Stomping feet under a rising roar.
    Oscillator square, r1, r2(0.5), stomp;
    WhiteNoise noise(c.seed);
    Biquad low, roarTone, dirt;
    low.LowPass(500, 0.7);
    dirt.LowPass(900, 0.7);
    const double length = c.spec.seconds;
    const double beat = 0.16;
    Render(a, length, [&](double t) {
        const double since = std::fmod(t, beat);
        const float stomps = (stomp.Sine(60) + dirt.Process(noise.Next())) * Decay(since, 0.04);
        roarTone.LowPass(500 + 700 * t / length, 0.8);
        const double f = 90 + 20 * t / length;
        const float roar = roarTone.Process(r1.Saw(f) + r2.Saw(f * 1.01)) * float(std::min(1.0, t / 0.3));
        const float base = low.Process(square.Pulse(55 + 10 * t));
        return Tail(t, length, 0.2) * (0.8f * stomps + 0.6f * roar + 0.4f * base);
    });
    Finish(a);
}

void TauntLaugh(const SoundContext& c, Audio& a)
{
    // "Ha-ha-ha-ha-ha": breathy onsets, then voiced "a" pulses, each a little lower.
    Oscillator glottis;
    FormantFilter mouth;
    WhiteNoise noise(c.seed);
    const double length = c.spec.seconds;
    const double period = 0.18, pulse = 0.13;
    Render(a, length, [&](double t) {
        const double s = t - 0.02;
        if (s < 0.0) return 0.0f;
        const int k = int(s / period);
        const double in = s - k * period;
        if (k >= 5 || in > pulse) return 0.0f;
        const double f = (240.0 - 15.0 * k) * (1.0 - 0.15 * in / pulse);
        const float breath = noise.Next() * Decay(in, 0.02);
        const float voiced = in > 0.02 ? glottis.Saw(f) : 0.0f;
        const float env = float(std::sin(kPi * in / pulse)) * (1.0f - 0.1f * k);
        return env * mouth.Process(voiced + 0.6f * breath, kVowelA, 5.0);
    });
    Finish(a);
}

void SandExplode(const SoundContext& c, Audio& a)
{
    // A burst whose brightness falls away, a low boom, and sand pattering after it.
    WhiteNoise noise(c.seed), grains(c.seed ^ 0x5A4Du);
    Biquad burst, patter;
    patter.HighPass(2000, 0.7);
    Oscillator boom;
    const double length = c.spec.seconds;
    Render(a, length, [&](double t) {
        burst.LowPass(Glide(9000, 150, t, length * 0.9), 0.7);
        const float blast = burst.Process(noise.Next()) * AttackDecay(t, 0.004, 0.25);
        const float low = boom.Sine(Glide(70, 35, t, 0.5)) * Decay(t, 0.2);
        const float density = 0.97f + 0.029f * float(t / length);
        const float grain = grains.Uniform() > density ? grains.Next() : 0.0f;
        return blast + 0.8f * low + 0.5f * patter.Process(grain) * Decay(t, 0.4);
    });
    Finish(a);
}

void Ricochet(const SoundContext& c, Audio& a)
{
    Oscillator ping, overtone;
    WhiteNoise noise(c.seed);
    Biquad click;
    click.HighPass(2500, 0.7);
    Render(a, c.spec.seconds, [&](double t) {
        const double f = Glide(3200, 1100, t, 0.35);
        const float tone = ping.Sine(f) + 0.3f * overtone.Sine(f * 2.01);
        return tone * AttackDecay(t, 0.002, 0.12) + 0.5f * click.Process(noise.Next()) * Decay(t, 0.004);
    });
    Finish(a);
}

// ---- pickups, player and world ------------------------------------------------------------

void CoinGet(const SoundContext& c, Audio& a)
{
    Oscillator n1a, n1b, n1c, n2a, n2b, n2c;
    const double f1 = MidiToHz(83), f2 = MidiToHz(88);  // B5 then E6
    Render(a, c.spec.seconds, [&](double t) {
        const float first = n1a.Sine(f1) + 0.3f * n1b.Sine(2 * f1) + 0.1f * n1c.Sine(3 * f1);
        const float second = n2a.Sine(f2) + 0.3f * n2b.Sine(2 * f2) + 0.1f * n2c.Sine(3 * f2);
        return 0.7f * first * AttackDecay(t, 0.003, 0.06) + second * AttackDecay(t - 0.07, 0.003, 0.09);
    });
    Finish(a);
}

void OrbCollect(const SoundContext& c, Audio& a)
{
    // A bell with trembling partials and a sparkle running up over it.
    constexpr double ratios[] = {1.0, 2.0, 2.76, 5.4, 8.93};
    constexpr float amps[] = {1.0f, 0.5f, 0.4f, 0.25f, 0.15f};
    constexpr double decays[] = {0.6, 0.4, 0.3, 0.2, 0.12};
    constexpr int sparkle[] = {81, 85, 88, 93, 97};
    Oscillator bell[5], spark[5];
    Render(a, c.spec.seconds, [&](double t) {
        float v = 0.0f;
        for (int p = 0; p < 5; ++p) v += amps[p] * bell[p].Sine(880.0 * ratios[p]) * AttackDecay(t, 0.004, decays[p]);
        v *= 1.0f + 0.3f * float(std::sin(kTwoPi * 12.0 * t));
        for (int n = 0; n < 5; ++n)
            v += 0.35f * spark[n].Sine(MidiToHz(sparkle[n])) * AttackDecay(t - 0.06 * n, 0.003, 0.15);
        return v;
    });
    Finish(a);
}

void PlayerHit(const SoundContext& c, Audio& a)
{
    WhiteNoise noise(c.seed);
    Biquad body, crack;
    body.LowPass(900, 0.7);
    crack.BandPass(3000, 2.0);
    Oscillator thump;
    Render(a, c.spec.seconds, [&](double t) {
        const float n = noise.Next();
        return body.Process(n) * Decay(t, 0.04) + thump.Sine(Glide(90, 60, t, 0.2)) * Decay(t, 0.07) +
               0.4f * crack.Process(n) * Decay(t, 0.006);
    });
    Finish(a);
}

void PlayerDeath(const SoundContext& c, Audio& a)
{
    Oscillator tri, pulse;
    Biquad soft;
    soft.LowPass(2500, 0.7);
    const double length = c.spec.seconds;
    Render(a, length, [&](double t) {
        const double f = Glide(660, 110, t, length * 0.93) * (1.0 + 0.02 * std::sin(kTwoPi * 6.0 * t));
        const float env = float(std::min(1.0, t / 0.02) * std::pow(std::max(0.0, 1.0 - t / length), 0.7));
        return env * soft.Process(tri.Triangle(f) + 0.35f * pulse.Pulse(f));
    });
    Finish(a);
}

void PlayerWarp(const SoundContext& c, Audio& a)
{
    // A rising buzz through a sweeping phaser: four first-order all-passes mixed with the dry.
    Oscillator saw, shimmer;
    WhiteNoise noise(c.seed);
    float x1[4] = {}, y1[4] = {};
    const double length = c.spec.seconds;
    Render(a, length, [&](double t) {
        const double f = Glide(110, 440, t, length);
        const float dry = saw.Saw(f) + 0.3f * noise.Next();
        const double centre = 300.0 * std::pow(10.0, 0.5 + 0.5 * std::sin(kTwoPi * 0.7 * t - kPi / 2));
        const double k = std::tan(kPi * centre / kSampleRate);
        const float g = float((k - 1.0) / (k + 1.0));
        float wet = dry;
        for (int s = 0; s < 4; ++s) {
            const float y = g * wet + x1[s] - g * y1[s];
            x1[s] = wet;
            y1[s] = y;
            wet = y;
        }
        const float env = float(std::min(1.0, t / 0.4)) * Tail(t, length, 0.5);
        return env * (0.5f * (dry + wet) + 0.2f * shimmer.Sine(4.0 * f));
    });
    Finish(a);
}

void DoorOpen(const SoundContext& c, Audio& a)
{
    // Stone grinding on stone: rumbling noise, its level jostled by a slow random wobble.
    BrownNoise rumble(c.seed);
    WhiteNoise grit(c.seed ^ 0x6121u), wobble(c.seed ^ 0x77u);
    Biquad tone, scratch;
    tone.BandPass(350, 1.0);
    scratch.HighPass(2500, 0.7);
    OnePole smooth;
    smooth.SetCutoff(12.0);
    const double length = c.spec.seconds;
    Render(a, length, [&](double t) {
        const float grind = 0.6f + 0.4f * std::clamp(smooth.LowPass(wobble.Next()) * 8.0f, -1.0f, 1.0f);
        const float env = float(std::min(1.0, t / 0.1)) * Tail(t, length, 0.25);
        return env * grind * (tone.Process(rumble.Next()) + 0.15f * scratch.Process(grit.Next()));
    });
    Finish(a);
}

void DoorClose(const SoundContext& c, Audio& a)
{
    Oscillator thump;
    WhiteNoise noise(c.seed);
    BrownNoise rumble(c.seed ^ 0xD00Du);
    Biquad slam, tail;
    slam.LowPass(1500, 0.7);
    tail.LowPass(200, 0.7);
    Render(a, c.spec.seconds, [&](double t) {
        return thump.Sine(Glide(80, 40, t, 0.2)) * Decay(t, 0.1) +
               slam.Process(noise.Next()) * Decay(t, 0.02) +
               0.8f * tail.Process(rumble.Next()) * Decay(t, 0.25);
    });
    Finish(a);
}

void PowerUp(const SoundContext& c, Audio& a)
{
    constexpr int notes[] = {72, 76, 79, 84, 88, 91, 96};
    Oscillator voices[7];
    Biquad soft;
    soft.LowPass(6000, 0.7);
    Render(a, c.spec.seconds, [&](double t) {
        float v = 0.0f;
        for (int n = 0; n < 7; ++n) {
            const double start = 0.11 * n;
            if (t < start) break;
            v += voices[n].Pulse(MidiToHz(notes[n]) * (1.0 + 0.004 * std::sin(kTwoPi * 6.0 * t)), 0.25) *
                 AttackDecay(t - start, 0.005, 0.18);
        }
        return soft.Process(v);
    });
    Finish(a);
}

void OrbAltar(const SoundContext& c, Audio& a)
{
    // A ringing A major chord of bells.
    constexpr int chord[] = {57, 64, 69, 73, 76};
    constexpr double ratios[] = {0.5, 1.0, 2.0, 3.0, 4.2, 5.4};
    constexpr float amps[] = {0.4f, 1.0f, 0.5f, 0.3f, 0.2f, 0.12f};
    constexpr double decays[] = {1.2, 0.9, 0.6, 0.4, 0.3, 0.2};
    Oscillator partials[5][6];
    const double length = c.spec.seconds;
    Render(a, length, [&](double t) {
        float v = 0.0f;
        for (int n = 0; n < 5; ++n) {
            const double f = MidiToHz(chord[n]);
            const double start = 0.03 * n;
            for (int p = 0; p < 6; ++p)
                v += amps[p] * partials[n][p].Sine(f * ratios[p]) * AttackDecay(t - start, 0.005, decays[p]);
        }
        return v * Tail(t, length, 0.3);
    });
    Finish(a);
}

void PlayerJump(const SoundContext& c, Audio& a)
{
    Oscillator tri, pulse;
    Render(a, c.spec.seconds, [&](double t) {
        const double f = Glide(180, 620, t, 0.2);
        return (0.7f * tri.Triangle(f) + 0.2f * pulse.Pulse(f, 0.3)) * AttackDecay(t, 0.005, 0.07);
    });
    Finish(a);
}

void Fireball(const SoundContext& c, Audio& a)
{
    // Short enough to end before the next shot at the quickest fire rate.
    WhiteNoise noise(c.seed);
    Biquad sweep;
    Oscillator whump;
    const double length = c.spec.seconds;
    Render(a, length, [&](double t) {
        sweep.BandPass(700 + 1900 * std::sin(kPi * t / length), 2.0);
        return sweep.Process(noise.Next()) * AttackDecay(t, 0.03, 0.07) +
               0.4f * whump.Sine(120) * Decay(t, 0.05);
    });
    Finish(a);
}

void SwordSwing(const SoundContext& c, Audio& a)
{
    WhiteNoise noise(c.seed);
    Biquad sweep;
    const double length = c.spec.seconds;
    Render(a, length, [&](double t) {
        const double s = std::sin(kPi * t / length);
        sweep.BandPass(1200 + 4000 * s * s, 3.0);
        return sweep.Process(noise.Next()) * float(s * s);
    });
    Finish(a);
}

void LoseJingle(const SoundContext& c, Audio& a)
{
    // E5 C5 A4 F4, then a long E4 over an A minor chord.
    struct Note {
        int midi;
        double start, length;
    };
    constexpr Note melody[] = {{76, 0.00, 0.28}, {72, 0.30, 0.28}, {69, 0.60, 0.28}, {65, 0.90, 0.38}, {64, 1.30, 1.2}};
    constexpr int chord[] = {45, 57, 60, 64};
    Oscillator lead[5], leadPulse[5], pad[4];
    Biquad soft;
    soft.LowPass(3000, 0.7);
    const double length = c.spec.seconds;
    Render(a, length, [&](double t) {
        float v = 0.0f;
        for (int n = 0; n < 5; ++n) {
            const Note& m = melody[n];
            const double in = t - m.start;
            if (in < 0.0 || in > m.length + 0.1) continue;
            const double vibrato = n == 4 ? 0.012 * std::min(1.0, in / 0.4) * std::sin(kTwoPi * 5.5 * in) : 0.0;
            const double f = MidiToHz(m.midi) * (1.0 + vibrato);
            const float env = float(std::min(1.0, in / 0.01) * std::clamp((m.length + 0.1 - in) / 0.1, 0.0, 1.0));
            v += env * (lead[n].Triangle(f) + 0.25f * leadPulse[n].Pulse(f, 0.3));
        }
        const double in = t - 1.3;
        if (in >= 0.0) {
            const float env = float(std::min(1.0, in / 0.15)) * Tail(t, length, 0.6);
            for (int n = 0; n < 4; ++n) v += 0.25f * env * pad[n].Triangle(MidiToHz(chord[n]));
        }
        return soft.Process(v);
    });
    Finish(a);
}

using EffectFn = void (*)(const SoundContext&, Audio&);

SoundMakerEntry Entry(const char* path, EffectFn fn)
{
    return {path, [fn](const SoundContext& c, Audio& a, std::string&) {
                fn(c, a);
                return true;
            }};
}

}  // namespace

std::vector<SoundMakerEntry> EffectMakers()
{
    return {
        Entry("audio/SFX_SMagician_Hit.wav", MagicianHit),
        Entry("audio/SFX_SMagician_Death.wav", MagicianDeath),
        Entry("audio/SFX_Skull_Hit.wav", SkullHit),
        Entry("audio/SFX_Skull_Death.wav", SkullDeath),
        Entry("audio/kangahit.wav", KangaHit),
        Entry("audio/kangadeath.wav", KangaDeath),
        Entry("audio/kangashoot.wav", FireWhoosh),
        Entry("audio/SFX_Ogre_Hit.wav", OgreHit),
        Entry("audio/SFX_Ogre_Death.wav", OgreDeath),
        Entry("audio/SFX_Ogre_Charge.wav", OgreCharge),
        Entry("audio/SFX_Tauntlaugh.ogg", TauntLaugh),
        Entry("audio/SFX_SandExplode.ogg", SandExplode),
        Entry("audio/SFX_Ricochet.ogg", Ricochet),
        Entry("audio/coin_get.wav", CoinGet),
        Entry("audio/SFX_Orb_Collect.wav", OrbCollect),
        Entry("audio/SFX_Player_Hit.wav", PlayerHit),
        Entry("audio/SFX_Player_Death.wav", PlayerDeath),
        Entry("audio/SFX_Player_Warp.wav", PlayerWarp),
        Entry("audio/SFX_Door_Open.wav", DoorOpen),
        Entry("audio/SFX_Door_Close.wav", DoorClose),
        Entry("audio/SFX_Power_Up.wav", PowerUp),
        Entry("audio/SFX_Orb_Altar.wav", OrbAltar),
        Entry("audio/SFX_Player_Jump.wav", PlayerJump),
        Entry("audio/SFX_Fireball.wav", Fireball),
        Entry("audio/SFX_Sword_Swing.wav", SwordSwing),
        Entry("audio/Lose.wav", LoseJingle),
    };
}

}  // namespace assetgen
