# Sourced by the test scripts that start programs in the background. Every program they start
# runs under `timeout -k`; whatever still runs two seconds after the clean-up's TERM is killed
# (jack_midiseq, for one, does not always end on TERM), so the clean-up itself cannot wait without end.

# Makes $work and arranges the clean-up of everything started with start_bounded.
session_begin() {
  work=$(mktemp -d)
  pids=()
  trap session_cleanup EXIT
}

session_cleanup() {
  local pid running
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for _ in $(seq 20); do
    running=0
    for pid in "${pids[@]}"; do if kill -0 "$pid" 2>/dev/null; then running=1; fi; done
    [ "$running" -eq 0 ] && break
    sleep 0.1
  done
  for pid in "${pids[@]}"; do pkill -9 -P "$pid" 2>/dev/null || true; kill -9 "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}

fail() { echo "FAIL: $*" >&2; cat "$work"/*.log >&2 2>/dev/null || true; exit 1; }

# Starts a program in the background, bounded, with its output in $work/<log>; its pid is $last_pid.
#   start_bounded <seconds> <log> <program> <args...>
start_bounded() {
  local seconds=$1 log=$2
  shift 2
  timeout -k 2 "$seconds" "$@" >"$work/$log" 2>&1 </dev/null &
  last_pid=$!
  pids+=("$last_pid")
}
