#!/usr/bin/env bash
# The start-up lab test of tests/app, pointed at the main program installed
# from the package into the scratch root, run from outside the source and
# build folders. Skips (77) unless scripts/package-check runs it.
set -uo pipefail
program=${1:?usage: package_lab_startup_search.sh PROGRAM}
[[ ${OSTREL_PACKAGE_CHECK:-} == 1 ]] || { echo "package check: skipped: run scripts/package-check"; exit 77; }
[[ -x $program ]] || { echo "package check: FAILED: $program is not installed" >&2; exit 1; }
here=$(dirname "$(realpath "$0")")
cd / && exec "$here/../app/lab_startup_search.sh" "$program"
