// Imported meshes: vertices, skin weights, skeleton and animations from the first mesh of a file.
#include "core/graphics/framework/mesh/builders/CustomMeshBuilder.h"

#include <algorithm>
#include <array>

#include "core/animation/Skeleton/AnimationLoader.h"
#include "core/graphics/framework/mesh/core/MeshCreator.h"

namespace ztengine {

using ztmath::Vector3;
using ztmath::Vector4;

namespace {

// The four heaviest influences of a vertex (ties to the lower bone), in bone order, scaled to
// sum 1. A vertex whose weights are all 0 keeps them: there is nothing to scale.
void AddVertexSkin(MeshCreator& creator, const CountedVector<VertexInfluence>& influences)
{
    CountedVector<VertexInfluence> kept(influences);
    std::stable_sort(kept.begin(), kept.end(), [](const VertexInfluence& a, const VertexInfluence& b) {
        if (a.weight != b.weight)
            return a.weight > b.weight;
        return a.bone < b.bone;
    });
    if (kept.size() > CustomMeshBuilder::kMaxInfluences)
        kept.resize(CustomMeshBuilder::kMaxInfluences);
    std::sort(kept.begin(), kept.end(), [](const VertexInfluence& a, const VertexInfluence& b) {
        if (a.bone != b.bone)
            return a.bone < b.bone;
        return a.weight < b.weight;
    });

    float sum = 0.0f;
    for (const VertexInfluence& influence : kept)
        sum += influence.weight;

    Vector4 weights(0.0f, 0.0f, 0.0f, 0.0f);
    std::array<int32_t, 4> bones = {0, 0, 0, 0};
    for (size_t i = 0; i < kept.size(); ++i) {
        weights[static_cast<int>(i)] = sum > 0.0f ? kept[i].weight / sum : kept[i].weight;
        bones[i] = kept[i].bone;
    }
    creator.AddSkinWeights(weights, bones);
}

void AddSkeleton(MeshCreator& creator, const ImportedModel& model)
{
    Skeleton& skeleton = creator.GetMutableSkeleton();
    for (const ImportedBone& imported : model.bones) {
        Bone bone;
        bone.name = imported.name;
        bone.offset = imported.offset;

        // When several nodes share the name, the last one wins.
        const ImportedNode* node = nullptr;
        for (const ImportedNode& candidate : model.nodes) {
            if (candidate.name == imported.name)
                node = &candidate;
        }
        if (node != nullptr) {
            bone.parentIndex = node->parentIndex;
            bone.childCount = node->childCount;
            bone.children = node->children;
            bone.nodeTransform = node->transform;
            if (node->parentIndex == -1)
                skeleton.m_rootMatrix = node->transform;
        }
        skeleton.m_bones.push_back(std::move(bone));
    }

    for (const ImportedNode& imported : model.nodes) {
        SkeletonNode node;
        node.name = imported.name;
        node.transform = imported.transform;
        node.children = imported.children;
        skeleton.mNodeBuffer.push_back(std::move(node));
    }
}

}  // namespace

CustomMeshBuilder& CustomMeshBuilder::Instance()
{
    static CustomMeshBuilder instance;
    return instance;
}

void CustomMeshBuilder::SetFile(std::string_view filePath, std::string_view fileName)
{
    m_filePath.assign(filePath.data(), filePath.size());
    m_fileName.assign(fileName.data(), fileName.size());
}

bool CustomMeshBuilder::Build(MeshCreator& creator)
{
    CountedString fullPath = m_filePath;
    if (!fullPath.empty() && fullPath.back() != '/' && fullPath.back() != '\\')
        fullPath += '/';
    fullPath += m_fileName;

    m_lastResult = m_importer.Load(fullPath.c_str());
    const ImportedModel& model = m_importer.GetModel(m_lastResult.modelIndex);
    m_estimate = model.vertexCount;

    // Whatever the file lacks is passed on as zeros.
    const bool hasPositions = model.positions.size() >= model.vertexCount;
    const bool hasNormals = (model.flags & kImportedNormals) && model.normals.size() >= model.vertexCount;
    const bool hasTexCoords =
        (model.flags & kImportedTexCoords) && model.texCoords.size() >= model.vertexCount;
    const bool hasTangents =
        (model.flags & kImportedTangents) && model.tangents.size() >= model.vertexCount;
    const bool hasSkin = model.boneCount > 0 && model.influences.size() >= model.vertexCount;

    for (uint32_t v = 0; v < model.vertexCount; ++v) {
        const float uv[2] = {hasTexCoords ? model.texCoords[v].x : 0.0f,
                             hasTexCoords ? model.texCoords[v].y : 0.0f};
        creator.AddVertex(hasPositions ? &model.positions[v] : nullptr,
                          hasNormals ? &model.normals[v] : nullptr, uv,
                          hasTangents ? &model.tangents[v] : nullptr);
        if (hasSkin)
            AddVertexSkin(creator, model.influences[v]);
    }

    for (size_t i = 0; i + 2 < model.indices.size(); i += 3)
        creator.AddTriangle(model.indices[i], model.indices[i + 1], model.indices[i + 2]);

    AddSkeleton(creator, model);

    if (const ImportedAnimationSet* animations = m_importer.GetAnimationSet(m_lastResult.animationSetIndex)) {
        SkeletalAnimationSet& target = creator.GetMutableAnimations();
        target.m_skeleton = creator.GetMutableSkeleton();
        AppendImportedAnimations(*animations, target);
    }
    return m_lastResult.modelIndex >= 0;
}

}  // namespace ztengine
