#!/usr/bin/env bash
# The ctest fixture of the network lab: "lab_fixture.sh up SIM" brings the lab
# up with the simulator daemon SIM, "again SIM" checks that a second up keeps
# it, "lab_fixture.sh down" takes it down and checks nothing is left. The
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
  again)
    # A second up on a running lab changes nothing and succeeds.
    [[ -f /run/ostrel-lab-${OSTREL_LAB_PREFIX:-ost}/info.json ]] || skip "the lab is not up"
    out=$("$root/scripts/lab" up --sim "$2") || { echo "$out"; exit 1; }
    echo "$out"
    [[ $out == *"already up"* ]] || { echo "lab: a second up rebuilt the lab" >&2; exit 1; }
    "$root/scripts/lab" status | grep -q ": up" || { echo "lab: not up after a second up" >&2; exit 1; }
    ;;
  down)
    "$root/scripts/lab" down || exit 1
    # Nothing of the lab may be left behind.
    prefix=${OSTREL_LAB_PREFIX:-ost}
    left=$(ip netns list | awk '{print $1}' | grep -E "^$prefix-" || true)
    if [[ -n $left || -d /run/ostrel-lab-$prefix ]]; then
      echo "lab: left behind after down: ${left//$'\n'/ } /run/ostrel-lab-$prefix" >&2
      exit 1
    fi
    ;;
  *)
    echo "usage: lab_fixture.sh up SIM | again SIM | down" >&2
    exit 2
    ;;
esac
