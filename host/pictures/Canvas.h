// A small RGB raster to draw pictures for people on: filled rectangles,
// pasted images, lines with dashes and stb_easy_font's bitmap text. No
// anti-aliasing, so every colour drawn is exactly the colour asked for.
#ifndef LUMACUT_HOST_CANVAS_H
#define LUMACUT_HOST_CANVAS_H

#include <cstdint>
#include <string>
#include <vector>

#include "host/engine/Document.h"
#include "host/image/ImageFile.h"

struct Rgb {
    uint8_t red, green, blue;
};

inline Rgb Gray(uint8_t level) { return {level, level, level}; }

// How a line is drawn: `width` pixels wide, and when `dashes` is not empty,
// alternately drawn and left out for the lengths it lists (in steps along
// the line), starting with drawn.
struct Pen {
    Rgb colour;
    int width = 1;
    std::vector<int> dashes;
};

struct Point {
    int x, y;
};

class Canvas {
public:
    // Throws std::length_error for sizes that cannot be allocated.
    Canvas(int width, int height, Rgb paper);

    int Width() const { return image_.width; }
    int Height() const { return image_.height; }

    // [x0, x1) x [y0, y1), clipped to the canvas.
    void Fill(int x0, int y0, int x1, int y1, Rgb colour);
    // The image's top left at (left, top); it must fit on the canvas.
    void Paste(const RgbPlanes& image, int left, int top);
    // The text's top left at (left, top), each font pixel `scale` pixels square.
    void Text(const std::string& text, int left, int top, Rgb ink, int scale);
    // One line through the points; the dashes run on from one segment to the next.
    void Polyline(const std::vector<Point>& points, const Pen& pen);

    // The canvas as an image; the canvas is left empty.
    RgbImage TakeImage();

private:
    void Dot(int x, int y, const Pen& pen);

    RgbImage image_;
};

// The width `text` takes when drawn at `scale`.
int TextWidth(const std::string& text, int scale);

#endif
