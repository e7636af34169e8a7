#!/usr/bin/env bash
# Runs a test program that opens windows on a virtual X display with a window manager (xvfb-run,
# matchbox-window-manager); the program and the session are bounded in time.
#   window_gtest.sh <program> [arguments...]
# (The script runs itself a second time inside xvfb-run, with --on-display.)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/x11_session.sh"

if [ "${1:-}" != "--on-display" ]; then
  rerun_on_virtual_display 150 "$here/$(basename "$0")" "$(absolute_path "$1")" "${@:2}"
fi
shift
session_begin
start_window_manager
timeout -k 2 120 "$@"
