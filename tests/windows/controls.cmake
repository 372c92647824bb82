# Tests of the skinned controls on a real display under Wine (the Linux build runs them as
# windows.controls through cmake/windows_build.cmake); they skip with 77 without a display.
add_executable(lumio_controls_tests
  ${CMAKE_CURRENT_LIST_DIR}/controls_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/list_ctrl_cl_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/skin_label_test.cpp
  $<TARGET_OBJECTS:lumio_skin_bitmaps>)
target_link_libraries(lumio_controls_tests PRIVATE lumio_win_controls lumio_core lumio_warnings
                      GTest::gtest)
add_test(NAME windows.controls COMMAND lumio_controls_tests)
set_tests_properties(windows.controls PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)
