#!/usr/bin/env bash
# Installs what building, running and the tests need when missing, builds, and runs every test
# headless, each for at most $WENDALE_TEST_TIMEOUT seconds.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
source "$top/scripts/settings.sh"
"$top/scripts/install-deps.sh" "${run_packages[@]}" "${test_packages[@]}"
"$top/scripts/build.sh"
build=${WENDALE_BUILD_DIR:-$top/build}
cd "$build"
ctest --output-on-failure --timeout "$WENDALE_TEST_TIMEOUT"
