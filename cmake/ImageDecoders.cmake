# The native image decoders, from Debian: a configure error names the
# package to install when one is missing.
function(lumacut_link_image_decoders target)
  foreach(decoder JPEG:libjpeg62-turbo-dev PNG:libpng-dev TIFF:libtiff-dev)
    string(REPLACE ":" ";" decoder ${decoder})
    list(GET decoder 0 name)
    list(GET decoder 1 package)
    find_package(${name})
    if(NOT ${name}_FOUND)
      message(FATAL_ERROR "${name} decoder library not found: apt-get install ${package}")
    endif()
    target_link_libraries(${target} PRIVATE ${name}::${name})
  endforeach()
endfunction()
