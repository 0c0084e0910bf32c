#!/usr/bin/env bash
# Installs the packages, builds the plug-in, installs it into ~/.vst and shows what a host sees.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build
mkdir -p ~/.vst
cp "build/Vantor_artefacts/Release/VST/Prophet 12 Vantor.so" ~/.vst/
build/tools/vsthost ~/.vst/"Prophet 12 Vantor.so" info
