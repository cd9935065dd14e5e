#!/bin/sh
# Usage: interrupt_when_started.sh SECONDS PROGRAM [ARGS...]
# Runs PROGRAM and sends it SIGINT, as Ctrl+C would, SECONDS after it says
# "korvane: started". Waiting for that line rather than for a fixed time keeps
# the run meaningful on a busy machine, where loading the program can take
# longer than the wait: a signal before the program watches for it would end
# it as an interrupted process, not as the clean quit the test is about.
# Ends with the program's own exit status; its stderr is passed on.
seconds=$1
shift
# Job control: the program gets its own process group and keeps SIGINT's
# default handling (a background job of a plain script would ignore it).
set -m
log=$(mktemp)
"$@" 2>"$log" &
pid=$!
waited=0
while kill -0 "$pid" 2>/dev/null && ! grep -q "korvane: started" "$log"; do
  if [ "$waited" -ge 400 ]; then
    echo "interrupt_when_started: the program did not start within 40 s" >>"$log"
    break
  fi
  sleep 0.1
  waited=$((waited + 1))
done
sleep "$seconds"
kill -INT "$pid" 2>/dev/null
wait "$pid"
status=$?
cat "$log" >&2
rm -f "$log"
exit "$status"
