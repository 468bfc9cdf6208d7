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
suite_runs=1
keep=0
while [ $# -gt 0 ]; do
  case "$1" in
    --suite-runs) suite_runs="$2"; shift 2 ;;
    --keep) keep=1; shift ;;
    *) echo "usage: scripts/fresh-machine.sh [--suite-runs N] [--keep]" >&2; exit 2 ;;
  esac
done
if [ "$(id -u)" -ne 0 ]; then
  exec sudo "$0" "$@"  # chroot and mounts
fi
"$here/scripts/install-deps.sh" test

started=$SECONDS
say() { echo "== fresh machine, $((SECONDS - started)) s: $*"; }
root="$(mktemp -d /tmp/voxelview-fresh.XXXXXX)"
mounts=()
cleanup() {
  local status=$?
  # Innermost first; lazily, so a process still holding a mount cannot keep
  # it (and the host's /dev below it) in the root.
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do umount -R -l "${mounts[i]}" 2>/dev/null || true; done
  if [ "$keep" -eq 1 ]; then
    echo "== root kept in $root"
  else
    rm -rf --one-file-system "$root"
  fi
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ -n "$(git -C "$here" status --porcelain --untracked-files=no)" ]; then
  echo "== note: uncommitted changes are not part of the check (a clean clone of HEAD is)"
fi
commit="$(git -C "$here" rev-parse HEAD)"

sources=()
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
  [ -f "$f" ] && sources+=("$f")
done
say "making a minimal Debian 12 root in $root"
mmdebstrap --quiet --variant=minbase --include=git,ca-certificates bookworm "$root" "${sources[@]}"

# The root sits on this machine's network: where that network's traffic
# passes through a proxy that presents certificates of a local authority, a
# user's machine there trusts that authority too (downloads such as the glTF
# validator's fail otherwise), and it uses the same proxy. The root trusts what
# this machine trusts, however it came to: each certificate of the bundle that
# this machine's TLS clients read, and the root's own bundle lacks, becomes a
# local authority of the root's.
host_bundle="${SSL_CERT_FILE:-/etc/ssl/certs/ca-certificates.crt}"
if [ -f "$host_bundle" ]; then
  local_cas="$root/usr/local/share/ca-certificates"
  mkdir -p "$local_cas"
  awk -v dir="$local_cas" '
    /-----BEGIN CERTIFICATE-----/ { pem = "" }
    { pem = pem $0 "\n" }
    /-----END CERTIFICATE-----/ {
      if (FNR == NR) { known[pem] = 1 }
      else if (!(pem in known)) { file = sprintf("%s/host-%d.crt", dir, ++n); printf "%s", pem > file; close(file) }
    }
  ' "$root/etc/ssl/certs/ca-certificates.crt" "$host_bundle"
  chroot "$root" update-ca-certificates > /dev/null
fi

say "cloning $commit"
git clone --quiet --no-local "$here" "$root/root/voxelview"
git -C "$root/root/voxelview" checkout --quiet --detach "$commit"

mount -t proc proc "$root/proc" && mounts+=("$root/proc")
mount --rbind /sys "$root/sys" && mount --make-rslave "$root/sys" && mounts+=("$root/sys")
mount --rbind /dev "$root/dev" && mount --make-rslave "$root/dev" && mounts+=("$root/dev")

proxies=()
for name in http_proxy https_proxy no_proxy HTTP_PROXY HTTPS_PROXY NO_PROXY; do
  if [ -n "${!name:-}" ]; then proxies+=("$name=${!name}"); fi
done
in_root() {  # runs a bash command in the clone, as a new login would
  chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "${proxies[@]}" \
    /bin/bash -c "cd /root/voxelview && $1"
}

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
