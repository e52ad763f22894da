#!/usr/bin/env bash
# The ctest fixture of the network lab: "lab_fixture.sh up SIM" brings the lab
# up with the simulator daemon SIM, "lab_fixture.sh down" takes it down. The
# lab's name prefix comes from OSTREL_LAB_PREFIX. On a machine where the lab
# cannot exist (not root, no network namespaces, no smbd) it says why and
# exits 77, which ctest reports as skipped; the lab tests then skip too.
set -uo pipefail
root=$(cd "$(dirname "$(realpath "$0")")/../.." && pwd)
action=${1:-}

skip() {
  echo "lab: skipped: $*"
  exit 77
}

[[ $(id -u) -eq 0 ]] || skip "not running as root"
command -v ip >/dev/null || skip "the ip command (iproute2) is missing"
if ! unshare --net true 2>/dev/null; then
  skip "network namespaces are not available here"
fi

case $action in
  up)
    command -v smbd >/dev/null || skip "smbd is not installed (scripts/setup installs it)"
    [[ -x ${2:-} ]] || { echo "lab: no simulator daemon at ${2:-}" >&2; exit 1; }
    # Always a fresh lab: a leftover of an interrupted run may hold changed
    # recorder settings.
    "$root/scripts/lab" down >/dev/null 2>&1 || true
    exec "$root/scripts/lab" up --sim "$2"
    ;;
  down)
    exec "$root/scripts/lab" down
    ;;
  *)
    echo "usage: lab_fixture.sh up SIM | down" >&2
    exit 2
    ;;
esac
