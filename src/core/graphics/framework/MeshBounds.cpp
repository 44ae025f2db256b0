// Bounding sphere (Ritter) and axis-aligned box of a mesh's vertices.
#include "core/graphics/framework/MeshBounds.h"

#include <cmath>

namespace ztengine {

BoundingSphere ComputeBoundingSphere(const MeshVertex* vertices, size_t count)
{
    BoundingSphere sphere;
    if (count == 0) {
        sphere.m_radius = 1.0f;
        return sphere;
    }

    // The extreme vertices along each axis; the widest of the three pairs seeds the sphere.
    size_t minIndex[3] = {0, 0, 0};
    size_t maxIndex[3] = {0, 0, 0};
    for (size_t i = 0; i < count; ++i) {
        const ztmath::Vector3& p = vertices[i].position;
        for (int axis = 0; axis < 3; ++axis) {
            if (p[axis] < vertices[minIndex[axis]].position[axis])
                minIndex[axis] = i;
            if (p[axis] > vertices[maxIndex[axis]].position[axis])
                maxIndex[axis] = i;
        }
    }
    float span[3];
    for (int axis = 0; axis < 3; ++axis)
        span[axis] = (vertices[maxIndex[axis]].position - vertices[minIndex[axis]].position).LengthSquared();
    int widest = 2;
    if (span[0] > span[1] && span[0] > span[2])
        widest = 0;
    else if (span[1] > span[2])
        widest = 1;

    const ztmath::Vector3& a = vertices[minIndex[widest]].position;
    const ztmath::Vector3& b = vertices[maxIndex[widest]].position;
    sphere.m_center = (a + b) * 0.5f;
    sphere.m_radius = (b - a).Length() * 0.5f;

    // Grow towards every vertex left outside: the new sphere touches the vertex and the far side
    // of the old one.
    for (size_t i = 0; i < count; ++i) {
        const ztmath::Vector3& p = vertices[i].position;
        if ((p - sphere.m_center).LengthSquared() <= sphere.m_radius * sphere.m_radius)
            continue;
        const ztmath::Vector3 toCenter = sphere.m_center - p;
        const float distance = toCenter.Length();
        const ztmath::Vector3 v = toCenter * (1.0f + sphere.m_radius / distance);
        sphere.m_center = p + v * 0.5f;
        sphere.m_radius = v.Length() * 0.5f;
    }
    return sphere;
}

MeshBounds ComputeMeshBounds(const MeshVertex* vertices, size_t count)
{
    MeshBounds bounds;
    if (count == 0)
        return bounds;
    bounds.m_min = vertices[0].position;
    bounds.m_max = vertices[0].position;
    for (size_t i = 1; i < count; ++i) {
        const ztmath::Vector3& p = vertices[i].position;
        for (int axis = 0; axis < 3; ++axis) {
            bounds.m_min[axis] = std::fmin(bounds.m_min[axis], p[axis]);
            bounds.m_max[axis] = std::fmax(bounds.m_max[axis], p[axis]);
        }
    }
    bounds.m_center = (bounds.m_min + bounds.m_max) * 0.5f;
    bounds.m_extents = (bounds.m_max - bounds.m_min) * 0.5f;
    return bounds;
}

}  // namespace ztengine
