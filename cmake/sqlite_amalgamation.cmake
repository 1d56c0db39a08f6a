# SQLite for the MinGW-w64 cross-build, compiled from the official amalgamation that
# scripts/fetch-sqlite.sh fetches (pinned and checksummed). A native build, on Linux or on
# Windows, uses the system's SQLite package instead.
set(TALLYWICK_SQLITE_DIR ${PROJECT_SOURCE_DIR}/third_party/sqlite CACHE PATH
    "Folder holding sqlite3.c and sqlite3.h for the cross-build")
if(NOT EXISTS ${TALLYWICK_SQLITE_DIR}/sqlite3.c OR NOT EXISTS ${TALLYWICK_SQLITE_DIR}/sqlite3.h)
  message(FATAL_ERROR "The SQLite amalgamation is missing from ${TALLYWICK_SQLITE_DIR}: "
                      "run scripts/fetch-sqlite.sh first.")
endif()
add_library(sqlite3_amalgamation STATIC ${TALLYWICK_SQLITE_DIR}/sqlite3.c)
target_include_directories(sqlite3_amalgamation SYSTEM PUBLIC ${TALLYWICK_SQLITE_DIR})
# Compiled with the amalgamation's defaults, as the system packages are, so that the same
# SQL behaves the same on both; only the extension loader, which nothing uses, is left out.
target_compile_definitions(sqlite3_amalgamation PRIVATE SQLITE_OMIT_LOAD_EXTENSION)
set_target_properties(sqlite3_amalgamation PROPERTIES C_STANDARD 11)
add_library(SQLite::SQLite3 ALIAS sqlite3_amalgamation)
