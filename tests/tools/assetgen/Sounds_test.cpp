// What the sound part of the asset generator promises the game: every effect, voice line and
// music track the game loads is there and opens in the sound layer, mono where it can be placed
// in 3D, audible and of the length its moment allows; music loops without a click; the sound
// editor's "audio/audio.json" has the editor's form; and a second run writes the same bytes.
#include "assetgen/SoundGenerator.h"
#include "platform/fmod/SoundData.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <rapidjson/document.h>
#include <sndfile.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <set>

namespace fs = std::filesystem;
using namespace assetgen;

namespace {

const fs::path kRuntimeDir = ZT_RUNTIME_DIR;

using zttest::ReadBytes;

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The sounds to check: the build's runtime folder once the build writes them there, otherwise
// one fresh run per test process.
const fs::path& SoundTree()
{
    static const fs::path tree = [] {
        if (fs::exists(kRuntimeDir / "audio/audio.json")) return kRuntimeDir;
        const fs::path out = zttest::MakeTempDir("sounds-tree");
        const auto start = std::chrono::steady_clock::now();
        const Result r = GenerateSounds(DefaultOptions(out));
        std::printf("generated %zu sounds in %.1f s\n", Sounds().size(), SecondsSince(start));
        for (const std::string& e : r.errors) ADD_FAILURE() << e;
        // Made before the exit handler is registered, so it is still there when that runs.
        static const fs::path made = out;
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(made, ec);
        });
        return out;
    }();
    return tree;
}

struct DecodedSound {
    bool ok = false;
    int format = 0, channels = 0, rate = 0;
    std::vector<float> samples;  // interleaved
    size_t Frames() const { return channels ? samples.size() / size_t(channels) : 0; }
};

DecodedSound DecodeSound(const fs::path& file)
{
    DecodedSound d;
    SF_INFO info{};
    SNDFILE* in = sf_open(file.string().c_str(), SFM_READ, &info);
    if (!in) return d;
    d.format = info.format;
    d.channels = info.channels;
    d.rate = info.samplerate;
    d.samples.resize(size_t(info.frames) * size_t(info.channels));
    const sf_count_t got = sf_readf_float(in, d.samples.data(), info.frames);
    sf_close(in);
    d.ok = got == info.frames;
    return d;
}

double Rms(const std::vector<float>& s, size_t from, size_t count)
{
    double sum = 0.0;
    for (size_t i = from; i < from + count && i < s.size(); ++i) sum += double(s[i]) * s[i];
    return std::sqrt(sum / double(std::max<size_t>(count, 1)));
}

// How a loop joins itself: the step from its last frame back to its first, against the
// largest step within 10 ms on either side; and the level of its first and last half second.
struct Join {
    double step = 0.0, nearby = 0.0;
    double headRms = 0.0, tailRms = 0.0;
};

Join MeasureJoin(const DecodedSound& d)
{
    Join j;
    const size_t n = d.Frames(), c = size_t(d.channels), window = 441, level = 22050;
    for (size_t ch = 0; ch < c; ++ch) {
        auto at = [&](size_t f) { return double(d.samples[(f % n) * c + ch]); };
        j.step = std::max(j.step, std::fabs(at(0) - at(n - 1)));
        for (size_t k = 1; k < window; ++k) {
            j.nearby = std::max(j.nearby, std::fabs(at(k) - at(k - 1)));
            j.nearby = std::max(j.nearby, std::fabs(at(n - k) - at(n - k - 1)));
        }
    }
    j.headRms = Rms(d.samples, 0, level * c);
    j.tailRms = Rms(d.samples, d.samples.size() - level * c, level * c);
    return j;
}

bool JoinsCleanly(const Join& j)
{
    const double ratio = j.headRms / std::max(j.tailRms, 1e-9);
    return j.step <= 1.5 * j.nearby + 0.01 && ratio > 0.5 && ratio < 2.0;
}

