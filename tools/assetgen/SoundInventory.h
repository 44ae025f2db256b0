#pragma once
// The inventory of every sound effect, voice line and music track the game loads, with the
// length each is made at and the bounds it must keep. The generator writes exactly these; the
// tests check exactly these.
#include <span>
#include <string>
#include <string_view>

namespace assetgen {

enum class SoundKind {
    Effect,  // synthesised, mono 44.1 kHz (the sound layer can place every loaded sound in 3D)
    Voice,   // spoken, mono 44.1 kHz
    Music,   // stereo Ogg Vorbis loop that ends where it starts
};

struct SoundSpec {
    const char* path;  // relative to the runtime folder, spelled exactly as the game opens it
    SoundKind kind;
    float seconds;     // the length effects are made at; 0 where the maker decides
    float minSeconds;  // bounds the written file keeps
    float maxSeconds;
};

std::span<const SoundSpec> Sounds();
const SoundSpec* FindSound(std::string_view path);

// The folder the sound layer opens every file below.
constexpr std::string_view kAudioFolder = "audio/";

// The name the sound editor's registry gives a file: its name without folder and extension.
std::string RegistryName(std::string_view path);

}  // namespace assetgen
