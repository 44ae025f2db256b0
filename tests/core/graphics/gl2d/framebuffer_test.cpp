// Off-screen targets under a real GL context: completeness with 1 to 4 colour attachments,
// draw-buffer ranges, viewport save and restore, and the bracketing assertions.
#include "core/graphics/glrenderer/FrameBufferObject.h"

#include "support/GLTestContext.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

using ztengine::FrameBufferObject;

class FrameBufferTest : public zttest::GLTest {};

std::vector<float> ReadTexture(GLuint texture, int width, int height)
{
    std::vector<float> texels(static_cast<size_t>(width) * height * 4);
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return texels;
}

TEST_F(FrameBufferTest, OneToFourColourAttachmentsAreComplete)
{
    struct Case {
        int colours;
        GLint internalFormat;
        bool depth;
    };
    const Case cases[] = {
        {1, GL_RGBA16F, false}, {2, GL_RGBA32F, true}, {3, GL_RGBA8, true}, {4, GL_RGBA16F, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.colours);
        FrameBufferObject fbo;
        fbo.SetSize(64, 48);
        std::vector<GLuint> colours;
        for (int i = 0; i < c.colours; ++i) {
            colours.push_back(fbo.CreateAttachmentTexture(c.internalFormat, GL_RGBA, i % 2 == 0, 4));
            fbo.AddColorAttachment(colours.back());
        }
        GLuint depth = 0;
        if (c.depth) {
            depth = fbo.CreateAttachmentTexture(GL_DEPTH_COMPONENT24, GL_DEPTH_COMPONENT, true, 4);
            fbo.AddDepthAttachment(depth);
        }
        std::string out;
        bool complete = false;
        out = zttest::CaptureStdout([&] { complete = fbo.Create(); });
        EXPECT_TRUE(complete);
        EXPECT_EQ(out, "");

        glBindFramebuffer(GL_FRAMEBUFFER, fbo.GetId());
        EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
        for (int i = 0; i < c.colours; ++i) {
            GLint name = 0;
            glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + i,
                                                  GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &name);
            EXPECT_EQ(static_cast<GLuint>(name), colours[i]);
            GLint drawBuffer = 0;
            glGetIntegerv(GL_DRAW_BUFFER0 + i, &drawBuffer);
            EXPECT_EQ(drawBuffer, GL_COLOR_ATTACHMENT0 + i);
        }
        if (c.depth) {
            GLint name = 0;
            glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT,
                                                  GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &name);
            EXPECT_EQ(static_cast<GLuint>(name), depth);
        }
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        fbo.Destroy(true);
        EXPECT_EQ(fbo.GetId(), 0u);
        for (GLuint t : colours)
            EXPECT_EQ(glIsTexture(t), GL_FALSE);
        EXPECT_EQ(zttest::GLTestContext::TakeErrors(), "");
    }
}

TEST_F(FrameBufferTest, IncompleteTargetIsReported)
{
    FrameBufferObject fbo;
    fbo.SetSize(0, 0);  // zero-sized images make the attachment incomplete
    fbo.AddColorAttachment(fbo.CreateAttachmentTexture(GL_RGBA16F, GL_RGBA, true, 0));
    bool complete = true;
    const std::string out = zttest::CaptureStdout([&] { complete = fbo.Create(); });
    EXPECT_FALSE(complete);
    EXPECT_EQ(out.rfind("Framebuffer incomplete: status 0x", 0), 0u) << out;
    fbo.Destroy(true);
}

TEST_F(FrameBufferTest, DrawBufferRangesPickTheAttachments)
{
    constexpr int w = 8, h = 4;
    FrameBufferObject fbo;
    fbo.SetSize(w, h);
    fbo.AddColorAttachment(fbo.CreateAttachmentTexture(GL_RGBA32F, GL_RGBA, true, 4));
    fbo.AddColorAttachment(fbo.CreateAttachmentTexture(GL_RGBA32F, GL_RGBA, true, 4));
    ASSERT_TRUE(fbo.Create());
    const GLuint first = fbo.GetColorAttachments()[0];
    const GLuint second = fbo.GetColorAttachments()[1];

    struct Case {
        unsigned from;
        unsigned to;
        float firstRed;
        float secondRed;
    };
    // A clear reaches exactly the selected draw buffers.
    const Case cases[] = {{1, 1, 0.0f, 1.0f}, {0, 1, 1.0f, 1.0f}, {1, 0, 1.0f, 1.0f}, {0, 0, 1.0f, 0.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << ".." << c.to);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        fbo.Begin();  // clears every attachment selected so far
        fbo.SetDrawBuffers(0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        fbo.SetDrawBuffers(c.from, c.to);
        glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        fbo.End();
        EXPECT_EQ(ReadTexture(first, w, h)[0], c.firstRed);
        EXPECT_EQ(ReadTexture(second, w, h)[0], c.secondRed);
    }
    EXPECT_EQ(zttest::GLTestContext::TakeErrors(), "");
    fbo.Destroy(true);
}

// Begin clears what the target is told to clear and leaves the rest as the last pass left it.
TEST_F(FrameBufferTest, BeginClearsOnlyWhatTheTargetAsksFor)
{
    struct Case {
        bool colour;
        bool depth;
    };
    const Case cases[] = {{true, true}, {false, true}, {true, false}, {false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "colour " << c.colour << ", depth " << c.depth);
        FrameBufferObject fbo;
        fbo.SetSize(8, 8);
        fbo.AddColorAttachment(fbo.CreateAttachmentTexture(GL_RGBA16F, GL_RGBA, true, 4));
        const GLuint depth = fbo.CreateAttachmentTexture(GL_DEPTH_COMPONENT32, GL_DEPTH_COMPONENT, true, 4);
        fbo.AddDepthAttachment(depth);
        ASSERT_TRUE(fbo.Create());

        // Colour 1 and depth 0.25 stand for what the last frame drew.
        glBindFramebuffer(GL_FRAMEBUFFER, fbo.GetId());
        glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
        glClearDepth(0.25);
        glDepthMask(GL_TRUE);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);

        fbo.SetClearOnBegin(c.colour, c.depth);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClearDepth(1.0);
        fbo.Begin();
        fbo.End();
        EXPECT_EQ(ReadTexture(fbo.GetColorAttachments()[0], 8, 8)[0], c.colour ? 0.0f : 1.0f);
        std::vector<float> depths(64);
        glBindTexture(GL_TEXTURE_2D, depth);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depths.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        EXPECT_EQ(depths[0], c.depth ? 1.0f : 0.25f);
        fbo.Destroy(true);
    }
    EXPECT_EQ(zttest::GLTestContext::TakeErrors(), "");
}

