// The Tarnwell emblem: a host globe sending echo waves up and to the right. Shared by the
// application icon and the banner so that both show the same picture.
#pragma once

#include "canvas.h"

// Draws the emblem into the square of side `size` whose top-left corner is (x, y). Small sizes
// get fewer and bolder waves and no globe lines.
void DrawEmblem(Canvas& canvas, Box clip, double x, double y, double size);
