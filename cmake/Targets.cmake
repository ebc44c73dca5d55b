# Helpers that every folder's CMake file uses.

# The repository's top folder: every library's headers are included from
# there ("host/engine/Plane.h"), in this build and in the fuzz build alike.
cmake_path(GET CMAKE_CURRENT_LIST_DIR PARENT_PATH LUMACUT_TOP)

# The sources that fit the target: a piece bound to a platform has a Windows
# half (File_win.cpp) and a POSIX half (File_posix.cpp); every other source
# builds everywhere.
function(lumacut_platform_sources out)
  set(kept "")
  foreach(source IN LISTS ARGN)
    if(source MATCHES "_win\\.cpp$")
      if(LUMACUT_WINDOWS)
        list(APPEND kept ${source})
      endif()
    elseif(source MATCHES "_posix\\.cpp$")
      if(NOT LUMACUT_WINDOWS)
        list(APPEND kept ${source})
      endif()
    else()
      list(APPEND kept ${source})
    endif()
  endforeach()
  set(${out} ${kept} PARENT_SCOPE)
endfunction()

# The shipped Windows modules are built for size (-Os gives a module 3 to
# 5% smaller than -O2), with every function and object in a section of its
# own so that the linker drops what nothing calls. The plug-in's libraries
# are compiled the same way, so the tests that link them test the code that
# ships.
if(LUMACUT_WINDOWS)
  set(LUMACUT_PLUGIN_SIZE_OPTIONS -Os -ffunction-sections -fdata-sections)
else()
  set(LUMACUT_PLUGIN_SIZE_OPTIONS "")
endif()

# A library of the plug-in's own code. It ends up inside the module, where
# nothing but the entry points may be seen from outside.
function(lumacut_plugin_library target)
  set_target_properties(${target} PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  target_compile_options(${target} PRIVATE ${LUMACUT_PLUGIN_SIZE_OPTIONS})
  lumacut_warnings(${target})
endfunction()

# Every 32-bit machine that runs the host has SSE2, so the stand-in, its
# programs and its tests may use it: the pixel passes' byte vectors become
# SSE2 instructions instead of byte loops, and floating point follows the
# same rules as on x64. Called in the folders that hold them, never for the
# plug-in's own code, which must run on any x86.
macro(lumacut_host_cpu)
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i[3-6]86|x86)$")
    add_compile_options(-msse2 -mfpmath=sse)
  endif()
endmacro()
