#!/usr/bin/env bash
# scripts/package-check.sh [--keep]
#
# The Debian package on a machine that never built anything. Here: ./package
# builds dist/voxelview_*.deb, and the package's voxeltool takes the viewer's
# first picture (`voxeltool shot`, from the place and direction where the
# viewer starts). Then a minimal Debian 12 root (mmdebstrap, this machine's apt
# sources) installs it with `apt-get install ./voxelview_*.deb`, as a user
# would, and there:
#   1. no compiler, no CMake and no -dev package came with it;
#   2. `voxelview`, started from an empty folder under a virtual display, shows
#      that picture (x-picture) and Escape ends it with status 0 (x-input);
#   3. `voxeltool blocks` and `voxeltool map` work from an empty folder, with
#      the installed data, and in a folder holding a different Blocks.lua read
#      that one;
#   4. the menu entry passes desktop-file-validate, man finds both pages, and
#      the completion is where bash-completion looks;
#   5. `apt-get purge voxelview` leaves none of its files behind.
# What the root installs after step 1 (Xvfb, desktop-file-utils, man-db, the
# X input library of the helpers) is the check's own tooling, not the
# package's. Runs as root (chroot and mounts); the root is removed afterwards
# unless --keep is given.
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then
  exec sudo "$0" "$@"
fi
here="$(cd "$(dirname "$0")/.." && pwd)"
keep=0
case "${1:-}" in
  "") ;;
  --keep) keep=1 ;;
  *) echo "usage: scripts/package-check.sh [--keep]" >&2; exit 2 ;;
esac
"$here/scripts/install-deps.sh" package test
source "$here/scripts/fresh-root.sh"
fresh_root_label="package check"
fresh_root_started=$SECONDS
fresh_root_keep=$keep

say "building the package (./package)"
"$here/package"
deb="$(ls "$here"/dist/voxelview_*.deb)"

# The helpers that type Escape and compare the window with a picture, from
# the test build.
cmake -S "$here" -B "$here/build" -DCMAKE_BUILD_TYPE=Release \
  -DVOXEL_BUILD_TESTS=ON -DVOXEL_BUILD_BENCH=ON >/dev/null
cmake --build "$here/build" -j"$(nproc)" --target x-input x-picture

check="$(mktemp -d /tmp/voxelview-package-check.XXXXXX)"
trap 'rm -rf "$check"' EXIT
cp "$deb" "$here/build/tests/x-input" "$here/build/tests/x-picture" "$check/"
# A pack of one's own: the shipped script with sand on top of the top soil.
mkdir "$check/own"
sed 's/Column(GRASS_TOP, GRASS_SIDE, DIRT)/Column(SAND, GRASS_SIDE, DIRT)/' \
  "$here/data/Blocks.lua" > "$check/own/Blocks.lua"
cmp -s "$here/data/Blocks.lua" "$check/own/Blocks.lua" && { echo "no different Blocks.lua" >&2; exit 1; }
cp "$here/data/Texture.png" "$here/data/AO.png" "$check/own/"

say "taking the viewer's first picture with the package build's voxeltool shot"
tool="$here/build-package/tools/voxeltool"
(cd "$here/data" && xvfb-run -a -s "-screen 0 1024x768x24" \
  "$tool" shot --at 0 100 0 --turn 90 0 --out "$check/first.png" >/dev/null)
(cd "$here/data" && "$tool" blocks > "$check/blocks-installed.txt")
(cd "$check/own" && "$tool" blocks > "$check/blocks-own.txt")

fresh_root_start "package check" "$keep" ca-certificates
cp -r "$check" "$root/root/check"
rm -rf "$check"

say "apt-get install ./$(basename "$deb")"
in_root 'dpkg-query -W -f="\${Package}\n" | sort > before.txt'
in_root 'apt-get update -qq && cd check &&
  { DEBIAN_FRONTEND=noninteractive apt-get install -y -qq ./voxelview_*.deb > install.log 2>&1 ||
    { cat install.log >&2; exit 1; }; }'
in_root '
  dpkg-query -W -f="\${Package}\n" | sort > after.txt
  echo "$(comm -13 before.txt after.txt | wc -l) packages installed, $(du -sh /usr | cut -f1) in /usr"
  tools=$(grep -E "^(gcc|g\+\+|cpp|clang|llvm|cmake|make|build-essential)([-.0-9]*)$|^cmake-|-dev$|-dev:" after.txt || true)
  if [ -n "$tools" ]; then echo "installed, though only a build needs them:" $tools >&2; exit 1; fi
  for command in cc gcc g++ c++ clang cmake; do
    if command -v $command; then echo "$command is installed" >&2; exit 1; fi
  done
  echo "no compiler, no CMake, no -dev package"
'

say "installing the check's own tools in the root (Xvfb, desktop-file-utils, man-db)"
in_root 'DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
  xvfb xauth desktop-file-utils man-db libxtst6 > tools.log 2>&1 || { cat tools.log >&2; exit 1; }'

