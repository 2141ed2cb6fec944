// The status lights (11 x 8 bitmaps) and the icons: the application icon (16 and 32 pixels,
// 32-bit) and the three 16-colour tray icons (alive, dead, waiting).
#pragma once

#include "image_files.h"

constexpr int LIGHT_WIDTH = 11;
constexpr int LIGHT_HEIGHT = 8;

// A one-pixel black frame around a field of `field`.
RgbImage DrawLight(Rgb8 field);

RgbaImage DrawAppIcon(int size);

enum class TrayState { Alive, Dead, Waiting };
IndexedImage DrawTrayIcon(TrayState state);
