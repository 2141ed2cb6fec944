// Byte-exact encoders for the artwork files: 24-bit bottom-up BMP files (40-byte info header,
// no colour table) and ICO files holding 32-bit or 16-colour images with their AND masks.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct Rgb8 {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;

    bool operator==(const Rgb8& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Rgb8& o) const { return !(*this == o); }
};

struct Rgba8 {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    uint8_t a = 0;
};

// A picture as it is seen: row 0 is the top row.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<Rgb8> pixels; // row by row, top first

    Rgb8& At(int x, int y) { return pixels[static_cast<size_t>(y * width + x)]; }
    const Rgb8& At(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
};

struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<Rgba8> pixels; // row by row, top first
};

// A 16-colour picture: palette indexes plus a transparency mask, top row first.
struct IndexedImage {
    int width = 0;
    int height = 0;
    std::array<Rgb8, 16> palette{};
    std::vector<uint8_t> indexes;  // 0..15
    std::vector<bool> transparent; // true where the screen shows through
};

// Bytes of one stored 24-bit row: 3 x width rounded up to a multiple of 4.
size_t BmpRowStride(int width);

// A whole .bmp file: 14-byte file header, 40-byte info header, rows bottom-up and padded.
std::vector<uint8_t> EncodeBmp24(const RgbImage& image);

// One image of an icon file, encoded with its AND mask (a bit set where the screen shows
// through). 32-bit images keep their alpha and mask the pixels that are less than half opaque.
struct IconEntry {
    int width = 0;
    int height = 0;
    int bitCount = 0;
    std::vector<uint8_t> data; // info header (height doubled), palette, colour rows, mask rows
};
IconEntry EncodeIconImage(const RgbaImage& image);
IconEntry EncodeIconImage(const IndexedImage& image);

// A whole .ico file: directory, then the images in order.
std::vector<uint8_t> EncodeIco(const std::vector<IconEntry>& entries);

// Writes the bytes; false when the file cannot be written completely.
bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
