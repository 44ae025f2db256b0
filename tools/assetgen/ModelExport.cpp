// Builds Assimp scenes from our meshes, rigs and clips and writes them with Assimp's exporters.
#include "assetgen/ModelExport.h"

#include <assimp/Exporter.hpp>
#include <assimp/scene.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <memory>
#include <string>
#include <utility>

namespace assetgen::models {

namespace {

void SetChildren(aiNode* parent, const std::vector<aiNode*>& children)
{
    if (children.empty())
        return;
    parent->mNumChildren = unsigned(children.size());
    parent->mChildren = new aiNode*[children.size()];
    for (size_t i = 0; i < children.size(); ++i) {
        parent->mChildren[i] = children[i];
        children[i]->mParent = parent;
    }
}

aiMatrix4x4 Translation(const aiVector3D& t)
{
    aiMatrix4x4 m;
    aiMatrix4x4::Translation(t, m);
    return m;
}

// The rig's joints as nodes under the scene root (bind pose: translations only), plus any
// extra nodes hung from the root.
void BuildNodes(aiScene& scene, const Rig& rig, std::vector<aiNode*> extra)
{
    scene.mRootNode = new aiNode("RootNode");
    std::vector<aiNode*> nodes;
    for (const RigBone& bone : rig.bones) {
        aiNode* node = new aiNode(bone.name);
        node->mTransformation = Translation(bone.offset);
        nodes.push_back(node);
    }
    std::vector<aiNode*> top;
    for (size_t b = 0; b < rig.bones.size(); ++b) {
        if (rig.bones[b].parent < 0)
            top.push_back(nodes[b]);
        std::vector<aiNode*> children;
        for (size_t c = 0; c < rig.bones.size(); ++c)
            if (rig.bones[c].parent == int(b))
                children.push_back(nodes[c]);
        SetChildren(nodes[b], children);
    }
    top.insert(top.end(), extra.begin(), extra.end());
    SetChildren(scene.mRootNode, top);
}

void AddMaterial(aiScene& scene)
{
    scene.mNumMaterials = 1;
    scene.mMaterials = new aiMaterial*[1];
    scene.mMaterials[0] = new aiMaterial();
    const aiString name("material");
    scene.mMaterials[0]->AddProperty(&name, AI_MATKEY_NAME);
}

aiMesh* BuildMesh(const Mesh& source, const Rig* rig)
{
    aiMesh* mesh = new aiMesh();
    mesh->mName = "Body";
    mesh->mPrimitiveTypes = aiPrimitiveType_TRIANGLE;
    mesh->mMaterialIndex = 0;
    const size_t n = source.positions.size();
    mesh->mNumVertices = unsigned(n);
    mesh->mVertices = new aiVector3D[n];
    mesh->mNormals = new aiVector3D[n];
    mesh->mTextureCoords[0] = new aiVector3D[n];
    mesh->mNumUVComponents[0] = 2;
    for (size_t v = 0; v < n; ++v) {
        mesh->mVertices[v] = source.positions[v];
        mesh->mNormals[v] = source.normals[v];
        mesh->mTextureCoords[0][v] = aiVector3D(source.uvs[v].x, source.uvs[v].y, 0.0f);
    }
    const size_t faces = source.indices.size() / 3;
    mesh->mNumFaces = unsigned(faces);
    mesh->mFaces = new aiFace[faces];
    for (size_t f = 0; f < faces; ++f) {
        mesh->mFaces[f].mNumIndices = 3;
        mesh->mFaces[f].mIndices = new unsigned[3]{source.indices[3 * f], source.indices[3 * f + 1],
                                                   source.indices[3 * f + 2]};
    }
    if (rig == nullptr)
        return mesh;

    // Each vertex hangs on its own bone, except around the hips, knees and elbows: there the
    // skin is shared with the bone across the joint, half and half at the joint itself and
    // fading to nothing along the limb within 0.4 of the lower bone's length, so a bent limb folds
    // instead of tearing open at the seam between two parts.
    std::vector<std::vector<std::pair<unsigned, float>>> weighted(rig->bones.size());
    auto blended = [&](int b) {
        const std::string& name = rig->bones[size_t(b)].name;
        return name.rfind("Thigh", 0) == 0 || name.rfind("Shin", 0) == 0 || name.rfind("ForeArm", 0) == 0;
    };
    for (size_t v = 0; v < n; ++v) {
        const int own = source.bones[v];
        if (own < 0)
            continue;
        std::vector<std::pair<int, float>> shares;  // other bones and their share
        for (size_t b = 0; b < rig->bones.size(); ++b) {
            const int parent = rig->bones[b].parent;
            if (parent < 0 || !blended(int(b)) || (own != int(b) && own != parent))
                continue;
            // Measured along the lower bone (joint to its child's joint), so the whole ring of
            // skin at the joint shares alike however thick the limb.
            int child = -1;
            for (size_t c = 0; c < rig->bones.size() && child < 0; ++c)
                if (rig->bones[c].parent == int(b))
                    child = int(c);
            if (child < 0)
                continue;
            const aiVector3D joint = rig->Joint(int(b));
            aiVector3D axis = rig->Joint(child) - joint;
            const float length = axis.Length();
            if (length <= 0.0f)
                continue;
            axis /= length;
            const float reach = 0.4f * length;
            const aiVector3D rel = source.positions[v] - joint;
            const float along = rel * axis;
            const float side = (rel - axis * along).Length();
            if (std::fabs(along) >= reach || side >= 2.5f * reach)
                continue;
            // The pelvis between the hips follows the nearer leg only.
            bool nearer = false;
            for (size_t o = 0; o < rig->bones.size() && !nearer; ++o)
                nearer = o != b && rig->bones[o].parent == parent && blended(int(o)) &&
                         (source.positions[v] - rig->Joint(int(o))).Length() < rel.Length();
            if (nearer)
                continue;
            const float ring = 1.0f - std::clamp((side - 2.0f * reach) / (0.5f * reach), 0.0f, 1.0f);
            shares.push_back({own == int(b) ? parent : int(b), 0.5f * (1.0f - std::fabs(along) / reach) * ring});
        }
        float rest = 1.0f;
        for (const auto& [bone, share] : shares)
            rest -= share;
        // Two joints close together never take more than half the vertex between them.
        const float scale = rest < 0.5f ? 0.5f / (1.0f - rest) : 1.0f;
        float given = 0.0f;
        for (const auto& [bone, share] : shares) {
            weighted[size_t(bone)].push_back({unsigned(v), share * scale});
            given += share * scale;
        }
        weighted[size_t(own)].push_back({unsigned(v), 1.0f - given});
    }
    std::vector<aiBone*> bones;
    for (size_t b = 0; b < rig->bones.size(); ++b) {
        if (weighted[b].empty())
            continue;
        aiBone* bone = new aiBone();
        bone->mName = rig->bones[b].name;
        bone->mOffsetMatrix = Translation(-rig->Joint(int(b)));
        bone->mNumWeights = unsigned(weighted[b].size());
        bone->mWeights = new aiVertexWeight[weighted[b].size()];
        for (size_t i = 0; i < weighted[b].size(); ++i)
            bone->mWeights[i] = aiVertexWeight(weighted[b][i].first, weighted[b][i].second);
        bones.push_back(bone);
    }
    mesh->mNumBones = unsigned(bones.size());
    mesh->mBones = new aiBone*[bones.size()];
    for (size_t i = 0; i < bones.size(); ++i)
        mesh->mBones[i] = bones[i];
    return mesh;
}

void AttachMesh(aiScene& scene, aiMesh* mesh, aiNode* node)
{
    scene.mNumMeshes = 1;
    scene.mMeshes = new aiMesh*[1];
    scene.mMeshes[0] = mesh;
    node->mNumMeshes = 1;
    node->mMeshes = new unsigned[1]{0};
}

aiAnimation* BuildAnimation(const Rig& rig, const Clip& clip)
{
    aiAnimation* animation = new aiAnimation();
    animation->mName = clip.name;
    // The FBX writer stores the take's length in whole seconds and the reader drops keys past
    // it, so the clip is stretched to the next whole second (the game spaces keys evenly anyway).
    const double seconds = std::max(1.0, std::ceil(double(clip.seconds)));
    animation->mTicksPerSecond = 1.0;
    animation->mDuration = seconds;
    const size_t count = rig.bones.size();
    const unsigned keys = unsigned(std::max(clip.keys, 2));
    animation->mNumChannels = unsigned(count);
    animation->mChannels = new aiNodeAnim*[count];
    for (size_t b = 0; b < count; ++b) {
        aiNodeAnim* channel = new aiNodeAnim();
        channel->mNodeName = rig.bones[b].name;
        channel->mNumPositionKeys = channel->mNumRotationKeys = channel->mNumScalingKeys = keys;
        channel->mPositionKeys = new aiVectorKey[keys];
        channel->mRotationKeys = new aiQuatKey[keys];
        channel->mScalingKeys = new aiVectorKey[keys];
        animation->mChannels[b] = channel;
    }
    for (unsigned k = 0; k < keys; ++k) {
        const float phase = float(k) / float(keys - 1);
        const double time = seconds * double(phase);
        Pose pose(rig);
        clip.pose(pose, phase);
        for (size_t b = 0; b < count; ++b) {
            aiNodeAnim* channel = animation->mChannels[b];
            aiVector3D position = rig.bones[b].offset;
            if (rig.bones[b].parent < 0)
                position += pose.RootShift();
            channel->mPositionKeys[k] = aiVectorKey(time, position);
            channel->mRotationKeys[k] = aiQuatKey(time, pose.Rotation(int(b)));
            channel->mScalingKeys[k] = aiVectorKey(time, aiVector3D(1.0f, 1.0f, 1.0f));
        }
    }
    return animation;
}

void AddAnimations(aiScene& scene, const Rig& rig, std::span<const Clip> clips)
{
    scene.mNumAnimations = unsigned(clips.size());
    scene.mAnimations = new aiAnimation*[clips.size()];
    for (size_t i = 0; i < clips.size(); ++i)
        scene.mAnimations[i] = BuildAnimation(rig, clips[i]);
}

// The FBX writer stamps the current date into the header; pin it so output is repeatable.
void PinCreationStamp(std::string& text)
{
    const size_t block = text.find("CreationTimeStamp:");
    if (block == std::string::npos)
        return;
    const char* fields[][2] = {{"Year: ", "2020"}, {"Month: ", "1"},  {"Day: ", "1"},         {"Hour: ", "0"},
                               {"Minute: ", "0"},  {"Second: ", "0"}, {"Millisecond: ", "0"}};
    for (const auto& field : fields) {
        const size_t at = text.find(field[0], block);
        if (at == std::string::npos)
            continue;
        const size_t value = at + std::string(field[0]).size();
        const size_t end = text.find('\n', value);
        if (end != std::string::npos)
            text.replace(value, end - value, field[1]);
    }
}

bool Export(const aiScene& scene, const std::filesystem::path& file, std::string& error)
{
    const std::string extension = file.extension().string();
    const char* format = extension == ".obj" ? "objnomtl" : extension == ".fbx" ? "fbxa" : nullptr;
    if (format == nullptr) {
        error = file.string() + ": no exporter for this extension";
        return false;
    }
    Assimp::Exporter exporter;
    const aiExportDataBlob* blob = exporter.ExportToBlob(&scene, format);
    if (blob == nullptr) {
        error = file.string() + ": " + exporter.GetErrorString();
        return false;
    }
    std::string text(static_cast<const char*>(blob->data), blob->size);
    if (extension == ".fbx")
        PinCreationStamp(text);

    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(text.data(), std::streamsize(text.size()));
    out.close();
    if (!out) {
        error = file.string() + ": cannot write the file";
        return false;
    }
    return true;
}

}  // namespace

bool WriteStaticModel(const Mesh& mesh, const std::filesystem::path& file, std::string& error)
{
    auto scene = std::make_unique<aiScene>();
    aiNode* node = new aiNode("Body");
    scene->mRootNode = new aiNode("RootNode");
    SetChildren(scene->mRootNode, {node});
    AddMaterial(*scene);
    AttachMesh(*scene, BuildMesh(mesh, nullptr), node);
    return Export(*scene, file, error);
}

bool WriteRiggedModel(const Mesh& mesh, const Rig& rig, std::span<const Clip> clips,
                      const std::filesystem::path& file, std::string& error)
{
    auto scene = std::make_unique<aiScene>();
    aiNode* node = new aiNode("Body");
    BuildNodes(*scene, rig, {node});
    AddMaterial(*scene);
    AttachMesh(*scene, BuildMesh(mesh, &rig), node);
    AddAnimations(*scene, rig, clips);
    return Export(*scene, file, error);
}

bool WriteAnimation(const Rig& rig, const Clip& clip, const std::filesystem::path& file, std::string& error)
{
    auto scene = std::make_unique<aiScene>();
    BuildNodes(*scene, rig, {});
    AddMaterial(*scene);
    AddAnimations(*scene, rig, std::span<const Clip>(&clip, 1));
    return Export(*scene, file, error);
}

}  // namespace assetgen::models
