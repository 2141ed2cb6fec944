// The grid of an animated button strip: frames left to right, the normal, hover and pressed rows
// top to bottom, each cell with a one-pixel border that is never shown, all on the key
// background that the program recolours to the button face.
#pragma once

#include "canvas.h"

#include <functional>

// The background of every button strip: the program reads it back as its key colour.
constexpr Rgb8 KEY_BACKGROUND{191, 191, 191};

constexpr int STATE_ROWS = 3;

struct Cell {
    double x = 0; // the cell's top-left corner on the strip
    double y = 0;
    Box inside; // the shown pixels: the cell without its border
    int frame = 0;
    int frames = 1;
    int row = 0; // 0 normal, 1 hover, 2 pressed

    double Phase() const { return static_cast<double>(frame) / frames; } // 0 .. <1
};

// Draws every cell with `draw` (in cell coordinates, see Cell) and tones the hover row
// brighter and the pressed row darker.
RgbImage DrawStrip(int frames, int cellWidth, int cellHeight,
                   const std::function<void(Canvas&, const Cell&)>& draw);

// Why a strip is unfit, or empty when it is fine: the size, the key background on every cell
// border and at the pixel the program reads the key from, and something drawn in every cell.
std::string CheckStrip(const RgbImage& strip, int frames, int cellWidth, int cellHeight);
