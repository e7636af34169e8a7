# Sourced by the scripts that drive OXN3's windows on a virtual X display (xvfb-run,
# matchbox-window-manager). Every program they start runs under `timeout -k`; whatever still runs
# two seconds after the clean-up's TERM is killed, so the clean-up itself cannot wait without end.

xvfb_server_args="-screen 0 1280x800x24"

absolute_path() { echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; }

# A display number to start the search for a free one from: a server that the previous test's
# xvfb-run is still taking down must not be picked up again.
xvfb_first_display() { echo $((200 + RANDOM % 600)); }

# Runs the calling script again inside xvfb-run, with --on-display before its arguments. A virtual
# X server now and then dies under a starting client on a loaded machine; the whole session is
# then tried once more on a new display, so one failure alone does not fail the test.
#   rerun_on_virtual_display <seconds> <script> <args...>
rerun_on_virtual_display() {
  local seconds=$1 script=$2 attempt
  shift 2
  for attempt in 1 2; do
    if timeout -k 5 "$seconds" xvfb-run -a -n "$(xvfb_first_display)" -s "$xvfb_server_args" \
         bash "$script" --on-display "$@"; then
      exit 0
    fi
    echo "attempt $attempt on a virtual display failed" >&2
  done
  exit 1
}

. "$(dirname "${BASH_SOURCE[0]}")/../../bounded_session.sh"

start_window_manager() { start_bounded 120 wm.log matchbox-window-manager -use_titlebar no; }

# Waits (bounded) for a window whose name matches <pattern>, while <pid> runs.
wait_for_window() {
  local pattern=$1 pid=$2 what=$3
  for _ in $(seq 90); do # a loaded machine may take long to open the window
    timeout -k 2 5 xwininfo -root -tree 2>/dev/null | grep -qi "$pattern" && return 0
    kill -0 "$pid" 2>/dev/null || fail "$what ended before its window appeared"
    sleep 0.5
  done
  fail "no window named $pattern appeared"
}

screenshot() {
  timeout -k 2 30 xwd -root -silent >"$work/screen.xwd" || fail "xwd failed"
  timeout -k 2 30 convert "xwd:$work/screen.xwd" "$1" || fail "convert failed"
}
