# The Windows program, cross-built by mingw-w64 in <build>/windows as part of the Linux build,
# and its tests, run under Wine in the same ctest run as everything else.
include(ExternalProject)

ExternalProject_Add(lumio_windows
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${CMAKE_BINARY_DIR}/windows
  CMAKE_GENERATOR Ninja
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-i686.cmake
             -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
             -DLUMIO_WERROR=${LUMIO_WERROR}
             -DLUMIO_HOST_CATALOGUE_TOOL=$<TARGET_FILE:lumio-catalogue>
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  USES_TERMINAL_CONFIGURE ON
  USES_TERMINAL_BUILD ON
  DEPENDS lumio-catalogue)

set(lumio_windows_bin ${CMAKE_BINARY_DIR}/windows/bin)
foreach(suite core stream control_models)
  add_test(NAME windows.${suite}
           COMMAND ${PROJECT_SOURCE_DIR}/tests/windows/run_under_wine.sh
                   ${lumio_windows_bin}/lumio_${suite}_tests.exe)
  set_tests_properties(windows.${suite} PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)
endforeach()
# The skinned controls, on the test services' display.
add_test(NAME windows.controls
         COMMAND ${PROJECT_SOURCE_DIR}/tests/windows/run_under_wine.sh
                 ${lumio_windows_bin}/lumio_controls_tests.exe)
set_tests_properties(windows.controls PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)

# The program itself under Wine on the test services' display (tests/windows/e2e_*.sh): like the
# Linux program's end-to-end tests they share one display, pointer and sound sink, so they run
# one at a time, and they leave their screenshots in test-artifacts/.
file(GLOB lumio_windows_e2e CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/windows/e2e_*.sh)
list(REMOVE_ITEM lumio_windows_e2e ${PROJECT_SOURCE_DIR}/tests/windows/e2e_lib.sh)
foreach(script ${lumio_windows_e2e})
  get_filename_component(name ${script} NAME_WE)
  string(REGEX REPLACE "^e2e_" "" name ${name})
  add_test(NAME windows.e2e.${name}
           COMMAND bash ${script} ${lumio_windows_bin}/lumio.exe $<TARGET_FILE:lumio-stations>
                   ${lumio_windows_bin}/lumio-e2e-probe.exe ${CMAKE_BINARY_DIR}/test-artifacts
                   ${CMAKE_BINARY_DIR}/windows/lumio-1.2-win32.zip)
  set_tests_properties(windows.e2e.${name} PROPERTIES SKIP_RETURN_CODE 77 RUN_SERIAL TRUE
                                                      TIMEOUT 240)
endforeach()

# The Windows player under Wine, against local stations served from Linux beside it.
include(${PROJECT_SOURCE_DIR}/tests/windows/player.cmake)
include(${PROJECT_SOURCE_DIR}/tests/windows/decoders.cmake)
