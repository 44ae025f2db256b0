#!/usr/bin/env bash
# Installs what is missing, builds the game and its assets, fills the runtime folder and starts
# the game from it. Works from any current directory.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
BUILD="$ROOT/build/release"

"$ROOT/tools/install-deps.sh"

cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZT_BUILD_TESTS=OFF >/dev/null
cmake --build "$BUILD" -j "$(nproc)"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "GrelvokVoskDungeon needs a display, and none is set (DISPLAY is empty)." >&2
  echo "The game is built in $BUILD. To run it without a screen, use a virtual one:" >&2
  echo "    xvfb-run -a -s '-screen 0 1280x1024x24' $ROOT/run.sh" >&2
  exit 1
fi

cd "$BUILD/run"
exec "$BUILD/bin/GrelvokVoskDungeon" "$@"
