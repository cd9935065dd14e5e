#!/bin/sh
# Eight headless programs play one network mission over loopback:
#   net_eight_programs.sh <program> <work folder> <port> [<network test switches>]
# P1 hosts the demo mission and P2..P7 join one after another; each flies
# forward from the start (the level has no respawn points: every ship
# starts at the same place, and one arriving there kills a ship still in
# its way), the earlier ones farther, so that the ships stand in a row
# along the hangar. Every one of them must see the others arrive. Then P7,
# last in the row, fires its autocannon at P6 ahead of it until P6 dies:
# P6 must say it was killed by P7 and every other program that P6 was, and
# nobody may be killed by anything else. Then P7 leaves (Ctrl+C) and the
# rest must see it go; P8 joins late and sends a chat line, which every
# program still there must show, and the host's catch-up must bring P8 the
# scoreboard with P7's name and its kill, which only the host's game state
# can carry, and every polygon group's state as the host had it. All eight
# scoreboards must show P7's kill. Every program says where it last saw
# each other ship (as that one left, or as itself ended); that must be
# where the ship itself says it ended. Each program runs on a fixed-step
# clock paced to real time (the network's timeouts are real), in a folder
# of its own; its stderr is <work>/<name>.log.
set -u
program=$1
work=$2
port=$3
switches=${4:-}
rm -rf "$work"
mkdir -p "$work"
export KORVANE_NET_PORT="$port" KORVANE_NET_HOSTS="127.0.0.1:$port" KORVANE_FIXED_STEP_PACED=1
if [ -n "$switches" ]; then export KORVANE_NET_TEST="$switches"; fi
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# An input script: the mission word, the briefing left, thrust for flyMs
# from 12 s on (after the mission's opening camera of about 3 s), the
# autocannon from fireFrom on when one is given, and a chat line when one is
# given. The autocannon fires in bursts of 9 s with 2 s between them, five
# times: held longer, its heat would stop it for most of the time.
write_script() {
  {
    echo "2600 key LSHIFT down"
    echo "4600 press SPACE"
    echo "5000 type zephyrway01"
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
  XDG_CONFIG_HOME="$work/$1/config" XDG_DATA_HOME="$work/$1/data" KORVANE_NET_LOBBY="$2,eightway,$1,AB" \
    KORVANE_INPUT_SCRIPT="$work/$1.script" "$program" NETGAME 2>"$work/$1.log" &
  echo $! >"$work/$1.pid"
}

logged() { grep -q -- "$2" "$work/$1.log" 2>/dev/null; }

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
# P1 flies 2.7 s, each later one 0.4 s less: P7 0.3 s; P7 fires from 14.5 s.
for i in 1 2 3 4 5 6; do write_script "P$i" $((3100 - i * 400)); done
write_script P7 300 14500
write_script P8 300 "" greetings

# Each one starts once the one before it runs the level, and 3 s later, so
# that the one before has left the start (5 s after its level started, the
# opening camera included) when the next arrives there (7 s after its own
# program start).
# (wait_all's own variables are global: the loop has names of its own.)
previous=""
started=""
for joiner in $early; do
  if [ -n "$previous" ]; then
    if ! wait_all 90 "$previous" "korvane: level M1.CAN runs"; then
      stop $started
      show_logs
      exit 1
    fi
    sleep 3
    start "$joiner" join
  else
    start "$joiner" create
  fi
  started="$started $joiner"
  previous=$joiner
done
if ! wait_all 90 "$early" "korvane: level M1.CAN runs" || ! wait_all 60 "$early" "message: player in the game: {}" "$early"; then
  stop $early
  show_logs
  exit 1
fi
# P7's shots kill P6 (about 130 hits of 0.8..1: some 40 s of bursts), and
# every program hears of it; the flights have ended long before.
wait_all 120 P6 "message: You've been killed by P7"
wait_all 30 "P1 P2 P3 P4 P5 P7" "message: P6 was killed by P7"

stop P7
wait_all 60 "P1 P2 P3 P4 P5 P6" "message: player left the game: P7"
start P8 join
wait_all 90 P8 "korvane: level M1.CAN runs"
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
  logged "$n" "korvane: score:  0 P6$" || fail "$n's scoreboard does not show P6 at 0"
  ! logged "$n" "You've been telefragged\\|You're dead again\\|died in action" || fail "$n saw another death"
done

show_logs
if [ $failures -ne 0 ]; then
  echo "$failures failures"
  exit 1
fi
echo "eight programs played one mission"
