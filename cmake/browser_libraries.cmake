# SPDX-License-Identifier: MIT
# The library of the Firefox reader: SQLite for places.sqlite. The Chromium
# family's JSON files need none (search/scanning/json_events.h).

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
  target_sources(zaptrove_sources PRIVATE search/sources/chromium_history.cpp
    search/sources/firefox_reader.cpp search/sources/places_database.cpp
    search/sources/places_snapshot.cpp search/sources/places_text_heads.cpp
    search/sources/places_vfs.cpp)
  target_link_libraries(zaptrove_sources PUBLIC SQLite::SQLite3)
else()
  target_sources(zaptrove_sources PRIVATE search/sources/chromium_history_absent.cpp
    search/sources/firefox_reader_absent.cpp)
endif()
