// What the asset generator promises the game: every picture the game opens is in the runtime
// folder, decodes as 24- or 32-bit at the inventory's size and follows the loaders' layout
// conventions; a second run writes the same bytes; and contact sheets for people to look at.
#include "assetgen/Assetgen.h"
#include "core/graphics/framework/env/CubeCross.h"
#include "support/TestSupport.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <fstream>
#include <cctype>
#include <iterator>
#include <set>

namespace fs = std::filesystem;
using namespace assetgen;

namespace {

const fs::path kRuntime = ZT_RUNTIME_DIR;

struct Decoded {
    bool ok = false;
    FREE_IMAGE_FORMAT format = FIF_UNKNOWN;
    FREE_IMAGE_TYPE type = FIT_UNKNOWN;
    FREE_IMAGE_COLOR_TYPE colour = FIC_MINISBLACK;
    unsigned bpp = 0, width = 0, height = 0;
};

// Reads the file the way the game's decoder does: format from the contents first.
Decoded Decode(const fs::path& file)
{
    Decoded d;
    const std::string name = file.string();
    d.format = FreeImage_GetFileType(name.c_str(), 0);
    if (d.format == FIF_UNKNOWN) d.format = FreeImage_GetFIFFromFilename(name.c_str());
    if (d.format == FIF_UNKNOWN) return d;
    FIBITMAP* bmp = FreeImage_Load(d.format, name.c_str(), 0);
    if (!bmp) return d;
    d.ok = true;
    d.type = FreeImage_GetImageType(bmp);
    d.colour = FreeImage_GetColorType(bmp);
    d.bpp = FreeImage_GetBPP(bmp);
    d.width = FreeImage_GetWidth(bmp);
    d.height = FreeImage_GetHeight(bmp);
    FreeImage_Unload(bmp);
    return d;
}

using zttest::ReadBytes;

bool EndsWith(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

Canvas Load(const std::string& path)
{
    Canvas c;
    EXPECT_TRUE(LoadImage(kRuntime / path, c)) << path;
    return c;
}

// Average straight colour and alpha over a square around (x, y), top-left origin.
Rgba Around(const Canvas& c, int x, int y, int radius = 2)
{
    Rgba sum{};
    int n = 0;
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx) {
            Rgba p = c.Get(x + dx, y + dy);
            sum.r += p.r;
            sum.g += p.g;
            sum.b += p.b;
            sum.a += p.a;
            ++n;
        }
    return {sum.r / n, sum.g / n, sum.b / n, sum.a / n};
}

}  // namespace

// ---- the inventory ------------------------------------------------------------------------

TEST(AssetInventory, ListsEveryFamilyTheGameLoadsOnce)
{
    std::set<std::string> seen;
    int sprites = 0, tiles = 0, textures = 0, atlases = 0, skies = 0, materials = 0;
    for (const PictureSpec& p : Pictures()) {
        SCOPED_TRACE(p.path);
        EXPECT_TRUE(seen.insert(p.path).second) << "listed twice";
        const std::string path = p.path;
        switch (p.use) {
        case PictureUse::Sprite:
            ++sprites;
            EXPECT_EQ(path.rfind("textures/2d/", 0), 0u);
            EXPECT_EQ(path.find("minimap/"), std::string::npos);
            break;
        case PictureUse::MinimapTile:
            ++tiles;
            EXPECT_EQ(path.rfind("textures/2d/minimap/", 0), 0u);
            break;
        case PictureUse::Atlas: ++atlases; break;
        case PictureUse::Skybox:
            ++skies;
            EXPECT_EQ(path.rfind("skybox/", 0), 0u);
            break;
        case PictureUse::Texture:
            // The fixed world textures carry upper-case suffixes or a JPEG; the model materials
            // are plain lower-case PNGs in textures/diff/.
            if (EndsWith(path, ".jpg") || path.find("_COLOR") != std::string::npos ||
                path.find("overworld") != std::string::npos)
                ++textures;
            else
                ++materials;
            break;
        }
    }
    EXPECT_EQ(sprites, 75);
    EXPECT_EQ(tiles, 17);
    EXPECT_EQ(textures + atlases - 2, 15);  // OrbsColor and ProjectileColor are atlases in textures/diff/
    EXPECT_EQ(atlases, 4);
    EXPECT_EQ(skies, 2);
    EXPECT_EQ(materials, 43);

    // Linux opens names case-sensitively: these eight really end in upper case.
    for (const char* upper : {"WM_MOD_1_2.PNG", "maxhealthup.PNG", "firespdup.PNG", "healthregenup.PNG",
                              "maxstaminaup.PNG", "staminaregenup.PNG", "End_Thanks.PNG", "Credits_scroll.PNG"})
        EXPECT_NE(FindPicture(std::string("textures/2d/") + upper), nullptr) << upper;
}

