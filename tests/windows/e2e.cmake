# The end-to-end tests' helper inside Wine (the tests themselves are the e2e_*.sh scripts, run
# by the Linux build's ctest: cmake/windows_build.cmake).
add_executable(lumio-e2e-probe ${CMAKE_CURRENT_LIST_DIR}/e2e_probe.cpp)
target_compile_definitions(lumio-e2e-probe PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
target_link_libraries(lumio-e2e-probe PRIVATE lumio_warnings)
target_link_options(lumio-e2e-probe PRIVATE -municode)

# The start-up benchmark's yardstick under Wine (bench/startup/windows.sh), built here so that
# every Windows build has it (the benchmarks' own folder needs Google Benchmark).
add_executable(lumio_bench_bare_window_win WIN32 ${PROJECT_SOURCE_DIR}/bench/startup/bare_window_win.cpp)
target_link_libraries(lumio_bench_bare_window_win PRIVATE lumio_warnings)
target_link_options(lumio_bench_bare_window_win PRIVATE -municode)
