#pragma once
// RandomEventSystem: a place in the play state for events that happen at random. None exist
// yet; the room fights of the dungeons run in the dungeon builder.
#include "core/Subsystem.h"

namespace ztengine {

class RandomEventSystem : public Subsystem {
public:
    explicit RandomEventSystem(App* app) : Subsystem(app) {}
};

}  // namespace ztengine
