#pragma once
// The models without bones: dungeon pieces, props, pickups, the hub's decoration, the gun,
// the flying skulls and the editor's meshes.
#include "assetgen/ModelMesh.h"

#include <string>
#include <vector>

namespace assetgen::models {

struct StaticModel {
    std::string path;  // relative to the runtime folder, as the game loads it
    Mesh mesh;
};

std::vector<StaticModel> StaticModels();

}  // namespace assetgen::models
