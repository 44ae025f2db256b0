#pragma once
// Triangle meshes for the model files, built from primitives (boxes, lathes, tubes, ellipsoids,
// extrusions, quads, height grids, displaced icospheres). Every primitive comes out wound
// counter-clockwise seen from outside, with outward normals and texture coordinates inside
// the texture area that is current when it is added.
#include <assimp/types.h>

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace assetgen::models {

constexpr float kPi = 3.14159265358979f;
inline float Radians(float degrees) { return degrees * (kPi / 180.0f); }

// A rectangle of the texture, in texture coordinates (v = 0 is the bottom of the picture).
struct UvRect {
    float u0 = 0.0f, v0 = 0.0f, u1 = 1.0f, v1 = 1.0f;
    aiVector2D At(float s, float t) const { return {u0 + (u1 - u0) * s, v0 + (v1 - v0) * t}; }
};

// Horizontal band `index` of `count`, counted from the top of the picture, with a small inset
// so that filtering does not bleed in the neighbouring band.
UvRect Band(int index, int count);

struct Bounds {
    aiVector3D min{1e30f, 1e30f, 1e30f};
    aiVector3D max{-1e30f, -1e30f, -1e30f};
    aiVector3D Size() const { return max - min; }
};

class Mesh {
public:
    // What the next primitives are skinned to (-1: no bone) and textured from.
    void SetBone(int bone) { m_bone = bone; }
    void SetUv(const UvRect& rect) { m_uv = rect; }
    const UvRect& Uv() const { return m_uv; }

    // s and t run 0..1 over the current texture area.
    uint32_t AddVertex(const aiVector3D& position, const aiVector3D& normal, float s, float t);
    // Skips triangles with (next to) no area.
    void AddTriangle(uint32_t a, uint32_t b, uint32_t c);

    // Smooth normals from the faces, for shapes displaced after they were built.
    void RecomputeNormals();
    Bounds GetBounds() const;
    size_t VertexCount() const { return positions.size(); }

    std::vector<aiVector3D> positions;
    std::vector<aiVector3D> normals;
    std::vector<aiVector2D> uvs;
    std::vector<int> bones;
    std::vector<uint32_t> indices;

private:
    int m_bone = -1;
    UvRect m_uv;
};

// Scale, then rotation, then translation.
aiMatrix4x4 Place(const aiVector3D& position, const aiQuaternion& rotation = aiQuaternion(),
                  const aiVector3D& scale = aiVector3D(1.0f, 1.0f, 1.0f));
// Rotation from Euler angles in degrees, applied x first, then y, then z.
aiQuaternion Euler(float xDeg, float yDeg, float zDeg);
// The rotation that takes +y onto `direction`.
aiQuaternion AlignY(const aiVector3D& direction);

// A box of half extents `half`, centred on the placement's origin. Each face holds the whole
// texture area, u along its first in-plane axis and v up where the face is upright.
void AddBox(Mesh& mesh, const aiMatrix4x4& place, const aiVector3D& half);

// One point of a lathe profile: distance from the axis and height along it.
struct ProfilePoint {
    float radius;
    float height;
};

// Turns the profile about the local y axis. Two consecutive equal points make a sharp edge;
// a radius of 0 closes the surface there. u runs once around, v along the profile.
void AddLathe(Mesh& mesh, const aiMatrix4x4& place, std::span<const ProfilePoint> profile,
              int slices);
// Closed ellipsoid of the given radii.
void AddEllipsoid(Mesh& mesh, const aiMatrix4x4& place, const aiVector3D& radii, int stacks,
                  int slices);
// A rounded tube from a to b (radii ra, rb) with half-sphere ends: limbs, bones, handles.
void AddTube(Mesh& mesh, const aiVector3D& a, const aiVector3D& b, float ra, float rb,
             int slices = 10);
// Open-ended or capped cylinder along local y, from -height/2 to height/2.
void AddCylinder(Mesh& mesh, const aiMatrix4x4& place, float radius, float height, int slices,
                 bool caps = true);
// Cone along local y, base at 0, tip at height.
void AddCone(Mesh& mesh, const aiMatrix4x4& place, float radius, float height, int slices,
             bool base = true);
// A convex polygon (counter-clockwise in x, y) extruded along z from -depth/2 to depth/2.
void AddPrism(Mesh& mesh, const aiMatrix4x4& place, std::span<const aiVector2D> polygon,
              float depth);
// A quad p0 p1 p2 p3 (counter-clockwise seen from its front); texture s along p0->p1, t along
// p0->p3. Both sides for leaves and blades that are seen from behind.
void AddQuad(Mesh& mesh, const aiVector3D& p0, const aiVector3D& p1, const aiVector3D& p2,
             const aiVector3D& p3, bool bothSides);
// A grid of (columns + 1) x (rows + 1) points from surface(s, t), s and t in 0..1, facing the
// side from which s runs to the right and t upwards.
void AddGrid(Mesh& mesh, int columns, int rows,
             const std::function<aiVector3D(float s, float t)>& surface);
// Subdivided icosahedron of radius 1, each point moved out by displace(unit direction).
void AddIcosphere(Mesh& mesh, const aiMatrix4x4& place, int subdivisions,
                  const std::function<float(const aiVector3D&)>& displace);

// Smooth 3D value noise, 0..1, and its fractal sum.
float ValueNoise3(const aiVector3D& p, uint32_t seed);
float Fbm3(const aiVector3D& p, uint32_t seed, int octaves);

}  // namespace assetgen::models
