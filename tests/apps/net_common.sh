# What the network runs share, read by them with ".": their work folder
# made afresh, the loopback address on the run's own port with the clock
# paced to real time (the network's timeouts are real), the failures
# counted, and a look into a program's log. Needs work and port set.
rm -rf "$work"
mkdir -p "$work"
export KORVANE_NET_PORT="$port" KORVANE_NET_HOSTS="127.0.0.1:$port" KORVANE_FIXED_STEP_PACED=1
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Whether program $1 has logged $2.
logged() { grep -q -- "$2" "$work/$1.log" 2>/dev/null; }
