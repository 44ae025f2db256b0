#pragma once
// Ctrl+C and the system's termination request (SIGINT, SIGTERM) ask the game to quit instead of
// killing it, so that the normal shutdown runs and saves. The application polls QuitRequested()
// once per frame.
namespace ztplatform {

// Installs the handlers; they only record the request. Safe to call more than once.
void InstallQuitSignalHandlers();

// True once SIGINT or SIGTERM arrived after the handlers were installed.
bool QuitRequested();

// Forgets a recorded request (a new run of the application object, tests).
void ClearQuitRequest();

}  // namespace ztplatform
