# stb_easy_font from Debian's libstb-dev, as the
# interface library lumacut_stb. The cross build must not search
# /usr/include as a whole (its C headers are Linux's), so both builds see
# stb's folder alone through a link.
include_guard(GLOBAL)
set(LUMACUT_STB_DIR /usr/include/stb CACHE PATH "stb headers (libstb-dev)")
if(NOT EXISTS ${LUMACUT_STB_DIR}/stb_easy_font.h)
  message(FATAL_ERROR "stb_easy_font.h not found in ${LUMACUT_STB_DIR}: apt-get install libstb-dev")
endif()
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/stb-include)
file(CREATE_LINK ${LUMACUT_STB_DIR} ${CMAKE_BINARY_DIR}/stb-include/stb SYMBOLIC)
add_library(lumacut_stb INTERFACE)
target_include_directories(lumacut_stb SYSTEM INTERFACE ${CMAKE_BINARY_DIR}/stb-include)
