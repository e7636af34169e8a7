#!/usr/bin/env bash
# Opens OXN3's editor in a real host on a virtual X display (xvfb-run, matchbox-window-manager),
# takes a screenshot of the screen with xwd and checks that it shows a drawn window, not an empty
# screen, and that in the window, which matchbox maximises on a screen wider than the panel's
# largest size, the panel keeps its shape, centred between plain margins. The test host's window
# resizes to fit its content: two seconds after it shows, the editor must fill it and neither may
# be resized over the next second. Every program is bounded in time.
#   editor_window_test.sh <png> host <vst3|lv2> <bundle> <oxn3_editor_window>
#   editor_window_test.sh <png> jalv <bundle> <uri>
#   editor_window_test.sh <png> standalone <app>
# (The script runs itself a second time inside xvfb-run, with --on-display.)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/x11_session.sh"
settle=3      # seconds the window gets to paint after it appears
screen_args="-screen 0 1700x700x24"
min_colours=200

if [ "${1:-}" != "--on-display" ]; then
  xvfb_server_args=$screen_args
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
  host) start_bounded 90 host.log "$3" "$1" "$2" 30 ;;
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
if [ "$kind" = host ]; then
  # The host reports two seconds after its window shows, having watched it for one more.
  for _ in $(seq 120); do grep -q '^settled:' "$work/host.log" && break; sleep 0.5; done
  settled=$(grep '^settled:' "$work/host.log") || fail "the host did not report its window"
  echo "$settled"
  n='(-?[0-9]+)'
  pattern="^settled: window area $n $n, editor $n $n $n $n; resizes in one second: window $n, editor $n;.*"
  read -r area_w area_h x y w h window_resizes editor_resizes \
    < <(echo "$settled" | sed -E "s/$pattern/\\1 \\2 \\3 \\4 \\5 \\6 \\7 \\8/")
  [ "$window_resizes" -eq 0 ] && [ "$editor_resizes" -eq 0 ] || fail "the window is still being resized"
  [ "$x $y $w $h" = "0 0 $area_w $area_h" ] || fail "the editor does not fill its window"
else
  sleep "$settle"
fi
kill -0 "$app" 2>/dev/null || fail "$kind ended while its window was open"

screenshot "$png"
colours=$(timeout -k 2 30 convert "$png" -format %k info:)
echo "$kind: screenshot $png with $colours colours"
[ "$colours" -ge "$min_colours" ] || fail "the screenshot is blank ($colours colours)"
# matchbox gives every window the whole screen.
screen=$(timeout -k 2 10 xwininfo -root | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { if (w) print w, h }')
[ -n "$screen" ] || fail "no screen size"
timeout -k 2 60 python3 "$here/check_centred_panel.py" "$png" 0 0 $screen || fail "the panel is not centred on plain margins"
