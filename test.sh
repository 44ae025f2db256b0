#!/usr/bin/env bash
# Installs what is missing, builds the engine, the game and the tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test. Starts a virtual display when none is set.
# Works from any current directory.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
BUILD="$ROOT/build/test"
# ZT_JOBS caps the parallel compile and test jobs (several builds sharing one machine).
JOBS="${ZT_JOBS:-$(nproc)}"

"$ROOT/tools/install-deps.sh"

# Debug info keeps its line tables (sanitizer reports and backtraces name file and line), but GCC
# does not track where each variable lives through the optimised code: that tracking took about a
# fifth of the compile time, and gdb shows more of them as optimised out.
DEBUG_FLAGS="-O1 -g -fno-var-tracking-assignments"
cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZT_SANITIZE=ON \
  -DCMAKE_CXX_FLAGS_DEBUG="$DEBUG_FLAGS" -DCMAKE_C_FLAGS_DEBUG="$DEBUG_FLAGS" >/dev/null
# The build stays free of warnings: a new one fails the run, as a failing test would.
BUILD_LOG="$BUILD/build-output.log"
cmake --build "$BUILD" -j "$JOBS" 2>&1 | tee "$BUILD_LOG"
if grep -q 'warning:' "$BUILD_LOG"; then
  echo "The build printed warnings:" >&2
  grep 'warning:' "$BUILD_LOG" >&2
  exit 1
fi

# Every test runs once and a failure fails the run: a failed check or a crash in the test's own
# code shows a fault a player can meet. The one exception is not ours: on a loaded machine the
# leak checker's thread-stopping step at exit has been seen to crash (its tracer catches a signal
# and it reports a fatal error) after GoogleTest had printed a clean pass. Only a test that failed
# exactly that way is run again, at most twice, and the end of the run names it and says why.
CTEST=(ctest --test-dir "$BUILD" --output-on-failure -j "$JOBS"
  --test-output-size-failed 20000000 --test-output-truncation head)
if [ -z "${DISPLAY:-}" ]; then
  CTEST=(xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "${CTEST[@]}")
fi
TESTING="$BUILD/Testing/Temporary"

# Prints, one a line, the failed tests of the last run whose output shows a clean GoogleTest pass
# followed by the leak checker's fatal error at exit and no other sanitizer report; the test name,
# a tab, then the line the leak checker's crash began with.
exit_step_crashes() {
  awk '
    /^[0-9]+\/[0-9]+ Test: / { name = $0; sub(/^[0-9]+\/[0-9]+ Test: /, "", name); next }
    /^Output:$/ { inout = 1; passed = 0; broken = 0; fatal = 0; why = ""; next }
    inout && /^<end of output>$/ { inout = 0; next }
    inout {
      if ($0 ~ /^\[  PASSED  \] [0-9]+ tests?\.$/ && !fatal) passed = 1
      else if ($0 ~ /^\[  FAILED  \]/) broken = 1
      else if ($0 ~ /ERROR: (AddressSanitizer|LeakSanitizer: detected)|runtime error:|^Segmentation fault|Aborted/) broken = 1
      else if (passed && ($0 ~ /Tracer caught signal/ || $0 ~ /LeakSanitizer has encountered a fatal error/)) {
        if (why == "") why = $0
        if ($0 ~ /LeakSanitizer has encountered a fatal error/) fatal = 1
      }
      next
    }
    /^Test Failed/ { if (passed && fatal && !broken) print name "\t" why }
  ' "$TESTING/LastTest.log"
}

failed_tests() {
  [ -f "$TESTING/LastTestsFailed.log" ] && sed 's/^[0-9]*://' "$TESTING/LastTestsFailed.log"
}

if "${CTEST[@]}" "$@"; then
  exit 0
fi

declare -A RERUN_WHY=()
list_reruns() {
  [ ${#RERUN_WHY[@]} -gt 0 ] || return 0
  echo >&2
  echo "Tests that were rerun, and why:" >&2
  for t in "${!RERUN_WHY[@]}"; do
    echo "  $t: passed every check, then the leak checker crashed at exit (${RERUN_WHY[$t]})" >&2
  done
}
for round in 1 2 3; do
  mapfile -t failed < <(failed_tests)
  declare -A why=()
  while IFS=$'\t' read -r t line; do
    why["$t"]="$line"
  done < <(exit_step_crashes)
  real=()
  for t in "${failed[@]}"; do
    [ -n "${why["$t"]:-}" ] || real+=("$t")
  done
  if [ ${#failed[@]} -eq 0 ]; then
    echo "ctest failed without naming a failed test" >&2
    break
  fi
  if [ ${#real[@]} -gt 0 ]; then
    echo >&2
    echo "Failed (a failed check, a crash or a sanitizer report in the test itself; not rerun):" >&2
    printf '  %s\n' "${real[@]}" >&2
    break
  fi
  if [ "$round" -eq 3 ]; then
    echo >&2
    echo "The leak checker crashed at exit on every run of: ${failed[*]}" >&2
    break
  fi
  for t in "${failed[@]}"; do
    [ -n "${RERUN_WHY["$t"]:-}" ] || RERUN_WHY["$t"]="${why["$t"]}"
  done
  unset why
  # Exact names, with the regular expression's special characters escaped.
  pattern="$(printf '%s\n' "${failed[@]}" | sed 's/[][\.*^$+?(){}|/]/\\&/g; s/^/^/; s/$/$/' | paste -sd'|')"
  echo >&2
  echo "Passed, then the leak checker crashed at exit; run again: ${failed[*]}" >&2
  if "${CTEST[@]}" -R "$pattern"; then
    list_reruns
    exit 0
  fi
done
list_reruns
exit 1
