// The grid of an animated button strip: frames left to right, the normal, hover and pressed rows
// top to bottom, each cell with a one-pixel border that is never shown, all on the key
// background that the program recolours to the button face.
#pragma once

#include "canvas.h"

#include <array>
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
    // Pixels per unit of the 100 % drawing: every length of a drawing is given at 100 % and
    // multiplied by this, so that a 150 % cell is drawn afresh at its own size.
    double scale = 1;

    double Phase() const { return static_cast<double>(frame) / frames; } // 0 .. <1
    double S(double length) const { return length * scale; }
};

// A side of a cell or picture at a scale, to the nearest pixel (halves round up).
int ScaledSide(int side, double scale);

// Draws every cell with `draw` (in cell coordinates, see Cell) and tones the hover row
// brighter and the pressed row darker. The cell sizes are those at `scale`.
RgbImage DrawStrip(int frames, int cellWidth, int cellHeight, double scale,
                   const std::function<void(Canvas&, const Cell&)>& draw);

// Only the normal row (one cell high), for a compact strip that makes the other two rows with
// the tone tables.
RgbImage DrawNormalRow(int frames, int cellWidth, int cellHeight, double scale,
                       const std::function<void(Canvas&, const Cell&)>& draw);

// The hover (row 1) or pressed (row 2) tone of each channel value: the tone DrawStrip gives
// a colour, taken on whole channel values.
std::array<uint8_t, 256> ToneTable(int row);

// Why a strip is unfit, or empty when it is fine: the size, the key background on every cell
// border and at the pixel the program reads the key from, and something drawn in every cell.
std::string CheckStrip(const RgbImage& strip, int frames, int cellWidth, int cellHeight);