say "voxelview from an empty folder shows the first picture; Escape ends it"
in_root '
  number_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number_file" 2>/dev/null &
  server=$!
  trap "kill $server 2>/dev/null" EXIT
  for ((i = 0; i < 300; i++)); do
    [ -s "$number_file" ] && break
    kill -0 $server 2>/dev/null || { echo "Xvfb ended" >&2; exit 1; }
    sleep 0.1
  done
  export DISPLAY=":$(cat "$number_file")"
  mkdir empty && cd empty
  voxelview > ../viewer.log 2>&1 &
  viewer=$!
  if ! ../check/x-picture match $viewer ../check/first.png 300 ../seen.png ||
     ! ../check/x-input escape $viewer 60; then
    cat ../viewer.log >&2
    kill $viewer 2>/dev/null
    exit 1
  fi
  status=0
  wait $viewer || status=$?
  echo "voxelview ended with status $status"
  [ $status -eq 0 ] || { cat ../viewer.log >&2; exit 1; }
  [ -z "$(ls -A)" ] || { echo "voxelview left files in its working folder:" * >&2; exit 1; }
' || { cp "$root/root/seen.png" "$here/dist/package-check-seen.png" 2>/dev/null &&
  echo "== the closest picture seen: dist/package-check-seen.png" >&2; exit 1; }

say "voxeltool blocks and map, from an empty folder and from a folder with its own Blocks.lua"
in_root '
  set -e
  fail() { echo "$*" >&2; exit 1; }
  mkdir nothing && cd nothing
  voxeltool blocks > ../blocks.txt 2> ../blocks.err || fail "voxeltool blocks: status $?: $(cat ../blocks.err)"
  cmp -s ../blocks.txt ../check/blocks-installed.txt || fail "voxeltool blocks did not list the installed script"
  grep -qx "voxeltool blocks: no Blocks.lua in the working directory: reading the data installed in /usr/share/voxelview" ../blocks.err ||
    fail "voxeltool blocks did not say where its data came from: $(cat ../blocks.err)"
  voxeltool map --from -2 -2 --to 1 1 --out map.png 2> ../map.err || fail "voxeltool map: $(cat ../map.err)"
  [ "$(head -c 8 map.png | od -An -tx1 | tr -d " ")" = 89504e470d0a1a0a ] || fail "map.png is no PNG file"
  cd ../check/own
  voxeltool blocks > ../../own-blocks.txt 2> ../../own-blocks.err || fail "voxeltool blocks in a pack: $(cat ../../own-blocks.err)"
  cmp -s ../../own-blocks.txt ../blocks-own.txt || fail "voxeltool blocks did not list the folder'"'"'s own script"
  [ ! -s ../../own-blocks.err ] || fail "voxeltool blocks in a pack said: $(cat ../../own-blocks.err)"
  voxeltool map --from -2 -2 --to 1 1 --out map.png 2> ../../own-map.err || fail "voxeltool map in a pack: $(cat ../../own-map.err)"
  [ ! -s ../../own-map.err ] || fail "voxeltool map in a pack said: $(cat ../../own-map.err)"
  ! cmp -s map.png ../../nothing/map.png || fail "the map of the pack is the map of the installed data"
  echo "blocks and map read the installed data from an empty folder, and a folder'"'"'s own pack in it"
'

say "the menu entry, the man pages, the completion"
in_root '
  set -e
  desktop-file-validate /usr/share/applications/voxelview.desktop
  for page in voxelview voxeltool; do
    echo "man $page: $(man -w $page)"
    man -P cat $page 2>/dev/null | grep -q "VIEWING YOUR OWN PACK" || { echo "man $page shows no page" >&2; exit 1; }
  done
  test -f /usr/share/bash-completion/completions/voxeltool
  test -f /usr/share/icons/hicolor/64x64/apps/voxelview.png
  echo "desktop-file-validate passes; man finds both pages"
'

say "apt-get purge voxelview"
in_root '
  dpkg-query -L voxelview > files.txt
  DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq voxelview > purge.log 2>&1 || { cat purge.log >&2; exit 1; }
  if dpkg-query -W voxelview > /dev/null 2>&1; then echo "voxelview is still known to dpkg" >&2; exit 1; fi
  left=0
  while read -r path; do
    if [ -d "$path" ] && [ ! -L "$path" ]; then
      # A folder may stay if other files are in it.
      [ -z "$(ls -A "$path")" ] && { echo "left behind: $path/" >&2; left=1; }
    elif [ -e "$path" ] || [ -L "$path" ]; then
      echo "left behind: $path" >&2
      left=1
    fi
  done < files.txt
  [ $left -eq 0 ] || exit 1
  echo "none of its $(grep -c . files.txt) paths is left"
'
say "passed"
