# The Windows player's own tests (what is Windows work only; the cases both players share are
# the contract suite's): the test program in the Windows build, and in the Linux build its run
# under Wine beside the contract suite's stations (tests/contract/run_with_stations.sh).
if(WIN32)
  if(NOT TARGET lumio_winplayer)
    return()
  endif()
  file(GLOB winplayer_test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/player_*_test.cpp)
  add_executable(lumio_winplayer_tests ${winplayer_test_sources}
                                       ${CMAKE_CURRENT_LIST_DIR}/player_harness.cpp
                                       ${CMAKE_CURRENT_LIST_DIR}/stations_client.cpp)
  target_include_directories(lumio_winplayer_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(lumio_winplayer_tests PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN
    NOMINMAX LUMIO_STREAM_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/stream/data")
  target_link_libraries(lumio_winplayer_tests PRIVATE lumio_winplayer lumio_warnings crypt32
                        ws2_32 GTest::gtest GTest::gmock GTest::gtest_main)
  # The player in a process of its own, as bench/windows_player drives it under Wine: built here
  # so that every Windows build has it (the benchmarks' own folder needs Google Benchmark).
  add_executable(lumio_winplayer_probe ${PROJECT_SOURCE_DIR}/bench/windows_player/winplayer_probe.cpp)
  target_link_libraries(lumio_winplayer_probe PRIVATE lumio_winplayer lumio_warnings)
elseif(TARGET lumio_contract_stations)
  add_test(NAME windows.player
           COMMAND ${PROJECT_SOURCE_DIR}/tests/contract/run_with_stations.sh
                   $<TARGET_FILE:lumio_contract_stations> wine
                   ${lumio_windows_bin}/lumio_winplayer_tests.exe)
  set_tests_properties(windows.player PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 600
                       ENVIRONMENT "${lumio_wine_test_environment}")
endif()
