#pragma once
// Creates the renderer's vertex arrays and buffers and remembers every one of them, so that the
// renderer's shutdown can release them together.
// GL types are spelled as plain integers so the header works whatever GL header came first.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace ztengine {

class MeshInfo;

class GLObjectRegistry {
public:
    struct InstanceVbo {
        uint32_t vao = 0;
        uint32_t vbo = 0;
        uint32_t bytes = 0;
    };

    // Vertex attribute locations of the mesh and instance data.
    static constexpr uint32_t kPositionAttribute = 0;
    static constexpr uint32_t kNormalAttribute = 1;
    static constexpr uint32_t kTexCoordAttribute = 2;
    static constexpr uint32_t kTangentAttribute = 3;
    static constexpr uint32_t kBoneWeightsAttribute = 4;
    static constexpr uint32_t kBoneIdsAttribute = 5;
    static constexpr uint32_t kInstanceMatrixAttribute = 6;  // 6 to 9, one column each
    static constexpr uint32_t kInstanceTextureOffsetAttribute = 10;
    static constexpr uint32_t kParticleRecordBytes = 88;

    // Generates, records and binds a vertex array.
    uint32_t CreateVertexArray();
    // Generates, records and binds an array buffer filled once (static) or left empty to be
    // written often (dynamic).
    uint32_t CreateStaticBuffer(size_t size, const void* data);
    uint32_t CreateDynamicBuffer(size_t size);

    // The mesh on the GPU: 44-byte vertices (attributes 0 to 3), the 32-byte skin records of a
    // skinned mesh (attribute 4 weights, attribute 5 integer bone ids) and 32-bit indices.
    // Attributes are pointed at their data but enabled by the passes when they draw. Returns the
    // vertex array.
    uint32_t UploadMesh(const MeshInfo& mesh);

    // A dynamic buffer of capacity 72-byte instance records on the mesh's vertex array,
    // attributes 6 to 10 with divisor 1.
    InstanceVbo CreateInstanceVBO(uint32_t meshVao, uint32_t capacity);
    // Points attributes 6 to 10 of the bound vertex array at the buffer. Instance buffers of
    // one mesh share its vertex array, so each draw points them at its own records first.
    static void BindInstanceAttributes(uint32_t vbo);

    // A vertex array holding only a dynamic buffer of capacity 88-byte particle records.
    InstanceVbo CreateParticleVAO(uint32_t capacity);

    // Deletes every recorded vertex array and buffer.
    void DeleteAll();

    const std::vector<uint32_t>& GetVertexArrays() const { return m_vertexArrays; }
    const std::vector<uint32_t>& GetBuffers() const { return m_buffers; }

private:
    uint32_t GenerateBuffer();

    std::vector<uint32_t> m_vertexArrays;
    std::vector<uint32_t> m_buffers;
};

}  // namespace ztengine
