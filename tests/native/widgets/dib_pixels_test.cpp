// Tests of the button images' pixel work: key colour, colour layouts, row location with its
// length checks, 24-to-32-bit conversion and key recolouring.
#include "widgets/dib_pixels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

constexpr ColorRef Rgb(uint32_t r, uint32_t g, uint32_t b) {
    return r | g << 8 | b << 16;
}

void PutU16(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    bytes[at] = static_cast<uint8_t>(value);
    bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

void PutU32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (size_t i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

struct DibHeader {
    int32_t width = 1;
    int32_t height = 1;
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t clrUsed = 0;
};

// A packed bitmap: info header, then `tail` bytes (colour table and rows), all zero.
std::vector<uint8_t> PackedDib(const DibHeader& h, size_t tail) {
    std::vector<uint8_t> dib(40 + tail, 0);
    PutU32(dib, 0, 40);
    PutU32(dib, 4, static_cast<uint32_t>(h.width));
    PutU32(dib, 8, static_cast<uint32_t>(h.height));
    PutU16(dib, 12, 1);
    PutU16(dib, 14, h.bitCount);
    PutU32(dib, 16, h.compression);
    PutU32(dib, 32, h.clrUsed);
    return dib;
}

// A 24-bit packed bitmap of width x height whose stored byte n is n's low byte (padding too).
std::vector<uint8_t> CountingDib(int32_t width, int32_t height) {
    const size_t rows = SourceRowStride(width) * static_cast<size_t>(height);
    std::vector<uint8_t> dib = PackedDib({width, height, 24, 0, 0}, rows);
    for (size_t n = 0; n < rows; ++n) {
        dib[40 + n] = static_cast<uint8_t>(n);
    }
    return dib;
}

TEST(KeyColor, IsOneStepDarkerPerChannelAndKeepsZero) {
    EXPECT_EQ(KeyColorFromFace(Rgb(192, 192, 192)), Rgb(191, 191, 191));
    EXPECT_EQ(KeyColorFromFace(Rgb(0, 0, 128)), Rgb(0, 0, 127));
    EXPECT_EQ(KeyColorFromFace(Rgb(1, 0, 255)), Rgb(0, 0, 254));
    // Whatever the read-back value holds in its top byte, the key has none.
    EXPECT_EQ(KeyColorFromFace(0xFF000000 | Rgb(10, 20, 30)), Rgb(9, 19, 29));
}

TEST(ColorLayout, PlatformColourBecomesRedGreenBlueWord) {
    EXPECT_EQ(PixelFromColorRef(Rgb(1, 2, 3)), 0x00010203u);
    EXPECT_EQ(PixelFromColorRef(0xFF000000 | Rgb(0xAB, 0, 0)), 0x00AB0000u);
}

TEST(SourceRows, StrideIsThreeBytesPerPixelPaddedToFour) {
    EXPECT_EQ(SourceRowStride(10), 32u);
    EXPECT_EQ(SourceRowStride(128), 384u);
    EXPECT_EQ(SourceRowStride(1), 4u);
    EXPECT_EQ(SourceRowStride(11), 36u);
    EXPECT_EQ(SourceRowStride(0), 0u);
    EXPECT_EQ(SourceRowStride(-4), 0u);
}

TEST(SourceRows, ColourTableIsSkippedByTheCountRule) {
    struct Case {
        DibHeader header;
        size_t tableBytes;
    };
    const Case cases[] = {
        {{1, 1, 24, 0, 0}, 0},
        {{1, 1, 24, 0, 5}, 20},  // colours listed above 8 bits are still skipped
        {{1, 1, 32, 3, 0}, 12},  // three bit-field masks
        {{1, 1, 32, 3, 2}, 20},  // masks plus listed colours
        {{1, 1, 8, 0, 0}, 1024}, // a full 256-entry table
        {{1, 1, 4, 0, 3}, 12},   // only the colours used
        {{1, 1, 1, 0, 0}, 8},
    };
    for (const Case& c : cases) {
        const std::vector<uint8_t> dib = PackedDib(c.header, c.tableBytes + 4);
        DibSource source;
        ASSERT_TRUE(LocatePackedDib(dib.data(), dib.size(), source)) << c.tableBytes;
        EXPECT_EQ(source.rows - dib.data(), static_cast<ptrdiff_t>(40 + c.tableBytes));
    }
}

TEST(SourceRows, RowsMustFitInTheData) {
    const DibHeader header{10, 3, 24, 0, 0};
    const std::vector<uint8_t> whole = PackedDib(header, 32 * 3);
    DibSource source;
    ASSERT_TRUE(LocatePackedDib(whole.data(), whole.size(), source));
    EXPECT_EQ(source.width, 10);
    EXPECT_EQ(source.height, 3);
    EXPECT_EQ(source.stride, 32u);

    // One byte short of the last row's padding, or a colour table that eats into the rows.
    EXPECT_FALSE(LocatePackedDib(whole.data(), whole.size() - 1, source));
    const std::vector<uint8_t> withTable = PackedDib({10, 3, 24, 0, 1}, 32 * 3);
    EXPECT_FALSE(LocatePackedDib(withTable.data(), withTable.size(), source));
    // The largest side is accepted.
    const std::vector<uint8_t> widest = PackedDib({16384, 1, 24, 0, 0}, 16384 * 3);
    EXPECT_TRUE(LocatePackedDib(widest.data(), widest.size(), source));
}

TEST(SourceRows, AbsurdOrTruncatedHeadersAreRefusedAndLeaveTheSourceAlone) {
    const std::vector<std::vector<uint8_t>> refused = {
        std::vector<uint8_t>(39, 0),      // shorter than the info header
        PackedDib({0, 1, 24, 0, 0}, 64),  // no width
        PackedDib({1, 0, 24, 0, 0}, 64),  // no height
        PackedDib({1, -1, 24, 0, 0}, 64), // top-down
        PackedDib({-1, 1, 24, 0, 0}, 64),
        PackedDib({16385, 1, 24, 0, 0}, 16385 * 3 + 1),  // wider than any image
        PackedDib({1, 16385, 24, 0, 0}, 4 * 16385),      // taller than any image
        PackedDib({INT32_MAX, INT32_MAX, 24, 0, 0}, 64), // width x height x 4 overflows
        PackedDib({1, 1, 24, 0, 0xFFFFFFFF}, 64),        // colour table of 16 GiB
        PackedDib({1, 1, 32, 3, 0xFFFFFFFF}, 64),
    };
    for (size_t i = 0; i < refused.size(); ++i) {
        DibSource source;
        source.width = 77;
        EXPECT_FALSE(LocatePackedDib(refused[i].data(), refused[i].size(), source)) << i;
        EXPECT_EQ(source.width, 77) << i;
        EXPECT_EQ(source.rows, nullptr) << i;
    }
    DibSource source;
    EXPECT_FALSE(LocatePackedDib(nullptr, 100, source));
}

TEST(BitmapFile, NeedsTheMarkAndHoldsAPackedBitmapBehindTheHeader) {
    const std::vector<uint8_t> dib = CountingDib(2, 2);
    std::vector<uint8_t> file(14, 0);
    file[0] = 'B';
    file[1] = 'M';
    file.insert(file.end(), dib.begin(), dib.end());

    DibSource source;
    ASSERT_TRUE(LocateBitmapFile(file.data(), file.size(), source));
    EXPECT_EQ(source.rows, file.data() + 14 + 40);
    EXPECT_EQ(source.width, 2);

    std::vector<uint8_t> wrongMark = file;
    wrongMark[1] = 'A';
    EXPECT_FALSE(IsBitmapFileHeader(wrongMark.data(), wrongMark.size()));
    EXPECT_FALSE(LocateBitmapFile(wrongMark.data(), wrongMark.size(), source));
    std::vector<uint8_t> swappedMark = file;
    swappedMark[0] = 'M';
    swappedMark[1] = 'B';
    EXPECT_FALSE(LocateBitmapFile(swappedMark.data(), swappedMark.size(), source));

    EXPECT_TRUE(IsBitmapFileHeader(file.data(), 14));
    EXPECT_FALSE(IsBitmapFileHeader(file.data(), 13));
    EXPECT_FALSE(IsBitmapFileHeader(nullptr, 14));
    // A good header with a body cut short.
    EXPECT_FALSE(LocateBitmapFile(file.data(), file.size() - 1, source));
    EXPECT_FALSE(LocateBitmapFile(file.data(), 14 + 39, source));
}

TEST(Conversion, BlueGreenRedBytesBecomeOneWord) {
    std::vector<uint8_t> dib = PackedDib({1, 1, 24, 0, 0}, 4);
    dib[40] = 0x10;
    dib[41] = 0x20;
    dib[42] = 0x30;
    dib[43] = 0xEE; // padding, never a pixel
    DibSource source;
    ASSERT_TRUE(LocatePackedDib(dib.data(), dib.size(), source));
    uint32_t word = 0xDEADBEEF;
    ASSERT_TRUE(ConvertRows24To32(source, &word, 1));
    EXPECT_EQ(word, 0x00302010u);
}

TEST(Conversion, RowsKeepTheirStoredOrderAndSkipPadding) {
    const int32_t width = 10;
    const int32_t height = 3;
    const std::vector<uint8_t> dib = CountingDib(width, height);
    DibSource source;
    ASSERT_TRUE(LocatePackedDib(dib.data(), dib.size(), source));
    std::vector<uint32_t> bits(width * height);
    ASSERT_TRUE(ConvertRows24To32(source, bits.data(), bits.size()));
    // Stored byte n holds n: the pixel at row i, column j starts at byte 32 i + 3 j.
    for (uint32_t i = 0; i < height; ++i) {
        for (uint32_t j = 0; j < width; ++j) {
            const uint32_t blue = (32 * i + 3 * j) & 0xFF;
            EXPECT_EQ(bits[i * width + j], (blue + 2) << 16 | (blue + 1) << 8 | blue)
                << i << "," << j;
        }
    }
}

TEST(Conversion, RefusesABufferTooSmallAndWritesNothing) {
    const std::vector<uint8_t> dib = CountingDib(4, 4);
    DibSource source;
    ASSERT_TRUE(LocatePackedDib(dib.data(), dib.size(), source));
    std::vector<uint32_t> bits(15, 7);
    EXPECT_FALSE(ConvertRows24To32(source, bits.data(), bits.size()));
    EXPECT_EQ(bits, std::vector<uint32_t>(15, 7));
    EXPECT_FALSE(ConvertRows24To32(source, nullptr, 16));
    EXPECT_FALSE(ConvertRows24To32(DibSource{}, bits.data(), bits.size()));
}

constexpr uint32_t KEY = 0x00BFBFBF;
constexpr uint32_t INK = 0x00204080;

// The key is read at (x, y) of a buffer stored bottom row first, and each of its pixels takes
// the new colour. With the blend, the pixel before a key pixel (across a row's end too) is
// halved with it, per channel rounded down (255 + 255 gives 254); the buffer's last pixel has
// no next one and is never blended.
TEST(Recolor, KeyPixelsTakeTheColourAndTheBlendHalvesThePixelBefore) {
    const uint32_t a = 0x00FF0101, b = 0x00808080, c = 0x00FFFFFF, d = 0x0028323C;
    const struct {
        const char* what;
        std::vector<uint32_t> bits;
        int32_t width, x, y;
        std::vector<ColorRef> colours; // one recolouring each
        bool blend;
        std::vector<uint32_t> expected;
    } rows[] = {
        // clang-format off
        {"key pixels before and after the one read", {KEY, INK, 0x00123456, KEY, KEY, INK}, 3, 1, 1,
         {Rgb(1, 2, 3)}, false, {0x00010203, INK, 0x00123456, 0x00010203, 0x00010203, INK}},
        {"a key found only at its own pixel", {INK, INK, INK, INK, 0x00777777, INK}, 3, 1, 1,
         {Rgb(9, 9, 9)}, false, {INK, INK, INK, INK, 0x00090909, INK}},
        {"twice, following the new key", {KEY, INK, KEY, KEY}, 2, 1, 1,
         {Rgb(10, 20, 30), Rgb(40, 50, 60)}, false, {d, INK, d, d}},
        {"blended", {a, KEY, b, KEY, c, c}, 3, 1, 0, {Rgb(255, 3, 1)}, true,
         {0x00FE0100, 0x00FF0301, 0x00BF4140, 0x00FF0301, c, c}},
        {"blended, all but the last", {KEY, KEY, KEY, INK}, 2, 0, 0, {Rgb(0, 0, 0)}, true,
         {0, 0, 0, INK}},
        // clang-format on
    };
    for (auto row : rows) {
        const int32_t height = static_cast<int32_t>(row.bits.size()) / row.width;
        for (const ColorRef colour : row.colours)
            RecolorKey(row.bits.data(), row.width, height, row.x, row.y, colour, row.blend);
        EXPECT_EQ(row.bits, row.expected) << row.what;
    }
}

TEST(Recolor, RefusesOutsidePixelsAndMissingBuffers) {
    const std::vector<uint32_t> original = {KEY, INK, KEY, INK};
    for (const auto& at :
         std::vector<std::pair<int32_t, int32_t>>{{2, 0}, {0, 2}, {-1, 0}, {0, -1}}) {
        std::vector<uint32_t> bits = original;
        RecolorKey(bits.data(), 2, 2, at.first, at.second, Rgb(1, 2, 3), true);
        EXPECT_EQ(bits, original) << at.first << "," << at.second;
    }
    std::vector<uint32_t> bits = original;
    RecolorKey(bits.data(), 0, 2, 0, 0, Rgb(1, 2, 3), false);
    EXPECT_EQ(bits, original);
    RecolorKey(nullptr, 2, 2, 0, 0, Rgb(1, 2, 3), true);
}

TEST(ImageStoreCapacity, The4097thImageFindsNoRoom) {
    EXPECT_TRUE(ImageStoreHasRoom(0));
    EXPECT_TRUE(ImageStoreHasRoom(4095));
    EXPECT_FALSE(ImageStoreHasRoom(4096));
    EXPECT_FALSE(ImageStoreHasRoom(-1));
}

} // namespace
