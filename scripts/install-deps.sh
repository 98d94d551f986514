#!/usr/bin/env bash
# Installs the Debian packages Wendale needs to build, run and test, when missing.
set -euo pipefail

packages=(g++ cmake make qt6-base-dev fonts-liberation
  # the tests run the phone tools against the simulated GSM terminal; socat makes pty pairs
  gammu gsm-utils socat
  # the tests and bench_remote start a network serial server to serve remote ports
  ser2net
  # scripts/test-package.sh: building the Debian package and checking it
  dpkg-dev lintian appstream desktop-file-utils)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
