// The status lights (11 x 8 bitmaps at 100 %) and the icons: the application icon (32-bit at
// every size) and the four tray icons (alive, dead, waiting, slow), 16 colours at 16 pixels and
// 32-bit at the larger sizes.
#pragma once

#include "image_files.h"

constexpr int LIGHT_WIDTH = 11; // at 100 %
constexpr int LIGHT_HEIGHT = 8;

// A black frame around a field of `field`: one pixel thick at 100 % and 150 %, two at 200 %.
RgbImage DrawLight(Rgb8 field, double scale);

RgbaImage DrawAppIcon(int size);

enum class TrayState { Alive, Dead, Waiting, Slow };
// The 16-pixel icon, drawn dot by dot in the 16 standard colours.
IndexedImage DrawTrayIcon(TrayState state);
// The same ball and symbol drawn afresh, with soft edges, for a larger size.
RgbaImage DrawTrayIcon(TrayState state, int size);
