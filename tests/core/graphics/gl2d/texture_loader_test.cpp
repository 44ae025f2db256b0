// Textures under a real GL context: uploads read back equal to their source whatever the unpack
// alignment was, texture parameters per wrap code and flag, the generated textures, and release.
#include "core/graphics/framework/textureloader/TextureLoader.h"

#include "support/GLTestContext.h"
#include "support/TestSupport.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace {

using ztengine::TextureInfo;
using ztengine::TextureLoader;
using ztengine::TextureLoadParams;
using zttest::Gradient;
using zttest::Pixel;

class TextureLoaderTest : public zttest::GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        if (!IsSkipped())
            m_dir = zttest::MakeTempDir("textures");
    }
    void TearDown() override
    {
        if (m_gl && m_gl->IsOpen())
            m_loader.DeleteAll();
        GLTest::TearDown();
    }

    std::vector<uint8_t> Source(const std::filesystem::path& path)
    {
        unsigned char* pixels = nullptr;
        int w = 0, h = 0, c = 0;
        EXPECT_EQ(ztengine::DecodeImage(path.string(), &pixels, &w, &h, &c), 1);
        std::vector<uint8_t> out(pixels, pixels + static_cast<size_t>(w) * h * c);
        std::free(pixels);
        return out;
    }

    static std::vector<uint8_t> Read(GLuint texture, GLenum format, int w, int h, int channels)
    {
        std::vector<uint8_t> out(static_cast<size_t>(w) * h * channels);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, out.data());
        return out;
    }

    static GLint Param(GLuint texture, GLenum name)
    {
        GLint value = 0;
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
        return value;
    }

    static GLint LevelParam(GLuint texture, GLint level, GLenum name)
    {
        GLint value = 0;
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, name, &value);
        return value;
    }

    std::filesystem::path m_dir;
    TextureLoader m_loader;
};

