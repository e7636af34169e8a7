#!/usr/bin/env bash
# Opens OXN3's editor in a real host on a virtual X display (xvfb-run, matchbox-window-manager),
# takes a screenshot of the screen with xwd and checks that it shows a drawn window, not an empty
# screen, and that in the Standalone's and jalv's windows, which matchbox maximises, the panel
# keeps its shape, centred between plain margins. Every program is bounded in time.
#   editor_window_test.sh <png> host <vst3|lv2> <bundle> <oxn3_editor_window>
#   editor_window_test.sh <png> jalv <bundle> <uri>
#   editor_window_test.sh <png> standalone <app>
# (The script runs itself a second time inside xvfb-run, with --on-display.)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/x11_session.sh"
settle=3      # seconds the window gets to paint after it appears
min_colours=200

if [ "${1:-}" != "--on-display" ]; then
  args=()
  for a in "$@"; do
    if [ -e "$a" ] || [ "$a" = "$1" ]; then args+=("$(absolute_path "$a")"); else args+=("$a"); fi
  done
  # As root, JACK (for jalv) gets a private, empty /dev/shm: killed servers leave entries there.
  if [ "${args[1]}" = jalv ] && [ "$(id -u)" -eq 0 ] && command -v unshare >/dev/null 2>&1; then
    for attempt in 1 2; do
      timeout -k 5 150 unshare --mount --propagation private bash -c \
        'mount -t tmpfs -o size=256m tmpfs /dev/shm && exec xvfb-run -a -n "$2" -s "$1" bash "$0" --on-display "${@:3}"' \
        "$here/$(basename "$0")" "$xvfb_server_args" "$(xvfb_first_display)" "${args[@]}" && exit 0
      echo "attempt $attempt on a virtual display failed" >&2
    done
    exit 1
  fi
  rerun_on_virtual_display 150 "$here/$(basename "$0")" "${args[@]}"
fi

shift
png=$1
kind=$2
shift 2
session_begin
start_window_manager

case "$kind" in
  host) start_bounded 90 host.log "$3" "$1" "$2" 60 ;;
  standalone) start_bounded 90 app.log "$1" ;;
  jalv)
    export LV2_PATH="$(dirname "$1"):/usr/lib/lv2"
    export JACK_DEFAULT_SERVER="oxn3-ui-$$" JACK_NO_START_SERVER=1 JACK_NO_AUDIO_RESERVATION=1
    start_bounded 90 jackd.log jackd --no-realtime --name "$JACK_DEFAULT_SERVER" -d dummy -r 44100 -p 512
    for _ in $(seq 50); do timeout -k 1 5 jack_lsp >/dev/null 2>&1 && break; sleep 0.2; done
    timeout -k 1 5 jack_lsp >/dev/null 2>&1 || fail "jackd did not start"
    start_bounded 90 jalv.log jalv.gtk3 "$2"
    ;;
  *) fail "unknown kind $kind" ;;
esac
app=$last_pid

wait_for_window oxn3 "$app" "$kind"
sleep "$settle"
kill -0 "$app" 2>/dev/null || fail "$kind ended while its window was open"

screenshot "$png"
colours=$(timeout -k 2 30 convert "$png" -format %k info:)
echo "$kind: screenshot $png with $colours colours"
[ "$colours" -ge "$min_colours" ] || fail "the screenshot is blank ($colours colours)"
[ "$kind" = host ] && exit 0 # the test tool's window keeps the size its editor asks for
# matchbox gives the Standalone's and jalv's windows the whole screen.
screen=$(timeout -k 2 10 xwininfo -root | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { if (w) print w, h }')
[ -n "$screen" ] || fail "no screen size"
timeout -k 2 60 python3 "$here/check_centred_panel.py" "$png" 0 0 $screen || fail "the panel is not centred on plain margins"
