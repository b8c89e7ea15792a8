#!/usr/bin/env bash
# Runs the libFuzzer targets of a fuzz build one after the other (or
# FUZZ_JOBS at a time), niced, and prints per target the executions, the
# executions per second and the findings. Usage:
#
#   tests/fuzz/run.sh BUILD_DIR [libFuzzer options for every target]
#
#   FUZZ_TARGETS="levelfile tga"     the targets to run (default: all)
#   FUZZ_BUDGET="-runs=2000000"      each target's budget (default: -max_total_time=60)
#   FUZZ_BUDGET_simulation="..."     one target's own budget
#   FUZZ_JOBS=2                      targets run at once (default 1)
#   FUZZ_OUT=dir                     corpora, logs, findings (default BUILD_DIR/fuzz-runs)
#
# New inputs go to FUZZ_OUT/<target>/corpus; the committed corpus (and seeds/
# for the targets that read levels) is only read. A finding is saved as
# FUZZ_OUT/<target>/crash-*, leak-*, timeout-* or oom-*; replay it with
# BUILD_DIR/tests/fuzz/fuzz_<target> FILE, then commit it to corpus/<target>.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:?usage: run.sh BUILD_DIR [libFuzzer options]}" && pwd)"
shift
out="${FUZZ_OUT:-$build/fuzz-runs}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
targets="${FUZZ_TARGETS:-levelfile level_list solution progress tga simulation level}"
jobs="${FUZZ_JOBS:-1}"
# The targets that read files write one per input: on a memory file system
# that costs microseconds instead of milliseconds.
if [[ -z "${TMPDIR:-}" && -d /dev/shm && -w /dev/shm ]]; then export TMPDIR=/dev/shm; fi

# Bytes an input may grow to. The simulation's cost grows with the bodies a
# level holds: 512 bytes (a dozen objects) keep it near 200 runs a second on a
# shared core; the committed corpus replays whole shipped levels.
max_len() {
    case "$1" in
        simulation) echo 512 ;;
        solution | progress) echo 1024 ;;
        level_list) echo 2048 ;;
        *) echo 4096 ;;
    esac
}

run_one() {
    local name="$1"
    shift
    local exe="$build/tests/fuzz/fuzz_$name"
    local dir="$out/$name"
    mkdir -p "$dir/corpus"
    local extra=()
    [[ -f "$here/$name.dict" ]] && extra+=("-dict=$here/$name.dict")
    case "$name" in level | levelfile | simulation) extra+=("-dict=$here/level.dict") ;; esac
    local inputs=("$dir/corpus" "$here/corpus/$name")
    case "$name" in level | levelfile | simulation) inputs+=("$here/seeds") ;; esac
    local budget_var="FUZZ_BUDGET_$name"
    local budget="${!budget_var:-${FUZZ_BUDGET:--max_total_time=60}}"
    # shellcheck disable=SC2086  # the budget is one or more options
    nice -n 10 "$exe" $budget -timeout=10 -rss_limit_mb=2048 -max_len="$(max_len "$name")" \
        -print_final_stats=1 -artifact_prefix="$dir/" "${extra[@]}" "$@" "${inputs[@]}" >"$dir/log" 2>&1
    echo $? >"$dir/status"
}

running=0
for name in $targets; do
    if [[ ! -x "$build/tests/fuzz/fuzz_$name" ]]; then
        echo "no $build/tests/fuzz/fuzz_$name: build it with --target fuzz_all" >&2
        exit 2
    fi
    rm -f "$out/$name/status"
    run_one "$name" "$@" &
    running=$((running + 1))
    if ((running >= jobs)); then
        wait -n
        running=$((running - 1))
    fi
done
wait

failed=0
printf '%-12s %14s %10s %s\n' target executions execs/s findings
for name in $targets; do
    log="$out/$name/log"
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
    rate="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)"
    findings="$(find "$out/$name" -maxdepth 1 \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)"
    status="$(cat "$out/$name/status" 2>/dev/null || echo '?')"
    printf '%-12s %14s %10s %s\n' "$name" "${runs:-?}" "${rate:-?}" "$findings (exit $status)"
    [[ "$status" == 0 && "$findings" == 0 ]] || failed=1
done
exit "$failed"
