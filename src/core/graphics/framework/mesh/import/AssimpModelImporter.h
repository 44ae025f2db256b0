#pragma once
// Reads model files through Assimp into plain records: the first mesh of a file with its bones,
// the node tree, and the file's animations.
#include <cstdint>
#include <memory>

#include "core/animation/Skeleton/SkeletalAnimation.h"
#include "core/math/Matrix4x4.h"
#include "core/math/Vector2.h"
#include "core/math/Vector3.h"
#include "core/util/memory/MemoryAllocator.h"

struct aiScene;
namespace Assimp {
class Importer;
}

namespace ztengine {

// Which parts a model file supplied.
enum ImportedModelFlags : uint32_t {
    kImportedPositions = 1,
    kImportedNormals = 2,
    kImportedFaces = 4,
    kImportedTangents = 8,  // tangents and bitangents together
    kImportedTexCoords = 16,
};

struct VertexInfluence {
    int32_t bone = 0;
    float weight = 0.0f;
};

struct BoneVertexWeight {
    uint32_t vertex = 0;
    float weight = 0.0f;
};

struct ImportedBone {
    CountedString name;
    ztmath::Matrix4x4 offset;
    CountedVector<BoneVertexWeight> weights;
};

struct ImportedNode {
    CountedVector<uint32_t> children;
    CountedString name;
    uint32_t childCount = 0;
    int32_t parentIndex = -1;
    // Row-major with the translation in elements 3, 7 and 11, as Assimp keeps it.
    ztmath::Matrix4x4 transform;
};

struct ImportedModel {
    uint32_t vertexCount = 0;
    uint32_t indexCount = 0;
    // Triangles only: faces of any other size are not kept.
    uint32_t faceCount = 0;
    uint32_t boneCount = 0;
    CountedVector<ztmath::Vector3> positions;
    CountedVector<ztmath::Vector3> normals;
    CountedVector<ztmath::Vector3> tangents;
    CountedVector<ztmath::Vector3> bitangents;
    CountedVector<ztmath::Vector2> texCoords;
    CountedVector<uint32_t> indices;
    // One list per vertex when the mesh has bones, empty otherwise.
    CountedVector<CountedVector<VertexInfluence>> influences;
    CountedVector<ImportedBone> bones;
    CountedVector<ImportedNode> nodes;
    uint32_t flags = 0;
};

struct MeshAnimationKey {
    double time = 0.0;
    uint32_t value = 0;
};

struct MeshAnimationChannel {
    CountedString name;
    CountedVector<MeshAnimationKey> keys;
};

struct ImportedAnimation {
    CountedString name;
    double duration = 0.0;
    double ticksPerSecond = 0.0;
    CountedVector<AnimationChannel> nodeChannels;
    CountedVector<MeshAnimationChannel> meshChannels;
};

struct ImportedAnimationSet {
    CountedVector<ImportedAnimation> animations;
};

struct ImportResult {
    int32_t modelIndex = -1;
    int32_t animationSetIndex = -1;
};

class AssimpModelImporter {
public:
    // The post-processing every import asks for: tangent space, joined identical vertices,
    // triangulation, smooth normals where missing, and primitives sorted by type.
    static constexpr unsigned kPostProcessFlags = 0x804B;

    // Index 0 of both lists is an empty placeholder, so real imports count from 1.
    AssimpModelImporter();
    ~AssimpModelImporter();
    AssimpModelImporter(const AssimpModelImporter&) = delete;
    AssimpModelImporter& operator=(const AssimpModelImporter&) = delete;

    // Imports the file. {-1, -1} when Assimp cannot read it (its error is printed); the
    // animation-set index is -1 for a file without animations.
    ImportResult Load(const char* path);

    // The model at that index, or the empty placeholder for an index that names none.
    const ImportedModel& GetModel(int32_t index) const;
    // Null for an index that names no set.
    const ImportedAnimationSet* GetAnimationSet(int32_t index) const;
    uint32_t GetModelCount() const { return m_modelCount; }
    uint32_t GetAnimationSetCount() const { return m_animationSetCount; }

private:
    std::unique_ptr<Assimp::Importer> m_importer;
    CountedVector<ImportedModel> m_models;
    CountedVector<ImportedAnimationSet> m_animationSets;
    uint32_t m_modelCount = 0;
    uint32_t m_animationSetCount = 0;
    const aiScene* m_lastScene = nullptr;
};

}  // namespace ztengine
