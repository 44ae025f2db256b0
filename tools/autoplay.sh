#!/usr/bin/env bash
# Plays the whole game with the autopilot (keys, mouse motion and buttons only, at a fixed step)
# and prints, per floor and in all, the time played, frames, shots, hits, kills per kind, gold,
# upgrades, damage taken and deaths, and how the run ended (won, lost, or stuck with where and
# why). Not part of CI: a whole run takes a long time.
#
#     tools/autoplay.sh [SEED=1] [STEP=0.0166667] [BUILD_DIR=build/test]
#
# Environment: AUTOPLAY_INVULNERABLE=1 lets it use key 0 (invulnerability) and says so;
# AUTOPLAY_SHOTS=DIR plays in a window on a virtual display and saves the run's pictures there
# (a cleared room, the mini-boss fight, the orb, the altar with three orbs, the final fight, a
# stuck moment); AUTOPLAY_MAX caps the game seconds (7200); AUTOPLAY_STUCK sets how many game
# seconds without progress count as stuck (120); AUTOPILOT_TRACE=SECONDS prints every frame from that
# game time on (view, keys, fire, stamina, fight).
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export AUTOPLAY_SEED="${1:-1}"
export AUTOPLAY_STEP="${2:-0.0166667}"
BUILD="${3:-$ROOT/build/test}"

cmake --build "$BUILD" --target test_core_Autopilot -j 3 >/dev/null
BIN="$(find "$BUILD" -name test_core_Autopilot -type f -perm -u+x | head -n 1)"
# The sanitizers' leak report at exit says nothing about the run.
export ASAN_OPTIONS="detect_leaks=0"
RUN=("$BIN" --gtest_also_run_disabled_tests --gtest_filter='AutopilotRun.*')
cd "$BUILD"
if [ -n "${AUTOPLAY_SHOTS:-}" ] && [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "${RUN[@]}"
fi
exec "${RUN[@]}"
