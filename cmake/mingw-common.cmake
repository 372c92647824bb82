# What the mingw-w64 toolchain files share; each sets LUMIO_MINGW_TRIPLET and
# CMAKE_SYSTEM_PROCESSOR first. Debian's -posix compilers: their C++ library has std::thread and
# std::mutex, which GoogleTest needs; winpthreads is linked statically like the rest of the
# runtime.
set(CMAKE_SYSTEM_NAME Windows)

find_program(CMAKE_C_COMPILER NAMES ${LUMIO_MINGW_TRIPLET}-gcc-posix REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${LUMIO_MINGW_TRIPLET}-g++-posix REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${LUMIO_MINGW_TRIPLET}-windres REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${LUMIO_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# No MinGW runtime DLL beside the program: a listener unpacks one exe and runs it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests of the cross-built programs run under Wine: the loader the Linux build chose
# (-DLUMIO_WINE, see cmake/windows_build.cmake), else the one found here.
if(NOT LUMIO_WINE)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    find_program(LUMIO_WINE NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
    find_program(LUMIO_WINE NAMES wine64)
  else()
    find_program(LUMIO_WINE NAMES wine)
  endif()
endif()
if(LUMIO_WINE)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(CMAKE_CROSSCOMPILING_EMULATOR env WINELOADER=${LUMIO_WINE} ${LUMIO_WINE})
  else()
    set(CMAKE_CROSSCOMPILING_EMULATOR ${LUMIO_WINE})
  endif()
endif()
# The test programs are listed when ctest runs, not as they are built: building needs no Wine
# (nor a prefix of it), only testing does.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
