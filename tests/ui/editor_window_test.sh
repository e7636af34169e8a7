#!/usr/bin/env bash
# Opens OXN3's editor in a real host on a virtual X display (xvfb-run, matchbox-window-manager),
# takes a screenshot of the screen with xwd and checks that it shows a drawn window, not an empty
# screen. Every program is bounded in time.
#   editor_window_test.sh <png> host <vst3|lv2> <bundle> <oxn3_editor_window>
#   editor_window_test.sh <png> jalv <bundle> <uri>
#   editor_window_test.sh <png> standalone <app>
# (The script runs itself a second time inside xvfb-run, with --on-display.)
set -euo pipefail
settle=3      # seconds the window gets to paint after it appears
min_colours=200

if [ "${1:-}" != "--on-display" ]; then
  png=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
  shift
  args=()
  for a in "$@"; do
    if [ -e "$a" ]; then args+=("$(cd "$(dirname "$a")" && pwd)/$(basename "$a")"); else args+=("$a"); fi
  done
  # As root, JACK (for jalv) gets a private, empty /dev/shm: killed servers leave entries there.
  if [ "${args[0]}" = jalv ] && [ "$(id -u)" -eq 0 ] && command -v unshare >/dev/null 2>&1; then
    exec timeout 150 unshare --mount --propagation private bash -c \
      'mount -t tmpfs -o size=256m tmpfs /dev/shm && exec xvfb-run -a -s "-screen 0 1280x800x24" bash "$0" --on-display "$@"' \
      "$0" "$png" "${args[@]}"
  fi
  exec timeout 150 xvfb-run -a -s "-screen 0 1280x800x24" bash "$0" --on-display "$png" "${args[@]}"
fi

shift
png=$1
kind=$2
shift 2
work=$(mktemp -d)
pids=()
# Every background program runs under `timeout -k`; whatever still runs two seconds after our TERM
# is killed, so the clean-up itself cannot wait without end.
cleanup() {
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
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; cat "$work"/*.log >&2 2>/dev/null || true; exit 1; }

timeout -k 2 140 matchbox-window-manager -use_titlebar no >"$work/wm.log" 2>&1 &
pids+=($!)

case "$kind" in
  host)
    timeout -k 2 90 "$3" "$1" "$2" 60 >"$work/host.log" 2>&1 &
    ;;
  standalone)
    timeout -k 2 90 "$1" >"$work/app.log" 2>&1 &
    ;;
  jalv)
    export LV2_PATH="$(dirname "$1"):/usr/lib/lv2"
    export JACK_DEFAULT_SERVER="oxn3-ui-$$" JACK_NO_START_SERVER=1 JACK_NO_AUDIO_RESERVATION=1
    timeout -k 2 90 jackd --no-realtime --name "$JACK_DEFAULT_SERVER" -d dummy -r 44100 -p 512 >"$work/jackd.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 50); do timeout 5 jack_lsp >/dev/null 2>&1 && break; sleep 0.2; done
    timeout 5 jack_lsp >/dev/null 2>&1 || fail "jackd did not start"
    timeout -k 2 90 jalv.gtk3 "$2" >"$work/jalv.log" 2>&1 </dev/null &
    ;;
  *) fail "unknown kind $kind" ;;
esac
app=$!
pids+=($app)

# Wait (bounded) for a window named after the plug-in, then let it paint.
# A loaded machine may take long to start the host and open the window.
for _ in $(seq 90); do
  timeout 5 xwininfo -root -tree 2>/dev/null | grep -qi "oxn3" && break
  kill -0 "$app" 2>/dev/null || fail "$kind ended before its window appeared"
  sleep 0.5
done
timeout 5 xwininfo -root -tree 2>/dev/null | grep -qi "oxn3" || fail "no OXN3 window appeared"
sleep "$settle"
kill -0 "$app" 2>/dev/null || fail "$kind ended while its window was open"

timeout 30 xwd -root -silent >"$work/screen.xwd" || fail "xwd failed"
timeout 30 convert "xwd:$work/screen.xwd" "$png" || fail "convert failed"
colours=$(timeout 30 convert "$png" -format %k info:)
echo "$kind: screenshot $png with $colours colours"
[ "$colours" -ge "$min_colours" ] || fail "the screenshot is blank ($colours colours)"
