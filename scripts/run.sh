#!/usr/bin/env bash
# Installs what is missing, builds, and starts Wendale with the device simulator on COM1-COM7.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh"
build=${WENDALE_BUILD_DIR:-$top/build}
exec "$build/tools/devsim/wendale-devsim" --run "$build/src/wendale"