// Every file the game opens below "./audio/", as its systems spell them: the sound-effect
// system's table, the weapon's two sounds, the lose jingle, the intro's and the boss's voice
// lines, and the music system's tracks.
const char* const kGameFiles[] = {
    "SFX_SMagician_Hit.wav", "SFX_SMagician_Death.wav", "SFX_Skull_Hit.wav", "SFX_Skull_Death.wav",
    "kangahit.wav", "kangadeath.wav", "kangashoot.wav", "SFX_Ogre_Hit.wav", "SFX_Ogre_Death.wav",
    "SFX_Ogre_Charge.wav", "coin_get.wav", "SFX_Orb_Collect.wav", "SFX_Player_Hit.wav", "SFX_Player_Death.wav",
    "SFX_Player_Warp.wav", "SFX_Door_Open.wav", "SFX_Door_Close.wav", "SFX_Power_Up.wav", "SFX_Orb_Altar.wav",
    "SFX_Tauntlaugh.ogg", "SFX_SandExplode.ogg", "SFX_Ricochet.ogg", "SFX_Player_Jump.wav",
    "SFX_Drev_cantdothat.wav", "SFX_Drev_ezgaem.wav", "SFX_Drev_gobackliaoah.wav", "SFX_Drev_notenuffgold.wav",
    "SFX_Drev_painpainpain.wav", "SFX_Drev_pew_1.wav", "SFX_Drev_strongerliao.wav",
    "SFX_Drev_grelvokvoskdungeon.wav", "SFX_Drev_washiokah.wav", "SFX_Drev_wayoutrickme.wav",
    "SFX_Drev_whereami.wav",
    "SFX_Sword_Swing.wav", "SFX_Fireball.wav", "Lose.wav",
    "voiceoversounds/voiceoverfinal/boss/chillwasimortesh.wav",
    "voiceoversounds/voiceoverfinal/boss/chillwelcometovosk.wav", "voiceoversounds/voiceoverfinal/boss/bringorbs.wav",
    "voiceoversounds/voiceoverfinal/boss/thenyoucanzao.wav", "voiceoversounds/voiceoverfinal/boss/angishere.wav",
    "voiceoversounds/voiceoverfinal/boss/greenishere.wav", "voiceoversounds/voiceoverfinal/boss/bluishere.wav",
    "voiceoversounds/voiceoverfinal/drev/goahdrev-lengthened.wav",
    "voiceoversounds/voiceoverfinal/boss/oioicomehere.wav", "voiceoversounds/voiceoverfinal/boss/sellugoodstuff.wav",
    "voiceoversounds/voiceoverfinal/boss/dunanyhowshoot.wav", "voiceoversounds/voiceoverfinal/boss/keshahdrev.wav",
    "bgm/battle0.ogg", "bgm/battle1.ogg", "bgm/battle2.ogg", "bgm/theoverworld.ogg", "bgm/incave.ogg",
    "bgm/boss_fight1.ogg", "bgm/boss_fight2.ogg", "bgm/boss_fight3.ogg", "bgm/finalboss.ogg",
};

}  // namespace

// ---- the inventory ------------------------------------------------------------------------

TEST(SoundInventory, ListsEveryFileTheGameOpensAndNothingElse)
{
    std::set<std::string> listed;
    for (const SoundSpec& s : Sounds()) {
        EXPECT_TRUE(listed.insert(s.path).second) << s.path << " listed twice";
        EXPECT_LE(s.minSeconds, s.maxSeconds) << s.path;
    }
    std::set<std::string> game;
    for (const char* file : kGameFiles) {
        const std::string path = std::string(kAudioFolder) + file;
        game.insert(path);
        const SoundSpec* spec = FindSound(path);
        ASSERT_NE(spec, nullptr) << path << " is loaded by the game but not made";
        EXPECT_EQ(spec->kind == SoundKind::Music, path.rfind("audio/bgm/", 0) == 0) << path;
    }
    EXPECT_EQ(listed, game);

    // The player's shot sound repeats every 0.4 s at the slowest; the intro's lines must end
    // before the cinematic's next line starts.
    struct Bound {
        const char* path;
        float maxSeconds;
    };
    for (const Bound& b : {Bound{"audio/SFX_Fireball.wav", 0.3f},
                           Bound{"audio/voiceoversounds/voiceoverfinal/boss/chillwasimortesh.wav", 2.0f},
                           Bound{"audio/voiceoversounds/voiceoverfinal/boss/bringorbs.wav", 5.0f},
                           Bound{"audio/voiceoversounds/voiceoverfinal/drev/goahdrev-lengthened.wav", 3.0f},
                           Bound{"audio/SFX_Drev_gobackliaoah.wav", 3.0f}})
        EXPECT_LE(FindSound(b.path)->maxSeconds, b.maxSeconds) << b.path;
}

