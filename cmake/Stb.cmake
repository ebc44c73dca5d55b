# stb_easy_font from Debian's libstb-dev, as the interface library lumacut_stb.
include_guard(GLOBAL)
include(${CMAKE_CURRENT_LIST_DIR}/DebianHeaders.cmake)
set(LUMACUT_STB_DIR /usr/include/stb CACHE PATH "stb headers (libstb-dev)")
lumacut_debian_headers(lumacut_stb ${LUMACUT_STB_DIR} stb stb_easy_font.h libstb-dev)
