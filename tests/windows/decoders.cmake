# The system's decoders and cipher as the Windows player drives them: the test program in the
# Windows build, and in the Linux build the test that makes its MP3s with ffmpeg and runs it
# under Wine (tests/windows/decoders_test.sh).
if(WIN32)
  if(NOT TARGET lumio_winplayer)
    return()
  endif()
  add_executable(lumio_decoder_tests ${CMAKE_CURRENT_LIST_DIR}/decoders_test.cpp)
  target_include_directories(lumio_decoder_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  # The stream tests' samples, read through the drive Wine maps to the root of the file system.
  target_compile_definitions(lumio_decoder_tests PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN
    NOMINMAX LUMIO_STREAM_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/stream/data")
  target_link_libraries(lumio_decoder_tests PRIVATE lumio_winplayer lumio_warnings mfplat
                        GTest::gtest GTest::gtest_main)
else()
  add_test(NAME windows.decoders
           COMMAND ${CMAKE_CURRENT_LIST_DIR}/decoders_test.sh
                   ${lumio_windows_bin}/lumio_decoder_tests.exe)
  set_tests_properties(windows.decoders PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)
endif()
