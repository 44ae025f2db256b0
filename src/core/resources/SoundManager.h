#pragma once
// "SoundManager": the sound editor's registry of sound and music names and their files under
// "audio/".
#include <cstdint>
#include <map>
#include <string>

namespace ztengine {

class SoundManager {
public:
    std::map<std::string, std::string> m_soundFiles;
    std::map<std::string, std::string> m_musicFiles;
    // Only the names added during the run have ids.
    std::map<std::string, int32_t> m_soundIds;
    std::map<std::string, int32_t> m_musicIds;
};

}  // namespace ztengine
