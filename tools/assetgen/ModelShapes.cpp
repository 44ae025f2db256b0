// The static models. Sizes are in each model's own units, chosen so that the scale and place
// the game gives an instance come out right: the dungeon's walls, floors and props fit its
// 10-unit cells, the hub's decoration fits its colliders, and the characters' weapons and
// pickups match their collision shapes.
#include "assetgen/ModelShapes.h"

#include <cmath>
#include <cstdint>
#include <random>

namespace assetgen::models {

namespace {

// Fixed-seed numbers for scattered details; mt19937's sequence is the same everywhere.
class Random {
public:
    explicit Random(uint32_t seed) : m_engine(seed) {}
    float Uniform() { return float(m_engine() >> 8) * (1.0f / 16777216.0f); }
    float Range(float lo, float hi) { return lo + (hi - lo) * Uniform(); }

private:
    std::mt19937 m_engine;
};

// Lathe-built round things get flat caps mapped from above and sides mapped by height, so
// rings and bands painted across the picture land where they belong.
void MapRoundUv(Mesh& mesh, size_t first, float yMin, float yMax, float radius)
{
    const UvRect rect = mesh.Uv();
    for (size_t v = first; v < mesh.VertexCount(); ++v) {
        const aiVector3D& p = mesh.positions[v];
        if (std::fabs(mesh.normals[v].y) > 0.9f) {
            mesh.uvs[v] = rect.At(0.5f + 0.5f * p.x / radius, 0.5f + 0.5f * p.z / radius);
        } else {
            const aiVector2D uv = mesh.uvs[v];
            const float s = rect.u1 != rect.u0 ? (uv.x - rect.u0) / (rect.u1 - rect.u0) : 0.0f;
            mesh.uvs[v] = rect.At(s, (p.y - yMin) / (yMax - yMin));
        }
    }
}

void Torus(Mesh& mesh, const aiMatrix4x4& place, float radius, float thickness, int slices)
{
    std::vector<ProfilePoint> circle;
    for (int i = 0; i <= 8; ++i) {
        const float a = -0.5f * kPi + 2.0f * kPi * float(i) / 8.0f;
        circle.push_back({radius + thickness * std::cos(a), thickness * std::sin(a)});
    }
    AddLathe(mesh, place, circle, slices);
}

// ---- editor and hub -----------------------------------------------------------------------

Mesh UnitCube()
{
    Mesh m;
    AddBox(m, aiMatrix4x4(), {0.5f, 0.5f, 0.5f});
    return m;
}

// Blades about 10 tall around the base, both sides drawn.
Mesh Grass()
{
    Mesh m;
    Random rnd(11);
    for (int i = 0; i < 11; ++i) {
        const float yaw = rnd.Range(0.0f, 2.0f * kPi);
        const float r = rnd.Range(0.0f, 1.2f);
        const aiVector3D base(r * std::sin(yaw), 0.0f, r * std::cos(yaw));
        const aiVector3D across(std::cos(yaw), 0.0f, -std::sin(yaw));
        const aiVector3D out(std::sin(yaw), 0.0f, std::cos(yaw));
        const float height = rnd.Range(7.0f, 10.0f), lean = rnd.Range(1.0f, 3.5f), width = rnd.Range(0.5f, 0.8f);
        const aiVector3D top = base + out * lean + aiVector3D(0.0f, height, 0.0f);
        AddQuad(m, base - across * width, base + across * width, top + across * 0.06f, top - across * 0.06f, true);
    }
    return m;
}

// A pine about 50 tall: bark on the lower half of its picture, needles on the upper half.
Mesh Tree()
{
    Mesh m;
    m.SetUv({0.0f, 0.01f, 1.0f, 0.49f});
    const ProfilePoint trunk[] = {{0, 0}, {2.6f, 0}, {2.6f, 0}, {2.0f, 2.0f}, {1.6f, 20.0f}, {0.9f, 34.0f}, {0, 36.0f}};
    AddLathe(m, aiMatrix4x4(), trunk, 10);
    m.SetUv({0.0f, 0.51f, 1.0f, 0.99f});
    struct Tier {
        float y, radius, height;
    };
    for (const Tier& t : {Tier{12.0f, 12.0f, 18.0f}, Tier{22.0f, 10.0f, 16.0f}, Tier{32.0f, 7.0f, 18.0f}})
        AddCone(m, Place({0.0f, t.y, 0.0f}), t.radius, t.height, 12);
    return m;
}

// A faceted boulder about 28 x 20 x 28 resting on its base.
Mesh Boulder(float width, float height, uint32_t seed)
{
    Mesh m;
    AddIcosphere(m, Place({0, 0, 0}, aiQuaternion(), {width * 0.5f, height * 0.5f, width * 0.5f}), 2,
                 [seed](const aiVector3D& d) { return 0.82f + 0.36f * Fbm3(d * 1.7f + aiVector3D(3.1f), seed, 3); });
    const Bounds b = m.GetBounds();
    for (aiVector3D& p : m.positions)
        p.y -= b.min.y;
    return m;
}

// Arching fronds about 15 across, both sides drawn.
Mesh Fern()
{
    Mesh m;
    Random rnd(23);
    const int fronds = 7;
    for (int f = 0; f < fronds; ++f) {
        const float yaw = 2.0f * kPi * (float(f) + rnd.Range(-0.2f, 0.2f)) / float(fronds);
        const aiVector3D out(std::sin(yaw), 0.0f, std::cos(yaw));
        const aiVector3D across(std::cos(yaw), 0.0f, -std::sin(yaw));
        const float length = rnd.Range(6.5f, 8.0f), rise = rnd.Range(3.5f, 5.0f);
        const int segments = 5;
        for (int s = 0; s < segments; ++s) {
            auto at = [&](int k) {
                const float t = float(k) / float(segments);
                return out * (length * t) + aiVector3D(0.0f, rise * std::sin(kPi * 0.8f * t), 0.0f);
            };
            auto half = [&](int k) { return 1.2f * (1.0f - float(k) / float(segments)) + 0.08f; };
            const aiVector3D a = at(s), b = at(s + 1);
            m.SetUv({0.0f, float(s) / float(segments), 1.0f, float(s + 1) / float(segments)});
            AddQuad(m, a - across * half(s), a + across * half(s), b + across * half(s + 1), b - across * half(s + 1),
                    true);
        }
    }
    return m;
}

// A long ridge: x from -120 to 220, up to about 40 high, fading to its base at z = +-40.
Mesh Mountain()
{
    Mesh m;
    AddGrid(m, 96, 24, [](float s, float t) {
        const float x = -120.0f + 340.0f * s, z = 40.0f - 80.0f * t;
        const float across = 1.0f - (z / 40.0f) * (z / 40.0f);
        const float ridge = std::pow(std::max(across, 0.0f), 1.3f);
        const float n = Fbm3(aiVector3D(x / 45.0f, 0.5f, z / 30.0f), 77, 4);
        const float peaks = 0.5f + 0.5f * std::sin(x / 23.0f + 1.3f * std::sin(x / 61.0f));
        return aiVector3D(x, 40.0f * ridge * (0.45f + 0.35f * peaks + 0.4f * (n - 0.5f) + 0.2f), z);
    });
    return m;
}

// A gate of two posts and a lintel under a skull, front towards +z, base at the origin.
Mesh PortalSkull()
{
    Mesh m;
    AddBox(m, Place({0, 0.15f, 0}), {1.6f, 0.15f, 1.4f});
    for (float x : {1.15f, -1.15f}) {
        AddBox(m, Place({x, 2.1f, 0}), {0.3f, 1.8f, 0.45f});
        AddCone(m, Place({x, 4.2f, 0}, Euler(0, 0, -20.0f * x)), 0.15f, 0.6f, 8);  // horns
    }
    AddBox(m, Place({0, 3.98f, 0}), {1.55f, 0.23f, 0.5f});
    AddEllipsoid(m, Place({0, 4.5f, 0.05f}), {0.5f, 0.42f, 0.45f}, 8, 12);   // cranium
    AddEllipsoid(m, Place({0, 4.3f, 0.35f}), {0.38f, 0.26f, 0.28f}, 8, 12);  // face
    return m;
}

// About 130 long, barrel along -z, the grip at the origin: metal on the upper half of the
// picture, wood on the lower half.
Mesh Gun()
{
    Mesh m;
    const UvRect wood{0.0f, 0.01f, 1.0f, 0.49f}, metal{0.0f, 0.51f, 1.0f, 0.99f};
    m.SetUv(wood);
    AddBox(m, Place({0, -11.0f, 3.0f}, Euler(-15.0f, 0, 0)), {3.5f, 11.0f, 4.5f});  // grip
    AddBox(m, Place({0, 3.0f, 26.0f}), {4.0f, 6.0f, 15.0f});                       // stock
    AddBox(m, Place({0, 0.0f, -38.0f}), {3.8f, 3.0f, 12.0f});                      // fore-end
    m.SetUv(metal);
    AddBox(m, Place({0, 5.0f, -8.0f}), {5.0f, 6.0f, 20.0f});  // receiver
    AddCylinder(m, Place({0, 7.0f, -62.0f}, Euler(90.0f, 0, 0)), 3.2f, 56.0f, 14);  // barrel
    AddCylinder(m, Place({0, 7.0f, -88.0f}, Euler(90.0f, 0, 0)), 4.2f, 4.0f, 14);   // muzzle
    AddBox(m, Place({0, 12.5f, -12.0f}), {1.2f, 1.6f, 3.0f});                      // sight
    AddBox(m, Place({0, -8.0f, -12.0f}, Euler(8.0f, 0, 0)), {2.8f, 7.0f, 4.0f});   // magazine
    AddBox(m, Place({0, -4.0f, -1.0f}), {0.8f, 2.5f, 5.0f});                       // trigger guard
    return m;
}

// ---- enemies and pickups -------------------------------------------------------------

// A skull about 80 across, centred, facing +z: bone on the first two bands of its picture,
// glowing eyes on the third, flames on the fourth.
void Skull(Mesh& m)
{
    m.SetUv(Band(0, 4));
    AddEllipsoid(m, Place({0, 8, -4}), {34, 32, 36}, 10, 16);     // cranium
    AddEllipsoid(m, Place({0, -6, 15}), {26, 20, 22}, 8, 14);     // face
    for (float x : {21.0f, -21.0f})
        AddEllipsoid(m, Place({x, -4, 18}), {9, 8, 10}, 6, 10);  // cheekbones
    m.SetUv(Band(1, 4));
    AddEllipsoid(m, Place({0, -24, 13}), {22, 9, 20}, 8, 14);  // jaw
    for (int i = -3; i <= 3; ++i)
        AddBox(m, Place({float(i) * 5.0f, -17.0f, 34.0f - 0.35f * float(i * i)}), {2.0f, 3.0f, 1.5f});  // teeth
    m.SetUv(Band(2, 4));
    for (float x : {13.0f, -13.0f})
        AddEllipsoid(m, Place({x, 2, 30}), {9, 8, 5}, 6, 10);  // eyes
    m.SetUv(Band(3, 4));
    Random rnd(5);
    for (int i = 0; i < 5; ++i) {
        const float x = -20.0f + 10.0f * float(i);
        AddCone(m, Place({x, 14.0f + rnd.Range(-4, 4), -30.0f}, Euler(-115.0f + rnd.Range(-10, 10), 0, 0)), 7.0f,
                rnd.Range(14.0f, 22.0f), 8);  // trailing flames
    }
}

// Moves the mesh so that the box around its first `count` vertices is centred on the origin.
void Centre(Mesh& m, size_t count)
{
    Mesh part;
    part.positions.assign(m.positions.begin(), m.positions.begin() + std::ptrdiff_t(count));
    const Bounds b = part.GetBounds();
    const aiVector3D centre = (b.min + b.max) * 0.5f;
    for (aiVector3D& p : m.positions)
        p -= centre;
}

Mesh FlyingSkull()
{
    Mesh m;
    Skull(m);
    Centre(m, m.VertexCount());
    return m;
}

// The mini-boss's skull carries a shield plate over its jaw and horns.
Mesh ShieldedSkull()
{
    Mesh m;
    Skull(m);
    const size_t skull = m.VertexCount();
    m.SetUv(Band(2, 4));
    std::vector<aiVector2D> hexagon;
    for (int i = 0; i < 6; ++i) {
        const float a = kPi / 6.0f + 2.0f * kPi * float(i) / 6.0f;
        hexagon.push_back({26.0f * std::cos(a), 24.0f * std::sin(a)});
    }
    AddPrism(m, Place({0, -20, 40}), hexagon, 6.0f);
    m.SetUv(Band(3, 4));
    Torus(m, Place({0, -20, 43.5f}, Euler(90.0f, 0, 0)), 8.0f, 1.6f, 16);
    m.SetUv(Band(1, 4));
    for (float x : {1.0f, -1.0f})
        AddCone(m, Place({x * 26.0f, 30.0f, -2.0f}, Euler(-20.0f, 0, -35.0f * x)), 6.0f, 24.0f, 10);
    Centre(m, skull);  // the same skull as the small one, plate in front
    return m;
}

Mesh Fireball()
{
    Mesh m;
    AddEllipsoid(m, aiMatrix4x4(), {1, 1, 1}, 12, 16);
    return m;
}

// A disc about its y axis: radius 0.55, 0.18 thick, bevelled rim.
Mesh Coin()
{
    Mesh m;
    const ProfilePoint profile[] = {{0, -0.09f},    {0.5f, -0.09f}, {0.5f, -0.09f}, {0.55f, -0.05f}, {0.55f, -0.05f},
                                    {0.55f, 0.05f}, {0.55f, 0.05f}, {0.5f, 0.09f},  {0.5f, 0.09f},   {0, 0.09f}};
    AddLathe(m, aiMatrix4x4(), profile, 24);
    MapRoundUv(m, 0, -0.09f, 0.09f, 0.55f);
    return m;
}

// Base about 10 x 10, top slab 12 x 12 whose upper face is at 7.85, three rings where the orbs
// rest.
Mesh Altar()
{
    Mesh m;
    AddBox(m, Place({0, 0.4f, 0}), {5.5f, 0.4f, 5.5f});
    AddBox(m, Place({0, 3.85f, 0}), {4.5f, 3.05f, 4.5f});
    AddBox(m, Place({0, 7.375f, 0}), {6.0f, 0.475f, 6.0f});
    for (const aiVector3D& slot : {aiVector3D(4.5f, 7.95f, 0), aiVector3D(-4.5f, 7.95f, 0), aiVector3D(0, 7.95f, -4.5f)})
        Torus(m, Place(slot), 0.6f, 0.1f, 16);
    return m;
}

Mesh Pillar()
{
    Mesh m;
    AddBox(m, Place({0, -2.45f, 0}), {0.6f, 0.15f, 0.6f});
    AddBox(m, Place({0, 0, 0}), {0.5f, 2.3f, 0.5f});
    AddBox(m, Place({0, 2.45f, 0}), {0.6f, 0.15f, 0.6f});
    return m;
}

// Radius 0.9 at the belly, 2 tall, centred.
Mesh Barrel()
{
    Mesh m;
    const ProfilePoint profile[] = {{0, -1},       {0.78f, -1},   {0.78f, -1}, {0.86f, -0.6f}, {0.9f, 0},
                                    {0.86f, 0.6f}, {0.78f, 1.0f}, {0.78f, 1},  {0, 1}};
    AddLathe(m, aiMatrix4x4(), profile, 16);
    MapRoundUv(m, 0, -1.0f, 1.0f, 0.9f);
    return m;
}

// Staves and fragments of a broken barrel, each about 0.5 to 0.8 long.
Mesh BarrelPiece(int kind)
{
    Mesh m;
    switch (kind) {
    case 1:
        AddBox(m, aiMatrix4x4(), {0.15f, 0.4f, 0.04f});
        break;
    case 2:
        AddBox(m, Place({0, 0, 0}, Euler(0, 0, 12.0f)), {0.14f, 0.28f, 0.04f});
        AddBox(m, Place({0.02f, 0.3f, 0}, Euler(0, 0, -20.0f)), {0.12f, 0.06f, 0.04f});  // splintered end
        break;
    case 3:
        AddBox(m, aiMatrix4x4(), {0.15f, 0.38f, 0.04f});
        m.SetUv({0.0f, 0.8f, 1.0f, 0.88f});
        AddBox(m, Place({0, 0.2f, 0.02f}), {0.17f, 0.05f, 0.03f});  // a bit of hoop
        break;
    case 4: {
        std::vector<aiVector2D> half;
        for (int i = 0; i <= 6; ++i) {
            const float a = kPi * float(i) / 6.0f;
            half.push_back({0.4f * std::cos(a), 0.4f * std::sin(a) - 0.12f});
        }
        AddPrism(m, Place({0, 0, 0}, Euler(90.0f, 0, 0)), half, 0.06f);  // piece of a lid
        break;
    }
    default:
        for (float x : {-0.15f, 0.15f})
            AddBox(m, Place({x, 0, 0}, Euler(0, 8.0f * x, 0)), {0.14f, 0.25f, 0.04f});
        m.SetUv({0.0f, 0.12f, 1.0f, 0.2f});
        AddBox(m, Place({0, 0.05f, 0.05f}), {0.3f, 0.05f, 0.02f});
        break;
    }
    return m;
}

Mesh Spikes()
{
    Mesh m;
    AddBox(m, Place({0, -0.45f, 0}), {1.25f, 0.05f, 1.25f});
    Random rnd(31);
    for (float x : {-0.9f, -0.3f, 0.3f, 0.9f})
        for (float z : {-0.9f, -0.3f, 0.3f, 0.9f})
            AddCone(m, Place({x + rnd.Range(-0.08f, 0.08f), -0.4f, z + rnd.Range(-0.08f, 0.08f)}), 0.12f,
                    rnd.Range(0.75f, 0.9f), 8, false);
    return m;
}

// A flat puddle 4.2 across with a few bulges.
Mesh Goo()
{
    Mesh m;
    AddEllipsoid(m, Place({0, 0, 0}), {2.1f, 0.12f, 2.1f}, 6, 20);
    Random rnd(41);
    for (int i = 0; i < 5; ++i) {
        const float a = rnd.Range(0.0f, 2.0f * kPi), r = rnd.Range(0.3f, 1.3f);
        AddEllipsoid(m, Place({r * std::cos(a), 0.02f, r * std::sin(a)}), {rnd.Range(0.3f, 0.6f), 0.13f, rnd.Range(0.3f, 0.6f)},
                     4, 10);
    }
    return m;
}

// Body and domed lid, 40 x 26 x 25, centred.
Mesh Chest()
{
    Mesh m;
    AddBox(m, Place({0, -6.0f, 0}), {20.0f, 7.0f, 12.5f});
    AddBox(m, Place({0, 3.0f, 0}), {20.0f, 2.0f, 12.5f});
    AddCylinder(m, Place({0, 5.0f, 0}, Euler(0, 0, 90.0f), {0.64f, 1.0f, 1.0f}), 12.5f, 40.0f, 16);
    AddBox(m, Place({0, 1.0f, 12.8f}), {3.0f, 4.0f, 0.8f});  // lock plate
    return m;
}

// Wall bracket at -z, the flame about one unit in front of the origin: wood on the lower part
// of the picture, the iron cup above it and the flame at the very top.
Mesh Torch()
{
    Mesh m;
    const UvRect iron{0.0f, 0.64f, 1.0f, 0.78f}, wood{0.0f, 0.02f, 1.0f, 0.56f}, flame{0.0f, 0.93f, 1.0f, 0.99f};
    m.SetUv(iron);
    AddBox(m, Place({0, -0.3f, -0.95f}), {0.25f, 0.35f, 0.05f});
    AddTube(m, {0, -0.5f, -0.9f}, {0, -0.5f, 0.55f}, 0.05f, 0.05f, 8);
    m.SetUv(wood);
    const aiVector3D bottom(0, -1.0f, 0.5f), top(0, 0.05f, 0.85f);
    AddTube(m, bottom, top, 0.09f, 0.12f, 10);
    m.SetUv(iron);
    const ProfilePoint cup[] = {{0, 0}, {0.12f, 0}, {0.12f, 0}, {0.24f, 0.28f}, {0.24f, 0.28f}, {0.2f, 0.3f}, {0, 0.3f}};
    AddLathe(m, Place(top, AlignY(top - bottom)), cup, 12);
    m.SetUv(flame);
    AddEllipsoid(m, Place({0, 0.55f, 0.92f}), {0.17f, 0.32f, 0.17f}, 8, 12);
    return m;
}

// Pointing along +y from its base, about 3 long.
Mesh Arrow()
{
    Mesh m;
    AddCylinder(m, Place({0, 1.1f, 0}), 0.08f, 2.2f, 10);
    AddCone(m, Place({0, 2.2f, 0}), 0.25f, 0.8f, 12);
    return m;
}

Mesh Stones()
{
    Mesh m;
    Random rnd(53);
    const int count = 16;
    for (int i = 0; i < count; ++i) {
        // Spread like seeds in a sunflower, out to the edge of the 200-wide patch.
        const float a = 2.39996f * float(i) + rnd.Range(-0.3f, 0.3f);
        const float r = 90.0f * std::sqrt((float(i) + 0.5f) / float(count));
        const float w = rnd.Range(14.0f, 30.0f), d = rnd.Range(12.0f, 26.0f), h = rnd.Range(7.0f, 16.0f);
        AddEllipsoid(m, Place({r * std::cos(a), h * 0.25f, r * std::sin(a)}, Euler(0, rnd.Range(0, 180), 0)),
                     {w * 0.5f, h * 0.5f, d * 0.5f}, 5, 9);
    }
    return m;
}

Mesh Box(const aiVector3D& size)
{
    Mesh m;
    AddBox(m, aiMatrix4x4(), size * 0.5f);
    return m;
}

Mesh CentredBoulder(float size, uint32_t seed)
{
    Mesh m = Boulder(size, size * 0.8f, seed);
    const Bounds b = m.GetBounds();
    const aiVector3D centre = (b.min + b.max) * 0.5f;
    for (aiVector3D& p : m.positions)
        p -= centre;
    return m;
}

}  // namespace

std::vector<StaticModel> StaticModels()
{
    std::vector<StaticModel> all;
    auto add = [&all](std::string path, Mesh mesh) { all.push_back({std::move(path), std::move(mesh)}); };
    // Loaded by fixed path.
    add("models/cube1cm.obj", UnitCube());
    add("models/grass.obj", Grass());
    add("models/tree.obj", Tree());
    add("models/rock.obj", Boulder(28.0f, 20.0f, 61));
    add("models/fern.obj", Fern());
    add("models/mountain.obj", Mountain());
    add("models/portalskull.fbx", PortalSkull());
    add("models/gun.obj", Gun());
    // Named by the mesh list.
    add("models/flyingskull.obj", FlyingSkull());
    add("models/mbflyingskull.obj", ShieldedSkull());
    add("models/fireball.obj", Fireball());
    add("models/coin.obj", Coin());
    add("models/altar.obj", Altar());
    add("models/dungeon_wall.obj", Box({7.7f, 6.8f, 0.834f}));
    add("models/dungeon_slab.obj", Box({8.0f, 8.0f, 1.0f}));
    add("models/pillar.obj", Pillar());
    add("models/barrel.obj", Barrel());
    for (int i = 1; i <= 5; ++i)
        add("models/barrel_piece" + std::to_string(i) + ".obj", BarrelPiece(i));
    add("models/crate.obj", Box({26.7f, 26.7f, 26.7f}));
    add("models/dungeon_rock.obj", CentredBoulder(5.0f, 67));
    add("models/dungeon_stones.obj", Stones());
    add("models/spikes.obj", Spikes());
    add("models/goo.obj", Goo());
    add("models/chest.obj", Chest());
    add("models/torch.obj", Torch());
    add("models/arrow.obj", Arrow());
    return all;
}

}  // namespace assetgen::models
