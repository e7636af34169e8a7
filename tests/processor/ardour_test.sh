#!/usr/bin/env bash
# Plays the built plug-in in Debian's Ardour, headless (ardour7-lua, dummy audio backend), the way
# a musician meets it: a new session with a MIDI track and OXN3 as its instrument, Cutoff and
# Resonance set through Ardour, four seconds exported with the transport rolling (host-sync
# pattern mode plays the current pattern), the session saved, closed, reopened and exported again.
#   ardour_test.sh <LV2|VST3> <path/to/OXN3.lv2 or OXN3.vst3> <LV2 URI>
set -euo pipefail

format=$1
bundle=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL ($format): $*" >&2; exit 1; }

# A HOME of our own: Ardour's configuration, its plug-in cache and the plug-in's data folder.
export HOME=$work/home XDG_DATA_HOME=$work/home/.local/share XDG_CONFIG_HOME=$work/home/.config
export XDG_CACHE_HOME=$work/home/.cache
mkdir -p "$HOME"
export OXN3_FORMAT=$format OXN3_LV2_URI=$3 OXN3_SESSION_DIR=$work/session

# cp -p keeps the build's file times: Ardour takes a VST3 module newer than its scan as updated
# and a headless session then ignores it.
if [ "$format" = LV2 ]; then
  mkdir -p "$HOME/.lv2" && cp -rp "$bundle" "$HOME/.lv2/"
else
  mkdir -p "$HOME/.vst3" && cp -rp "$bundle" "$HOME/.vst3/"
  # Ardour takes a module as changed since its scan when both fall in the same second (a bundle
  # built just before the test): date the copy a minute back.
  find "$HOME/.vst3" -exec touch -h -d "@$(( $(date +%s) - 60 ))" {} +
  LD_LIBRARY_PATH=/usr/lib/ardour7 timeout 60 /usr/lib/ardour7/ardour-vst3-scanner -f "$HOME/.vst3/$(basename "$bundle")" \
    >"$work/scan.log" 2>&1 || { cat "$work/scan.log"; fail "Ardour's VST3 scanner rejects the bundle"; }
fi

# Ardour 7.3 now and then aborts while it closes a headless session, with or without this
# plug-in (its own synth too): a step that does not finish is tried again, from scratch.
run_ardour() { # <step> <export folder>
  for attempt in 1 2 3; do
    if [ "$1" = new ]; then rm -rf "$OXN3_SESSION_DIR"; fi
    rm -rf "$2" && mkdir -p "$2"
    status=0
    OXN3_STEP=$1 OXN3_EXPORT_DIR=$2 timeout 25 ardour7-lua "$here/ardour_session.lua" >"$work/$1.log" 2>&1 || status=$?
    if [ "$status" -eq 0 ] && grep -q '^oxn3 done' "$work/$1.log" && ! grep -q '^Error' "$work/$1.log"; then
      return 0
    fi
    echo "ardour7-lua ($1, attempt $attempt) ended with status $status:" >&2
    grep -v '^oxn3 \|Ignored format' "$work/$1.log" | tail -n 5 >&2
  done
  fail "ardour7-lua ($1) did not finish"
}
run_ardour new "$work/new"
run_ardour reopen "$work/reopened"

python3 - "$format" "$work" <<'PY'
import array, glob, sys, wave

fmt, work = sys.argv[1], sys.argv[2]

def controls(tag):
    shown = {}
    for line in open(f"{work}/new.log").readlines() + open(f"{work}/reopen.log").readlines():
        parts = line.split(maxsplit=4)
        if len(parts) == 5 and parts[0] == "oxn3" and parts[1] == tag:
            shown[parts[4].strip()] = (float(parts[2]), float(parts[3]))
    return shown

def rms_per_half_second(folder):
    files = glob.glob(f"{folder}/*.wav")
    if len(files) != 1:
        sys.exit(f"FAIL ({fmt}): expected one exported WAV in {folder}, found {files}")
    with wave.open(files[0]) as w:
        assert w.getsampwidth() == 2, "expected 16-bit samples"
        channels, rate = w.getnchannels(), w.getframerate()
        samples = array.array("h", w.readframes(w.getnframes()))
    left = samples[::channels]
    half = rate // 2
    return [(sum((s / 32768.0) ** 2 for s in left[i:i + half]) / half) ** 0.5
            for i in range(0, len(left) - half + 1, half)]

failures = []
fresh, edited, reopened = controls("fresh"), controls("edited"), controls("reopened")
if len(fresh) < 18:
    failures.append(f"Ardour shows {len(fresh)} controls, not the plug-in's 18 parameters")
# Ardour 7.3 keeps an LV2 property control's value itself: it reads 0 until Ardour sets it and is
# not restored with the session, whatever the plug-in reports. Those values are only shown here.
checked = ("fresh", "edited", "reopened") if fmt == "VST3" else ("edited",)
print(f"{fmt}: a new instance shows Volume {fresh.get('Volume')}, a reopened one Cutoff {reopened.get('Cutoff')}"
      " (value, default)")
if "fresh" in checked:
    wrong = {n: v for n, (v, default) in fresh.items() if abs(v - default) > 1e-4}
    if wrong or abs(fresh.get("Volume", (0, 0))[0] - 0.75) > 1e-4:
        failures.append(f"a new instance shows {wrong}, not its defaults")
for name, value in (("Cutoff", 0.6), ("Resonance", 0.8)):
    for label in checked[1:] if "fresh" in checked else checked:
        got = {"edited": edited, "reopened": reopened}[label].get(name, (None,))[0]
        if got is None or abs(got - value) > 1e-4:
            failures.append(f"{name} reads {got} when {label}, not {value}")

renders = {}
for label in ("new", "reopened"):
    rms = rms_per_half_second(f"{work}/{label}")
    renders[label] = rms
    print(f"{fmt} {label}: RMS per half second " + ", ".join(f"{r:.3f}" for r in rms))
    if len(rms) < 8 or rms[0] < 0.01:
        failures.append(f"the {label} session's export is too short or silent")
    elif rms[-1] < 0.5 * rms[0]:
        failures.append(f"the {label} session's pattern dies away while the transport rolls")
if all(len(r) >= 8 for r in renders.values()) and any(
        abs(a - b) > 0.1 * max(a, b) for a, b in zip(renders["new"], renders["reopened"])):
    failures.append("the reopened session renders differently")

for failure in failures:
    print(f"FAIL ({fmt}): {failure}", file=sys.stderr)
sys.exit(1 if failures else 0)
PY
