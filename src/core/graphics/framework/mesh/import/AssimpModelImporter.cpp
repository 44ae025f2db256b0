// Copying an Assimp scene into plain records: first mesh, bones, node tree, animations.
#include "core/graphics/framework/mesh/import/AssimpModelImporter.h"

#include <assimp/Importer.hpp>
#include <assimp/scene.h>

#include <cstdio>
#include <utility>

namespace ztengine {

using ztmath::Matrix4x4;
using ztmath::Quaternion;
using ztmath::Vector2;
using ztmath::Vector3;

namespace {

Vector3 ToVector3(const aiVector3D& v)
{
    return Vector3(v.x, v.y, v.z);
}

Matrix4x4 ToMatrix(const aiMatrix4x4& m)
{
    return Matrix4x4(m.a1, m.a2, m.a3, m.a4, m.b1, m.b2, m.b3, m.b4, m.c1, m.c2, m.c3, m.c4, m.d1,
                     m.d2, m.d3, m.d4);
}

CountedString ToString(const aiString& s)
{
    return CountedString(s.C_Str(), s.length);
}

void ReadMesh(const aiMesh& mesh, ImportedModel& model)
{
    if (mesh.mPrimitiveTypes != aiPrimitiveType_TRIANGLE)
        std::printf("Primitive is not a triangle\n");

    const uint32_t vertexCount = mesh.mVertices ? mesh.mNumVertices : 0;
    model.vertexCount = vertexCount;

    if (mesh.mVertices != nullptr) {
        model.positions.reserve(vertexCount);
        for (uint32_t i = 0; i < vertexCount; ++i)
            model.positions.push_back(ToVector3(mesh.mVertices[i]));
        model.flags |= kImportedPositions;
    }

    if (mesh.HasNormals()) {
        model.normals.reserve(vertexCount);
        for (uint32_t i = 0; i < vertexCount; ++i) {
            Vector3 n = ToVector3(mesh.mNormals[i]);
            // A zero normal (a collapsed face) stays zero rather than becoming NaN.
            if (n.LengthSquared() > 0.0f)
                n.Normalize();
            model.normals.push_back(n);
        }
        model.flags |= kImportedNormals;
    }

    if (mesh.HasFaces()) {
        // Points and lines (a first mesh can be one after sorting by type) and faces naming
        // vertices the mesh does not have are left out: three indices are read only where
        // there are three valid ones.
        for (uint32_t f = 0; f < mesh.mNumFaces; ++f) {
            const aiFace& face = mesh.mFaces[f];
            if (face.mNumIndices != 3 || face.mIndices == nullptr)
                continue;
            if (face.mIndices[0] >= vertexCount || face.mIndices[1] >= vertexCount ||
                face.mIndices[2] >= vertexCount)
                continue;
            for (int k = 0; k < 3; ++k)
                model.indices.push_back(face.mIndices[k]);
        }
        model.faceCount = static_cast<uint32_t>(model.indices.size() / 3);
        model.indexCount = static_cast<uint32_t>(model.indices.size());
        model.flags |= kImportedFaces;
    }

    if (mesh.HasTangentsAndBitangents()) {
        model.tangents.reserve(vertexCount);
        model.bitangents.reserve(vertexCount);
        for (uint32_t i = 0; i < vertexCount; ++i) {
            model.tangents.push_back(ToVector3(mesh.mTangents[i]));
            model.bitangents.push_back(ToVector3(mesh.mBitangents[i]));
        }
        model.flags |= kImportedTangents;
    }

    if (mesh.HasTextureCoords(0)) {
        model.texCoords.reserve(vertexCount);
        for (uint32_t i = 0; i < vertexCount; ++i)
            model.texCoords.push_back(Vector2(mesh.mTextureCoords[0][i].x, mesh.mTextureCoords[0][i].y));
        model.flags |= kImportedTexCoords;
    }

    if (mesh.HasBones()) {
        model.boneCount = mesh.mNumBones;
        model.influences.assign(vertexCount, {});
        model.bones.reserve(mesh.mNumBones);
        for (uint32_t b = 0; b < mesh.mNumBones; ++b) {
            const aiBone* source = mesh.mBones[b];
            ImportedBone bone;
            if (source != nullptr) {
                bone.name = ToString(source->mName);
                bone.offset = ToMatrix(source->mOffsetMatrix);
                for (uint32_t w = 0; source->mWeights != nullptr && w < source->mNumWeights; ++w) {
                    const aiVertexWeight& weight = source->mWeights[w];
                    if (weight.mVertexId >= vertexCount)
                        continue;
                    bone.weights.push_back({weight.mVertexId, weight.mWeight});
                    model.influences[weight.mVertexId].push_back(
                        {static_cast<int32_t>(b), weight.mWeight});
                }
            }
            model.bones.push_back(std::move(bone));
        }
    }
}

// Depth first, each node before its children, children in file order.
void FlattenNodes(const aiNode* root, CountedVector<ImportedNode>& nodes)
{
    struct Pending {
        const aiNode* node;
        int32_t parent;
    };
    CountedVector<Pending> stack;
    if (root != nullptr)
        stack.push_back({root, -1});
    while (!stack.empty()) {
        const Pending pending = stack.back();
        stack.pop_back();

        const auto index = static_cast<uint32_t>(nodes.size());
        ImportedNode node;
        node.name = ToString(pending.node->mName);
        node.transform = ToMatrix(pending.node->mTransformation);
        node.parentIndex = pending.parent;
        nodes.push_back(std::move(node));
        if (pending.parent >= 0) {
            ImportedNode& parent = nodes[static_cast<size_t>(pending.parent)];
            parent.children.push_back(index);
            parent.childCount += 1;
        }

        for (uint32_t c = pending.node->mNumChildren; c > 0; --c) {
            const aiNode* child = pending.node->mChildren[c - 1];
            if (child != nullptr)
                stack.push_back({child, static_cast<int32_t>(index)});
        }
    }
}

AnimationChannel ReadNodeChannel(const aiNodeAnim& source)
{
    AnimationChannel channel;
    channel.nodeName = ToString(source.mNodeName);
    for (uint32_t k = 0; source.mPositionKeys != nullptr && k < source.mNumPositionKeys; ++k)
        channel.positionKeys.push_back(
            {source.mPositionKeys[k].mTime, ToVector3(source.mPositionKeys[k].mValue)});
    for (uint32_t k = 0; source.mRotationKeys != nullptr && k < source.mNumRotationKeys; ++k) {
        const aiQuaternion& q = source.mRotationKeys[k].mValue;
        channel.rotationKeys.push_back({source.mRotationKeys[k].mTime, Quaternion(q.x, q.y, q.z, q.w)});
    }
    for (uint32_t k = 0; source.mScalingKeys != nullptr && k < source.mNumScalingKeys; ++k)
        channel.scaleKeys.push_back(
            {source.mScalingKeys[k].mTime, ToVector3(source.mScalingKeys[k].mValue)});
    return channel;
}

ImportedAnimationSet ReadAnimations(const aiScene& scene)
{
    ImportedAnimationSet set;
    for (uint32_t a = 0; a < scene.mNumAnimations; ++a) {
        const aiAnimation* source = scene.mAnimations[a];
        if (source == nullptr)
            continue;
        ImportedAnimation animation;
        animation.name = ToString(source->mName);
        animation.duration = source->mDuration;
        animation.ticksPerSecond = source->mTicksPerSecond;
        for (uint32_t c = 0; source->mChannels != nullptr && c < source->mNumChannels; ++c) {
            if (source->mChannels[c] != nullptr)
                animation.nodeChannels.push_back(ReadNodeChannel(*source->mChannels[c]));
        }
        for (uint32_t c = 0; source->mMeshChannels != nullptr && c < source->mNumMeshChannels; ++c) {
            const aiMeshAnim* meshSource = source->mMeshChannels[c];
            if (meshSource == nullptr)
                continue;
            MeshAnimationChannel channel;
            channel.name = ToString(meshSource->mName);
            for (uint32_t k = 0; meshSource->mKeys != nullptr && k < meshSource->mNumKeys; ++k)
                channel.keys.push_back({meshSource->mKeys[k].mTime, meshSource->mKeys[k].mValue});
            animation.meshChannels.push_back(std::move(channel));
        }
        set.animations.push_back(std::move(animation));
    }
    return set;
}

}  // namespace

AssimpModelImporter::AssimpModelImporter() : m_importer(std::make_unique<Assimp::Importer>())
{
    m_models.emplace_back();
    m_animationSets.emplace_back();
    m_modelCount = 1;
    m_animationSetCount = 1;
}

AssimpModelImporter::~AssimpModelImporter() = default;

ImportResult AssimpModelImporter::Load(const char* path)
{
    const aiScene* scene = m_importer->ReadFile(path ? path : "", kPostProcessFlags);
    m_lastScene = scene;
    if (scene == nullptr) {
        std::printf("%s\n", m_importer->GetErrorString());
        return {-1, -1};
    }

    ImportedModel model;
    if (scene->mNumMeshes > 0 && scene->mMeshes != nullptr && scene->mMeshes[0] != nullptr)
        ReadMesh(*scene->mMeshes[0], model);
    FlattenNodes(scene->mRootNode, model.nodes);

    ImportResult result;
    if (scene->mNumAnimations > 0 && scene->mAnimations != nullptr) {
        m_animationSets.push_back(ReadAnimations(*scene));
        result.animationSetIndex = static_cast<int32_t>(m_animationSetCount++);
    }
    m_models.push_back(std::move(model));
    result.modelIndex = static_cast<int32_t>(m_modelCount++);
    return result;
}

const ImportedModel& AssimpModelImporter::GetModel(int32_t index) const
{
    if (index < 0 || static_cast<size_t>(index) >= m_models.size())
        return m_models[0];
    return m_models[static_cast<size_t>(index)];
}

const ImportedAnimationSet* AssimpModelImporter::GetAnimationSet(int32_t index) const
{
    if (index < 0 || static_cast<size_t>(index) >= m_animationSets.size())
        return nullptr;
    return &m_animationSets[static_cast<size_t>(index)];
}

}  // namespace ztengine
