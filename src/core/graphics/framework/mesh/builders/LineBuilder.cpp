#include "core/graphics/framework/mesh/builders/LineBuilder.h"

#include "core/graphics/framework/mesh/core/MeshCreator.h"

namespace ztengine {

using ztmath::Vector3;

bool LineBuilder::Build(MeshCreator& creator)
{
    const Vector3 zero(0.0f, 0.0f, 0.0f);
    const float uv[2] = {0.0f, 0.0f};
    const Vector3 start(0.0f, 0.0f, -0.5f);
    const Vector3 end(0.0f, 0.0f, 0.5f);
    creator.AddVertex(&start, &zero, uv, &zero);
    creator.AddVertex(&end, &zero, uv, &zero);
    creator.AddTriangle(0, 1, 1);
    return true;
}

}  // namespace ztengine
