// The five animated button strips: the OK tick, the Cancel cross, the About "i", the home-page
// link and the product banner.
#pragma once

#include "image_files.h"

#include <string>

struct StripArt {
    int resourceId;
    std::string file; // under res/
    int frames;
    int cellWidth;
    int cellHeight;
    RgbImage (*draw)();
};

RgbImage DrawOkStrip();       // 130: 128 x 69, 4 frames of 32 x 23
RgbImage DrawCancelStrip();   // 151: 92 x 69, 4 frames of 23 x 23
RgbImage DrawAboutStrip();    // 135: 152 x 63, 4 frames of 38 x 21
RgbImage DrawHomePageStrip(); // 159: 808 x 96, 4 frames of 202 x 32
RgbImage DrawBannerStrip();   // 160: 304 x 252, 1 frame of 304 x 84
