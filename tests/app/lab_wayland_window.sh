#!/usr/bin/env bash
# Runs the real ostrel-nvr-search as a native Wayland client of weston's
# headless compositor, in the lab's client namespace (so recorders are
# listed and the login dialog can open), with a probe preloaded that plays
# the user step by step. After each step it takes the compositor's
# screenshot and scene graph and checks:
#   main       the window's cut corners show the desktop behind;
#   drag       after a press and a move on the title area the window is
#              still mapped;
#   login,     the login dialog, the about box and a message box open as
#   about,     modal windows of the main window, stacked above it;
#   message
#   minimized  the minimise button takes the window off the desktop;
# and that the close button ends the program cleanly. Then, where Xvfb and
# xdotool are there, under weston's X11 backend (a compositor with a seat):
# a drag on the title area moves the window with the pointer, the about box
# opened by a click takes the keyboard, and Escape closes it, then the
# window.
#   lab_wayland_window.sh PROGRAM PROBE
# Exits 77 (skipped) when weston, Qt's Wayland plugin or the lab is missing.
# With OSTREL_WAYLAND_SHOTS=DIR the screenshots and reports are kept there.
set -uo pipefail
program=${1:?usage: lab_wayland_window.sh PROGRAM PROBE}
probe=${2:?usage: lab_wayland_window.sh PROGRAM PROBE}
here=$(dirname "$(realpath "$0")")

skip() {
  echo "wayland test: skipped: $*"
  exit 77
}
fail() {
  echo "wayland test: FAILED: $*" >&2
  [[ -n ${weston_pid:-} && -f ${work:-}/weston.log ]] && tail -n 20 "$work/weston.log" >&2
  [[ -f ${work:-}/program.log ]] && tail -n 20 "$work/program.log" >&2
  exit 1
}

[[ $(id -u) -eq 0 ]] || skip "not running as root"
command -v weston >/dev/null || skip "weston is not installed"
command -v weston-screenshooter >/dev/null || skip "weston-screenshooter is not installed"
command -v weston-debug >/dev/null || skip "weston-debug is not installed"
compgen -G "/usr/lib/*/qt6/plugins/platforms/libqwayland-*.so" >/dev/null ||
  skip "Qt's Wayland platform plugin (qt6-wayland) is not installed"
info=${OSTREL_LAB_INFO:-}
[[ -n $info && -f $info ]] || skip "the lab is not up (no ${info:-OSTREL_LAB_INFO})"
# shellcheck source=/dev/null
source "${info%info.json}info.sh"
export OSTREL_LAB_PREFIX=$LAB_PREFIX

