# The fuzz build (the fuzz preset, scripts/fuzz.sh): the same libraries as
# every build, compiled with libFuzzer's coverage under ASan and UBSan, so
# that the fuzz targets (fuzz/) test the code the other builds test.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "LUMACUT_FUZZ needs clang (libFuzzer): configure with the fuzz preset")
endif()
if(LUMACUT_SANITIZE OR WIN32)
  message(FATAL_ERROR "LUMACUT_FUZZ brings its own sanitizers and builds natively only")
endif()

# Not clang's check of the function type behind a call: the stand-in's
# IsEqual is, on purpose, a 32-bit function called through the one-byte
# signature, to put junk above the byte as a host's register can.
set(LUMACUT_FUZZ_SANITIZERS -fsanitize=address,undefined -fno-sanitize=function -fno-sanitize-recover=all)
# Everything is built with the fuzzer's coverage and linked with the
# sanitizers' runtimes (the resource generator among them).
add_compile_options(-fsanitize=fuzzer-no-link ${LUMACUT_FUZZ_SANITIZERS} -fno-omit-frame-pointer -g -O1)
add_link_options(-fsanitize=fuzzer-no-link ${LUMACUT_FUZZ_SANITIZERS})
