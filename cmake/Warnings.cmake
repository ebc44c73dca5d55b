# Warnings (and sanitizers) applied to our own targets only.
function(lumacut_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wnon-virtual-dtor)
  if(LUMACUT_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

if(LUMACUT_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(WIN32)
  # A photographer's machine has no mingw runtime DLLs: link them in.
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()
