#!/usr/bin/env bash
# Starts the real ostrel-nvr-search in the lab's client namespace under Xvfb
# and checks, in the simulated recorders' request logs, that its start-up
# search reached a recorder behind each of the client's two interfaces. Then
# closes the window with Escape and expects a clean exit.
#   lab_startup_search.sh PROGRAM
# Exits 77 (skipped) when the lab is not there.
set -uo pipefail
program=${1:?usage: lab_startup_search.sh PROGRAM}

skip() {
  echo "app lab test: skipped: $*"
  exit 77
}
fail() {
  echo "app lab test: FAILED: $*" >&2
  exit 1
}

[[ $(id -u) -eq 0 ]] || skip "not running as root"
info=${OSTREL_LAB_INFO:-}
[[ -n $info && -f $info ]] || skip "the lab is not up (no ${info:-OSTREL_LAB_INFO})"
command -v xvfb-run >/dev/null || skip "xvfb-run is not installed"
# shellcheck source=/dev/null
source "${info%info.json}info.sh"
export OSTREL_LAB_PREFIX=$LAB_PREFIX

# The recorders of the plain role on each subnet: r2 behind the first
# interface, r3 behind the second.
log_a=$LAB_STATE/r2/events.jsonl
log_b=$LAB_STATE/r3/events.jsonl
[[ -f $log_a && -f $log_b ]] || fail "no request logs at $log_a and $log_b"
start_a=$(wc -l <"$log_a")
start_b=$(wc -l <"$log_b")

discover_seen() {  # log, lines to skip
  tail -n +$(($2 + 1)) "$1" | grep '"event":"request"' | grep -q '"op":"discover"'
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
# Under the sanitizers: libxkbcommon-x11 hands strndup a length past its
# buffer's end (it stops at the terminator, which the strict check ignores).
if [[ -n ${ASAN_OPTIONS:-} ]]; then
  export ASAN_OPTIONS=$ASAN_OPTIONS:strict_string_checks=0
fi

# Inside Xvfb: start the program, wait for both discoveries, then press
# Escape in its window (and only if that does not end it, terminate it).
cat >"$work/inside.sh" <<'EOF'
#!/usr/bin/env bash
set -u
program=$1 log_a=$2 start_a=$3 log_b=$4 start_b=$5 result=$6
discover_seen() { tail -n +$(($2 + 1)) "$1" | grep '"event":"request"' | grep -q '"op":"discover"'; }
# A real X window, whatever platform the calling test suite chose for itself.
export QT_QPA_PLATFORM=xcb
"$program" &
pid=$!
seen=no
for _ in $(seq 1 300); do
  if discover_seen "$log_a" "$start_a" && discover_seen "$log_b" "$start_b"; then seen=yes; break; fi
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
# Give the search its collection time, so the window shows the recorders.
sleep 3
window=
for _ in $(seq 1 100); do
  window=$(xdotool search --limit 1 --name "Ostrel NVR Search Utility" 2>/dev/null | head -n1)
  [[ -n $window ]] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if [[ -n $window ]]; then
  xdotool windowfocus --sync "$window" 2>/dev/null
  xdotool key --window "$window" Escape 2>/dev/null
  xdotool key Escape 2>/dev/null
fi
code=timeout
for _ in $(seq 1 50); do
  if ! kill -0 "$pid" 2>/dev/null; then wait "$pid"; code=$?; break; fi
  sleep 0.1
done
if [[ $code == timeout ]]; then kill "$pid"; wait "$pid"; fi
echo "seen=$seen exit=$code window=${window:-none}" >"$result"
EOF
chmod +x "$work/inside.sh"

"$(dirname "$(realpath "$0")")/../../scripts/lab" exec \
  xvfb-run -a -s "-screen 0 1024x768x24" \
  "$work/inside.sh" "$program" "$log_a" "$start_a" "$log_b" "$start_b" "$work/result" \
  || fail "could not run the program in the client namespace"

[[ -f $work/result ]] || fail "the run left no result"
result=$(cat "$work/result")
echo "app lab test: $result"
discover_seen "$log_a" "$start_a" || fail "no discovery request reached $LAB_R2_NAME behind the first interface"
discover_seen "$log_b" "$start_b" || fail "no discovery request reached $LAB_R3_NAME behind the second interface"
[[ $result == *"window=none"* ]] && fail "the main window never appeared"
[[ $result == *"exit=0 "* ]] || fail "Escape did not end the program cleanly ($result)"
echo "app lab test: the start-up search went out on both interfaces; Escape closed the program"
