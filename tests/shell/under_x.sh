#!/usr/bin/env bash
# Runs a Qt test on a virtual X screen of the given size with a window manager, so that window
# frames, placement and screen limits are real: under_x.sh WIDTHxHEIGHT PROGRAM [ARGS...]
# Exits 77 (skipped) when Xvfb or openbox is not installed.
set -uo pipefail
size=$1
shift
for tool in xvfb-run openbox; do
  if ! command -v "$tool" >/dev/null; then
    echo "under_x: $tool is not installed; skipped"
    exit 77
  fi
done
export QT_QPA_PLATFORM=xcb
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$(dirname "$0")/x_leaks.supp"
unset WAYLAND_DISPLAY
# The window manager starts first and stays for the whole run; the test waits until it owns the
# screen so the first window is already framed.
exec xvfb-run -a -s "-screen 0 ${size}x24" bash -c '
  openbox --sm-disable >/dev/null 2>&1 &
  wm=$!
  for _ in $(seq 50); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
    sleep 0.1
  done
  "$@"
  status=$?
  kill $wm 2>/dev/null
  exit $status
' under_x "$@"
