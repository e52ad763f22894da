#!/usr/bin/env bash
# Checks of the Debian packages, installed by unpacking them into a scratch
# root rather than onto the system:
#   package_check.sh build   BUILD ROOT   build the .deb files, dpkg -x them into ROOT
#   package_check.sh files   BUILD ROOT   desktop entry, AppStream, icons, man pages,
#                                         no path into the source or build folders
#   package_check.sh lintian BUILD ROOT   lintian on each .deb (errors fail)
#   package_check.sh man     BUILD ROOT   each page renders without a warning and
#                                         names every option of its program's --help
#   package_check.sh run     BUILD ROOT VERSION   --version of the installed programs
#   package_check.sh summary BUILD ROOT   prints the packages' sizes and dependencies
#                                         and lintian's findings, as the checks saw them
# Runs only with OSTREL_PACKAGE_CHECK=1 (scripts/package-check sets it);
# otherwise exits 77, which ctest reports as skipped.
set -uo pipefail
action=${1:?usage: package_check.sh build|files|lintian|man|run|summary BUILD ROOT [VERSION]}
build=${2:?no build folder}
root=${3:?no root folder}
source_dir=$(cd "$(dirname "$(realpath "$0")")/../.." && pwd)

skip() {
  echo "package check: skipped: $*"
  exit 77
}
failures=0
fail() {
  echo "package check: FAILED: $*" >&2
  failures=$((failures + 1))
}
finish() {
  ((failures == 0)) || exit 1
  echo "package check: $action: passed"
  exit 0
}
need() {
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "package check: $tool is missing (scripts/setup installs it)" >&2; exit 1; }
  done
}

[[ ${OSTREL_PACKAGE_CHECK:-} == 1 ]] || skip "run scripts/package-check for the packaging checks"

app_id=net.ostrel.NvrSearch
# The .deb files the package target made (empty before it ran).
find_debs() {
  debs=()
  local name deb
  for name in ostrel-nvr-search ostrel-nvr-sim; do
    deb=$(compgen -G "$build/deb/${name}_*.deb" | head -n1)
    debs+=("${deb:-$build/deb/${name}_(missing).deb}")
  done
}
find_debs
usr=$root/usr

case $action in
  build)
    need dpkg-deb dpkg-shlibdeps cpack
    rm -rf "$build/deb" "$root"
    cmake --build "$build" --target package || { echo "package check: the package target failed" >&2; exit 1; }
    mkdir -p "$root"
    : >"$build/deb/summary.txt"
    find_debs
    for deb in "${debs[@]}"; do
      [[ -f $deb ]] || { echo "package check: no package $deb" >&2; exit 1; }
      dpkg -x "$deb" "$root" || fail "dpkg -x $deb"
      {
        echo "== $(basename "$deb"): $(stat -c %s "$deb") bytes"
        dpkg-deb -I "$deb" | grep -E '^ (Package|Version|Installed-Size|Depends|Recommends|Suggests):'
      } >>"$build/deb/summary.txt"
    done
    cat "$build/deb/summary.txt"
    ;;

  files)
    need desktop-file-validate appstreamcli file
    desktop=$usr/share/applications/$app_id.desktop
    metainfo=$usr/share/metainfo/$app_id.metainfo.xml
    desktop-file-validate "$desktop" || fail "desktop-file-validate $desktop"
    grep -qx "Exec=ostrel-nvr-search" "$desktop" || fail "the desktop entry does not start ostrel-nvr-search"
    appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate $metainfo"
    grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
      fail "the metainfo does not launch the installed desktop entry"
    # The desktop entry's Icon must be found in the icon theme at every size.
    icon=$(sed -n 's/^Icon=//p' "$desktop")
    for size in 16 32 48 64 128 256; do
      png=$usr/share/icons/hicolor/${size}x$size/apps/$icon.png
      info=$(file -b "$png" 2>/dev/null)
      [[ $info == "PNG image data, $size x $size, 8-bit/color RGBA"* ]] ||
        fail "icon $png is not a $size pixel RGBA PNG (${info:-missing})"
    done
    for program in ostrel-nvr-search ostrel-nvr ostrel-nvr-sim ostrel-nvr-lab; do
      [[ -x $usr/bin/$program ]] || fail "$program is not installed in usr/bin"
      page=$usr/share/man/man1/$program.1.gz
      [[ -e $page ]] || fail "no compressed man page $page"
    done
    for deb in "${debs[@]}"; do
      [[ $(dpkg-deb -c "$deb" | awk '{print $2}' | sort -u) == root/root ]] ||
        fail "$(basename "$deb") holds files not owned by root"
    done
    # Nothing installed may lead back to where it was built.
    leaks=$(grep -rlF -e "$source_dir" -e "$(realpath "$build")" "$root" 2>/dev/null)
    [[ -z $leaks ]] || fail "installed files name the source or build folder: $leaks"
    ;;

  lintian)
    need lintian
    : >"$build/deb/lintian.txt"
    for deb in "${debs[@]}"; do
      out=$(lintian --info --display-info "$deb" 2>&1)
      printf '== lintian %s\n%s\n' "$(basename "$deb")" "${out:-(no findings)}" | tee -a "$build/deb/lintian.txt"
      if grep -q '^E: ' <<<"$out"; then fail "lintian reports errors on $(basename "$deb")"; fi
    done
    ;;

  man)
    need man
    for program in ostrel-nvr-search ostrel-nvr ostrel-nvr-sim ostrel-nvr-lab; do
      page=$usr/share/man/man1/$program.1.gz
      warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
      [[ -z $warnings ]] || fail "$program.1 renders with warnings: $warnings"
      text=$(MANWIDTH=80 man -l "$page" 2>/dev/null | col -bx)
      [[ -n $text ]] || { fail "$program.1 renders empty"; continue; }
      # Every option the program's help names is described in its page.
      case $program in
        ostrel-nvr-lab) help=$("$usr/bin/$program" --help 2>&1) ;;
        *) help=$("$usr/bin/$program" --help 2>&1) || fail "$program --help exited non-zero" ;;
      esac
      for option in $(grep -oE -- '--[a-z][a-z-]*' <<<"$help" | sort -u); do
        grep -qF -- "$option" <<<"$text" || fail "$program.1 does not mention $option"
      done
    done
    ;;

  run)
    version=${4:?no version}
    for program in ostrel-nvr-search ostrel-nvr ostrel-nvr-sim; do
      out=$(cd / && env -u QT_QPA_PLATFORM -u DISPLAY "$usr/bin/$program" --version 2>&1)
      code=$?
      [[ $code == 0 && $out == "$program $version" ]] ||
        fail "$program --version printed \"$out\" and exited $code (expected \"$program $version\", 0)"
      echo "$out"
    done
    ;;

  summary)
    cat "$build/deb/summary.txt" "$build/deb/lintian.txt" || exit 1
    exit 0
    ;;

  *)
    echo "package check: unknown action $action" >&2
    exit 2
    ;;
esac
finish
