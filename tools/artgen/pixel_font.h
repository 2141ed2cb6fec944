// A small hand-drawn bitmap font for the texts inside the artwork: ascenders 8 pixels, x-height
// 5, descenders 2, one pixel between letters, with an optional bold (each dot doubled to the
// right).
#pragma once

#include "canvas.h"

#include <string>

constexpr int PIXEL_FONT_ASCENT = 8;  // rows above and on the baseline
constexpr int PIXEL_FONT_DESCENT = 2; // rows below it

// True when every character of `text` has a glyph.
bool PixelFontHas(const std::string& text);

int PixelTextWidth(const std::string& text, bool bold);

// Draws `text` with its left edge at x and its baseline row at `baseline`.
void DrawPixelText(Canvas& canvas, const std::string& text, int x, int baseline, const Paint& paint,
                   bool bold, Box clip);

// The same letters drawn afresh at `scale` pixels per dot: each dot is joined to its
// neighbours by strokes one scaled dot thick, so that a larger size gets smooth letters, not
// blocks. Dot (i, j) of the text, j = 0 being the baseline row, covers x + i x scale ..
// x + (i + 1) x scale across and baseline + j x scale .. baseline + (j + 1) x scale down.
void DrawPixelTextScaled(Canvas& canvas, const std::string& text, double x, double baseline,
                         double scale, const Paint& paint, bool bold, Box clip);
