// The characters' bodies. Each body is laid out in fractions of its height H (feet at the
// origin, facing +z, its left towards +x), built from ellipsoids and tubes that each hang
// fully on one bone, and textured from four bands of its picture: head, skin or fur,
// clothing or armour, details.
#include "assetgen/RigCharacters.h"

#include "assetgen/AnimClips.h"

#include <string_view>
#include <utility>

namespace assetgen::models {

namespace {

enum BandIndex { kHead = 0, kSkin = 1, kCloth = 2, kDetail = 3 };

// Joint heights and spreads, as fractions of the height.
struct Joints {
    float ankle, knee, hip, hipX;
    float spine, chest, neck, head;
    float shoulderX, shoulderY, elbowX, elbowY, wristX, wristY;
    float kneeZ = 0.0f, ankleZ = 0.0f, neckZ = 0.0f, headZ = 0.0f, elbowZ = 0.0f, wristZ = 0.0f;
};

const char* Side(int side) { return side > 0 ? "_L" : "_R"; }
std::string Named(const char* bone, int side) { return std::string(bone) + Side(side); }

Rig Biped(const Joints& j, float h)
{
    Rig rig;
    // The root shares the hips' joint; a whole-body turn is split between the two (see the
    // clips), so neither ever turns past half a circle.
    rig.Add("Root", "", {0, j.hip * h, 0});
    rig.Add("Hips", "Root", {0, j.hip * h, 0});
    rig.Add("Spine", "Hips", {0, j.spine * h, 0});
    rig.Add("Chest", "Spine", {0, j.chest * h, 0});
    rig.Add("Neck", "Chest", {0, j.neck * h, j.neckZ * h});
    rig.Add("Head", "Neck", {0, j.head * h, j.headZ * h});
    for (int side : {1, -1}) {
        const float s = float(side);
        rig.Add(Named("UpperArm", side), "Chest", {s * j.shoulderX * h, j.shoulderY * h, 0});
        rig.Add(Named("ForeArm", side), Named("UpperArm", side), {s * j.elbowX * h, j.elbowY * h, j.elbowZ * h});
        rig.Add(Named("Hand", side), Named("ForeArm", side), {s * j.wristX * h, j.wristY * h, j.wristZ * h});
    }
    for (int side : {1, -1}) {
        const float s = float(side);
        rig.Add(Named("Thigh", side), "Hips", {s * j.hipX * h, (j.hip - 0.03f) * h, 0});
        rig.Add(Named("Shin", side), Named("Thigh", side), {s * j.hipX * h, j.knee * h, j.kneeZ * h});
        rig.Add(Named("Foot", side), Named("Shin", side), {s * j.hipX * h, j.ankle * h, j.ankleZ * h});
    }
    return rig;
}

// A clip that takes the body down to the floor, kept resting on it by the character's own skin.
Clip Grounded(const Character& c, Clip clip) { return clips::OnTheFloor(std::move(clip), c.rig, c.mesh); }

// Shapes laid out in fractions of the height onto the character's mesh.
class Sculptor {
public:
    Sculptor(Character& character, float height) : m_c(character), m_h(height) {}

    void Part(std::string_view bone, int band)
    {
        m_c.mesh.SetBone(m_c.rig.Find(bone));
        m_c.mesh.SetUv(Band(band, 4));
    }
    aiVector3D P(float x, float y, float z) const { return aiVector3D(x, y, z) * m_h; }
    aiVector3D J(std::string_view bone) const { return m_c.rig.Joint(bone); }
    aiVector3D J(std::string_view bone, float x, float y, float z) const { return J(bone) + P(x, y, z); }

