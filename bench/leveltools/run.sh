#!/usr/bin/env bash
# Speed of the level tools: builds boxquake-level (Release, no game, no tests),
# solves every one-click level (par 1) of data/ and the test level "slide" from
# scratch in a scratch copy, then verifies data/. Prints, per level, the time
# until the one-click solution was found (wall clock and processor time) and the
# simulated updates per second. Nothing in the source tree is written.
# Usage: bench/leveltools/run.sh [--budget SECONDS]   (per level, default 30)
# BOXQUAKE_LEVEL_TOOL=path runs an already built boxquake-level instead.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
budget=30
if [[ "${1:-}" == "--budget" ]]; then budget="$2"; fi
tool="${BOXQUAKE_LEVEL_TOOL:-}"
if [[ -z "$tool" ]]; then
    build="$root/build-bench"
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBOXQUAKE_GAME=OFF -DBOXQUAKE_TESTS=OFF >/dev/null
    cmake --build "$build" --target boxquake-level -j"$(nproc)" >/dev/null
    tool="$build/tools/level/boxquake-level"
fi
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/data" "$scratch/test"
cp -r "$root/data/." "$scratch/data/"
cp -r "$root/tests/tools/levels/." "$scratch/test/"

solve_fresh() {  # dir level
    rm -f "$1/levels/$2.sol"
    "$tool" solve --dir "$1" --budget "$budget" "$2" 2>/dev/null | grep -E "found after|updates/s|click"
}

echo "== one-click levels, solved from scratch (budget $budget s each)"
solve_fresh "$scratch/test" slide
for sol in "$scratch"/data/levels/*.sol; do
    [[ -e "$sol" ]] || continue
    if grep -qx "par 1" "$sol"; then solve_fresh "$scratch/data" "$(basename "$sol" .sol)"; fi
done
echo "== verify data/"
"$tool" verify --dir "$root/data" 2>/dev/null | tail -2 || true
