#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each from its seeds in
# fuzz/corpus for a bounded time (FUZZ_SECONDS, a minute unless set): a
# crash, a failed check, a leak or memory past the limit fails the script.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/settings.sh"
# clang and its runtimes, libFuzzer's among them
"$top/scripts/install-deps.sh" "${run_packages[@]}" "${fuzz_packages[@]}"

cd "$top"
targets=(send_parser rfc2217_parser received_texts)
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWENDALE_FUZZ=ON -DBUILD_TESTING=OFF
cmake --build build-fuzz --parallel 2 --target "${targets[@]/#/fuzz_}"
for target in "${targets[@]}"; do
  found=build-fuzz/fuzz/corpus/$target
  mkdir -p "$found"
  echo "== fuzz_$target"
  "build-fuzz/fuzz/fuzz_$target" -max_total_time="${FUZZ_SECONDS:-60}" -rss_limit_mb=1024 -print_final_stats=1 \
    -artifact_prefix="build-fuzz/fuzz/$target-" "$found" "fuzz/corpus/$target"
done
