// libFuzzer target: the way a photograph comes in, from the bytes of a file
// of any kind to the document's planes: recognising the format, our header
// checks and PNM reader, the native decoders (libjpeg-turbo, libpng,
// libtiff) behind our callbacks, the 16-bit rounding and the alpha on white.
// Whatever the bytes, the read must end in planes of the size the header
// gave or in a message, without a crash or a leak (ASan and UBSan watch).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "host/image/ImageFile.h"

namespace {
// Large enough for every seed, small enough that an input claiming the
// largest size allowed still decodes in well under the time limit.
constexpr std::size_t kFuzzMaxArea = std::size_t{1} << 22;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RgbPlanes planes;
    std::string error;
    const bool read = ReadImageMemory(data, size, "input", planes, error, kFuzzMaxArea);
    // A read either gives three planes of one size or says why it did not.
    if (read && (planes.red.Empty() || planes.green.Width() != planes.red.Width() ||
                 planes.blue.Height() != planes.red.Height()))
        std::abort();
    if (!read && (error.rfind("input: ", 0) != 0 || error.find('\n') != std::string::npos)) std::abort();
    return 0;
}