// Every "textures/...", "particles/..." or "skybox/..." path with a picture extension in a text.
static std::vector<std::string> PicturePathsIn(const std::string& text)
{
    auto pathChar = [](char ch) {
        return std::isalnum(static_cast<unsigned char>(ch)) || ch == '_' || ch == '/' || ch == '.' || ch == '-';
    };
    std::vector<std::string> paths;
    for (const char* root : {"textures/", "particles/", "skybox/"}) {
        for (size_t at = text.find(root); at != std::string::npos; at = text.find(root, at + 1)) {
            if (at > 0 && pathChar(text[at - 1])) continue;  // part of a longer path
            size_t end = at;
            while (end < text.size() && pathChar(text[end])) ++end;
            std::string path = text.substr(at, end - at);
            for (const char* ext : {".png", ".PNG", ".jpg", ".JPG", ".jpeg"})
                if (EndsWith(path, ext)) paths.push_back(path);
        }
    }
    return paths;
}

TEST(AssetInventory, CoversEveryPictureTheCodeAndDataName)
{
    // Picture paths written out in the game's sources and authored data ("material.init" and
    // the like) must all be generated: a missing picture stops the game.
    const std::set<std::string> textFiles{".cpp", ".h", ".inl", ".init", ".json", ".txt", ".ini"};
    int found = 0;
    for (const fs::path& root : {fs::path(ZT_SOURCE_DIR) / "src", fs::path(ZT_DATA_DIR)}) {
        if (!fs::exists(root)) continue;
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            if (!entry.is_regular_file() || !textFiles.count(entry.path().extension().string())) continue;
            for (const std::string& path : PicturePathsIn(ReadBytes(entry.path()))) {
                ++found;
                EXPECT_NE(FindPicture(path), nullptr)
                    << path << " named in " << entry.path().string() << " is not generated";
            }
        }
    }
    std::printf("%d picture paths named in the sources and data\n", found);
}

TEST(AssetInventory, EveryPictureIsInTheRuntimeFolderDecodedAtItsSize)
{
    for (const PictureSpec& p : Pictures()) {
        SCOPED_TRACE(p.path);
        const fs::path file = kRuntime / p.path;
        ASSERT_TRUE(fs::exists(file)) << "missing pictures stop the game";
        Decoded d = Decode(file);
        ASSERT_TRUE(d.ok);
        EXPECT_EQ(d.type, FIT_BITMAP);
        EXPECT_EQ(d.width, unsigned(p.width));
        EXPECT_EQ(d.height, unsigned(p.height));
        // The loader packs rows tightly whatever alignment GL was left with.
        EXPECT_EQ(d.width % 4, 0u);
        const bool jpeg = EndsWith(p.path, ".jpg");
        EXPECT_EQ(d.format, jpeg ? FIF_JPEG : FIF_PNG);
        if (p.use == PictureUse::Sprite || p.use == PictureUse::MinimapTile || p.use == PictureUse::Atlas) {
            EXPECT_EQ(d.bpp, 32u) << "2D pictures and atlases are RGBA";
        } else {
            // One- and two-byte pixels are read past their end by the uploader.
            EXPECT_EQ(d.bpp, 24u);
            EXPECT_EQ(d.colour, FIC_RGB);
        }
    }
}

