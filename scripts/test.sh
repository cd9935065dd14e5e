#!/bin/sh
# Builds everything and runs every test. Pass a build folder to use another
# than build/ (for example build-asan with KORVANE_SANITIZE=ON in CMAKE_ARGS,
# build-tsan with KORVANE_SANITIZE_THREAD=ON).
set -eu
cd "$(dirname "$0")/.."
build=${1:-build}
./scripts/install-deps.sh
cmake -S . -B "$build" -G Ninja ${CMAKE_ARGS:-}
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