TEST_F(FrameBufferTest, BeginAndEndSaveAndRestoreTheViewport)
{
    FrameBufferObject fbo;
    fbo.SetSize(32, 16);
    fbo.AddColorAttachment(fbo.CreateAttachmentTexture(GL_RGBA8, GL_RGBA, false, 4));
    ASSERT_TRUE(fbo.Create());

    glViewport(3, 5, 70, 90);
    fbo.Begin();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(std::vector<GLint>(viewport, viewport + 4), (std::vector<GLint>{0, 0, 32, 16}));
    GLint bound = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), fbo.GetId());
    EXPECT_TRUE(fbo.IsDrawing());
    fbo.End();
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(std::vector<GLint>(viewport, viewport + 4), (std::vector<GLint>{3, 5, 70, 90}));
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    EXPECT_EQ(bound, 0);
    EXPECT_FALSE(fbo.IsDrawing());
    fbo.Destroy(true);
}

TEST_F(FrameBufferTest, BorderColourIsTheClearColour)
{
    FrameBufferObject fbo;
    fbo.SetSize(4, 4);
    fbo.SetClearColor(0.25f, 0.5f, 0.75f, 1.0f);
    const GLuint border = fbo.CreateAttachmentTexture(GL_RGBA8, GL_RGBA, true, 6);
    const GLuint edge = fbo.CreateAttachmentTexture(GL_RGBA8, GL_RGBA, false, 4);
    GLint wrap = 0, filter = 0;
    GLfloat colour[4] = {};
    glBindTexture(GL_TEXTURE_2D, border);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, colour);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(wrap, GL_CLAMP_TO_BORDER);
    EXPECT_EQ(filter, GL_NEAREST);
    EXPECT_EQ(std::vector<float>(colour, colour + 4), (std::vector<float>{0.25f, 0.5f, 0.75f, 1.0f}));
    glBindTexture(GL_TEXTURE_2D, edge);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrap);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filter);
    EXPECT_EQ(wrap, GL_CLAMP_TO_EDGE);
    EXPECT_EQ(filter, GL_LINEAR);
    glBindTexture(GL_TEXTURE_2D, 0);
    fbo.Destroy(false);  // the textures outlive the framebuffer when asked
    EXPECT_EQ(glIsTexture(border), GL_TRUE);
    glDeleteTextures(1, &border);
    glDeleteTextures(1, &edge);
}

TEST_F(FrameBufferTest, BracketingMistakesStopTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    FrameBufferObject fbo;
    fbo.SetSize(8, 8);
    fbo.AddColorAttachment(fbo.CreateAttachmentTexture(GL_RGBA8, GL_RGBA, true, 4));
    fbo.AddColorAttachment(fbo.CreateAttachmentTexture(GL_RGBA8, GL_RGBA, true, 4));
    ASSERT_TRUE(fbo.Create());

    EXPECT_DEATH({ fbo.Begin(); fbo.Begin(); }, "!m_begin");
    EXPECT_DEATH(fbo.End(), "m_begin");
    EXPECT_DEATH(fbo.SetDrawBuffers(0, 1), "m_begin");
    EXPECT_DEATH({ fbo.Begin(); fbo.SetDrawBuffers(2, 2); }, "from < m_colorAttachments.size\\(\\)");
    EXPECT_DEATH({ fbo.Begin(); fbo.SetDrawBuffers(0, 3); }, "to <= m_colorAttachments.size\\(\\)");
    EXPECT_DEATH({ fbo.Begin(); fbo.AddColorAttachment(1); }, "!m_begin");
    EXPECT_DEATH({ fbo.Begin(); fbo.Destroy(true); }, "!m_begin");
    fbo.Destroy(true);
}

}  // namespace
