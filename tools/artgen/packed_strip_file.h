// The compact strip files of the 150 and 200 % sets (widgets/packed_strip.h): the normal row
// and the two tone tables, deflated with zlib.
#pragma once

#include "image_files.h"

#include <array>
#include <string>
#include <vector>

// Packs the normal row (one cell high) with the tone tables into `file`, then reads it back
// as the program reads it into `shown`, the whole strip as the program will show it.
// Returns why the result is unfit, or empty: it does not decode to what was packed, or a toned
// pixel came out as the key background (the program would recolour it with the background).
std::string PackStrip(const RgbImage& normalRow, const std::array<uint8_t, 256>& hoverTone,
                      const std::array<uint8_t, 256>& pressedTone, std::vector<uint8_t>& file,
                      RgbImage& shown);
