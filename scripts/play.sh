#!/usr/bin/env bash
# Installs what is needed, builds boxquake and starts it in its ready working directory.
# Any argument is passed to the game (any argument at all selects full screen).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBOXQUAKE_TESTS=OFF -DBOXQUAKE_BENCH=OFF >/dev/null
cmake --build "$root/build" -j"$(nproc)"
cd "$root/build/run"
exec ./boxquake "$@"
