#!/usr/bin/env bash
# Builds Tessaline and starts the desktop program with a demo next to it: the virtual plotter,
# automatic printing and a task folder holding the sample marker.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target tessaline

BIN=build/default
if [ ! -f "$BIN/config.ini" ]; then
  cp samples/config.ini "$BIN/config.ini"
  echo "run.sh: demo settings written to $BIN/config.ini (virtual plotter, automatic printing)"
fi
# Refill the task folder once the demo has printed everything (printed jobs are deleted).
if grep -qix 'DEVICE=VIRTUAL' "$BIN/config.ini" &&
   ! ls "$BIN"/tasks/*.plt >/dev/null 2>&1; then
  mkdir -p "$BIN/tasks"
  cp samples/marker.plt "$BIN/tasks/marker-1.plt"
  cp samples/marker.plt "$BIN/tasks/marker-2.plt"
  echo "run.sh: sample markers queued in $BIN/tasks/; printed pages appear in $BIN/pages/"
fi

if [ -z "${QT_QPA_PLATFORM:-}" ] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run.sh: no display found (DISPLAY and WAYLAND_DISPLAY are not set), so the window cannot be shown." >&2
  echo "run.sh: running off-screen instead: the jobs still print, pages appear in $BIN/pages/," >&2
  echo "run.sh: the log is $BIN/logfile.txt. Press Ctrl+C to end." >&2
  export QT_QPA_PLATFORM=offscreen
fi
exec "$BIN/tessaline" "$@"
