#!/usr/bin/env bash
# Runs a lab test of the real window (TEST_BINARY: drive mapping, codepage
# installation) with real X windows inside Xvfb. Exits 77 (skipped) when the
# lab or Xvfb is not there.
#   lab_drive_mapping.sh TEST_BINARY [gtest arguments]
set -uo pipefail
binary=${1:?usage: lab_drive_mapping.sh TEST_BINARY}
shift

skip() {
  echo "$(basename "$binary"): skipped: $*"
  exit 77
}

[[ $(id -u) -eq 0 ]] || skip "not running as root"
info=${OSTREL_LAB_INFO:-}
[[ -n $info && -f $info ]] || skip "the lab is not up (no ${info:-OSTREL_LAB_INFO})"
command -v xvfb-run >/dev/null || skip "xvfb-run is not installed"
# Under the sanitizers: libxkbcommon-x11 hands strndup a length past its
# buffer's end (it stops at the terminator, which the strict check ignores).
if [[ -n ${ASAN_OPTIONS:-} ]]; then
  export ASAN_OPTIONS=$ASAN_OPTIONS:strict_string_checks=0
fi
# A real X window, whatever platform the calling test suite chose for itself.
exec xvfb-run -a -s "-screen 0 1024x768x24" env QT_QPA_PLATFORM=xcb "$binary" "$@"
