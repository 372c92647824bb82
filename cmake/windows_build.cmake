# The Windows program, cross-built by mingw-w64 as part of the Linux build, and its tests, run
# under Wine in the same ctest run as everything else.
#
# Listeners get the 32-bit program (i686), always built. Its tests run the same sources in the
# form this machine's Wine can run, decided here once by `scripts/wine-prefix.sh choose`, which
# the test services' prefix is booted by too:
#   win32  32-bit programs run here: one i686 build in <build>/windows makes the zip and the
#          tests, run in a 32-bit prefix.
#   win64  they do not (some hypervisors have no 32-bit mode; the 32-bit loader fails with "Exec
#          format error"): the tests come from an x86_64 build in <build>/windows
#          (cmake/mingw-x86_64.cmake) run by the 64-bit loader in a 64-bit prefix, and
#          <build>/windows-zip builds only the zip and its two programs in i686.
# -DLUMIO_WINE_ARCH=win32 or win64 forces a side (scripts/services.sh takes LUMIO_WINE_ARCH from
# the environment).
include(ExternalProject)

set(LUMIO_WINE_ARCH "" CACHE STRING
    "The Wine the Windows tests run under: win32, win64, or empty to take what runs here")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env LUMIO_WINE_ARCH=${LUMIO_WINE_ARCH}
          ${PROJECT_SOURCE_DIR}/scripts/wine-prefix.sh choose
  OUTPUT_VARIABLE lumio_wine_choice OUTPUT_STRIP_TRAILING_WHITESPACE
  ERROR_VARIABLE lumio_wine_problem ERROR_STRIP_TRAILING_WHITESPACE
  RESULT_VARIABLE lumio_wine_result)
set(lumio_wine_arch none)
if(lumio_wine_result EQUAL 0 AND lumio_wine_choice MATCHES "^(win32|win64) (.+)$")
  set(lumio_wine_arch ${CMAKE_MATCH_1})
  set(lumio_wine ${CMAKE_MATCH_2})
endif()
if(lumio_wine_arch STREQUAL "win64")
  find_program(LUMIO_MINGW64_CXX x86_64-w64-mingw32-g++-posix)
  if(NOT LUMIO_MINGW64_CXX)
    set(lumio_wine_arch none)
    set(lumio_wine_problem "only 64-bit Wine runs here, and x86_64-w64-mingw32-g++-posix is \
missing (scripts/install-deps.sh)")
  endif()
endif()

# Every Windows build compiles several files to a unit (windows.h is most of each file's time
# alone), so that the listener's zip is compiled from the same units as the tests' build.
set(lumio_windows_common_args
    -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
    -DCMAKE_UNITY_BUILD=ON
    -DLUMIO_WERROR=${LUMIO_WERROR}
    -DLUMIO_DEBUG_INFO=${LUMIO_DEBUG_INFO}
    -DLUMIO_HOST_CATALOGUE_TOOL=$<TARGET_FILE:lumio-catalogue>)
set(lumio_zip_name lumio-${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}-win32.zip)
if(lumio_wine_arch STREQUAL "win64")
  message(STATUS "Windows tests: x86_64 build under 64-bit Wine (${lumio_wine}), as this machine "
                 "runs no 32-bit program; the zip is an i686 build of its own")
  ExternalProject_Add(lumio_windows_zip
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${CMAKE_BINARY_DIR}/windows-zip
    CMAKE_GENERATOR Ninja
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-i686.cmake
               ${lumio_windows_common_args}
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target lumio_zip
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    USES_TERMINAL_CONFIGURE ON
    USES_TERMINAL_BUILD ON
    DEPENDS lumio-catalogue)
  set(lumio_windows_toolchain mingw-x86_64.cmake)
  # Only tests run this build: it is compiled at -O1, for speed of building.
  set(lumio_windows_test_only_args -DLUMIO_LIGHT_OPTIMISATION=ON)
  set(lumio_windows_depends lumio-catalogue lumio_windows_zip)
  set(lumio_windows_zip ${CMAKE_BINARY_DIR}/windows-zip/${lumio_zip_name})
