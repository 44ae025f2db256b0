#pragma once
// Writes meshes, rigged models and animation files through Assimp's exporters: "objnomtl" for
// .obj files and the ASCII FBX exporter "fbxa" for .fbx files (the only FBX form this Assimp
// reads back). Clips are written with one tick per second and key times in seconds, so every
// key survives the round trip. The FBX creation stamp is fixed, so runs give identical files.
#include "assetgen/ModelMesh.h"
#include "assetgen/Rig.h"

#include <filesystem>
#include <span>
#include <string>

namespace assetgen::models {

// A mesh without bones; the format follows the file's extension.
bool WriteStaticModel(const Mesh& mesh, const std::filesystem::path& file, std::string& error);
// A skinned mesh (each vertex on the bone Mesh::SetBone gave it), its rig and its own clips.
bool WriteRiggedModel(const Mesh& mesh, const Rig& rig, std::span<const Clip> clips,
                      const std::filesystem::path& file, std::string& error);
// The rig's node tree and one clip, no mesh.
bool WriteAnimation(const Rig& rig, const Clip& clip, const std::filesystem::path& file,
                    std::string& error);

}  // namespace assetgen::models
