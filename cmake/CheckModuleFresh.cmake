# cmake -DMODULE=FILE -DTOP=FOLDER -P CheckModuleFresh.cmake
# The native build's checks of a Windows module read a file another build
# made. This says which file, and refuses one older than any source it is
# built from, so that a check never passes on a stale module; a missing
# module passes here, and the checks then skip themselves.
if(NOT EXISTS "${MODULE}")
  message(STATUS "no module at ${MODULE}: its checks are skipped")
  return()
endif()
file(TIMESTAMP "${MODULE}" built "%s" UTC)
file(TIMESTAMP "${MODULE}" shown "%Y-%m-%d %H:%M:%S" UTC)
message(STATUS "checking ${MODULE}, built ${shown} UTC")
file(GLOB_RECURSE sources LIST_DIRECTORIES false
  "${TOP}/entry/*" "${TOP}/mask/*" "${TOP}/ui/*" "${TOP}/resources/*" "${TOP}/module/*" "${TOP}/cmake/*")
list(APPEND sources "${TOP}/CMakeLists.txt")
foreach(source IN LISTS sources)
  file(TIMESTAMP "${source}" changed "%s" UTC)
  if(changed GREATER built)
    cmake_path(RELATIVE_PATH source BASE_DIRECTORY "${TOP}")
    message(FATAL_ERROR "${MODULE} is older than ${source}: build its Windows preset again before checking it")
  endif()
endforeach()
