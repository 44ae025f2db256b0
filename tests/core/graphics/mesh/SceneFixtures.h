#pragma once
// Small scenes built in memory and written with Assimp's own exporter, so the import tests
// read real files without any committed model.
#include <assimp/Exporter.hpp>
#include <assimp/scene.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace meshfixtures {

struct FixtureBone {
    std::string name;
    std::vector<std::pair<unsigned, float>> weights;  // (vertex, weight)
    aiMatrix4x4 offset;
};

struct FixtureMesh {
    std::string name;
    std::vector<aiVector3D> positions;
    std::vector<std::vector<unsigned>> faces;
    std::vector<FixtureBone> bones;
};

// Nodes are listed parents first; the first one is the root.
struct FixtureNode {
    std::string name;
    int parent = -1;
    aiMatrix4x4 transform;
    std::vector<unsigned> meshes;
};

struct FixtureChannel {
    std::string node;
    std::vector<aiVectorKey> positions;
    std::vector<aiQuatKey> rotations;
    std::vector<aiVectorKey> scales;
};

struct FixtureAnimation {
    std::string name;
    double duration = 1.0;
    std::vector<FixtureChannel> channels;
};

struct FixtureScene {
    std::vector<FixtureMesh> meshes;
    std::vector<FixtureNode> nodes;
    std::vector<FixtureAnimation> animations;
};

template <class T>
T* CopyArray(const std::vector<T>& values)
{
    if (values.empty())
        return nullptr;
    T* out = new T[values.size()];
    for (size_t i = 0; i < values.size(); ++i)
        out[i] = values[i];
    return out;
}

inline aiScene* MakeScene(const FixtureScene& fixture)
{
    auto* scene = new aiScene();
    scene->mNumMaterials = 1;
    scene->mMaterials = new aiMaterial*[1]{new aiMaterial()};

    scene->mNumMeshes = static_cast<unsigned>(fixture.meshes.size());
    scene->mMeshes = new aiMesh*[fixture.meshes.size()];
    for (size_t m = 0; m < fixture.meshes.size(); ++m) {
        const FixtureMesh& source = fixture.meshes[m];
        auto* mesh = new aiMesh();
        mesh->mName = source.name;
        mesh->mMaterialIndex = 0;
        mesh->mNumVertices = static_cast<unsigned>(source.positions.size());
        mesh->mVertices = CopyArray(source.positions);
        mesh->mNumFaces = static_cast<unsigned>(source.faces.size());
        mesh->mFaces = new aiFace[source.faces.size()];
        for (size_t f = 0; f < source.faces.size(); ++f) {
            mesh->mFaces[f].mNumIndices = static_cast<unsigned>(source.faces[f].size());
            mesh->mFaces[f].mIndices = CopyArray(source.faces[f]);
            mesh->mPrimitiveTypes |= source.faces[f].size() == 3 ? aiPrimitiveType_TRIANGLE
                                   : source.faces[f].size() == 2 ? aiPrimitiveType_LINE
                                                                 : aiPrimitiveType_POLYGON;
        }
        mesh->mNumBones = static_cast<unsigned>(source.bones.size());
        mesh->mBones = source.bones.empty() ? nullptr : new aiBone*[source.bones.size()];
        for (size_t b = 0; b < source.bones.size(); ++b) {
            auto* bone = new aiBone();
            bone->mName = source.bones[b].name;
            bone->mOffsetMatrix = source.bones[b].offset;
            bone->mNumWeights = static_cast<unsigned>(source.bones[b].weights.size());
            bone->mWeights = new aiVertexWeight[source.bones[b].weights.size()];
            for (size_t w = 0; w < source.bones[b].weights.size(); ++w)
                bone->mWeights[w] = aiVertexWeight(source.bones[b].weights[w].first,
                                                   source.bones[b].weights[w].second);
            mesh->mBones[b] = bone;
        }
        scene->mMeshes[m] = mesh;
    }

    std::vector<aiNode*> nodes;
    std::vector<std::vector<aiNode*>> children(fixture.nodes.size());
    for (const FixtureNode& source : fixture.nodes) {
        auto* node = new aiNode(source.name);
        node->mTransformation = source.transform;
        node->mNumMeshes = static_cast<unsigned>(source.meshes.size());
        node->mMeshes = CopyArray(source.meshes);
        if (source.parent >= 0) {
            node->mParent = nodes[static_cast<size_t>(source.parent)];
            children[static_cast<size_t>(source.parent)].push_back(node);
        }
        nodes.push_back(node);
    }
    for (size_t n = 0; n < nodes.size(); ++n) {
        nodes[n]->mNumChildren = static_cast<unsigned>(children[n].size());
        nodes[n]->mChildren = CopyArray(children[n]);
    }
    scene->mRootNode = nodes.empty() ? new aiNode("Root") : nodes[0];

    scene->mNumAnimations = static_cast<unsigned>(fixture.animations.size());
    scene->mAnimations = fixture.animations.empty() ? nullptr
                                                    : new aiAnimation*[fixture.animations.size()];
    for (size_t a = 0; a < fixture.animations.size(); ++a) {
        const FixtureAnimation& source = fixture.animations[a];
        auto* animation = new aiAnimation();
        animation->mName = source.name;
        animation->mDuration = source.duration;
        // Key times in seconds with one tick per second: the FBX round trip keeps them that way.
        animation->mTicksPerSecond = 1.0;
        animation->mNumChannels = static_cast<unsigned>(source.channels.size());
        animation->mChannels = new aiNodeAnim*[source.channels.size()];
        for (size_t c = 0; c < source.channels.size(); ++c) {
            const FixtureChannel& keys = source.channels[c];
            auto* channel = new aiNodeAnim();
            channel->mNodeName = keys.node;
            channel->mNumPositionKeys = static_cast<unsigned>(keys.positions.size());
            channel->mPositionKeys = CopyArray(keys.positions);
            channel->mNumRotationKeys = static_cast<unsigned>(keys.rotations.size());
            channel->mRotationKeys = CopyArray(keys.rotations);
            channel->mNumScalingKeys = static_cast<unsigned>(keys.scales.size());
            channel->mScalingKeys = CopyArray(keys.scales);
            animation->mChannels[c] = channel;
        }
        scene->mAnimations[a] = animation;
    }
    return scene;
}

// Writes the scene with the given Assimp exporter ("fbxa" for ASCII FBX, "objnomtl" for OBJ);
// returns the error text, empty on success.
inline std::string WriteScene(const FixtureScene& fixture, const std::filesystem::path& file,
                              const char* format)
{
    aiScene* scene = MakeScene(fixture);
    Assimp::Exporter exporter;
    const aiReturn result = exporter.Export(scene, format, file.string());
    std::string error = result == aiReturn_SUCCESS ? "" : exporter.GetErrorString();
    delete scene;
    return error;
}

inline void WriteText(const std::filesystem::path& file, const std::string& text)
{
    std::ofstream out(file, std::ios::binary);
    out << text;
}

inline aiMatrix4x4 Translation(float x, float y, float z)
{
    aiMatrix4x4 m;
    aiMatrix4x4::Translation(aiVector3D(x, y, z), m);
    return m;
}

inline aiVectorKey VectorKeyAt(double time, float x, float y, float z)
{
    return aiVectorKey(time, aiVector3D(x, y, z));
}

inline aiQuatKey RotationKeyAt(double time, const aiVector3D& axis, float angle)
{
    return aiQuatKey(time, aiQuaternion(axis, angle));
}

}  // namespace meshfixtures
