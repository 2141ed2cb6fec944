// Strip grid drawing, state tones and the strip checks run before anything is written.
#include "strip.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

Color HoverTone(Color c) {
    return Lighter(c, 0.2);
}

Color PressedTone(Color c) {
    return Darker(c, 0.15);
}

RgbImage DrawRows(int rows, int frames, int cellWidth, int cellHeight, double scale,
                  const std::function<void(Canvas&, const Cell&)>& draw) {
    Canvas canvas(frames * cellWidth, rows * cellHeight, Canvas::Edges::Keyed);
    for (int row = 0; row < rows; ++row) {
        for (int frame = 0; frame < frames; ++frame) {
            Cell cell;
            cell.x = frame * cellWidth;
            cell.y = row * cellHeight;
            cell.inside = {frame * cellWidth + 1, row * cellHeight + 1, (frame + 1) * cellWidth - 1,
                           (row + 1) * cellHeight - 1};
            cell.frame = frame;
            cell.frames = frames;
            cell.row = row;
            cell.scale = scale;
            draw(canvas, cell);
            if (row == 1) {
                canvas.Retone(cell.inside, HoverTone);
            } else if (row == 2) {
                canvas.Retone(cell.inside, PressedTone);
            }
        }
    }
    return canvas.ToKeyed(KEY_BACKGROUND);
}

} // namespace

int ScaledSide(int side, double scale) {
    return static_cast<int>(std::lround(side * scale));
}

RgbImage DrawStrip(int frames, int cellWidth, int cellHeight, double scale,
                   const std::function<void(Canvas&, const Cell&)>& draw) {
    return DrawRows(STATE_ROWS, frames, cellWidth, cellHeight, scale, draw);
}

RgbImage DrawNormalRow(int frames, int cellWidth, int cellHeight, double scale,
                       const std::function<void(Canvas&, const Cell&)>& draw) {
    return DrawRows(1, frames, cellWidth, cellHeight, scale, draw);
}

std::array<uint8_t, 256> ToneTable(int row) {
    std::array<uint8_t, 256> table{};
    for (int v = 0; v < 256; ++v) {
        const Color c = row == 1 ? HoverTone(Gray(v)) : PressedTone(Gray(v));
        table[static_cast<size_t>(v)] =
            static_cast<uint8_t>(std::lround(std::clamp(c.r, 0.0, 255.0)));
    }
    return table;
}

std::string CheckStrip(const RgbImage& strip, int frames, int cellWidth, int cellHeight) {
    if (strip.width != frames * cellWidth || strip.height != STATE_ROWS * cellHeight) {
        return "wrong size";
    }
    // The program keys on buffer column 1, buffer row 1: the second row from the bottom.
    if (strip.At(1, strip.height - 2) != KEY_BACKGROUND) {
        return "no key background at the key pixel";
    }
    for (int row = 0; row < STATE_ROWS; ++row) {
        for (int frame = 0; frame < frames; ++frame) {
            const int left = frame * cellWidth;
            const int top = row * cellHeight;
            int drawn = 0;
            for (int y = top; y < top + cellHeight; ++y) {
                for (int x = left; x < left + cellWidth; ++x) {
                    const bool border = x == left || x == left + cellWidth - 1 || y == top ||
                                        y == top + cellHeight - 1;
                    const bool key = strip.At(x, y) == KEY_BACKGROUND;
                    if (border && !key) {
                        return "drawing on the border of cell " + std::to_string(frame) + "," +
                               std::to_string(row);
                    }
                    drawn += key ? 0 : 1;
                }
            }
            if (drawn == 0) {
                return "empty cell " + std::to_string(frame) + "," + std::to_string(row);
            }
        }
    }
    return "";
}
