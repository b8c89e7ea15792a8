#!/usr/bin/env bash
# Instruction counts of the physics step loop on the four benchmark scenes, ours
# beside Chipmunk 7 and Box2D 2.4 (Debian packages, when installed), sleeping on
# and off. Builds one small program per engine in Release (no game, no tests)
# into build-bench-cg/, runs each under valgrind's callgrind collecting only in
# bench_step_loop (the 1000 steps, not the set-up) and prints one table.
# Instruction counts do not move with the machine's load, unlike wall clock.
#
# Usage: bench/physics/callgrind.sh [--scene NAME] [--sleep on|off] [--steps N] [--jobs N] [--engines LIST]
#   --scene    pyramid | pyramid40 | balls | wide (default: all four)
#   --sleep    on | off (default: both)
#   --steps    steps per run (default 1000)
#   --jobs     runs under valgrind at once (default 1; the counts do not depend on it)
#   --engines  comma-separated, of ours, chipmunk, box2d (default: every one installed); the
#              table takes the others' counts from their last run with the same steps
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$root/build-bench-cg"
scenes=(pyramid pyramid40 balls wide)
sleeps=(on off)
steps=1000
jobs=1
only=""

usage() {
    sed -n 's/^# \{0,1\}//; 9,15p' "$0" >&2
    exit 2
}
while (($#)); do
    case "$1" in
        --scene) [[ $# -ge 2 && " pyramid pyramid40 balls wide " == *" $2 "* ]] || usage; scenes=("$2"); shift 2 ;;
        --sleep) [[ $# -ge 2 && ($2 == on || $2 == off) ]] || usage; sleeps=("$2"); shift 2 ;;
        --steps) [[ $# -ge 2 && $2 =~ ^[1-9][0-9]*$ ]] || usage; steps=$2; shift 2 ;;
        --jobs) [[ $# -ge 2 && $2 =~ ^[1-9][0-9]*$ ]] || usage; jobs=$2; shift 2 ;;
        --engines) [[ $# -ge 2 && $2 =~ ^(ours|chipmunk|box2d)(,(ours|chipmunk|box2d))*$ ]] || usage; only=",$2,"; shift 2 ;;
        *) usage ;;
    esac
done
command -v valgrind >/dev/null || { echo "valgrind is missing: apt-get install valgrind" >&2; exit 1; }

started=$SECONDS
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBOXQUAKE_GAME=OFF -DBOXQUAKE_TESTS=OFF >/dev/null
# CMake lists the engines it found (ours always; the peers when their packages are installed).
mapfile -t found <"$build/bench/physics/cg_engines.txt"
engines=(ours)
declare -A label=([ours]="ours" [chipmunk]="Chipmunk 7" [box2d]="Box2D 2.4")
declare -A package=([chipmunk]=libchipmunk-dev [box2d]=libbox2d-dev)
missing=()
for peer in chipmunk box2d; do
    if [[ " ${found[*]} " == *" $peer "* ]]; then
        engines+=("$peer")
    else
        missing+=("${package[$peer]}")
    fi
done
cmake --build "$build" --target cg_ours -j"$(nproc)" >/dev/null
for peer in "${engines[@]:1}"; do
    if ! cmake --build "$build" --target "cg_$peer" -j"$(nproc)" >"$build/cg_$peer.build.log" 2>&1; then
        echo "building the ${label[$peer]} program failed (see $build/cg_$peer.build.log); measuring without it" >&2
        engines=("${engines[@]/$peer/}")
    fi
done

# One run per (scene, sleeping, engine variant); Box2D twice: its default 8/3
# iterations and 10/10, our own count.
variants=()
for e in "${engines[@]}"; do
    case "$e" in
        ours | chipmunk) variants+=("$e") ;;
        box2d) variants+=(box2d-8-3 box2d-10-10) ;;
    esac
done
out="$build/callgrind"
mkdir -p "$out"
# The runs of this call: every variant, or those of the engines --engines names.
# The table shows this call's counts and, for the other engines, their last
# counts of the same number of steps (a peer's count does not change with ours).
runs=()
for scene in "${scenes[@]}"; do
    for sleep in "${sleeps[@]}"; do
        for v in "${variants[@]}"; do
            [[ -z $only || $only == *",${v%%-*},"* ]] || continue
            runs+=("$scene $sleep $v")
            rm -f "$out/$scene-$sleep-$v".{ir,result,steps}
        done
    done
done

# Runs one program under callgrind; leaves <key>.ir (instructions of the step
# loop, or "fail") and <key>.result (the program's end-of-run line).
run_one() {
    local scene=$1 sleep=$2 variant=$3
    local key="$scene-$sleep-$variant"
    local program args=(--scene "$scene" --sleep "$sleep" --steps "$steps")
    case "$variant" in
        ours | chipmunk) program="$build/bench/physics/cg_$variant" ;;
        box2d-8-3) program="$build/bench/physics/cg_box2d"; args+=(--iterations 8 3) ;;
        box2d-10-10) program="$build/bench/physics/cg_box2d"; args+=(--iterations 10 10) ;;
    esac
    local t0=$SECONDS ir=fail
    rm -f "$out/$key.out"
    if valgrind --tool=callgrind --collect-atstart=no --toggle-collect='bench_step_loop*' \
        --callgrind-out-file="$out/$key.out" "$program" "${args[@]}" >"$out/$key.stdout" 2>"$out/$key.log"; then
        ir=$(awk '/^summary:/ {print $2; exit}' "$out/$key.out")
        [[ -n $ir && $ir -gt 0 ]] || ir=fail
    fi
    echo "$ir" >"$out/$key.ir"
    echo "$steps" >"$out/$key.steps"
    grep '^result ' "$out/$key.stdout" >"$out/$key.result" || echo "result failed" >"$out/$key.result"
    if [[ $ir == fail ]]; then
        printf '  %-28s FAILED (see %s)\n' "$key" "$out/$key.log" >&2
    else
        printf '  %-28s %8.3f G instructions  (%d s)\n' "$key" "$(awk -v n="$ir" 'BEGIN {print n / 1e9}')" \
            $((SECONDS - t0)) >&2
    fi
}

echo "callgrind: ${#runs[@]} runs of $steps steps, $jobs at a time (wide with sleeping off takes minutes)" >&2
running=0
for r in "${runs[@]}"; do
    # shellcheck disable=SC2086  # "scene sleep variant" splits into three arguments
    run_one $r &
    running=$((running + 1))
    if ((running >= jobs)); then
        wait -n || true
        running=$((running - 1))
    fi
done
wait

# The table: G = 10^9 instructions of the step loop; ratios ours / peer.
ir() {
    if [[ $(cat "$out/$1.steps" 2>/dev/null) == "$steps" ]]; then cat "$out/$1.ir"; else echo "-"; fi
}
giga() { [[ $1 =~ ^[0-9]+$ ]] && awk -v n="$1" 'BEGIN {printf "%.3f", n / 1e9}' || echo "-"; }
ratio() { [[ $1 =~ ^[0-9]+$ && $2 =~ ^[0-9]+$ ]] && awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}' || echo "-"; }
echo
echo "Instructions (G = 10^9, callgrind Ir) of $steps steps of 1/60 s, set-up excluded"
printf '%-10s %-5s | %9s %10s %10s %11s | %8s %11s %13s\n' scene sleep ours chipmunk7 "box2d 8/3" "box2d 10/10" \
    ours/cp "ours/b2 8/3" "ours/b2 10/10"
for scene in "${scenes[@]}"; do
    for sleep in "${sleeps[@]}"; do
        k="$scene-$sleep"
        o=$(ir "$k-ours") c=$(ir "$k-chipmunk") b83=$(ir "$k-box2d-8-3") b1010=$(ir "$k-box2d-10-10")
        printf '%-10s %-5s | %9s %10s %10s %11s | %8s %11s %13s\n' "$scene" "$sleep" "$(giga "$o")" "$(giga "$c")" \
            "$(giga "$b83")" "$(giga "$b1010")" "$(ratio "$o" "$c")" "$(ratio "$o" "$b83")" "$(ratio "$o" "$b1010")"
    done
done

# End-of-run figures, so that a scene built wrong in one engine shows.
vlabel() {
    case "$1" in
        box2d-8-3) echo "box2d 8/3" ;;
        box2d-10-10) echo "box2d 10/10" ;;
        chipmunk) echo "chipmunk7" ;;
        *) echo "$1" ;;
    esac
}
field() {
    local v
    v=$(sed -n "s/.* $2=\([^ ]*\).*/\1/p" <<<" $1")
    echo "${v:--}"
}
echo
echo "End of run: stands = pyramid apex within 10% of its start height; awake = dynamic bodies awake;"
echo "below = bodies whose centre fell under the floor's top (y = 0); heights in px"
printf '%-10s %-5s %-12s %6s %11s %6s %10s %10s\n' scene sleep engine stands awake below "apex y" "mean y"
for scene in "${scenes[@]}"; do
    for sleep in "${sleeps[@]}"; do
        for v in "${variants[@]}"; do
            line="not measured"
            [[ $(ir "$scene-$sleep-$v") == - ]] || line=$(cat "$out/$scene-$sleep-$v.result")
            apex=$(field "$line" apex_end)
            [[ $(field "$line" stands) == "-" ]] && apex="-"
            printf '%-10s %-5s %-12s %6s %11s %6s %10s %10s\n' "$scene" "$sleep" "$(vlabel "$v")" "$(field "$line" stands)" \
                "$(field "$line" awake)/$(field "$line" bodies)" "$(field "$line" below)" "$apex" \
                "$(field "$line" mean_y)"
        done
    done
done
echo
if grep -qs "Debug Enabled" "$out"/*-chipmunk.stdout; then
    echo "Note: Debian's Chipmunk library is built with its debug checks on; they count in its figures."
fi
for p in "${missing[@]}"; do
    echo "Not measured: $p is not installed (apt-get install -y $p, then run again)."
done
echo "Profiles: $out/<scene>-<sleep>-<engine>.out (callgrind_annotate --inclusive=yes FILE)"
echo "Total time: $(((SECONDS - started) / 60)) min $(((SECONDS - started) % 60)) s"
