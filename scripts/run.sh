#!/usr/bin/env bash
# Installs what building and running need when missing, builds, and starts Wendale with the
# device simulator on COM1-COM7.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
source "$top/scripts/settings.sh"
"$top/scripts/install-deps.sh" "${run_packages[@]}"
"$top/scripts/build.sh"
build=${WENDALE_BUILD_DIR:-$top/build}
exec "$build/tools/devsim/wendale-devsim" --run "$build/src/wendale"
