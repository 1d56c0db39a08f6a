# The Windows tests of the cross-build: GoogleTest built from the sources Debian installs,
# the backend's and discovery's tests in one binary, and the small programs they start.
# Every test runs under Wine (CMAKE_CROSSCOMPILING_EMULATOR); scripts/run-wine-tests.sh
# gives them a throwaway prefix and a virtual display.
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

set(tests_dir ${PROJECT_SOURCE_DIR}/tests)
# The program tests start the windowless program, under the program's own name: with Qt for
# Windows at hand it is built beside the windowed one (src/app).
if(TARGET tallywick_windowless)
  set(windowless_program tallywick_windowless)
else()
  set(windowless_program tallywick)
endif()
set(windows_test_sources
    ${tests_dir}/discovery_text_test.cpp ${tests_dir}/key_derivation_test.cpp
    ${tests_dir}/win32_address_search_test.cpp
    ${tests_dir}/win32_browser_test.cpp ${tests_dir}/win32_desktop_test.cpp
    ${tests_dir}/win32_discovery_test.cpp ${tests_dir}/win32_instance_lock_test.cpp
    ${tests_dir}/win32_notices_test.cpp ${tests_dir}/win32_start_at_login_test.cpp
    ${tests_dir}/win32_storage_test.cpp
    ${tests_dir}/win32_support/fake_accessible.cpp ${tests_dir}/win32_support/test_accessible.cpp
    ${tests_dir}/win32_support/test_windows.cpp)
add_executable(tallywick_win32_tests ${windows_test_sources})
target_include_directories(tallywick_win32_tests PRIVATE ${tests_dir})
target_link_libraries(tallywick_win32_tests PRIVATE tw_monitor tw_platform_win32 tw_discovery_win32
                      gtest gmock gtest_main)

# A second process for the tests: holds the instance lock, shows windows, shuts down.
enable_language(RC)
add_executable(win32_test_helper ${tests_dir}/win32_test_helper.cpp ${tests_dir}/win32_test_helper.rc)
target_include_directories(win32_test_helper PRIVATE ${tests_dir})
target_link_libraries(win32_test_helper PRIVATE tw_platform_win32 shell32)
# A browser window with an accessibility tree shaped like today's browsers', copied by the
# tests under each browser's program name.
add_executable(win32_browser_standin ${tests_dir}/win32_browser_standin.cpp
               ${tests_dir}/win32_support/test_accessible.cpp)
target_include_directories(win32_browser_standin PRIVATE ${tests_dir})
target_link_libraries(win32_browser_standin PRIVATE tw_platform_win32 oleacc oleaut32 ole32 shell32)
add_dependencies(tallywick_win32_tests win32_test_helper win32_browser_standin tallywick-probe
                 template_databases)
target_compile_definitions(tallywick_win32_tests PRIVATE
  TALLYWICK_HELPER_NAME="$<TARGET_FILE_NAME:win32_test_helper>"
  TALLYWICK_STANDIN_NAME="$<TARGET_FILE_NAME:win32_browser_standin>"
  TALLYWICK_PROBE_PATH="$<TARGET_FILE:tallywick-probe>")

# Listed when ctest runs, inside the prefix and display the run script provides. Tests that
# need a window of theirs in front, or show windows that take the front (browsers, which a
# program under test would count and close; the running programs discovery lists, Notepad
# among them), take turns at the foreground; the others run beside them.
set(foreground_tests "Win32DesktopTest.*:Win32BrowserTest.*:Win32DiscoveryTest.*")
gtest_discover_tests(tallywick_win32_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                     TEST_FILTER "${foreground_tests}"
                     PROPERTIES TIMEOUT 300 RESOURCE_LOCK foreground)
gtest_discover_tests(tallywick_win32_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                     TEST_FILTER "-${foreground_tests}" PROPERTIES TIMEOUT 300)

# The shutdown takes the whole Wine session down, so it runs in a prefix of its own.
add_test(NAME Wine.shutdown_ends_the_session
         COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-shutdown-test.sh
                 $<TARGET_FILE:win32_test_helper> $<TARGET_FILE:${windowless_program}>)
# Its windows, on the same display, take the focus too.
set_tests_properties(Wine.shutdown_ends_the_session PROPERTIES TIMEOUT 300 RESOURCE_LOCK foreground)

# CPU time of one probe of the foreground window: a measurement, not a test.
add_executable(win32_probe_cpu ${tests_dir}/win32_probe_cpu.cpp)
target_link_libraries(win32_probe_cpu PRIVATE tw_monitor tw_platform_win32)
add_dependencies(win32_probe_cpu win32_browser_standin)
target_compile_definitions(win32_probe_cpu PRIVATE
  TALLYWICK_STANDIN_NAME="$<TARGET_FILE_NAME:win32_browser_standin>")

# The built program and the diagnostic command, started as a user starts them. They keep
# windows in front for seconds, and share the user's real roaming folder of the throwaway
# prefix: holding the foreground also keeps them one at a time.
add_executable(tallywick_program_tests ${tests_dir}/win32_program_test.cpp
               ${tests_dir}/win32_support/program_data.cpp ${tests_dir}/win32_support/test_windows.cpp)
target_include_directories(tallywick_program_tests PRIVATE ${tests_dir})
target_link_libraries(tallywick_program_tests PRIVATE tw_storage tw_platform_win32 gtest
                      gtest_main)
add_dependencies(tallywick_program_tests ${windowless_program} tallywick-probe win32_test_helper
                 win32_browser_standin)
target_compile_definitions(tallywick_program_tests PRIVATE
  TALLYWICK_PROGRAM_NAME="$<TARGET_FILE_NAME:${windowless_program}>"
  TALLYWICK_HELPER_NAME="$<TARGET_FILE_NAME:win32_test_helper>"
  TALLYWICK_STANDIN_NAME="$<TARGET_FILE_NAME:win32_browser_standin>")
gtest_discover_tests(tallywick_program_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                     PROPERTIES TIMEOUT 300 RESOURCE_LOCK foreground)

# The windowed program with its Qt, started as a person starts it: its windows take the
# front, so one at a time with the others that do.
if(TALLYWICK_WINDOWS_QT)
  add_executable(tallywick_windowed_tests ${tests_dir}/win32_windowed_test.cpp
                 ${tests_dir}/win32_support/program_data.cpp
                 ${tests_dir}/win32_support/test_windows.cpp)
  target_include_directories(tallywick_windowed_tests PRIVATE ${tests_dir})
  target_link_libraries(tallywick_windowed_tests PRIVATE tw_storage tw_platform_win32 gtest
                        gtest_main)
  add_dependencies(tallywick_windowed_tests tallywick)
  target_compile_definitions(tallywick_windowed_tests PRIVATE
    TALLYWICK_STANDIN_NAME="$<TARGET_FILE_NAME:win32_browser_standin>")
  gtest_discover_tests(tallywick_windowed_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       PROPERTIES TIMEOUT 300 RESOURCE_LOCK foreground)
  # The windows themselves.
  include(${PROJECT_SOURCE_DIR}/cmake/windows_ui_tests.cmake)
endif()
