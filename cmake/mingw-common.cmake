# The body of both mingw-w64 toolchains; the file that includes this one
# names the target in LUMACUT_MINGW_TRIPLET (i686-w64-mingw32 or
# x86_64-w64-mingw32). Tests run under Wine.
#
# mingw-w64 comes with two thread models. The posix one links the thread
# library (libwinpthread) into whatever it builds, and with it imports that
# Windows 2000 lacks (GetTickCount64 is Vista's); the win32 one links none,
# but GCC 12's lacks std::mutex and std::thread, which GoogleTest and the
# host stand-in need. So the build compiles everything with the posix
# compilers except the shipped module, which module/CMakeLists.txt builds in
# a second build of its own with LUMACUT_MINGW_THREADS=win32.
set(CMAKE_SYSTEM_NAME Windows)
string(REGEX MATCH "^[^-]+" CMAKE_SYSTEM_PROCESSOR ${LUMACUT_MINGW_TRIPLET})

set(LUMACUT_MINGW_THREADS posix CACHE STRING "mingw-w64 thread model of the compilers: posix or win32")
# try_compile reads this file again and needs the same answer.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES LUMACUT_MINGW_THREADS)

set(CMAKE_C_COMPILER ${LUMACUT_MINGW_TRIPLET}-gcc-${LUMACUT_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${LUMACUT_MINGW_TRIPLET}-g++-${LUMACUT_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${LUMACUT_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${LUMACUT_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
