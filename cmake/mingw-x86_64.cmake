# Cross-build of the x64 module for today's 64-bit hosts, from the same
# sources as the 32-bit one; its tests run under 64-bit Wine, which also
# runs where the kernel runs no 32-bit programs.
set(LUMACUT_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
