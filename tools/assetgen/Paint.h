#pragma once
// Painting recipes shared by several picture families: the game's label styles, framed
// panels, medallions and a few icon shapes, so every screen has the same look.
#include "assetgen/Canvas.h"
#include "assetgen/Text.h"

#include <cstdint>
#include <vector>

namespace assetgen {

// ---- palette ----
namespace palette {
constexpr Rgb kBone = Hex(0xF3E7CB);
constexpr Rgb kInk = Hex(0x140C06);
constexpr Rgb kGold = Hex(0xFFC23A);
constexpr Rgb kGoldDeep = Hex(0xC27A12);
constexpr Rgb kEmber = Hex(0xFF7A1A);
constexpr Rgb kBlood = Hex(0xC8140E);
constexpr Rgb kParchment = Hex(0xE8D5A8);
constexpr Rgb kSlate = Hex(0x1C1A22);
}  // namespace palette

// Label styles, sized for a picture `height` pixels tall.
TextStyle IdleLabel(float height);       // bone-white letters, dark outline, drop shadow
TextStyle HighlightLabel(float height);  // gold letters with an ember glow
TextStyle RedLabel(float height);        // blood-red title letters
TextStyle DimLabel(float height);        // grey, for options not chosen
TextStyle InkText(float height);         // dark letters for light panels

// A light parchment panel with a dark wooden frame and a thin gold inner line.
void DrawParchmentPanel(Canvas& c, Box box, uint32_t seed, float frame, float corner);
// A dark stone panel with a gold frame, for text sheets shown over the game.
void DrawSlatePanel(Canvas& c, Box box, uint32_t seed, float frame, float corner, float opacity = 0.94f);
// Round bronze medallion filling the canvas, with an inner gradient of `inner` colours.
void DrawMedallion(Canvas& c, Rgb innerTop, Rgb innerBottom, Rgb ring);

// Shapes (distances in pixels).
std::vector<Vec2> HeartOutline(Vec2 centre, float size);  // size: full width
std::vector<Vec2> BoltOutline(Vec2 centre, float size);   // size: full height
// An arc of a circle from angle a0 to a1 (radians, counter-clockwise in picture space).
float SdArc(Vec2 p, Vec2 centre, float radius, float a0, float a1, float halfWidth);
// A circular arrow (arc with a head at a1) in the given colour with a dark outline.
void DrawCircularArrow(Canvas& c, Vec2 centre, float radius, float width, Rgb colour);
// A glossy sphere: shaded disc with a highlight and a rim light.
void DrawSphere(Canvas& c, Vec2 centre, float radius, Rgb base, Rgb highlight, float opacity = 1.0f);

}  // namespace assetgen
