// Primitive shapes for the model files. Each shape is written in its own frame and moved into
// place by a matrix; normals follow with the inverse transpose, and mirroring placements keep
// the outward winding.
#include "assetgen/ModelMesh.h"

#include <array>
#include <cmath>
#include <map>
#include <utility>

namespace assetgen::models {

namespace {

aiVector3D Normalized(aiVector3D v)
{
    const float length = v.Length();
    return length > 1e-12f ? v / length : v;
}

// Moves the vertices of one primitive into place and winds its triangles.
class Shaper {
public:
    Shaper(Mesh& mesh, const aiMatrix4x4& place) : m_mesh(mesh), m_place(place), m_normal(place)
    {
        m_flip = m_normal.Determinant() < 0.0f;
        m_normal.Inverse().Transpose();
    }

    uint32_t V(const aiVector3D& position, const aiVector3D& normal, float s, float t)
    {
        return m_mesh.AddVertex(m_place * position, Normalized(m_normal * normal), s, t);
    }
    void Tri(uint32_t a, uint32_t b, uint32_t c)
    {
        if (m_flip)
            m_mesh.AddTriangle(a, c, b);
        else
            m_mesh.AddTriangle(a, b, c);
    }
    // a b c d counter-clockwise seen from outside.
    void Quad(uint32_t a, uint32_t b, uint32_t c, uint32_t d)
    {
        Tri(a, b, c);
        Tri(a, c, d);
    }

private:
    Mesh& m_mesh;
    aiMatrix4x4 m_place;
    aiMatrix3x3 m_normal;
    bool m_flip;
};

float Extent(const aiVector3D& axis, const aiVector3D& half)
{
    return std::fabs(axis.x) * half.x + std::fabs(axis.y) * half.y + std::fabs(axis.z) * half.z;
}

uint32_t HashInts(int32_t x, int32_t y, int32_t z, uint32_t seed)
{
    uint32_t h = seed * 0x9E3779B1u;
    for (int32_t v : {x, y, z}) {
        h ^= uint32_t(v) + 0x7F4A7C15u + (h << 6) + (h >> 2);
        h *= 0x85EBCA6Bu;
        h ^= h >> 13;
    }
    h *= 0xC2B2AE35u;
    h ^= h >> 16;
    return h;
}

float Smooth(float t) { return t * t * (3.0f - 2.0f * t); }

}  // namespace

UvRect Band(int index, int count)
{
    const float inset = 0.01f;
    const float top = 1.0f - float(index) / float(count);
    const float bottom = 1.0f - float(index + 1) / float(count);
    return {inset, bottom + inset, 1.0f - inset, top - inset};
}

uint32_t Mesh::AddVertex(const aiVector3D& position, const aiVector3D& normal, float s, float t)
{
    positions.push_back(position);
    normals.push_back(normal);
    uvs.push_back(m_uv.At(s, t));
    bones.push_back(m_bone);
    return uint32_t(positions.size() - 1);
}

void Mesh::AddTriangle(uint32_t a, uint32_t b, uint32_t c)
{
    const aiVector3D cross = (positions[b] - positions[a]) ^ (positions[c] - positions[a]);
    if (cross.SquareLength() < 1e-14f)
        return;
    indices.insert(indices.end(), {a, b, c});
}

void Mesh::RecomputeNormals()
{
    std::vector<aiVector3D> sum(positions.size(), aiVector3D(0.0f, 0.0f, 0.0f));
    for (size_t i = 0; i + 2 < indices.size(); i += 3) {
        const uint32_t a = indices[i], b = indices[i + 1], c = indices[i + 2];
        const aiVector3D n = (positions[b] - positions[a]) ^ (positions[c] - positions[a]);
        sum[a] += n;
        sum[b] += n;
        sum[c] += n;
    }
    for (size_t v = 0; v < positions.size(); ++v)
        normals[v] = Normalized(sum[v]);
}

Bounds Mesh::GetBounds() const
{
    Bounds b;
    for (const aiVector3D& p : positions) {
        b.min.x = std::min(b.min.x, p.x);
        b.min.y = std::min(b.min.y, p.y);
        b.min.z = std::min(b.min.z, p.z);
        b.max.x = std::max(b.max.x, p.x);
        b.max.y = std::max(b.max.y, p.y);
        b.max.z = std::max(b.max.z, p.z);
    }
    return b;
}

aiMatrix4x4 Place(const aiVector3D& position, const aiQuaternion& rotation, const aiVector3D& scale)
{
    // Assimp's own scale-rotation-position constructor scales after rotating; we want the
    // shape scaled in its own frame first.
    aiMatrix4x4 m(rotation.GetMatrix());
    for (int row = 0; row < 3; ++row) {
        m[row][0] *= scale.x;
        m[row][1] *= scale.y;
        m[row][2] *= scale.z;
    }
    m.a4 = position.x;
    m.b4 = position.y;
    m.c4 = position.z;
    return m;
}

aiQuaternion Euler(float xDeg, float yDeg, float zDeg)
{
    const aiQuaternion qx(aiVector3D(1, 0, 0), Radians(xDeg));
    const aiQuaternion qy(aiVector3D(0, 1, 0), Radians(yDeg));
    const aiQuaternion qz(aiVector3D(0, 0, 1), Radians(zDeg));
    return qz * qy * qx;
}

aiQuaternion AlignY(const aiVector3D& direction)
{
    const aiVector3D d = Normalized(direction);
    const float c = d.y;
    if (c > 0.99999f)
        return aiQuaternion();
    if (c < -0.99999f)
        return aiQuaternion(aiVector3D(1, 0, 0), kPi);
    const aiVector3D axis = Normalized(aiVector3D(0, 1, 0) ^ d);
    return aiQuaternion(axis, std::acos(c));
}

void AddBox(Mesh& mesh, const aiMatrix4x4& place, const aiVector3D& half)
{
    struct Face {
        aiVector3D n, u, v;
    };
    static const Face faces[6] = {
        {{1, 0, 0}, {0, 0, -1}, {0, 1, 0}},  {{-1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
        {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},   {{0, 0, -1}, {-1, 0, 0}, {0, 1, 0}},
        {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}},  {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}},
    };
    Shaper shape(mesh, place);
    for (const Face& f : faces) {
        const aiVector3D centre = f.n * Extent(f.n, half);
        const aiVector3D du = f.u * Extent(f.u, half), dv = f.v * Extent(f.v, half);
        const uint32_t a = shape.V(centre - du - dv, f.n, 0, 0);
        const uint32_t b = shape.V(centre + du - dv, f.n, 1, 0);
        const uint32_t c = shape.V(centre + du + dv, f.n, 1, 1);
        const uint32_t d = shape.V(centre - du + dv, f.n, 0, 1);
        shape.Quad(a, b, c, d);
    }
}

void AddLathe(Mesh& mesh, const aiMatrix4x4& place, std::span<const ProfilePoint> profile, int slices)
{
    const size_t n = profile.size();
    if (n < 2 || slices < 3)
        return;
    auto same = [&](size_t i, size_t j) {
        return profile[i].radius == profile[j].radius && profile[i].height == profile[j].height;
    };
    // Arc length along the profile for v.
    std::vector<float> along(n, 0.0f);
    for (size_t i = 1; i < n; ++i)
        along[i] = along[i - 1] + std::hypot(profile[i].radius - profile[i - 1].radius,
                                             profile[i].height - profile[i - 1].height);
    const float total = along.back() > 0.0f ? along.back() : 1.0f;

    Shaper shape(mesh, place);
    std::vector<uint32_t> rings(n);
    for (size_t i = 0; i < n; ++i) {
        // Profile direction here; at a sharp edge only the segment on this ring's side counts.
        size_t from = i == 0 ? 0 : i - 1, to = i + 1 < n ? i + 1 : n - 1;
        if (i > 0 && same(i, i - 1))
            from = i;
        if (i + 1 < n && same(i, i + 1))
            to = i;
        const float dr = profile[to].radius - profile[from].radius;
        const float dh = profile[to].height - profile[from].height;
        const float len = std::hypot(dr, dh);
        const float nr = len > 0.0f ? dh / len : 0.0f, nh = len > 0.0f ? -dr / len : 0.0f;
        for (int j = 0; j <= slices; ++j) {
            const float phi = 2.0f * kPi * float(j) / float(slices);
            const float sx = std::sin(phi), cz = std::cos(phi);
            const uint32_t v = shape.V(aiVector3D(profile[i].radius * sx, profile[i].height, profile[i].radius * cz),
                                       aiVector3D(nr * sx, nh, nr * cz), float(j) / float(slices), along[i] / total);
            if (j == 0)
                rings[i] = v;
        }
    }
    for (size_t i = 0; i + 1 < n; ++i)
        for (int j = 0; j < slices; ++j) {
            const uint32_t a = rings[i] + uint32_t(j), b = a + 1;
            const uint32_t d = rings[i + 1] + uint32_t(j), c = d + 1;
            shape.Quad(a, b, c, d);
        }
}

void AddEllipsoid(Mesh& mesh, const aiMatrix4x4& place, const aiVector3D& radii, int stacks, int slices)
{
    std::vector<ProfilePoint> profile;
    for (int i = 0; i <= stacks; ++i) {
        const float theta = kPi * float(i) / float(stacks);
        profile.push_back({std::sin(theta), -std::cos(theta)});
    }
    profile.front().radius = 0.0f;
    profile.back().radius = 0.0f;
    AddLathe(mesh, place * Place(aiVector3D(), aiQuaternion(), radii), profile, slices);
}

void AddTube(Mesh& mesh, const aiVector3D& a, const aiVector3D& b, float ra, float rb, int slices)
{
    const aiVector3D axis = b - a;
    const float length = axis.Length();
    std::vector<ProfilePoint> profile;
    const int cap = 4;
    for (int i = 0; i <= cap; ++i) {
        const float alpha = -0.5f * kPi + 0.5f * kPi * float(i) / float(cap);
        profile.push_back({ra * std::cos(alpha), ra * std::sin(alpha)});
    }
    for (int i = 0; i <= cap; ++i) {
        const float alpha = 0.5f * kPi * float(i) / float(cap);
        profile.push_back({rb * std::cos(alpha), length + rb * std::sin(alpha)});
    }
    profile.front().radius = 0.0f;
    profile.back().radius = 0.0f;
    AddLathe(mesh, Place(a, AlignY(axis)), profile, slices);
}

void AddCylinder(Mesh& mesh, const aiMatrix4x4& place, float radius, float height, int slices, bool caps)
{
    const float h = 0.5f * height;
    if (caps) {
        const ProfilePoint profile[] = {{0, -h}, {radius, -h}, {radius, -h}, {radius, h}, {radius, h}, {0, h}};
        AddLathe(mesh, place, profile, slices);
    } else {
        const ProfilePoint profile[] = {{radius, -h}, {radius, h}};
        AddLathe(mesh, place, profile, slices);
    }
}

void AddCone(Mesh& mesh, const aiMatrix4x4& place, float radius, float height, int slices, bool base)
{
    if (base) {
        const ProfilePoint profile[] = {{0, 0}, {radius, 0}, {radius, 0}, {0, height}};
        AddLathe(mesh, place, profile, slices);
    } else {
        const ProfilePoint profile[] = {{radius, 0}, {0, height}};
        AddLathe(mesh, place, profile, slices);
    }
}

void AddPrism(Mesh& mesh, const aiMatrix4x4& place, std::span<const aiVector2D> polygon, float depth)
{
    const size_t n = polygon.size();
    if (n < 3)
        return;
    aiVector2D lo = polygon[0], hi = polygon[0];
    float perimeter = 0.0f;
    for (size_t i = 0; i < n; ++i) {
        lo.x = std::min(lo.x, polygon[i].x);
        lo.y = std::min(lo.y, polygon[i].y);
        hi.x = std::max(hi.x, polygon[i].x);
        hi.y = std::max(hi.y, polygon[i].y);
        perimeter += (polygon[(i + 1) % n] - polygon[i]).Length();
    }
    auto s = [&](const aiVector2D& p) { return (p.x - lo.x) / std::max(hi.x - lo.x, 1e-6f); };
    auto t = [&](const aiVector2D& p) { return (p.y - lo.y) / std::max(hi.y - lo.y, 1e-6f); };
    const float h = 0.5f * depth;

    Shaper shape(mesh, place);
    for (int side = 0; side < 2; ++side) {
        const float z = side == 0 ? h : -h;
        const aiVector3D normal(0, 0, side == 0 ? 1.0f : -1.0f);
        std::vector<uint32_t> v;
        for (const aiVector2D& p : polygon)
            v.push_back(shape.V(aiVector3D(p.x, p.y, z), normal, side == 0 ? s(p) : 1.0f - s(p), t(p)));
        for (size_t i = 1; i + 1 < n; ++i) {
            if (side == 0)
                shape.Tri(v[0], v[i], v[i + 1]);
            else
                shape.Tri(v[0], v[i + 1], v[i]);
        }
    }
    float walked = 0.0f;
    for (size_t i = 0; i < n; ++i) {
        const aiVector2D p = polygon[i], q = polygon[(i + 1) % n];
        const aiVector2D e = q - p;
        const aiVector3D normal = Normalized(aiVector3D(e.y, -e.x, 0.0f));
        const float s0 = walked / perimeter, s1 = (walked + e.Length()) / perimeter;
        walked += e.Length();
        const uint32_t a = shape.V(aiVector3D(p.x, p.y, -h), normal, s0, 0);
        const uint32_t b = shape.V(aiVector3D(q.x, q.y, -h), normal, s1, 0);
        const uint32_t c = shape.V(aiVector3D(q.x, q.y, h), normal, s1, 1);
        const uint32_t d = shape.V(aiVector3D(p.x, p.y, h), normal, s0, 1);
        shape.Quad(a, b, c, d);
    }
}

void AddQuad(Mesh& mesh, const aiVector3D& p0, const aiVector3D& p1, const aiVector3D& p2,
             const aiVector3D& p3, bool bothSides)
{
    const aiVector3D normal = Normalized((p1 - p0) ^ (p3 - p0));
    const uint32_t a = mesh.AddVertex(p0, normal, 0, 0), b = mesh.AddVertex(p1, normal, 1, 0);
    const uint32_t c = mesh.AddVertex(p2, normal, 1, 1), d = mesh.AddVertex(p3, normal, 0, 1);
    mesh.AddTriangle(a, b, c);
    mesh.AddTriangle(a, c, d);
    if (!bothSides)
        return;
    const uint32_t e = mesh.AddVertex(p0, -normal, 0, 0), f = mesh.AddVertex(p1, -normal, 1, 0);
    const uint32_t g = mesh.AddVertex(p2, -normal, 1, 1), h = mesh.AddVertex(p3, -normal, 0, 1);
    mesh.AddTriangle(e, g, f);
    mesh.AddTriangle(e, h, g);
}

void AddGrid(Mesh& mesh, int columns, int rows, const std::function<aiVector3D(float, float)>& surface)
{
    const float ds = 0.5f / float(columns), dt = 0.5f / float(rows);
    const uint32_t first = uint32_t(mesh.VertexCount());
    for (int k = 0; k <= rows; ++k)
        for (int i = 0; i <= columns; ++i) {
            const float s = float(i) / float(columns), t = float(k) / float(rows);
            const aiVector3D alongS = surface(std::min(s + ds, 1.0f), t) - surface(std::max(s - ds, 0.0f), t);
            const aiVector3D alongT = surface(s, std::min(t + dt, 1.0f)) - surface(s, std::max(t - dt, 0.0f));
            mesh.AddVertex(surface(s, t), Normalized(alongS ^ alongT), s, t);
        }
    const uint32_t w = uint32_t(columns + 1);
    for (int k = 0; k < rows; ++k)
        for (int i = 0; i < columns; ++i) {
            const uint32_t a = first + uint32_t(k) * w + uint32_t(i);
            mesh.AddTriangle(a, a + 1, a + w + 1);
            mesh.AddTriangle(a, a + w + 1, a + w);
        }
}

void AddIcosphere(Mesh& mesh, const aiMatrix4x4& place, int subdivisions,
                  const std::function<float(const aiVector3D&)>& displace)
{
    const float g = (1.0f + std::sqrt(5.0f)) * 0.5f;
    std::vector<aiVector3D> points = {
        {-1, g, 0}, {1, g, 0}, {-1, -g, 0}, {1, -g, 0}, {0, -1, g}, {0, 1, g},
        {0, -1, -g}, {0, 1, -g}, {g, 0, -1}, {g, 0, 1}, {-g, 0, -1}, {-g, 0, 1},
    };
    for (aiVector3D& p : points)
        p = Normalized(p);
    std::vector<std::array<uint32_t, 3>> faces = {
        {0, 11, 5}, {0, 5, 1},  {0, 1, 7},   {0, 7, 10}, {0, 10, 11}, {1, 5, 9}, {5, 11, 4},
        {11, 10, 2}, {10, 7, 6}, {7, 1, 8},  {3, 9, 4},  {3, 4, 2},   {3, 2, 6}, {3, 6, 8},
        {3, 8, 9},  {4, 9, 5},  {2, 4, 11},  {6, 2, 10}, {8, 6, 7},   {9, 8, 1},
    };
    for (int level = 0; level < subdivisions; ++level) {
        std::map<std::pair<uint32_t, uint32_t>, uint32_t> middle;
        auto mid = [&](uint32_t a, uint32_t b) {
            const auto key = std::minmax(a, b);
            auto it = middle.find(key);
            if (it != middle.end())
                return it->second;
            points.push_back(Normalized(points[a] + points[b]));
            const uint32_t index = uint32_t(points.size() - 1);
            middle.emplace(key, index);
            return index;
        };
        std::vector<std::array<uint32_t, 3>> finer;
        for (const auto& f : faces) {
            const uint32_t ab = mid(f[0], f[1]), bc = mid(f[1], f[2]), ca = mid(f[2], f[0]);
            finer.push_back({f[0], ab, ca});
            finer.push_back({f[1], bc, ab});
            finer.push_back({f[2], ca, bc});
            finer.push_back({ab, bc, ca});
        }
        faces = std::move(finer);
    }
    std::vector<aiVector3D> moved(points.size());
    for (size_t i = 0; i < points.size(); ++i)
        moved[i] = points[i] * displace(points[i]);

    // Flat faces: a rock reads better faceted. Each face is projected on the plane it faces most.
    Shaper shape(mesh, place);
    for (const auto& f : faces) {
        const aiVector3D& a = moved[f[0]];
        const aiVector3D& b = moved[f[1]];
        const aiVector3D& c = moved[f[2]];
        const aiVector3D normal = Normalized((b - a) ^ (c - a));
        const aiVector3D m(std::fabs(normal.x), std::fabs(normal.y), std::fabs(normal.z));
        auto uv = [&](const aiVector3D& p) {
            if (m.y >= m.x && m.y >= m.z)
                return aiVector2D(p.x * 0.5f + 0.5f, p.z * 0.5f + 0.5f);
            if (m.x >= m.z)
                return aiVector2D(p.z * 0.5f + 0.5f, p.y * 0.5f + 0.5f);
            return aiVector2D(p.x * 0.5f + 0.5f, p.y * 0.5f + 0.5f);
        };
        uint32_t v[3];
        for (int k = 0; k < 3; ++k) {
            const aiVector3D& p = moved[f[size_t(k)]];
            const aiVector2D st = uv(p);
            v[k] = shape.V(p, normal, st.x, st.y);
        }
        shape.Tri(v[0], v[1], v[2]);
    }
}

float ValueNoise3(const aiVector3D& p, uint32_t seed)
{
    const float fx = std::floor(p.x), fy = std::floor(p.y), fz = std::floor(p.z);
    const int32_t x = int32_t(fx), y = int32_t(fy), z = int32_t(fz);
    const float tx = Smooth(p.x - fx), ty = Smooth(p.y - fy), tz = Smooth(p.z - fz);
    auto at = [&](int dx, int dy, int dz) {
        return float(HashInts(x + dx, y + dy, z + dz, seed) >> 8) * (1.0f / 16777216.0f);
    };
    auto lerp = [](float a, float b, float t) { return a + (b - a) * t; };
    const float x00 = lerp(at(0, 0, 0), at(1, 0, 0), tx), x10 = lerp(at(0, 1, 0), at(1, 1, 0), tx);
    const float x01 = lerp(at(0, 0, 1), at(1, 0, 1), tx), x11 = lerp(at(0, 1, 1), at(1, 1, 1), tx);
    return lerp(lerp(x00, x10, ty), lerp(x01, x11, ty), tz);
}

float Fbm3(const aiVector3D& p, uint32_t seed, int octaves)
{
    float sum = 0.0f, amplitude = 0.5f, norm = 0.0f, scale = 1.0f;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * ValueNoise3(p * scale, seed + uint32_t(i) * 101u);
        norm += amplitude;
        amplitude *= 0.5f;
        scale *= 2.0f;
    }
    return sum / norm;
}

}  // namespace assetgen::models
