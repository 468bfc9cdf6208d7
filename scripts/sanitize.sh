#!/usr/bin/env bash
# The test suite under sanitizers, as CI runs it:
#  1. everything built with AddressSanitizer + UndefinedBehaviorSanitizer
#     (LeakSanitizer included), the whole ctest suite;
#  2. the worker pool, streaming, an end-to-end run and the region tools'
#     chunk farm (also through voxeltool map) built with ThreadSanitizer.
# Any report fails the run. Usage: scripts/sanitize.sh [asan|tsan]...
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/install-deps.sh" test
jobs="$(nproc)"
modes=("$@")
[ ${#modes[@]} -eq 0 ] && modes=(asan tsan)

configure() {  # build dir, sanitizers
  # The browser tests drive the WebAssembly build, which no sanitizer builds.
  cmake -S "$here" -B "$1" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVOXEL_SANITIZE="$2" \
    -DVOXEL_BUILD_BENCH=OFF -DVOXEL_BROWSER_TESTS=OFF >/dev/null
}

export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export ASAN_OPTIONS="abort_on_error=0:detect_leaks=1:strict_init_order=1"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1"

for mode in "${modes[@]}"; do
  case "$mode" in
    asan)
      configure "$here/build-asan" address,undefined
      cmake --build "$here/build-asan" -j"$jobs"
      (cd "$here/build-asan" && ctest --output-on-failure --no-tests=error -j"$jobs" -LE soak)
      (cd "$here/build-asan" && ctest --output-on-failure --no-tests=error -L soak)
      ;;
    tsan)
      configure "$here/build-tsan" thread
      cmake --build "$here/build-tsan" -j"$jobs" --target \
        world_chunk_queue_test world_chunk_upload_test app_camera_control_test app_program_test \
        app_soak_test tools_unit_test tools_map_test
      # llvmpipe's own rasteriser threads use locks TSan cannot see into (the
      # driver is not instrumented) and report races inside Mesa; drawing on
      # the calling thread leaves only our threads, all of them checked.
      # The tests that run threads of ours carry the label tsan; a selection
      # that finds none (a renamed label) fails instead of passing empty.
      (cd "$here/build-tsan" && LP_NUM_THREADS=0 VX_SOAK_CROSSINGS=40 ctest --output-on-failure \
        --no-tests=error -j"$jobs" -L tsan)
      ;;
    *)
      echo "unknown mode: $mode (asan or tsan)" >&2
      exit 2
      ;;
  esac
done
