# The windowed program's Qt on Windows: Qt's DLLs from the install scripts/build-qt-windows.sh
# makes, the windows platform plugin (and the native style) in their folders, and the
# compiler's runtime DLLs, which Qt's DLLs link against.
#
# Programs linked with Qt take the compiler's runtime from those DLLs too, so that one C++
# runtime serves the process; every other program of the cross-build stays self-contained
# (linked -static), as the toolchain file has it.
string(REPLACE "-static" "" CMAKE_EXE_LINKER_FLAGS "${CMAKE_EXE_LINKER_FLAGS}")
target_link_options(tallywick_settings INTERFACE
  $<$<NOT:$<BOOL:$<TARGET_PROPERTY:TALLYWICK_QT_RUNTIME>>>:-static>)

set(tallywick_compiler_runtime)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${found}" OR NOT EXISTS "${found}")
    message(FATAL_ERROR "The compiler's runtime ${dll} was not found (${CMAKE_CXX_COMPILER})")
  endif()
  list(APPEND tallywick_compiler_runtime ${found})
endforeach()

# Puts what a Qt program needs beside it in the build (the tests under Wine run it from
# there); with INSTALL, installs the same beside the installed program.
#   tallywick_windows_qt_runtime(target [INSTALL destination])
function(tallywick_windows_qt_runtime target)
  cmake_parse_arguments(PARSE_ARGV 1 runtime "" "INSTALL" "")
  set_target_properties(${target} PROPERTIES TALLYWICK_QT_RUNTIME ON)
  set(modules Qt6::Core Qt6::Gui Qt6::Widgets)
  get_target_property(linked ${target} LINK_LIBRARIES)
  if("Qt6::Test" IN_LIST linked)
    list(APPEND modules Qt6::Test)
  endif()
  set(dlls ${tallywick_compiler_runtime})
  foreach(module ${modules})
    list(APPEND dlls $<TARGET_FILE:${module}>)
  endforeach()
  set(here $<TARGET_FILE_DIR:${target}>)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${here}/platforms ${here}/styles
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${dlls} ${here}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different
            $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> ${here}/platforms
    COMMAND ${CMAKE_COMMAND} -E copy_if_different
            $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> ${here}/styles
    VERBATIM)
  if(runtime_INSTALL)
    install(FILES ${dlls} DESTINATION ${runtime_INSTALL})
    install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin>
            DESTINATION ${runtime_INSTALL}/platforms)
    install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin>
            DESTINATION ${runtime_INSTALL}/styles)
  endif()
endfunction()
