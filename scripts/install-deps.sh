#!/usr/bin/env bash
# scripts/install-deps.sh [run|web|package|test]...: installs the Debian
# packages a task needs, if any is missing.
#   run      building and using the viewer and voxeltool (./run)
#   web      run, plus building and serving the browser version (./web): its
#            libraries are built from the sources of run's -dev packages
#   package  run, plus building and checking the Debian package (./package)
#   test     all of them, plus the test suite, the benchmarks, the sanitizer
#            and fuzz builds, the browser tests and the fresh-machine checks
#            (./test, .ci/run)
set -euo pipefail

run_packages=(
  cmake g++ make
  liblua5.1-0-dev libpng-dev libglew-dev libglfw3-dev libgl1-mesa-dri
  libcli11-dev nlohmann-json3-dev
)
web_packages=(
  "${run_packages[@]}"
  emscripten nodejs dpkg-dev
)
# dpkg-dev for dpkg-shlibdeps and dpkg-buildflags, file for CPack's search of
# the programs among the files.
package_packages=(
  "${run_packages[@]}"
  dpkg-dev file lintian
)
# groff-base renders the man page for the test that holds it to --help,
# desktop-file-utils checks the menu entry, npm installs the glTF validator
# and the browser tests' driver, chromium runs the browser tests.
test_packages=(
  "${web_packages[@]}"
  "${package_packages[@]}"
  chromium
  libgtest-dev libbenchmark-dev
  xvfb libx11-dev libxtst-dev
  libtinygltf-dev nodejs npm ca-certificates
  groff-base desktop-file-utils
  clang-14 libclang-rt-14-dev
  mmdebstrap
)

groups=("$@")
[ ${#groups[@]} -eq 0 ] && groups=(test)
wanted=()
for group in "${groups[@]}"; do
  case "$group" in
    run) wanted+=("${run_packages[@]}") ;;
    web) wanted+=("${web_packages[@]}") ;;
    package) wanted+=("${package_packages[@]}") ;;
    test) wanted+=("${test_packages[@]}") ;;
    *)
      echo "scripts/install-deps.sh: unknown group '$group' (run, web, package or test)" >&2
      exit 2
      ;;
  esac
done

missing=()
for p in "${wanted[@]}"; do
  # A Node from elsewhere (NodeSource's) brings its own npm and refuses
  # Debian's; the command is what the build needs.
  if [ "$p" = npm ] && command -v npm > /dev/null; then continue; fi
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
