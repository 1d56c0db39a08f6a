# The windows cannot be linked for Windows on Debian (there is no Qt built for MinGW-w64
# here), but they can be compiled for it: the build machine's Qt headers declare the same
# classes, so the Windows compiler checks every call the windows make and every _WIN32 branch
# in them, and the build machine's moc and rcc prepare them as for any build. The objects are
# never linked; the real windowed program is built on Windows with MSYS2's Qt (README).
find_path(TALLYWICK_HOST_QT_HEADERS QtWidgets/QWidget
          PATHS /usr/include/x86_64-linux-gnu/qt6 /usr/include/qt6
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
find_program(TALLYWICK_HOST_MOC moc PATHS /usr/lib/qt6/libexec NO_DEFAULT_PATH REQUIRED)
find_program(TALLYWICK_HOST_RCC rcc PATHS /usr/lib/qt6/libexec NO_DEFAULT_PATH REQUIRED)
file(STRINGS ${TALLYWICK_HOST_QT_HEADERS}/QtCore/qconfig.h qt_version_line
     REGEX "#define QT_VERSION_STR")
string(REGEX MATCH "([0-9]+)\\.([0-9]+)\\.([0-9]+)" qt_version "${qt_version_line}")
set(Qt6Core_VERSION_MAJOR ${CMAKE_MATCH_1})
set(Qt6Core_VERSION_MINOR ${CMAKE_MATCH_2})
set(Qt6Core_VERSION_PATCH ${CMAKE_MATCH_3})

foreach(module Core Gui Widgets)
  add_library(Qt6::${module} INTERFACE IMPORTED)
  # Declared as for a static Qt: the Linux headers would otherwise ask for DLL imports.
  set_target_properties(Qt6::${module} PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES
      "${TALLYWICK_HOST_QT_HEADERS};${TALLYWICK_HOST_QT_HEADERS}/Qt${module}"
    INTERFACE_COMPILE_DEFINITIONS QT_STATIC
    INTERFACE_QT_MAJOR_VERSION 6)
endforeach()
set_property(TARGET Qt6::Gui PROPERTY INTERFACE_LINK_LIBRARIES Qt6::Core)
set_property(TARGET Qt6::Widgets PROPERTY INTERFACE_LINK_LIBRARIES Qt6::Gui)
add_executable(Qt6::moc IMPORTED)
set_target_properties(Qt6::moc PROPERTIES IMPORTED_LOCATION ${TALLYWICK_HOST_MOC})
add_executable(Qt6::rcc IMPORTED)
set_target_properties(Qt6::rcc PROPERTIES IMPORTED_LOCATION ${TALLYWICK_HOST_RCC})
