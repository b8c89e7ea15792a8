#!/usr/bin/env bash
# Builds the physics benchmark in Release (no game, no tests) and runs it.
# Usage: bench/physics/run.sh [--runs N] [--steps N] [--scene NAME]
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$root/build-bench"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBOXQUAKE_GAME=OFF -DBOXQUAKE_TESTS=OFF >/dev/null
cmake --build "$build" --target physics_bench -j"$(nproc)" >/dev/null
"$build/bench/physics/physics_bench" "$@"
