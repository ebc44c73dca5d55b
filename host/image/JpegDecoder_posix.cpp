// The native JPEG reader: libjpeg-turbo reading from memory, reporting
// through a handler of ours instead of printing or ending the process.
// libjpeg reports errors by jumping back to a setjmp, so the function that
// sets one holds nothing a destructor must see.
//
// Nothing of a run can start before its photograph is read, so a large
// JPEG is read by two decoders at once: one gives the top rows, the other
// skips them (entropy decoding only, which is the cheaper part) and gives
// the rest, each on its own core. Both decode the same data the same way,
// so the rows are those one decoder gives. A JPEG of several scans
// (progressive ones) is decoded whole before its first row comes out, so
// it stays with one decoder.
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <exception>
#include <string>
#include <thread>

// libjpeg's headers need size_t and FILE declared before them.
#include <jpeglib.h>
#include <jerror.h>

#include "ImageAssembler.h"
#include "host/engine/RowBands.h"

namespace {
// A progressive JPEG may hold any number of scans, each a pass over the
// whole image; real files have about ten. Far more is only a way to make the
// decoder spin.
constexpr int kMaxJpegScans = 256;
// Below this a second decoder costs more to start than it saves.
constexpr uint64_t kPixelsWorthSplitting = uint64_t{1} << 21;

struct JpegFailure {
    jpeg_error_mgr manager;  // first: libjpeg's pointer to it is a pointer to the whole
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void JpegFail(j_common_ptr info) {
    auto* failure = reinterpret_cast<JpegFailure*>(info->err);
    (*info->err->format_message)(info, failure->message);
    std::longjmp(failure->jump, 1);
}

// Damaged data is only a warning to libjpeg, which fills the rest with gray;
// a mask made of that gray would look like a result, so it ends the read.
void JpegWarning(j_common_ptr info, int level) {
    if (level >= 0) return;
    const int code = info->err->msg_code;
    if (code == JWRN_JPEG_EOF || code == JWRN_HUFF_BAD_CODE || code == JWRN_MUST_RESYNC || code == JWRN_HIT_MARKER)
        JpegFail(info);
}

void JpegProgress(j_common_ptr info) {
    if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number <= kMaxJpegScans) return;
    auto* failure = reinterpret_cast<JpegFailure*>(info->err);
    std::snprintf(failure->message, sizeof failure->message, "more than %d progressive scans", kMaxJpegScans);
    std::longjmp(failure->jump, 1);
}

// What one decoder does: with `begin`, read the header and size the image
// (Begin), then stop; otherwise rows [first, end) of the output, or all
// rows from `first` when `end` is 0, finishing the file then.
struct JpegPart {
    bool begin = false;
    int first = 0;
    int end = 0;
    int splitRows = 0;  // with `begin`: where a second decoder may start, 0 if none
};

bool DecodeJpegPart(const uint8_t* data, std::size_t size, ImageAssembler& image, JpegPart& part,
                    std::string& why) {
    jpeg_decompress_struct info;
    JpegFailure failure;
    jpeg_progress_mgr progress{};
    info.err = jpeg_std_error(&failure.manager);
    failure.manager.error_exit = JpegFail;
    failure.manager.emit_message = JpegWarning;
    failure.message[0] = '\0';
    if (setjmp(failure.jump)) {
        jpeg_destroy_decompress(&info);
        why = failure.message;
        return false;
    }
    jpeg_create_decompress(&info);
    progress.progress_monitor = JpegProgress;
    info.progress = &progress;
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    SampleLayout layout;
    layout.channels = info.jpeg_color_space == JCS_GRAYSCALE ? 1 : 3;
    info.out_color_space = layout.channels == 1 ? JCS_GRAYSCALE : JCS_RGB;
    if (part.begin) {
        const bool sized = image.Begin(info.image_width, info.image_height, layout, why);
        jpeg_calc_output_dimensions(&info);
        // About five ninths of the rows on top: the other decoder spends
        // the rest of the time entropy decoding what it skips. On a row
        // group's edge, where skipping decodes nothing it must then throw
        // away.
        const int group = info.max_v_samp_factor * info.min_DCT_scaled_size;
        const uint64_t pixels = uint64_t{info.output_width} * info.output_height;
        if (pixels >= kPixelsWorthSplitting && group > 0 && !jpeg_has_multiple_scans(&info))
            part.splitRows = static_cast<int>(info.output_height * 5 / 9 / group * group);
        jpeg_destroy_decompress(&info);
        return sized;
    }
    jpeg_start_decompress(&info);
    JSAMPARRAY row = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                               static_cast<JDIMENSION>(image.RowBytes()), 1);
    if (part.first > 0) jpeg_skip_scanlines(&info, static_cast<JDIMENSION>(part.first));
    const JDIMENSION end = part.end > 0 ? static_cast<JDIMENSION>(part.end) : info.output_height;
    while (info.output_scanline < end) {
        const int y = static_cast<int>(info.output_scanline);
        jpeg_read_scanlines(&info, row, 1);
        image.PutRow(y, row[0]);
    }
    if (end == info.output_height)
        jpeg_finish_decompress(&info);
    else
        jpeg_abort_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}
}  // namespace

bool DecodeJpeg(const uint8_t* data, std::size_t size, ImageAssembler& image, std::string& why) {
    JpegPart header{true};
    if (!DecodeJpegPart(data, size, image, header, why)) return false;
    JpegPart all{false, 0, 0}, top{false, 0, header.splitRows}, bottom{false, header.splitRows, 0};
    if (header.splitRows <= 0 || RowBandThreads() < 2) return DecodeJpegPart(data, size, image, all, why);
    std::string bottomWhy;
    bool bottomRead = false;
    std::thread second;
    try {
        second = std::thread([&] {
            try {
                bottomRead = DecodeJpegPart(data, size, image, bottom, bottomWhy);
            } catch (const std::exception&) {
                bottomRead = false;  // no memory for the message; the top decoder's stands
            }
        });
    } catch (const std::exception&) {
        // No second thread: one decoder reads it all.
        return DecodeJpegPart(data, size, image, all, why);
    }
    const bool topRead = DecodeJpegPart(data, size, image, top, why);
    second.join();
    // The first fault in the file is the one to report.
    if (topRead && !bottomRead) why = bottomWhy.empty() ? "not enough memory" : bottomWhy;
    return topRead && bottomRead;
}
