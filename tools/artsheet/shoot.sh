#!/usr/bin/env bash
# Renders every art sheet page, and the real game's splash and menu, under a
# virtual display and stores PNG screenshots in docs/screenshots/.
# Usage: tools/artsheet/shoot.sh BUILD_DIR
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${1:?usage: shoot.sh BUILD_DIR}"
cmake --build "$build" --target artsheet boxquake boxquake_run_dir -j2 >/dev/null
out="$root/docs/screenshots"
mkdir -p "$out"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
cd "$build/run"
for page in objects text splash menu meadow dusk night cave space; do
  xvfb-run -a -s "-screen 0 800x600x24" ./artsheet "$page" --shot "$tmp/$page.tga"
  convert "$tmp/$page.tga" "$out/art-$page.png"
  echo "$out/art-$page.png"
done
# The real game: the splash at its brightest, the menu at rest.
/usr/bin/python3 "$root/tools/artsheet/shoot_game.py" --game ./boxquake --run-dir . --out "$tmp"
for shot in game-splash game-menu; do
  convert "$tmp/$shot.ppm" "$out/$shot.png"
  echo "$out/$shot.png"
done
