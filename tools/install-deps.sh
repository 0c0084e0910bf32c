#!/usr/bin/env bash
# Installs every Debian package the build and the tests need.
set -euo pipefail
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends \
    cmake ninja-build g++ make pkg-config \
    juce-modules-source \
    libasound2-dev libfreetype-dev libfontconfig1-dev libx11-dev libxrandr-dev libxinerama-dev \
    libxcursor-dev libxext-dev libxcomposite-dev libgl-dev \
    libgtest-dev libbenchmark-dev \
    xvfb xauth \
    fonts-liberation2 \
    clang libclang-rt-14-dev llvm
