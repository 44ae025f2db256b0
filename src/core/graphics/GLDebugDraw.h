#pragma once
// The OpenGL debug drawer owned by the renderer.
#include <cstdint>

#include "core/graphics/framework/DebugDraw.h"

namespace ztengine {

class GLDebugDraw : public DebugDraw {
public:
    // Stands for "no vertex array bound" in m_lastBoundVao.
    static constexpr uint32_t kNoVertexArray = 1281;

    GLDebugDraw();

    // With the renderer, once the GL context exists; until then (and after Release) the drawer
    // touches no GL state.
    void Init();
    void Release();

    void DrawLine(const ztmath::Vector3& from, const ztmath::Vector3& to) override;
    void DrawBox(const ztmath::Vector3& position, const ztmath::Quaternion& orientation,
                 const ztmath::Vector3& size) override;
    void DrawSphere(const ztmath::Vector3& position, float radius,
                    const ztmath::Quaternion& orientation) override;
    void DrawTriangle(const ztmath::Vector3& position, const ztmath::Quaternion& orientation,
                      const ztmath::Vector3& scale) override;
    void SetColor(const ztmath::Vector3& color) override { m_color = color; }
    void BeginPass() override;
    void EndPass() override;

    ztmath::Vector3 m_color{1.0f, 0.0f, 0.0f};
    // The drawer's GL program; 0 until the drawer has one, and then the pass binds none.
    uint32_t m_program = 0;
    uint32_t m_lastBoundVao = kNoVertexArray;

private:
    bool m_ready = false;
};

}  // namespace ztengine