    void Ball(const aiVector3D& centre, float rx, float ry, float rz, const aiQuaternion& turn = aiQuaternion())
    {
        AddEllipsoid(m_c.mesh, Place(centre, turn), P(rx, ry, rz), 8, 12);
    }
    void Limb(const aiVector3D& a, const aiVector3D& b, float ra, float rb)
    {
        AddTube(m_c.mesh, a, b, ra * m_h, rb * m_h, 10);
    }
    void Horn(const aiVector3D& base, const aiQuaternion& turn, float radius, float length)
    {
        AddCone(m_c.mesh, Place(base, turn), radius * m_h, length * m_h, 8);
    }
    void Block(const aiVector3D& centre, float hx, float hy, float hz, const aiQuaternion& turn = aiQuaternion())
    {
        AddBox(m_c.mesh, Place(centre, turn), P(hx, hy, hz));
    }
    void Ring(const aiVector3D& centre, float radius, float thickness, float depthScale)
    {
        std::vector<ProfilePoint> circle;
        for (int i = 0; i <= 8; ++i) {
            const float a = -0.5f * kPi + 2.0f * kPi * float(i) / 8.0f;
            circle.push_back({(radius + thickness * std::cos(a)) * m_h, thickness * std::sin(a) * m_h});
        }
        AddLathe(m_c.mesh, Place(centre, aiQuaternion(), aiVector3D(1.0f, 1.0f, depthScale)), circle, 14);
    }
    void Skirt(const std::vector<ProfilePoint>& fractions)
    {
        std::vector<ProfilePoint> profile;
        for (const ProfilePoint& p : fractions)
            profile.push_back({p.radius * m_h, p.height * m_h});
        AddLathe(m_c.mesh, aiMatrix4x4(), profile, 16);
    }

