#include "platform/Signals.h"

#include <signal.h>

#include <csignal>

namespace ztplatform {

namespace {

volatile std::sig_atomic_t g_quitRequested = 0;

void OnQuitSignal(int)
{
    // Nothing else is safe in a signal handler; the frame loop sees the flag.
    g_quitRequested = 1;
}

}  // namespace

void InstallQuitSignalHandlers()
{
    struct sigaction action {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    // Restart interrupted reads and writes: a save in progress must not fail with EINTR.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool QuitRequested()
{
    return g_quitRequested != 0;
}

void ClearQuitRequest()
{
    g_quitRequested = 0;
}

}  // namespace ztplatform