TEST(AssetInventory, FoldersListedAtStartAreFilledAndFontsCopied)
{
    for (const char* dir : {"textures/diff", "textures/spec", "textures/nrm", "textures/disp"}) {
        ASSERT_TRUE(fs::is_directory(kRuntime / dir)) << dir;
        EXPECT_FALSE(fs::is_empty(kRuntime / dir)) << dir;
    }
    for (const FontSpec& f : FontFiles()) {
        SCOPED_TRACE(f.path);
        ASSERT_TRUE(fs::exists(kRuntime / f.path));
        EXPECT_EQ(ReadBytes(kRuntime / f.path), ReadBytes(f.source));
    }
    Fonts fonts(kRuntime / FontFiles()[0].path, kRuntime / FontFiles()[1].path);
    EXPECT_TRUE(fonts.Ok());
}

// ---- what the loaders and the renderer rely on ----------------------------------------------

TEST(AssetConventions, HeightImageIsColourAndReadsZeroEverywhere)
{
    const fs::path file = kRuntime / "textures/diff/black.jpg";
    FIBITMAP* bmp = FreeImage_Load(FIF_JPEG, file.string().c_str(), 0);
    ASSERT_NE(bmp, nullptr);
    EXPECT_EQ(FreeImage_GetBPP(bmp), 24u);
    unsigned nonZero = 0;
    for (unsigned y = 0; y < FreeImage_GetHeight(bmp); ++y) {
        const BYTE* line = FreeImage_GetScanLine(bmp, int(y));
        for (unsigned i = 0; i < FreeImage_GetWidth(bmp) * 3; ++i) nonZero += line[i] != 0;
    }
    FreeImage_Unload(bmp);
    EXPECT_EQ(nonZero, 0u) << "every height of the hub's ground must read 0";
}

TEST(AssetConventions, SpritesPointAndSitWhereTheGameDrawsThem)
{
    struct Probe {
        const char* path;
        int x, y;  // from the picture's top-left corner
        bool opaque;
        const char* why;
    };
    const Probe probes[] = {
        {"textures/2d/pointer.png", 4, 5, true, "the pointer's tip is its top-left corner"},
        {"textures/2d/pointer.png", 24, 4, false, "nothing at the top right of the pointer"},
        {"textures/2d/minimap/player.png", 16, 7, true, "the player arrow points up"},
        {"textures/2d/minimap/player.png", 16, 27, false, "the arrow's notch is at the bottom"},
        // The whole picture is stretched over the map canvas, so the frame hugs its edges.
        {"textures/2d/minimap/border.png", 18, 400, true, "the frame runs along the left edge"},
        {"textures/2d/minimap/border.png", 1261, 400, true, "the frame runs along the right edge"},
        {"textures/2d/minimap/border.png", 640, 18, true, "the frame runs along the top edge"},
        {"textures/2d/minimap/border.png", 640, 781, true, "the frame runs along the bottom edge"},
        {"textures/2d/minimap/border.png", 120, 60, false, "the map shows just inside the frame"},
        {"textures/2d/minimap/border.png", 640, 400, false, "the map shows through the frame"},
        {"textures/2d/hp_sp_bar/containerBody.png", 32, 2, true, "top border band"},
        {"textures/2d/hp_sp_bar/containerBody.png", 32, 20, false, "the fill shows through the middle"},
        {"textures/2d/hp_sp_bar/containerLeft.png", 30, 20, false, "the fill shows through the end cap"},
        {"textures/2d/hit.png", 400, 42, true, "the damage arc runs along the top edge"},
        {"textures/2d/hit.png", 400, 758, false, "nothing at the bottom: the game turns the picture"},
        {"textures/2d/Logo.png", 360, 380, false, "the lose screen lays GAME OVER over the logo's foot"},
    };
    for (const Probe& p : probes) {
        Canvas c = Load(p.path);
        float alpha = Around(c, p.x, p.y, 1).a;
        if (p.opaque)
            EXPECT_GT(alpha, 0.8f) << p.path << ": " << p.why;
        else
            EXPECT_LT(alpha, 0.25f) << p.path << ": " << p.why;
    }
}

