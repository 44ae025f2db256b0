#pragma once
// WinConfig: the window settings of "config.ini" (size, fullscreen, vsync), read before the
// window is made and written back at exit. Despite its name the file is compact JSON.
#include <cstdint>
#include <string>

#include "core/serialization/Serializer.h"

namespace ztengine {

class WinConfig : public Serializer {
public:
    explicit WinConfig(std::string fileName = "config.ini");

    // Writes the four fields. The old file is replaced only by a complete new one; a file that
    // could not be read at start-up is left alone, so a hand-edit gone wrong is not lost.
    void Save() override;
    // A missing file changes nothing. Members that are missing or of the wrong kind keep their
    // field, and so do sizes of zero or below (with a line on standard output).
    void Load() override;

    const std::string& FileName() const { return m_fileName; }

    uint32_t m_width = 800;
    uint32_t m_height = 600;
    bool m_fullscreen = false;
    bool m_vsync = false;

private:
    std::string m_fileName;
    // Set when the file exists but is not a JSON object: it is then never overwritten.
    bool m_keepUnreadableFile = false;
};

}  // namespace ztengine
