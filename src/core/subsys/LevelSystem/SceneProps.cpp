// Scene props into instances and bodies, shared by the level system and the sandbox.
#include "core/subsys/LevelSystem/SceneProps.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>

#include "core/physics-engine/PhysicsEngine.h"
#include "core/resources/ModelManager.h"

namespace ztengine {

using ztmath::Vector3;

ztmath::Basis PropBasis(const Prop& prop)
{
    ztmath::Basis basis;
    basis.Pitch(prop.m_pitch);
    basis.Roll(prop.m_roll);
    basis.Yaw(prop.m_yaw);
    return basis;
}

InstanceHandle CreatePropInstance(Graphics3D& renderer, ModelManager& models, const Prop& prop,
                                  int32_t& model)
{
    model = models.GetModel(prop.m_modelName.c_str());
    InstanceHandle instance = renderer.CreateInstance(model, InstanceTransform());
    InstanceData& data = instance.GetInstance();
    data.m_transform.m_position = prop.m_position;
    data.m_transform.m_scale = prop.m_scale;
    data.m_tiling = ztmath::Vector2(prop.m_tiling[0], prop.m_tiling[1]);
    data.m_fakeLighting = prop.m_enableFakeLight ? 1 : 0;
    data.m_transform.m_basis = PropBasis(prop);
    return instance;
}

uint32_t FindPropColliderShape(std::map<int32_t, uint32_t>& shapes, Graphics3D& renderer,
                               PhysicsEngine& physics, int32_t colliderIndex,
                               int32_t colliderType, const Vector3& scale, int32_t model)
{
    if (colliderIndex == -1) {
        std::cerr << "Index when finding collidershapeindex is not initialized.\n";
        std::abort();
    }
    auto found = shapes.find(colliderIndex);
    if (found != shapes.end())
        return found->second;

    uint32_t handle = 0;
    if (colliderType == 1) {
        const MeshBounds bounds = renderer.GetModelAABB(model);
        const Vector3 size = bounds.m_max - bounds.m_min;
        handle = physics.CreateBoxCollider(
            Vector3(size.x * 0.5f * scale.x, size.y * 0.5f * scale.y, size.z * 0.5f * scale.z));
    } else if (colliderType == 0) {
        const float largest = std::max({scale.x, scale.y, scale.z});
        float r = 1.0f;
        const int32_t mesh = renderer.GetModelMesh(static_cast<uint32_t>(model));
        if (mesh != -1)
            r = 0.5f * largest * renderer.GetMeshBoundingSphere(mesh).m_radius;
        handle = physics.CreateSphereCollider(r * largest);
    } else {
        std::cerr << "Collider type at loadSceneButtonFunc exists not!\n";
        std::abort();
    }
    shapes[colliderIndex] = handle;
    return handle;
}

void ClearLevelObjects(Graphics3D& renderer, PhysicsEngine& physics, LevelObj3DCont& objects)
{
    for (InstanceHandle& instance : objects.m_instances) {
        instance.SetHidden(true);
        renderer.DestroyInstance(instance);
    }
    for (PhysicsBody& body : objects.m_bodies)
        physics.DestroyBody(body);
    objects.m_instances.clear();
    objects.m_bodies.clear();
    objects.m_bodyOfInstance.clear();
}

}  // namespace ztengine