// ---- the generated files ------------------------------------------------------------------

TEST(GeneratedSounds, EveryFileOpensInTheSoundLayerAudibleAndWithinItsLength)
{
    const fs::path& tree = SoundTree();
    for (const SoundSpec& s : Sounds()) {
        SCOPED_TRACE(s.path);
        const fs::path file = tree / s.path;
        ASSERT_TRUE(fs::exists(file)) << "a missing sound plays nothing";
        const bool music = s.kind == SoundKind::Music;

        // The game's own loader: effects decoded whole, music streamed.
        ztplatform::fmod::SoundData* raw = nullptr;
        ASSERT_EQ(ztplatform::fmod::SoundData::Open(file.string(), music, &raw), ztplatform::fmod::FMOD_OK);
        std::unique_ptr<ztplatform::fmod::SoundData> data(raw);

        const DecodedSound d = DecodeSound(file);
        ASSERT_TRUE(d.ok);
        const bool ogg = file.extension() == ".ogg";
        EXPECT_EQ(d.format, ogg ? (SF_FORMAT_OGG | SF_FORMAT_VORBIS) : (SF_FORMAT_WAV | SF_FORMAT_PCM_16));
        EXPECT_EQ(d.rate, kSampleRate);
        EXPECT_EQ(data->sampleRate, kSampleRate);
        // Every sound is loaded as a 3D sound; only a mono one can be placed.
        EXPECT_EQ(d.channels, music ? 2 : 1);
        EXPECT_EQ(data->frames, int64_t(d.Frames()));

        const double seconds = double(d.Frames()) / d.rate;
        EXPECT_GE(seconds, s.minSeconds);
        EXPECT_LE(seconds, s.maxSeconds);
        float peak = 0.0f;
        for (float v : d.samples) peak = std::max(peak, std::fabs(v));
        // Effects are levelled by loudness, so a smooth one peaks lower than a spiky one.
        EXPECT_GT(peak, s.kind == SoundKind::Effect ? 0.35f : 0.5f) << "too quiet";
        EXPECT_LE(peak, 1.0f);
        EXPECT_GT(Rms(d.samples, 0, d.samples.size()), music ? 0.05 : 0.02) << "mostly silence";
    }
}

// The loudest 50 ms of a sound as RMS, in dB below full scale.
static double LoudestDb(const DecodedSound& d)
{
    const size_t window = size_t(d.rate) / 20 * size_t(d.channels), hop = size_t(d.rate) / 100 * size_t(d.channels);
    double best = 0.0;
    for (size_t from = 0; from + window <= d.samples.size(); from += hop) best = std::max(best, Rms(d.samples, from, window));
    return 20.0 * std::log10(std::max(best, 1e-9));
}

TEST(GeneratedSounds, EffectsAreEquallyLoudAndHitsHaveBody)
{
    const fs::path& tree = SoundTree();
    // The hits play one after another in a fight: none may stand out or vanish.
    const char* const hits[] = {"audio/SFX_SMagician_Hit.wav", "audio/SFX_Skull_Hit.wav", "audio/kangahit.wav",
                                "audio/SFX_Ogre_Hit.wav", "audio/SFX_Player_Hit.wav"};
    double lo = 0.0, hi = -200.0;
    for (const char* path : hits) {
        const DecodedSound d = DecodeSound(tree / path);
        ASSERT_TRUE(d.ok) << path;
        const double db = LoudestDb(d);
        std::printf("%s: %.1f dB\n", path, db);
        lo = std::min(lo, db), hi = std::max(hi, db);

        // Body: a fair share of the hit's energy below 300 Hz (two one-pole low-passes).
        const double k = 1.0 - std::exp(-2.0 * 3.14159265 * 300.0 / d.rate);
        double a = 0.0, b = 0.0, low = 0.0, all = 0.0;
        for (float v : d.samples) {
            a += k * (v - a), b += k * (a - b);
            low += b * b, all += double(v) * v;
        }
        EXPECT_GT(low / all, 0.1) << path << " is all click and no body";
    }
    EXPECT_LT(hi - lo, 3.0) << "hits differ in loudness";
    // And every other effect within a few dB of them.
    for (const SoundSpec& s : Sounds()) {
        if (s.kind != SoundKind::Effect) continue;
        const DecodedSound d = DecodeSound(tree / s.path);
        ASSERT_TRUE(d.ok) << s.path;
        const double db = LoudestDb(d);
        EXPECT_GT(db, lo - 3.0) << s.path;
        EXPECT_LT(db, hi + 3.0) << s.path;
    }
}

