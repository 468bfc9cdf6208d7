#!/usr/bin/env bash
# scripts/fixedgl-shot.sh: takes the same pictures with `voxeltool shot` drawn
# by Mesa's fixed function (build/) and through the fixed-function layer
# (build-fixedgl/, configured with VOXEL_GL=fixed) and prints, for each, how
# many pixels differ by more than 2 in a channel and the largest difference.
# Fails if more than 1 pixel in 200 differs: in a picture of terrain some
# isolated pixels differ where a texel or a block's edge falls on a pixel
# centre (0.02 to 0.14 % in the views below). Builds both trees' voxeltool
# first; needs the machine's build dependencies (./run installs them) and
# xvfb-run.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cmake -S "$here" -B "$here/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$here/build" -j"$(nproc)" --target voxeltool
cmake -S "$here" -B "$here/build-fixedgl" -DCMAKE_BUILD_TYPE=Release -DVOXEL_GL=fixed \
  -DVOXEL_BUILD_TESTS=OFF -DVOXEL_BUILD_BENCH=OFF >/dev/null
cmake --build "$here/build-fixedgl" -j"$(nproc)" --target voxeltool
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

views=(
  "first:"
  "hillside:--at 100 80 -50 --turn 45 -20"
  "downward:--at 40 110 40 --turn 200 -60"
)
status=0
for view in "${views[@]}"; do
  name="${view%%:*}"
  args="${view#*:}"
  for tree in build build-fixedgl; do
    # shellcheck disable=SC2086 # the view's arguments are words
    (cd "$here/data" && xvfb-run -a "$here/$tree/tools/voxeltool" shot $args \
      --out "$work/$name-$tree.png" >/dev/null)
  done
  python3 - "$name" "$work/$name-build.png" "$work/$name-build-fixedgl.png" <<'PY' || status=1
import struct, sys, zlib

def pixels(path):
    """The RGBA bytes of an 8-bit RGBA, non-interlaced PNG, as voxeltool writes them."""
    data = open(path, "rb").read()
    pos, idat, width, height = 8, b"", 0, 0
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
            assert (depth, colour) == (8, 6), "not 8-bit RGBA"
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw, stride, out = zlib.decompress(idat), width * 4, bytearray()
    prev = bytearray(stride)
    for y in range(height):
        f, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - 4] if i >= 4 else 0
            b, c = prev[i], prev[i - 4] if i >= 4 else 0
            if f == 1: line[i] = (line[i] + a) & 255
            elif f == 2: line[i] = (line[i] + b) & 255
            elif f == 3: line[i] = (line[i] + (a + b) // 2) & 255
            elif f == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        out += line
        prev = line
    return width * height, out

name, mesa, layer = sys.argv[1], pixels(sys.argv[2]), pixels(sys.argv[3])
count, a, b = mesa[0], mesa[1], layer[1]
differing, worst = 0, 0
for i in range(0, len(a), 4):
    d = max(abs(a[i] - b[i]), abs(a[i + 1] - b[i + 1]), abs(a[i + 2] - b[i + 2]))
    worst = max(worst, d)
    differing += d > 2
print(f"{name}: {differing} of {count} pixels differ by more than 2, max channel difference {worst}")
sys.exit(1 if differing * 200 > count else 0)
PY
done
exit $status
