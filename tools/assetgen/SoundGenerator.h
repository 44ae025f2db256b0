#pragma once
// The asset generator's sound part: makes every effect, voice line and music track of the
// sound inventory and the sound editor's name list "audio/audio.json".
#include "assetgen/Assetgen.h"
#include "assetgen/SoundInventory.h"
#include "assetgen/SoundSynth.h"

#include <functional>
#include <string>
#include <vector>

namespace assetgen {

struct SoundContext {
    const SoundSpec& spec;
    uint32_t seed;  // stable per sound path
};

// Makes one sound; returns false with `error` set when it cannot.
using SoundMaker = std::function<bool(const SoundContext&, Audio&, std::string& error)>;

struct SoundMakerEntry {
    std::string path;
    SoundMaker make;
};

// One list per family; each family file owns its makers.
std::vector<SoundMakerEntry> EffectMakers();  // synthesised effects
std::vector<SoundMakerEntry> VoiceMakers();   // spoken lines (espeak-ng)
std::vector<SoundMakerEntry> MusicMakers();   // looping music tracks

// The shape of a music track: its tempo in beats a minute (four to the bar) and its form, one
// letter per four-bar phrase ('A' main theme, 'B' second theme, 'D' breakdown).
struct MusicShape {
    std::string path;
    double bpm;
    std::string form;
    int Bars() const { return int(form.size()) * 4; }
    double BarSeconds() const { return 240.0 / bpm; }
};
std::vector<MusicShape> MusicShapes();

// Writes every sound of the inventory below options.outDir (threads as options.threads), then
// "audio/audio.json". Checks first that each sound has exactly one maker. Files that could not
// be made are listed in the result's errors; the others are still written.
Result GenerateSounds(const Options& options);

// The sound editor's registry for the inventory: one compact JSON array, the sounds by name and
// then the music by name, each name mapped to its file below the audio folder.
std::string SoundRegistryJson();

}  // namespace assetgen
