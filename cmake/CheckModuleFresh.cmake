# cmake -DMODULE=FILE -DDEF=EXPORT-LIST -DTOP=FOLDER -P CheckModuleFresh.cmake
# The native build's checks of a Windows module read a file another build
# made. This says which file, and refuses one older than any source it is
# built from, so that a check never passes on a stale module; a missing
# module passes here, and the checks then skip themselves. The sources are
# the code, resource script and export list the module is compiled and
# linked from: each of them changed makes the Windows build link the module
# anew, so a rebuilt module is never refused (build scripts are not among
# them, since a change to one need not change the module).
if(NOT EXISTS "${MODULE}")
  message(STATUS "no module at ${MODULE}: its checks are skipped")
  return()
endif()
file(TIMESTAMP "${MODULE}" built "%s" UTC)
file(TIMESTAMP "${MODULE}" shown "%Y-%m-%d %H:%M:%S" UTC)
message(STATUS "checking ${MODULE}, built ${shown} UTC")
set(patterns "")
foreach(folder IN ITEMS entry mask ui resources module)
  list(APPEND patterns "${TOP}/${folder}/*.cpp" "${TOP}/${folder}/*.h" "${TOP}/${folder}/*.rc")
endforeach()
file(GLOB_RECURSE sources LIST_DIRECTORIES false ${patterns})
list(FILTER sources EXCLUDE REGEX "_posix\\.cpp$")
list(APPEND sources "${DEF}")
foreach(source IN LISTS sources)
  file(TIMESTAMP "${source}" changed "%s" UTC)
  if(changed GREATER built)
    cmake_path(RELATIVE_PATH source BASE_DIRECTORY "${TOP}")
    message(FATAL_ERROR "${MODULE} is older than ${source}: build its Windows preset again before checking it")
  endif()
endforeach()
