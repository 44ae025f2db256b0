#include "assetgen/Rig.h"

#include "assetgen/ModelMesh.h"

namespace assetgen::models {

int Rig::Add(std::string name, std::string_view parent, const aiVector3D& joint)
{
    RigBone bone;
    bone.name = std::move(name);
    bone.parent = bones.empty() ? -1 : Find(parent);
    bone.offset = bone.parent < 0 ? joint : joint - Joint(bone.parent);
    bones.push_back(std::move(bone));
    return int(bones.size() - 1);
}

int Rig::Find(std::string_view name) const
{
    for (size_t i = 0; i < bones.size(); ++i)
        if (bones[i].name == name)
            return int(i);
    return -1;
}

aiVector3D Rig::Joint(int bone) const
{
    aiVector3D p(0.0f, 0.0f, 0.0f);
    for (int b = bone; b >= 0; b = bones[size_t(b)].parent)
        p += bones[size_t(b)].offset;
    return p;
}

void Pose::Turn(std::string_view bone, const aiQuaternion& q)
{
    const int index = m_rig->Find(bone);
    if (index < 0)
        return;
    aiQuaternion& r = m_rotations[size_t(index)];
    r = q * r;
    r.Normalize();
}

void Pose::Turn(std::string_view bone, float xDeg, float yDeg, float zDeg)
{
    Turn(bone, Euler(xDeg, yDeg, zDeg));
}

Pose::Placed Pose::Place() const
{
    const Rig& rig = *m_rig;
    Placed placed;
    placed.turns.resize(rig.bones.size());
    placed.joints.resize(rig.bones.size());
    for (size_t b = 0; b < rig.bones.size(); ++b) {
        const int parent = rig.bones[b].parent;
        if (parent < 0) {
            placed.turns[b] = m_rotations[b];
            placed.joints[b] = rig.bones[b].offset + m_shift;
        } else {
            const aiQuaternion& up = placed.turns[size_t(parent)];
            placed.turns[b] = up * m_rotations[b];
            placed.joints[b] = placed.joints[size_t(parent)] + up.Rotate(aiVector3D(rig.bones[b].offset));
        }
    }
    return placed;
}

}  // namespace assetgen::models
