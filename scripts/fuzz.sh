#!/usr/bin/env bash
# scripts/fuzz.sh [SECONDS]: builds the fuzz targets with clang in build-fuzz/
# and runs each for SECONDS (default 10) on a copy of its committed corpus, so
# the repository is not changed. Ends non-zero on a crash, leak, sanitizer
# report or hang; the reproducer is left in the printed temporary directory.
set -euo pipefail
seconds="${1:-10}"
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/install-deps.sh" test
build="$here/build-fuzz"
targets=(png_texture_fuzz block_records_fuzz)

if ! command -v clang++-14 >/dev/null; then
  echo "scripts/fuzz.sh needs clang-14 and libclang-rt-14-dev (libFuzzer)" >&2
  exit 2
fi

CC=clang-14 CXX=clang++-14 cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVOXEL_FUZZ=ON -DVOXEL_BUILD_TESTS=OFF -DVOXEL_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target "${targets[@]}" -j"$(nproc)"

work="$(mktemp -d)"
status=0
for target in "${targets[@]}"; do
  corpus="$work/$target"
  mkdir -p "$corpus" "$work/$target-crashes"
  cp "$here/tests/fuzz/corpus/$target/"* "$corpus/"
  echo "== $target for ${seconds}s"
  if ! (cd "$work/$target-crashes" &&
        "$build/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
          -print_final_stats=1 "$corpus"); then
    echo "== $target failed; reproducer in $work/$target-crashes" >&2
    status=1
  fi
done
[ "$status" -eq 0 ] && rm -rf "$work"
exit "$status"
