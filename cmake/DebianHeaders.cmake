# A header-only library from a Debian package as an interface library. The
# cross build must not search /usr/include as a whole (its C headers are
# Linux's), so both builds see the package's folder alone, through a link
# named `link` in a folder of the build tree.
include_guard(GLOBAL)
function(lumacut_debian_headers target folder link probe package)
  if(NOT EXISTS ${folder}/${probe})
    message(FATAL_ERROR "${probe} not found in ${folder}: apt-get install ${package}")
  endif()
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/${target}-include)
  file(CREATE_LINK ${folder} ${CMAKE_BINARY_DIR}/${target}-include/${link} SYMBOLIC)
  add_library(${target} INTERFACE)
  target_include_directories(${target} SYSTEM INTERFACE ${CMAKE_BINARY_DIR}/${target}-include)
endfunction()
