#!/usr/bin/env bash
# Sanitizer runs of the test suite (gcc: its sanitizer runtimes also reach the
# plug-in binary that the out-of-process tests load):
#   address  the whole suite, and the fuzz corpus and regression replays, under
#            AddressSanitizer + LeakSanitizer + UndefinedBehaviorSanitizer (build-asan)
#   thread   every test that starts a thread under ThreadSanitizer (build-tsan):
#            those live in suites whose names end in "Threads", a rule a test checks
# Usage: bash tools/sanitize.sh [address|thread|all]   (default all)
set -euo pipefail
cd "$(dirname "$0")/.."

what="${1:-all}"
jobs="${JOBS:-$(nproc)}"

# Tests that draw need a display; give them a virtual one when there is none.
run_tests() {
    if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
        xvfb-run -a "$@"
    else
        "$@"
    fi
}

configure() {
    local dir="$1" sanitizers="$2"
    shift 2
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTOR_SANITIZE="$sanitizers" "$@"
}

if [ "$what" = all ] || [ "$what" = address ]; then
    configure build-asan address,undefined -DVANTOR_BUILD_FUZZERS=ON
    cmake --build build-asan -j "$jobs"
    (
        cd build-asan
        # No tracking of blocks of dynamic thread-local storage (the plug-in's, as a host
        # loads it): this runtime guesses a block's size from the 16 bytes before it when
        # the block starts 16 bytes into a page, which for a block malloc placed there
        # reads the allocator's own header, and the leak check at exit then crashes
        # scanning the range it made up ("Tracer caught signal 11"), now and then.
        export ASAN_OPTIONS="detect_leaks=1:strict_string_checks=1:check_initialization_order=1:detect_stack_use_after_return=1:intercept_tls_get_addr=0"
        export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
        run_tests ctest --output-on-failure -j "$jobs"
    )
fi

if [ "$what" = all ] || [ "$what" = thread ]; then
    configure build-tsan thread
    cmake --build build-tsan -j "$jobs" --target vantor_tests
    (
        cd build-tsan
        export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1"
        # ASLR off: this runtime cannot map its shadow memory under every layout.
        run_tests setarch "$(uname -m)" -R ctest --output-on-failure -j "$jobs" -R 'Threads\.'
    )
fi
