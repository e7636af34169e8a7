#!/usr/bin/env bash
# The editor's popup menu in the Standalone app on a virtual display, driven with xdotool as a user
# would: a click on the status line opens the menu (screenshot); "Save Pattern" writes the pattern
# through JUCE's own file dialog, into the patterns folder of a fresh data folder, a name typed
# without ".pat" getting it; "Load Pattern" and the menu's pattern-file items load files back, each
# load checked by saving the pattern again and comparing bytes; saving over a file asks first.
# Screenshots go to the snapshot folder.
#   patch_menu_window_test.sh <snapshot folder> <app>
set -euo pipefail
command -v xdotool >/dev/null || { echo "FAIL: xdotool is not installed (scripts/setup.sh)" >&2; exit 1; }
here=$(cd "$(dirname "$0")" && pwd)
. "$here/x11_session.sh"

if [ "${1:-}" != "--on-display" ]; then
  rerun_on_virtual_display 80 "$here/$(basename "$0")" "$(absolute_path "$1")" "$(absolute_path "$2")"
fi
shots=$2
app=$3
session_begin

export HOME=$work/home XDG_DATA_HOME=$work/data
patterns=$XDG_DATA_HOME/Quellbrook/OXN3/Patterns
mkdir -p "$HOME" "$XDG_DATA_HOME" "$work/bin"
# JUCE uses zenity or kdialog when `which` finds one; hide them so its own dialog opens everywhere.
cat >"$work/bin/which" <<'EOF'
#!/bin/sh
case "$1" in zenity|kdialog) exit 1 ;; esac
exec /usr/bin/which "$@"
EOF
chmod +x "$work/bin/which"

xdo() { timeout -k 1 5 xdotool "$@"; }

# The first visible window named <name>, waited for (bounded).
window_named() {
  local id
  for _ in $(seq 40); do
    id=$(xdo search --onlyvisible --name "$1" 2>/dev/null | head -1) || true
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.25
  done
  screenshot "$shots/patch_menu_no_window.png"
  fail "no window named $1"
}

# X Y WIDTH HEIGHT of window <id> once the window manager has stopped moving it.
settled_geometry() {
  local last="" now
  for _ in $(seq 20); do
    sleep 0.3
    now=$(xdo getwindowgeometry --shell "$1" | grep -E '^(X|Y|WIDTH|HEIGHT)=') || true
    [ -n "$now" ] && [ "$now" = "$last" ] && { eval "$now"; return 0; }
    last=$now
  done
  fail "window $1 did not settle"
}

wait_until_closed() {
  for _ in $(seq 40); do
    [ -z "$(xdo search --onlyvisible --name "$1" 2>/dev/null)" ] && return 0
    sleep 0.25
  done
  fail "the window $1 stayed open"
}

# The status line sits at (244, 6, 216, 25) of the 754 x 276 design, scaled by the editor's width,
# on the panel, which a maximised window centres in the area below the Standalone window's title bar.
title_bar=26
design_to_screen() { awk -v o="$1" -v d="$2" -v w="$EW" 'BEGIN { printf "%d", o + d * w / 754 + 0.5 }'; }
panel_top() {
  awk -v y="$EY" -v t="$title_bar" -v w="$EW" -v h="$EH" \
    'BEGIN { m = (h - t - w * 276 / 754) / 2; printf "%d", y + t + (m > 0 ? m : 0) }'
}
open_menu() {
  status_left=$(design_to_screen "$EX" 244)
  status_bottom=$(design_to_screen "$(panel_top)" 31)
  xdo mousemove "$(design_to_screen "$EX" 352)" "$(design_to_screen "$(panel_top)" 18)" click 1
  sleep 0.6
  # Where the menu does not fit below the status line it opens over the pointer: move the pointer
  # off it, so no item is highlighted and the keys count from the top or bottom.
  xdo mousemove $((EX + 5)) $((EY + EH - 5))
  sleep 0.4
}

# Chooses menu items with the keyboard (Down from the top, Up from the bottom).
menu_keys() { xdo key --delay 60 "$@"; sleep 0.3; }

# Types <name> into the open save dialog and confirms; [png] is a screenshot of the dialog.
type_save_name() {
  local dialog
  dialog=$(window_named "^Save Pattern")
  settled_geometry "$dialog"
  [ -z "${2:-}" ] || screenshot "$2"
  # The file name box lies 63 pixels above the dialog's bottom edge.
  xdo mousemove $((X + WIDTH / 2)) $((Y + HEIGHT - 63)) click 1
  sleep 0.2
  xdo key ctrl+a
  xdo type --delay 15 "$1"
  xdo key Return
  wait_until_closed "^Save Pattern"
}

