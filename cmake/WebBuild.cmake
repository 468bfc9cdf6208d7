# The WebAssembly build (emcmake cmake, see ./web): the same libraries as the
# desktop over the browser's platform. What the desktop finds as Debian
# packages comes from elsewhere here:
# - Lua 5.1, libpng and zlib: built from Debian's sources by
#   scripts/web-libraries.sh into VOXEL_WEB_PREFIX;
# - OpenGL: the fixed-function layer over WebGL 2 in platform/fixedgl (GLEW
#   is not needed: Emscripten's GL headers declare what the program calls);
# - CLI11 and nlohmann/json: header-only, Debian's headers, on an include
#   folder of their own so that no other host header can reach the build.
set(VOXEL_WEB_PREFIX "" CACHE PATH "Where scripts/web-libraries.sh put Lua, libpng and zlib")
if(NOT EXISTS "${VOXEL_WEB_PREFIX}/versions")
  message(FATAL_ERROR "VOXEL_WEB_PREFIX must name the prefix of scripts/web-libraries.sh")
endif()

# Every object shares memory with the workers; the kernels' portable vector
# path becomes WebAssembly SIMD.
add_compile_options(-pthread -msimd128)
add_link_options(-pthread)

function(vx_web_static_library name file)
  add_library(${name} STATIC IMPORTED)
  set_target_properties(${name} PROPERTIES IMPORTED_LOCATION "${VOXEL_WEB_PREFIX}/lib/${file}"
                        INTERFACE_INCLUDE_DIRECTORIES "${VOXEL_WEB_PREFIX}/include")
endfunction()
vx_web_static_library(ZLIB::ZLIB libz.a)
vx_web_static_library(PNG::PNG libpng16.a)
set_property(TARGET PNG::PNG PROPERTY INTERFACE_LINK_LIBRARIES ZLIB::ZLIB)
set(LUA_INCLUDE_DIR "${VOXEL_WEB_PREFIX}/include/lua5.1")
set(LUA_LIBRARIES "${VOXEL_WEB_PREFIX}/lib/liblua5.1.a")

set(host_headers "${CMAKE_BINARY_DIR}/host-headers")
file(MAKE_DIRECTORY "${host_headers}")
foreach(library CLI nlohmann)
  if(NOT EXISTS "/usr/include/${library}")
    message(FATAL_ERROR "/usr/include/${library} is missing (scripts/install-deps.sh run)")
  endif()
  file(CREATE_LINK "/usr/include/${library}" "${host_headers}/${library}" SYMBOLIC)
endforeach()
add_library(CLI11::CLI11 INTERFACE IMPORTED)
set_target_properties(CLI11::CLI11 PROPERTIES INTERFACE_INCLUDE_DIRECTORIES "${host_headers}")
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
                      INTERFACE_INCLUDE_DIRECTORIES "${host_headers}")

# The GL libraries that GL-calling code links on the desktop stand for the
# layer here.
add_library(OpenGL::GL INTERFACE IMPORTED)
set_property(TARGET OpenGL::GL PROPERTY INTERFACE_LINK_LIBRARIES vx_fixedgl)
add_library(GLEW::GLEW INTERFACE IMPORTED)

set(THREADS_PREFER_PTHREAD_FLAG ON)
find_package(Threads REQUIRED)
