// A button strip stored compactly, for the pictures drawn for 150 and 200 % scaling: only its
// normal state row is stored, with two tone tables from which the hover and pressed rows are
// made again, exactly as tools/artgen made them. The resource is a zlib stream whose inflated
// bytes are, all numbers little-endian:
//   4 bytes        PACKED_STRIP_MAGIC
//   4 bytes        strip width in pixels
//   4 bytes        row height H in pixels; the strip is 3 x H pixels high
//   256 bytes      the hover tone: for each channel value of the normal row, the hover row's
//   256 bytes      the pressed tone, likewise
//   H x width x 3  the normal row's pixels (blue, green, red), top row first, no padding
// Pixels of the key background, the colour of the strip's top-left pixel (always on a cell's
// border), keep that colour in all three rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr uint8_t PACKED_STRIP_MAGIC[4] = {'T', 'W', 'S', '1'};
constexpr size_t PACKED_STRIP_HEADER_SIZE = 12;
constexpr size_t TONE_TABLE_SIZE = 256;
// No strip comes near this; it bounds what a damaged resource can make the decoder allocate.
constexpr size_t MAX_PACKED_STRIP_BYTES = size_t{16} << 20;

struct PackedStrip {
    int32_t width = 0;
    int32_t rowHeight = 0;
    const uint8_t* hoverTone = nullptr;
    const uint8_t* pressedTone = nullptr;
    const uint8_t* normalRows = nullptr;

    int32_t Height() const { return 3 * rowHeight; }
};

// Inflates the resource's zlib stream into `inflated` (with zlib, never past
// MAX_PACKED_STRIP_BYTES) and reads it into `strip`, which then points into `inflated`. Refused
// (false): a stream that zlib rejects, that is cut short or that inflates to more, or inflated
// bytes that LocatePackedStrip refuses.
bool InflatePackedStrip(const uint8_t* data, size_t size, std::vector<uint8_t>& inflated,
                        PackedStrip& strip);

// Reads the inflated bytes. Refused (false, `strip` untouched): a wrong magic, a width or
// strip height below 1 or above MAX_IMAGE_SIDE, or a length other than the layout's.
bool LocatePackedStrip(const uint8_t* data, size_t size, PackedStrip& strip);

// Writes the whole strip into `bits` (room for `capacity` words) as 32-bit words
// 0x00RRGGBB, bottom row first like the image store's buffers. Refused (false, nothing
// written) when the strip is missing or `bits` is null or too small.
bool ExpandPackedStrip(const PackedStrip& strip, uint32_t* bits, size_t capacity);
