#!/bin/sh
# Installs what is missing, builds, writes the demo data and plays it.
# With no display the game runs on the headless back end, driven by the
# demo input script, and quits by itself.
set -eu
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -G Ninja
cmake --build build
./build/tools/mkdata build/demo
program=${1:-korvanesw}
cd build/demo
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  export KORVANE_BACKEND=headless
  export KORVANE_FIXED_STEP_MS=${KORVANE_FIXED_STEP_MS:-20}
  export KORVANE_INPUT_SCRIPT=${KORVANE_INPUT_SCRIPT:-../../scripts/demo.script}
fi
exec "../apps/$program"