work=$(mktemp -d)
weston_pid=
program_pid=
cleanup() {
  [[ -n $program_pid ]] && kill "$program_pid" 2>/dev/null
  [[ -n $weston_pid ]] && kill "$weston_pid" 2>/dev/null && wait "$weston_pid" 2>/dev/null
  if [[ -n ${OSTREL_WAYLAND_SHOTS:-} ]]; then
    mkdir -p "$OSTREL_WAYLAND_SHOTS" && cp "$work"/*.png "$work"/*.json "$work"/*.txt \
      "$work"/*.log "$OSTREL_WAYLAND_SHOTS"/ 2>/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
mkdir "$work/steps"

# A plain magenta desktop, no panel: a pixel outside any window is that.
cat >"$work/weston.ini" <<'EOF'
[core]
idle-time=0
[shell]
background-color=0xffff00ff
panel-position=none
EOF
# --debug lets clients use the screenshooter and the scene-graph stream.
weston --backend=headless-backend.so --use-pixman --debug --socket=wayland-ostrel \
  --config="$work/weston.ini" --width=1280 --height=1024 >"$work/weston.log" 2>&1 &
weston_pid=$!
export WAYLAND_DISPLAY=wayland-ostrel
for _ in $(seq 1 100); do
  [[ -S $XDG_RUNTIME_DIR/$WAYLAND_DISPLAY ]] && break
  kill -0 "$weston_pid" 2>/dev/null || skip "weston does not start here ($(tail -n 1 "$work/weston.log"))"
  sleep 0.1
done
[[ -S $XDG_RUNTIME_DIR/$WAYLAND_DISPLAY ]] || skip "weston opened no socket"

# A sanitizer build needs its runtime first among the preloaded libraries.
asan=$(ldd "$program" 2>/dev/null | awk '/libasan/ {print $3; exit}')
if [[ -n ${ASAN_OPTIONS:-} ]]; then
  export ASAN_OPTIONS=$ASAN_OPTIONS:strict_string_checks=0
fi
# Qt 6.4's Wayland plugin leaves six protocol objects of libwayland-client
# allocated at exit (480 bytes; a bare QDialog program leaks the same). The
# leak check keeps the suite's own suppressions and adds that library.
if [[ -n $asan ]]; then
  suppressions=$work/lsan.supp
  if [[ ${LSAN_OPTIONS:-} =~ suppressions=([^:]+) && -f ${BASH_REMATCH[1]} ]]; then
    cat "${BASH_REMATCH[1]}" >"$suppressions"
  fi
  echo "leak:libwayland-client" >>"$suppressions"
  export LSAN_OPTIONS=${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$suppressions
fi
# No input method: Qt 6.4's Wayland one dereferences the seat's input device
# when a text field paints its cursor, and a headless compositor has no
# seat (a desktop session always has one).
"$here/../../scripts/lab" exec env QT_QPA_PLATFORM=wayland QT_IM_MODULE=none \
  XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" \
  WAYLAND_DISPLAY="$WAYLAND_DISPLAY" OSTREL_WAYLAND_PROBE_DIR="$work/steps" \
  LD_PRELOAD="${asan:+$asan }$(realpath "$probe")" "$program" >"$work/program.log" 2>&1 &
program_pid=$!

# The program's own process, as the compositor names it (lab exec runs it
# in place, so the pid is the same).
pid=$program_pid

# Waits for the probe's report of a step; then takes the screenshot and the
# scene graph as <step>.png and <step>-scene.txt.
look() {
  local step=$1
  for _ in $(seq 1 900); do
    [[ -s $work/steps/$step.json ]] && break
    kill -0 "$program_pid" 2>/dev/null || fail "the program ended before the $step step"
    sleep 0.1
  done
  [[ -s $work/steps/$step.json ]] || fail "no report of the $step step"
  cp "$work/steps/$step.json" "$work/$step.json"
  rm -f "$work"/wayland-screenshot-*.png
  (cd "$work" && timeout 10 weston-screenshooter) || fail "weston-screenshooter failed"
  mv "$work"/wayland-screenshot-*.png "$work/$step.png" || fail "no screenshot of the $step step"
  timeout 2 weston-debug scene-graph >"$work/$step-scene.txt" 2>/dev/null
  [[ -s $work/$step-scene.txt ]] || fail "no scene graph for the $step step"
}
done_with() {
  touch "$work/steps/$1.ack"
}
field() {
  jq -r ".$2" "$work/$1.json"
}
check=$here/wayland_shot_check.py

look main
[[ $(field main shown) != false ]] || fail "the main window never appeared"
[[ $(field main platform) == wayland* ]] || fail "the program ran on $(field main platform), not Wayland"
width=$(field main width)
height=$(field main height)
echo "wayland test: main window ${width} x ${height}, translucent $(field main translucent)"
read -r surface layer < <(/usr/bin/python3 "$check" main "$work/main-scene.txt" "$pid")
[[ -n ${layer:-} ]] || fail "the compositor shows no single top-level window of process $pid"
/usr/bin/python3 "$check" corners "$work/main.png" "$work/main-scene.txt" "$surface" "$width" "$height" |
  tee "$work/corners.txt"
((PIPESTATUS[0] == 0)) || fail "the main window's corners are not cut"
done_with main

look drag
[[ $(field drag exposed) == true ]] || fail "the main window is not exposed after the drag"
/usr/bin/python3 "$check" mapped "$work/drag-scene.txt" "$surface" "$layer" ||
  fail "the main window's surface is gone after the drag"
done_with drag

for step in login about message; do
  look "$step"
  # The lab lists recorders, so the first row opens the login dialog.
  [[ $(field "$step" skipped) != true ]] || fail "nothing to open the $step dialog with"
  [[ $(field "$step" shown) == true ]] || fail "the $step dialog never appeared"
  [[ $(field "$step" transientOfMain) == true ]] ||
    fail "the $step dialog ('$(field "$step" title)') is not a window of the main window"
  [[ $(field "$step" modal) == true ]] || fail "the $step dialog is not modal"
  echo "wayland test: $step dialog '$(field "$step" title)' $(field "$step" width) x $(field "$step" height)," \
    "the application's modal window: $(field "$step" active)"
  /usr/bin/python3 "$check" above "$work/$step-scene.txt" "$pid" "$surface" ||
    fail "the $step dialog is not stacked above the main window"
  done_with "$step"
done

look minimized
[[ $(field minimized skipped) != true ]] || fail "the minimise button was not found"
/usr/bin/python3 "$check" hidden "$work/minimized-scene.txt" "$surface" "$layer" ||
  fail "the minimise button left the window on the desktop"
done_with minimized

code=timeout
for _ in $(seq 1 100); do
  if ! kill -0 "$program_pid" 2>/dev/null; then
    wait "$program_pid"
    code=$?
    break
  fi
  sleep 0.1
done
program_pid_left=$program_pid
[[ $code == timeout ]] || program_pid=
[[ $code == 0 ]] || fail "the close button did not end the program cleanly (exit $code, pid $program_pid_left)"
echo "wayland test: corners cut, window kept after the drag, dialogs above it, minimise and close work"

# A compositor with a seat: weston's X11 backend inside Xvfb, where xdotool
# presses the main window's title area and drags. The program hands the
# press to the compositor (startSystemMove), which must move the window by
# the pointer's way. A click on About must open its box with the keyboard
# (Escape closes it); Escape must then reach the window and close it.
if ! command -v xvfb-run >/dev/null || ! command -v xdotool >/dev/null; then
  echo "wayland test: the drag with a seat skipped: xvfb-run or xdotool is missing"
  exit 0
fi
cat >"$work/seat.sh" <<'SEAT'
#!/usr/bin/env bash
set -u
program=$1 check=$2 dir=$3 width=$4 height=$5
weston --backend=x11-backend.so --use-pixman --debug --socket=wayland-seat \
  --config="$dir/weston.ini" --width=1000 --height=740 >"$dir/weston-seat.log" 2>&1 &
weston=$!
export WAYLAND_DISPLAY=wayland-seat
for _ in $(seq 1 100); do [[ -S $XDG_RUNTIME_DIR/$WAYLAND_DISPLAY ]] && break; sleep 0.1; done
QT_QPA_PLATFORM=wayland "$program" >"$dir/program-seat.log" 2>&1 &
pid=$!
scene() { timeout 2 weston-debug scene-graph >"$dir/$1-scene.txt" 2>/dev/null; }
surface=
for _ in $(seq 1 300); do
  scene seat-start
  read -r surface _ < <(/usr/bin/python3 "$check" main "$dir/seat-start-scene.txt" "$pid" 2>/dev/null)
  [[ -n $surface ]] && break
  sleep 0.1
done
result="no window"
if [[ -n $surface ]]; then
  sleep 1
  scene seat-start
  read -r x y < <(/usr/bin/python3 "$check" position "$dir/seat-start-scene.txt" "$surface")
  # weston's output is its X window, at the root's origin. The pointer
  # first leaves that window and comes back: weston takes motion only after
  # the pointer has entered its window, which Xvfb's start-up pointer never did.
  xdotool mousemove --sync 1020 760
  sleep 0.2
  xdotool mousemove --sync $((x + 140)) $((y + 12))
  sleep 0.3
  xdotool mousedown 1
  sleep 0.3
  for _ in $(seq 1 10); do
    xdotool mousemove_relative -- -6 5
    sleep 0.05
  done
  sleep 0.3
  xdotool mouseup 1
  sleep 0.5
  scene seat-moved
  read -r x2 y2 < <(/usr/bin/python3 "$check" position "$dir/seat-moved-scene.txt" "$surface")
  result="from $x,$y to ${x2:-gone},${y2:-gone}"
  # The About button, from its place in the window's template (133, 310,
  # 68 x 16 of 287 x 330 dialog units): its box must open and take the
  # keyboard, so the first Escape closes the box and the second the window.
  about=none
  if [[ -n ${x2:-} ]]; then
    xdotool mousemove --sync $((x2 + (133 + 34) * width / 287)) $((y2 + (310 + 8) * height / 330)) click 1
    for _ in $(seq 1 50); do
      scene seat-about
      [[ $(grep -c "role xdg_toplevel, PID $pid," "$dir/seat-about-scene.txt") == 2 ]] && about=open && break
      sleep 0.1
    done
    if [[ $about == open ]]; then
      sleep 0.5
      xdotool key Escape
      for _ in $(seq 1 50); do
        scene seat-about
        [[ $(grep -c "role xdg_toplevel, PID $pid," "$dir/seat-about-scene.txt") == 1 ]] &&
          about=closed-by-key && break
        sleep 0.1
      done
    fi
  fi
  result="$result about $about"
  # weston gave the keyboard back to no window when the box closed: a
  # click on the title area gives it to the main window again.
  if [[ -n ${x2:-} ]]; then
    xdotool mousemove --sync $((x2 + 140)) $((y2 + 12)) click 1
  fi
  sleep 0.5
  xdotool key Escape
fi
code=timeout
for _ in $(seq 1 50); do
  if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid"
    code=$?
    break
  fi
  sleep 0.1
done
[[ $code == timeout ]] && kill "$pid"
kill "$weston"
echo "moved $result exit $code" >"$dir/seat-result.txt"
SEAT
chmod +x "$work/seat.sh"
"$here/../../scripts/lab" exec env QT_IM_MODULE=none XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" \
  xvfb-run -a -s "-screen 0 1024x768x24" \
  "$work/seat.sh" "$program" "$check" "$work" "$width" "$height" >/dev/null 2>&1
[[ -f $work/seat-result.txt ]] || fail "the drag with a seat left no result"
seat=$(cat "$work/seat-result.txt")
echo "wayland test: with a seat, the window $seat"
[[ $seat != *"no window"* ]] || fail "with a seat, the main window never appeared"
read -r _ _ from _ to _ about _ code <<<"$seat"
IFS=, read -r x y <<<"$from"
IFS=, read -r x2 y2 <<<"$to"
[[ $x2 != gone ]] || fail "with a seat, the main window's surface is gone after the drag"
((x2 - x == -60 && y2 - y == 50)) ||
  fail "with a seat, dragging the title area by (-60, 50) moved the window by ($((x2 - x)), $((y2 - y)))"
[[ $about != none ]] || fail "with a seat, a click on About opened no box"
[[ $about == closed-by-key ]] || fail "with a seat, the about box did not take the keyboard (Escape left it open)"
[[ $code == 0 ]] || fail "with a seat, Escape did not close the window (exit $code)"
echo "wayland test: with a seat, the compositor moved the window with the pointer; the about box" \
  "took the keyboard; Escape closed it, then the window"
