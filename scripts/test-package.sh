#!/usr/bin/env bash
# Builds the Debian package in build-package/ (or $WENDALE_PACKAGE_BUILD_DIR), checks it with
# lintian, desktop-file-validate and appstreamcli, installs it with apt-get, tries the installed
# programs, and removes it again, checking that none of its files is left. The package is never
# left installed, whatever fails; a wendale package installed before the run is left alone.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${WENDALE_PACKAGE_BUILD_DIR:-$top/build-package}
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

step() { printf '\n== %s\n' "$*"; }
fail() { printf 'test-package: %s\n' "$*" >&2; exit 1; }
installed() { dpkg-query -W -f='${Status}' wendale 2>/dev/null | grep -q "install ok installed"; }

source "$top/scripts/settings.sh"
# socat makes the pseudo-terminal the installed program opens
"$top/scripts/install-deps.sh" "${run_packages[@]}" socat "${package_check_packages[@]}"
installed && fail "a wendale package is installed already; remove it first (apt-get remove wendale)"

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  if installed; then
    echo "test-package: removing the package after a failure" >&2
    DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y wendale >/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

step "Build"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DBUILD_TESTING=OFF
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/wendale_*.deb
(cd "$build" && cpack -G DEB)
debs=("$build"/wendale_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  fail "cpack made no single wendale_*.deb in $build"
fi
deb=${debs[0]}
echo "Package: $(basename "$deb"), $(stat -c %s "$deb") bytes," \
  "installed size $(dpkg-deb -f "$deb" Installed-Size) KiB"
echo "Depends: $(dpkg-deb -f "$deb" Depends)"

step "Contents"
programs=$(dpkg-deb -c "$deb" | awk '{print $NF}' | grep '^\./usr/bin/.' | sort | tr '\n' ' ')
[ "$programs" = "./usr/bin/wendale ./usr/bin/wendale-devsim " ] \
  || fail "the package's programs are $programs, not wendale and wendale-devsim"
dpkg-deb -c "$deb" | awk '{print $NF}' | grep -Eq '^\./usr/share/man/man1/wendale\.1\.gz$' \
  || fail "the package has no wendale.1.gz"
echo "programs: $programs"

step "lintian"
lintian --fail-on error,warning --display-info "$deb"

step "Install"
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "$deb"
installed || fail "apt-get did not install the package"
files=$(dpkg -L wendale)

step "Desktop entry and AppStream metadata"
desktop-file-validate /usr/share/applications/org.wendale.Wendale.desktop
appstreamcli validate --no-net /usr/share/metainfo/org.wendale.Wendale.metainfo.xml
icon=$(sed -n 's/^Icon=//p' /usr/share/applications/org.wendale.Wendale.desktop)
for size in 32x32 64x64; do
  grep -qxF "/usr/share/icons/hicolor/$size/apps/$icon.png" <<<"$files" \
    || fail "the desktop entry's icon $icon has no $size picture in the package"
done

step "The installed manual"
# Help > Content opens the installed manual first, at a path relative to the program's folder
# that is compiled into the program: read it from the installed binary itself, so that a
# mismatch between where the package puts the manual and where the program looks is caught.
strings -e l /usr/bin/wendale >"$work/strings"
help_dir=$(grep -m1 -xE '(\.\./)+share/wendale/help/' "$work/strings") \
  || fail "/usr/bin/wendale names no share/wendale/help/ folder"
manual=$(realpath -m "/usr/bin/$help_dir/index.html")
[ -f "$manual" ] || fail "the program looks for its manual at $manual, which is missing"
grep -qxF "$manual" <<<"$files" || fail "$manual is not the package's"
echo "Help > Content opens $manual"

step "wendale-devsim --help"
/usr/bin/wendale-devsim --help >"$work/devsim-help" || fail "wendale-devsim --help failed"
grep -q -- "--ports-dir" "$work/devsim-help" || fail "wendale-devsim --help lists no --ports-dir"
/usr/bin/wendale --help | grep -q -- "--log" || fail "wendale --help lists no --log"

step "The installed program with a pseudo-terminal as COM1"
mkdir "$work/ports"
socat pty,raw,echo=0,link="$work/ports/COM1" pty,raw,echo=0,link="$work/device" &
pids+=($!)
for _ in $(seq 50); do [ -e "$work/ports/COM1" ] && [ -e "$work/device" ] && break; sleep 0.1; done
[ -c "$work/ports/COM1" ] || fail "socat made no pseudo-terminal"
WENDALE_PORTS_DIR="$work/ports" QT_QPA_PLATFORM=offscreen /usr/bin/wendale >"$work/wendale.out" 2>&1 &
wendale=$!
pids+=("$wendale")
sleep 3
kill -0 "$wendale" 2>/dev/null || { cat "$work/wendale.out" >&2; fail "/usr/bin/wendale did not stay up"; }
if grep -q "wendale:" "$work/wendale.out"; then
  cat "$work/wendale.out" >&2
  fail "/usr/bin/wendale complained at start"
fi
# SIGTERM closes the window as File > Exit does.
kill -TERM "$wendale"
status=0
wait "$wendale" || status=$?
[ "$status" -eq 0 ] || { cat "$work/wendale.out" >&2; fail "/usr/bin/wendale ended with $status on SIGTERM"; }
echo "stayed up 3 s with COM1 -> $(readlink "$work/ports/COM1"); closed with 0 on SIGTERM"

step "Remove"
DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y wendale
installed && fail "apt-get did not remove the package"
# A folder may stay when another package owns it too or something else is in it.
left=()
while IFS= read -r path; do
  [ -e "$path" ] || [ -L "$path" ] || continue
  if [ -d "$path" ] && ! [ -L "$path" ]; then
    [ -n "$(ls -A "$path")" ] && continue
    dpkg -S "$path" >/dev/null 2>&1 && continue
  fi
  left+=("$path")
done <<<"$files"
[ ${#left[@]} -eq 0 ] || fail "left behind: ${left[*]}"
echo "none of the package's $(wc -l <<<"$files") paths is left"

printf '\ntest-package: all checks passed\n'
