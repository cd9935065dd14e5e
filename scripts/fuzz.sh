#!/bin/sh
# Runs the fuzz harnesses (fuzz/) under libFuzzer for a while, by hand. Builds
# them first with clang, coverage and the address and undefined-behaviour
# sanitizers in their own build folder (build-fuzz/, or $FUZZ_BUILD).
#   ./scripts/fuzz.sh [-t SECONDS] [-j PARALLEL] [HARNESS ...]
#     -t  how long each harness runs (60)
#     -j  how many run at once (1)
#     HARNESS  e.g. world mission settings; none: every harness
# Each run's corpus grows in build-fuzz/fuzz/runs/<harness>/corpus (from the
# builder's seeds and fuzz/crashers/<harness>), its log is
# build-fuzz/fuzz/runs/<harness>/log, and an input that breaks the harness
# is left as build-fuzz/fuzz/runs/<harness>/crash-... : make it a crafted
# file in fuzz/crashers/<harness>/ with a unit test and a fix. The exit
# status is 1 when any run found something. Runs are niced; FUZZ_JOBS sets the
# build's parallel jobs, FUZZ_ARGS adds libFuzzer options.
set -eu
cd "$(dirname "$0")/.."
seconds=60
parallel=1
while getopts t:j: option; do
  case $option in
    t) seconds=$OPTARG ;;
    j) parallel=$OPTARG ;;
    *) sed -n '2,17p' "$0"; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
build=${FUZZ_BUILD:-build-fuzz}
harnesses=${*:-$(for f in fuzz/harnesses/*.cpp; do basename "$f" .cpp; done)}

CC=${CC:-clang} CXX=${CXX:-clang++} cmake -S . -B "$build" -G Ninja -DKORVANE_FUZZ=ON \
  -DKORVANE_BUILD_TESTS=OFF -DKORVANE_BUILD_BENCH=OFF >/dev/null
targets="fuzz_corpus"
for h in $harnesses; do targets="$targets fuzz_$h"; done
# shellcheck disable=SC2086
cmake --build "$build" -j "${FUZZ_JOBS:-$(nproc)}" --target $targets

run() {
  h=$1
  dir=$build/fuzz/runs/$h
  mkdir -p "$dir/corpus"
  # shellcheck disable=SC2086
  if KORVANE_BACKEND=headless nice -n 15 "$build/fuzz/fuzz_$h" -max_total_time="$seconds" -rss_limit_mb=2048 \
    -timeout=30 -print_final_stats=1 -artifact_prefix="$dir/" ${FUZZ_ARGS:-} \
    "$dir/corpus" "$build/fuzz/corpus/$h" "fuzz/crashers/$h" >"$dir/log" 2>&1; then
    echo "$h: $(grep -E '^#[0-9]+.*(DONE|pulse)' "$dir/log" | tail -1)"
  else
    echo "$h: FOUND SOMETHING, see $dir/log"
    return 1
  fi
}

status=0
running=0
pids=""
for h in $harnesses; do
  [ -f "fuzz/harnesses/$h.cpp" ] || { echo "no harness $h"; exit 2; }
  run "$h" &
  pids="$pids $!"
  running=$((running + 1))
  if [ "$running" -ge "$parallel" ]; then
    for p in $pids; do wait "$p" || status=1; done
    pids=""
    running=0
  fi
done
for p in $pids; do wait "$p" || status=1; done
exit $status
