# The end-to-end tests once more, against vistrel.exe of the windows preset under Wine.
#
# vistrel_windows_e2e(<test program>) registers every test of an end-to-end test program a
# second time, named "wine.<suite>.<test>", with VISTREL_E2E_PLATFORM=windows: vistrel.exe
# then runs under Wine with the prefix wineprefix beside the test programs, and reaches the
# simulator through a COM port that the prefix maps to the simulator's pseudo-terminal.
#
# vistrel.exe is named by VISTREL_WINDOWS_EXE in the environment of ctest; without it the
# Windows runs are skipped, saying so:
#   cmake --preset windows && cmake --build --preset windows
#   ctest --preset windows          (or VISTREL_WINDOWS_EXE=<path> ctest -R '^wine\.')

# The Wine prefix lies beside the test programs, where the tests look for it by themselves.
set(vistrel_wine_environment VISTREL_E2E_PLATFORM=windows
    WINEPREFIX=${CMAKE_CURRENT_BINARY_DIR}/wineprefix)

# One Wine server for the whole run: started before the first Windows run (creating the
# prefix takes half a minute the first time), stopped after the last.
add_test(NAME wine.session.start COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/wine_session start)
add_test(NAME wine.session.stop COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/wine_session stop)
set_tests_properties(wine.session.start PROPERTIES
  FIXTURES_SETUP vistrel_wine TIMEOUT 320 ENVIRONMENT "${vistrel_wine_environment}"
  SKIP_RETURN_CODE 77)
set_tests_properties(wine.session.stop PROPERTIES
  FIXTURES_CLEANUP vistrel_wine TIMEOUT 60 ENVIRONMENT "${vistrel_wine_environment}"
  SKIP_RETURN_CODE 77)

function(vistrel_windows_e2e name)
  gtest_discover_tests(${name}
    TEST_PREFIX "wine."
    DISCOVERY_TIMEOUT 30
    PROPERTIES TIMEOUT 180 ENVIRONMENT VISTREL_E2E_PLATFORM=windows
               FIXTURES_REQUIRED vistrel_wine)
endfunction()

# What only Windows has: vistrel.exe named by its file.
add_executable(windows_e2e_tests windows_program_name_test.cpp)
target_link_libraries(windows_e2e_tests PRIVATE test_support GTest::gtest_main)
vistrel_headers(windows_e2e_tests tests/e2e PRIVATE)
target_compile_definitions(windows_e2e_tests PRIVATE VISTREL_PROGRAM="$<TARGET_FILE:vistrel>")
vistrel_windows_e2e(windows_e2e_tests)
