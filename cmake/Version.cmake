# The release's version and the words that name it, said once. The build takes them from here (the About text, the
# version lumacut-host prints) and so do the scripts that package the release, which ask CMake:
#   cmake -P cmake/Version.cmake                    prints the version: 0.1
#   cmake -DPRINT=RELEASE -P cmake/Version.cmake    prints the release: Version 0.1 Release (12/2004)
set(LUMACUT_VERSION 0.1)
set(LUMACUT_RELEASE "Version ${LUMACUT_VERSION} Release (12/2004)")

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  if(PRINT STREQUAL "RELEASE")
    execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${LUMACUT_RELEASE}")
  else()
    execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${LUMACUT_VERSION}")
  endif()
endif()
