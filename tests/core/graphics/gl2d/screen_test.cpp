// The 2D layer drawn for real at 1280 x 800 and read back: layer order with alpha, exact sprite
// coverage, sheet cells, upright pictures, mirrored sprites, text in both game fonts at its
// bottom-left position and at half scale, and the off-screen canvas. The frame is saved as
// test-artefacts/gl2d-screen.png in the build folder.
#include "core/graphics/Graphics2D.h"
#include "core/graphics/framework/2d/Camera2DBuffer.h"

#include "support/GLTestContext.h"
#include "support/TestSupport.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

using ztengine::Camera2DBuffer;
using ztengine::Graphics2D;
using ztengine::SpriteHandle;
using ztengine::Texture2DHandle;
using zttest::Pixel;
using zttest::Rgba;

constexpr int kWidth = 1280;
constexpr int kHeight = 800;
const char* kSans = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";
const char* kCarlitoBold = "/usr/share/fonts/truetype/crosextra/Carlito-Bold.ttf";

constexpr Pixel kRed{255, 0, 0, 255};
constexpr Pixel kGreen{0, 255, 0, 255};
constexpr Pixel kBlue{0, 0, 255, 255};
constexpr Pixel kYellow{255, 255, 0, 255};
constexpr Pixel kWhite{255, 255, 255, 255};

// A frame read back once, addressed in window pixels from the bottom-left.
class Frame {
public:
    Frame(std::vector<uint8_t> rgba, int width, int height) : m_rgba(std::move(rgba)), m_width(width), m_height(height) {}

    Rgba At(int x, int y) const
    {
        const uint8_t* p = &m_rgba[(static_cast<size_t>(y) * m_width + x) * 4];
        return {p[0], p[1], p[2], p[3]};
    }
    // Screen position from the centre, y up, as sprites are placed.
    Rgba AtCentred(int x, int y) const { return At(m_width / 2 + x, m_height / 2 + y); }

    // Bounding box [left, right) x [bottom, top) of bright pixels inside a search window.
    struct Box {
        int left = 1 << 30, bottom = 1 << 30, right = -1, top = -1;
        int Width() const { return right - left; }
        int Height() const { return top - bottom; }
    };
    Box LitBox(int x0, int y0, int x1, int y1) const
    {
        Box b;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                if (At(x, y)[0] < 128)
                    continue;
                b.left = std::min(b.left, x);
                b.right = std::max(b.right, x + 1);
                b.bottom = std::min(b.bottom, y);
                b.top = std::max(b.top, y + 1);
            }
        }
        return b;
    }

    const std::vector<uint8_t>& Data() const { return m_rgba; }

private:
    std::vector<uint8_t> m_rgba;
    int m_width;
    int m_height;
};

::testing::AssertionResult Near(const Rgba& got, const Pixel& want, int tolerance = 2)
{
    for (int i = 0; i < 3; ++i) {
        if (std::abs(int(got[i]) - int(want[i])) > tolerance)
            return ::testing::AssertionFailure()
                   << "got (" << int(got[0]) << ", " << int(got[1]) << ", " << int(got[2]) << "), want ("
                   << int(want[0]) << ", " << int(want[1]) << ", " << int(want[2]) << ")";
    }
    return ::testing::AssertionSuccess();
}

class ScreenTest : public zttest::GLTest {
protected:
    ScreenTest() : GLTest(kWidth, kHeight) {}

    void SetUp() override
    {
        GLTest::SetUp();
        if (IsSkipped())
            return;
        m_dir = zttest::MakeTempDir("screen");
        for (auto [name, colour] : {std::pair{"white.png", kWhite}, {"red.png", kRed}, {"green.png", kGreen},
                                    {"blue.png", kBlue}, {"yellow.png", kYellow}})
            ASSERT_TRUE(zttest::WriteSolidPng(m_dir / name, 4, 4, colour));
        // Quadrants as seen: red top-left, green top-right, blue bottom-left, yellow bottom-right.
        ASSERT_TRUE(zttest::WriteImage(m_dir / "atlas.png", 64, 64, 24, FIF_PNG, [](int x, int y) {
            return y < 32 ? (x < 32 ? kRed : kGreen) : (x < 32 ? kBlue : kYellow);
        }));
        ASSERT_TRUE(zttest::WriteImage(m_dir / "halves.png", 32, 16, 24, FIF_PNG,
                                       [](int x, int) { return x < 16 ? kRed : kBlue; }));
        glViewport(0, 0, kWidth, kHeight);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        std::string out = zttest::CaptureStdout([&] { m_initialised = m_g.Init(kWidth, kHeight); });
        ASSERT_TRUE(m_initialised);
        EXPECT_EQ(out, "");  // every uniform is used by the programs
    }