    // Upper and lower arm and leg tubes between the rig's joints.
    void Arm(int side, int band, float r0, float r1, float r2)
    {
        Part(Named("UpperArm", side), band);
        Limb(J(Named("UpperArm", side)), J(Named("ForeArm", side)), r0, r1);
        Part(Named("ForeArm", side), band);
        Limb(J(Named("ForeArm", side)), J(Named("Hand", side)), r1, r2);
    }
    void Leg(int side, int thighBand, int shinBand, float r0, float r1, float r2)
    {
        Part(Named("Thigh", side), thighBand);
        Limb(J(Named("Thigh", side)), J(Named("Shin", side)), r0, r1);
        Part(Named("Shin", side), shinBand);
        Limb(J(Named("Shin", side)), J(Named("Foot", side)), r1, r2);
    }

private:
    Character& m_c;
    float m_h;
};

Character Rabbitman()
{
    const float h = 8.2f;  // top of the head; the ears reach 1.3 h
    Character c;
    c.modelPath = "models/rabbitman.fbx";
    c.rig = Biped({0.05f, 0.26f, 0.47f, 0.085f, 0.56f, 0.66f, 0.77f, 0.82f, 0.16f, 0.75f, 0.2f, 0.58f, 0.22f, 0.43f,
                   0, 0, 0, 0, 0, 0.02f},
                  h);
    c.rig.Add("Ear_L", "Head", aiVector3D(0.045f, 0.97f, -0.01f) * h);
    c.rig.Add("Ear_R", "Head", aiVector3D(-0.045f, 0.97f, -0.01f) * h);
    Sculptor s(c, h);

    s.Part("Hips", kCloth);
    s.Ball(s.P(0, 0.47f, 0), 0.15f, 0.09f, 0.11f);
    s.Part("Hips", kHead);
    s.Ball(s.P(0, 0.47f, -0.12f), 0.055f, 0.055f, 0.05f);  // tail puff
    s.Part("Spine", kSkin);
    s.Ball(s.P(0, 0.58f, 0), 0.14f, 0.11f, 0.11f);
    s.Part("Spine", kHead);
    s.Ball(s.P(0, 0.57f, 0.05f), 0.1f, 0.09f, 0.07f);  // pale belly
    s.Part("Chest", kCloth);
    s.Ball(s.P(0, 0.68f, 0), 0.16f, 0.1f, 0.115f);  // vest
    s.Part("Neck", kSkin);
    s.Limb(s.J("Neck"), s.J("Head", 0, 0.03f, 0), 0.05f, 0.05f);
    s.Part("Head", kHead);
    s.Ball(s.P(0, 0.9f, 0.01f), 0.1f, 0.095f, 0.105f);
    s.Ball(s.P(0, 0.86f, 0.08f), 0.065f, 0.045f, 0.05f);  // muzzle
    s.Part("Head", kDetail);
    s.Ball(s.P(0, 0.885f, 0.13f), 0.022f, 0.016f, 0.014f);  // nose
    s.Part("Head", kCloth);
    for (float x : {0.045f, -0.045f})
        s.Ball(s.P(x, 0.925f, 0.085f), 0.02f, 0.022f, 0.012f);  // eyes
    for (int side : {1, -1}) {
        const std::string ear = Named("Ear", side);
        const aiQuaternion tilt = Euler(-8.0f, 0.0f, -8.0f * float(side));
        s.Part(ear, kHead);
        s.Ball(s.J(ear, 0.01f * float(side), 0.16f, -0.01f), 0.045f, 0.17f, 0.02f, tilt);
        s.Part(ear, kDetail);
        s.Ball(s.J(ear, 0.01f * float(side), 0.16f, 0.008f), 0.028f, 0.14f, 0.014f, tilt);

        s.Arm(side, kSkin, 0.05f, 0.042f, 0.036f);
        s.Part(Named("Hand", side), kSkin);
        s.Ball(s.J(Named("Hand", side), 0, -0.035f, 0.005f), 0.035f, 0.045f, 0.03f);
        s.Leg(side, kCloth, kSkin, 0.075f, 0.055f, 0.042f);
        s.Part(Named("Foot", side), kSkin);
        s.Ball(s.J(Named("Foot", side), 0, -0.015f, 0.07f), 0.055f, 0.035f, 0.13f);
    }

    c.ownClips = {clips::LookAround("look"), clips::Idle("idle", 4.0f)};
    const std::string pack = "models/RabbitmanPack/";
    c.animationFiles = {
        {pack + "idle.fbx", clips::Idle("idle", 3.0f)},
        {pack + "running_inPlace.fbx", clips::Run("running_inPlace", 2, 1.4f)},
        {pack + "stomach_hit.fbx", clips::GutHit("stomach_hit", 1.0f)},
        {pack + "zombie_attack.fbx", clips::ZombieAttack("zombie_attack")},
        {pack + "falling_back_death.fbx", Grounded(c, clips::FallBack("falling_back_death", 2.0f))},
    };
    return c;
}

Character Lkanga()
{
    const float h = 13.0f;  // tips of the ears
    Character c;
    c.modelPath = "models/lkanga.fbx";
    Joints j{0.07f, 0.24f, 0.4f, 0.1f, 0.5f, 0.6f, 0.68f, 0.74f, 0.11f, 0.64f, 0.14f, 0.55f, 0.13f, 0.48f};
    j.kneeZ = 0.07f;  // hopping legs: knee forward, heel back
    j.ankleZ = -0.05f;
    j.neckZ = 0.03f;
    j.headZ = 0.07f;
    j.elbowZ = 0.07f;
    j.wristZ = 0.13f;
    c.rig = Biped(j, h);
    c.rig.Add("Tail1", "Hips", aiVector3D(0, 0.4f, -0.12f) * h);
    c.rig.Add("Tail2", "Tail1", aiVector3D(0, 0.22f, -0.3f) * h);
    Sculptor s(c, h);

    s.Part("Hips", kSkin);
    s.Ball(s.P(0, 0.41f, -0.02f), 0.16f, 0.12f, 0.14f);
    s.Part("Hips", kCloth);
    AddCylinder(c.mesh, Place(s.P(0, 0.455f, -0.01f)), 0.158f * h, 0.03f * h, 16);  // belt
    s.Block(s.P(0, 0.43f, 0.135f), 0.06f, 0.05f, 0.02f);                            // pouch
    s.Part("Spine", kSkin);
    s.Ball(s.P(0, 0.52f, 0), 0.13f, 0.12f, 0.11f);
    s.Part("Spine", kDetail);
    s.Ball(s.P(0, 0.51f, 0.06f), 0.09f, 0.1f, 0.07f);  // pale belly
    s.Part("Chest", kSkin);
    s.Ball(s.P(0, 0.61f, 0.01f), 0.12f, 0.08f, 0.1f);
    s.Part("Neck", kSkin);
    s.Limb(s.J("Neck"), s.J("Head"), 0.05f, 0.045f);
    s.Part("Head", kHead);
    s.Ball(s.J("Head", 0, 0.06f, 0.02f), 0.07f, 0.065f, 0.08f);
    s.Ball(s.J("Head", 0, 0.035f, 0.11f), 0.045f, 0.04f, 0.08f);  // snout
    s.Part("Head", kCloth);
    s.Ball(s.J("Head", 0, 0.045f, 0.19f), 0.018f, 0.015f, 0.012f);  // nose
    for (float x : {0.04f, -0.04f})
        s.Ball(s.J("Head", x, 0.085f, 0.07f), 0.014f, 0.016f, 0.01f);  // eyes
    for (int side : {1, -1}) {
        const float f = float(side);
        const aiQuaternion tilt = Euler(-10.0f, 0.0f, -12.0f * f);
        s.Part("Head", kHead);
        s.Ball(s.J("Head", 0.05f * f, 0.17f, -0.02f), 0.03f, 0.1f, 0.015f, tilt);
        s.Part("Head", kDetail);
        s.Ball(s.J("Head", 0.05f * f, 0.17f, -0.008f), 0.018f, 0.08f, 0.01f, tilt);

        s.Arm(side, kSkin, 0.035f, 0.03f, 0.025f);
        s.Part(Named("Hand", side), kDetail);
        s.Ball(s.J(Named("Hand", side), 0, -0.015f, 0.015f), 0.025f, 0.025f, 0.03f);
        s.Leg(side, kSkin, kSkin, 0.09f, 0.055f, 0.035f);
        s.Part(Named("Foot", side), kSkin);
        s.Ball(s.J(Named("Foot", side), 0, -0.04f, 0.1f), 0.045f, 0.03f, 0.15f);
        s.Part(Named("Foot", side), kDetail);
        s.Ball(s.J(Named("Foot", side), 0, -0.045f, 0.24f), 0.03f, 0.018f, 0.03f);  // claws
    }
    s.Part("Tail1", kSkin);
    s.Limb(s.J("Tail1"), s.J("Tail2"), 0.08f, 0.05f);
    s.Part("Tail2", kSkin);
    s.Limb(s.J("Tail2"), s.P(0, 0.06f, -0.5f), 0.05f, 0.02f);

    c.ownClips = {clips::LookAround("look"), clips::Idle("idle", 3.0f)};
    const std::string dir = "animation/LKanga/";
    c.animationFiles = {
        {dir + "drunk_idle.fbx", clips::Idle("drunk_idle", 4.0f, 1.0f)},
        {dir + "walking_inPlace.fbx", clips::Walk("walking_inPlace", 2, 2.0f)},
        {dir + "fireball.fbx", clips::Throw("fireball", 0.5f, 1.2f)},
        {dir + "death.fbx", Grounded(c, clips::FallBack("death", 2.0f))},
        {dir + "taunt.fbx", clips::Taunt("taunt")},
    };
    return c;
}

Character Ogre()
{
    const float h = 30.0f;
    Character c;
    c.modelPath = "models/ogre.fbx";
    Joints j{0.05f, 0.2f, 0.37f, 0.14f, 0.48f, 0.64f, 0.78f, 0.82f, 0.27f, 0.76f, 0.34f, 0.52f, 0.37f, 0.3f};
    j.neckZ = 0.06f;
    j.headZ = 0.08f;
    j.elbowZ = 0.02f;
    j.wristZ = 0.04f;
    c.rig = Biped(j, h);
    Sculptor s(c, h);

    s.Part("Hips", kCloth);
    s.Ball(s.P(0, 0.4f, 0), 0.22f, 0.1f, 0.17f);
    s.Block(s.P(0, 0.3f, 0.16f), 0.1f, 0.09f, 0.015f, Euler(-8.0f, 0, 0));  // loincloth
    s.Block(s.P(0, 0.3f, -0.16f), 0.1f, 0.09f, 0.015f, Euler(8.0f, 0, 0));
    s.Part("Spine", kSkin);
    s.Ball(s.P(0, 0.52f, 0.05f), 0.27f, 0.17f, 0.24f);  // belly
    s.Part("Spine", kCloth);
    AddCylinder(c.mesh, Place(s.P(0, 0.42f, 0.03f), aiQuaternion(), aiVector3D(1.0f, 1.0f, 0.88f)), 0.25f * h,
                0.04f * h, 18);  // belt
    s.Part("Chest", kSkin);
    s.Ball(s.P(0, 0.68f, 0.02f), 0.3f, 0.13f, 0.2f);
    s.Part("Neck", kSkin);
    s.Limb(s.J("Neck", 0, -0.04f, -0.02f), s.J("Head"), 0.1f, 0.09f);
    s.Part("Head", kHead);
    s.Ball(s.J("Head", 0, 0.07f, 0.02f), 0.095f, 0.09f, 0.09f);
    s.Ball(s.J("Head", 0, 0.11f, 0.08f), 0.08f, 0.025f, 0.03f);  // brow
    s.Ball(s.J("Head", 0, 0.02f, 0.06f), 0.09f, 0.05f, 0.07f);   // jaw
    s.Ball(s.J("Head", 0, 0.07f, 0.11f), 0.025f, 0.025f, 0.025f);  // nose
    for (int side : {1, -1}) {
        const float f = float(side);
        s.Part("Head", kHead);
        s.Ball(s.J("Head", 0.095f * f, 0.08f, 0), 0.02f, 0.035f, 0.025f);  // ears
        s.Part("Head", kDetail);
        s.Ball(s.J("Head", 0.035f * f, 0.09f, 0.1f), 0.014f, 0.012f, 0.008f);  // eyes
        s.Horn(s.J("Head", 0.05f * f, 0.04f, 0.11f), Euler(-15.0f, 0, 12.0f * f), 0.015f, 0.065f);  // tusks

        s.Part(Named("UpperArm", side), kSkin);
        s.Ball(s.J(Named("UpperArm", side), 0, 0.02f, 0), 0.09f, 0.08f, 0.09f);  // shoulder
        s.Arm(side, kSkin, 0.08f, 0.07f, 0.06f);
        s.Part(Named("ForeArm", side), kCloth);
        AddCylinder(c.mesh,
                    Place(s.J(Named("ForeArm", side)) * 0.3f + s.J(Named("Hand", side)) * 0.7f,
                          AlignY(s.J(Named("ForeArm", side)) - s.J(Named("Hand", side)))),
                    0.072f * h, 0.06f * h, 12);  // bracer
        s.Part(Named("Hand", side), kSkin);
        s.Ball(s.J(Named("Hand", side), 0, -0.04f, 0.01f), 0.075f, 0.07f, 0.075f);  // fist
        s.Leg(side, kSkin, kSkin, 0.11f, 0.085f, 0.045f);
        s.Part(Named("Foot", side), kSkin);
        s.Ball(s.J(Named("Foot", side), 0, -0.02f, 0.05f), 0.075f, 0.03f, 0.11f);
        s.Part(Named("Foot", side), kDetail);
        s.Ball(s.J(Named("Foot", side), 0, -0.025f, 0.15f), 0.05f, 0.015f, 0.02f);  // toenails
    }

    c.ownClips = {clips::LookAround("look"), clips::Idle("idle", 3.0f)};
    const std::string pack = "models/OgrePack/";
    c.animationFiles = {
        {pack + "swagger_walk_inPlace.fbx", clips::Walk("swagger_walk_inPlace", 2, 2.4f, 1.0f)},
        {pack + "running_inPlace.fbx", clips::Run("running_inPlace", 1, 0.8f)},
        {pack + "falling_back_death.fbx", Grounded(c, clips::FallBack("falling_back_death", 2.0f))},
    };
    return c;
}

Character SkeletonMagician()
{
    const float h = 135.0f;
    Character c;
    c.modelPath = "models/skeleton.fbx";
    Joints j{0.045f, 0.27f, 0.5f, 0.06f, 0.58f, 0.7f, 0.82f, 0.86f, 0.11f, 0.8f, 0.13f, 0.62f, 0.14f, 0.46f};
    j.wristZ = 0.02f;
    c.rig = Biped(j, h);
    c.rig.Add("Jaw", "Head", aiVector3D(0, 0.885f, 0.03f) * h);
    Sculptor s(c, h);

    s.Part("Hips", kSkin);
    s.Ball(s.P(0, 0.5f, 0), 0.09f, 0.05f, 0.05f);  // pelvis
    s.Part("Hips", kCloth);
    s.Skirt({{0.16f, 0.2f}, {0.135f, 0.34f}, {0.1f, 0.5f}, {0.075f, 0.57f}});  // robe
    s.Part("Spine", kSkin);
    s.Limb(s.P(0, 0.5f, -0.02f), s.P(0, 0.7f, -0.03f), 0.018f, 0.018f);  // backbone
    s.Part("Chest", kSkin);
    for (int i = 0; i < 4; ++i)
        s.Ring(s.P(0, 0.64f + 0.04f * float(i), 0.01f), 0.07f + 0.005f * float(i), 0.008f, 0.75f);  // ribs
    s.Limb(s.P(0, 0.63f, 0.06f), s.P(0, 0.77f, 0.065f), 0.01f, 0.012f);  // breastbone
    for (float x : {0.11f, -0.11f})
        s.Limb(s.P(x, 0.8f, 0), s.P(0, 0.79f, 0.04f), 0.01f, 0.01f);  // collarbones
    s.Part("Chest", kCloth);
    s.Ball(s.P(0, 0.8f, -0.01f), 0.14f, 0.04f, 0.09f);  // mantle
    s.Part("Neck", kSkin);
    s.Limb(s.J("Neck"), s.J("Head"), 0.015f, 0.015f);
    s.Part("Head", kHead);
    s.Ball(s.J("Head", 0, 0.075f, 0), 0.065f, 0.07f, 0.075f);    // cranium
    s.Ball(s.J("Head", 0, 0.04f, 0.04f), 0.05f, 0.045f, 0.05f);  // face
    s.Part("Head", kDetail);
    for (float x : {0.025f, -0.025f})
        s.Ball(s.J("Head", x, 0.06f, 0.083f), 0.013f, 0.012f, 0.008f);  // eye glow
    s.Part("Head", kCloth);
    s.Ball(s.J("Head", 0, 0.08f, -0.02f), 0.078f, 0.078f, 0.078f);  // hood
    s.Part("Jaw", kHead);
    s.Ball(s.J("Jaw", 0, -0.012f, 0.03f), 0.04f, 0.015f, 0.035f);

    for (int side : {1, -1}) {
        s.Part(Named("UpperArm", side), kCloth);
        s.Limb(s.J(Named("UpperArm", side)), s.J(Named("UpperArm", side)) * 0.4f + s.J(Named("ForeArm", side)) * 0.6f,
               0.03f, 0.035f);  // sleeve
        s.Arm(side, kSkin, 0.014f, 0.013f, 0.012f);
        s.Part(Named("ForeArm", side), kSkin);
        s.Ball(s.J(Named("ForeArm", side)), 0.02f, 0.02f, 0.02f);  // elbow
        s.Part(Named("Hand", side), kSkin);
        s.Ball(s.J(Named("Hand", side), 0, -0.03f, 0), 0.02f, 0.035f, 0.015f);
        s.Leg(side, kSkin, kSkin, 0.016f, 0.015f, 0.014f);
        s.Part(Named("Shin", side), kSkin);
        s.Ball(s.J(Named("Shin", side)), 0.022f, 0.022f, 0.022f);  // knee
        s.Part(Named("Foot", side), kSkin);
        s.Ball(s.J(Named("Foot", side), 0, -0.025f, 0.04f), 0.025f, 0.02f, 0.06f);
    }
    // The staff, held upright in the right hand; it ends just below the fist, so it points
    // rather than stabs back through the body when the arm comes up.
    const aiVector3D hand = s.J("Hand_R");
    c.rig.Add("Staff", "Hand_R", hand);
    s.Part("Staff", kCloth);
    s.Limb(aiVector3D(hand.x, hand.y - 0.1f * h, hand.z + 0.03f * h), aiVector3D(hand.x, 1.0f * h, hand.z + 0.03f * h),
           0.012f, 0.014f);
    s.Part("Staff", kDetail);
    s.Ball(aiVector3D(hand.x, 1.04f * h, hand.z + 0.03f * h), 0.025f, 0.035f, 0.025f);

    c.ownClips = {clips::Idle("idle", 3.0f), clips::Stance("stance")};
    const std::string dir = "animation/";
    c.animationFiles = {
        {dir + "anim_skele_attack0.fbx", clips::Cast("attack0")},
        {dir + "anim_skele_attack1.fbx", clips::OverheadSwing("attack1")},
        {dir + "anim_skele_block.fbx", clips::Block("block")},
        {dir + "anim_skele_death.fbx", Grounded(c, clips::FallBack("death", 2.0f))},
        {dir + "anim_skele_gut_hit.fbx", clips::GutHit("gut_hit", 1.0f)},
        {dir + "anim_skele_head_hit.fbx", clips::HeadHit("head_hit", 1.0f)},
        {dir + "anim_skele_run.fbx", clips::Run("run", 2, 1.4f)},
        {dir + "anim_skele_strafe.fbx", clips::Strafe("strafe", 2, 2.0f)},
        {dir + "anim_skele_walk.fbx", clips::Walk("walk", 2, 2.2f)},
    };
    return c;
}

Character Kobold()
{
    const float h = 32.0f;
    Character c;
    c.modelPath = "models/kobold.fbx";
    Joints j{0.05f, 0.23f, 0.43f, 0.08f, 0.51f, 0.62f, 0.72f, 0.77f, 0.14f, 0.69f, 0.17f, 0.53f, 0.19f, 0.39f};
    j.neckZ = 0.02f;
    j.headZ = 0.04f;
    j.elbowZ = 0.02f;
    j.wristZ = 0.04f;
    c.rig = Biped(j, h);
    c.rig.Add("Jaw", "Head", aiVector3D(0, 0.79f, 0.09f) * h);
    c.rig.Add("Tail1", "Hips", aiVector3D(0, 0.42f, -0.09f) * h);
    c.rig.Add("Tail2", "Tail1", aiVector3D(0, 0.3f, -0.26f) * h);
    Sculptor s(c, h);

    s.Part("Hips", kCloth);
    s.Ball(s.P(0, 0.45f, 0), 0.12f, 0.08f, 0.1f);
    s.Part("Spine", kCloth);
    s.Ball(s.P(0, 0.53f, 0.01f), 0.13f, 0.1f, 0.1f);
    s.Part("Spine", kDetail);
    s.Block(s.P(0, 0.45f, 0.102f), 0.1f, 0.12f, 0.008f);  // apron
    s.Part("Chest", kCloth);
    s.Ball(s.P(0, 0.64f, 0), 0.14f, 0.08f, 0.1f);
    s.Part("Neck", kSkin);
    s.Limb(s.J("Neck"), s.J("Head"), 0.045f, 0.04f);
    s.Part("Head", kHead);
    s.Ball(s.J("Head", 0, 0.08f, 0), 0.08f, 0.075f, 0.085f);
    s.Ball(s.J("Head", 0, 0.05f, 0.1f), 0.05f, 0.04f, 0.07f);  // snout
    s.Part("Jaw", kHead);
    s.Ball(s.J("Jaw", 0, -0.01f, 0.06f), 0.045f, 0.018f, 0.06f);
    for (int side : {1, -1}) {
        const float f = float(side);
        s.Part("Head", kCloth);
        s.Ball(s.J("Head", 0.045f * f, 0.1f, 0.07f), 0.014f, 0.016f, 0.01f);  // eyes
        s.Part("Head", kDetail);
        s.Horn(s.J("Head", 0.05f * f, 0.13f, -0.03f), Euler(-50.0f, 0, -15.0f * f), 0.025f, 0.1f);

        s.Arm(side, kCloth, 0.045f, 0.04f, 0.032f);
        s.Part(Named("ForeArm", side), kSkin);
        s.Limb(s.J(Named("ForeArm", side)) * 0.6f + s.J(Named("Hand", side)) * 0.4f, s.J(Named("Hand", side)), 0.038f,
               0.032f);
        s.Part(Named("Hand", side), kSkin);
        s.Ball(s.J(Named("Hand", side), 0, -0.03f, 0.01f), 0.035f, 0.045f, 0.03f);
        s.Part(Named("Hand", side), kDetail);
        s.Ball(s.J(Named("Hand", side), 0, -0.07f, 0.015f), 0.025f, 0.015f, 0.02f);  // claws
        s.Leg(side, kCloth, kCloth, 0.06f, 0.05f, 0.04f);
        s.Part(Named("Foot", side), kSkin);
        s.Ball(s.J(Named("Foot", side), 0, -0.02f, 0.06f), 0.045f, 0.03f, 0.1f);
    }
    s.Part("Tail1", kSkin);
    s.Limb(s.J("Tail1"), s.J("Tail2"), 0.05f, 0.035f);
    s.Part("Tail2", kSkin);
    s.Limb(s.J("Tail2"), s.P(0, 0.12f, -0.45f), 0.035f, 0.012f);

    c.ownClips = {clips::Idle("idle", 3.0f), clips::FightIdle("fight_idle")};
    const std::string dir = "animation/InnkeeperAnimations/";
    c.animationFiles = {
        {dir + "neutral_idle.fbx", clips::Idle("neutral_idle", 4.0f)},
        {dir + "dive_roll.fbx", Grounded(c, clips::DiveRoll("dive_roll"))},
        {dir + "fireball.fbx", clips::Throw("fireball", 0.7f, 1.0f)},
        {dir + "hit_reaction_1.fbx", clips::GutHit("hit_reaction_1", 1.0f)},
        {dir + "look_around.fbx", clips::LookAround("look_around")},
        {dir + "medium_hit_to_head.fbx", clips::HeadHit("medium_hit_to_head", 1.2f)},
        {dir + "mma_idle.fbx", clips::FightIdle("mma_idle")},
        {dir + "running_forward_flip.fbx", clips::ForwardFlip("running_forward_flip")},
        {dir + "running_inPlace.fbx", clips::Run("running_inPlace", 2, 1.4f)},
        {dir + "standing_idle_to_fight_idle.fbx", clips::IdleToFight("standing_idle_to_fight_idle")},
        {dir + "taunt.fbx", clips::Taunt("taunt")},
        {dir + "writhing_in_pain.fbx", Grounded(c, clips::Writhe("writhing_in_pain"))},
        {dir + "yelling.fbx", clips::Yell("yelling")},
        {dir + "dying.fbx", Grounded(c, clips::Dying("dying", 10.0f))},
    };
    return c;
}

}  // namespace

std::vector<Character> Characters()
{
    std::vector<Character> all;
    all.push_back(Rabbitman());
    all.push_back(Lkanga());
    all.push_back(Ogre());
    all.push_back(SkeletonMagician());
    all.push_back(Kobold());
    return all;
}

}  // namespace assetgen::models
