#pragma once
// Wireframe debug drawing in world space, handed to every system's Render pass.
#include "core/math/Quaternion.h"
#include "core/math/Vector3.h"

namespace ztengine {

class DebugDraw {
public:
    virtual ~DebugDraw() = default;

    virtual void DrawLine(const ztmath::Vector3& from, const ztmath::Vector3& to) = 0;
    virtual void DrawBox(const ztmath::Vector3& position, const ztmath::Quaternion& orientation,
                         const ztmath::Vector3& size) = 0;
    virtual void DrawSphere(const ztmath::Vector3& position, float radius,
                            const ztmath::Quaternion& orientation) = 0;
    virtual void DrawTriangle(const ztmath::Vector3& position,
                              const ztmath::Quaternion& orientation,
                              const ztmath::Vector3& scale) = 0;

    // The colour of what is drawn next.
    virtual void SetColor(const ztmath::Vector3& color) = 0;
    // Bracket the application's debug pass: the drawer takes the GL state it needs (its
    // program, no face culling) and gives it back afterwards, so the pass itself makes no GL
    // call and runs without a context when the drawer needs none.
    virtual void BeginPass() = 0;
    virtual void EndPass() = 0;
};

}  // namespace ztengine
