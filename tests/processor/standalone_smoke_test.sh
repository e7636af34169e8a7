#!/usr/bin/env bash
# The Standalone app must open its window and keep running: started on a virtual X display with
# a window manager, it is stopped after a few seconds. Any earlier exit is a failure.
#   standalone_smoke_test.sh <path/to/OXN3>
# (The script runs itself a second time inside xvfb-run, with --on-display.)
set -euo pipefail
seconds=5

if [ "${1:-}" = "--on-display" ]; then
  app=$2
  matchbox-window-manager -use_titlebar no >/dev/null 2>&1 &
  wm=$!
  status=0
  timeout "$seconds" "$app" >/dev/null 2>&1 || status=$?
  kill "$wm" 2>/dev/null || true
  wait "$wm" 2>/dev/null || true
  exit "$status"
fi

app=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
status=0
timeout $((seconds + 30)) xvfb-run -a -s "-screen 0 1280x800x24" bash "$0" --on-display "$app" || status=$?
if [ "$status" -ne 124 ]; then
  echo "FAIL: the Standalone app ended with status $status instead of running until stopped" >&2
  exit 1
fi
echo "Standalone app ran for $seconds s on a virtual display"
