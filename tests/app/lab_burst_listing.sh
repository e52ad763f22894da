#!/usr/bin/env bash
# A large site: COUNT recorders of the lab's burst mode answer one search on
# one interface within a few milliseconds, in a lab of their own
# (OSTREL_LAB_PREFIX, default "burst") with no other recorder.
#   lab_burst_listing.sh up SIM [COUNT]    brings that lab up
#   lab_burst_listing.sh down              takes it down
#   lab_burst_listing.sh check NVR SEARCH_PROGRAM PROBE [ROUNDS] [COUNT]
#   lab_burst_listing.sh run NVR SEARCH_PROGRAM PROBE SIM [ROUNDS] [COUNT]
#                                          up, check, down
# The check runs, ROUNDS times:
#   - ostrel-nvr search: one text row per recorder;
#   - ostrel-nvr search --json: one object per recorder;
#   - the real ostrel-nvr-search with the window probe preloaded: the rows
#     of its recorder list after the start-up search;
# each must list every expected name exactly once. Prints the counts and
# wall times; exits 1 when a run misses one, 77 (skipped) when the lab
# cannot exist here or (check) is not up. COUNT is 1 to 600 (default 500);
# 1 gives the quiet floor to compare with.
# OSTREL_BURST_XVFB=1 runs the window under Xvfb instead of offscreen.
set -uo pipefail
usage="usage: lab_burst_listing.sh up SIM [COUNT] | down | check NVR SEARCH_PROGRAM PROBE [ROUNDS] [COUNT] | run NVR SEARCH_PROGRAM PROBE SIM [ROUNDS] [COUNT]"
action=${1:-}
shift
nvr="" program="" probe="" sim="" rounds=1 count=500
case $action in
  up) sim=${1:?$usage}; count=${2:-500} ;;
  down) ;;
  check) nvr=${1:?$usage} program=${2:?$usage} probe=${3:?$usage} rounds=${4:-1} count=${5:-500} ;;
  run) nvr=${1:?$usage} program=${2:?$usage} probe=${3:?$usage} sim=${4:?$usage} rounds=${5:-1} count=${6:-500} ;;
  *) echo "$usage" >&2; exit 2 ;;
esac
root=$(cd "$(dirname "$(realpath "$0")")/../.." && pwd)
lab=$root/scripts/lab
export OSTREL_LAB_PREFIX=${OSTREL_LAB_PREFIX:-burst}

say() { echo "burst listing: $*"; }
skip() {
  say "skipped: $*"
  exit 77
}

[[ $(id -u) -eq 0 ]] || skip "not running as root"
command -v ip >/dev/null || skip "the ip command (iproute2) is missing"
unshare --net true 2>/dev/null || skip "network namespaces are not available here"
command -v jq >/dev/null || skip "jq is not installed"
for f in $nvr $program $probe $sim; do
  [[ -e $f ]] || { say "missing $f (build first)" >&2; exit 2; }
done
if [[ ! $count =~ ^[0-9]+$ ]] || ((count < 1 || count > 600)); then
  say "COUNT takes 1 to 600" >&2
  exit 2
fi

