#include "core/animation/Skeleton/AnimationLoader.h"

#include "core/graphics/framework/mesh/import/AssimpModelImporter.h"

namespace ztengine {

void AppendImportedAnimations(const ImportedAnimationSet& source, SkeletalAnimationSet& target)
{
    for (const ImportedAnimation& imported : source.animations) {
        SkeletalAnimation animation;
        animation.name = imported.name;
        animation.duration = imported.duration;
        animation.ticksPerSecond = imported.ticksPerSecond;
        animation.channels = imported.nodeChannels;
        target.m_animations.push_back(std::move(animation));
    }
}

bool LoadSkeletalAnimations(const char* path, SkeletalAnimationSet& target)
{
    AssimpModelImporter importer;
    const ImportResult result = importer.Load(path);
    const ImportedAnimationSet* animations = importer.GetAnimationSet(result.animationSetIndex);
    if (animations == nullptr)
        return false;
    AppendImportedAnimations(*animations, target);
    return true;
}

}  // namespace ztengine