TEST(AssetConventions, LabelsAreNotCutOffAtTheirEdges)
{
    // Text that touches the picture's border has been clipped.
    for (const PictureSpec& p : Pictures()) {
        const std::string name = fs::path(p.path).filename().string();
        const bool label = name.rfind("MainMenu_", 0) == 0 || name.rfind("PauseMenu_", 0) == 0 ||
                           name.rfind("Settings_", 0) == 0 || name.rfind("Credits_Back", 0) == 0 ||
                           name == "Game_Over.png" || name == "End_Thanks.PNG";
        if (!label) continue;
        SCOPED_TRACE(p.path);
        Canvas c = Load(p.path);
        float worst = 0.0f;
        for (int x = 0; x < c.Width(); ++x) worst = std::max({worst, c.Get(x, 0).a, c.Get(x, c.Height() - 1).a});
        for (int y = 0; y < c.Height(); ++y) worst = std::max({worst, c.Get(0, y).a, c.Get(c.Width() - 1, y).a});
        EXPECT_LT(worst, 0.5f);
        // And there is a label at all.
        EXPECT_GT(Around(c, c.Width() / 2, c.Height() / 2, c.Height() / 3).a, 0.1f);
    }
}

TEST(AssetConventions, TheTitleLogosGlowFadesOutBeforeItsEdges)
{
    // The menus draw the logo over the scene: anything still showing along the picture's border
    // ends there in a straight line.
    Canvas c = Load("textures/2d/Logo.png");
    float top = 0.0f, sides = 0.0f;
    for (int x = 0; x < c.Width(); ++x) top = std::max({top, c.Get(x, 0).a, c.Get(x, 1).a});
    for (int y = 0; y < c.Height(); ++y) sides = std::max({sides, c.Get(0, y).a, c.Get(c.Width() - 1, y).a});
    EXPECT_LT(top, 0.02f);
    EXPECT_LT(sides, 0.02f);
    // The glow is still there just above the orb.
    EXPECT_GT(Around(c, c.Width() / 2, 24, 2).a, 0.1f);
}

TEST(AssetConventions, AtlasFramesCountFromTheBottomLeftCell)
{
    // Frame g sits at cell (g mod n, g div n) with texture v = 0 at the picture's bottom row.
    auto cellCentre = [](const Canvas& c, int n, int g) {
        int cell = c.Width() / n;
        return std::pair{(g % n) * cell + cell / 2, (n - 1 - g / n) * cell + cell / 2};
    };
    for (const char* path : {"particles/particleAtlas.png", "particles/particleAtlasBlue.png"}) {
        SCOPED_TRACE(path);
        Canvas c = Load(path);
        auto [x0, y0] = cellCentre(c, 4, 0);
        auto [x14, y14] = cellCentre(c, 4, 14);
        auto [x15, y15] = cellCentre(c, 4, 15);
        Rgba first = Around(c, x0, y0), last = Around(c, x14, y14);
        EXPECT_GT(first.a, 0.9f) << "frame 0 is the brightest";
        EXPECT_LT(last.a, first.a * 0.5f) << "frame 14 is the most faded";
        EXPECT_EQ(Around(c, x15, y15, 20).a, 0.0f) << "the sixteenth cell is never shown";
        // Drawn additively and filtered linearly: no cell may reach into its neighbour.
        float seam = 0.0f;
        for (int i = 0; i < c.Width(); ++i)
            for (int k = 0; k <= 4; ++k) {
                int line = std::min(k * c.Width() / 4, c.Width() - 1);
                seam = std::max({seam, c.Get(i, line).a, c.Get(line, i).a});
            }
        EXPECT_EQ(seam, 0.0f);
    }

    struct Colour {
        const char* path;
        int frame;
        const char* hue;
    };
    // The orb and portal selectors pick frames 0, 1, 2 = red, blue, yellow; the projectile
    // trails pick cell 0 (enemies, red), cell 2 (the player, yellow) and cell 3 (lkanga, blue).
    const Colour colours[] = {{"textures/diff/OrbsColor.png", 0, "red"},
                              {"textures/diff/OrbsColor.png", 1, "blue"},
                              {"textures/diff/OrbsColor.png", 2, "yellow"},
                              {"textures/diff/ProjectileColor.png", 0, "red"},
                              {"textures/diff/ProjectileColor.png", 2, "yellow"},
                              {"textures/diff/ProjectileColor.png", 3, "blue"}};
    for (const Colour& k : colours) {
        Canvas c = Load(k.path);
        auto [x, y] = cellCentre(c, 2, k.frame);
        // Half way out from the centre, where the colour is not yet washed to white.
        Rgba p = Around(c, x + c.Width() / 8, y, 2);
        std::string hue = k.hue;
        SCOPED_TRACE(std::string(k.path) + " cell " + std::to_string(k.frame) + " should be " + hue);
        bool matches = false;
        if (hue == "red") matches = p.r > p.g + 0.2f && p.r > p.b + 0.2f;
        if (hue == "blue") matches = p.b > p.r + 0.2f;
        if (hue == "yellow") matches = p.r > p.b + 0.2f && p.g > p.b + 0.2f;
        EXPECT_TRUE(matches) << "colour " << p.r << ", " << p.g << ", " << p.b;
    }
}

