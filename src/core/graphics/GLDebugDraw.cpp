// Wireframe debug shapes over the finished frame.
#include "core/graphics/GLDebugDraw.h"

#include <GL/glew.h>

#include <cmath>

#include "core/graphics/framework/mesh/builders/LineBuilder.h"
#include "core/graphics/framework/mesh/builders/SimpleCubeMeshBuilder.h"
#include "core/graphics/framework/mesh/builders/SimpleTriangleMeshBuilder.h"
#include "core/graphics/framework/mesh/builders/SphereMeshBuilder.h"
#include "core/graphics/framework/mesh/core/MeshLoader.h"
#include "core/math/Basis.h"

namespace ztengine {

namespace {

struct UploadedShape {
    uint32_t vao = 0;
    uint32_t indexCount = 0;
};

UploadedShape Upload(GLObjectRegistry& objects, MeshBuilder& builder)
{
    MeshLoader<> mesh(&builder);
    mesh.Build();
    UploadedShape shape;
    shape.vao = objects.UploadMesh(mesh);
    shape.indexCount = mesh.GetFaceCount() * 3;
    // Only positions are drawn; the array keeps its attribute on for good.
    glBindVertexArray(shape.vao);
    glEnableVertexAttribArray(GLObjectRegistry::kPositionAttribute);
    glBindVertexArray(0);
    return shape;
}

}  // namespace

GLDebugDraw::GLDebugDraw() = default;

void GLDebugDraw::Init()
{
    LineBuilder line;
    SimpleCubeMeshBuilder cube;
    SphereMeshBuilder sphere(kSphereStacks, kSphereSlices);
    SimpleTriangleMeshBuilder triangle;
    m_lineVao = Upload(m_objects, line).vao;
    const UploadedShape cubeShape = Upload(m_objects, cube);
    const UploadedShape sphereShape = Upload(m_objects, sphere);
    const UploadedShape triangleShape = Upload(m_objects, triangle);
    m_cubeVao = cubeShape.vao;
    m_cubeIndexCount = cubeShape.indexCount;
    m_sphereVao = sphereShape.vao;
    m_sphereIndexCount = sphereShape.indexCount;
    m_triangleVao = triangleShape.vao;
    m_triangleIndexCount = triangleShape.indexCount;

    m_program.SetVertexShader("shaders/debug_line.vert");
    m_program.SetFragmentShader("shaders/debug.frag");
    m_program.BindAttribute(GLObjectRegistry::kPositionAttribute, "pos");
    m_program.BindOutput(0, "fragColor");
    m_program.AddUniform("mvp");
    m_program.AddUniform("color");
    m_program.Link();

    m_lastBoundVao = kNoVertexArray;
    m_ready = true;
}

void GLDebugDraw::Release()
{
    if (!m_ready)
        return;
    m_program.Destroy();
    m_objects.DeleteAll();
    m_lastBoundVao = kNoVertexArray;
    m_ready = false;
}

ztmath::Quaternion GLDebugDraw::TurnFromZ(const ztmath::Vector3& direction)
{
    if (std::fabs(direction.z - 1.0f) < 1e-5f)
        return ztmath::Quaternion();
    // Straight down -z every axis across z will do; x keeps the turn well defined.
    if (std::fabs(direction.z + 1.0f) < 1e-5f)
        return ztmath::Quaternion(1.0f, 0.0f, 0.0f, 0.0f);
    ztmath::Vector3 axis = ztmath::Vector3(0.0f, 0.0f, 1.0f).Cross(direction);
    axis.Normalize();
    ztmath::Quaternion turn;
    turn.SetFromAxisAngle(std::acos(std::fmax(-1.0f, std::fmin(1.0f, direction.z))), axis);
    return turn;
}

ztmath::Matrix4x4 GLDebugDraw::ShapeModelMatrix(const ztmath::Vector3& position,
                                                const ztmath::Quaternion& orientation,
                                                const ztmath::Vector3& scale)
{
    const ztmath::Basis frame = ztmath::Basis().RotateLocal(orientation);
    return ztmath::Matrix4x4::FromAxes(frame.right * scale.x, frame.up * scale.y, frame.forward * scale.z,
                                       position);
}

std::optional<ztmath::Matrix4x4> GLDebugDraw::LineModelMatrix(const ztmath::Vector3& from,
                                                              const ztmath::Vector3& to)
{
    const ztmath::Vector3 offset = to - from;
    const float length = offset.Length();
    // A line of no length has no direction: dividing by it would fill the matrix with NaN.
    if (!(length > 1e-6f))
        return std::nullopt;
    const ztmath::Vector3 direction = offset / length;
    return ShapeModelMatrix(from + direction * (length * 0.5f), TurnFromZ(direction),
                            ztmath::Vector3(1.0f, 1.0f, length));
}

void GLDebugDraw::Prepare(uint32_t vao, const ztmath::Matrix4x4& model)
{
    if (m_lastBoundVao != vao) {
        glBindVertexArray(vao);
        m_lastBoundVao = vao;
    }
    m_program.SetVec3("color", m_color.x, m_color.y, m_color.z);
    m_program.SetMatrix4("mvp", (m_viewProjection * model).data());
}

void GLDebugDraw::DrawWireframe(uint32_t vao, uint32_t indexCount, const ztmath::Matrix4x4& model)
{
    Prepare(vao, model);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indexCount), GL_UNSIGNED_INT, nullptr);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

void GLDebugDraw::DrawLine(const ztmath::Vector3& from, const ztmath::Vector3& to)
{
    if (!m_ready)
        return;
    const std::optional<ztmath::Matrix4x4> model = LineModelMatrix(from, to);
    if (!model)
        return;
    Prepare(m_lineVao, *model);
    glDrawElements(GL_LINES, 2, GL_UNSIGNED_INT, nullptr);
}

void GLDebugDraw::DrawBox(const ztmath::Vector3& position, const ztmath::Quaternion& orientation,
                          const ztmath::Vector3& size)
{
    if (m_ready)
        DrawWireframe(m_cubeVao, m_cubeIndexCount, ShapeModelMatrix(position, orientation, size));
}

void GLDebugDraw::DrawSphere(const ztmath::Vector3& position, float radius, const ztmath::Quaternion& orientation)
{
    if (m_ready)
        DrawWireframe(m_sphereVao, m_sphereIndexCount, ShapeModelMatrix(position, orientation, SphereScale(radius)));
}

void GLDebugDraw::DrawTriangle(const ztmath::Vector3& position, const ztmath::Quaternion& orientation,
                               const ztmath::Vector3& scale)
{
    if (m_ready)
        DrawWireframe(m_triangleVao, m_triangleIndexCount, ShapeModelMatrix(position, orientation, scale));
}

void GLDebugDraw::BeginPass()
{
    if (!m_ready)
        return;
    m_program.Use();
    glDisable(GL_CULL_FACE);
}

void GLDebugDraw::EndPass()
{
    if (!m_ready)
        return;
    ztgraphics::Shader::Unuse();
    glEnable(GL_CULL_FACE);
    glBindVertexArray(0);
    // Other passes bind arrays of their own; the next shape must bind its array again.
    m_lastBoundVao = kNoVertexArray;
}

}  // namespace ztengine
