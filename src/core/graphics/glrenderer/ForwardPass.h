#pragma once
// An unlit forward draw of the model instances and instance buffers straight into the window:
// each surface shows its material's diffuse texture, tiled and tinted. The frame uses it until
// the deferred lighting draws the scene.
#include <cstdint>

#include "core/graphics/main/Shader.h"
#include "core/math/Matrix4x4.h"
#include "core/math/Vector2.h"
#include "core/math/Vector4.h"

namespace ztengine {

class ForwardPass {
public:
    // Builds both programs from "shaders/"; false when a shader file is missing (the pass then
    // draws nothing).
    bool Init();
    void Release();
    bool IsReady() const { return m_plain.IsBuilt() && m_instanced.IsBuilt(); }

    // One program per kind of draw; Begin binds it, End unbinds it. The caller binds the vertex
    // array with its attributes enabled and the diffuse texture on unit 0.
    void BeginInstances() const;
    // tint: colour and strength, mixed over the texture.
    void DrawInstance(const ztmath::Matrix4x4& mvp, const ztmath::Vector2& tiling,
                      const ztmath::Vector4& tint, uint32_t indexCount) const;
    void BeginInstanceBuffers(const ztmath::Matrix4x4& projectionView) const;
    // tint: multiplies the texture ((1, 1, 1, 1) leaves it as it is).
    void DrawInstanceBuffer(const ztmath::Vector4& tint, uint32_t indexCount, uint32_t instances) const;
    static void End();

private:
    ztgraphics::Shader m_plain;
    ztgraphics::Shader m_instanced;
};

}  // namespace ztengine
