#!/usr/bin/env bash
# Runs the real ostrel-nvr-search in the lab's client namespace under Xvfb,
# with a private D-Bus session and the desktop's accessibility bus, and reads
# it as a screen reader does (a11y_bus_check.py): the names and labels of the
# main window, then a lab recorder picked by Space and, in a second run, by
# the row's press action, logged in by keyboard, its LAN fields read back.
#   lab_accessibility.sh PROGRAM
# Exits 77 (skipped) when the lab, Xvfb, D-Bus, the accessibility bus or
# pyatspi is not there.
set -uo pipefail
program=${1:?usage: lab_accessibility.sh PROGRAM}
here=$(dirname "$(realpath "$0")")

skip() {
  echo "app a11y lab test: skipped: $*"
  exit 77
}
fail() {
  echo "app a11y lab test: FAILED: $*" >&2
  exit 1
}

[[ $(id -u) -eq 0 ]] || skip "not running as root"
info=${OSTREL_LAB_INFO:-}
[[ -n $info && -f $info ]] || skip "the lab is not up (no ${info:-OSTREL_LAB_INFO})"
command -v xvfb-run >/dev/null || skip "xvfb-run is not installed"
command -v xdotool >/dev/null || skip "xdotool is not installed"
command -v dbus-run-session >/dev/null || skip "dbus-run-session is not installed (package dbus)"
[[ -x /usr/libexec/at-spi-bus-launcher ]] || skip "the accessibility bus is not installed (package at-spi2-core)"
# Debian's own Python, where the distribution's pyatspi lives.
python=/usr/bin/python3
"$python" -c 'import pyatspi' 2>/dev/null || skip "pyatspi is not installed (package python3-pyatspi)"
# shellcheck source=/dev/null
source "${info%info.json}info.sh"
export OSTREL_LAB_PREFIX=$LAB_PREFIX

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
# No user settings or caches of this machine.
export HOME=$work/home
mkdir -p "$HOME"
if [[ -n ${ASAN_OPTIONS:-} ]]; then
  export ASAN_OPTIONS=$ASAN_OPTIONS:strict_string_checks=0
fi

# One run a mode, each in a display and D-Bus session of its own, the search
# for a free display number starting at a random one; a run whose program
# found no display (the number taken by another run at the same moment) is
# tried again.
status=0
for mode in space action; do
  for try in 1 2 3; do
    "$here/../../scripts/lab" exec \
      xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1024x768x24" \
      dbus-run-session -- "$python" "$here/a11y_bus_check.py" \
      --program "$program" --mode "$mode" --recorder "$LAB_R2_NAME" \
      --user "$LAB_R2_USER" --password "$LAB_R2_PASSWORD" --ip "$LAB_R2_IP"
    code=$?
    [[ $code -eq 75 && $try -lt 3 ]] || break
    echo "app a11y lab test: the $mode run found no display; trying again"
  done
  [[ $code -eq 0 ]] || status=1
done
[[ $status -eq 0 ]] || fail "the screen reader's view of the program did not hold (see above)"
echo "app a11y lab test: names, labels, the pick by Space and by the press action, and the login by keyboard held on the bus"
