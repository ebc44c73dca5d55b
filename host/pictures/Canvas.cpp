#include "Canvas.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <stdexcept>

#include <stb/stb_easy_font.h>

namespace {
// stb_easy_font wants a writable, terminated string.
std::vector<char> FontText(const std::string& text) {
    std::vector<char> line(text.begin(), text.end());
    line.push_back('\0');
    return line;
}
}  // namespace

Canvas::Canvas(int width, int height, Rgb paper) {
    if (width <= 0 || height <= 0 || static_cast<std::size_t>(width) > kMaxArea / static_cast<std::size_t>(height))
        throw std::length_error("a canvas of " + std::to_string(width) + " x " + std::to_string(height));
    image_.width = width;
    image_.height = height;
    image_.pixels.resize(static_cast<std::size_t>(width) * height * 3);
    Fill(0, 0, width, height, paper);
}

void Canvas::Fill(int x0, int y0, int x1, int y1, Rgb colour) {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, image_.width);
    y1 = std::min(y1, image_.height);
    if (x0 >= x1) return;
    for (int y = y0; y < y1; ++y) {
        uint8_t* pixel = &image_.pixels[(static_cast<std::size_t>(y) * image_.width + x0) * 3];
        for (int x = x0; x < x1; ++x, pixel += 3) {
            pixel[0] = colour.red;
            pixel[1] = colour.green;
            pixel[2] = colour.blue;
        }
    }
}

void Canvas::Paste(const RgbPlanes& image, int left, int top) {
    const Plane* planes[3] = {&image.red, &image.green, &image.blue};
    for (int y = 0; y < image.red.Height(); ++y)
        for (int x = 0; x < image.red.Width(); ++x)
            for (int c = 0; c < 3; ++c)
                image_.pixels[(static_cast<std::size_t>(top + y) * image_.width + left + x) * 3 + c] =
                    planes[c]->At(x, y);
}

void Canvas::Text(const std::string& text, int left, int top, Rgb ink, int scale) {
    std::vector<char> line = FontText(text);
    // Each quad is four vertices of 16 bytes (x, y, z as floats, then a
    // colour); 300 bytes of quads per character is stb's own bound.
    struct Vertex {
        float x, y, z;
        unsigned char colour[4];
    };
    std::vector<Vertex> vertices(line.size() * 300 / sizeof(Vertex) + 4);
    const int quads = stb_easy_font_print(0, 0, line.data(), nullptr, vertices.data(),
                                          static_cast<int>(vertices.size() * sizeof(Vertex)));
    for (int q = 0; q < quads; ++q) {
        const Vertex* v = &vertices[static_cast<std::size_t>(q) * 4];
        const float x0 = std::min(v[0].x, v[2].x), x1 = std::max(v[0].x, v[2].x);
        const float y0 = std::min(v[0].y, v[2].y), y1 = std::max(v[0].y, v[2].y);
        Fill(left + static_cast<int>(x0 * scale), top + static_cast<int>(y0 * scale),
             left + static_cast<int>(x1 * scale), top + static_cast<int>(y1 * scale), ink);
    }
}

void Canvas::Dot(int x, int y, const Pen& pen) {
    const int before = (pen.width - 1) / 2;
    Fill(x - before, y - before, x - before + pen.width, y - before + pen.width, pen.colour);
}

void Canvas::Polyline(const std::vector<Point>& points, const Pen& pen) {
    const int period = std::accumulate(pen.dashes.begin(), pen.dashes.end(), 0);
    long long step = 0;  // along the whole line, so a dash may span a corner
    auto drawn = [&]() {
        if (period <= 0) return true;
        int into = static_cast<int>(step % period);
        for (std::size_t i = 0; i < pen.dashes.size(); ++i) {
            if (into < pen.dashes[i]) return i % 2 == 0;
            into -= pen.dashes[i];
        }
        return true;
    };
    for (std::size_t i = 0; i + 1 < points.size() || (i == 0 && points.size() == 1); ++i) {
        // Bresenham from points[i] to points[i + 1]; a later segment skips
        // its first point, which ended the one before.
        const Point from = points[i];
        const Point to = i + 1 < points.size() ? points[i + 1] : from;
        const int dx = std::abs(to.x - from.x), dy = -std::abs(to.y - from.y);
        const int sx = from.x < to.x ? 1 : -1, sy = from.y < to.y ? 1 : -1;
        int error = dx + dy;
        Point at = from;
        for (bool first = true;; first = false) {
            if (!first || i == 0) {
                if (drawn()) Dot(at.x, at.y, pen);
                ++step;
            }
            if (at.x == to.x && at.y == to.y) break;
            const int twice = 2 * error;
            if (twice >= dy) {
                error += dy;
                at.x += sx;
            }
            if (twice <= dx) {
                error += dx;
                at.y += sy;
            }
        }
    }
}

RgbImage Canvas::TakeImage() {
    RgbImage taken = std::move(image_);
    image_ = RgbImage();
    return taken;
}

int TextWidth(const std::string& text, int scale) {
    std::vector<char> line = FontText(text);
    return stb_easy_font_width(line.data()) * scale;
}
