# Cross-compiling for arm64 (scripts/cross-arm64.sh): Debian's aarch64-linux-gnu
# compilers against the arm64 builds of the libraries, which Debian's multiarch
# installs beside this machine's own under /usr/lib/aarch64-linux-gnu.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)

# Test discovery and ctest run the arm64 programs in the user-mode emulator;
# -L points it at the arm64 C and C++ runtime that came with the compiler.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64-static -L /usr/aarch64-linux-gnu)
