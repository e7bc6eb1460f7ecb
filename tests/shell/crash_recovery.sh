#!/usr/bin/env bash
# Crash recovery for real: the editor is started on a virtual X screen, a line is drawn with the
# mouse, the autosave copy is awaited and the editor is killed with SIGKILL. Started again in the
# same folder, it asks whether to recover; Enter takes the offer, and the recovered document,
# written again by the new editor's own autosave, must equal the one the killed editor left.
#
#   crash_recovery.sh EDITOR TOVALA-CLI
#
# Exits 77 (skipped) when xvfb-run or xdotool is not installed.
set -uo pipefail
editor=$(realpath "$1")
cli=$(realpath "$2")
for tool in xvfb-run xdotool; do
  if ! command -v "$tool" >/dev/null; then
    echo "crash_recovery: $tool is not installed; skipped"
    exit 77
  fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
export QT_QPA_PLATFORM=xcb TOVALA_AUTOSAVE_MS=400
# Both editors end by SIGKILL: no leak report is wanted from them.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
unset WAYLAND_DISPLAY
cd "$work" || exit 1

exec xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  editor=$1 cli=$2
  copy=temp/autosave.tov
  # A window manager frames and focuses the windows as on a desktop.
  openbox --sm-disable >/dev/null 2>&1 &
  wm=$!
  trap "kill $wm 2>/dev/null" EXIT
  fail() {
    echo "crash_recovery: $*"
    kill -9 $pid 2>/dev/null
    tail -5 editor*.log
    exit 1
  }
  # Waits up to $2 tenths of a second for the command $1 to succeed.
  wait_for() {
    for _ in $(seq "$2"); do eval "$1" && return 0; sleep 0.1; done
    return 1
  }
  main_window() { xdotool search --onlyvisible --name "トヴァラ" 2>/dev/null | head -1; }

  "$editor" >editor1.log 2>&1 &
  pid=$!
  wait_for "[ -n \"\$(main_window)\" ]" 300 || fail "the editor window did not appear"
  win=$(main_window)
  sleep 1
  # A new document is in add-line mode: three clicks on the canvas, which fills the window right
  # of the docked panels, make a line of three points.
  eval "$(xdotool getwindowgeometry --shell "$win")"
  for xy in "60 30" "68 40" "76 32"; do
    set -- $xy
    xdotool mousemove --window "$win" $((WIDTH * $1 / 100)) $((HEIGHT * $2 / 100)) click 1
    sleep 0.3
  done
  wait_for "[ -f $copy ]" 100 || fail "no autosave copy was written"
  sleep 1.2  # one more interval: the copy holds the last click
  kill -9 $pid
  wait $pid 2>/dev/null
  [ -f $copy ] || fail "the copy did not outlive the editor"
  "$cli" dump $copy -o before.json || fail "the copy cannot be read"
  # The line drawn: three points and the sentinel.
  python3 -c "import json,sys; d=json.load(open(\"before.json\")); sys.exit(not (len(d[\"lines\"]) >= 2 and len(d[\"lines\"][0][\"points\"]) == 4))" ||
    fail "the copy does not hold the line of three points"
  first_copy=$(stat -c %y $copy)

  "$editor" >editor2.log 2>&1 &
  pid=$!
  wait_for "xdotool search --onlyvisible --name \"自動保存\" >/dev/null 2>&1" 300 ||
    fail "the recovery question was not asked"
  question=$(xdotool search --onlyvisible --name "自動保存" | head -1)
  xdotool windowactivate --sync "$question" 2>/dev/null || xdotool windowfocus --sync "$question"
  sleep 0.3
  xdotool key Return
  # The recovered document is modified: the new editor writes its own copy of it.
  sleep 0.2
  wait_for "[ -f $copy ] && [ \"\$(stat -c %y $copy)\" != \"$first_copy\" ]" 100 ||
    fail "the recovered document was not written again"
  sleep 0.5
  "$cli" dump $copy -o after.json || fail "the second copy cannot be read"
  kill -9 $pid
  wait $pid 2>/dev/null
  cmp -s before.json after.json || { diff before.json after.json | head -20; fail "the recovered document differs"; }
  echo "crash_recovery: the document drawn before the kill was recovered"
' crash_recovery "$editor" "$cli"
