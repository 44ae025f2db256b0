// The 2D layer's bookkeeping without GL: draw order, sprite creation, handles, the texture list,
// the sprite transform's pixel coverage, texts and the glyph-quad layout.
#include "core/graphics/Graphics2D.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

namespace {

using ztengine::Font;
using ztengine::FontLibrary;
using ztengine::Glyph;
using ztengine::Graphics2D;
using ztengine::Sprite;
using ztengine::SpriteHandle;
using ztengine::TextManager;
using ztmath::Matrix4x4;
using ztmath::Vector2;
using ztmath::Vector4;

std::vector<uint32_t> DrawOrder(Graphics2D& g)
{
    std::vector<uint32_t> order;
    for (const auto& [index, layer] : g.BuildDrawList())
        order.push_back(index);
    return order;
}

struct OrderCase {
    const char* name;
    std::vector<uint32_t> layers;
    std::vector<bool> visible;
    std::vector<uint32_t> expected;
};

TEST(Graphics2DDrawList, SortedByLayerThenCreationOrder)
{
    const OrderCase cases[] = {
        {"higher layer created first draws last", {5, 2}, {true, true}, {1, 0}},
        {"equal layers keep creation order", {3, 3, 3}, {true, true, true}, {0, 1, 2}},
        {"hidden sprites are left out", {1, 0, 1}, {true, false, true}, {0, 2}},
        {"layers compare as unsigned numbers", {0xFFFFFFFFu, 0, 7}, {true, true, true}, {1, 2, 0}},
        {"mixed", {2, 1, 2, 1, 0}, {true, true, true, true, true}, {4, 1, 3, 0, 2}},
        {"nothing visible", {4}, {false}, {}},
    };
    for (const OrderCase& c : cases) {
        SCOPED_TRACE(c.name);
        Graphics2D g;
        for (size_t i = 0; i < c.layers.size(); ++i) {
            SpriteHandle h = g.CreateSprite({0, 1}, {0, 0}, {10, 10}, c.layers[i]);
            h.SetVisible(c.visible[i]);
        }
        EXPECT_EQ(DrawOrder(g), c.expected);
        // Rebuilt from scratch every time, never appended to.
        EXPECT_EQ(DrawOrder(g), c.expected);
    }
}

TEST(Graphics2DSprites, CreateSpriteDefaultsAndTextureFallback)
{
    Graphics2D g;
    for (unsigned id = 10; id < 15; ++id)
        g.m_textures.push_back({id, 0, 0, 0, 1});

    const SpriteHandle a = g.CreateSprite({3, 1}, {-20.0f, 35.5f}, {100.0f, 50.0f}, 7);
    const SpriteHandle b = g.CreateSprite({5, 1}, {0, 0}, {1, 1}, 0);    // one past the end
    const SpriteHandle c = g.CreateSprite({999, 4}, {0, 0}, {1, 1}, 0);  // far past the end
    ASSERT_EQ(g.GetSprites().size(), 3u);
    EXPECT_EQ(a.GetIndex(), 0u);
    EXPECT_EQ(b.GetIndex(), 1u);
    EXPECT_EQ(c.GetIndex(), 2u);

    const Sprite& s = g.GetSprites()[0];
    EXPECT_EQ(s.position, Vector2(-20.0f, 35.5f));
    EXPECT_EQ(s.scale, Vector2(100.0f, 50.0f));
    EXPECT_EQ(s.textureOffset, Vector2(0.0f, 0.0f));
    EXPECT_EQ(s.rotation, 0.0f);
    EXPECT_TRUE(s.visible);
    EXPECT_EQ(s.layer, 7u);
    EXPECT_EQ(s.texture, 3u);
    EXPECT_EQ(s.alpha, 1.0f);
    EXPECT_EQ(g.GetSprites()[1].texture, 0u);
    EXPECT_EQ(g.GetSprites()[2].texture, 0u);
}

TEST(Graphics2DSprites, AppendedTextureEntriesAreUsableByIndex)
{
    Graphics2D g;
    for (unsigned id = 1; id <= 5; ++id)
        g.m_textures.push_back({id, 16, 16, 4, 1});
    // Another part appends a texture it owns: its index is the list's length before the append.
    const unsigned index = static_cast<unsigned>(g.m_textures.size());
    g.m_textures.push_back({77, 0, 0, 0, 1});
    EXPECT_EQ(index, 5u);
    g.CreateSprite({index, 1}, {0, 0}, {8, 8}, 0);
    EXPECT_EQ(g.GetSprites()[0].texture, 5u);
    EXPECT_EQ(g.GetTexture({index, 1}).id, 77u);
}

TEST(Graphics2DSprites, HandlesChangeTheirSprite)
{
    Graphics2D g;
    g.CreateSprite({0, 1}, {0, 0}, {1, 1}, 0);
    SpriteHandle h = g.CreateSprite({0, 1}, {0, 0}, {1, 1}, 0);
    h.SetPosition(12.0f, -4.0f);
    h.SetScale(-30.0f, 20.0f);
    h.SetRotation(0.5f);
    h.SetAlpha(0.25f);
    h.SetVisible(false);
    const Sprite& s = g.GetSprites()[1];
    EXPECT_EQ(s.position, Vector2(12.0f, -4.0f));
    EXPECT_EQ(s.scale, Vector2(-30.0f, 20.0f));
    EXPECT_EQ(s.rotation, 0.5f);
    EXPECT_EQ(h.GetAlpha(), 0.25f);
    EXPECT_FALSE(s.visible);
    // The getters hand out the sprite's own fields.
    h.GetPosition().x += 1.0f;
    h.GetScale().y = 99.0f;
    EXPECT_EQ(s.position.x, 13.0f);
    EXPECT_EQ(s.scale.y, 99.0f);
    // Many sprites later the handle still reaches the same sprite.
    for (int i = 0; i < 1000; ++i)
        g.CreateSprite({0, 1}, {0, 0}, {1, 1}, 0);
    EXPECT_EQ(h.GetPosition().x, 13.0f);
    EXPECT_EQ(g.GetSprites()[0].position.x, 0.0f);
}

TEST(Graphics2DSpritesDeathTest, EmptyHandlesAndBadIndicesAreRefused)
{
    // The GL tests of this program leave driver threads running; forking beside them is unsafe.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    SpriteHandle empty;
    EXPECT_FALSE(empty.IsValid());
    EXPECT_DEATH(empty.SetPosition(1, 2), "m_spriteCont != nullptr");
    EXPECT_DEATH(empty.GetScale(), "m_spriteCont != nullptr");
    EXPECT_DEATH(empty.SetAlpha(0.5f), "m_spriteCont != nullptr");

    std::vector<Sprite> sprites(2);
    SpriteHandle past(&sprites, 2);
    EXPECT_THROW(past.SetVisible(false), std::out_of_range);
    EXPECT_THROW(past.GetAlpha(), std::out_of_range);

    Graphics2D g;
    g.m_textures.push_back({1, 0, 0, 0, 1});
    EXPECT_DEATH(g.GetTexture({1, 1}), "handle.key < m_textures.size\\(\\)");
}

// Pixel rectangle a sprite covers on a width x height screen, from its corners (+-0.5) through
// the projection, the model matrix and the viewport.
struct PixelRect {
    float left, bottom, right, top;
};

PixelRect Covered(const Sprite& sprite, float width, float height)
{
    Matrix4x4 projection;
    projection.SetOrthographic(width, height, 0.1f, 1.0f);
    const Matrix4x4 mvp = projection * ztengine::SpriteModelMatrix(sprite);
    PixelRect r{1e9f, 1e9f, -1e9f, -1e9f};
    for (float cx : {-0.5f, 0.5f}) {
        for (float cy : {-0.5f, 0.5f}) {
            const Vector4 clip = mvp * Vector4(cx, cy, 0.0f, 1.0f);
            const float px = (clip.x / clip.w + 1.0f) * 0.5f * width;
            const float py = (clip.y / clip.w + 1.0f) * 0.5f * height;
            r.left = std::min(r.left, px);
            r.right = std::max(r.right, px);
            r.bottom = std::min(r.bottom, py);
            r.top = std::max(r.top, py);
        }
    }
    return r;
}

TEST(Graphics2DSprites, ModelMatrixCoversTheSpritePixels)
{
    struct Case {
        const char* name;
        Vector2 position;
        Vector2 scale;
        float rotation;
        PixelRect expected;  // on 1280 x 800
    };
    const float halfPi = 1.5707963f;
    const Case cases[] = {
        {"centred 100 x 50", {0, 0}, {100, 50}, 0.0f, {590, 375, 690, 425}},
        {"moved right and up", {200, 100}, {100, 50}, 0.0f, {790, 475, 890, 525}},
        {"moved left and down", {-640, -400}, {20, 10}, 0.0f, {-10, -5, 10, 5}},
        {"quarter turn swaps the sides", {0, 0}, {100, 50}, halfPi, {615, 350, 665, 450}},
        {"mirrored keeps its place", {0, 0}, {-100, 50}, 0.0f, {590, 375, 690, 425}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Sprite s;
        s.position = c.position;
        s.scale = c.scale;
        s.rotation = c.rotation;
        const PixelRect r = Covered(s, 1280, 800);
        EXPECT_NEAR(r.left, c.expected.left, 1e-3);
        EXPECT_NEAR(r.bottom, c.expected.bottom, 1e-3);
        EXPECT_NEAR(r.right, c.expected.right, 1e-3);
        EXPECT_NEAR(r.top, c.expected.top, 1e-3);
    }
}

TEST(TextManager, FontsAreLoadedOncePerFileName)
{
    TextManager texts;
    std::string out = zttest::CaptureStdout([&] {
        EXPECT_EQ(texts.LoadFont("fonts/none.ttf"), 0u);
    });
    // A file that fails still takes its index, so later texts do not shift to another font.
    EXPECT_EQ(out, "Failed to load font!\n");
    out = zttest::CaptureStdout([&] {
        EXPECT_EQ(texts.LoadFont("fonts/none.ttf"), 0u);
        EXPECT_EQ(texts.LoadFont("fonts/other.ttf"), 1u);
        EXPECT_EQ(texts.LoadFont("fonts/none.ttf"), 0u);
    });
    EXPECT_EQ(out, "Failed to load font!\n");  // only the new file was tried
    EXPECT_EQ(texts.GetFontNames(), (std::vector<std::string>{"fonts/none.ttf", "fonts/other.ttf"}));
}

TEST(TextManager, CreateTextRefusesUnknownFontsAndReusesFreedSlots)
{
    TextManager texts;
    EXPECT_EQ(texts.CreateText("no font yet", 0), TextManager::kInvalidIndex);
    zttest::CaptureStdout([&] {
        texts.LoadFont("a.ttf");
        texts.LoadFont("b.ttf");
    });
    EXPECT_EQ(texts.CreateText("font 3 of 2", 3), 0xFFFFFFFFu);
    EXPECT_EQ(texts.CreateText("font 2 of 2", 2), TextManager::kInvalidIndex);
    EXPECT_TRUE(texts.GetTexts().empty());

    EXPECT_EQ(texts.CreateText("first", 1), 0u);
    EXPECT_EQ(texts.CreateText("second", 0), 1u);
    EXPECT_EQ(texts.CreateText("third", 0), 2u);
    const ztengine::TextEntry& first = texts.GetTexts()[0];
    EXPECT_EQ(first.text, "first");
    EXPECT_EQ(first.font, 1u);
    EXPECT_EQ(first.position, Vector2(0, 0));
    EXPECT_EQ(first.scale, Vector2(1, 1));
    EXPECT_EQ(first.color, Vector4(0, 0, 0, 1));
    EXPECT_TRUE(first.active);
    EXPECT_FALSE(first.visible);

    texts.GetTextEntry(1)->active = false;
    texts.GetTextEntry(2)->active = false;
    EXPECT_EQ(texts.CreateText("reuses the first free slot", 0), 1u);
    EXPECT_EQ(texts.GetTexts()[1].text, "reuses the first free slot");
    EXPECT_FALSE(texts.GetTexts()[1].visible);
    EXPECT_EQ(texts.CreateText("then the next", 0), 2u);
    EXPECT_EQ(texts.CreateText("then appends", 0), 3u);
}

TEST(TextManager, SettersChangeOnlyActiveTexts)
{
    TextManager texts;
    zttest::CaptureStdout([&] { texts.LoadFont("a.ttf"); });
    const uint32_t live = texts.CreateText("live", 0);
    const uint32_t freed = texts.CreateText("freed", 0);
    texts.GetTextEntry(freed)->active = false;

    for (uint32_t index : {live, freed, 7u, TextManager::kInvalidIndex}) {
        texts.SetText(index, "changed");
        texts.SetTextPosition(index, {10, 20});
        texts.SetTextVisible(index, true);
        texts.SetTextColor(index, {0.1f, 0.2f, 0.3f}, 0.4f);
    }
    const auto& all = texts.GetTexts();
    EXPECT_EQ(all[live].text, "changed");
    EXPECT_EQ(all[live].position, Vector2(10, 20));
    EXPECT_TRUE(all[live].visible);
    EXPECT_EQ(all[live].color, Vector4(0.1f, 0.2f, 0.3f, 0.4f));
    EXPECT_EQ(all[freed].text, "freed");
    EXPECT_EQ(all[freed].position, Vector2(0, 0));
    EXPECT_FALSE(all[freed].visible);
    EXPECT_EQ(texts.GetTextEntry(freed), nullptr);
    EXPECT_EQ(texts.GetTextEntry(99), nullptr);
}

TEST(GlyphLayout, QuadsFollowTheGlyphMetrics)
{
    Font font;
    font.glyphs['A'] = Glyph{11, 30, 40, 2, 35, 32 * 64};
    font.glyphs['B'] = Glyph{12, 20, 30, -1, 30, 25 * 64 + 63};  // the 1/64 fraction is dropped
    font.glyphs[' '] = Glyph{13, 0, 0, 0, 0, 12 * 64};

    struct Case {
        const char* name;
        std::string text;
        float scaleX;
        float scaleY;
        // expected quads: texture, left, bottom, width, height
        std::vector<std::array<float, 5>> quads;
    };
    const Case cases[] = {
        {"pen advances by whole pixels", "AB", 1.0f, 1.0f, {{11, 12, 15, 30, 40}, {12, 41, 20, 20, 30}}},
        {"a byte above 127 draws nothing and does not move the pen", "A\xC3" "B", 1.0f, 1.0f,
         {{11, 12, 15, 30, 40}, {12, 41, 20, 20, 30}}},
        {"a space only moves the pen", "A B", 1.0f, 1.0f, {{11, 12, 15, 30, 40}, {12, 53, 20, 20, 30}}},
        {"half scale halves size, offsets and advance", "AB", 0.5f, 0.5f,
         {{11, 11, 17.5f, 15, 20}, {12, 25.5f, 20, 10, 15}}},
        // Narrow and tall: widths, left offsets and the pen go by the horizontal scale, heights
        // and the drop below the baseline by the vertical one.
        {"unequal scales advance the pen by the horizontal one", "AB", 0.5f, 2.0f,
         {{11, 11, 10, 15, 80}, {12, 25.5f, 20, 10, 60}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto quads = FontLibrary::LayoutText(font, c.text, 10.0f, 20.0f, c.scaleX, c.scaleY);
        ASSERT_EQ(quads.size(), c.quads.size());
        for (size_t i = 0; i < quads.size(); ++i) {
            const auto& v = quads[i].vertices;
            const auto& want = c.quads[i];
            const float left = want[1], bottom = want[2], right = want[1] + want[3], top = want[2] + want[4];
            EXPECT_EQ(quads[i].texture, static_cast<unsigned>(want[0]));
            // Two counter-clockwise triangles; v = 0 at the top row of the bitmap.
            const float expected[6][4] = {{left, top, 0, 0},    {left, bottom, 0, 1}, {right, bottom, 1, 1},
                                          {left, top, 0, 0},    {right, bottom, 1, 1}, {right, top, 1, 0}};
            for (int k = 0; k < 6; ++k)
                for (int j = 0; j < 4; ++j)
                    EXPECT_FLOAT_EQ(v[k][j], expected[k][j]) << "quad " << i << " vertex " << k;
        }
    }
    // The missing character got an empty glyph, as the drawing code expects.
    ASSERT_EQ(font.glyphs.count(static_cast<signed char>(0xC3)), 1u);
    EXPECT_EQ(font.glyphs[static_cast<signed char>(0xC3)].texture, 0u);
}

// A 3 x 2 glyph (top row 1 2 3, bottom row 4 5 6) as FreeType may hand it over: tight, with
// padded rows, bottom-up, or both; the texture always gets the six bytes top row first.
TEST(GlyphBitmap, RowsArePackedTightTopRowFirst)
{
    struct Case {
        const char* name;
        int pitch;
        std::vector<unsigned char> buffer;
    };
    const Case cases[] = {
        {"tight rows", 3, {1, 2, 3, 4, 5, 6}},
        {"rows padded to four bytes", 4, {1, 2, 3, 0xEE, 4, 5, 6, 0xEE}},
        {"bottom-up rows", -3, {4, 5, 6, 1, 2, 3}},
        {"bottom-up padded rows", -5, {4, 5, 6, 0xEE, 0xEE, 1, 2, 3, 0xEE, 0xEE}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<unsigned char> packed;
        const unsigned char* pixels = Font::PackRows(c.buffer.data(), 3, 2, c.pitch, packed);
        ASSERT_NE(pixels, nullptr);
        EXPECT_EQ(std::vector<unsigned char>(pixels, pixels + 6), (std::vector<unsigned char>{1, 2, 3, 4, 5, 6}));
    }
    // A blank glyph (a space) has no buffer at all, and gets none.
    std::vector<unsigned char> packed;
    EXPECT_EQ(Font::PackRows(nullptr, 0, 0, 0, packed), nullptr);
}

TEST(GlyphLayout, TextProjectionMapsWindowPixelsFromTheBottomLeft)
{
    const Matrix4x4 p = FontLibrary::MakeProjection(1280, 800);
    const Vector4 origin = p * Vector4(0, 0, 0, 1);
    const Vector4 corner = p * Vector4(1280, 800, 0, 1);
    const Vector4 centre = p * Vector4(640, 400, 0, 1);
    EXPECT_FLOAT_EQ(origin.x, -1.0f);
    EXPECT_FLOAT_EQ(origin.y, -1.0f);
    EXPECT_FLOAT_EQ(corner.x, 1.0f);
    EXPECT_FLOAT_EQ(corner.y, 1.0f);
    EXPECT_FLOAT_EQ(centre.x, 0.0f);
    EXPECT_FLOAT_EQ(centre.y, 0.0f);
    EXPECT_FLOAT_EQ(centre.z, 0.0f);
}

}  // namespace
