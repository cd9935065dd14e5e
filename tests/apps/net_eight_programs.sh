#!/bin/sh
# Eight headless programs play the network mission, the arena M4.CAN, over
# loopback:
#   net_eight_programs.sh <program> <work folder> <port> [<network test switches> [<frame_check>]]
# P1 hosts and P2..P7 join one after another; each ship first appears at a
# respawn point of its own (the arena's eight stand in a ring round the
# core, each facing the one opposite) and flies a little toward the core.
# Every one of them must see the others arrive. Then P7 fires its
# autocannon across the hall at P3, opposite it, until P3 dies: P3 must say
# it was killed by P7 and every other program that P3 was, and nobody may
# be killed by anything else. Then P7 leaves (Ctrl+C) and the rest must see
# it go; P8 joins late (at the point P7 left) and sends a chat line, which
# every program still there must show, and the host's catch-up must bring
# P8 the scoreboard with P7's name and its kill, which only the host's game
# state can carry, and every polygon group's state as the host had it. All
# eight scoreboards must show P7's kill. Every program says where it last
# saw each other ship (as that one left, or as itself ended); that must be
# where the ship itself says it ended. Each program runs on a fixed-step
# clock paced to real time (the network's timeouts are real), in a folder
# of its own; its stderr is <work>/<name>.log. P7 writes every 25th frame
# into <work>/frames: with frame_check given, they must show the level.
set -u
program=$1
work=$2
port=$3
switches=${4:-}
frame_check=${5:-}
. "$(dirname "$0")/net_common.sh"
if [ -n "$switches" ]; then export KORVANE_NET_TEST="$switches"; fi

# An input script: the mission word, the briefing left, thrust for flyMs
# from 12 s on, the autocannon from fireFrom on when one is given, and a
# chat line when one is given. The autocannon fires in bursts of 9 s with 2
# s between them, five times: held longer, its heat would stop it for most
# of the time.
write_script() {
  {
    echo "2600 key LSHIFT down"
    echo "4600 press SPACE"
    echo "5000 type zephyrway04"
    echo "5300 key LSHIFT up"
    echo "6500 press ESCAPE"
    echo "12000 key A down"
    echo "$((12000 + $2)) key A up"
    if [ -n "${3:-}" ]; then
      for burst in 0 1 2 3 4; do
        echo "$(($3 + burst * 11000)) key LCONTROL down"
        echo "$(($3 + burst * 11000 + 9000)) key LCONTROL up"
      done
    fi
    if [ -n "${4:-}" ]; then
      echo "$((14000 + $2)) press F9"
      echo "$((14300 + $2)) type $4"
      echo "$((15000 + $2)) press RETURN"
    fi
  } >"$work/$1.script"
}

start() {
  mkdir -p "$work/$1"
  frames=""
  [ "$1" = P7 ] && frames="$work/frames"
  KORVANE_FRAME_DIR="$frames" KORVANE_FRAME_EVERY=25 XDG_CONFIG_HOME="$work/$1/config" XDG_DATA_HOME="$work/$1/data" KORVANE_NET_LOBBY="$2,eightway,$1,AB" \
    KORVANE_INPUT_SCRIPT="$work/$1.script" "$program" NETGAME 2>"$work/$1.log" &
  echo $! >"$work/$1.pid"
}

# Waits up to $1 seconds for every program of $2 to have logged $3 (in
# which {} stands for each name of $4 but its own).
wait_all() {
  limit=$1 names=$2 pattern=$3 others=${4:-}
  tries=0
  while :; do
    missing=""
    for n in $names; do
      if [ -z "$others" ]; then
        logged "$n" "$pattern" || missing="$missing $n"
      else
        for o in $others; do
          [ "$o" = "$n" ] && continue
          logged "$n" "$(echo "$pattern" | sed "s/{}/$o/")" || missing="$missing $n:$o"
        done
      fi
    done
    [ -z "$missing" ] && return 0
    tries=$((tries + 1))
    if [ $tries -gt $((limit * 10)) ]; then
      fail "after ${limit}s still without '$pattern':$missing"
      return 1
    fi
    sleep 0.1
  done
}

stop() {
  for n in "$@"; do
    pid=$(cat "$work/$n.pid")
    kill -INT "$pid" 2>/dev/null
  done
  for n in "$@"; do
    pid=$(cat "$work/$n.pid")
    wait "$pid"
    code=$?
    [ $code -eq 0 ] || fail "$n ended with $code"
  done
}

