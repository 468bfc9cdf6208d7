#!/usr/bin/env bash
# Installs the Debian packages the project needs, if any is missing.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  liblua5.1-0-dev libpng-dev libglew-dev libglfw3-dev
  libgtest-dev libbenchmark-dev
  clang-14 libclang-rt-14-dev
  libx11-dev xvfb xauth libgl1-mesa-dri xdotool
)

missing=()
for p in "${packages[@]}"; do
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