namespace {

// The cube map the game builds from a cross, read as GL reads it: the face of the direction's
// largest component, and the texel under the direction's (s, t) on that face.
struct CubeSampler {
    ztengine::CubeCrossFaces faces;

    explicit CubeSampler(const Canvas& cross)
    {
        // The game's decoder hands over rows bottom first, three bytes a texel.
        const int w = cross.Width(), h = cross.Height();
        std::vector<uint8_t> bytes(size_t(w) * size_t(h) * 3);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                Rgba p = cross.Get(x, h - 1 - y);
                uint8_t* t = &bytes[(size_t(y) * size_t(w) + size_t(x)) * 3];
                t[0] = uint8_t(std::lround(p.r * 255.0f));
                t[1] = uint8_t(std::lround(p.g * 255.0f));
                t[2] = uint8_t(std::lround(p.b * 255.0f));
            }
        EXPECT_TRUE(ztengine::ExtractCubeCrossFaces(bytes.data(), w, h, 3, faces));
    }

    Rgba At(float x, float y, float z) const
    {
        const float ax = std::fabs(x), ay = std::fabs(y), az = std::fabs(z);
        int face;
        float sc, tc, ma;
        if (ax >= ay && ax >= az) {
            face = x > 0 ? 0 : 1;
            sc = x > 0 ? -z : z;
            tc = -y;
            ma = ax;
        } else if (ay >= az) {
            face = y > 0 ? 2 : 3;
            sc = x;
            tc = y > 0 ? z : -z;
            ma = ay;
        } else {
            face = z > 0 ? 4 : 5;
            sc = z > 0 ? x : -x;
            tc = -y;
            ma = az;
        }
        const int n = faces.size;
        const int col = std::clamp(int((sc / ma + 1.0f) * 0.5f * n), 0, n - 1);
        const int row = std::clamp(int((tc / ma + 1.0f) * 0.5f * n), 0, n - 1);
        const uint8_t* t = &faces.faces[size_t(face)][(size_t(row) * size_t(n) + size_t(col)) * 3];
        return {t[0] / 255.0f, t[1] / 255.0f, t[2] / 255.0f, 1.0f};
    }
};

float ColourDiff(Rgba a, Rgba b)
{
    return std::max({std::fabs(a.r - b.r), std::fabs(a.g - b.g), std::fabs(a.b - b.b)});
}

}  // namespace

