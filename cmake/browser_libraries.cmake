# SPDX-License-Identifier: MIT
# The libraries of the browser readers: RapidJSON (header-only) for the
# Chromium family's JSON files and SQLite for Firefox's places.sqlite.

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

# SQLite from Debian's libsqlite3-dev; without it the Firefox reader answers
# that this build cannot read Firefox profiles.
if(CMAKE_CROSSCOMPILING)
  set(firefox_default OFF)
else()
  set(firefox_default ON)
endif()
option(ZAPTROVE_FIREFOX "Read Firefox bookmarks (needs SQLite)" ${firefox_default})
if(ZAPTROVE_FIREFOX)
  find_package(SQLite3 REQUIRED)
  target_sources(zaptrove_core PRIVATE search/firefox_reader.cpp)
  target_link_libraries(zaptrove_core PUBLIC SQLite::SQLite3)
else()
  target_sources(zaptrove_core PRIVATE search/firefox_reader_absent.cpp)
endif()