    void TearDown() override
    {
        if (m_initialised)
            m_g.Shutdown();
        GLTest::TearDown();
    }

    Texture2DHandle Load(const char* name) { return m_g.LoadTexture((m_dir / name).string()); }

    Frame Grab() const { return Frame(zttest::GLTestContext::ReadPixels(0, 0, kWidth, kHeight), kWidth, kHeight); }

    static std::filesystem::path ArtefactDir()
    {
        return std::filesystem::path(ZT_TEST_TMP_DIR).parent_path() / "test-artefacts";
    }

    std::filesystem::path m_dir;
    Graphics2D m_g;
    bool m_initialised = false;
};

TEST_F(ScreenTest, SpritesAndTextAtTheirScreenPositions)
{
    const Texture2DHandle white = Load("white.png");
    const Texture2DHandle red = Load("red.png");
    const Texture2DHandle green = Load("green.png");
    const Texture2DHandle blue = Load("blue.png");
    const Texture2DHandle yellow = Load("yellow.png");
    const Texture2DHandle atlas = Load("atlas.png");
    const Texture2DHandle halves = Load("halves.png");
    EXPECT_EQ(white.key, 1u);  // texture 0 is the default checkerboard
    EXPECT_EQ(halves.key, 7u);
    // The same picture seen as a 2 x 2 sheet, appended the way other parts add their textures.
    const unsigned sheetKey = static_cast<unsigned>(m_g.m_textures.size());
    ztengine::Texture2D sheet = m_g.GetTexture(atlas);
    sheet.rows = 2;
    m_g.m_textures.push_back(sheet);

    m_g.CreateSprite(white, {0, 0}, {100, 50}, 0);
    // Higher layer created first, half transparent: drawn last, over the green one.
    m_g.CreateSprite(red, {-400, 200}, {200, 200}, 5).SetAlpha(0.5f);
    m_g.CreateSprite(green, {-300, 200}, {200, 200}, 2);
    // Same layer: creation order.
    m_g.CreateSprite(blue, {300, 200}, {200, 200}, 3);
    m_g.CreateSprite(yellow, {400, 200}, {200, 200}, 3);
    m_g.CreateSprite(atlas, {-250, -200}, {100, 100}, 1);
    m_g.CreateSprite({sheetKey, 2}, {-400, -200}, {100, 100}, 1);
    m_g.CreateSprite(halves, {250, -200}, {-100, 50}, 1);  // mirrored
    SpriteHandle hidden = m_g.CreateSprite(white, {450, -200}, {100, 100}, 9);
    hidden.SetVisible(false);
    // A sprite far outside the default texture list falls back to the checkerboard.
    m_g.CreateSprite({999, 1}, {450, -300}, {40, 40}, 0);

    ztengine::TextManager& texts = m_g.GetTextManager();
    uint32_t sans = 0, bold = 0, again = 0;
    const std::string fontOutput = zttest::CaptureStdout([&] {
        sans = texts.LoadFont(kSans);
        bold = texts.LoadFont(kCarlitoBold);
        again = texts.LoadFont(kSans);
    });
    EXPECT_EQ(fontOutput, "");
    EXPECT_EQ(again, sans);
    EXPECT_NE(bold, sans);
    struct Line {
        uint32_t font;
        const char* text;
        float x, y, scale;
    };
    const Line lines[] = {
        {sans, "H", 100, 60, 1.0f},  {bold, "H", 300, 60, 1.0f}, {sans, "H", 500, 60, 0.5f},
        {sans, "AB", 700, 60, 1.0f}, {sans, "A\xC3" "B", 700, 130, 1.0f},
    };
    for (const Line& line : lines) {
        const uint32_t index = texts.CreateText(line.text, line.font);
        ASSERT_NE(index, ztengine::TextManager::kInvalidIndex);
        texts.SetTextPosition(index, {line.x, line.y});
        texts.SetTextColor(index, {1, 1, 1}, 1.0f);
        texts.GetTextEntry(index)->scale = {line.scale, line.scale};
        texts.SetTextVisible(index, true);
    }
    const uint32_t invisible = texts.CreateText("H", sans);
    texts.SetTextPosition(invisible, {900, 60});

    const std::string renderOutput = zttest::CaptureStdout([&] { m_g.Render(); });
    EXPECT_EQ(renderOutput, "");
    EXPECT_EQ(zttest::GLTestContext::TakeErrors(), "");
    const Frame frame = Grab();
    const auto artefact = ArtefactDir() / "gl2d-screen.png";
    EXPECT_TRUE(zttest::GLTestContext::SavePng(artefact, frame.Data(), kWidth, kHeight));
    RecordProperty("screenshot", artefact.string());

    // The 100 x 50 sprite covers exactly the central 100 x 50 pixels.
    const Frame::Box centre = frame.LitBox(540, 325, 740, 475);
    EXPECT_EQ(centre.left, 590);
    EXPECT_EQ(centre.right, 690);
    EXPECT_EQ(centre.bottom, 375);
    EXPECT_EQ(centre.top, 425);
    EXPECT_TRUE(Near(frame.At(590, 375), kWhite, 0));
    EXPECT_TRUE(Near(frame.At(689, 424), kWhite, 0));

    // Layers with alpha: red at half alpha over green, and over the black background.
    EXPECT_TRUE(Near(frame.AtCentred(-350, 200), {128, 128, 0, 255}));
    EXPECT_TRUE(Near(frame.AtCentred(-450, 200), {128, 0, 0, 255}));
    EXPECT_TRUE(Near(frame.AtCentred(-250, 200), kGreen, 0));
    // Equal layers: the later sprite on top.
    EXPECT_TRUE(Near(frame.AtCentred(350, 200), kYellow, 0));
    EXPECT_TRUE(Near(frame.AtCentred(250, 200), kBlue, 0));

    // The whole picture stands upright ...
    EXPECT_TRUE(Near(frame.AtCentred(-275, -175), kRed));
    EXPECT_TRUE(Near(frame.AtCentred(-225, -175), kGreen));
    EXPECT_TRUE(Near(frame.AtCentred(-275, -225), kBlue));
    EXPECT_TRUE(Near(frame.AtCentred(-225, -225), kYellow));
    // ... and a 2 x 2 sheet shows frame 0, the bottom-left cell, over the whole sprite.
    for (auto [x, y] : {std::pair{-400, -200}, {-430, -230}, {-370, -170}, {-430, -170}})
        EXPECT_TRUE(Near(frame.AtCentred(x, y), kBlue)) << x << ", " << y;
    // A negative width mirrors the sprite instead of culling it.
    EXPECT_TRUE(Near(frame.AtCentred(225, -200), kBlue));
    EXPECT_TRUE(Near(frame.AtCentred(275, -200), kRed));
    // Hidden sprites and invisible texts draw nothing.
    EXPECT_TRUE(Near(frame.AtCentred(450, -200), {0, 0, 0, 255}, 0));
    EXPECT_EQ(frame.LitBox(880, 40, 1000, 140).right, -1);
    // The fallback texture is the black-and-white checkerboard, stretched over the sprite.
    EXPECT_TRUE(Near(frame.AtCentred(440, -310), {0, 0, 0, 255}, 0));
    EXPECT_TRUE(Near(frame.AtCentred(460, -310), kWhite, 0));
    EXPECT_TRUE(Near(frame.AtCentred(440, -290), kWhite, 0));

    // Text: the glyph box sits where the font's metrics put it, from the bottom-left corner.
    const ztengine::FontLibrary& library = texts.GetFontLibrary();
    struct TextCase {
        const char* name;
        const char* font;
        float x, y, scale;
    };
    const TextCase textCases[] = {
        {"Liberation Sans", kSans, 100, 60, 1.0f},
        {"Carlito Bold", kCarlitoBold, 300, 60, 1.0f},
        {"Liberation Sans at half scale", kSans, 500, 60, 0.5f},
    };
    for (const TextCase& c : textCases) {
        SCOPED_TRACE(c.name);
        const ztengine::Font* font = library.GetFont(c.font);
        ASSERT_NE(font, nullptr);
        const ztengine::Glyph& h = font->glyphs.at('H');
        const float left = c.x + h.left * c.scale;
        const float bottom = c.y - (h.rows - h.top) * c.scale;
        const Frame::Box box = frame.LitBox(static_cast<int>(c.x) - 20, 20, static_cast<int>(c.x) + 120, 140);
        EXPECT_NEAR(box.left, left, 1.0);
        EXPECT_NEAR(box.bottom, bottom, 1.0);
        EXPECT_NEAR(box.Width(), h.width * c.scale, 2.0);
        EXPECT_NEAR(box.Height(), h.rows * c.scale, 2.0);
    }
    const Frame::Box full = frame.LitBox(80, 20, 220, 140);
    const Frame::Box half = frame.LitBox(480, 20, 620, 140);
    EXPECT_NEAR(half.Height(), full.Height() / 2.0, 1.0);
    EXPECT_NEAR(half.Width(), full.Width() / 2.0, 1.0);
    // A byte above 127 between two letters leaves no gap.
    const Frame::Box plain = frame.LitBox(680, 40, 880, 120);
    const Frame::Box withByte = frame.LitBox(680, 110, 880, 190);
    EXPECT_EQ(withByte.left, plain.left);
    EXPECT_EQ(withByte.right, plain.right);
    EXPECT_EQ(withByte.bottom - 70, plain.bottom);

    // The pass leaves the state the 3D frame expects.
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_TRUE(depthWrites);
}