// Per bar of a track: the RMS of its low band (below 150 Hz) in each sixteenth.
struct MusicBarMeasures {
    std::vector<std::array<double, 16>> lowSteps;
};

static MusicBarMeasures MeasureBars(const DecodedSound& d, const MusicShape& shape)
{
    MusicBarMeasures b;
    const double k = 1.0 - std::exp(-2.0 * 3.14159265 * 150.0 / d.rate);
    std::vector<double> low(d.Frames());
    double y1 = 0.0, y2 = 0.0;
    for (int pass = 0; pass < 2; ++pass)  // round the loop twice: the filter starts settled
        for (size_t f = 0; f < d.Frames(); ++f) {
            const double x = 0.5 * (d.samples[2 * f] + d.samples[2 * f + 1]);
            y1 += k * (x - y1), y2 += k * (y1 - y2);
            low[f] = y2;
        }
    const double barFrames = shape.BarSeconds() * d.rate;
    for (int bar = 0; bar < shape.Bars(); ++bar) {
        const size_t from = size_t(bar * barFrames);
        std::array<double, 16> steps{};
        for (int s = 0; s < 16; ++s) {
            const size_t a = from + size_t(s * barFrames / 16), e = from + size_t((s + 1) * barFrames / 16);
            double sum = 0.0;
            for (size_t f = a; f < e && f < low.size(); ++f) sum += low[f] * low[f];
            steps[size_t(s)] = std::sqrt(sum / double(e - a));
        }
        b.lowSteps.push_back(steps);
    }
    return b;
}

TEST(GeneratedSounds, MusicIsAMinuteOfWholeBarsInSections)
{
    const fs::path& tree = SoundTree();
    std::map<std::string, std::array<double, 16>> beats;  // battle tracks: their main theme's low beat
    for (const MusicShape& shape : MusicShapes()) {
        SCOPED_TRACE(shape.path);
        const DecodedSound d = DecodeSound(tree / shape.path);
        ASSERT_TRUE(d.ok);
        ASSERT_EQ(d.channels, 2);
        const double seconds = double(d.Frames()) / d.rate;
        EXPECT_GE(seconds, 60.0);
        // Whole bars: the loop is exactly as long as its bars, to the frame.
        EXPECT_NEAR(double(d.Frames()), shape.Bars() * shape.BarSeconds() * d.rate, 1.0);
        EXPECT_GE(std::set<char>(shape.form.begin(), shape.form.end()).size(), 2u) << "one section only";

        const MusicBarMeasures bars = MeasureBars(d, shape);
        // A breakdown drops the beat: the low band (kick and bass) falls well below the theme's.
        std::map<char, double> low;
        std::map<char, int> counts;
        for (int bar = 0; bar < shape.Bars(); ++bar) {
            const char section = shape.form[size_t(bar / 4)];
            for (double v : bars.lowSteps[size_t(bar)]) low[section] += v / 16.0;
            ++counts[section];
        }
        for (auto& [section, sum] : low) sum /= counts[section];
        if (low.count('D')) {
            const double drop = 20.0 * std::log10(low['D'] / low['A']);
            std::printf("%s: breakdown low band %.1f dB\n", shape.path.c_str(), drop);
            EXPECT_LT(drop, -4.0) << "the breakdown keeps the beat";
        }

        if (shape.path.find("battle") != std::string::npos) {
            std::array<double, 16> beat{};
            for (int bar = 0; bar < shape.Bars(); ++bar)
                if (shape.form[size_t(bar / 4)] == 'A')
                    for (int s = 0; s < 16; ++s) beat[size_t(s)] += bars.lowSteps[size_t(bar)][size_t(s)];
            beats[shape.path] = beat;
        }
    }
    // The battles each have their own beat: their low-band patterns over a bar do not match.
    ASSERT_EQ(beats.size(), 3u);
    auto correlation = [](const std::array<double, 16>& a, const std::array<double, 16>& b) {
        double ma = 0, mb = 0;
        for (int i = 0; i < 16; ++i) ma += a[size_t(i)] / 16, mb += b[size_t(i)] / 16;
        double ab = 0, aa = 0, bb = 0;
        for (int i = 0; i < 16; ++i) {
            const double x = a[size_t(i)] - ma, y = b[size_t(i)] - mb;
            ab += x * y, aa += x * x, bb += y * y;
        }
        return ab / std::sqrt(aa * bb + 1e-30);
    };
    for (auto i = beats.begin(); i != beats.end(); ++i)
        for (auto j = std::next(i); j != beats.end(); ++j) {
            const double r = correlation(i->second, j->second);
            std::printf("%s vs %s: beat correlation %.2f\n", i->first.c_str(), j->first.c_str(), r);
            EXPECT_LT(r, 0.8) << i->first << " and " << j->first << " share a beat";
        }
}

