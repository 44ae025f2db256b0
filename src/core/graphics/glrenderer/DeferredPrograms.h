#pragma once
// The GL programs of the deferred frame: what each is built from (files, attribute and output
// bindings, uniform names) and the values set once after linking. The frame (GLRenderer3D) sets
// the per-draw uniforms. A program whose file is missing stays unbuilt (id 0); its pass then
// draws nothing of its own.
#include <cstdint>

#include "core/graphics/main/Shader.h"

namespace ztengine {

// Model instances (plain) and instance buffers (instanced) into the G-buffer.
struct GeometryPrograms {
    // Bone matrices a posed instance can hand the programs; the shaders declare the same size.
    static constexpr uint32_t kMaxBones = 128;

    bool Init();
    void Release();
    // "near" and "far" of both programs.
    void SetClipPlanes(float nearPlane, float farPlane);
    bool IsReady() const { return plain.IsBuilt() && instanced.IsBuilt(); }

    ztgraphics::Shader plain;
    ztgraphics::Shader instanced;
};

// The sun's depth map, from model instances and from instance buffers.
struct ShadowPrograms {
    bool Init();
    void Release();

    ztgraphics::Shader plain;
    ztgraphics::Shader instanced;
};

// The full-screen light pass into the scene target (lit colour and bright part).
struct LightProgram {
    bool Init();
    void Release();

    ztgraphics::Shader program;
};

// The sky box behind the scene.
struct SkyboxProgram {
    bool Init();
    void Release();

    ztgraphics::Shader program;
};

// The frame's image to the window with gamma.
struct FinalQuadProgram {
    bool Init();
    void Release();

    ztgraphics::Shader program;
};

// Uploads count row-major matrices to a mat4 array uniform (transposed, as every matrix).
void SetMatrixArray(const ztgraphics::Shader& program, const char* name, const float* rowMajor, uint32_t count);
// Uploads count vec4 entries to a vec4 array uniform.
void SetVec4Array(const ztgraphics::Shader& program, const char* name, const float* values, uint32_t count);

}  // namespace ztengine
