#pragma once
// Serializer: an object that the application loads once at start-up and saves at shutdown (the
// resource lists, the scenes, the player settings, the window configuration).

namespace ztengine {

class Serializer {
public:
    virtual void Save() = 0;
    virtual void Load() = 0;
    virtual ~Serializer() = default;
};

}  // namespace ztengine
