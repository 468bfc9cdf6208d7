#!/usr/bin/env bash
# scripts/fresh-machine.sh [--suite-runs N] [--keep]
#
# What a new user meets: a minimal Debian 12 root (mmdebstrap, with this
# machine's apt sources and nothing but git), a clean clone of the committed
# HEAD, and in it, as root, the README's two commands:
#   1. ./run first, with no display: it must install what it needs and build
#      the viewer and voxeltool with that alone, and the viewer must then say
#      that it has no display (status 255);
#   2. ./test with DISPLAY naming a display that does not exist (the tests
#      must bring their own), then the suite N - 1 more times (default N = 1);
#   3. ./run under a virtual display, ended by Escape: status 0.
# A package that the scripts forget to install fails here, whatever this
# machine happens to have. Runs as root (through sudo if need be: chroot and
# mounts); the root is removed afterwards unless --keep is given.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
if [ "$(id -u)" -ne 0 ]; then
  exec sudo "$0" "$@"  # chroot and mounts
fi
suite_runs=1
keep=0
while [ $# -gt 0 ]; do
  case "$1" in
    --suite-runs) suite_runs="$2"; shift 2 ;;
    --keep) keep=1; shift ;;
    *) echo "usage: scripts/fresh-machine.sh [--suite-runs N] [--keep]" >&2; exit 2 ;;
  esac
done
"$here/scripts/install-deps.sh" test

source "$here/scripts/fresh-root.sh"
if [ -n "$(git -C "$here" status --porcelain --untracked-files=no)" ]; then
  echo "== note: uncommitted changes are not part of the check (a clean clone of HEAD is)"
fi
commit="$(git -C "$here" rev-parse HEAD)"
fresh_root_start "fresh machine" "$keep" git,ca-certificates

say "cloning $commit"
git clone --quiet --no-local "$here" "$root/root/voxelview"
git -C "$root/root/voxelview" checkout --quiet --detach "$commit"
root_workdir=/root/voxelview

say "./run with only what it installs itself, and no display"
in_root '
  status=0
  DISPLAY=:123 ./run > /tmp/run.log 2>&1 || status=$?
  if [ $status -ne 255 ] || ! grep -q "^voxelview: cannot" /tmp/run.log; then
    cat /tmp/run.log >&2
    echo "./run ended with status $status, not with the viewer'"'"'s no-display error" >&2
    exit 1
  fi
  test -x build/tools/voxeltool
'

say "./test, with DISPLAY=:123 (no such display)"
in_root 'DISPLAY=:123 ./test'
for ((run = 2; run <= suite_runs; run++)); do
  say "the suite again, run $run of $suite_runs"
  in_root 'cd build && DISPLAY=:123 ctest --output-on-failure -j"$(nproc)"'
done

say "./run under a virtual display, ended by Escape"
in_root '
  number_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number_file" 2>/dev/null &
  server=$!
  trap "kill $server 2>/dev/null" EXIT
  for ((i = 0; i < 300; i++)); do
    [ -s "$number_file" ] && break
    kill -0 $server 2>/dev/null || { echo "Xvfb ended" >&2; exit 1; }
    sleep 0.1
  done
  export DISPLAY=":$(cat "$number_file")"
  ./run > /tmp/run.log 2>&1 &
  viewer=$!
  if ! build/tests/x-input escape $viewer 900; then
    cat /tmp/run.log >&2
    kill $viewer 2>/dev/null
    exit 1
  fi
  status=0
  wait $viewer || status=$?
  echo "./run ended with status $status"
  [ $status -eq 0 ] || { cat /tmp/run.log >&2; exit 1; }
'
say "passed"
