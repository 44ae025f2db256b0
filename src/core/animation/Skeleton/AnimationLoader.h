#pragma once
// Brings animations from model files into a mesh's animation set.
#include "core/animation/Skeleton/SkeletalAnimation.h"

namespace ztengine {

struct ImportedAnimationSet;

// Appends every imported animation (name, duration, ticks per second and node channels) after
// the animations the target already holds.
void AppendImportedAnimations(const ImportedAnimationSet& source, SkeletalAnimationSet& target);

// Imports the file with an importer of its own and appends its animations to the target.
// False, changing nothing, when the file cannot be read or holds no animation.
bool LoadSkeletalAnimations(const char* path, SkeletalAnimationSet& target);

}  // namespace ztengine
