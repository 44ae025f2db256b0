#pragma once
// The rigged characters: the five enemy and boss bodies, each with its rig, its skinned mesh,
// the two clips its model file carries and the animation files the game loads onto it.
#include "assetgen/ModelMesh.h"
#include "assetgen/Rig.h"

#include <string>
#include <vector>

namespace assetgen::models {

struct AnimationFile {
    std::string path;  // relative to the runtime folder, as the game loads it
    Clip clip;
};

struct Character {
    std::string modelPath;  // the rigged model file
    Rig rig;
    Mesh mesh;
    std::vector<Clip> ownClips;  // exactly two: indices 0 and 1 of the model's animations
    std::vector<AnimationFile> animationFiles;
};

// Rabbitman, lkanga (shared with the mini-boss), ogre (shared with the mini-boss), skeleton
// magician and the kobold final boss.
std::vector<Character> Characters();

}  // namespace assetgen::models
