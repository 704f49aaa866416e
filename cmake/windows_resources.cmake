# SPDX-License-Identifier: MIT
# The Windows programs' resources, compiled by the resource compiler (windres
# with MinGW): a version resource for each program, and the window program's
# icon and manifest.
enable_language(RC)

# The project's version as the four numbers of a Windows version.
set(ZAPTROVE_VERSION_PARTS)
foreach(part MAJOR MINOR PATCH TWEAK)
  if(PROJECT_VERSION_${part} STREQUAL "")
    list(APPEND ZAPTROVE_VERSION_PARTS 0)
  else()
    list(APPEND ZAPTROVE_VERSION_PARTS ${PROJECT_VERSION_${part}})
  endif()
endforeach()
list(JOIN ZAPTROVE_VERSION_PARTS "," ZAPTROVE_VERSION_COMMAS)
list(JOIN ZAPTROVE_VERSION_PARTS "." ZAPTROVE_VERSION_QUAD)

# A version resource that names the program TARGET and describes it.
function(zaptrove_add_version_resource target description)
  set(ZAPTROVE_RC_NAME ${target})
  set(ZAPTROVE_RC_FILE ${target}${CMAKE_EXECUTABLE_SUFFIX})
  set(ZAPTROVE_RC_DESCRIPTION "${description}")
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/app/windows/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()

# The manifest of the window program, which its forms' tests carry too, so that
# they test the controls the program shows.
function(zaptrove_add_manifest target)
  set(ZAPTROVE_MANIFEST ${CMAKE_CURRENT_BINARY_DIR}/zaptrove.exe.manifest)
  configure_file(${PROJECT_SOURCE_DIR}/app/windows/zaptrove.exe.manifest ${ZAPTROVE_MANIFEST}
    @ONLY)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_manifest.rc)
  configure_file(${PROJECT_SOURCE_DIR}/app/windows/manifest.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${ZAPTROVE_MANIFEST})
endfunction()

# The program icon in the sizes Windows shows most (packed from app/icons by
# app/windows/make_ico.py) and the manifest.
function(zaptrove_add_window_resources target)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  zaptrove_add_manifest(${target})
  set(ZAPTROVE_ICO ${CMAKE_CURRENT_BINARY_DIR}/zaptrove.ico)
  set(images)
  foreach(size 16 32 48)
    list(APPEND images ${PROJECT_SOURCE_DIR}/app/icons/hicolor/${size}x${size}/apps/zaptrove.png)
  endforeach()
  add_custom_command(OUTPUT ${ZAPTROVE_ICO}
    COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/app/windows/make_ico.py ${ZAPTROVE_ICO}
            ${images}
    DEPENDS ${images} ${PROJECT_SOURCE_DIR}/app/windows/make_ico.py
    COMMENT "Packing the program icon"
    VERBATIM)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/app/windows/zaptrove.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  # The resource compiler reads the icon, which CMake does not see in the script.
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${ZAPTROVE_ICO})
endfunction()
