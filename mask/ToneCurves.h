// The five constant curves that shape the mask, and so make the modes
// differ. Levels run 0 to 255 and go to the host as doubles.
#ifndef LUMACUT_MASK_TONE_CURVES_H
#define LUMACUT_MASK_TONE_CURVES_H

#include <cstddef>

struct CurvePoint {
    double input;   // "Hrzn"
    double output;  // "Vrtc"
};

constexpr std::size_t kMaxCurvePoints = 4;

// An ordered list of three or four points, fixed when it is made.
class ToneCurve {
public:
    template <std::size_t N>
    constexpr ToneCurve(const CurvePoint (&points)[N]) : count_(N) {
        static_assert(N >= 3 && N <= kMaxCurvePoints, "a tone curve has three or four points");
        for (std::size_t i = 0; i < N; ++i) points_[i] = points[i];
    }
    constexpr std::size_t Size() const { return count_; }
    constexpr const CurvePoint& operator[](std::size_t i) const { return points_[i]; }
    constexpr const CurvePoint* begin() const { return points_; }
    constexpr const CurvePoint* end() const { return points_ + count_; }

private:
    CurvePoint points_[kMaxCurvePoints] = {};
    std::size_t count_;
};

// Everything up to 85 black, rising from 26 at 151 to white at 255.
inline constexpr ToneCurve NormalCurve({{0, 0}, {85, 0}, {151, 26}, {255, 255}});
// The same from 130 on: fewer tones survive.
inline constexpr ToneCurve NarrowCurve({{0, 0}, {130, 0}, {177, 22}, {255, 255}});
// A peak at 126: black at both ends, so the middle tones are selected.
inline constexpr ToneCurve MidtoneBandCurve({{0, 0}, {126, 255}, {255, 0}});
// Applied after the band: its lower levels pushed to black.
inline constexpr ToneCurve MidtoneMediumCurve({{0, 0}, {47, 0}, {70, 5}, {255, 255}});
inline constexpr ToneCurve MidtoneNarrowCurve({{0, 0}, {97, 1}, {137, 18}, {255, 255}});

#endif
