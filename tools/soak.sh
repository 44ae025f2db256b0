#!/usr/bin/env bash
# Keeps the game running for a while, cycling its states (pause, settings, a dungeon and the town
# portal back, a death and the lose screen's Restart, a won run to the main menu and Play), and
# prints its memory (resident set) and open file handles at intervals, to see whether they stay
# flat. The game runs in its own window on a virtual display (Xvfb), with the real GL renderer.
#
#     tools/soak.sh [SECONDS=1800] [INTERVAL=60] [BUILD_DIR=build/test]
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
SECONDS_TO_RUN="${1:-1800}"
INTERVAL="${2:-60}"
BUILD="${3:-$ROOT/build/test}"

cmake --build "$BUILD" --target soak_game -j 3 >/dev/null
BIN="$BUILD/tests/soak_game"
[ -x "$BIN" ] || BIN="$(find "$BUILD" -name soak_game -type f -perm -u+x | head -n 1)"

# In a sanitized build the allocator keeps freed memory in quarantine and would hide a leak's
# slope behind its own growth: a small quarantine, and no leak report at exit (the GL driver
# keeps its own allocations to the end).
export ASAN_OPTIONS="detect_leaks=0:quarantine_size_mb=16:abort_on_error=0"
LOG="$(mktemp -t soak.XXXXXX.log)"
( cd "$BUILD" && exec "$BIN" "$SECONDS_TO_RUN" ) >"$LOG" 2>&1 &
PID=$!
echo "soak: pid $PID for ${SECONDS_TO_RUN}s, game output in $LOG"
printf '%8s %12s %8s %s\n' "seconds" "rss_kib" "fds" "last step"
START=$(date +%s)
while kill -0 "$PID" 2>/dev/null; do
  if [ -r "/proc/$PID/status" ]; then
    RSS=$(awk '/^VmRSS:/ {print $2}' "/proc/$PID/status" 2>/dev/null || echo "?")
    FDS=$(ls "/proc/$PID/fd" 2>/dev/null | wc -l)
    STEP=$(grep '^soak: cycle' "$LOG" | tail -n 1 || true)
    printf '%8d %12s %8s %s\n' "$(( $(date +%s) - START ))" "$RSS" "$FDS" "$STEP"
  fi
  sleep "$INTERVAL"
done
wait "$PID" && STATUS=0 || STATUS=$?
grep -c '^soak: cycle .* ok' "$LOG" | sed 's/^/soak: steps ok: /'
grep '^soak: cycle .* FAILED' "$LOG" | sed 's/^/soak: /' || true
tail -n 1 "$LOG"
echo "soak: exit status $STATUS"
exit "$STATUS"
