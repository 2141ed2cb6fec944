// The five animated button strips: the OK tick, the Cancel cross, the About "i", the home-page
// link and the product banner.
#pragma once

#include "strip.h"

#include <string>

struct StripArt {
    int resourceId;   // of the 100 % strip
    std::string file; // under res/, of the 100 % strip
    int frames;
    int cellWidth; // at 100 %; ScaledSide gives the cell at another scale
    int cellHeight;
    void (*drawCell)(Canvas& canvas, const Cell& cell);
    // A compact strip at 100 % too, for a picture whose plain bitmap would cost the installer
    // much: the About banner's shading compresses badly (30 KB, against 13 KB compact).
    bool compactAt100 = false;
};

// The cells of the five strips, drawn at the cell's scale. At 100 %:
void DrawTickCell(Canvas& canvas, const Cell& cell);     // 130: 4 frames of 32 x 23
void DrawCrossCell(Canvas& canvas, const Cell& cell);    // 151: 4 frames of 23 x 23
void DrawInfoCell(Canvas& canvas, const Cell& cell);     // 135: 4 frames of 38 x 21
void DrawHomePageCell(Canvas& canvas, const Cell& cell); // 159: 4 frames of 202 x 32
void DrawBannerCell(Canvas& canvas, const Cell& cell);   // 160: 1 frame of 304 x 84