TEST(AssetConventions, SkyBoxFacesMeetWithoutSeams)
{
    for (const char* path : {"skybox/sky1.jpg", "skybox/sky2.jpg"}) {
        SCOPED_TRACE(path);
        Canvas c = Load(path);
        const int s = c.Height() / 3;
        ASSERT_EQ(c.Width() / 4, s) << "a 4 x 3 cross of square faces";
        CubeSampler cube(c);
        ASSERT_EQ(cube.faces.size, s);
        // Each of the cube's twelve edges, walked along its length: the texel just inside one
        // face against the texel just inside the other, and for scale the same step taken
        // inside a face. A corner fill or a face in the wrong turn shows as a jump here.
        const float in = 1.0f - 1.5f / float(s);
        float edgeSum = 0.0f, innerSum = 0.0f, worst = 0.0f;
        int samples = 0;
        for (int a = 0; a < 3; ++a)
            for (int b = a + 1; b < 3; ++b)
                for (float sa : {-1.0f, 1.0f})
                    for (float sb : {-1.0f, 1.0f})
                        for (int i = 0; i < 64; ++i) {
                            const int other = 3 - a - b;
                            float along = -0.95f + 1.9f * float(i) / 63.0f;
                            float p[3], q[3], r[3];
                            p[other] = q[other] = r[other] = along;
                            p[a] = sa, p[b] = sb * in;  // on face a
                            q[a] = sa * in, q[b] = sb;  // on face b
                            r[a] = sa, r[b] = sb * (in - 3.0f / float(s));  // a step further into a
                            Rgba pa = cube.At(p[0], p[1], p[2]), qb = cube.At(q[0], q[1], q[2]);
                            float d = ColourDiff(pa, qb);
                            edgeSum += d;
                            innerSum += ColourDiff(pa, cube.At(r[0], r[1], r[2]));
                            worst = std::max(worst, d);
                            ++samples;
                        }
        const float edgeMean = edgeSum / float(samples), innerMean = innerSum / float(samples);
        std::printf("%s: edge step %.4f, inner step %.4f, worst %.4f\n", path, edgeMean, innerMean, worst);
        EXPECT_LT(edgeMean, 2.0f * innerMean + 2.0f / 255.0f);
        EXPECT_LT(worst, 24.0f / 255.0f);
        // Sky above, ground below: the middle band's faces are upright.
        Rgba up = Around(c, s + s / 2, s / 2), down = Around(c, s + s / 2, 2 * s + s / 2);
        EXPECT_NE(ColourDiff(up, down), 0.0f);
        EXPECT_GT(Around(c, s / 2, s + 2).b, Around(c, s / 2, 2 * s - 3).b - 0.02f);
        // Clouds: round a circle 30 degrees up the sky the colour changes with the bearing.
        float lo = 1.0f, hi = 0.0f;
        for (int k = 0; k < 360; ++k) {
            float bearing = float(k) * 3.14159265f / 180.0f;
            Rgba p = cube.At(0.866f * std::cos(bearing), 0.5f, 0.866f * std::sin(bearing));
            float lum = 0.3f * p.r + 0.6f * p.g + 0.1f * p.b;
            lo = std::min(lo, lum), hi = std::max(hi, lum);
        }
        EXPECT_GT(hi - lo, 0.06f) << "a cloudless sky";
    }
    // The day sky has a sun: somewhere above the horizon a near-white disc.
    Canvas day = Load("skybox/sky1.jpg");
    float brightest = 0.0f;
    for (int y = 0; y < day.Height() / 2; ++y)
        for (int x = 0; x < day.Width(); ++x) {
            Rgba p = day.Get(x, y);
            brightest = std::max(brightest, std::min({p.r, p.g, p.b}));
        }
    EXPECT_GT(brightest, 0.93f);
}

TEST(AssetConventions, TiledTexturesWrapWithoutASeam)
{
    // Across the wrap (last column to first, last row to first) a tiled texture may change no
    // more than between neighbouring columns or rows inside it.
    for (const char* path : {"textures/diff/orb_boss.png", "textures/diff/orb_fire.png", "textures/diff/orb_snow.png",
                             "textures/diff/orb_lightning.png", "textures/diff/fireball.png", "textures/diff/ice.png",
                             "textures/diff/pillar_ice.png", "textures/diff/wall_red.png", "textures/diff/floor_blue.png"}) {
        SCOPED_TRACE(path);
        Canvas c = Load(path);
        const int w = c.Width(), h = c.Height();
        for (bool across : {true, false}) {
            const int lines = across ? w : h, length = across ? h : w;
            auto at = [&](int line, int i) { return across ? c.Get(line, i) : c.Get(i, line); };
            auto step = [&](int line) {
                float sum = 0.0f;
                for (int i = 0; i < length; ++i) sum += ColourDiff(at(line, i), at((line + 1) % lines, i));
                return sum / float(length);
            };
            float inner = 0.0f;
            for (int line = 0; line + 1 < lines; ++line) inner += step(line);
            inner /= float(lines - 1);
            const float wrap = step(lines - 1);
            EXPECT_LT(wrap, 2.0f * inner + 1.0f / 255.0f)
                << (across ? "left and right" : "top and bottom") << " edges: wrap " << wrap << ", inside " << inner;
        }
    }
}

