# Cross-compiles the same sources as a 64-bit Windows program (Debian's
# g++-mingw-w64-x86-64-posix), for testing under 64-bit Wine where a machine runs no 32-bit
# program (cmake/windows_build.cmake); listeners get the 32-bit one.
#   cmake -S . -B build-win64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(LUMIO_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
