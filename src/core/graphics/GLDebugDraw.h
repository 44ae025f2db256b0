#pragma once
// The OpenGL debug drawer owned by the renderer: lines, boxes, spheres and triangles as
// single-colour wireframes over the finished frame.
#include <cstdint>
#include <optional>

#include "core/graphics/framework/DebugDraw.h"
#include "core/graphics/framework/GLObjectRegistry.h"
#include "core/graphics/main/Shader.h"
#include "core/math/Matrix4x4.h"
#include "core/math/Quaternion.h"
#include "core/math/Vector3.h"

namespace ztengine {

class GLDebugDraw : public DebugDraw {
public:
    // Stands for "no vertex array bound" in m_lastBoundVao.
    static constexpr uint32_t kNoVertexArray = 1281;
    static constexpr uint32_t kSphereStacks = 15;
    static constexpr uint32_t kSphereSlices = 15;

    // Sets the defaults; no GL call.
    GLDebugDraw();

    // With the renderer, once the GL context exists: the four shape meshes, their vertex arrays
    // and the program. Until then (and after Release) the drawer touches no GL state.
    void Init();
    // Deletes the program and every vertex array and buffer of the drawer.
    void Release();

    void DrawLine(const ztmath::Vector3& from, const ztmath::Vector3& to) override;
    void DrawBox(const ztmath::Vector3& position, const ztmath::Quaternion& orientation,
                 const ztmath::Vector3& size) override;
    void DrawSphere(const ztmath::Vector3& position, float radius,
                    const ztmath::Quaternion& orientation) override;
    void DrawTriangle(const ztmath::Vector3& position, const ztmath::Quaternion& orientation,
                      const ztmath::Vector3& scale) override;
    void SetColor(const ztmath::Vector3& color) override { m_color = color; }
    // The program in use and face culling off for the pass; undone by EndPass.
    void BeginPass() override;
    void EndPass() override;

    // translation(position) x rotation(orientation turning the default frame) x scale.
    static ztmath::Matrix4x4 ShapeModelMatrix(const ztmath::Vector3& position,
                                              const ztmath::Quaternion& orientation,
                                              const ztmath::Vector3& scale);
    // The unit line along z stretched onto from -> to; none for a line of no length.
    static std::optional<ztmath::Matrix4x4> LineModelMatrix(const ztmath::Vector3& from, const ztmath::Vector3& to);
    // The turn taking +z onto a unit direction: identity along +z, half a turn about x along -z.
    static ztmath::Quaternion TurnFromZ(const ztmath::Vector3& direction);
    // The sphere mesh has radius 0.5.
    static ztmath::Vector3 SphereScale(float radius) { return ztmath::Vector3(2.0f * radius, 2.0f * radius, 2.0f * radius); }

    bool IsReady() const { return m_ready; }
    const ztgraphics::Shader& GetProgram() const { return m_program; }
    const GLObjectRegistry& GetObjectRegistry() const { return m_objects; }

    ztmath::Vector3 m_color{1.0f, 0.0f, 0.0f};
    // Projection x view of the frame, stored by Graphics3D::RenderFrame every frame.
    ztmath::Matrix4x4 m_viewProjection;
    uint32_t m_lastBoundVao = kNoVertexArray;

private:
    // Binds the shape's array unless it is still bound, sets colour and transform.
    void Prepare(uint32_t vao, const ztmath::Matrix4x4& model);
    // Indexed triangles with polygon mode GL_LINE, then back to GL_FILL.
    void DrawWireframe(uint32_t vao, uint32_t indexCount, const ztmath::Matrix4x4& model);

    GLObjectRegistry m_objects;
    ztgraphics::Shader m_program;
    uint32_t m_lineVao = 0;
    uint32_t m_cubeVao = 0;
    uint32_t m_sphereVao = 0;
    uint32_t m_triangleVao = 0;
    uint32_t m_cubeIndexCount = 0;
    uint32_t m_sphereIndexCount = 0;
    uint32_t m_triangleIndexCount = 0;
    bool m_ready = false;
};

}  // namespace ztengine
