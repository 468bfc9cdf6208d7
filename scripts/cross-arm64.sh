#!/usr/bin/env bash
# scripts/cross-arm64.sh [--full] [ctest arguments]: builds the world library
# and its GL-free tests for arm64 in build-arm64/ with Debian's cross compiler
# and runs them under qemu-user-static. They check that the portable noise and
# meshing code gives the world of x86 byte for byte: the kernels equal Noise3D,
# the fast chunk build equals the reference build, and six chunks hash as on
# x86 (KnownWorldTest, the lines of `voxeltool digest`). Installs what is
# missing, adding arm64 as a foreign architecture for Debian's arm64 builds of
# the libraries the world links.
#
# The reference build of a chunk takes some 4 s of CPU under the emulator, so
# the 100 chunks of the initial square would take nine tenths of the testing;
# they run only with --full. The far and negative chunks, the six pinned ones
# and the random meshing cases always run.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
skip=(-E '^InitialSquare/')
if [ "${1:-}" = "--full" ]; then
  skip=()
  shift
fi
build="$here/build-arm64"
start=$SECONDS

# The world library sits on gpu/ and blocks/ (and the chunk build test takes
# the viewer's initial square from app/), so linking them for arm64 takes the
# arm64 GL, GLFW, PNG and Lua libraries even though no test calls GL; the
# tests' CMake wants X11 and GoogleTest.
host_packages=(cmake make libcli11-dev g++-aarch64-linux-gnu qemu-user-static)
arm64_packages=(libglew-dev libglfw3-dev libpng-dev liblua5.1-0-dev libgtest-dev libx11-dev libxtst-dev)
# The noise, terrain and chunk identity tests, and the other world tests that
# need neither a window nor the worker threads.
tests=(
  world_noise_test world_fast_noise_test world_terrain_test world_chunk_build_test
  world_chunk_data_test world_chunk_meshing_test
)

missing=()
for p in "${host_packages[@]}" "${arm64_packages[@]/%/:arm64}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}" >&2
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  if ! dpkg --print-foreign-architectures | grep -qx arm64; then
    $sudo dpkg --add-architecture arm64
  fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
echo "cross-arm64: packages ready after $((SECONDS - start)) s" >&2

cmake -S "$here" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/aarch64-linux-gnu.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DVOXEL_BUILD_TESTS=ON -DVOXEL_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${tests[@]}"
echo "cross-arm64: built after $((SECONDS - start)) s" >&2

# Only the programs built above have discovered tests with labels; ctest
# leaves out the placeholders of the others.
cd "$build"
status=0
ctest -L unit "${skip[@]}" --output-on-failure -j"$(nproc)" "$@" || status=$?
echo "cross-arm64: done after $((SECONDS - start)) s" >&2
exit $status
