// Runs every sound maker on a small pool of threads, checks each result against the inventory
// and writes the files and the sound editor's registry.
#include "assetgen/SoundGenerator.h"

#include "assetgen/Noise.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <map>
#include <mutex>
#include <thread>

namespace assetgen {
namespace {

bool EndsWith(std::string_view s, std::string_view tail)
{
    return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

std::map<std::string, SoundMaker> CollectMakers(std::vector<std::string>& errors)
{
    std::map<std::string, SoundMaker> makers;
    for (auto family : {EffectMakers, VoiceMakers, MusicMakers}) {
        for (SoundMakerEntry& e : family()) {
            if (!FindSound(e.path))
                errors.push_back("sound maker for a file the inventory does not list: " + e.path);
            else if (!makers.emplace(e.path, std::move(e.make)).second)
                errors.push_back("two sound makers for " + e.path);
        }
    }
    for (const SoundSpec& s : Sounds())
        if (!makers.count(s.path)) errors.push_back(std::string("no sound maker for ") + s.path);
    return makers;
}

// Checks what a maker returned against the inventory; the error names the file.
bool CheckMade(const SoundSpec& spec, const Audio& audio, std::string& error)
{
    const int channels = spec.kind == SoundKind::Music ? 2 : 1;
    char text[160];
    if (audio.channels != channels || audio.samples.size() % size_t(channels) != 0) {
        std::snprintf(text, sizeof(text), " has %d channels, not %d", audio.channels, channels);
        error = spec.path + std::string(text);
        return false;
    }
    const double seconds = audio.Seconds();
    if (seconds < spec.minSeconds || seconds > spec.maxSeconds) {
        std::snprintf(text, sizeof(text), " is %.2f s long, outside %.2f to %.2f s", seconds, spec.minSeconds,
                      spec.maxSeconds);
        error = spec.path + std::string(text);
        return false;
    }
    if (PeakOf(audio) < 0.05f) {
        error = spec.path + std::string(" came out silent");
        return false;
    }
    return true;
}

bool MakeAndWrite(const SoundSpec& spec, const SoundMaker& make, const std::filesystem::path& outDir,
                  std::string& error)
{
    Audio audio;
    const uint32_t seed = SeedFrom(spec.path);
    if (!make(SoundContext{spec, seed}, audio, error)) {
        error = spec.path + std::string(": ") + error;
        return false;
    }
    if (!CheckMade(spec, audio, error)) return false;
    const bool ogg = EndsWith(spec.path, ".ogg");
    // Music is the bulk of the download; effects keep a little more detail.
    const double quality = spec.kind == SoundKind::Music ? 0.3 : 0.5;
    std::string bytes;
    if (!EncodeAudio(audio, ogg ? AudioFormat::OggVorbis : AudioFormat::Wav16, quality, seed, bytes, error)) {
        error = spec.path + std::string(": ") + error;
        return false;
    }
    return WriteFileBytes(outDir / spec.path, bytes, error);
}

}  // namespace

std::string SoundRegistryJson()
{
    // The registry keeps its names in byte order; std::map compares std::string the same way.
    std::map<std::string, std::string> sounds, music;
    for (const SoundSpec& s : Sounds()) {
        const std::string file = std::string(s.path).substr(kAudioFolder.size());
        (s.kind == SoundKind::Music ? music : sounds).emplace(RegistryName(s.path), file);
    }
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    writer.StartArray();
    for (const auto& [name, file] : sounds) {
        writer.StartObject();
        writer.Key("SoundName");
        writer.String(name.c_str(), rapidjson::SizeType(name.size()));
        writer.Key("FileName");
        writer.String(file.c_str(), rapidjson::SizeType(file.size()));
        writer.EndObject();
    }
    for (const auto& [name, file] : music) {
        writer.StartObject();
        writer.Key("BGMName");
        writer.String(name.c_str(), rapidjson::SizeType(name.size()));
        writer.Key("FileName");
        writer.String(file.c_str(), rapidjson::SizeType(file.size()));
        writer.EndObject();
    }
    writer.EndArray();
    return std::string(buffer.GetString(), buffer.GetSize());
}

Result GenerateSounds(const Options& options)
{
    Result result;
    std::map<std::string, SoundMaker> makers = CollectMakers(result.errors);
    if (!result.Ok()) return result;

    // Music first: the long tracks should not be the last jobs left running alone.
    std::vector<const SoundSpec*> jobs;
    for (const SoundSpec& s : Sounds()) jobs.push_back(&s);
    std::stable_sort(jobs.begin(), jobs.end(), [](const SoundSpec* a, const SoundSpec* b) {
        return (a->kind == SoundKind::Music) > (b->kind == SoundKind::Music);
    });

    unsigned threads = options.threads;
    if (threads == 0) threads = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
    std::atomic<size_t> next{0};
    std::mutex errorLock;
    auto worker = [&] {
        for (size_t i = next++; i < jobs.size(); i = next++) {
            std::string error;
            if (MakeAndWrite(*jobs[i], makers.at(jobs[i]->path), options.outDir, error)) continue;
            std::lock_guard<std::mutex> lock(errorLock);
            result.errors.push_back(error);
        }
    };
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads; ++t) pool.emplace_back(worker);
    worker();
    for (std::thread& t : pool) t.join();

    std::string error;
    if (!WriteFileBytes(options.outDir / kAudioFolder / "audio.json", SoundRegistryJson(), error))
        result.errors.push_back(error);
    std::sort(result.errors.begin(), result.errors.end());
    return result;
}

}  // namespace assetgen
