# The contract suite's run under Wine: the Windows build's lumio_contract_tests.exe beside the
# stations of the Linux build, with sinks of its own, so that it runs side by side with the
# Linux run. Included by cmake/windows_build.cmake, which sets the Wine environment.
if(NOT TARGET lumio_contract_stations)
  return()
endif()
add_test(NAME contract.windows
         COMMAND ${CMAKE_CURRENT_LIST_DIR}/run_with_stations.sh
                 $<TARGET_FILE:lumio_contract_stations> wine
                 ${lumio_windows_bin}/lumio_contract_tests.exe)
set_tests_properties(contract.windows PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 600
                     ENVIRONMENT "${lumio_wine_test_environment}")
