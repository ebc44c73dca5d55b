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

# The oldest Windows each shipped module loads on, in _WIN32_WINNT's
# notation, by the machine names the property list and the module checks
# use. The 32-bit hosts the module serves, releases of 2000 to 2005, ran on
# Windows 2000 and XP; the first 64-bit hosts required 64-bit Vista, so the
# x64 module may use what Vista has.
set(LUMACUT_WINDOWS_FLOOR_i386 0x0500)
set(LUMACUT_WINDOWS_FLOOR_amd64 0x0600)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(LUMACUT_MACHINE amd64)
else()
  set(LUMACUT_MACHINE i386)
endif()
# The plug-in's code is compiled against that floor, so that a call to
# anything newer fails to compile, and the module's header asks for no
# newer Windows than it.
if(LUMACUT_WINDOWS)
  set(floor ${LUMACUT_WINDOWS_FLOOR_${LUMACUT_MACHINE}})
  math(EXPR floor_major "${floor} >> 8")
  math(EXPR floor_minor "${floor} & 0xFF")
  set(LUMACUT_PLUGIN_DEFINITIONS _WIN32_WINNT=${floor} WINVER=${floor})
  set(LUMACUT_MODULE_SUBSYSTEM -Wl,--subsystem,windows:${floor_major}.${floor_minor})
endif()

# A library of the plug-in's own code. It ends up inside the module, where
# nothing but the entry points may be seen from outside.
function(lumacut_plugin_library target)
  set_target_properties(${target} PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  target_compile_options(${target} PRIVATE ${LUMACUT_PLUGIN_SIZE_OPTIONS})
  target_compile_definitions(${target} PRIVATE ${LUMACUT_PLUGIN_DEFINITIONS})
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
