// Key colour, colour layouts, bitmap row location with its length checks, 24-to-32-bit
// conversion and key recolouring of the button images.
#include "widgets/dib_pixels.h"

#include "framework/byte_order.h"

namespace {

// Info header fields, as offsets from its start (all little-endian).
constexpr size_t WIDTH_AT = 4;
constexpr size_t HEIGHT_AT = 8;
constexpr size_t BIT_COUNT_AT = 14;
constexpr size_t COMPRESSION_AT = 16;
constexpr size_t CLR_USED_AT = 32;

constexpr uint32_t BI_BITFIELDS_CODE = 3;
constexpr uint32_t BITFIELD_MASK_COUNT = 3;
constexpr uint32_t PIXEL_MASK = 0x00FFFFFF;

uint32_t LowerChannel(uint32_t channel) {
    return channel == 0 ? 0 : channel - 1;
}

// Colour-table entries between the info header and the pixel rows.
uint64_t ColorTableEntries(uint16_t bitCount, uint32_t compression, uint32_t clrUsed) {
    if (bitCount > 8) {
        return uint64_t{clrUsed} + (compression == BI_BITFIELDS_CODE ? BITFIELD_MASK_COUNT : 0);
    }
    return clrUsed != 0 ? clrUsed : uint64_t{1} << bitCount;
}

// Each channel halved (rounded down) and summed: no carry can cross into the next channel.
uint32_t HalfBlend(uint32_t pixel, uint32_t colour) {
    return ((pixel & PIXEL_MASK) >> 1 & 0x7F7F7F) + (colour >> 1 & 0x7F7F7F);
}

} // namespace

ColorRef KeyColorFromFace(ColorRef shownFace) {
    const uint32_t red = LowerChannel(shownFace & 0xFF);
    const uint32_t green = LowerChannel(shownFace >> 8 & 0xFF);
    const uint32_t blue = LowerChannel(shownFace >> 16 & 0xFF);
    return red | green << 8 | blue << 16;
}

uint32_t PixelFromColorRef(ColorRef color) {
    return (color & 0xFF) << 16 | (color & 0xFF00) | (color >> 16 & 0xFF);
}

size_t SourceRowStride(int32_t width) {
    if (width < 1 || width > MAX_IMAGE_SIDE) {
        return 0;
    }
    return (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
}

bool LocatePackedDib(const uint8_t* dib, size_t length, DibSource& source) {
    if (dib == nullptr || length < BITMAP_INFO_HEADER_SIZE) {
        return false;
    }
    const auto width = static_cast<int32_t>(ReadLe32(dib + WIDTH_AT));
    const auto height = static_cast<int32_t>(ReadLe32(dib + HEIGHT_AT));
    if (width < 1 || width > MAX_IMAGE_SIDE || height < 1 || height > MAX_IMAGE_SIDE) {
        return false;
    }
    const uint64_t entries = ColorTableEntries(
        ReadLe16(dib + BIT_COUNT_AT), ReadLe32(dib + COMPRESSION_AT), ReadLe32(dib + CLR_USED_AT));
    // Both terms stay far below 2^64: entries < 2^33, stride x height < 2^30.
    const uint64_t offset = BITMAP_INFO_HEADER_SIZE + 4 * entries;
    const size_t stride = SourceRowStride(width);
    const uint64_t rowBytes = uint64_t{stride} * static_cast<uint64_t>(height);
    if (offset > length || rowBytes > length - offset) {
        return false;
    }
    source.width = width;
    source.height = height;
    source.stride = stride;
    source.rows = dib + offset;
    return true;
}

bool IsBitmapFileHeader(const uint8_t* file, size_t length) {
    return file != nullptr && length >= BITMAP_FILE_HEADER_SIZE && file[0] == 'B' && file[1] == 'M';
}

bool LocateBitmapFile(const uint8_t* file, size_t length, DibSource& source) {
    if (!IsBitmapFileHeader(file, length)) {
        return false;
    }
    return LocatePackedDib(file + BITMAP_FILE_HEADER_SIZE, length - BITMAP_FILE_HEADER_SIZE,
                           source);
}

bool ConvertRows24To32(const DibSource& source, uint32_t* bits, size_t capacity) {
    if (source.rows == nullptr || bits == nullptr || source.width < 1 || source.height < 1) {
        return false;
    }
    const auto width = static_cast<size_t>(source.width);
    const auto height = static_cast<size_t>(source.height);
    if (capacity / width < height || source.stride < width * 3) {
        return false;
    }
    for (size_t i = 0; i < height; ++i) {
        const uint8_t* row = source.rows + i * source.stride;
        uint32_t* out = bits + i * width;
        for (size_t j = 0; j < width; ++j) {
            const uint8_t* bgr = row + 3 * j;
            out[j] = uint32_t{bgr[2]} << 16 | uint32_t{bgr[1]} << 8 | bgr[0];
        }
    }
    return true;
}

void RecolorKey(uint32_t* bits, int32_t width, int32_t height, int32_t x, int32_t y,
                ColorRef newColor, bool blend) {
    if (bits == nullptr || width < 1 || height < 1 || x < 0 || x >= width || y < 0 || y >= height) {
        return;
    }
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    const uint32_t key =
        bits[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    const uint32_t colour = PixelFromColorRef(newColor);
    if (blend) {
        // Forward and in place: pixel i is decided before pixel i + 1 can change.
        for (size_t i = 0; i + 1 < count; ++i) {
            if (bits[i] != key && bits[i + 1] == key) {
                bits[i] = HalfBlend(bits[i], colour);
            }
        }
    }
    for (size_t i = 0; i < count; ++i) {
        if (bits[i] == key) {
            bits[i] = colour;
        }
    }
}
