#pragma once
// Character rigs, poses and clips. A rig is a tree of joints with no rest rotation, so a bone's
// rotation turns it about the model's own axes (x to the character's left, y up, z forward)
// composed with its parents'. A clip is a function from its phase (0 to 1) to a pose, sampled
// at evenly spaced keys when it is written.
#include <assimp/types.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace assetgen::models {

struct RigBone {
    std::string name;
    int parent = -1;
    aiVector3D offset;  // from the parent's joint, in the bind pose
};

struct Rig {
    std::vector<RigBone> bones;

    // Adds a bone whose joint lies at `joint` in model space; the first bone is the root.
    int Add(std::string name, std::string_view parent, const aiVector3D& joint);
    // -1 when the rig has no such bone.
    int Find(std::string_view name) const;
    // Where the joint sits in the bind pose.
    aiVector3D Joint(int bone) const;
    aiVector3D Joint(std::string_view name) const { return Joint(Find(name)); }
};

class Pose {
public:
    explicit Pose(const Rig& rig) : m_rig(&rig), m_rotations(rig.bones.size()) {}

    // Turns the bone further by q (applied after what it already has). Bones the rig lacks
    // (a tail on a rig without one) are ignored, so clips can be shared between rigs.
    void Turn(std::string_view bone, const aiQuaternion& q);
    // Same, from Euler angles in degrees (x, then y, then z).
    void Turn(std::string_view bone, float xDeg, float yDeg, float zDeg);
    // Moves the root away from its bind position.
    void Shift(const aiVector3D& delta) { m_shift += delta; }

    const aiQuaternion& Rotation(int bone) const { return m_rotations[size_t(bone)]; }
    const aiVector3D& RootShift() const { return m_shift; }
    const Rig& GetRig() const { return *m_rig; }

    // Every bone's turn and joint in model space. Bones have no rest turn, so a bone's turn is
    // its parents' composed with its own, and a point it holds at `local` from its joint in the
    // bind pose is carried to joints[bone] + turns[bone].Rotate(local).
    struct Placed {
        std::vector<aiQuaternion> turns;
        std::vector<aiVector3D> joints;
    };
    Placed Place() const;

private:
    const Rig* m_rig;
    std::vector<aiQuaternion> m_rotations;
    aiVector3D m_shift{0.0f, 0.0f, 0.0f};
};

using PoseFunction = std::function<void(Pose&, float phase)>;

struct Clip {
    std::string name;
    float seconds = 1.0f;  // the clip's length, written rounded up to whole seconds
    int keys = 21;         // evenly spaced, the first at phase 0 and the last at phase 1
    PoseFunction pose;
};

}  // namespace assetgen::models
