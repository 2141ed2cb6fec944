// The picture sets: every button strip and status light is drawn for 100, 150 and 200 %
// display scaling, and the program shows the set nearest to the system's scaling. The 100 %
// pictures have the resource ids the code names; the others have those ids plus an offset.
#pragma once

#include <cstdint>

constexpr int32_t BASE_DPI = 96; // 100 %

constexpr uint32_t ART_ID_OFFSET_150 = 1000;
constexpr uint32_t ART_ID_OFFSET_200 = 2000;

// 100, 150 or 200: 150 from 120 DPI (125 %) to 167 DPI, 200 from 168 DPI (175 %) up.
int32_t ArtPercentForDpi(int32_t dpi);

// The resource id, in the set of `percent`, of the picture whose 100 % id is `id`.
constexpr uint32_t ArtResourceId(uint32_t id, int32_t percent) {
    return id + (percent == 200 ? ART_ID_OFFSET_200 : percent == 150 ? ART_ID_OFFSET_150 : 0);
}
