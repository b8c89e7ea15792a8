#!/usr/bin/env bash
# Installs what is needed, builds boxquake into build/ and starts it. Any
# argument is passed to the game (any argument at all selects full screen).
# The game finds its data beside itself; the player's progress and saved levels
# live in ~/.local/share/boxquake, which no build touches.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
echo "boxquake: checking the Debian packages it needs..."
"$root/scripts/deps.sh"
if [ ! -x "$root/build/run/boxquake" ]; then
  echo "boxquake: building into build/ for the first time; this takes a few minutes..."
else
  echo "boxquake: bringing build/ up to date..."
fi
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBOXQUAKE_TESTS=OFF -DBOXQUAKE_BENCH=OFF >/dev/null
cmake --build "$root/build" -j"$(nproc)"
echo "boxquake: starting the game"
exec "$root/build/run/boxquake" "$@"
