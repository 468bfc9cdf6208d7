# scripts/fresh-root.sh: sourced by the checks that start from a new machine
# (scripts/fresh-machine.sh, scripts/package-check.sh), as root.
#
#   fresh_root_start LABEL KEEP PACKAGES  makes a minimal Debian 12 root with
#                          mmdebstrap from this machine's apt sources, holding
#                          the comma-separated PACKAGES, in $root; mounts /proc,
#                          /sys and /dev there; removes it all when the script
#                          ends, unless KEEP is 1
#   in_root COMMAND        runs a bash command in the root as a new login
#                          would, in $root_workdir (default /root)
#   say TEXT               one line of progress, with the seconds since the
#                          start ($fresh_root_started, if set before)
fresh_root_start() {
  fresh_root_label=$1
  fresh_root_keep=$2
  fresh_root_started=${fresh_root_started:-$SECONDS}
  root="$(mktemp -d /tmp/voxelview-fresh.XXXXXX)"
  fresh_root_mounts=()
  trap fresh_root_cleanup EXIT
  trap 'exit 130' INT TERM

  local sources=() f
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && sources+=("$f")
  done
  say "making a minimal Debian 12 root in $root"
  mmdebstrap --quiet --variant=minbase --include="$3" bookworm "$root" "${sources[@]}"

  # The root sits on this machine's network: where that network's traffic
  # passes through a proxy that presents certificates of a local authority, a
  # user's machine there trusts that authority too (downloads fail
  # otherwise), and it uses the same proxy. The root trusts what this machine
  # trusts, however it came to: each certificate of the bundle that this
  # machine's TLS clients read, and the root's own bundle lacks, becomes a
  # local authority of the root's.
  local host_bundle="${SSL_CERT_FILE:-/etc/ssl/certs/ca-certificates.crt}"
  if [ -f "$host_bundle" ] && [ -f "$root/etc/ssl/certs/ca-certificates.crt" ]; then
    local local_cas="$root/usr/local/share/ca-certificates"
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

  mount -t proc proc "$root/proc" && fresh_root_mounts+=("$root/proc")
  mount --rbind /sys "$root/sys" && mount --make-rslave "$root/sys" && fresh_root_mounts+=("$root/sys")
  mount --rbind /dev "$root/dev" && mount --make-rslave "$root/dev" && fresh_root_mounts+=("$root/dev")

  fresh_root_proxies=()
  local name
  for name in http_proxy https_proxy no_proxy HTTP_PROXY HTTPS_PROXY NO_PROXY; do
    if [ -n "${!name:-}" ]; then fresh_root_proxies+=("$name=${!name}"); fi
  done
}

fresh_root_cleanup() {
  local status=$? i
  # Innermost first; lazily, so a process still holding a mount cannot keep
  # it (and the host's /dev below it) in the root.
  for ((i = ${#fresh_root_mounts[@]} - 1; i >= 0; i--)); do
    umount -R -l "${fresh_root_mounts[i]}" 2>/dev/null || true
  done
  if [ "$fresh_root_keep" -eq 1 ]; then
    echo "== root kept in $root"
  else
    rm -rf --one-file-system "$root"
  fi
  exit "$status"
}

in_root() {
  chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "${fresh_root_proxies[@]}" \
    /bin/bash -c "cd ${root_workdir:-/root} && $1"
}

say() { echo "== $fresh_root_label, $((SECONDS - fresh_root_started)) s: $*"; }
