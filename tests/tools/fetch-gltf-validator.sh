#!/usr/bin/env bash
# tests/tools/fetch-gltf-validator.sh DIR: fetches the Khronos glTF validator
# (npm package gltf-validator, compiled to plain JavaScript, no dependencies)
# at a pinned version, checks it against the registry's integrity hash and
# unpacks it into DIR/gltf-validator. Needs curl; the tests run it with Node.
set -euo pipefail
url=https://registry.npmjs.org/gltf-validator/-/gltf-validator-2.0.0-dev.3.10.tgz
integrity=odJ4k0tRkGXiDGn78yDBg+fBbAIvBnXxh3RwAta0emSxGtyagFE8B4xELB1oYe3S5RD8Ci3uZAsZaascH2LAEQ==

dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
curl -fsSL --retry 3 -o "$work/package.tgz" "$url"
expected=$(printf '%s' "$integrity" | base64 -d | od -An -v -tx1 | tr -d ' \n')
actual=$(sha512sum "$work/package.tgz" | cut -d' ' -f1)
if [ "$actual" != "$expected" ]; then
  echo "fetch-gltf-validator.sh: $url does not match its pinned sha512; not unpacked" >&2
  exit 1
fi
tar -xzf "$work/package.tgz" -C "$work"
rm -rf "$dir/gltf-validator"
mkdir -p "$dir"
mv "$work/package" "$dir/gltf-validator"
