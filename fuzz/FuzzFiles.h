#pragma once
// What every fuzz target shares: a folder of its own to work in (the settings files are read
// from the working folder, as the game does), and writing the input into the file a parser reads.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace ztfuzz {

// A fresh folder under the system's temporary folder, made the working folder on the first call.
inline const std::filesystem::path& WorkFolder()
{
    static const std::filesystem::path folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "ztfuzz.XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            std::abort();
        std::filesystem::current_path(pattern);
        return std::filesystem::path(pattern);
    }();
    return folder;
}

// Replaces the file at `path` (inside the work folder) with exactly the fuzzer's bytes.
inline void WriteInput(const std::filesystem::path& path, const uint8_t* data, size_t size)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size)
        std::abort();
    std::fclose(file);
}

// Empties the work folder, so that no file of an earlier run is read again.
inline void ClearWorkFolder()
{
    for (const auto& entry : std::filesystem::directory_iterator(WorkFolder()))
        std::filesystem::remove_all(entry.path());
}

}  // namespace ztfuzz
