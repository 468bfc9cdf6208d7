#!/usr/bin/env bash
# scripts/web-libraries.sh DIR: builds Lua 5.1, libpng and zlib for WebAssembly
# into DIR/prefix/{include,lib}, from Debian's source packages of the versions
# the desktop build links (the installed -dev packages), so the browser runs the
# same libraries as the desktop. The sources come with `apt-get source` through
# a private deb-src list made from this machine's own apt sources (apt checks
# their signatures), into DIR/src; nothing is written outside DIR. Emscripten's
# ports would download from the internet instead. A second run with the same
# versions does nothing.
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: scripts/web-libraries.sh DIR" >&2; exit 2; }
mkdir -p "$1"
dir="$(cd "$1" && pwd)"
prefix="$dir/prefix"
# -pthread on every object: the program's memory is shared with its workers,
# and the linker refuses objects built without atomics.
cflags=(-O3 -pthread -ffp-contract=off)

# The source package and the Debian version of each library the desktop links.
declare -A binary_of=([lua5.1]=liblua5.1-0-dev [libpng1.6]=libpng-dev [zlib]=zlib1g-dev)
declare -A installed
for source in lua5.1 libpng1.6 zlib; do
  installed[$source]="$(dpkg-query -W -f='${source:Version}' "${binary_of[$source]}" 2>/dev/null)" || {
    echo "web-libraries: ${binary_of[$source]} is not installed (scripts/install-deps.sh run)" >&2
    exit 1
  }
done
stamp="lua5.1=${installed[lua5.1]} libpng1.6=${installed[libpng1.6]} zlib=${installed[zlib]}"
if [ -f "$prefix/versions" ] && [ "$(cat "$prefix/versions")" = "$stamp" ]; then
  exit 0
fi

# The private apt configuration: deb-src twins of the machine's sources.
apt_dir="$dir/apt"
rm -rf "$apt_dir"
mkdir -p "$apt_dir/sources" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
if [ -f /etc/apt/sources.list ]; then
  sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' /etc/apt/sources.list > "$apt_dir/sources/one-line.list"
fi
for f in /etc/apt/sources.list.d/*.list; do
  [ -f "$f" ] && sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f" >> "$apt_dir/sources/one-line.list"
done
n=0
for f in /etc/apt/sources.list.d/*.sources; do
  [ -f "$f" ] || continue
  sed -E 's/^Types:.*$/Types: deb-src/' "$f" > "$apt_dir/sources/deb822-$((n++)).sources"
done
apt_options=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$apt_dir/sources"
             -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache"
             -o Debug::NoLocking=1 -o APT::Sandbox::User=root -qq)
echo "web-libraries: reading Debian's source indices" >&2
apt-get "${apt_options[@]}" update

# The exact version the desktop links where the archive still has it; a mirror
# keeps only the newest revision of an upstream version, so otherwise the
# newest revision of the same upstream version that can be fetched.
upstream() { local v="${1#*:}"; echo "${v%-*}"; }
src="$dir/src"
rm -rf "$src"
mkdir -p "$src"
declare -A tree used
for source in lua5.1 libpng1.6 zlib; do
  want="${installed[$source]}"
  mapfile -t candidates < <(
    apt-cache "${apt_options[@]}" showsrc "$source" | sed -n 's/^Version: //p' | sort -u |
      while read -r v; do [ "$(upstream "$v")" = "$(upstream "$want")" ] && echo "$v"; done |
      sort -r -V)
  got=""
  for v in "$want" "${candidates[@]}"; do
    if (cd "$src" && apt-get "${apt_options[@]}" source "$source=$v" > "$src/$source.log" 2>&1); then
      got="$v"
      break
    fi
  done
  if [ -z "$got" ]; then
    cat "$src/$source.log" >&2
    echo "web-libraries: no source package of $source $(upstream "$want") could be fetched" >&2
    exit 1
  fi
  [ "$got" = "$want" ] || echo "web-libraries: $source $want cannot be fetched; using $got" >&2
  used[$source]="$got"
  tree[$source]="$(find "$src" -mindepth 1 -maxdepth 1 -type d -name "${source}-*" | head -n 1)"
done

rm -rf "$prefix"
mkdir -p "$prefix/include" "$prefix/lib"
objects="$dir/objects"

# Compiles the C files given after the name into lib<name>.a.
archive() {
  local name="$1" where="$2"
  shift 2
  rm -rf "$objects/$name"
  mkdir -p "$objects/$name"
  local files=()
  for c in "$@"; do
    emcc "${cflags[@]}" "${extra[@]}" -c "$where/$c" -o "$objects/$name/${c%.c}.o"
    files+=("$objects/$name/${c%.c}.o")
  done
  emar rcs "$prefix/lib/lib$name.a" "${files[@]}"
}

echo "web-libraries: building zlib, libpng and Lua 5.1 with emcc" >&2
zlib="${tree[zlib]}"
extra=(-DHAVE_UNISTD_H -DHAVE_STDARG_H)
archive z "$zlib" adler32.c compress.c crc32.c deflate.c gzclose.c gzlib.c gzread.c gzwrite.c \
  infback.c inffast.c inflate.c inftrees.c trees.c uncompr.c zutil.c
cp "$zlib/zlib.h" "$zlib/zconf.h" "$prefix/include/"

png="${tree[libpng1.6]}"
cp "$png/scripts/pnglibconf.h.prebuilt" "$png/pnglibconf.h"
extra=(-I"$prefix/include")
archive png16 "$png" png.c pngerror.c pngget.c pngmem.c pngpread.c pngread.c pngrio.c \
  pngrtran.c pngrutil.c pngset.c pngtrans.c pngwio.c pngwrite.c pngwtran.c pngwutil.c
cp "$png/png.h" "$png/pngconf.h" "$png/pnglibconf.h" "$prefix/include/"
ln -s libpng16.a "$prefix/lib/libpng.a"

lua="${tree[lua5.1]}/src"
# Debian's luaconf.h takes the library path's triplet from a header that its
# build writes; WebAssembly loads no C modules, so any name does.
echo '#define DEB_HOST_MULTIARCH "wasm32-emscripten"' > "$lua/lua5.1-deb-multiarch.h"
extra=(-DLUA_USE_POSIX)
archive lua5.1 "$lua" lapi.c lcode.c ldebug.c ldo.c ldump.c lfunc.c lgc.c llex.c lmem.c \
  lobject.c lopcodes.c lparser.c lstate.c lstring.c ltable.c ltm.c lundump.c lvm.c lzio.c \
  lauxlib.c lbaselib.c ldblib.c liolib.c lmathlib.c loslib.c ltablib.c lstrlib.c loadlib.c linit.c
mkdir -p "$prefix/include/lua5.1"
cp "$lua/lua.h" "$lua/luaconf.h" "$lua/lualib.h" "$lua/lauxlib.h" "$lua/lua5.1-deb-multiarch.h" \
  "$prefix/include/lua5.1/"
[ -f "${tree[lua5.1]}/etc/lua.hpp" ] && cp "${tree[lua5.1]}/etc/lua.hpp" "$prefix/include/lua5.1/"

# Keyed by what the desktop links, so that its next update builds anew.
echo "$stamp" > "$prefix/versions"
echo "web-libraries: built lua5.1 ${used[lua5.1]}, libpng1.6 ${used[libpng1.6]}," \
  "zlib ${used[zlib]} into $prefix" >&2
