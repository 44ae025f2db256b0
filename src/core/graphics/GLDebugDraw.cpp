#include "core/graphics/GLDebugDraw.h"

#include <GL/glew.h>

namespace ztengine {

GLDebugDraw::GLDebugDraw() = default;

// The shapes are not drawn yet: the drawer has no meshes or program of its own so far.
void GLDebugDraw::DrawLine(const ztmath::Vector3&, const ztmath::Vector3&) {}
void GLDebugDraw::DrawBox(const ztmath::Vector3&, const ztmath::Quaternion&, const ztmath::Vector3&) {}
void GLDebugDraw::DrawSphere(const ztmath::Vector3&, float, const ztmath::Quaternion&) {}
void GLDebugDraw::DrawTriangle(const ztmath::Vector3&, const ztmath::Quaternion&, const ztmath::Vector3&) {}

void GLDebugDraw::Init()
{
    m_lastBoundVao = kNoVertexArray;
    m_ready = true;
}

void GLDebugDraw::Release()
{
    m_ready = false;
}

void GLDebugDraw::BeginPass()
{
    if (!m_ready)
        return;
    if (m_program != 0)
        glUseProgram(m_program);
    glDisable(GL_CULL_FACE);
}

void GLDebugDraw::EndPass()
{
    if (!m_ready)
        return;
    glUseProgram(0);
    glEnable(GL_CULL_FACE);
    glBindVertexArray(0);
    // Other passes bind arrays of their own; the next shape must bind its array again.
    m_lastBoundVao = kNoVertexArray;
}

}  // namespace ztengine