# Saves under the typed <name>, which must write <file>; [png] is a screenshot of the dialog.
save_as() {
  type_save_name "$1" "${3:-}"
  for _ in $(seq 40); do [ -s "$patterns/$2" ] && break; sleep 0.25; done
  [ -s "$patterns/$2" ] || { screenshot "$shots/patch_menu_save_failed.png"; fail "Save Pattern wrote no $patterns/$2"; }
  [ ! -e "$patterns/$1" ] || [ "$1" = "$2" ] || fail "Save Pattern wrote $patterns/$1 without its extension"
}

same_bytes() { cmp -s "$patterns/$1" "$patterns/$2" || { diff "$patterns/$1" "$patterns/$2" >&2 || true; fail "$3"; }; }

start_window_manager
start_bounded 90 app.log env PATH="$work/bin:$PATH" "$app"
app_pid=$last_pid
wait_for_window oxn3 "$app_pid" "the Standalone app"
sleep 2
main=$(window_named "^OXN3$")
settled_geometry "$main"
EX=$X EY=$Y EW=$WIDTH EH=$HEIGHT
screenshot "$work/before.png"

# The menu opens under the status line: that area changes on the screen.
open_menu
screenshot "$shots/patch_menu_open.png"
area=250x400+$((status_left + 10))+$((status_bottom + 5))
changed=$(timeout -k 2 30 compare -metric AE -fuzz 10% "$work/before.png[$area]" "$shots/patch_menu_open.png[$area]" null: 2>&1 |
  awk '{ printf "%d", $1 }') || true
echo "menu: $changed of 100000 pixels under the status line changed"
[ "${changed:-0}" -gt 25000 ] || fail "no menu under the status line ($changed pixels changed)"

# "Save Pattern" (second item) in a fresh data folder: the dialog starts in the patterns folder; the
# name is typed without its extension.
menu_keys Down Down Return
save_as z_default z_default.pat "$shots/patch_menu_save_dialog.png"
expected=$(printf '; OXN3 Meta tag: 16\n'; printf '0 0 0 0 0 1\n%.0s' $(seq 16))
actual=$(sed 2d "$patterns/z_default.pat")
[ "$actual" = "$expected" ] || fail "the default pattern's file reads: $(cat "$patterns/z_default.pat")"
grep -q '^; Tune: 0.500000 Cutoff: ' "$patterns/z_default.pat" || fail "no knob line in the saved file"

# A pattern unlike the default (12 triplet steps, notes, flags, knobs), written as the app writes.
{
  echo "; OXN3 Meta tag: $(((1 << 31) + 12))"
  echo "; Tune: 0.500000 Cutoff: 0.250000 Resonance: 0.750000 Envmod: 0.500000 Decay: 0.125000 Accent: 1.000000 Waveform: 0.000000 Volume: 0.750000 "
  for i in $(seq 0 11); do echo "$i $((i % 3 == 1)) $((i % 3 == 2)) $((i % 2)) $((i % 4 == 3)) $((i != 5))"; done
} >"$patterns/a_seed.pat"

# "Load Pattern" (first item): the seed is the first file of the list.
open_menu
menu_keys Down Return
dialog=$(window_named "^Load Pattern")
settled_geometry "$dialog"
xdo mousemove $((X + 100)) $((Y + 94)) click 1
sleep 0.3
screenshot "$shots/patch_menu_load_dialog.png"
xdo key Return
wait_until_closed "^Load Pattern"
open_menu
menu_keys Down Down Return
save_as b_loaded.pat b_loaded.pat
same_bytes a_seed.pat b_loaded.pat "the loaded seed saved again differs from the seed"

# The last item is the last file of the patterns folder (z_default.pat, saved under a bare name):
# the saved default comes back.
open_menu
screenshot "$shots/patch_menu_files.png"
menu_keys Up Return
sleep 0.5
screenshot "$shots/patch_menu_loaded_back.png"
open_menu
menu_keys Down Down Return
save_as c_back.pat c_back.pat
same_bytes z_default.pat c_back.pat "the saved default loaded back and saved again differs"

# The bare name of an existing file (b_loaded.pat holds the seed, the default is loaded): the
# question comes for the name with its extension; Escape keeps the file, Return replaces it.
for key in Escape Return; do
  open_menu
  menu_keys Down Down Return
  type_save_name b_loaded
  question=$(window_named "^File already exists")
  settled_geometry "$question"
  [ "$key" = Escape ] && screenshot "$shots/patch_menu_replace_question.png"
  xdo windowfocus --sync "$question" || true
  xdo key "$key"
  wait_until_closed "^File already exists"
  sleep 0.5
  if [ "$key" = Escape ]; then
    same_bytes a_seed.pat b_loaded.pat "the file was replaced although the question was cancelled"
  else
    same_bytes z_default.pat b_loaded.pat "the file was not replaced after the question was answered"
  fi
done

kill -0 "$app_pid" 2>/dev/null || fail "the app ended during the test"
echo "menu opened, saved (a bare name with its extension added), loaded the seed and the saved default back, asked before replacing: files match"
