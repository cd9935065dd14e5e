#!/bin/sh
# Two headless programs meet in the arena through the network screens, as
# players do without a lobby:
#   net_menus.sh <program> <work folder> <port>
# The host goes from the main menu to "start a network game", types its
# player name, takes TCP/IP, types the address, names the session, picks
# the fourth mission of the list ("Halvard Reactor", the arena M4.CAN) and
# starts it. Once its level runs the guest goes to "join a network game",
# types its name and the address, searches, picks the one session found
# and joins it: it must play the session's mission, the arena, without
# having chosen one, and each must see the other arrive; the guest leaves
# first, and the host must see it go. Each program runs
# on a fixed-step clock paced to real time, in a folder of its own; its
# stderr is <work>/<name>.log.
set -u
program=$1
work=$2
port=$3
. "$(dirname "$0")/net_common.sh"

click() {
  echo "$1 mouse move $2 $3"
  echo "$(($1 + 100)) mouse down left"
  echo "$(($1 + 150)) mouse up left"
}

# From the main menu (the cursor to the top left first): "rmu" at (208,
# 299), then "nwg" (212, 266) or "joi" (213, 177); the player name and
# Enter; "tcp" (160, 328); the address and Enter.
{
  echo "4600 press SPACE"
  echo "5400 mouse move -1000 -1000"
  click 5500 220 309
  click 6300 4 -33
  echo "7200 type HOST"
  echo "7700 press RETURN"
  click 8300 -52 62
  echo "9000 type 127.0.0.1"
  echo "9600 press RETURN"
  # The session's name, the list's fourth row (rows of 15 pixels from 168),
  # "oks" (495, 257).
  echo "10300 type REACTOR"
  click 11000 -42 -119
  click 11800 377 48
  echo "36000 quit"
} >"$work/host.script"
{
  echo "4600 press SPACE"
  echo "5400 mouse move -1000 -1000"
  click 5500 220 309
  click 6300 5 -122
  echo "7200 type GUEST"
  echo "7700 press RETURN"
  click 8300 -53 151
  echo "9000 type 127.0.0.1"
  echo "9600 press RETURN"
  # "sea" (470, 158), the list's first row, "oks".
  click 10300 310 -170
  click 12500 -352 7
  click 13300 377 92
  echo "20000 quit"
} >"$work/guest.script"

start() {
  mkdir -p "$work/$1"
  XDG_CONFIG_HOME="$work/$1/config" XDG_DATA_HOME="$work/$1/data" KORVANE_INPUT_SCRIPT="$work/$1.script" \
    "$program" 2>"$work/$1.log" &
  echo $! >"$work/$1.pid"
}

wait_for() {
  tries=0
  until logged "$1" "$2"; do
    tries=$((tries + 1))
    if [ $tries -gt $(($3 * 10)) ]; then
      fail "after $3 s $1 has not logged '$2'"
      return 1
    fi
    sleep 0.1
  done
}

start host
if wait_for host "korvane: level M4.CAN runs" 60; then
  start guest
  wait_for guest "korvane: level M4.CAN runs" 60
  wait_for host "message: player in the game: GUEST" 30
  wait_for guest "message: player in the game: HOST" 30
  wait_for host "message: player left the game: GUEST" 60
fi
for n in host guest; do
  [ -f "$work/$n.pid" ] || continue
  pid=$(cat "$work/$n.pid")
  wait "$pid"
  code=$?
  [ $code -eq 0 ] || fail "$n ended with $code"
done
logged host "message: Started new game: REACTOR" || fail "the host did not start the session"
logged guest "message: Game joined: REACTOR" || fail "the guest did not join the session"
! logged guest "new game in" || fail "the guest chose a mission itself"
for f in "$work"/*.log; do
  echo "==== $f"
  grep -a "korvane: \(level\|message\|menu screen\|quits\)" "$f" | head -60
done
if [ $failures -ne 0 ]; then
  echo "$failures failures"
  exit 1
fi
echo "the guest joined the host's arena through the network screens"