// Rows of odd-width RGB pictures are not a multiple of 2 or 4 bytes: any unpack alignment but 1
// skews them. The alignment other code leaves behind must not matter.
TEST_F(TextureLoaderTest, OddWidthPicturesReadBackEqualToTheirSource)
{
    struct Case {
        const char* file;
        int width;
        int height;
        int bpp;
        GLint internalFormat;
    };
    const Case cases[] = {
        {"odd_rgb.png", 5, 3, 24, GL_RGB8},
        {"odd_rgb_7.png", 7, 5, 24, GL_RGB8},
        {"odd_rgba.png", 3, 5, 32, GL_RGBA8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        ASSERT_TRUE(zttest::WriteImage(m_dir / c.file, c.width, c.height, c.bpp, FIF_PNG, Gradient));
        const std::vector<uint8_t> source = Source(m_dir / c.file);
        const int channels = c.bpp / 8;
        const GLenum format = channels == 3 ? GL_RGB : GL_RGBA;

        for (GLint alignment : {4, 2, 8}) {
            glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
            TextureLoadParams param;
            param.mFile = (m_dir / c.file).string();
            const TextureInfo loaded = m_loader.Load(param, true, false);
            EXPECT_EQ(loaded.width, c.width);
            EXPECT_EQ(loaded.height, c.height);
            EXPECT_EQ(loaded.channels, channels);
            EXPECT_EQ(LevelParam(loaded.id, 0, GL_TEXTURE_INTERNAL_FORMAT), c.internalFormat);
            EXPECT_EQ(Read(loaded.id, format, c.width, c.height, channels), source) << "Load, alignment " << alignment;

            glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
            const TextureInfo plain = m_loader.LoadPlain(param.mFile);
            EXPECT_EQ(plain.channels, 0);
            EXPECT_EQ(Read(plain.id, format, c.width, c.height, channels), source) << "LoadPlain, alignment " << alignment;
        }
    }
    EXPECT_EQ(zttest::GLTestContext::TakeErrors(), "");
}

TEST_F(TextureLoaderTest, GreyscalePicturesUploadAsRgb)
{
    std::vector<Pixel> grey(256);
    for (int i = 0; i < 256; ++i)
        grey[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(i), static_cast<uint8_t>(i), 255};
    ASSERT_TRUE(zttest::WritePalettised(m_dir / "grey.png", 3, 2, FIF_PNG, grey,
                                        [](int x, int y) { return static_cast<uint8_t>(50 * x + 100 * y); }));
    TextureLoadParams param;
    param.mFile = (m_dir / "grey.png").string();
    const TextureInfo info = m_loader.Load(param, false, true);
    EXPECT_EQ(info.channels, 3);
    EXPECT_EQ(LevelParam(info.id, 0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGB8);
    // Bottom row (picture row 1) first.
    const std::vector<uint8_t> want = {100, 100, 100, 150, 150, 150, 200, 200, 200,
                                       0, 0, 0, 50, 50, 50, 100, 100, 100};
    EXPECT_EQ(Read(info.id, GL_RGB, 3, 2, 3), want);
}

TEST_F(TextureLoaderTest, LoadSetsWrapFilterMipmapsAndAnisotropy)
{
    ASSERT_TRUE(zttest::WriteSolidPng(m_dir / "solid.png", 8, 8, {10, 20, 30, 255}));
    struct Case {
        int wrapS;
        int wrapT;
        bool mipmapped;
        bool nearest;
        GLint expectS;
        GLint expectT;
        GLint expectMin;
        GLint expectMag;
    };
    const Case cases[] = {
        {3, 3, true, false, GL_REPEAT, GL_REPEAT, GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR},
        {1, 0, false, true, GL_CLAMP_TO_BORDER, GL_CLAMP_TO_EDGE, GL_LINEAR, GL_NEAREST},
        {2, 4, true, true, GL_MIRRORED_REPEAT, GL_MIRROR_CLAMP_TO_EDGE, GL_LINEAR_MIPMAP_NEAREST, GL_NEAREST},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.wrapS << "/" << c.wrapT);
        TextureLoadParams param{(m_dir / "solid.png").string(), c.wrapS, c.wrapT};
        const TextureInfo info = m_loader.Load(param, c.mipmapped, c.nearest);
        EXPECT_EQ(Param(info.id, GL_TEXTURE_WRAP_S), c.expectS);
        EXPECT_EQ(Param(info.id, GL_TEXTURE_WRAP_T), c.expectT);
        EXPECT_EQ(Param(info.id, GL_TEXTURE_MIN_FILTER), c.expectMin);
        EXPECT_EQ(Param(info.id, GL_TEXTURE_MAG_FILTER), c.expectMag);
        EXPECT_EQ(Param(info.id, GL_TEXTURE_MAX_LEVEL), 4);
        EXPECT_EQ(LevelParam(info.id, 3, GL_TEXTURE_WIDTH), 1);  // the mip chain exists
        GLfloat anisotropy = 0.0f;
        glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, &anisotropy);
        EXPECT_EQ(anisotropy, TextureLoader::MaxAnisotropy());
    }

    const std::string renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    if (renderer.find("llvmpipe") != std::string::npos || renderer.find("softpipe") != std::string::npos) {
        EXPECT_EQ(TextureLoader::MaxAnisotropy(), 1.0f) << renderer;
    }

    const TextureInfo plain = m_loader.LoadPlain((m_dir / "solid.png").string());
    EXPECT_EQ(Param(plain.id, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(Param(plain.id, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(Param(plain.id, GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(LevelParam(plain.id, 1, GL_TEXTURE_WIDTH), 0);  // no mipmaps
    EXPECT_EQ(zttest::GLTestContext::TakeErrors(), "");
}

TEST_F(TextureLoaderTest, GeneratedTextures)
{
    const GLfloat colour[4] = {0.25f, 0.5f, 0.75f, 0.125f};
    const TextureInfo colourInfo = m_loader.CreateColorTexture({"", 0, 1}, colour);
    EXPECT_EQ(colourInfo.width, 1);
    EXPECT_EQ(colourInfo.height, 1);
    EXPECT_EQ(colourInfo.channels, 0);
    EXPECT_EQ(LevelParam(colourInfo.id, 0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA32F);
    GLfloat texel[4] = {};
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, texel);
    EXPECT_EQ(std::vector<float>(texel, texel + 4), std::vector<float>(colour, colour + 4));
    EXPECT_EQ(Param(colourInfo.id, GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(Param(colourInfo.id, GL_TEXTURE_WRAP_T), GL_CLAMP_TO_BORDER);
    EXPECT_EQ(Param(colourInfo.id, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_NEAREST);

    // The black texture needs a filter without mipmaps to be complete.
    const TextureInfo black = m_loader.CreateBlackTexture();
    EXPECT_EQ(LevelParam(black.id, 0, GL_TEXTURE_INTERNAL_FORMAT), GL_R8);
    EXPECT_EQ(Param(black.id, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_EQ(Read(black.id, GL_RED, 1, 1, 1), std::vector<uint8_t>{0});

    const TextureInfo checker = m_loader.CreateCheckerTexture();
    EXPECT_EQ(checker.width, 2);
    EXPECT_EQ(checker.height, 2);
    EXPECT_EQ(Read(checker.id, GL_RGB, 2, 2, 3),
              (std::vector<uint8_t>{0, 0, 0, 255, 255, 255, 255, 255, 255, 0, 0, 0}));
    EXPECT_EQ(Param(checker.id, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_EQ(Param(checker.id, GL_TEXTURE_WRAP_T), GL_REPEAT);

    const std::vector<GLuint> made = m_loader.GetTextures();
    ASSERT_EQ(made.size(), 3u);
    m_loader.DeleteAll();
    EXPECT_TRUE(m_loader.GetTextures().empty());
    for (GLuint id : made)
        EXPECT_EQ(glIsTexture(id), GL_FALSE);
    EXPECT_EQ(zttest::GLTestContext::TakeErrors(), "");
}

TEST_F(TextureLoaderTest, MissingPictureStopsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    TextureLoadParams param;
    param.mFile = "textures/no-such-picture.png";
    EXPECT_DEATH(m_loader.Load(param, true, false), "param.mFile.empty\\(\\)");
    EXPECT_DEATH(m_loader.LoadPlain("textures/no-such-picture.png"), "param.mFile.empty\\(\\)");
}

}  // namespace
