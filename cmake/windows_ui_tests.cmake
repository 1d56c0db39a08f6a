# The window tests under Wine, in the cross-build with Qt for Windows: the same sources as
# the Linux build's window tests (tests/ui/test_sources.cmake), over the scripted desktop and
# the tests' support library, built here as the program's own libraries are.
add_subdirectory(${PROJECT_SOURCE_DIR}/src/platform/fake ${PROJECT_BINARY_DIR}/src/platform/fake)
add_subdirectory(${tests_dir}/support ${PROJECT_BINARY_DIR}/tests/support)

include(${tests_dir}/ui/test_sources.cmake)
add_executable(tallywick_ui_tests ${ui_test_sources})
target_include_directories(tallywick_ui_tests PRIVATE ${tests_dir})
target_link_libraries(tallywick_ui_tests PRIVATE tw_test_support tw_app_qt tw_ui tw_platform_fake
                      Qt6::Test GTest::gtest GTest::gmock)
# Beside the program, its template databases and its Skins, where the tests find them
# (tests/support/build_folder.h).
set_target_properties(tallywick_ui_tests PROPERTIES AUTOMOC ON
                      RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)
# After the program, which puts the same Qt DLLs into that folder: never two copies at once.
add_dependencies(tallywick_ui_tests template_databases skin_files tallywick)
tallywick_windows_qt_runtime(tallywick_ui_tests)
# On Qt's offscreen platform, as on Linux: the windows are made and drawn by Qt for Windows
# without taking the foreground, which the backend's tests beside them hold and watch. The
# test program chooses it itself (tests/ui/ui_test_main.cpp): Wine keeps the QT_ variables
# of the Linux environment from Windows programs.
add_custom_command(TARGET tallywick_ui_tests POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different
          $<TARGET_FILE:Qt6::QOffscreenIntegrationPlugin> $<TARGET_FILE_DIR:tallywick_ui_tests>/platforms
  VERBATIM)
gtest_discover_tests(tallywick_ui_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                     PROPERTIES TIMEOUT 600)

# Who may change settings, and the password digest, in this build's edition.
add_executable(tallywick_access_tests ${tests_dir}/ui/access_control_test.cpp
               ${tests_dir}/md5_test.cpp ${tests_dir}/ui/ui_test_main.cpp)
target_include_directories(tallywick_access_tests PRIVATE ${tests_dir})
target_link_libraries(tallywick_access_tests PRIVATE tw_test_support tw_dialogs tw_platform_fake
                      Qt6::Test GTest::gtest)
set_target_properties(tallywick_access_tests PROPERTIES
                      RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)
add_dependencies(tallywick_access_tests template_databases tallywick_ui_tests)
tallywick_windows_qt_runtime(tallywick_access_tests)
gtest_discover_tests(tallywick_access_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                     TEST_PREFIX "Edition${TALLYWICK_EDITION}." PROPERTIES TIMEOUT 300)
