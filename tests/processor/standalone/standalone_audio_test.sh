#!/usr/bin/env bash
# The Standalone's audio device on a virtual display (xvfb-run, matchbox-window-manager), with an
# ALSA device stored that cannot be opened now. First without a JACK server: the window says that
# no output plays (oxn3_standalone_tests). Then with a private JACK server on the dummy driver: the
# window plays through JACK (the same program), and so does the built app, whose output ports
# appear on the server connected to its playback ports. Everything is bounded in time.
#   standalone_audio_test.sh <oxn3_standalone_tests> <app>
# (The script runs itself again inside xvfb-run, with --on-display.)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../ui/window/x11_session.sh"

# JACK keeps its server registry in /dev/shm, where killed servers leave entries; as root, run in a
# private, empty one.
if [ "${1:-}" != "--on-display" ]; then
  if [ -z "${OXN3_PRIVATE_SHM:-}" ] && [ "$(id -u)" -eq 0 ] && command -v unshare >/dev/null 2>&1; then
    export OXN3_PRIVATE_SHM=1
    exec timeout -k 5 200 unshare --mount --propagation private \
      bash -c 'mount -t tmpfs -o size=256m tmpfs /dev/shm && exec bash "$0" "$@"' "$here/$(basename "$0")" "$@"
  fi
  rerun_on_virtual_display 90 "$here/$(basename "$0")" "$(absolute_path "$1")" "$(absolute_path "$2")"
fi
tests=$2
app=$3
session_begin

export HOME=$work/home XDG_DATA_HOME=$work/data
mkdir -p "$HOME/.config" "$XDG_DATA_HOME"
cat >"$HOME/.asoundrc" <<'ALSA'
pcm.oxn3gone {
  type hw
  card 7
  hint { show on description "Unplugged card" }
}
ALSA
cat >"$HOME/.config/OXN3.settings" <<'SETTINGS'
<?xml version="1.0" encoding="UTF-8"?>
<PROPERTIES>
  <VALUE name="audioSetup">
    <DEVICESETUP deviceType="ALSA" audioOutputDeviceName="Unplugged card" audioInputDeviceName=""/>
  </VALUE>
</PROPERTIES>
SETTINGS
export JACK_DEFAULT_SERVER="oxn3-standalone-$$" JACK_NO_START_SERVER=1 JACK_NO_AUDIO_RESERVATION=1
start_window_manager
# A window made before the window manager has named its atoms dies of an X error (BadAtom).
for _ in $(seq 50); do
  timeout -k 1 5 xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
timeout -k 1 5 xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' || fail "no window manager"

timeout -k 2 60 "$tests" --gtest_filter="*WithoutAnOutput*" || fail "the window test without a JACK server failed"

start_bounded 90 jackd.log jackd --no-realtime --name "$JACK_DEFAULT_SERVER" -d dummy -r 44100 -p 512
for _ in $(seq 50); do timeout -k 1 5 jack_lsp >/dev/null 2>&1 && break; sleep 0.2; done
timeout -k 1 5 jack_lsp >/dev/null 2>&1 || fail "jackd did not start"
OXN3_TEST_JACK=1 timeout -k 2 60 "$tests" --gtest_filter="*JackRunning*" || fail "the window test with a JACK server failed"

start_bounded 60 app.log "$app"
for _ in $(seq 100); do
  timeout -k 1 5 jack_lsp -c OXN3:out_1 2>/dev/null | grep -q 'system:playback_1' && break
  sleep 0.2
done
timeout -k 1 5 jack_lsp -c >"$work/ports.log" 2>&1 || true
grep -A1 '^OXN3:out_1' "$work/ports.log" | grep -q 'system:playback_1' ||
  fail "the Standalone app does not play through JACK although the stored ALSA device cannot be opened"
echo "the Standalone app plays through JACK: $(grep -c '^OXN3:' "$work/ports.log") ports"
