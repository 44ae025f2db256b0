// The spoken lines: the player Drev's quips and the quest giver Mor Tesh's intro, greetings and
// last words, spoken by espeak-ng with a fixed voice, pitch and speed (so every run writes the
// same bytes), trimmed of silence, brought to 44.1 kHz and to a common peak. A line that must
// end before the next line of its scene is spoken faster until it fits.
#include "assetgen/SoundGenerator.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <vector>

extern char** environ;

namespace assetgen {
namespace {

constexpr const char* kSpeechProgram = "espeak-ng";

struct Speaker {
    const char* voice;
    int pitch;  // espeak-ng's 0..99
    int speed;  // words per minute to start from
};

// Drev is young and quick; Mor Tesh is older, deeper and unhurried.
constexpr Speaker kDrev{"en-us+m1", 58, 170};
constexpr Speaker kMorTesh{"en+m3", 32, 160};

constexpr int kFastestSpeed = 360;
constexpr int kSpeedStep = 15;

struct VoiceLine {
    const char* path;
    const Speaker* speaker;
    const char* text;  // spelled for the speech engine: Singlish words as they sound
};

const VoiceLine kLines[] = {
    {"audio/SFX_Drev_cantdothat.wav", &kDrev, "Can't do that."},
    {"audio/SFX_Drev_ezgaem.wav", &kDrev, "Easy game."},
    {"audio/SFX_Drev_gobackliaoah.wav", &kDrev, "Wah wah wah, what's this? Go back, lee-ow ah?"},
    {"audio/SFX_Drev_notenuffgold.wav", &kDrev, "Not enough gold."},
    {"audio/SFX_Drev_painpainpain.wav", &kDrev, "Pain! Pain! Pain!"},
    {"audio/SFX_Drev_pew_1.wav", &kDrev, "Pew!"},
    {"audio/SFX_Drev_strongerliao.wav", &kDrev, "Stronger lee-ow!"},
    {"audio/SFX_Drev_grelvokvoskdungeon.wav", &kDrev, "Grelvok Vosk Dungeon!"},
    {"audio/SFX_Drev_washiokah.wav", &kDrev, "Wah, shee-ok ah!"},
    {"audio/SFX_Drev_wayoutrickme.wav", &kDrev, "Wah, you trick me!"},
    {"audio/SFX_Drev_whereami.wav", &kDrev, "Where am I?"},
    {"audio/voiceoversounds/voiceoverfinal/boss/chillwasimortesh.wav", &kMorTesh, "Hi there! I am Mor Tesh."},
    {"audio/voiceoversounds/voiceoverfinal/boss/chillwelcometovosk.wav", &kMorTesh, "Welcome to the realm of Vosk."},
    {"audio/voiceoversounds/voiceoverfinal/boss/bringorbs.wav", &kMorTesh,
     "Help me get the 3 orbs, and place them on that altar,"},
    {"audio/voiceoversounds/voiceoverfinal/boss/thenyoucanzao.wav", &kMorTesh, "then you will be able to leave."},
    {"audio/voiceoversounds/voiceoverfinal/boss/angishere.wav", &kMorTesh, "Ang is here, in the red dungeon."},
    {"audio/voiceoversounds/voiceoverfinal/boss/greenishere.wav", &kMorTesh, "Chay is here, in the green dungeon."},
    {"audio/voiceoversounds/voiceoverfinal/boss/bluishere.wav", &kMorTesh, "Lam is here, in the blue dungeon."},
    {"audio/voiceoversounds/voiceoverfinal/drev/goahdrev-lengthened.wav", &kMorTesh,
     "Now go, Ah Drev, free us from this place!"},
    {"audio/voiceoversounds/voiceoverfinal/boss/oioicomehere.wav", &kMorTesh, "Oy oy, come here!"},
    {"audio/voiceoversounds/voiceoverfinal/boss/sellugoodstuff.wav", &kMorTesh, "Sell you good stuff!"},
    {"audio/voiceoversounds/voiceoverfinal/boss/dunanyhowshoot.wav", &kMorTesh, "Don't anyhow shoot!"},
    {"audio/voiceoversounds/voiceoverfinal/boss/keshahdrev.wav", &kMorTesh, "Curse you, Kesh Ah Drev!"},
};

// Runs the speech engine into a temporary WAV file and reads it back.
bool Speak(const VoiceLine& line, int speed, Audio& audio, int& rate, std::string& error)
{
    static std::atomic<unsigned> counter{0};
    std::error_code ec;
    const std::filesystem::path file =
        std::filesystem::temp_directory_path(ec) /
        ("zt-voice-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + ".wav");
    if (ec) {
        error = "no temporary folder for the speech engine: " + ec.message();
        return false;
    }
    const std::string speedText = std::to_string(speed), pitchText = std::to_string(line.speaker->pitch);
    const std::string fileText = file.string();
    std::string args[] = {kSpeechProgram, "-v", line.speaker->voice, "-s", speedText, "-p", pitchText,
                          "-w", fileText, line.text};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    // The engine's chatter would drown the build log.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, kSpeechProgram, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        error = std::string("cannot run ") + kSpeechProgram + " (" + std::strerror(spawned) +
                "); tools/install-deps.sh installs it";
        return false;
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::filesystem::remove(file, ec);
        error = std::string(kSpeechProgram) + " failed on \"" + line.text + "\"" +
                (WIFEXITED(status) && WEXITSTATUS(status) == 127 ? " (not installed?)" : "");
        return false;
    }
    const bool read = ReadAudioFile(file, audio, rate, error);
    std::filesystem::remove(file, ec);
    if (!read) return false;
    if (audio.channels != 1 || rate <= 0 || audio.Frames() == 0) {
        error = std::string(kSpeechProgram) + " wrote no mono speech for \"" + line.text + "\"";
        return false;
    }
    return true;
}

// Cuts the silence the engine leaves around the words, keeping a breath at each end.
void TrimSilence(Audio& audio, int rate)
{
    float peak = 0.0f;
    for (float s : audio.samples) peak = std::max(peak, std::fabs(s));
    const float threshold = peak * 0.02f;
    size_t first = 0, last = audio.samples.size();
    while (first < last && std::fabs(audio.samples[first]) < threshold) ++first;
    while (last > first && std::fabs(audio.samples[last - 1]) < threshold) --last;
    const size_t before = size_t(rate) * 20 / 1000, after = size_t(rate) * 60 / 1000;
    first = first > before ? first - before : 0;
    last = std::min(audio.samples.size(), last + after);
    audio.samples = std::vector<float>(audio.samples.begin() + long(first), audio.samples.begin() + long(last));
}

// Windowed-sinc resampling of mono audio to the game's rate.
Audio Resample(const Audio& in, int rate)
{
    Audio out;
    out.channels = 1;
    if (rate == kSampleRate) {
        out.samples = in.samples;
        return out;
    }
    const double step = double(rate) / kSampleRate;  // input samples per output sample
    const double cutoff = std::min(1.0, 1.0 / step);  // keep below both Nyquist limits
    constexpr int kHalfTaps = 16;
    const size_t frames = size_t(std::floor(double(in.samples.size()) / step));
    out.samples.resize(frames);
    const long size = long(in.samples.size());
    for (size_t n = 0; n < frames; ++n) {
        const double centre = double(n) * step;
        const long base = long(std::floor(centre));
        double sum = 0.0;
        for (long k = base - kHalfTaps + 1; k <= base + kHalfTaps; ++k) {
            if (k < 0 || k >= size) continue;
            const double x = centre - double(k);
            const double arg = kPi * x * cutoff;
            const double sinc = std::fabs(x) < 1e-9 ? 1.0 : std::sin(arg) / arg;
            const double window = 0.5 + 0.5 * std::cos(kPi * x / kHalfTaps);  // Hann
            sum += in.samples[size_t(k)] * cutoff * sinc * window;
        }
        out.samples[n] = float(sum);
    }
    return out;
}

bool MakeLine(const VoiceLine& line, const SoundContext& c, Audio& out, std::string& error)
{
    for (int speed = line.speaker->speed; speed <= kFastestSpeed; speed += kSpeedStep) {
        Audio spoken;
        int rate = 0;
        if (!Speak(line, speed, spoken, rate, error)) return false;
        TrimSilence(spoken, rate);
        // Leave room for the fades and the resampler's rounding.
        if (spoken.Seconds() * kSampleRate / rate > c.spec.maxSeconds - 0.02) continue;
        out = Resample(spoken, rate);
        FadeEdges(out, 0.005, 0.03);
        NormalisePeak(out, 0.89f);
        return true;
    }
    error = std::string("\"") + line.text + "\" does not fit in its " + std::to_string(c.spec.maxSeconds) +
            " s even spoken fast";
    return false;
}

}  // namespace

std::vector<SoundMakerEntry> VoiceMakers()
{
    std::vector<SoundMakerEntry> makers;
    for (const VoiceLine& line : kLines)
        makers.push_back({line.path, [&line](const SoundContext& c, Audio& out, std::string& error) {
                              return MakeLine(line, c, out, error);
                          }});
    return makers;
}

}  // namespace assetgen
