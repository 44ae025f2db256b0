// Off-screen render targets with texture attachments.
#include "core/graphics/glrenderer/FrameBufferObject.h"

#include <GL/glew.h>

#include "core/util/assert/AppAssert.h"

#include <algorithm>
#include <cstdio>

namespace ztengine {

GLenum FrameBufferObject::WrapMode(int wrapCode)
{
    switch (wrapCode) {
    case kWrapClampToEdge:
        return GL_CLAMP_TO_EDGE;
    case kWrapClampToBorder:
        return GL_CLAMP_TO_BORDER;
    default:
        return GL_REPEAT;
    }
}

void FrameBufferObject::SetSize(GLsizei width, GLsizei height)
{
    assert(!m_begin);
    m_width = width;
    m_height = height;
}

void FrameBufferObject::SetClearColor(float r, float g, float b, float a)
{
    m_clearColor[0] = r;
    m_clearColor[1] = g;
    m_clearColor[2] = b;
    m_clearColor[3] = a;
}

GLuint FrameBufferObject::CreateAttachmentTexture(GLint internalFormat, GLenum format, bool nearest,
                                                  int wrapCode)
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, m_width, m_height, 0, format, GL_FLOAT, nullptr);
    const GLint filter = nearest ? GL_NEAREST : GL_LINEAR;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    const GLint wrap = static_cast<GLint>(WrapMode(wrapCode));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    if (wrap == GL_CLAMP_TO_BORDER)
        glTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, m_clearColor);
    glBindTexture(GL_TEXTURE_2D, 0);
    m_createdTextures.push_back(texture);
    return texture;
}

void FrameBufferObject::AddColorAttachment(GLuint texture)
{
    assert(!m_begin);
    m_colorAttachments.push_back(texture);
}

void FrameBufferObject::AddDepthAttachment(GLuint texture)
{
    assert(!m_begin);
    m_depthAttachments.push_back(texture);
}

bool FrameBufferObject::Create()
{
    assert(!m_begin);
    if (m_drawBuffers.empty()) {
        GLint maxAttachments = 0;
        glGetIntegerv(GL_MAX_COLOR_ATTACHMENTS, &maxAttachments);
        for (GLint i = 0; i < maxAttachments; ++i)
            m_drawBuffers.push_back(GL_COLOR_ATTACHMENT0 + i);
    }
    assert(m_colorAttachments.size() <= m_drawBuffers.size());

    glGenFramebuffers(1, &m_fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, m_fbo);
    for (size_t i = 0; i < m_colorAttachments.size(); ++i)
        glFramebufferTexture(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + static_cast<GLenum>(i),
                             m_colorAttachments[i], 0);
    for (GLuint depth : m_depthAttachments)
        glFramebufferTexture(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, depth, 0);
    if (!m_colorAttachments.empty())
        glDrawBuffers(static_cast<GLsizei>(m_colorAttachments.size()), m_drawBuffers.data());

    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    if (status != GL_FRAMEBUFFER_COMPLETE) {
        std::printf("Framebuffer incomplete: status 0x%04X (%d colour, %d depth attachments)\n",
                    static_cast<unsigned>(status), static_cast<int>(m_colorAttachments.size()),
                    static_cast<int>(m_depthAttachments.size()));
        std::fflush(stdout);
    }

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDrawBuffer(GL_BACK);
    return status == GL_FRAMEBUFFER_COMPLETE;
}

void FrameBufferObject::Begin()
{
    assert(!m_begin);
    glGetIntegerv(GL_VIEWPORT, m_savedViewport);
    glBindFramebuffer(GL_FRAMEBUFFER, m_fbo);
    const GLbitfield clear = (m_clearColourOnBegin ? GL_COLOR_BUFFER_BIT : 0u) |
                             (m_clearDepthOnBegin ? GL_DEPTH_BUFFER_BIT : 0u);
    if (clear != 0)
        glClear(clear);
    glViewport(0, 0, m_width, m_height);
    m_begin = true;
}

void FrameBufferObject::End()
{
    assert(m_begin);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDrawBuffer(GL_BACK);
    glViewport(m_savedViewport[0], m_savedViewport[1], m_savedViewport[2], m_savedViewport[3]);
    m_begin = false;
}

void FrameBufferObject::SetDrawBuffers(unsigned from, unsigned to)
{
    assert(m_begin);
    assert(from < m_colorAttachments.size());
    assert(to <= m_colorAttachments.size());
    const unsigned first = std::min(from, to);
    const unsigned last = std::max(from, to);
    // `to` may name the slot just past the last attachment; it must still be a real draw buffer.
    assert(last < m_drawBuffers.size());
    glDrawBuffers(static_cast<GLsizei>(last - first + 1), m_drawBuffers.data() + first);
}

void FrameBufferObject::Destroy(bool deleteTextures)
{
    assert(!m_begin);
    glDeleteFramebuffers(1, &m_fbo);
    m_fbo = 0;
    if (deleteTextures && !m_createdTextures.empty()) {
        glDeleteTextures(static_cast<GLsizei>(m_createdTextures.size()), m_createdTextures.data());
        m_createdTextures.clear();
    }
}

}  // namespace ztengine
