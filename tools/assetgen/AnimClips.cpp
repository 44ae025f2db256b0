// Procedural clips. A posture is a handful of angles (degrees) for the whole body; cyclic clips
// compute it from sines of the phase, one-shot clips blend between a few key postures.
//
// Angles are measured so that they read the same on every limb: a positive swing moves an arm
// or a leg forward, a positive lean moves the upper body forward, out moves a limb away from
// the body, a positive knee or elbow bends it the natural way.
#include "assetgen/AnimClips.h"

#include "assetgen/ModelMesh.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

namespace assetgen::models::clips {

namespace {

struct Posture {
    float drop = 0.0f;  // how far the hips sink, as a fraction of their bind height
    float hipsPitch = 0.0f, hipsYaw = 0.0f, hipsRoll = 0.0f;  // whole body (falls, rolls), about the hips
    float lean = 0.0f, twist = 0.0f, bend = 0.0f;             // spine and chest
    float headPitch = 0.0f, headYaw = 0.0f, headRoll = 0.0f;
    float armL = 0.0f, outL = 0.0f, elbowL = 10.0f;
    float armR = 0.0f, outR = 0.0f, elbowR = 10.0f;
    float legL = 0.0f, kneeL = 0.0f, legOutL = 0.0f;
    float legR = 0.0f, kneeR = 0.0f, legOutR = 0.0f;
    float toes = 0.0f;  // points both feet, toes away from the shins, as in lying face down
    float jaw = 0.0f, tailLift = 0.0f, tailSwing = 0.0f, ears = 0.0f;
};

Posture Mix(const Posture& a, const Posture& b, float t)
{
    auto m = [t](float x, float y) { return x + (y - x) * t; };
    Posture r;
    r.drop = m(a.drop, b.drop);
    r.hipsPitch = m(a.hipsPitch, b.hipsPitch);
    r.hipsYaw = m(a.hipsYaw, b.hipsYaw);
    r.hipsRoll = m(a.hipsRoll, b.hipsRoll);
    r.lean = m(a.lean, b.lean);
    r.twist = m(a.twist, b.twist);
    r.bend = m(a.bend, b.bend);
    r.headPitch = m(a.headPitch, b.headPitch);
    r.headYaw = m(a.headYaw, b.headYaw);
    r.headRoll = m(a.headRoll, b.headRoll);
    r.armL = m(a.armL, b.armL);
    r.outL = m(a.outL, b.outL);
    r.elbowL = m(a.elbowL, b.elbowL);
    r.armR = m(a.armR, b.armR);
    r.outR = m(a.outR, b.outR);
    r.elbowR = m(a.elbowR, b.elbowR);
    r.legL = m(a.legL, b.legL);
    r.kneeL = m(a.kneeL, b.kneeL);
    r.legOutL = m(a.legOutL, b.legOutL);
    r.legR = m(a.legR, b.legR);
    r.kneeR = m(a.kneeR, b.kneeR);
    r.legOutR = m(a.legOutR, b.legOutR);
    r.toes = m(a.toes, b.toes);
    r.jaw = m(a.jaw, b.jaw);
    r.tailLift = m(a.tailLift, b.tailLift);
    r.tailSwing = m(a.tailSwing, b.tailSwing);
    r.ears = m(a.ears, b.ears);
    return r;
}

// Bones hang down (limbs) or point up (spine, head) in the bind pose, so "forward" is a
// negative turn about x for the first and a positive one for the second.
void Apply(Pose& pose, const Posture& s)
{
    const Rig& rig = pose.GetRig();
    if (!rig.bones.empty())
        pose.Shift(aiVector3D(0.0f, -s.drop * rig.Joint(0).y, 0.0f));
    // FBX keeps rotations as Euler angles, and its reader adds keys where an angle wraps round;
    // the root takes the body's pitch up to just short of half a turn and the hips the rest, so
    // a whole somersault ends a degree short of upright.
    const float rootPitch = std::clamp(s.hipsPitch, -179.5f, 179.5f);
    const float hipsPitch = std::clamp(s.hipsPitch - rootPitch, -179.5f, 179.5f);
    pose.Turn("Root", rootPitch, 0.0f, 0.0f);
    pose.Turn("Hips", hipsPitch, s.hipsYaw, s.hipsRoll);
    pose.Turn("Spine", 0.5f * s.lean, 0.5f * s.twist, -0.5f * s.bend);
    pose.Turn("Chest", 0.5f * s.lean, 0.5f * s.twist, -0.5f * s.bend);
    pose.Turn("Neck", 0.4f * s.headPitch, 0.4f * s.headYaw, -0.4f * s.headRoll);
    pose.Turn("Head", 0.6f * s.headPitch, 0.6f * s.headYaw, -0.6f * s.headRoll);
    pose.Turn("Jaw", s.jaw, 0.0f, 0.0f);

    pose.Turn("UpperArm_L", -s.armL, 0.0f, s.outL);
    pose.Turn("ForeArm_L", -s.elbowL, 0.0f, 0.0f);
    pose.Turn("UpperArm_R", -s.armR, 0.0f, -s.outR);
    pose.Turn("ForeArm_R", -s.elbowR, 0.0f, 0.0f);
    // A staff held in the right hand stays upright however the arm swings (short of half a
    // turn, where its Euler angle would wrap).
    pose.Turn("Staff", std::min(s.armR + s.elbowR, 170.0f), 0.0f, 0.0f);

    // Feet stay roughly level with the ground whatever the legs do, unless pointed.
    pose.Turn("Thigh_L", -s.legL, 0.0f, s.legOutL);
    pose.Turn("Shin_L", s.kneeL, 0.0f, 0.0f);
    pose.Turn("Foot_L", 0.7f * (s.legL - s.kneeL) + s.toes, 0.0f, 0.0f);
    pose.Turn("Thigh_R", -s.legR, 0.0f, -s.legOutR);
    pose.Turn("Shin_R", s.kneeR, 0.0f, 0.0f);
    pose.Turn("Foot_R", 0.7f * (s.legR - s.kneeR) + s.toes, 0.0f, 0.0f);

    pose.Turn("Tail1", -s.tailLift, s.tailSwing, 0.0f);
    pose.Turn("Tail2", -0.6f * s.tailLift, 1.3f * s.tailSwing, 0.0f);
    pose.Turn("Ear_L", -s.ears, 0.0f, 0.0f);
    pose.Turn("Ear_R", -s.ears, 0.0f, 0.0f);
}

float Smooth(float t)
{
    t = std::clamp(t, 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

// Blends between key postures at the given phases (the first at 0, the last at 1).
Posture Keyed(const std::vector<std::pair<float, Posture>>& keys, float phase)
{
    if (phase <= keys.front().first)
        return keys.front().second;
    for (size_t i = 0; i + 1 < keys.size(); ++i) {
        const float a = keys[i].first, b = keys[i + 1].first;
        if (phase <= b)
            return Mix(keys[i].second, keys[i + 1].second, Smooth((phase - a) / (b - a)));
    }
    return keys.back().second;
}

Clip MakeClip(std::string name, float seconds, int keys, std::function<Posture(float)> posture)
{
    Clip clip;
    clip.name = std::move(name);
    clip.seconds = seconds;
    clip.keys = keys;
    clip.pose = [posture = std::move(posture)](Pose& pose, float phase) { Apply(pose, posture(phase)); };
    return clip;
}

Clip KeyedClip(std::string name, float seconds, int keys, std::vector<std::pair<float, Posture>> postures)
{
    return MakeClip(std::move(name), seconds, keys,
                    [postures = std::move(postures)](float phase) { return Keyed(postures, phase); });
}

constexpr float kTau = 2.0f * kPi;

Posture Relaxed()
{
    Posture s;
    s.outL = s.outR = 4.0f;
    return s;
}

Posture Guard()
{
    Posture s;
    s.drop = 0.08f;
    s.lean = 8.0f;
    s.armL = s.armR = 55.0f;
    s.elbowL = s.elbowR = 100.0f;
    s.outL = s.outR = 12.0f;
    s.legL = 18.0f;
    s.legR = -10.0f;
    s.kneeL = s.kneeR = 20.0f;
    s.headPitch = 5.0f;
    return s;
}

// Lying on the back, limbs loose, rolled a little onto the left side: the tail, swung out to
// the right, then lies flat instead of pushing the body up, and the arms follow the roll, the
// left raised so that it does not prop the body up and the right lowered onto the floor. The
// tail's swing stays short of 69 degrees because its tip turns 1.3 times as far and, past a
// quarter turn, the tip's Euler angles would wrap.
Posture OnBack()
{
    Posture s;
    s.drop = 0.78f;
    s.hipsPitch = -90.0f;
    s.lean = -8.0f;
    s.headPitch = -5.0f;
    s.headYaw = 25.0f;
    s.armL = 20.0f;
    s.armR = -20.0f;
    s.outL = 60.0f;
    s.outR = 45.0f;
    s.elbowL = s.elbowR = 25.0f;
    s.legL = 8.0f;
    s.kneeL = 12.0f;
    s.legR = 2.0f;
    s.kneeR = 4.0f;
    s.legOutL = s.legOutR = 10.0f;
    s.jaw = 20.0f;
    s.hipsYaw = 25.0f;
    s.tailLift = -45.0f;
    s.tailSwing = 65.0f;
    return s;
}

// Lying face down on one cheek, one arm reaching past the head and the other by the side, the
// feet pointed: neither the snout, a hand nor the toes hold the body off the floor.
Posture OnFront()
{
    Posture s;
    s.drop = 0.8f;
    s.hipsPitch = 90.0f;
    s.headYaw = -75.0f;
    s.headPitch = -10.0f;
    s.armL = 170.0f;
    s.armR = -5.0f;
    s.outL = 30.0f;
    s.outR = 25.0f;
    s.elbowL = 15.0f;
    s.elbowR = 10.0f;
    s.legL = -5.0f;
    s.legR = 0.0f;
    s.kneeL = 15.0f;
    s.toes = 60.0f;
    s.jaw = 15.0f;
    s.tailLift = 30.0f;
    return s;
}

}  // namespace

Clip Idle(std::string name, float seconds, float sway)
{
    return MakeClip(std::move(name), seconds, 25, [sway](float phase) {
        const float b = std::sin(kTau * phase);
        const float b2 = std::sin(2.0f * kTau * phase);
        Posture s = Relaxed();
        s.lean = 1.5f * b;
        s.headPitch = -1.5f * b;
        s.outL = s.outR = 4.0f + 2.0f * b;
        s.elbowL = s.elbowR = 10.0f + 3.0f * b;
        s.drop = 0.005f * (1.0f - b);
        s.tailSwing = 8.0f * b;
        s.ears = 5.0f * b2;
        if (sway > 0.0f) {
            s.hipsRoll = 6.0f * sway * b;
            s.bend = -8.0f * sway * b;
            s.headRoll = 10.0f * sway * std::sin(kTau * phase + 1.0f);
            s.headPitch += 8.0f * sway * (0.5f + 0.5f * b2);
            s.legOutL = s.legOutR = 4.0f * sway;
            s.outL += 10.0f * sway * (0.5f + 0.5f * b);
            s.outR += 10.0f * sway * (0.5f - 0.5f * b);
            s.armL = 8.0f * sway * b;
            s.armR = -8.0f * sway * b;
        }
        return s;
    });
}

Clip Stance(std::string name)
{
    return MakeClip(std::move(name), 2.0f, 21, [](float phase) {
        const float b = std::sin(kTau * phase);
        Posture s;
        s.drop = 0.06f;
        s.lean = 10.0f + 1.5f * b;
        s.legL = 15.0f;
        s.legR = -12.0f;
        s.kneeL = 18.0f;
        s.kneeR = 12.0f;
        s.armR = 70.0f + 3.0f * b;
        s.elbowR = 30.0f;
        s.outR = 8.0f;
        s.armL = 55.0f - 3.0f * b;
        s.elbowL = 45.0f;
        s.outL = 15.0f;
        s.headPitch = -4.0f;
        return s;
    });
}

Clip FightIdle(std::string name)
{
    return MakeClip(std::move(name), 2.0f, 25, [](float phase) {
        const float b = std::sin(2.0f * kTau * phase);
        Posture s = Guard();
        s.drop += 0.03f * (0.5f + 0.5f * b);
        s.kneeL += 6.0f * (0.5f + 0.5f * b);
        s.kneeR += 6.0f * (0.5f + 0.5f * b);
        s.twist = 6.0f * std::sin(kTau * phase);
        s.armL += 6.0f * std::sin(kTau * phase);
        s.armR -= 6.0f * std::sin(kTau * phase);
        s.tailSwing = 12.0f * std::sin(kTau * phase);
        return s;
    });
}

Clip LookAround(std::string name)
{
    Posture centre = Relaxed(), left = Relaxed(), right = Relaxed();
    left.headYaw = 60.0f;
    left.twist = 20.0f;
    left.headPitch = -5.0f;
    right.headYaw = -60.0f;
    right.twist = -20.0f;
    right.headPitch = 5.0f;
    right.armR = 10.0f;
    left.armL = 10.0f;
    return KeyedClip(std::move(name), 4.0f, 31,
                     {{0.0f, centre}, {0.15f, centre}, {0.35f, left}, {0.5f, left}, {0.7f, right}, {0.85f, right},
                      {1.0f, centre}});
}

Clip Walk(std::string name, int cycles, float seconds, float swagger)
{
    return MakeClip(std::move(name), seconds, 13 * cycles + 1, [cycles, swagger](float phase) {
        const float a = kTau * float(cycles) * phase;
        const float s1 = std::sin(a), c1 = std::cos(a);
        Posture s = Relaxed();
        s.legL = 25.0f * s1;
        s.legR = -25.0f * s1;
        s.kneeL = 8.0f + 35.0f * std::max(0.0f, c1);
        s.kneeR = 8.0f + 35.0f * std::max(0.0f, -c1);
        s.armL = -18.0f * s1;
        s.armR = 18.0f * s1;
        s.elbowL = s.elbowR = 18.0f;
        s.drop = 0.035f * s1 * s1;
        s.twist = -6.0f * s1;
        s.lean = 3.0f;
        s.tailSwing = 10.0f * s1;
        s.tailLift = 5.0f;
        s.ears = 6.0f * s1 * s1;
        if (swagger > 0.0f) {
            s.hipsRoll = 5.0f * swagger * s1;
            s.bend = 9.0f * swagger * s1;
            s.twist *= 1.0f + 2.0f * swagger;
            s.outL = s.outR = 4.0f + 14.0f * swagger;
            s.armL *= 1.0f + swagger;
            s.armR *= 1.0f + swagger;
            s.headRoll = -6.0f * swagger * s1;
            s.lean += 6.0f * swagger;
        }
        return s;
    });
}

Clip Run(std::string name, int cycles, float seconds)
{
    return MakeClip(std::move(name), seconds, 12 * cycles + 1, [cycles](float phase) {
        const float a = kTau * float(cycles) * phase;
        const float s1 = std::sin(a), c1 = std::cos(a);
        Posture s;
        s.legL = 10.0f + 38.0f * s1;
        s.legR = 10.0f - 38.0f * s1;
        s.kneeL = 25.0f + 65.0f * std::max(0.0f, c1);
        s.kneeR = 25.0f + 65.0f * std::max(0.0f, -c1);
        s.armL = -35.0f * s1;
        s.armR = 35.0f * s1;
        s.elbowL = s.elbowR = 80.0f;
        s.outL = s.outR = 8.0f;
        s.drop = 0.04f + 0.05f * s1 * s1;
        s.lean = 14.0f;
        s.twist = -10.0f * s1;
        s.headPitch = -8.0f;
        s.tailLift = 15.0f;
        s.tailSwing = 12.0f * s1;
        s.ears = 25.0f;
        return s;
    });
}

Clip Strafe(std::string name, int cycles, float seconds)
{
    return MakeClip(std::move(name), seconds, 12 * cycles + 1, [cycles](float phase) {
        const float a = kTau * float(cycles) * phase;
        const float s1 = std::sin(a);
        Posture s;
        s.drop = 0.08f + 0.03f * s1 * s1;
        s.lean = -8.0f;
        s.legOutL = 6.0f + 14.0f * std::max(0.0f, s1);
        s.legOutR = 6.0f + 14.0f * std::max(0.0f, -s1);
        s.kneeL = 15.0f + 20.0f * std::max(0.0f, s1);
        s.kneeR = 15.0f + 20.0f * std::max(0.0f, -s1);
        s.legL = s.legR = 8.0f;
        s.armL = s.armR = 35.0f;
        s.elbowL = s.elbowR = 50.0f;
        s.outL = s.outR = 15.0f;
        s.bend = 5.0f * s1;
        s.headPitch = 5.0f;
        return s;
    });
}

Clip Throw(std::string name, float release, float seconds)
{
    Posture rest = Relaxed();
    Posture windup = Relaxed();
    windup.drop = 0.05f;
    windup.twist = -30.0f;
    windup.lean = -6.0f;
    windup.armR = 165.0f;
    windup.outR = 20.0f;
    windup.elbowR = 70.0f;
    windup.armL = 50.0f;
    windup.elbowL = 30.0f;
    windup.legL = 20.0f;
    windup.legR = -12.0f;
    windup.kneeR = 20.0f;
    windup.headYaw = 15.0f;
    Posture thrown = windup;
    thrown.twist = 22.0f;
    thrown.lean = 16.0f;
    thrown.armR = 85.0f;
    thrown.outR = 5.0f;
    thrown.elbowR = 5.0f;
    thrown.armL = -20.0f;
    thrown.elbowL = 20.0f;
    thrown.headYaw = -5.0f;
    thrown.kneeL = 20.0f;
    Posture follow = thrown;
    follow.armR = 45.0f;
    follow.twist = 30.0f;
    follow.lean = 20.0f;
    const float w = std::max(0.15f, release - 0.25f);
    return KeyedClip(std::move(name), seconds, 31,
                     {{0.0f, rest}, {w, windup}, {w + 0.08f, windup}, {release, thrown},
                      {std::min(release + 0.12f, 0.95f), follow}, {1.0f, rest}});
}

Clip Cast(std::string name)
{
    Posture rest;
    rest.drop = 0.06f;
    rest.lean = 10.0f;
    rest.armR = 70.0f;
    rest.elbowR = 30.0f;
    rest.armL = 55.0f;
    rest.elbowL = 45.0f;
    rest.outL = 15.0f;
    rest.legL = 15.0f;
    rest.legR = -12.0f;
    rest.kneeL = 18.0f;
    rest.kneeR = 12.0f;
    Posture gather = rest;
    gather.armL = gather.armR = 130.0f;
    gather.elbowL = gather.elbowR = 60.0f;
    gather.outL = gather.outR = 20.0f;
    gather.lean = -8.0f;
    gather.headPitch = -15.0f;
    gather.jaw = 15.0f;
    Posture thrust = rest;
    thrust.armL = thrust.armR = 88.0f;
    thrust.elbowL = thrust.elbowR = 0.0f;
    thrust.outL = thrust.outR = -6.0f;
    thrust.lean = 18.0f;
    thrust.headPitch = 6.0f;
    thrust.jaw = 30.0f;
    return KeyedClip(std::move(name), 1.2f, 31,
                     {{0.0f, rest}, {0.3f, gather}, {0.5f, thrust}, {0.7f, thrust}, {1.0f, rest}});
}

Clip OverheadSwing(std::string name)
{
    Posture rest = Relaxed();
    Posture raised = rest;
    raised.armR = 170.0f;
    raised.elbowR = 40.0f;
    raised.armL = 150.0f;
    raised.elbowL = 40.0f;
    raised.lean = -12.0f;
    raised.headPitch = -10.0f;
    raised.drop = 0.03f;
    Posture struck = rest;
    struck.armR = 60.0f;
    struck.elbowR = 10.0f;
    struck.armL = 50.0f;
    struck.elbowL = 10.0f;
    struck.lean = 28.0f;
    struck.drop = 0.12f;
    struck.kneeL = struck.kneeR = 25.0f;
    struck.legL = 20.0f;
    return KeyedClip(std::move(name), 1.3f, 31,
                     {{0.0f, rest}, {0.35f, raised}, {0.55f, struck}, {0.7f, struck}, {1.0f, rest}});
}

Clip Block(std::string name)
{
    Posture rest = Relaxed();
    Posture block = rest;
    block.armL = block.armR = 75.0f;
    block.elbowL = block.elbowR = 110.0f;
    block.outL = block.outR = -10.0f;
    block.lean = -6.0f;
    block.headPitch = 12.0f;
    block.drop = 0.08f;
    block.kneeL = block.kneeR = 18.0f;
    block.legL = 10.0f;
    return KeyedClip(std::move(name), 1.0f, 21, {{0.0f, rest}, {0.25f, block}, {0.75f, block}, {1.0f, rest}});
}

Clip ZombieAttack(std::string name)
{
    Posture rest = Relaxed();
    Posture reach = rest;
    reach.armL = reach.armR = 85.0f;
    reach.elbowL = reach.elbowR = 15.0f;
    reach.lean = 10.0f;
    reach.headPitch = 10.0f;
    Posture lunge = reach;
    lunge.armR = 110.0f;
    lunge.armL = 60.0f;
    lunge.outL = -20.0f;
    lunge.outR = -10.0f;
    lunge.lean = 30.0f;
    lunge.legL = 30.0f;
    lunge.kneeL = 30.0f;
    lunge.legR = -15.0f;
    lunge.drop = 0.1f;
    lunge.jaw = 25.0f;
    lunge.ears = -25.0f;
    Posture swipe = lunge;
    swipe.armR = 50.0f;
    swipe.outR = -35.0f;
    swipe.armL = 100.0f;
    swipe.twist = 25.0f;
    return KeyedClip(std::move(name), 1.4f, 31,
                     {{0.0f, rest}, {0.25f, reach}, {0.45f, lunge}, {0.6f, swipe}, {0.8f, reach}, {1.0f, rest}});
}

Clip GutHit(std::string name, float seconds)
{
    Posture rest = Relaxed();
    Posture hit = rest;
    hit.lean = 35.0f;
    hit.drop = 0.1f;
    hit.kneeL = hit.kneeR = 25.0f;
    hit.legL = hit.legR = 12.0f;
    hit.armL = hit.armR = 45.0f;
    hit.elbowL = hit.elbowR = 95.0f;
    hit.outL = hit.outR = -12.0f;
    hit.headPitch = 18.0f;
    hit.jaw = 25.0f;
    hit.ears = -30.0f;
    return KeyedClip(std::move(name), seconds, 25, {{0.0f, rest}, {0.2f, hit}, {0.45f, hit}, {1.0f, rest}});
}

Clip HeadHit(std::string name, float seconds)
{
    Posture rest = Relaxed();
    Posture hit = rest;
    hit.headPitch = -35.0f;
    hit.headYaw = 20.0f;
    hit.lean = -14.0f;
    hit.twist = 10.0f;
    hit.outL = hit.outR = 30.0f;
    hit.armL = -15.0f;
    hit.elbowL = 30.0f;
    hit.armR = 40.0f;
    hit.elbowR = 110.0f;
    hit.legL = 12.0f;
    hit.kneeR = 15.0f;
    hit.jaw = 25.0f;
    hit.ears = 30.0f;
    return KeyedClip(std::move(name), seconds, 25, {{0.0f, rest}, {0.18f, hit}, {0.4f, hit}, {1.0f, rest}});
}

Clip FallBack(std::string name, float seconds)
{
    Posture rest = Relaxed();
    Posture recoil = rest;
    recoil.lean = -18.0f;
    recoil.headPitch = -25.0f;
    recoil.outL = recoil.outR = 40.0f;
    recoil.armL = recoil.armR = 20.0f;
    recoil.elbowL = recoil.elbowR = 40.0f;
    recoil.kneeL = recoil.kneeR = 12.0f;
    recoil.drop = 0.05f;
    recoil.jaw = 20.0f;
    // The tail swings out to the side as the body goes over; there it stays level through the
    // fall instead of landing first and holding the body up.
    recoil.tailLift = -30.0f;
    recoil.tailSwing = 40.0f;
    Posture stagger = recoil;
    stagger.hipsPitch = -30.0f;
    stagger.drop = 0.32f;
    stagger.kneeL = 50.0f;
    stagger.kneeR = 35.0f;
    stagger.legL = 35.0f;
    stagger.legR = 25.0f;
    stagger.outL = stagger.outR = 65.0f;
    stagger.tailLift = -45.0f;
    stagger.tailSwing = 65.0f;
    Posture down = OnBack();
    Posture bounce = down;
    bounce.hipsPitch = -82.0f;
    bounce.headPitch = 20.0f;
    bounce.drop = 0.75f;
    return KeyedClip(std::move(name), seconds, 31,
                     {{0.0f, rest}, {0.15f, recoil}, {0.4f, stagger}, {0.62f, down}, {0.7f, bounce},
                      {0.8f, down}, {1.0f, down}});
}

Clip Dying(std::string name, float seconds)
{
    Posture rest = Relaxed();
    Posture clutch = rest;
    clutch.lean = 25.0f;
    clutch.armL = clutch.armR = 40.0f;
    clutch.elbowL = clutch.elbowR = 110.0f;
    clutch.outL = clutch.outR = -15.0f;
    clutch.headPitch = 15.0f;
    clutch.kneeL = clutch.kneeR = 15.0f;
    clutch.drop = 0.06f;
    Posture reel = clutch;
    reel.lean = -10.0f;
    reel.headPitch = -30.0f;
    reel.twist = 20.0f;
    reel.outL = 45.0f;
    reel.armR = 60.0f;
    reel.jaw = 30.0f;
    // On the knees: thighs upright, shins back on the ground.
    Posture knees = clutch;
    knees.drop = 0.45f;
    knees.legL = knees.legR = 0.0f;
    knees.kneeL = knees.kneeR = 90.0f;
    knees.lean = 30.0f;
    knees.headPitch = 20.0f;
    knees.armL = knees.armR = 15.0f;
    knees.elbowL = knees.elbowR = 20.0f;
    knees.outL = knees.outR = 10.0f;
    Posture down = OnFront();
    return KeyedClip(std::move(name), seconds, 31,
                     {{0.0f, rest}, {0.15f, clutch}, {0.3f, reel}, {0.5f, knees}, {0.62f, knees},
                      {0.85f, down}, {1.0f, down}});
}

Clip Writhe(std::string name)
{
    return MakeClip(std::move(name), 3.0f, 31, [](float phase) {
        const float b = std::sin(kTau * phase), b2 = std::sin(2.0f * kTau * phase);
        Posture s = OnBack();
        s.hipsRoll = 20.0f * b;
        s.twist = 25.0f * b;
        s.lean = 20.0f + 10.0f * b2;
        s.headYaw = 30.0f * b;
        s.armL = s.armR = 50.0f;
        s.elbowL = s.elbowR = 100.0f + 20.0f * b2;
        s.outL = s.outR = -5.0f;
        s.legL = 40.0f + 20.0f * b;
        s.kneeL = 70.0f;
        s.legR = 40.0f - 20.0f * b;
        s.kneeR = 70.0f;
        s.drop = 0.72f;
        return s;
    });
}

Clip Taunt(std::string name)
{
    return MakeClip(std::move(name), 2.0f, 31, [](float phase) {
        const float beat = std::sin(3.0f * kTau * phase);
        const float envelope = std::sin(kPi * phase);
        Posture s = Relaxed();
        s.armL = s.armR = 60.0f * envelope;
        s.elbowL = s.elbowR = 10.0f + 100.0f * envelope;
        s.outL = s.outR = 4.0f + 10.0f * envelope * beat;
        s.lean = -12.0f * envelope;
        s.headPitch = -20.0f * envelope;
        s.hipsRoll = 6.0f * envelope * beat;
        s.bend = -8.0f * envelope * beat;
        s.drop = 0.05f * envelope * (0.5f + 0.5f * beat);
        s.kneeL = s.kneeR = 12.0f * envelope;
        s.jaw = 25.0f * envelope * (0.5f + 0.5f * beat);
        s.tailSwing = 25.0f * envelope * beat;
        s.ears = 20.0f * envelope * beat;
        return s;
    });
}

Clip Yell(std::string name)
{
    Posture rest = Relaxed();
    Posture crouch = rest;
    crouch.drop = 0.12f;
    crouch.lean = 20.0f;
    crouch.kneeL = crouch.kneeR = 30.0f;
    crouch.legL = crouch.legR = 12.0f;
    crouch.armL = crouch.armR = 20.0f;
    crouch.elbowL = crouch.elbowR = 60.0f;
    Posture roar = rest;
    roar.armL = roar.armR = 160.0f;
    roar.outL = roar.outR = 35.0f;
    roar.elbowL = roar.elbowR = 15.0f;
    roar.lean = -18.0f;
    roar.headPitch = -30.0f;
    roar.jaw = 40.0f;
    roar.legOutL = roar.legOutR = 8.0f;
    Posture shake = roar;
    shake.outL = shake.outR = 45.0f;
    shake.headPitch = -22.0f;
    shake.bend = 6.0f;
    return KeyedClip(std::move(name), 4.0f, 31,
                     {{0.0f, rest}, {0.12f, crouch}, {0.25f, roar}, {0.45f, shake}, {0.65f, roar},
                      {0.8f, shake}, {1.0f, rest}});
}

Clip IdleToFight(std::string name)
{
    Posture rest = Relaxed();
    Posture settle = Guard();
    settle.drop = 0.14f;
    settle.kneeL = settle.kneeR = 32.0f;
    return KeyedClip(std::move(name), 2.0f, 25, {{0.0f, rest}, {0.5f, settle}, {0.75f, Guard()}, {1.0f, Guard()}});
}

Clip DiveRoll(std::string name)
{
    return MakeClip(std::move(name), 2.0f, 41, [](float phase) {
        const float roll = Smooth((phase - 0.2f) / 0.6f);
        const float tuck = std::sin(kPi * std::clamp((phase - 0.1f) / 0.8f, 0.0f, 1.0f));
        Posture s = Relaxed();
        s.hipsPitch = 360.0f * roll;
        s.drop = 0.55f * tuck;
        s.lean = 50.0f * tuck;
        s.legL = s.legR = 90.0f * tuck;
        s.kneeL = s.kneeR = 120.0f * tuck;
        s.armL = s.armR = 60.0f * tuck;
        s.elbowL = s.elbowR = 10.0f + 90.0f * tuck;
        s.headPitch = 50.0f * tuck;
        // The tail is held out level to the side, along the axis the body turns about, so it
        // never sweeps through the floor.
        const float tail = Smooth((phase - 0.05f) / 0.15f) * (1.0f - Smooth((phase - 0.8f) / 0.15f));
        s.tailLift = -45.0f * tail;
        s.tailSwing = 65.0f * tail;
        return s;
    });
}

Clip ForwardFlip(std::string name)
{
    return MakeClip(std::move(name), 1.6f, 41, [](float phase) {
        const float spin = Smooth((phase - 0.25f) / 0.5f);
        const float tuck = std::sin(kPi * std::clamp((phase - 0.2f) / 0.6f, 0.0f, 1.0f));
        const float crouch = std::sin(kPi * std::clamp(phase / 0.25f, 0.0f, 1.0f)) +
                             std::sin(kPi * std::clamp((phase - 0.75f) / 0.25f, 0.0f, 1.0f));
        Posture s = Relaxed();
        s.hipsPitch = 360.0f * spin;
        s.drop = 0.2f * crouch - 0.25f * tuck;  // up in the air while turning
        s.kneeL = s.kneeR = 40.0f * crouch + 110.0f * tuck;
        s.legL = s.legR = 20.0f * crouch + 95.0f * tuck;
        s.lean = 20.0f * crouch + 40.0f * tuck;
        s.armL = s.armR = -30.0f * crouch + 70.0f * tuck;
        s.elbowL = s.elbowR = 20.0f + 60.0f * tuck;
        return s;
    });
}

Clip OnTheFloor(Clip clip, const Rig& rig, const Mesh& mesh)
{
    // Each skin point as its bone holds it, so a pose only has to turn and move it.
    struct Held {
        int bone;
        aiVector3D local;
    };
    auto points = std::make_shared<std::vector<Held>>();
    for (size_t v = 0; v < mesh.positions.size(); ++v)
        if (mesh.bones[v] >= 0)
            points->push_back({mesh.bones[v], mesh.positions[v] - rig.Joint(mesh.bones[v])});
    clip.pose = [points, pose = std::move(clip.pose)](Pose& out, float phase) {
        pose(out, phase);
        const Pose::Placed placed = out.Place();
        float lowest = 1e30f;
        for (const Held& p : *points)
            lowest = std::min(lowest, (placed.joints[size_t(p.bone)] + placed.turns[size_t(p.bone)].Rotate(p.local)).y);
        if (!points->empty())
            out.Shift(aiVector3D(0.0f, -lowest, 0.0f));
    };
    return clip;
}

}  // namespace assetgen::models::clips
