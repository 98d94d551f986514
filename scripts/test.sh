#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh"
build=${WENDALE_BUILD_DIR:-$top/build}
cd "$build"
ctest --output-on-failure --timeout 900
