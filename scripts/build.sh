#!/usr/bin/env bash
# The first command of the README: installs what is missing, builds OXN3 as VST3, LV2 and
# Standalone, installs the bundles into ~/.vst3 and ~/.lv2 and the default skin into the data
# folder, and renders a short demo WAV through the built VST3 with the headless host.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

build=${OXN3_BUILD_DIR:-build}
jobs=${OXN3_JOBS:-$(nproc)}
demo=${OXN3_DEMO_WAV:-out/oxn3-demo.wav}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DOXN3_BUILD_PLUGIN=ON
cmake --build "$build" -j "$jobs" --target OXN3_All oxn3_render_demo
cmake --install "$build" --component plugins

# OXN3's own skin into the data folder ($XDG_DATA_HOME, or ~/.local/share when unset or relative).
data_home=${XDG_DATA_HOME:-}
case "$data_home" in /*) ;; *) data_home="$HOME/.local/share" ;; esac
skin="$data_home/Quellbrook/OXN3/Default Skin"
mkdir -p "$skin"
cp "$build/tools/skin/Default Skin/"*.png "$skin/"

mkdir -p "$(dirname "$demo")"
"$build/tools/headless_host/oxn3_render_demo" "$build/processor/OXN3_artefacts/Release/VST3/OXN3.vst3" "$demo" 8

echo
echo "Installed: $HOME/.vst3/OXN3.vst3 and $HOME/.lv2/OXN3.lv2"
echo "Skin: $skin"
echo "Standalone: $build/processor/OXN3_artefacts/Release/Standalone/OXN3"
echo "Demo: $demo"
