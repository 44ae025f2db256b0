#pragma once
// What the boss system drives every frame: a boss's behaviour, whatever boss it is.
namespace ztengine {

class Boss {
public:
    virtual ~Boss() = default;
    // Every frame, in every phase of the fight (and before and after it).
    virtual void Update(float dt) = 0;
    // Once, after the boss's instance exists: the boss makes what it owns (orbs, particles,
    // voices).
    virtual void Init() = 0;
};

}  // namespace ztengine