work=$(mktemp -d)
# shellcheck disable=SC2317 # run by the trap
cleanup() {
  [[ $action == run ]] && "$lab" down >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT

# The names the burst recorders carry: the topology's prefix and a number of
# at least three digits.
name_prefix=$(jq -r .burst.name_prefix "$root/scripts/lab.json")
for ((i = 0; i < count; i++)); do printf '%s%03d\n' "$name_prefix" "$i"; done >"$work/expected"

now_ms() { echo $(($(date +%s%N) / 1000000)); }
seconds() { printf '%d.%03d' $(($1 / 1000)) $(($1 % 1000)); }

if [[ $action == down ]]; then
  "$lab" down || exit 1
  left=$(ip netns list | awk '{print $1}' | grep -E "^$OSTREL_LAB_PREFIX-" || true)
  if [[ -n $left || -d /run/ostrel-lab-$OSTREL_LAB_PREFIX ]]; then
    say "left behind after down: ${left//$'\n'/ } /run/ostrel-lab-$OSTREL_LAB_PREFIX" >&2
    exit 1
  fi
  exit 0
fi
if [[ $action == up || $action == run ]]; then
  # Always a fresh lab: a leftover may have been brought up with another count.
  "$lab" down >/dev/null 2>&1
  start=$(now_ms)
  "$lab" up --sim "$sim" --no-recorders --no-smb --burst "$count" >"$work/up.log" 2>&1 || { cat "$work/up.log"; say "the lab did not come up" >&2; exit 1; }
  say "lab $OSTREL_LAB_PREFIX up with $count burst recorders in $(seconds $(($(now_ms) - start))) s"
  [[ $action == up ]] && exit 0
fi
# The lab must be up with the burst this check expects.
info=/run/ostrel-lab-$OSTREL_LAB_PREFIX/info.json
[[ -f $info ]] || skip "the burst lab $OSTREL_LAB_PREFIX is not up"
lab_count=$(jq '.burst.count // 0' "$info")
((lab_count == count)) || { say "the lab runs $lab_count burst recorders, not $count" >&2; exit 1; }

# check LABEL FILE: FILE holds the names listed, one a line; compares them
# with the expected names and prints one line. Fails on a missing, extra or
# repeated name.
status=0
check() {
  local label=$1 file=$2 wall=$3 extra=${4:-}
  local listed unique missing
  listed=$(grep -c . "$file")
  unique=$(sort -u "$file" | grep -c .)
  missing=$(sort -u "$file" | comm -13 - <(sort "$work/expected") | wc -l)
  say "$label: $listed rows of $count, $unique distinct, $missing missing, $(seconds "$wall") s wall$extra"
  if ((listed != count || unique != count || missing != 0)); then
    comm -13 <(sort -u "$file") <(sort "$work/expected") | head -5 | sed 's/^/  missing: /'
    status=1
  fi
}

# Under the sanitizers the program's runtime must come first among the
# preloaded libraries.
asan=$(ldd "$program" 2>/dev/null | awk '/libasan/ {print $3; exit}')
preload="${asan:+$asan }$(realpath "$probe")"
mkdir -m 700 "$work/runtime"

for ((round = 1; round <= rounds; round++)); do
  ((rounds > 1)) && say "round $round"

  start=$(now_ms)
  "$lab" exec timeout -k 5 60 "$nvr" search >"$work/text" 2>"$work/text.err"
  rc=$?
  wall=$(($(now_ms) - start))
  cut -f1 "$work/text" >"$work/text.names"
  check "ostrel-nvr search" "$work/text.names" "$wall" ", exit $rc"
  ((rc == 0)) || { cat "$work/text.err" >&2; status=1; }

  start=$(now_ms)
  "$lab" exec timeout -k 5 60 "$nvr" search --json >"$work/json" 2>"$work/json.err"
  rc=$?
  wall=$(($(now_ms) - start))
  objects=$(jq length "$work/json" 2>/dev/null || echo "no JSON")
  jq -r '.[].name' "$work/json" >"$work/json.names" 2>/dev/null
  check "ostrel-nvr search --json" "$work/json.names" "$wall" " ($objects objects), exit $rc"
  ((rc == 0)) || { cat "$work/json.err" >&2; status=1; }

  rm -f "$work/window.json"
  window_env=(XDG_RUNTIME_DIR="$work/runtime" OSTREL_WINDOW_PROBE_OUT="$work/window.json"
              ${OSTREL_WINDOW_PROBE_PNG:+OSTREL_WINDOW_PROBE_PNG="$OSTREL_WINDOW_PROBE_PNG"})
  if [[ ${OSTREL_BURST_XVFB:-0} == 1 ]] && command -v xvfb-run >/dev/null; then
    run=(xvfb-run -a -s "-screen 0 1024x768x24" env "${window_env[@]}" QT_QPA_PLATFORM=xcb)
    platform=Xvfb
  else
    run=(env "${window_env[@]}" QT_QPA_PLATFORM=offscreen)
    platform=offscreen
  fi
  start=$(now_ms)
  "$lab" exec timeout -k 5 60 "${run[@]}" LD_PRELOAD="$preload" "$program" \
    >"$work/window.out" 2>&1
  rc=$?
  wall=$(($(now_ms) - start))
  if [[ -s $work/window.json ]]; then
    jq -r '.names[]' "$work/window.json" >"$work/window.names"
    rows=$(jq .rows "$work/window.json")
    seen=$(jq '.seconds * 1000 | floor' "$work/window.json")
    check "window ($platform)" "$work/window.names" "$wall" \
      " ($rows list rows, seen $(seconds "$seen") s after start), exit $rc"
  else
    say "window ($platform): the probe saw no recorder list, exit $rc" >&2
    status=1
  fi
  if ((rc != 0)); then
    tail -n 20 "$work/window.out" >&2
    status=1
  fi
done
exit $status
