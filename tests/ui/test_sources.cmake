# The window tests that need no X server of their own: the Linux build runs them on Qt's
# offscreen platform, the Windows cross-build under Wine (cmake/windows_ui_tests.cmake).
set(ui_test_sources
    accessible_names_test.cpp add_wizard_test.cpp base_form_test.cpp dock_geometry_test.cpp
    geometry_test.cpp image_button_test.cpp main_window_test.cpp main_window_time_text_test.cpp
    message_windows_test.cpp pictures_test.cpp settings_wizard_test.cpp skins_test.cpp
    shown_texts_test.cpp time_limit_test.cpp time_up_test.cpp ui_test_main.cpp
    window_margins_test.cpp)
list(TRANSFORM ui_test_sources PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