// What the layer calls a window-covering sprite is one that leaves no pixel of what was drawn
// before it showing: each case is drawn over a blue window and both answers must agree.
TEST_F(ScreenTest, ASpriteCoversTheWindowOnlyWhenNothingBehindItShows)
{
    struct CoverCase {
        const char* name;
        float x, y, width, height, rotation, alpha;
        bool visible;
        bool covers;
    };
    const CoverCase cases[] = {
        {"the loading screen's black square", 0, 0, 2048, 2048, 0, 1, true, true},
        {"exactly the window", 0, 0, kWidth, kHeight, 0, 1, true, true},
        {"mirrored", 0, 0, -2048, -2048, 0, 1, true, true},
        {"a pixel too narrow", 0, 0, kWidth - 2, kHeight, 0, 1, true, false},
        {"off centre", 400, 0, 2048, 2048, 0, 1, true, false},
        {"low", 0, -700, 2048, 2048, 0, 1, true, false},
        {"fading", 0, 0, 2048, 2048, 0, 0.99f, true, false},
        {"hidden", 0, 0, 2048, 2048, 0, 1, false, false},
        {"turned", 0, 0, 1400, 1400, 0.8f, 1, true, false},
    };
    for (const CoverCase& c : cases) {
        SCOPED_TRACE(c.name);
        Graphics2D g;
        zttest::CaptureStdout([&] { ASSERT_TRUE(g.Init(kWidth, kHeight)); });
        SpriteHandle sprite = g.CreateSprite(g.LoadTexture((m_dir / "red.png").string()), {c.x, c.y},
                                             {c.width, c.height}, 0);
        sprite.SetRotation(c.rotation);
        sprite.SetAlpha(c.alpha);
        sprite.SetVisible(c.visible);
        EXPECT_EQ(g.CoversWindow(sprite), c.covers);

        glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        g.Render();
        const std::vector<uint8_t> frame = zttest::GLTestContext::ReadPixels(0, 0, kWidth, kHeight);
        bool backgroundShows = false;
        for (size_t i = 0; i < frame.size() && !backgroundShows; i += 4)
            backgroundShows = frame[i + 2] > 0;
        EXPECT_EQ(backgroundShows, !c.covers);
        g.Shutdown();
    }
    // A handle of no sprite covers nothing.
    EXPECT_FALSE(m_g.CoversWindow(SpriteHandle()));
    EXPECT_EQ(zttest::GLTestContext::TakeErrors(), "");
}

