#!/usr/bin/env bash
# Checks the built LV2 bundle with hosts that share no code with JUCE: lv2info must list the
# plug-in with its MIDI ports, and jalv, run under a dummy JACK server and fed a note by
# jack_midiseq, must produce audio that jack_rec records. Everything is bounded in time and
# cleaned up; no network, no sound card.
#   lv2_debian_tools_test.sh <path/to/OXN3.lv2> <plug-in URI>
set -euo pipefail

# JACK keeps its server registry in /dev/shm, and a server that was killed leaves its entry behind;
# enough of those and no new server starts. As root, run in a private, empty /dev/shm.
if [ -z "${OXN3_PRIVATE_SHM:-}" ] && [ "$(id -u)" -eq 0 ] && command -v unshare >/dev/null 2>&1; then
  export OXN3_PRIVATE_SHM=1
  exec unshare --mount --propagation private \
    bash -c 'mount -t tmpfs -o size=256m tmpfs /dev/shm && exec bash "$0" "$@"' "$0" "$@"
fi

bundle=$(cd "$1" && pwd)
uri=$2
rate=44100
period=512
note=5            # pattern-mode note: plays pattern 5
seconds=3

. "$(dirname "$0")/../bounded_session.sh"
session_begin

# This bundle and the LV2 vocabularies in /usr/lib/lv2 (for class names), and a JACK server of our own that no
# other client can meet.
export LV2_PATH="$(dirname "$bundle"):/usr/lib/lv2"
export JACK_DEFAULT_SERVER="oxn3-test-$$"
export JACK_NO_START_SERVER=1
export JACK_NO_AUDIO_RESERVATION=1

# --- lv2info: the plug-in as an instrument, and its description with a MIDI input and output port
timeout 30 lv2info "$uri" >"$work/lv2info.txt" 2>&1 || { cat "$work/lv2info.txt"; fail "lv2info cannot read $uri"; }
grep -q "Name:[[:space:]]*OXN3" "$work/lv2info.txt" || fail "lv2info shows no plug-in named OXN3"
grep -q "Class:[[:space:]]*Instrument" "$work/lv2info.txt" || { cat "$work/lv2info.txt"; fail "not classed as an instrument"; }
timeout 30 lv2info -p "$work/plugin.ttl" "$uri" >/dev/null 2>&1 || fail "lv2info cannot describe $uri"
midi_ports=$(grep -c "midi#MidiEvent" "$work/plugin.ttl" || true)
atom_inputs=$(grep -A1 "atom#AtomPort" "$work/plugin.ttl" | grep -c "InputPort" || true)
atom_outputs=$(grep -A1 "atom#AtomPort" "$work/plugin.ttl" | grep -c "OutputPort" || true)
if [ "$midi_ports" -lt 2 ] || [ "$atom_inputs" -lt 1 ] || [ "$atom_outputs" -lt 1 ]; then
  cat "$work/plugin.ttl"
  fail "expected a MIDI input and a MIDI output port"
fi

# --- a dummy JACK server
start_bounded 90 jackd.log jackd --no-realtime --name "$JACK_DEFAULT_SERVER" -d dummy -r "$rate" -p "$period"
for _ in $(seq 100); do
  timeout 5 jack_lsp >/dev/null 2>&1 && break
  sleep 0.1
done
timeout 5 jack_lsp >/dev/null 2>&1 || { cat "$work/jackd.log"; fail "jackd did not start"; }

# --- jalv hosts the plug-in
# jalv reads commands from stdin: a FIFO this script holds open keeps it waiting, and closes with us.
mkfifo "$work/jalv.in"
exec 3<>"$work/jalv.in"
timeout -k 2 60 jalv -x -n oxn3 "$uri" <"$work/jalv.in" >"$work/jalv.log" 2>&1 &
pids+=($!)
ports_of() { timeout 5 jack_lsp -p -t oxn3 2>/dev/null | awk -v want="$1" -v kind="$2" '
  /^oxn3:/ { name = $0; next }
  /properties:/ { dir = ($0 ~ want) ? 1 : 0; next }
  dir && index($0, kind) { print name; dir = 0 }'; }
for _ in $(seq 100); do
  [ -n "$(ports_of output audio)" ] && [ -n "$(ports_of input midi)" ] && break
  sleep 0.1
done
audio_out=$(ports_of output audio | head -n 1)
midi_in=$(ports_of input midi | head -n 1)
[ -n "$audio_out" ] && [ -n "$midi_in" ] || { cat "$work/jalv.log"; timeout 5 jack_lsp -p -t; fail "jalv shows no ports"; }

# --- a note loop into the plug-in: on for half of every second
start_bounded 60 midiseq.log jack_midiseq seq "$rate" 0 "$note" $((rate / 2))
for _ in $(seq 50); do timeout 5 jack_lsp | grep -q '^seq:' && break; sleep 0.1; done
seq_out=$(timeout 5 jack_lsp seq: | head -n 1)
timeout 5 jack_connect "$seq_out" "$midi_in" || fail "cannot connect $seq_out to $midi_in"

# --- record the plug-in's output
timeout 30 jack_rec -f "$work/out.wav" -d "$seconds" -b 16 "$audio_out" >"$work/rec.log" 2>&1 ||
  { cat "$work/rec.log"; fail "jack_rec failed"; }

peak=$(python3 - "$work/out.wav" <<'PY'
import array, sys, wave
with wave.open(sys.argv[1]) as w:
    samples = array.array("h", w.readframes(w.getnframes()))
print(max((abs(s) for s in samples), default=0) / 32768.0)
PY
)
echo "lv2info: OXN3 with $midi_ports MIDI ports; jalv output peak $peak over $seconds s"
python3 -c "import sys; sys.exit(0 if float('$peak') > 0.01 else 1)" || fail "jalv rendered silence (peak $peak)"