else()
  if(lumio_wine_arch STREQUAL "win32")
    message(STATUS "Windows tests: i686 build under 32-bit Wine (${lumio_wine})")
  else()
    message(WARNING "The Windows program is built, but its tests are not run: "
                    "${lumio_wine_problem}")
  endif()
  set(lumio_windows_toolchain mingw-i686.cmake)
  set(lumio_windows_test_only_args)
  set(lumio_windows_depends lumio-catalogue)
  set(lumio_windows_zip ${CMAKE_BINARY_DIR}/windows/${lumio_zip_name})
endif()

# The tests' build (and in 32-bit, the listener's zip too).
set(lumio_windows_wine_arg)
if(NOT lumio_wine_arch STREQUAL "none")
  set(lumio_windows_wine_arg -DLUMIO_WINE=${lumio_wine})
endif()
ExternalProject_Add(lumio_windows
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${CMAKE_BINARY_DIR}/windows
  CMAKE_GENERATOR Ninja
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/${lumio_windows_toolchain}
             ${lumio_windows_common_args}
             ${lumio_windows_test_only_args}
             ${lumio_windows_wine_arg}
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  USES_TERMINAL_CONFIGURE ON
  USES_TERMINAL_BUILD ON
  DEPENDS ${lumio_windows_depends})

if(lumio_wine_arch STREQUAL "none")
  return()
endif()

# Every test below runs the build's programs with the loader chosen above; the prefix is the test
# services' (scripts/services.sh), booted for the same side.
set(lumio_wine_test_environment LUMIO_WINE=${lumio_wine} LUMIO_WINE_ARCH=${lumio_wine_arch})
if(lumio_wine_arch STREQUAL "win64")
  list(APPEND lumio_wine_test_environment WINELOADER=${lumio_wine})
endif()

set(lumio_windows_bin ${CMAKE_BINARY_DIR}/windows/bin)
foreach(suite core stream control_models)
  add_test(NAME windows.${suite}
           COMMAND ${PROJECT_SOURCE_DIR}/tests/windows/run_under_wine.sh
                   ${lumio_windows_bin}/lumio_${suite}_tests.exe)
  set_tests_properties(windows.${suite} PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300
                       ENVIRONMENT "${lumio_wine_test_environment}")
endforeach()
# The skinned controls, on the test services' display.
add_test(NAME windows.controls
         COMMAND ${PROJECT_SOURCE_DIR}/tests/windows/run_under_wine.sh
                 ${lumio_windows_bin}/lumio_controls_tests.exe)
set_tests_properties(windows.controls PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300
                     ENVIRONMENT "${lumio_wine_test_environment}")

# The program itself under Wine (tests/windows/e2e_*.sh), each test on a display, a sound sink
# and a Wine session of its own, beside the others; they leave their screenshots in
# test-artifacts/.
file(GLOB lumio_windows_e2e CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/windows/e2e_*.sh)
list(REMOVE_ITEM lumio_windows_e2e ${PROJECT_SOURCE_DIR}/tests/windows/e2e_lib.sh)
foreach(script ${lumio_windows_e2e})
  get_filename_component(name ${script} NAME_WE)
  string(REGEX REPLACE "^e2e_" "" name ${name})
  add_test(NAME windows.e2e.${name}
           COMMAND bash ${script} ${lumio_windows_bin}/lumio.exe $<TARGET_FILE:lumio-stations>
                   ${lumio_windows_bin}/lumio-e2e-probe.exe ${CMAKE_BINARY_DIR}/test-artifacts
                   ${lumio_windows_zip})
  set_tests_properties(windows.e2e.${name} PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 240
                       ENVIRONMENT "${lumio_wine_test_environment}")
endforeach()

# The Windows player under Wine, against local stations served from Linux beside it: its own
# cases, and the contract suite both players pass.
include(${PROJECT_SOURCE_DIR}/tests/windows/player.cmake)
include(${PROJECT_SOURCE_DIR}/tests/windows/decoders.cmake)
include(${PROJECT_SOURCE_DIR}/tests/contract/wine.cmake)
