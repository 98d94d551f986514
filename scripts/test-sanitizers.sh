#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test,
# each for at most $WENDALE_TEST_TIMEOUT seconds.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
source "$top/scripts/settings.sh"
"$top/scripts/install-deps.sh" "${run_packages[@]}" "${test_packages[@]}"
cd "$top"
cmake --preset asan
cmake --build --preset asan
ctest --preset asan --timeout "$WENDALE_TEST_TIMEOUT"
