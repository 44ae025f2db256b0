#pragma once
// Where the gold count is drawn. Its place is (1050, 50), which leaves room for about four
// digits in a 1280-pixel window; a longer count would run off the right edge, so it is moved
// left until it ends at the right margin instead.
#include <cstdint>

#include "core/math/Vector2.h"

namespace ztengine {

class TextManager;

constexpr float kGoldTextX = 1050.0f;
constexpr float kGoldTextY = 50.0f;
constexpr float kGoldTextRightMargin = 20.0f;

// How far the pen moves while drawing the text with its font and scale, in pixels; 0 when the
// index names no active text or its font is not loaded (nothing is drawn then either).
float TextAdvance(TextManager& texts, uint32_t text);

// The gold text's position in a window `windowWidth` pixels wide.
ztmath::Vector2 GoldTextPosition(TextManager& texts, uint32_t text, float windowWidth);

}  // namespace ztengine
