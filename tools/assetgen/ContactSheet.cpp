// Contact sheets: every sprite at the size the game shows it, or every texture as a thumbnail,
// packed in rows over a checkerboard with its file name underneath, for people to look at.
#include "assetgen/Assetgen.h"

#include <algorithm>
#include <cmath>

namespace assetgen {
namespace {

struct Item {
    std::string name;
    Canvas picture;  // already at its size on the sheet
};

void Checker(Canvas& c, int x0, int y0, int w, int h)
{
    for (int y = std::max(0, y0); y < std::min(c.Height(), y0 + h); ++y)
        for (int x = std::max(0, x0); x < std::min(c.Width(), x0 + w); ++x) {
            bool odd = (((x - x0) / 12) + ((y - y0) / 12)) % 2;
            c.SetRgb(x, y, odd ? Hex(0x4A4A52) : Hex(0x3A3A42));
        }
}

bool WriteSheet(std::vector<Item> items, const std::filesystem::path& file, const Options& options,
                std::string& error)
{
    Fonts fonts(options.regularFont, options.boldFont);
    if (!fonts.Ok()) {
        error = "cannot open the fonts for the sheet's captions";
        return false;
    }
    // Tallest first, in rows no wider than the sheet.
    std::stable_sort(items.begin(), items.end(),
                     [](const Item& a, const Item& b) { return a.picture.Height() > b.picture.Height(); });
    const int sheetWidth = 2600, gap = 20, caption = 26;
    TextStyle captionStyle;
    captionStyle.fill = {Hex(0xE8E8E8)};
    struct Placed {
        size_t item;
        int x, y, cellWidth;
    };
    std::vector<Placed> placed;
    int x = gap, y = gap, rowHeight = 0;
    for (size_t i = 0; i < items.size(); ++i) {
        const Canvas& p = items[i].picture;
        int labelWidth = int(fonts.Regular().Measure(items[i].name, 16.0f).advance) + 4;
        int cellWidth = std::max(p.Width(), labelWidth);
        if (x + cellWidth + gap > sheetWidth && x > gap) {
            x = gap;
            y += rowHeight + caption + gap;
            rowHeight = 0;
        }
        placed.push_back({i, x, y, cellWidth});
        x += cellWidth + gap;
        rowHeight = std::max(rowHeight, p.Height());
    }
    const int sheetHeight = y + rowHeight + caption + gap;
    Canvas sheet(sheetWidth, sheetHeight, {0.1f, 0.1f, 0.12f, 1.0f});
    for (const Placed& pl : placed) {
        const Item& it = items[pl.item];
        Checker(sheet, pl.x, pl.y, it.picture.Width(), it.picture.Height());
        sheet.Draw(it.picture, pl.x, pl.y);
        DrawText(sheet, fonts.Regular(), it.name, 16.0f, float(pl.x), float(pl.y + it.picture.Height() + 18),
                 Align::Left, captionStyle);
    }
    return SaveImage(sheet, file, FileFormat::Png24, error);
}

bool LoadFor(const std::filesystem::path& runtimeDir, const PictureSpec& spec, Canvas& out, std::string& error)
{
    if (!LoadImage(runtimeDir / spec.path, out)) {
        error = std::string("cannot read ") + (runtimeDir / spec.path).string();
        return false;
    }
    return true;
}

}  // namespace

bool WriteSpriteSheet(const std::filesystem::path& runtimeDir, const std::filesystem::path& file,
                      const Options& options, std::string& error)
{
    std::vector<Item> items;
    for (const PictureSpec& spec : Pictures()) {
        if (spec.use != PictureUse::Sprite && spec.use != PictureUse::MinimapTile) continue;
        Canvas picture;
        if (!LoadFor(runtimeDir, spec, picture, error)) return false;
        int w = int(std::lround(spec.shownWidth)), h = int(std::lround(spec.shownHeight));
        std::string name = std::filesystem::path(spec.path).filename().string();
        // Full-screen fades are larger than any window: show them small.
        if (w > 1280 || h > 2000) {
            w = h = 160;
            name += " (small)";
        }
        items.push_back({name + "  " + std::to_string(w) + "x" + std::to_string(h), Resample(picture, w, h)});
    }
    return WriteSheet(std::move(items), file, options, error);
}

bool WriteTextureSheet(const std::filesystem::path& runtimeDir, const std::filesystem::path& file,
                       const Options& options, std::string& error)
{
    std::vector<Item> items;
    for (const PictureSpec& spec : Pictures()) {
        if (spec.use == PictureUse::Sprite || spec.use == PictureUse::MinimapTile) continue;
        Canvas picture;
        if (!LoadFor(runtimeDir, spec, picture, error)) return false;
        const float scale = 256.0f / float(std::max(spec.width, spec.height));
        int w = std::max(1, int(std::lround(spec.width * scale)));
        int h = std::max(1, int(std::lround(spec.height * scale)));
        items.push_back({std::filesystem::path(spec.path).filename().string(), Resample(picture, w, h)});
    }
    return WriteSheet(std::move(items), file, options, error);
}

bool WriteSeamSheet(const std::filesystem::path& runtimeDir, const std::filesystem::path& file,
                    const Options& options, std::string& error)
{
    std::vector<Item> items;
    for (const PictureSpec& spec : Pictures()) {
        const std::string name = std::filesystem::path(spec.path).filename().string();
        const bool sky = spec.use == PictureUse::Skybox;
        const bool texture = spec.use != PictureUse::Sprite && spec.use != PictureUse::MinimapTile;
        const bool tiled = texture && (name.rfind("orb_", 0) == 0 || name == "fireball.png" || name == "ice.png" ||
                                       name == "pillar_ice.png" || name.rfind("wall_", 0) == 0 ||
                                       name.rfind("floor_", 0) == 0);
        if (!sky && !tiled) continue;
        Canvas picture;
        if (!LoadFor(runtimeDir, spec, picture, error)) return false;
        if (sky) {
            items.push_back({name, Resample(picture, 1024, 768)});
            continue;
        }
        const Canvas tile = Resample(picture, 192, 192);
        Canvas four(384, 384);
        for (int k = 0; k < 4; ++k) four.Draw(tile, (k % 2) * 192, (k / 2) * 192);
        items.push_back({name + " 2x2", std::move(four)});
    }
    return WriteSheet(std::move(items), file, options, error);
}

}  // namespace assetgen
