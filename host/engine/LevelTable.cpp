#include "LevelTable.h"

#include <cmath>
#include <cstddef>

namespace {
bool Acceptable(const std::vector<SplinePoint>& points) {
    if (points.size() < 2 || points.size() > 256) return false;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const SplinePoint& p = points[i];
        if (!std::isfinite(p.input) || !std::isfinite(p.output)) return false;
        if (p.input < 0.0 || p.input > 255.0 || p.output < 0.0 || p.output > 255.0) return false;
        if (i > 0 && !(p.input > points[i - 1].input)) return false;
    }
    return true;
}

// Second derivatives at the points of a natural spline: zero at both ends,
// the inner ones from the tridiagonal system, solved by forward
// elimination and back substitution (the system is diagonally dominant).
std::vector<double> SecondDerivatives(const std::vector<SplinePoint>& p) {
    const std::size_t n = p.size();
    std::vector<double> m(n, 0.0);
    if (n < 3) return m;
    std::vector<double> diagonal(n, 0.0), right(n, 0.0);
    for (std::size_t i = 1; i + 1 < n; ++i) {
        const double before = p[i].input - p[i - 1].input;
        const double after = p[i + 1].input - p[i].input;
        diagonal[i] = 2.0 * (before + after);
        right[i] = 6.0 * ((p[i + 1].output - p[i].output) / after - (p[i].output - p[i - 1].output) / before);
        if (i > 1) {
            const double factor = before / diagonal[i - 1];
            diagonal[i] -= factor * before;
            right[i] -= factor * right[i - 1];
        }
    }
    for (std::size_t i = n - 2; i >= 1; --i) {
        const double after = p[i + 1].input - p[i].input;
        m[i] = (right[i] - after * m[i + 1]) / diagonal[i];
    }
    return m;
}

uint8_t RoundedLevel(double value) {
    const double rounded = std::floor(value + 0.5);
    if (!(rounded > 0.0)) return 0;  // also catches NaN
    if (rounded >= 255.0) return 255;
    return static_cast<uint8_t>(rounded);
}
}  // namespace

bool MakeLevelTable(const std::vector<SplinePoint>& points, LevelTable& table) {
    if (!Acceptable(points)) return false;
    const std::vector<double> m = SecondDerivatives(points);
    const SplinePoint& first = points.front();
    const SplinePoint& last = points.back();
    std::size_t segment = 0;
    for (int level = 0; level < 256; ++level) {
        const double x = level;
        if (x <= first.input) {
            table[level] = RoundedLevel(first.output);
            continue;
        }
        if (x >= last.input) {
            table[level] = RoundedLevel(last.output);
            continue;
        }
        while (points[segment + 1].input < x) ++segment;
        const SplinePoint& a = points[segment];
        const SplinePoint& b = points[segment + 1];
        const double h = b.input - a.input;
        const double toB = b.input - x;
        const double fromA = x - a.input;
        const double value = (m[segment] * toB * toB * toB + m[segment + 1] * fromA * fromA * fromA) / (6.0 * h) +
                             (a.output / h - m[segment] * h / 6.0) * toB +
                             (b.output / h - m[segment + 1] * h / 6.0) * fromA;
        table[level] = RoundedLevel(value);
    }
    return true;
}

LevelTable IdentityLevels() {
    LevelTable table{};
    for (int level = 0; level < 256; ++level) table[level] = static_cast<uint8_t>(level);
    return table;
}

LevelTable InvertedLevels() {
    LevelTable table{};
    for (int level = 0; level < 256; ++level) table[level] = static_cast<uint8_t>(255 - level);
    return table;
}
