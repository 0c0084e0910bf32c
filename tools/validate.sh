#!/usr/bin/env bash
# Builds what is missing and validates the plug-in with tools/vsthost. Without
# a display it runs under xvfb-run, so the editor opens in a real window.
#   tools/validate.sh [vsthost validate options, e.g. --only chunks,editor]
# BUILD_DIR picks the build folder (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${BUILD_DIR:-build}"

if [ ! -f "$BUILD_DIR/build.ninja" ] && [ ! -f "$BUILD_DIR/Makefile" ]; then
    cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$BUILD_DIR" --target Vantor_VST vsthost >&2

HOST="$BUILD_DIR/tools/vsthost"
PLUGIN="$BUILD_DIR/Vantor_artefacts/Release/VST/Prophet 12 Vantor.so"

if [ -z "${DISPLAY:-}" ]; then
    if ! command -v xvfb-run >/dev/null; then
        echo "validate.sh: no DISPLAY and no xvfb-run (install xvfb): the editor is checked headless only" >&2
        exec "$HOST" "$PLUGIN" validate "$@"
    fi
    exec xvfb-run -a -s "-screen 0 1920x1200x24" "$HOST" "$PLUGIN" validate "$@"
fi
exec "$HOST" "$PLUGIN" validate "$@"