TEST(GeneratedSounds, MusicJoinsItsStartWithoutAClick)
{
    for (const SoundSpec& s : Sounds()) {
        if (s.kind != SoundKind::Music) continue;
        SCOPED_TRACE(s.path);
        const DecodedSound d = DecodeSound(SoundTree() / s.path);
        ASSERT_TRUE(d.ok);
        const Join j = MeasureJoin(d);
        std::printf("%-28s join step %.4f (nearby %.4f), level %.3f -> %.3f\n", s.path, j.step, j.nearby,
                    j.tailRms, j.headRms);
        EXPECT_TRUE(JoinsCleanly(j)) << "step " << j.step << " nearby " << j.nearby << " head " << j.headRms
                                     << " tail " << j.tailRms;
    }
}

TEST(GeneratedSounds, TheJoinCheckCatchesACutAndAFade)
{
    // A tone cut off mid-cycle clicks at the join; a tune that fades away restarts loud.
    DecodedSound cut;
    cut.ok = true;
    cut.channels = 1;
    cut.rate = kSampleRate;
    Oscillator tone;
    for (size_t i = 0; i < FramesFor(2.013); ++i) cut.samples.push_back(0.8f * tone.Sine(440.0));
    EXPECT_FALSE(JoinsCleanly(MeasureJoin(cut)));

    DecodedSound whole = cut;
    whole.samples.resize(FramesFor(2.0));  // exactly 880 cycles
    EXPECT_TRUE(JoinsCleanly(MeasureJoin(whole)));

    DecodedSound fading = whole;
    for (size_t i = 0; i < fading.samples.size(); ++i)
        fading.samples[i] *= 1.0f - float(i) / float(fading.samples.size());
    EXPECT_FALSE(JoinsCleanly(MeasureJoin(fading)));
}

TEST(GeneratedSounds, RegistryHasTheSoundEditorsForm)
{
    const std::string text = ReadBytes(SoundTree() / "audio/audio.json");
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text, SoundRegistryJson());
    // Compact: no white space anywhere, not even a closing line break.
    EXPECT_EQ(text.find_first_of(" \t\r\n"), std::string::npos);

    rapidjson::Document doc;
    doc.Parse(text.c_str(), text.size());
    ASSERT_FALSE(doc.HasParseError());
    ASSERT_TRUE(doc.IsArray());
    size_t sounds = 0, music = 0;
    std::string lastSound, lastMusic;
    for (const auto& e : doc.GetArray()) {
        ASSERT_TRUE(e.IsObject());
        ASSERT_EQ(e.MemberCount(), 2u);
        const auto first = e.MemberBegin();
        const std::string key = first->name.GetString(), name = first->value.GetString();
        const auto second = first + 1;
        ASSERT_STREQ(second->name.GetString(), "FileName");
        const std::string file = second->value.GetString();
        SCOPED_TRACE(file);
        const SoundSpec* spec = FindSound(std::string(kAudioFolder) + file);
        ASSERT_NE(spec, nullptr) << "names a file that is not made";
        EXPECT_EQ(name, RegistryName(file));
        if (key == "SoundName") {
            EXPECT_EQ(music, 0u) << "sounds come before music";
            EXPECT_NE(spec->kind, SoundKind::Music);
            EXPECT_LT(lastSound, name) << "sounds in byte order of their names";
            lastSound = name;
            ++sounds;
        } else {
            ASSERT_EQ(key, "BGMName");
            EXPECT_EQ(spec->kind, SoundKind::Music);
            EXPECT_LT(lastMusic, name);
            lastMusic = name;
            ++music;
        }
    }
    EXPECT_EQ(sounds + music, Sounds().size());
    EXPECT_EQ(music, 9u);
    // Byte order puts upper case first: "SFX_..." and "Lose" before "coin_get".
    EXPECT_LT(text.find("\"SoundName\":\"SFX_Door_Close\""), text.find("\"SoundName\":\"coin_get\""));
}

