// lumacut-vips-peer: the seven masks of `lumacut-host run --all`, made by
// libvips instead of our engine, so that scripts/benchmark.sh can time a
// well-known image library doing the same work and check first that it
// made the same pixels. The image is decoded once and its luminosity kept
// in memory, as a libvips user would do for seven masks of one image; each
// mask is then its mode's 256-level table, a 3 x 3 median with the edges
// repeated, and an 8-bit gray PNG at the zlib level and row filters given.
//
// The tables come from the plug-in's own mode table and the host's own
// spline, so that only the pixel passes and the writer are libvips'.
#include <vips/vips.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/engine/LevelTable.h"
#include "mask/ModeTable.h"

namespace {
// The levels a mode's events leave after the luminosity and before the
// median: the inversion of the shadow modes, then each curve in turn.
bool ModeLevels(const ModeRow& row, LevelTable& levels) {
    levels = row.invertSelection ? InvertedLevels() : IdentityLevels();
    for (const ToneCurve* curve : {row.firstCurve, row.secondCurve}) {
        if (curve == nullptr) continue;
        std::vector<SplinePoint> points;
        for (const CurvePoint& point : *curve) points.push_back({point.input, point.output});
        LevelTable table{};
        if (!MakeLevelTable(points, table)) return false;
        for (uint8_t& level : levels) level = table[level];
    }
    return true;
}

// Owns a libvips image reference.
struct Image {
    VipsImage* image = nullptr;
    Image() = default;
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;
    ~Image() {
        if (image != nullptr) g_object_unref(image);
    }
};

int Fail(const char* what) {
    std::fprintf(stderr, "lumacut-vips-peer: %s: %s\n", what, vips_error_buffer());
    return 1;
}

// round(0.30 R + 0.59 G + 0.11 B), half up: floor(S / 100 + 0.505) with
// S = 30 R + 59 G + 11 B, exact in float for 8-bit levels; the 0.005 keeps
// the floor away from the float rounding of S / 100 at whole hundreds.
int Luminosity(VipsImage* rgb, Image& out) {
    const double weights[] = {30, 59, 11};
    Image matrix, sum, scaled, floored;
    matrix.image = vips_image_new_matrix_from_array(3, 1, weights, 3);
    if (matrix.image == nullptr || vips_recomb(rgb, &sum.image, matrix.image, nullptr) != 0 ||
        vips_linear1(sum.image, &scaled.image, 0.01, 0.505, nullptr) != 0 ||
        vips_floor(scaled.image, &floored.image, nullptr) != 0 ||
        vips_cast_uchar(floored.image, &out.image, nullptr) != 0)
        return Fail("luminosity");
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 5 || (std::string(argv[4]) != "none" && std::string(argv[4]) != "all")) {
        std::fprintf(stderr, "usage: lumacut-vips-peer IMAGE OUTDIR COMPRESSION none|all\n"
                             "writes OUTDIR/mode-1.png .. mode-7.png; COMPRESSION is zlib's level, 0..9, and\n"
                             "none|all the PNG row filters libvips may choose from\n");
        return 2;
    }
    if (VIPS_INIT(argv[0]) != 0) return Fail("start");
    const int compression = std::atoi(argv[3]);
    const VipsForeignPngFilter filter =
        std::string(argv[4]) == "none" ? VIPS_FOREIGN_PNG_FILTER_NONE : VIPS_FOREIGN_PNG_FILTER_ALL;

    Image photo, rgb, luminosity, kept;
    photo.image = vips_image_new_from_file(argv[1], nullptr);
    if (photo.image == nullptr) return Fail(argv[1]);
    if (vips_colourspace(photo.image, &rgb.image, VIPS_INTERPRETATION_sRGB, nullptr) != 0) return Fail("RGB");
    Image opaque;
    if (vips_extract_band(rgb.image, &opaque.image, 0, "n", 3, nullptr) != 0) return Fail("RGB");
    if (Luminosity(opaque.image, luminosity) != 0) return 1;
    kept.image = vips_image_copy_memory(luminosity.image);
    if (kept.image == nullptr) return Fail("luminosity in memory");

    for (const ModeRow& row : kModeTable) {
        LevelTable levels{};
        if (!ModeLevels(row, levels)) {
            std::fprintf(stderr, "lumacut-vips-peer: mode %d: its curve makes no table\n", static_cast<int>(row.mode));
            return 1;
        }
        Image lut, mapped, median;
        lut.image = vips_image_new_from_memory_copy(levels.data(), levels.size(), 256, 1, 1, VIPS_FORMAT_UCHAR);
        const std::string path = std::string(argv[2]) + "/mode-" + std::to_string(row.mode) + ".png";
        if (lut.image == nullptr || vips_maplut(kept.image, &mapped.image, lut.image, nullptr) != 0 ||
            vips_median(mapped.image, &median.image, 3, nullptr) != 0 ||
            vips_pngsave(median.image, path.c_str(), "compression", compression, "filter", filter, nullptr) != 0)
            return Fail(path.c_str());
    }
    vips_shutdown();
    return 0;
}
