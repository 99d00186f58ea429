#!/usr/bin/env bash
# Long fuzzing runs: each harness in turn for SECONDS seconds (default 3600) on one core at the
# lowest priority, on its committed corpus plus a working corpus outside the repository. The log
# gets each harness's execution count and what it found; crash inputs land beside it.
#   tools/fuzz/run-long.sh [SECONDS] [HARNESS...]
# Environment: VORN_FUZZ_BUILD (default build-fuzz), VORN_FUZZ_LOGS (default /work/fuzz-logs).
set -uo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
seconds="${1:-3600}"
shift || true
harnesses=("$@")
if ((${#harnesses[@]} == 0)); then
    harnesses=(seqtext markup figure ini keycode)
fi
build="${VORN_FUZZ_BUILD:-$root/build-fuzz}"
logs="${VORN_FUZZ_LOGS:-/work/fuzz-logs}"
stamp="$(date +%Y%m%d-%H%M%S)"
summary="$logs/run-$stamp.log"
mkdir -p "$logs"

cmake -DBINARY_DIR="$build" -DCXX=clang++-14 -DGENERATOR=Ninja -P "$root/tools/fuzz/BuildFuzz.cmake" >"$logs/build-$stamp.log" 2>&1 || {
    echo "building the harnesses failed: see $logs/build-$stamp.log" | tee -a "$summary"
    exit 1
}

export LSAN_OPTIONS="suppressions=$root/tools/fuzz/lsan.supp"
export QT_QPA_PLATFORM=offscreen
# Files the harnesses write go to memory, not to the disk.
if [ -d /dev/shm ]; then export TMPDIR=/dev/shm; fi

echo "$(date -Is) fuzzing ${harnesses[*]} for $seconds s each" >>"$summary"
for name in "${harnesses[@]}"; do
    corpus="$logs/corpus/$name"
    mkdir -p "$corpus" "$logs/crashes"
    total=0
    found=0
    end=$(($(date +%s) + seconds))
    # libFuzzer stops at a finding; the harness starts again for the time left, a few times at most.
    for attempt in 1 2 3 4 5; do
        left=$((end - $(date +%s)))
        ((left > 10)) || break
        log="$logs/$name-$stamp-$attempt.log"
        # One worker on one core: the machine is shared.
        taskset -c 0 nice -n 19 "$build/fuzz_$name" -max_total_time="$left" -timeout=10 -rss_limit_mb=3000 \
            -print_final_stats=1 -dict="$root/tools/fuzz/$name.dict" -artifact_prefix="$logs/crashes/$name-" \
            "$corpus" "$root/tests/data/fuzz/$name" >"$log" 2>&1
        status=$?
        runs="$(grep -Eo '^stat::number_of_executed_units: *[0-9]+' "$log" | grep -Eo '[0-9]+$' | tail -1)"
        total=$((total + ${runs:-0}))
        if ((status == 0)); then
            break
        fi
        found=$((found + 1))
        echo "$(date -Is) $name: finding (exit $status): $(grep -Em1 '^(==[0-9]+==ERROR|fuzz check failed|SUMMARY)' "$log") ($log)" >>"$summary"
    done
    echo "$(date -Is) $name: $total executions in $seconds s, $found findings" >>"$summary"
done
echo "$(date -Is) done" >>"$summary"
