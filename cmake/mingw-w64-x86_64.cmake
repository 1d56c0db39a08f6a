# Cross-build for 64-bit Windows with MinGW-w64 (the posix-threads compilers, so that
# std::thread and std::mutex work). Tests and tools run under Wine:
#   cmake -S . -B build-mingw -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(triplet x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${triplet}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Self-contained executables: no compiler runtime DLLs to ship beside them or to find
# under Wine.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Target executables (tests, test discovery) run through Wine.
find_program(TALLYWICK_WINE wine)
if(TALLYWICK_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TALLYWICK_WINE})
endif()