// ---- running the generator ----------------------------------------------------------------

TEST(SoundGenerator, SecondRunWritesTheSameBytesQuickly)
{
    const fs::path& first = SoundTree();
    const fs::path out = zttest::MakeTempDir("sounds-rerun");
    const auto start = std::chrono::steady_clock::now();
    const Result r = GenerateSounds(DefaultOptions(out));
    const double seconds = SecondsSince(start);
    ASSERT_TRUE(r.Ok()) << r.errors.front();
    std::printf("generated %zu sounds in %.1f s\n", Sounds().size(), seconds);
    // A guard against a runaway generator, not a benchmark (see the build's own timing line).
    EXPECT_LT(seconds, 300.0);
    for (const SoundSpec& s : Sounds())
        EXPECT_TRUE(ReadBytes(out / s.path) == ReadBytes(first / s.path)) << s.path << " differs between runs";
    EXPECT_EQ(ReadBytes(out / "audio/audio.json"), ReadBytes(first / "audio/audio.json"));
    fs::remove_all(out);
}

TEST(SoundGenerator, OggStreamsCarryAFixedSerial)
{
    // libsndfile draws a new serial number for every stream it writes.
    Audio tone;
    Oscillator osc;
    for (size_t i = 0; i < FramesFor(0.5); ++i) tone.samples.push_back(0.5f * osc.Sine(330.0));
    std::string a, b, error;
    ASSERT_TRUE(EncodeAudio(tone, AudioFormat::OggVorbis, 0.3, 0x1234ABCDu, a, error)) << error;
    ASSERT_TRUE(EncodeAudio(tone, AudioFormat::OggVorbis, 0.3, 0x1234ABCDu, b, error)) << error;
    EXPECT_TRUE(a == b);
    ASSERT_GT(a.size(), 27u);
    EXPECT_EQ(a.substr(14, 4), std::string("\xCD\xAB\x34\x12", 4));

    // The page checksums still hold: the decoder drops pages whose checksum is wrong.
    const fs::path dir = zttest::MakeTempDir("sounds-ogg");
    ASSERT_TRUE(WriteFileBytes(dir / "tone.ogg", a, error)) << error;
    const DecodedSound d = DecodeSound(dir / "tone.ogg");
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.Frames(), tone.Frames());

    std::string notOgg = "RIFF0000WAVE";
    EXPECT_FALSE(SetOggSerial(notOgg, 1));
    fs::remove_all(dir);
}

TEST(SoundGenerator, NamesTheMissingSpeechEngine)
{
    // With nothing on the search path the voice lines cannot be spoken; each one says why.
    const char* oldPath = std::getenv("PATH");
    const std::string saved = oldPath ? oldPath : "";
    const fs::path empty = zttest::MakeTempDir("sounds-no-path");
    setenv("PATH", empty.c_str(), 1);
    std::vector<SoundMakerEntry> voices = VoiceMakers();
    ASSERT_FALSE(voices.empty());
    Audio audio;
    std::string error;
    const bool made = voices.front().make(SoundContext{*FindSound(voices.front().path), 1u}, audio, error);
    setenv("PATH", saved.c_str(), 1);
    EXPECT_FALSE(made);
    EXPECT_NE(error.find("espeak-ng"), std::string::npos) << error;
    EXPECT_NE(error.find("install-deps"), std::string::npos) << error;
    fs::remove_all(empty);
}
