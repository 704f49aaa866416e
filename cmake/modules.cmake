# SPDX-License-Identifier: MIT
# Every folder of the program is a library of its own. Its headers are reached
# as "folder/name.h" through an include folder in the build tree that holds a
# single link to it, so a library sees its own headers and those of the
# libraries it links, and nothing else: an include that reaches up a layer
# (the engine including a window header) fails to compile.
function(zaptrove_module name folder)
  add_library(${name} STATIC ${ARGN})
  set(scope ${PROJECT_BINARY_DIR}/include_scopes/${name})
  get_filename_component(parent ${scope}/${folder} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${scope}/${folder} SYMBOLIC)
  target_include_directories(${name} PUBLIC ${scope})
endfunction()
