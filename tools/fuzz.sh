#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer + UndefinedBehaviorSanitizer)
# and runs every target for SECONDS (default 30, the CI run) on a copy of its seed
# corpus, all targets at once, each file reader after one read of a file of the
# largest size; fails on any crash, leak, hang, out-of-memory or broken property. The longer run before a release:
#
#     bash tools/fuzz.sh 600
#
# Inputs a run finds stay in build-fuzz/fuzz-work/<target>/corpus, failures as
# build-fuzz/fuzz-work/<target>/crash-* (or leak-, timeout-, oom-). Once fixed,
# copy a failing input into fuzz/regressions/<target>/: every later run, and the
# sanitizer test suite, replays it.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-30}"
build=build-fuzz
work="$build/fuzz-work"
# Each target, its largest input in bytes and the seconds one input may take.
# The file readers take files up to 1 MB; under the sanitizers each reads 1 MB
# in a second or two when it is linear in the size, so an input that reaches
# the timeout is a finding.
limits="
fuzz_sysex            4096     10
fuzz_midi_input       8192     10
fuzz_program_codec    1048576  10
fuzz_state_chunks     1048576  10
fuzz_settings_files   1048576  10
fuzz_engine_startup   1048576  10
fuzz_library_file     1048576  10
"
targets=()
declare -A max_len timeout
while read -r t bytes secs; do
    [ -n "$t" ] || continue
    targets+=("$t")
    max_len[$t]=$bytes
    timeout[$t]=$secs
done <<< "$limits"

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVANTOR_BUILD_TESTS=OFF \
    -DVANTOR_BUILD_FUZZERS=ON \
    -DVANTOR_SANITIZE=fuzzer-no-link,address,undefined
cmake --build "$build" --target "${targets[@]}"

export ASAN_OPTIONS="detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"

rm -rf "$work"
declare -A pids
for t in "${targets[@]}"; do
    dir="$work/$t"
    mkdir -p "$dir/corpus" "$dir/tmp"
    cp fuzz/corpus/"$t"/* "$dir/corpus/"

    # Each file reader first reads one file of the full size, its seeds
    # repeated: a reader slower than linear reaches the timeout on it. The
    # run itself starts from the small seeds, so it explores as widely as before.
    if [ "${max_len[$t]}" -gt 8192 ]; then
        cat fuzz/corpus/"$t"/* > "$dir/large"
        while [ "$(stat -c %s "$dir/large")" -lt "${max_len[$t]}" ]; do
            cat "$dir/large" "$dir/large" > "$dir/larger"
            mv "$dir/larger" "$dir/large"
        done
        head -c "${max_len[$t]}" "$dir/large" > "$dir/full_size"
        rm "$dir/large"
    fi

    inputs=("$dir/corpus")
    [ -d "fuzz/regressions/$t" ] && inputs+=("fuzz/regressions/$t")

    # The targets keep their settings in a home of their own (fuzz/FuzzSupport.h),
    # never in the real one.
    (
        if [ -f "$dir/full_size" ]; then
            "$build/fuzz/$t" -timeout="${timeout[$t]}" -rss_limit_mb=2048 -artifact_prefix="$dir/" "$dir/full_size" || exit 1
        fi
        TMPDIR="$PWD/$dir/tmp" exec "$build/fuzz/$t" \
            -max_total_time="$seconds" -timeout="${timeout[$t]}" -rss_limit_mb=2048 -max_len="${max_len[$t]}" \
            -print_final_stats=1 -artifact_prefix="$dir/" "${inputs[@]}"
    ) > "$dir/log" 2>&1 &
    pids[$t]=$!
done

passed=0
failed=0
for t in "${targets[@]}"; do
    log="$work/$t/log"
    if wait "${pids[$t]}"; then
        passed=$((passed + 1))
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        echo "fuzz: $t ok, ${runs:-?} runs in ${seconds}s"
    else
        failed=$((failed + 1))
        echo "fuzz: $t FAILED; last lines of $log:"
        tail -n 60 "$log"
    fi
done

echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
