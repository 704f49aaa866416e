# SPDX-License-Identifier: MIT
# The libraries of the browser readers: RapidJSON (header-only) for the
# Chromium family's `Local State` profile list (the `Bookmarks` files are read
# by search/json_events.h) and SQLite for Firefox's places.sqlite.

# RapidJSON from Debian's rapidjson-dev. A cross build must not see the rest of
# the system's /usr/include, so it gets a folder holding only RapidJSON's.
find_path(ZAPTROVE_RAPIDJSON_INCLUDE rapidjson/reader.h PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH
  REQUIRED)
if(CMAKE_CROSSCOMPILING)
  set(rapidjson_only ${CMAKE_BINARY_DIR}/rapidjson-include)
  file(MAKE_DIRECTORY ${rapidjson_only})
  file(CREATE_LINK ${ZAPTROVE_RAPIDJSON_INCLUDE}/rapidjson ${rapidjson_only}/rapidjson SYMBOLIC)
  target_include_directories(zaptrove_core SYSTEM PRIVATE ${rapidjson_only})
else()
  target_include_directories(zaptrove_core SYSTEM PRIVATE ${ZAPTROVE_RAPIDJSON_INCLUDE})
endif()

# SQLite: Debian's libsqlite3-dev, or, for the Windows cross build, a static
# library built from the one-file source that scripts/sqlite-amalgamation.sh
# makes from Debian's source package. Without SQLite the Firefox reader answers
# that this build cannot read Firefox profiles.
set(ZAPTROVE_SQLITE_AMALGAMATION "" CACHE PATH "Folder holding sqlite3.c and sqlite3.h to build")
if(ZAPTROVE_SQLITE_AMALGAMATION)
  enable_language(C)
  add_library(zaptrove_sqlite3 STATIC ${ZAPTROVE_SQLITE_AMALGAMATION}/sqlite3.c)
  target_include_directories(zaptrove_sqlite3 SYSTEM PUBLIC ${ZAPTROVE_SQLITE_AMALGAMATION})
  target_compile_definitions(zaptrove_sqlite3 PRIVATE SQLITE_THREADSAFE=1
    SQLITE_OMIT_LOAD_EXTENSION SQLITE_DQS=0)
  # Not the project's code: its warnings are SQLite's business.
  target_compile_options(zaptrove_sqlite3 PRIVATE -w)
  add_library(SQLite::SQLite3 ALIAS zaptrove_sqlite3)
  set(firefox_default ON)
elseif(CMAKE_CROSSCOMPILING)
  set(firefox_default OFF)
else()
  set(firefox_default ON)
endif()
option(ZAPTROVE_FIREFOX "Read Firefox bookmarks (needs SQLite)" ${firefox_default})
if(ZAPTROVE_FIREFOX)
  if(NOT TARGET SQLite::SQLite3)
    find_package(SQLite3 REQUIRED)
  endif()
  target_sources(zaptrove_core PRIVATE search/firefox_reader.cpp search/places_snapshot.cpp
    search/places_vfs.cpp)
  target_link_libraries(zaptrove_core PUBLIC SQLite::SQLite3)
else()
  target_sources(zaptrove_core PRIVATE search/firefox_reader_absent.cpp)
endif()