TEST_F(ScreenTest, CanvasDrawsWithItsOwnCameraAndShowsAsASprite)
{
    const Texture2DHandle white = Load("white.png");
    const Texture2DHandle atlas = Load("atlas.png");
    ztengine::Texture2D sheet = m_g.GetTexture(atlas);
    sheet.rows = 2;

    Camera2DBuffer canvas;
    ASSERT_TRUE(canvas.Init(m_g));
    const unsigned canvasKey = static_cast<unsigned>(m_g.m_textures.size());
    m_g.m_textures.push_back({canvas.GetColorTexture(), 0, 0, 0, 1});

    glEnable(GL_CULL_FACE);
    // The 3D pass's lilac clear colour must neither fill the canvas nor be lost to it.
    glClearColor(0.4f, 0.4f, 0.6f, 1.0f);
    canvas.BeginDraw({100, 50});
    // Centred on the camera; then the top-right cell of the sheet, 300 pixels to the right.
    canvas.DrawSprite(m_g.GetTexture(white), {100, 50}, {200, 200}, {0, 0}, 1.0f, 0.0f);
    canvas.DrawSprite(sheet, {400, 50}, {100, 100}, {0.5f, 0.5f}, 1.0f, 0.0f);
    canvas.DrawSprite(m_g.GetTexture(white), {100, -100}, {-40, 40}, {0, 0}, 1.0f, 0.0f);  // mirrored
    canvas.EndDraw();
    EXPECT_EQ(zttest::GLTestContext::TakeErrors(), "");

    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], kWidth);
    EXPECT_EQ(viewport[3], kHeight);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLfloat sceneClear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, sceneClear);
    EXPECT_EQ((std::array<float, 4>{sceneClear[0], sceneClear[1], sceneClear[2], sceneClear[3]}),
              (std::array<float, 4>{0.4f, 0.4f, 0.6f, 1.0f}));

    std::vector<float> texels(static_cast<size_t>(Camera2DBuffer::kWidth) * Camera2DBuffer::kHeight * 4);
    glBindTexture(GL_TEXTURE_2D, canvas.GetColorTexture());
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, texels.data());
    auto texel = [&](int x, int y) {
        const float* t = &texels[(static_cast<size_t>(y) * Camera2DBuffer::kWidth + x) * 4];
        return std::array<float, 4>{t[0], t[1], t[2], t[3]};
    };
    // The canvas keeps the screen's projection on its own 800 x 600 target: 1 screen pixel is
    // 800 / 1280 canvas pixels across and 600 / 800 up.
    EXPECT_EQ(texel(400, 300), (std::array<float, 4>{1, 1, 1, 1}));
    EXPECT_EQ(texel(400 + 60, 300 + 70), (std::array<float, 4>{1, 1, 1, 1}));
    EXPECT_EQ(texel(400 + 66, 300), (std::array<float, 4>{0, 0, 0, 0}));
    const auto cell = texel(400 + 187, 300);
    EXPECT_NEAR(cell[0], 0.0f, 0.02f);
    EXPECT_NEAR(cell[1], 1.0f, 0.02f);
    EXPECT_NEAR(cell[2], 0.0f, 0.02f);
    EXPECT_EQ(texel(400, 300 - 112), (std::array<float, 4>{1, 1, 1, 1}));
    EXPECT_EQ(texel(10, 10), (std::array<float, 4>{0, 0, 0, 0}));

    // Shown on screen through an appended texture entry, as the minimap does.
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    m_g.CreateSprite({canvasKey, 1}, {0, 0}, {400, 300}, 0);
    m_g.Render();
    const Frame frame = Grab();
    EXPECT_TRUE(Near(frame.AtCentred(0, 0), kWhite, 0));
    EXPECT_TRUE(Near(frame.AtCentred(180, 0), {0, 0, 0, 255}, 0));

    // A canvas given its own background starts every pass with it.
    canvas.SetClearColor(0.25f, 0.5f, 0.75f, 1.0f);
    canvas.BeginDraw({0, 0});
    canvas.EndDraw();
    glBindTexture(GL_TEXTURE_2D, canvas.GetColorTexture());
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, texels.data());
    EXPECT_EQ(texel(400, 300), (std::array<float, 4>{0.25f, 0.5f, 0.75f, 1.0f}));
    canvas.Destroy();
}

TEST_F(ScreenTest, CanvasRefusesSpritesOutsideADrawingPass)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    Camera2DBuffer canvas;
    ASSERT_TRUE(canvas.Init(m_g));
    EXPECT_DEATH(canvas.DrawSprite(m_g.m_textures[0], {0, 0}, {1, 1}, {0, 0}, 1.0f, 0.0f), "m_beginDraw");
    canvas.Destroy();
}

}  // namespace