// ---- running the generator ----------------------------------------------------------------

TEST(AssetGenerator, SecondRunWritesTheSameBytesQuickly)
{
    const fs::path out = zttest::MakeTempDir("assetgen-rerun");
    Options options = DefaultOptions(out);
    const auto start = std::chrono::steady_clock::now();
    Result r = Generate(options);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ASSERT_TRUE(r.Ok()) << r.errors.front();
    EXPECT_EQ(r.pictures, int(Pictures().size()));
    std::printf("generated %d pictures in %.1f s\n", r.pictures, seconds);
    // A guard against a runaway generator, not a benchmark (see the build's own timing line).
    EXPECT_LT(seconds, 300.0);

    for (const PictureSpec& p : Pictures()) {
        SCOPED_TRACE(p.path);
        const std::string fresh = ReadBytes(out / p.path);
        EXPECT_TRUE(fresh == ReadBytes(kRuntime / p.path)) << "differs from the build's copy";
        if (EndsWith(p.path, ".jpg")) continue;
        // Walk the PNG chunks: a time stamp would make every run differ.
        size_t at = 8;
        while (at + 8 <= fresh.size()) {
            const uint32_t len = (uint32_t(uint8_t(fresh[at])) << 24) | (uint32_t(uint8_t(fresh[at + 1])) << 16) |
                                 (uint32_t(uint8_t(fresh[at + 2])) << 8) | uint32_t(uint8_t(fresh[at + 3]));
            const std::string type = fresh.substr(at + 4, 4);
            EXPECT_NE(type, "tIME");
            at += 12 + len;
        }
    }
    fs::remove_all(out);
}

TEST(AssetGenerator, ReportsWhatItCannotDo)
{
    const fs::path out = zttest::MakeTempDir("assetgen-errors");
    Options options = DefaultOptions(out);
    options.regularFont = out / "no-such-font.ttf";
    Result r = Generate(options);
    ASSERT_FALSE(r.Ok());
    EXPECT_NE(r.errors.front().find("no-such-font.ttf"), std::string::npos);
    EXPECT_EQ(r.pictures, 0);

    Result fonts = CopyFonts(options);
    EXPECT_EQ(fonts.fonts, 1);
    ASSERT_EQ(fonts.errors.size(), 1u);
    EXPECT_NE(fonts.errors.front().find("no-such-font.ttf"), std::string::npos);

    // A folder that cannot be made: its place is taken by a file.
    std::ofstream(out / "blocked") << "x";
    std::string error;
    EXPECT_FALSE(SaveImage(Canvas(4, 4), out / "blocked" / "picture.png", FileFormat::Png32, error));
    EXPECT_FALSE(error.empty());
    fs::remove_all(out);
}

TEST(AssetGenerator, ContactSheetsForPeopleToLookAt)
{
    const fs::path dir = fs::path(ZT_TEST_TMP_DIR) / "artifacts";
    fs::create_directories(dir);
    const Options options = DefaultOptions(kRuntime);
    std::string error;
    for (auto [write, name] : {std::pair{&WriteSpriteSheet, "assetgen-sprites.png"},
                               std::pair{&WriteTextureSheet, "assetgen-textures.png"},
                               std::pair{&WriteSeamSheet, "assetgen-seams.png"}}) {
        const fs::path file = dir / name;
        ASSERT_TRUE(write(kRuntime, file, options, error)) << error;
        Decoded d = Decode(file);
        ASSERT_TRUE(d.ok) << file;
        EXPECT_EQ(d.width, 2600u);
        EXPECT_GT(d.height, 1000u);
        std::printf("contact sheet: %s\n", file.string().c_str());
    }
}
