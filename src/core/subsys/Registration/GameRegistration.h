#pragma once
// The game's whole configuration of the application: its event names, shared data, states and
// systems, and the start state. main and the tests both build the game through it, so tests
// drive the same game a player runs.
namespace ztengine {

class Win32App;

// Registers everything on an application that was just created (reads "EventNames.txt" from
// the working directory) and makes "BRIMSEL_SPLASH_STATE" current.
void RegisterGame(Win32App& app);

// Everything main does before Init: memory accounting, random seeding, the application object
// and RegisterGame. Returns the application, ready for Win32App::Init.
Win32App* BuildGame();

}  // namespace ztengine
