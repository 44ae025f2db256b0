#pragma once
// Scene props into drawn instances and physics bodies: the steps the level system and the
// sandbox share when they turn a stored scene into something the player sees and walks into.
#include <cstdint>
#include <map>

#include "core/graphics/framework/Graphics3D.h"
#include "core/math/Basis.h"
#include "core/math/Vector3.h"
#include "core/resources/PropManager.h"
#include "core/subsys/sharedData/LevelRecords.h"

namespace ztengine {

class ModelManager;
class PhysicsEngine;

// The prop's orientation: the default basis turned by its pitch, then roll, then yaw (degrees).
ztmath::Basis PropBasis(const Prop& prop);

// A new instance of the prop's model (the model manager's default for a name it does not know)
// with the prop's position, scale, tiling, fake-light flag and orientation. The instance keeps
// the renderer's cast-shadow and hidden flags; `model` receives the model id.
InstanceHandle CreatePropInstance(Graphics3D& renderer, ModelManager& models, const Prop& prop,
                                  int32_t& model);

// The collider of a collider index: props that share an index share one collider, made from
// the first prop that asks (box: the model's bounds times the scale; sphere: the mesh's bounding
// sphere grown by the largest scale component). An index of -1 or an unknown collider type is
// a fault in the scene's data: it is reported on the error stream and stops the program.
uint32_t FindPropColliderShape(std::map<int32_t, uint32_t>& shapes, Graphics3D& renderer,
                               PhysicsEngine& physics, int32_t colliderIndex,
                               int32_t colliderType, const ztmath::Vector3& scale, int32_t model);

// Hides and destroys every instance, destroys every body and empties the record.
void ClearLevelObjects(Graphics3D& renderer, PhysicsEngine& physics, LevelObj3DCont& objects);

}  // namespace ztengine
