// Pixel work of the 32-bit button images, kept apart from the few platform calls: the key
// colour formula, the two colour layouts, finding and checking the pixel rows of a 24-bit
// bitmap (packed in a resource or behind a file header), converting them to 32-bit words, and
// recolouring the key colour. Plain logic over byte and word buffers.
#pragma once

#include <cstddef>
#include <cstdint>

// A colour in the platform's layout 0x00BBGGRR: red in bits 0-7, blue in bits 16-23.
using ColorRef = uint32_t;

// The store's key colour before the button-face probe has run.
constexpr ColorRef KEY_COLOR_UNSET = 0xFFFFFFFF;

// The key colour from the colour the display really shows for the button face: every channel
// one step darker unless it is already 0; the top byte is dropped.
ColorRef KeyColorFromFace(ColorRef shownFace);

// A platform colour as a pixel word 0x00RRGGBB (red and blue swap places).
uint32_t PixelFromColorRef(ColorRef color);

// Widths and heights above this are refused: no button image comes near it, and it keeps
// width x height x 4 well inside 32 bits.
constexpr int32_t MAX_IMAGE_SIDE = 16384;

constexpr size_t BITMAP_FILE_HEADER_SIZE = 14;
constexpr size_t BITMAP_INFO_HEADER_SIZE = 40;

// Bytes in one stored row of a 24-bit bitmap: 3 x width rounded up to a multiple of 4.
// 0 for a width outside 1 .. MAX_IMAGE_SIDE.
size_t SourceRowStride(int32_t width);

// Where the pixel rows of a 24-bit bitmap lie, once checked against the length of the data.
struct DibSource {
    int32_t width = 0;
    int32_t height = 0;
    size_t stride = 0;             // bytes per stored row
    const uint8_t* rows = nullptr; // the first stored row, the bottom row of the picture
};

// Reads the info header of a packed bitmap (a 40-byte info header, a colour table, pixel rows)
// of `length` bytes. The colour table has biClrUsed entries, plus 3 masks for BI_BITFIELDS,
// above 8 bits per pixel; biClrUsed or else 2^biBitCount entries at 8 bits or fewer. Refused
// (false, `source` untouched): a header shorter than 40 bytes, a width or height below 1 or
// above MAX_IMAGE_SIDE (top-down sources included), or rows of 24-bit pixels that would run
// past the data.
bool LocatePackedDib(const uint8_t* dib, size_t length, DibSource& source);

// True when `length` bytes hold a bitmap file header: at least 14 bytes, starting with "BM".
bool IsBitmapFileHeader(const uint8_t* file, size_t length);

// A whole bitmap file: the file header is checked, and the rest of the file is then a packed
// bitmap, located as above. The header's size and offset fields are not used.
bool LocateBitmapFile(const uint8_t* file, size_t length, DibSource& source);

// Converts the located rows into `bits` (room for `capacity` words): buffer word
// i x width + j = red << 16 | green << 8 | blue of stored row i, column j. Rows keep their
// stored order (both bottom-up). Refuses (false, nothing written) when the rows are missing
// or `bits` is null or too small.
bool ConvertRows24To32(const DibSource& source, uint32_t* bits, size_t capacity);

// Replaces the key colour, the colour of buffer pixel (x, y) read once before anything changes,
// by `newColor` in every pixel of a width x height buffer. With `blend`, first every pixel that
// is not the key but whose next pixel in buffer order is the key becomes the per-channel sum of
// halves of itself and the new colour; the very last pixel has no next one and is never
// blended. Does nothing when `bits` is null, the size is empty or (x, y) lies outside.
void RecolorKey(uint32_t* bits, int32_t width, int32_t height, int32_t x, int32_t y,
                ColorRef newColor, bool blend);

// The image store holds exactly this many images and never frees one.
constexpr int32_t IMAGE_STORE_CAPACITY = 4096;

// Whether a store already holding `count` images may add one more.
inline bool ImageStoreHasRoom(int32_t count) {
    return count >= 0 && count < IMAGE_STORE_CAPACITY;
}
