#pragma once
// The asset generator's entry points: paint every picture of the inventory into a runtime
// folder, copy the fonts, and lay out contact sheets for people to look at.
#include "assetgen/Canvas.h"
#include "assetgen/PictureTable.h"
#include "assetgen/Text.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace assetgen {

struct PaintContext {
    const PictureSpec& spec;
    Fonts& fonts;
    uint32_t seed;  // stable per picture path
};

// Paints one picture onto a transparent canvas of the inventory's size.
using Painter = std::function<void(Canvas&, PaintContext&)>;

struct PainterEntry {
    std::string path;
    Painter paint;
};

// One list per family of pictures; each file under tools/assetgen/ owns one family.
std::vector<PainterEntry> SplashPainters();    // start-up screens, logos, ending
std::vector<PainterEntry> MenuPainters();      // menu labels, panels, credits, dialogue box
std::vector<PainterEntry> HudPainters();       // bars, icons, orbs, feedback overlays, cursor
std::vector<PainterEntry> MinimapPainters();   // minimap tiles and frame
std::vector<PainterEntry> WorldPainters();     // overworld terrain, foliage, portals, gun
std::vector<PainterEntry> MaterialPainters();  // materials of the models and dungeon pieces
std::vector<PainterEntry> ParticlePainters();  // particle atlases
std::vector<PainterEntry> SkyboxPainters();    // cube-map crosses

struct Options {
    std::filesystem::path outDir;
    std::filesystem::path regularFont;  // copied to "fonts/arial.ttf", also used for drawing
    std::filesystem::path boldFont;     // copied to "fonts/calibrib.ttf"
    unsigned threads = 0;               // 0: one per core, at most 8
};

// The fonts named by the inventory's font table.
Options DefaultOptions(const std::filesystem::path& outDir);

struct Result {
    int pictures = 0;
    int fonts = 0;
    std::vector<std::string> errors;
    bool Ok() const { return errors.empty(); }
};

// Checks that every inventory picture has exactly one painter, then writes them all.
Result Generate(const Options& options);
Result CopyFonts(const Options& options);

// One picture of every 2D sprite and minimap tile at its shown size, labelled with its name.
bool WriteSpriteSheet(const std::filesystem::path& runtimeDir, const std::filesystem::path& file,
                      const Options& fonts, std::string& error);
// Thumbnails of the 3D textures, atlases and sky boxes.
bool WriteTextureSheet(const std::filesystem::path& runtimeDir, const std::filesystem::path& file,
                       const Options& fonts, std::string& error);
// The sky boxes large and the seamless materials laid 2 x 2, so a seam at a picture's edge
// shows as a line through the middle of its tile.
bool WriteSeamSheet(const std::filesystem::path& runtimeDir, const std::filesystem::path& file,
                    const Options& fonts, std::string& error);

}  // namespace assetgen
