# Cross-build of the 32-bit module for 32-bit hosts.
set(LUMACUT_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
