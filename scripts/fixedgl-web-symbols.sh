#!/usr/bin/env bash
# scripts/fixedgl-web-symbols.sh: shows that on the web the fixed-function
# layer (platform/fixedgl) defines every gl* function the program's GL-calling
# files call. Compiles those six files and the layer, GlEntryPoints.cpp
# included, with emcc; links them with a caller of each GL-calling function,
# leaving the rest of the program undefined; and lists the gl* names that the
# JS glue still imports from Emscripten's library. The layer itself imports
# only emscripten_gl* names, which go to WebGL 2. Fails if a plain gl* name is
# left. Installs emscripten if it is missing. Work files go to a temporary folder.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
if ! command -v emcc >/dev/null; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get -o DPkg::Lock::Timeout=600 install -y emscripten
fi
# Debian's emscripten finds its node modules only with this.
export NODE_PATH="${NODE_PATH:-/usr/share/nodejs}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

program=(app/Renderer.cpp scene/Light.cpp gpu/Mesh.cpp gpu/VertexBufferObject.cpp
         gpu/Texture2D.cpp gpu/Shader.cpp)
layer=(BufferObjects FixedFunctionDraw FixedFunctionGl FixedFunctionMath FixedFunctionProgram
       FixedFunctionShader GlEntryPoints)
flags=(-std=c++20 -O1 -Wall -Wextra -Werror -ffp-contract=off -I"$here")

cat >"$work/Callers.cpp" <<'CPP'
#include <emscripten.h>

#include "app/Renderer.h"
#include "gpu/Mesh.h"
#include "gpu/Shader.h"
#include "gpu/Texture2D.h"
#include "scene/Light.h"

// Reaches every function of the six files that calls GL, so the link keeps them.
extern "C" EMSCRIPTEN_KEEPALIVE void CallEveryGlUser() {
  TRenderer::RenderWorld();
  TLight::Create(TLight::KIND_SPOT)->SetState(0x4001);
  TLight::SetStateAmbient(0x4000);
  auto mesh = TMesh::New();
  mesh->Init();
  mesh->MakeCube();
  mesh->DefaultDraw();
  mesh->VBO->BufferSubData(0, 4, "abcd");
  auto texture = TTexture2D::Load("Texture.png");
  texture->SetState();
  texture->UnsetState();
  TShader shader;
  shader.Load("a.vert", "a.frag").Enable();
  shader.Disable();
  shader.Remove();
  TShader::CheckCompability();
}
CPP

objects=("$work/Callers.o")
emcc "${flags[@]}" -c "$work/Callers.cpp" -o "$work/Callers.o"
for f in "${program[@]}"; do
  emcc "${flags[@]}" -c "$here/$f" -o "$work/$(basename "$f" .cpp).o"
  objects+=("$work/$(basename "$f" .cpp).o")
done
layer_objects=()
for f in "${layer[@]}"; do
  emcc "${flags[@]}" -c "$here/platform/fixedgl/$f.cpp" -o "$work/layer-$f.o"
  layer_objects+=("$work/layer-$f.o")
done
emar rcs "$work/libvx_fixedgl.a" "${layer_objects[@]}"
emcc --no-entry -sERROR_ON_UNDEFINED_SYMBOLS=0 -sMIN_WEBGL_VERSION=2 -sMAX_WEBGL_VERSION=2 \
  "${objects[@]}" "$work/libvx_fixedgl.a" -o "$work/linked.js" 2>/dev/null

# The glue's import table: the JS functions the wasm module calls.
imports="$(sed -n '/^var asmLibraryArg = {/,/^}/p' "$work/linked.js" |
  grep -oE '"[A-Za-z_][A-Za-z0-9_]*"' | tr -d '"' | sort -u)"
echo "WebGL calls the layer makes (emscripten_gl*):"
grep -E '^emscripten_gl' <<<"$imports" | tr '\n' ' ' | fold -s -w 98 | sed 's/^/  /'; echo
left="$(grep -E '^gl[A-Z]' <<<"$imports" || true)"
if [ -n "$left" ]; then
  echo "gl* functions still taken from Emscripten's library:"
  sed 's/^/  /' <<<"$left"
  exit 1
fi
called="$(cd "$here" && grep -rhoE '\bgl[A-Z][A-Za-z0-9]*' "${program[@]}" | sort -u | wc -l)"
echo "All $called gl* functions the six files call are the layer's."