show_logs() {
  for f in "$work"/*.log; do
    echo "==== $f"
    grep -a "korvane: \(level\|message\|player\|score\|the ship\|network\|quits\|group state\)" "$f" | head -120
  done
}

early="P1 P2 P3 P4 P5 P6 P7"
# Each flies 0.4 s toward the core; P7 fires from 14 s on.
for i in 1 2 3 4 5 6; do write_script "P$i" 400; done
write_script P7 400 14000
write_script P8 400 "" greetings

# Each one starts once the one before it runs the level: it has joined the
# session then, and the next one takes the point after its own.
# (wait_all's own variables are global: the loop has names of its own.)
previous=""
started=""
for joiner in $early; do
  if [ -n "$previous" ]; then
    if ! wait_all 90 "$previous" "korvane: level M4.CAN runs"; then
      stop $started
      show_logs
      exit 1
    fi
    start "$joiner" join
  else
    start "$joiner" create
  fi
  started="$started $joiner"
  previous=$joiner
done
if ! wait_all 90 "$early" "korvane: level M4.CAN runs" || ! wait_all 60 "$early" "message: player in the game: {}" "$early"; then
  stop $early
  show_logs
  exit 1
fi
# P7's shots kill P3 (about 70 hits of 1.6..2 through shields and hull, in
# bursts), and every program hears of it.
wait_all 120 P3 "message: You've been killed by P7"
wait_all 30 "P1 P2 P4 P5 P6 P7" "message: P3 was killed by P7"

stop P7
wait_all 60 "P1 P2 P3 P4 P5 P6" "message: player left the game: P7"
start P8 join
wait_all 90 P8 "korvane: level M4.CAN runs"
present="P1 P2 P3 P4 P5 P6 P8"
wait_all 60 "$present" "message: player in the game: {}" "$present"
wait_all 60 "P1 P2 P3 P4 P5 P6" "message: .*GREETINGS"
sleep 3
stop P1 P2 P3 P4 P5 P6 P8

# Each ship where the others last saw it (as it left, or as they ended):
# within 5 units of where it ended itself. P8 never saw P7.
for n in $present P7; do
  own=$(grep -a "korvane: the ship leaves the level at" "$work/$n.log" | tail -1 | sed 's/.* at //')
  [ -n "$own" ] || { fail "$n did not say where its ship ended"; continue; }
  for o in $present; do
    [ "$o" = "$n" ] && continue
    [ "$n$o" = "P7P8" ] && continue
    seen=$(grep -a "korvane: player $n was at" "$work/$o.log" | tail -1 | sed 's/.* at //')
    if [ -z "$seen" ]; then
      fail "$o did not know $n at the end"
      continue
    fi
    echo "$own $seen" | awk -v who="$o sees $n" '{
      d = 0; for (i = 1; i <= 3; ++i) { e = $i - $(i + 3); if (e < 0) e = -e; if (e > d) d = e }
      if (d > 5) { print "FAIL: " who " at " $4 " " $5 " " $6 ", the ship ended at " $1 " " $2 " " $3; exit 1 }
      print who " at " $4 " " $5 " " $6 " (" $1 " " $2 " " $3 ")" }' || failures=$((failures + 1))
  done
done
# The late joiner learns the scoreboard, P7 included, from the host.
logged P8 "korvane: score: .*P7" || fail "P8's scoreboard has no P7"
# The host's catch-up brings P8 every polygon group's state as the host had
# it (shown or hidden, moving or still).
sent=$(grep -a "korvane: group state sent to P8: " "$work/P1.log" | sed 's/.*sent to P8: //')
[ -n "$sent" ] || fail "the host sent P8 no group states"
missing=$(echo "$sent" | while IFS= read -r g; do
  [ -z "$g" ] || grep -qaxF "korvane: group state from P1: $g" "$work/P8.log" || echo "$g;"
done)
[ -z "$missing" ] || fail "P8 lacks the host's group states: $missing"
for n in $present; do logged "$n" "korvane: quits with exit code 0" || fail "$n did not quit normally"; done
# The kill is on all eight scoreboards (P8's from the host's catch-up), and
# it was the only death.
for n in $present P7; do
  logged "$n" "korvane: score:  1 P7$" || fail "$n's scoreboard lacks P7's kill"
  logged "$n" "korvane: score:  0 P3$" || fail "$n's scoreboard does not show P3 at 0"
  ! logged "$n" "You've been telefragged\\|You're dead again\\|died in action" || fail "$n saw another death"
done

# P7's view: the arena, moving as the ship flies and fires.
if [ -n "$frame_check" ]; then
  "$frame_check" "$work/frames" --level 5 || fail "P7's frames do not show the level"
fi

show_logs
if [ $failures -ne 0 ]; then
  echo "$failures failures"
  exit 1
fi
echo "eight programs played the arena"
