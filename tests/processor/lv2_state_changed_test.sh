#!/usr/bin/env bash
# An LV2 host that shares no code with JUCE hears OXN3 say that its state changed: jalv.gtk3,
# under a dummy JACK server on a virtual display, loads a saved state in which a key is learned to
# lengthen the pattern, and prints what the plug-in sends its window (-d). No state:StateChanged
# may come while the instance only runs with its window open; one must come once jack_midiseq
# plays the key. No window manager: a maximising one would resize the window, itself a change.
#   lv2_state_changed_test.sh <path/to/OXN3.lv2> <plug-in URI>
set -euo pipefail

if [ "${1:-}" != --on-display ]; then
  display=$((200 + RANDOM % 600))
  if [ "$(id -u)" -eq 0 ] && command -v unshare >/dev/null 2>&1; then
    # As root, JACK gets a private, empty /dev/shm: killed servers leave entries there.
    exec timeout -k 5 120 unshare --mount --propagation private bash -c \
      'mount -t tmpfs -o size=256m tmpfs /dev/shm && exec xvfb-run -a -n "$1" bash "$0" --on-display "${@:2}"' \
      "$0" "$display" "$@"
  fi
  exec timeout -k 5 120 xvfb-run -a -n "$display" bash "$0" --on-display "$@"
fi
shift

bundle=$(cd "$1" && pwd)
uri=$2
key=60

. "$(dirname "$0")/../bounded_session.sh"
session_begin
export HOME=$work XDG_DATA_HOME=$work
export LV2_PATH="$(dirname "$bundle"):/usr/lib/lv2"
export JACK_DEFAULT_SERVER="oxn3-state-$$" JACK_NO_START_SERVER=1 JACK_NO_AUDIO_RESERVATION=1

# The saved state as JUCE's LV2 wrapper keeps it: our XML block in JUCE's own base64 text. Key 60 is
# learned to "Steps Increase"; the editor size lies on the panel's shape, so the window opening
# at that size changes nothing.
python3 - "$uri" "$key" "$work/state" <<'PY'
import os, struct, sys
uri, key, folder = sys.argv[1], int(sys.argv[2]), sys.argv[3]
xml = ('<?xml version="1.0" encoding="UTF-8"?><MYPLUGINSETTINGS uiWidth="980" uiHeight="359">'
       '<MidiKeyMap key%d="230"/></MYPLUGINSETTINGS>' % key).encode()
block = struct.pack("<II", 0x21324356, len(xml)) + xml + b"\0"  # "VC2!", text length, text
table = ".ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+"
bits = int.from_bytes(block, "little")  # JUCE takes six bits at a time from the lowest
text = "%d.%s" % (len(block), "".join(table[(bits >> (6 * i)) & 63] for i in range((len(block) * 8 + 5) // 6)))
os.makedirs(folder)
prefixes = "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
with open(folder + "/manifest.ttl", "w") as f:
    f.write(prefixes + "<state.ttl> a pset:Preset ; lv2:appliesTo <%s> .\n" % uri)
with open(folder + "/state.ttl", "w") as f:
    f.write(prefixes + "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
            '<> a pset:Preset ; lv2:appliesTo <%s> ; state:state [ <%s:StateString> "%s" ] .\n' % (uri, uri, text))
PY

start_bounded 90 jackd.log jackd --no-realtime --name "$JACK_DEFAULT_SERVER" -d dummy -r 44100 -p 512
for _ in $(seq 100); do timeout 5 jack_lsp >/dev/null 2>&1 && break; sleep 0.1; done
timeout 5 jack_lsp >/dev/null 2>&1 || fail "jackd did not start"

# jalv prints what goes to the window line by line (its output is a file here).
start_bounded 60 jalv.log stdbuf -oL jalv.gtk3 -d -x -n oxn3 -l "$work/state" "$uri"
for _ in $(seq 100); do timeout 5 jack_lsp | grep -q '^oxn3:in$' && break; sleep 0.1; done
timeout 5 jack_lsp | grep -q '^oxn3:in$' || fail "jalv shows no MIDI input"
sleep 2 # several of the plug-in's looks at its state, window open
told() { grep -c 'state#StateChanged' "$work/jalv.log" || true; }
[ "$(told)" -eq 0 ] || fail "state:StateChanged with nothing edited"
grep -q 'Plugin => UI' "$work/jalv.log" || fail "jalv forwards nothing to the plug-in's window"

start_bounded 60 midiseq.log jack_midiseq seq 44100 0 "$key" 22050
for _ in $(seq 50); do timeout 5 jack_lsp | grep -q '^seq:out$' && break; sleep 0.1; done
timeout 5 jack_connect seq:out oxn3:in || fail "cannot connect the note to the plug-in"
for _ in $(seq 50); do [ "$(told)" -gt 0 ] && break; sleep 0.1; done
[ "$(told)" -gt 0 ] || fail "no state:StateChanged after the learned key lengthened the pattern"
echo "jalv heard state:StateChanged $(told) time(s) after the learned key, none before"
