# CLI11, the command-line parser, from Debian's libcli11-dev (header only, so
# the Windows builds use it too), as the interface library lumacut_cli11.
include_guard(GLOBAL)
include(${CMAKE_CURRENT_LIST_DIR}/DebianHeaders.cmake)
set(LUMACUT_CLI11_DIR /usr/include/CLI CACHE PATH "CLI11 headers (libcli11-dev)")
lumacut_debian_headers(lumacut_cli11 ${LUMACUT_CLI11_DIR} CLI CLI.hpp libcli11-dev)
