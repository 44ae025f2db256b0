#pragma once
// On-screen feedback records: the hit-direction indicator ("HitDirectionFeedbackData"), the one
// dialogue line ("DialogueController") and the lose screen's unused flags ("StatusFlags").
#include <cstdint>
#include <string>

#include "core/math/Vector3.h"

namespace ztengine {

struct HitDirectionFeedbackData {
    bool m_active = false;
    float m_timeLeft = 0.0f;  // seconds
    float m_angle = 0.0f;     // rotation of the indicator sprite, radians
};

class DialogueController {
public:
    // Puts a line up for the given seconds, replacing whatever line was showing.
    void Show(float seconds, const std::string& line, const ztmath::Vector3& color)
    {
        m_active = true;
        m_timeLeft = seconds;
        m_line = line;
        m_color = color;
    }

    bool m_active = false;
    std::string m_line;
    // Seconds until the line goes; also the alpha of the box and the text.
    float m_timeLeft = 0.0f;
    ztmath::Vector3 m_color;  // red, green, blue
};

// Fetched by the lose screen and never read or written.
class StatusFlags {
public:
    uint32_t m_flags[2] = {0, 0};
};

}  // namespace ztengine
