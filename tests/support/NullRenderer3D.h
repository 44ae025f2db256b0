#pragma once
// A 3D renderer for headless tests: the same CPU records as the OpenGL renderer (cameras,
// environments, instances and their pools, point lights, meshes, materials, models, instance
// buffers, options) and particle systems kept on the CPU, with no GL call anywhere. GPU ids
// (vertex arrays, textures, buffers) are made-up numbers that count up from 1.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/graphics/framework/DebugDraw.h"
#include "core/graphics/framework/Renderer3DBase.h"

namespace zttest {

// Draws nothing; counts what it was asked to draw.
class NullDebugDraw : public ztengine::DebugDraw {
public:
    using Vector3 = ztmath::Vector3;
    using Quaternion = ztmath::Quaternion;

    void DrawLine(const Vector3&, const Vector3&) override { ++lines; }
    void DrawBox(const Vector3&, const Quaternion&, const Vector3&) override { ++boxes; }
    void DrawSphere(const Vector3&, float, const Quaternion&) override { ++spheres; }
    void DrawTriangle(const Vector3&, const Quaternion&, const Vector3&) override { ++triangles; }
    void SetColor(const ztmath::Vector3& c) override { color = c; }
    void BeginPass() override { ++passes; }
    void EndPass() override {}

    int lines = 0;
    int boxes = 0;
    int spheres = 0;
    int triangles = 0;
    int passes = 0;
    ztmath::Vector3 color;
};

class NullRenderer3D : public ztengine::Renderer3DBase {
public:
    struct Particle {
        ztmath::Vector3 position;
        float scale = 0.0f;
        float rotation = 0.0f;
        float life = 0.0f;
        int32_t alive = 1;
    };
    struct ParticleSystem {
        std::string atlasPath;
        uint32_t rows = 0;
        uint32_t capacity = 0;
        std::vector<Particle> particles;
    };
    // One instance-buffer upload of a frame: the key and the number of records written.
    struct Upload {
        uint32_t key = 0;
        uint32_t count = 0;
    };

    // Set up as the OpenGL renderer's Init leaves it for a window of this size: environment 0
    // and render context 0 current, material 0 the default, the option defaults.
    explicit NullRenderer3D(int width = 800, int height = 600);
    ~NullRenderer3D() override;

    uint32_t GetShadowMapTexture() override { return m_shadowMapTexture; }
    ztengine::DebugDraw& GetDebugDraw() override { return m_debugDraw; }

    int32_t CreateParticleSystem(const char* atlasPath, uint32_t rows, uint32_t capacity) override;
    bool EmitParticle(uint32_t system, const ztmath::Vector3& position, float rotation, float scale,
                      float life) override;
    bool SetParticle(uint32_t system, uint32_t index, const ztmath::Vector3& position, float rotation,
                     float scale, float life, int32_t alive) override;
    bool RemoveParticle(uint32_t system, uint32_t index) override;
    uint32_t GetParticleCount(uint32_t system) override;
    uint32_t GetParticleCapacity(uint32_t system) override;
    bool IsValidParticleSystem(uint32_t system) override;
    bool SetParticles(uint32_t system, const ztengine::ParticleDescription* particles,
                      uint32_t count) override;
    void ClearParticles(uint32_t system) override;

    // ---- What the tests look at.
    int GetFrameCount() const { return m_frames; }
    float GetLastFrameDt() const { return m_lastDt; }
    // The instance-buffer uploads of the last frame, in key order.
    const std::vector<Upload>& GetLastUploads() const { return m_lastUploads; }
    // The image path a texture id was made from ("" for the default textures).
    const std::string& GetTexturePath(uint32_t texture) const;
    const std::vector<ParticleSystem>& GetParticleSystems() const { return m_particleSystems; }
    NullDebugDraw& GetNullDebugDraw() { return m_debugDraw; }

protected:
    // As the OpenGL frame does on the CPU: instance buffers uploaded, point lights sorted (unless
    // simple lighting), particles marked dead removed.
    void Render(float dt) override;

    uint32_t UploadMesh(const ztengine::MeshInfo& mesh) override;
    uint32_t LoadMaterialTexture(const char* path, TextureKind kind) override;
    InstanceVbo CreateInstanceVbo(uint32_t meshVao, uint32_t capacity) override;
    uint32_t BakeBlendMap(const ztengine::BlendMapDescription& description,
                          const ztmath::Vector2& tiling) override;

private:
    uint32_t NextId() { return m_nextId++; }
    uint32_t MakeTexture(const std::string& path);

    NullDebugDraw m_debugDraw;
    std::vector<ParticleSystem> m_particleSystems;
    std::map<uint32_t, std::string> m_texturePaths;
    std::vector<Upload> m_lastUploads;
    uint32_t m_nextId = 1;
    uint32_t m_shadowMapTexture = 0;
    int m_frames = 0;
    float m_lastDt = 0.0f;
};

}  // namespace zttest
