#!/usr/bin/env bash
# The built Standalone app carries JUCE's JACK device type, so its audio settings offer JACK beside
# ALSA; checked in the binary itself, without a display or a JACK server.
#   standalone_jack_test.sh <path/to/OXN3>
set -euo pipefail
symbols=$(nm -C --defined-only "$1")
for type in ALSAAudioIODeviceType JackAudioIODeviceType; do
  grep -q "vtable for juce::.*$type" <<<"$symbols" || { echo "FAIL: $1 has no $type" >&2; exit 1; }
done
echo "the Standalone app offers ALSA and JACK"
