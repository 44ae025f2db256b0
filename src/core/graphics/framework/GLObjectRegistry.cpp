// Vertex arrays and buffers of meshes, instance buffers and particle systems.
#include "core/graphics/framework/GLObjectRegistry.h"

#include <GL/glew.h>

#include <cstddef>

#include "core/graphics/framework/InstanceBuffers.h"
#include "core/graphics/framework/mesh/core/MeshInfo.h"
#include "core/graphics/framework/mesh/core/MeshVertex.h"

namespace ztengine {

namespace {

const void* Offset(size_t bytes)
{
    return reinterpret_cast<const void*>(bytes);
}

}  // namespace

uint32_t GLObjectRegistry::CreateVertexArray()
{
    GLuint vao = 0;
    glGenVertexArrays(1, &vao);
    m_vertexArrays.push_back(vao);
    glBindVertexArray(vao);
    return vao;
}

uint32_t GLObjectRegistry::GenerateBuffer()
{
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    m_buffers.push_back(buffer);
    return buffer;
}

uint32_t GLObjectRegistry::CreateStaticBuffer(size_t size, const void* data)
{
    const GLuint buffer = GenerateBuffer();
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(size), data, GL_STATIC_DRAW);
    return buffer;
}

uint32_t GLObjectRegistry::CreateDynamicBuffer(size_t size)
{
    const GLuint buffer = GenerateBuffer();
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(size), nullptr, GL_DYNAMIC_DRAW);
    return buffer;
}

uint32_t GLObjectRegistry::UploadMesh(const MeshInfo& mesh)
{
    const uint32_t vao = CreateVertexArray();
    const size_t vertexCount = mesh.GetVertexCount();

    CreateStaticBuffer(vertexCount * sizeof(MeshVertex), mesh.GetVertices());
    constexpr GLsizei kVertexStride = sizeof(MeshVertex);
    glVertexAttribPointer(kPositionAttribute, 3, GL_FLOAT, GL_FALSE, kVertexStride,
                          Offset(offsetof(MeshVertex, position)));
    glVertexAttribPointer(kNormalAttribute, 3, GL_FLOAT, GL_FALSE, kVertexStride,
                          Offset(offsetof(MeshVertex, normal)));
    glVertexAttribPointer(kTexCoordAttribute, 2, GL_FLOAT, GL_FALSE, kVertexStride,
                          Offset(offsetof(MeshVertex, u)));
    glVertexAttribPointer(kTangentAttribute, 3, GL_FLOAT, GL_FALSE, kVertexStride,
                          Offset(offsetof(MeshVertex, tangent)));

    if (mesh.HasSkin()) {
        CreateStaticBuffer(vertexCount * sizeof(SkinWeights), mesh.GetSkinWeightsData());
        constexpr GLsizei kSkinStride = sizeof(SkinWeights);
        glVertexAttribPointer(kBoneWeightsAttribute, 4, GL_FLOAT, GL_FALSE, kSkinStride,
                              Offset(offsetof(SkinWeights, weights)));
        // Bone ids index the bone array: they must reach the program as integers.
        glVertexAttribIPointer(kBoneIdsAttribute, 4, GL_INT, kSkinStride,
                               Offset(offsetof(SkinWeights, boneIds)));
    }

    // The element buffer binding belongs to the vertex array, so it is made while it is bound.
    const GLuint elements = GenerateBuffer();
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, elements);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                 static_cast<GLsizeiptr>(static_cast<size_t>(mesh.GetFaceCount()) * sizeof(MeshFace)),
                 mesh.GetFaces(), GL_STATIC_DRAW);

    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    return vao;
}

void GLObjectRegistry::BindInstanceAttributes(uint32_t vbo)
{
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    constexpr GLsizei kStride = sizeof(GpuInstance);
    for (GLuint column = 0; column < 4; ++column) {
        glVertexAttribPointer(kInstanceMatrixAttribute + column, 4, GL_FLOAT, GL_FALSE, kStride,
                              Offset(offsetof(GpuInstance, m_matrix) + column * 4 * sizeof(float)));
        glVertexAttribDivisor(kInstanceMatrixAttribute + column, 1);
    }
    glVertexAttribPointer(kInstanceTextureOffsetAttribute, 2, GL_FLOAT, GL_FALSE, kStride,
                          Offset(offsetof(GpuInstance, m_textureOffset)));
    glVertexAttribDivisor(kInstanceTextureOffsetAttribute, 1);
}

GLObjectRegistry::InstanceVbo GLObjectRegistry::CreateInstanceVBO(uint32_t meshVao, uint32_t capacity)
{
    InstanceVbo result;
    result.vao = meshVao;
    result.bytes = capacity * static_cast<uint32_t>(sizeof(GpuInstance));
    glBindVertexArray(meshVao);
    result.vbo = CreateDynamicBuffer(result.bytes);
    BindInstanceAttributes(result.vbo);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return result;
}

GLObjectRegistry::InstanceVbo GLObjectRegistry::CreateParticleVAO(uint32_t capacity)
{
    InstanceVbo result;
    result.vao = CreateVertexArray();
    result.bytes = capacity * kParticleRecordBytes;
    result.vbo = CreateDynamicBuffer(result.bytes);
    // Matrix columns on 2 to 5, both atlas offsets on 6, rows and frame blend on 7.
    constexpr GLsizei kStride = kParticleRecordBytes;
    for (GLuint column = 0; column < 4; ++column)
        glVertexAttribPointer(2 + column, 4, GL_FLOAT, GL_FALSE, kStride, Offset(column * 16));
    glVertexAttribPointer(6, 4, GL_FLOAT, GL_FALSE, kStride, Offset(64));
    glVertexAttribPointer(7, 2, GL_FLOAT, GL_FALSE, kStride, Offset(80));
    for (GLuint attribute = 2; attribute <= 7; ++attribute)
        glVertexAttribDivisor(attribute, 1);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return result;
}

void GLObjectRegistry::DeleteAll()
{
    if (!m_vertexArrays.empty())
        glDeleteVertexArrays(static_cast<GLsizei>(m_vertexArrays.size()), m_vertexArrays.data());
    if (!m_buffers.empty())
        glDeleteBuffers(static_cast<GLsizei>(m_buffers.size()), m_buffers.data());
    m_vertexArrays.clear();
    m_buffers.clear();
}

}  // namespace ztengine
