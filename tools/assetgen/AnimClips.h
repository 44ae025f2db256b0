#pragma once
// The procedural clips of the characters. Every clip plays in place (the root only rises and
// sinks), works on any of our biped rigs (bones a rig lacks are skipped) and, where it loops,
// ends on the pose it starts with.
#include "assetgen/ModelMesh.h"
#include "assetgen/Rig.h"

#include <string>

namespace assetgen::models::clips {

// Standing, breathing; `sway` adds a drunken roll of the whole body.
Clip Idle(std::string name, float seconds, float sway = 0.0f);
// Weight on the back foot, arms raised and reaching forward: a caster's ready stance.
Clip Stance(std::string name);
// Fists up, bouncing on the toes.
Clip FightIdle(std::string name);
// Looks left and right, turning the head and chest.
Clip LookAround(std::string name);
// Walk cycles in place; `swagger` rolls the shoulders and hips and spreads the arms.
Clip Walk(std::string name, int cycles, float seconds, float swagger = 0.0f);
Clip Run(std::string name, int cycles, float seconds);
// Side steps while leaning back, for a withdrawal.
Clip Strafe(std::string name, int cycles, float seconds);
// Right-arm throw whose arm points forward at phase `release`.
Clip Throw(std::string name, float release, float seconds);
// Both arms thrust forward at phase 0.5.
Clip Cast(std::string name);
Clip OverheadSwing(std::string name);
Clip Block(std::string name);
// Arms reaching forward, lunging with a clawing swipe.
Clip ZombieAttack(std::string name);
// A flinch that returns to the start pose: doubled over for the gut, head snapped back for
// the head.
Clip GutHit(std::string name, float seconds);
Clip HeadHit(std::string name, float seconds);
// Falls on the back; lying still from phase 0.8 on.
Clip FallBack(std::string name, float seconds);
// Slow death: staggers, sinks to the knees and falls forward; lying from phase 0.85 on.
Clip Dying(std::string name, float seconds);
// On the ground, twisting.
Clip Writhe(std::string name);
Clip Taunt(std::string name);
// Arms and head thrown up by phase 0.25 and held while yelling.
Clip Yell(std::string name);
// Crouch into a fighting stance.
Clip IdleToFight(std::string name);
// Whole-body turns about the hips: a roll forward and a flip.
Clip DiveRoll(std::string name);
Clip ForwardFlip(std::string name);

// The clip with the body raised or lowered at every key so that the lowest point of the skin
// rests on the floor: for falls, rolls and lying on the ground, where the body's turns decide
// what touches the ground (the postures' own drop no longer counts).
Clip OnTheFloor(Clip clip, const Rig& rig, const Mesh& mesh);

}  // namespace assetgen::models::clips
