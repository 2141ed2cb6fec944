// Large rounded letters drawn as thick strokes, for the banner's product name. Units: the
// x-height is 7, the cap height 10; a letter's strokes are polylines through those units.
#pragma once

#include "canvas.h"

#include <string>

// True when every character of `text` has a stroke glyph.
bool StrokeFontHas(const std::string& text);

// Width in pixels of `text` at `scale` pixels per unit, from the first stroke's centre line to
// the last one's (add the stroke radius on each side for the inked width).
double StrokeTextWidth(const std::string& text, double scale);

// The letters of `text` as one shape: strokes of `radius` pixels around their centre lines,
// the first letter's left centre line at x, the baseline at y.
Shape StrokeText(const std::string& text, double x, double baseline, double scale, double radius);
