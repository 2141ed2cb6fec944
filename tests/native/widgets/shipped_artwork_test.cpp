// Checks the bitmaps and icons under res/ as the program will meet them: the button strips and
// lights go through the same row location and conversion (or inflation and expansion) as at
// run time, so a header field, a row padding or a missing key background in the generated
// artwork fails here.
#include "widgets/dib_pixels.h"
#include "widgets/packed_strip.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr uint32_t KEY_PIXEL = 0x00BFBFBF; // the strips' background, RGB(191, 191, 191)

std::string ResPath(const std::string& file) {
    // This file lives in tests/native/widgets/ of the repository.
    std::string root = __FILE__;
    for (int up = 0; up < 4; ++up) {
        root = root.substr(0, root.find_last_of('/'));
    }
    return root + "/res/" + file;
}

std::vector<uint8_t> ReadRes(const std::string& file) {
    std::ifstream in(ResPath(file), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t U16(const std::vector<uint8_t>& b, size_t at) {
    return b.at(at) | b.at(at + 1) << 8;
}

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    return U16(b, at) | U16(b, at + 2) << 16;
}

// A 24-bit bitmap file with rows right after its 54 bytes of headers, converted as the image
// store converts it.
struct LoadedBitmap {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> bits; // bottom-up

    uint32_t At(int32_t x, int32_t bufferRow) const {
        return bits[static_cast<size_t>(bufferRow * width + x)];
    }
};

::testing::AssertionResult Load(const std::string& file, LoadedBitmap& out) {
    const std::vector<uint8_t> bytes = ReadRes(file);
    DibSource source;
    if (!LocateBitmapFile(bytes.data(), bytes.size(), source)) {
        return ::testing::AssertionFailure() << file << " is missing or not a bitmap file";
    }
    const size_t rows = source.stride * static_cast<size_t>(source.height);
    if (U32(bytes, 2) != bytes.size() || U32(bytes, 10) != 54 || U32(bytes, 14) != 40 ||
        U16(bytes, 28) != 24 || U32(bytes, 30) != 0 || U32(bytes, 46) != 0 ||
        bytes.size() != 54 + rows) {
        return ::testing::AssertionFailure() << file << ": not a plain 24-bit bitmap";
    }
    out.width = source.width;
    out.height = source.height;
    out.bits.assign(static_cast<size_t>(source.width * source.height), 0);
    if (!ConvertRows24To32(source, out.bits.data(), out.bits.size())) {
        return ::testing::AssertionFailure() << file << ": rows do not convert";
    }
    return ::testing::AssertionSuccess();
}

// A compact strip of the 150 and 200 % sets, as the image store expands it.
::testing::AssertionResult LoadCompact(const std::string& file, LoadedBitmap& out) {
    const std::vector<uint8_t> bytes = ReadRes(file);
    std::vector<uint8_t> inflated;
    PackedStrip strip;
    if (!InflatePackedStrip(bytes.data(), bytes.size(), inflated, strip)) {
        return ::testing::AssertionFailure() << file << " is missing or not a compact strip";
    }
    out.width = strip.width;
    out.height = strip.Height();
    out.bits.assign(static_cast<size_t>(out.width * out.height), 0);
    if (!ExpandPackedStrip(strip, out.bits.data(), out.bits.size())) {
        return ::testing::AssertionFailure() << file << ": does not expand";
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult LoadStrip(const std::string& file, LoadedBitmap& out) {
    return file.size() > 6 && file.substr(file.size() - 6) == ".strip" ? LoadCompact(file, out)
                                                                       : Load(file, out);
}

struct StripFile {
    const char* file;
    int32_t width;
    int32_t height;
    int32_t frames;
};

const StripFile STRIPS[] = {
    {"button_ok.bmp", 128, 69, 4},
    {"button_cancel.bmp", 92, 69, 4},
    {"button_about.bmp", 152, 63, 4},
    {"button_homepage.bmp", 808, 96, 4},
    {"button_banner.strip", 304, 252, 1},
    {"button_ok_150.strip", 192, 105, 4},
    {"button_cancel_150.strip", 140, 105, 4},
    {"button_about_150.strip", 228, 96, 4},
    {"button_homepage_150.strip", 1212, 144, 4},
    {"button_banner_150.strip", 456, 378, 1},
    {"button_ok_200.strip", 256, 138, 4},
    {"button_cancel_200.strip", 184, 138, 4},
    {"button_about_200.strip", 304, 126, 4},
    {"button_homepage_200.strip", 1616, 192, 4},
    {"button_banner_200.strip", 608, 504, 1},
};

// The inside of one cell (frame, state row as seen), as pixel words.
std::vector<uint32_t> CellInside(const LoadedBitmap& image, int32_t cellWidth, int32_t cellHeight,
                                 int32_t frame, int32_t row) {
    std::vector<uint32_t> inside;
    for (int32_t y = 1; y < cellHeight - 1; ++y) {
        const int32_t bufferRow = image.height - 1 - (row * cellHeight + y);
        for (int32_t x = 1; x < cellWidth - 1; ++x) {
            inside.push_back(image.At(frame * cellWidth + x, bufferRow));
        }
    }
    return inside;
}

double Brightness(const std::vector<uint32_t>& pixels) {
    double sum = 0;
    for (uint32_t p : pixels) {
        if (p != KEY_PIXEL) {
            sum += (p >> 16 & 0xFF) + (p >> 8 & 0xFF) + (p & 0xFF);
        }
    }
    return sum;
}

// Each strip: its size, the key background where the program reads it (buffer column 1, buffer
// row 1) and along every cell's border; every cell shows something, hover brighter and pressed
// darker than normal, and the frames move.
TEST(ShippedStrips, SizeKeyBackgroundAndCellsOfEachStrip) {
    for (const StripFile& strip : STRIPS) {
        SCOPED_TRACE(strip.file);
        LoadedBitmap image;
        ASSERT_TRUE(LoadStrip(strip.file, image));
        EXPECT_EQ(image.width, strip.width);
        EXPECT_EQ(image.height, strip.height);
        EXPECT_EQ(image.At(1, 1), KEY_PIXEL);
        const int32_t w = strip.width / strip.frames;
        const int32_t h = strip.height / 3;
        for (int32_t y = 0; y < image.height; ++y) {
            for (int32_t x = 0; x < image.width; ++x) {
                if (x % w == 0 || x % w == w - 1 || y % h == 0 || y % h == h - 1) {
                    ASSERT_EQ(image.At(x, y), KEY_PIXEL) << x << "," << y;
                }
            }
        }
        for (int32_t frame = 0; frame < strip.frames; ++frame) {
            const double normal = Brightness(CellInside(image, w, h, frame, 0));
            EXPECT_GT(normal, 0) << frame;
            EXPECT_GT(Brightness(CellInside(image, w, h, frame, 1)), normal) << frame;
            EXPECT_LT(Brightness(CellInside(image, w, h, frame, 2)), normal) << frame;
            EXPECT_GT(Brightness(CellInside(image, w, h, frame, 2)), 0) << frame;
            if (strip.frames > 1) {
                const int32_t next = (frame + 1) % strip.frames;
                EXPECT_NE(CellInside(image, w, h, frame, 0), CellInside(image, w, h, next, 0))
                    << "frame " << frame;
            }
        }
    }
}

TEST(ShippedLights, AreFramedFieldsOfFiveColoursInEachSet) {
    struct Set {
        const char* suffix;
        int32_t width;
        int32_t height;
        int32_t frame; // thickness
    };
    // 11 wide: rows padded from 33 to 36 bytes.
    for (const Set& set : {Set{"", 11, 8, 1}, Set{"_150", 17, 12, 1}, Set{"_200", 22, 16, 2}}) {
        std::set<uint32_t> fields;
        for (const char* name :
             {"light_red", "light_green", "light_flash", "light_grey", "light_amber"}) {
            const std::string file = std::string(name) + set.suffix + ".bmp";
            LoadedBitmap light;
            ASSERT_TRUE(Load(file, light));
            ASSERT_EQ(light.width, set.width) << file;
            ASSERT_EQ(light.height, set.height) << file;
            const uint32_t field = light.At(set.frame, set.frame);
            for (int32_t y = 0; y < set.height; ++y) {
                for (int32_t x = 0; x < set.width; ++x) {
                    const bool frame =
                        std::min({x, y, set.width - 1 - x, set.height - 1 - y}) < set.frame;
                    EXPECT_EQ(light.At(x, y), frame ? 0u : field) << file << " " << x << "," << y;
                }
            }
            fields.insert(field);
        }
        EXPECT_EQ(fields.size(), 5u);
        EXPECT_EQ(fields.count(0x00FF0000), 1u); // the red light is red
        EXPECT_EQ(fields.count(0x00FFB000), 1u); // the slow light is amber
    }
}

struct IconImage {
    uint32_t width;
    uint32_t height;
    uint32_t bitCount;
    size_t offset;
    size_t size;
    // The bytes of the colour table, of a colour row and of a mask row.
    size_t Palette() const { return bitCount <= 8 ? 4u << bitCount : 0; }
    size_t ColourRow() const { return (width * bitCount + 31) / 32 * 4; }
    size_t MaskRow() const { return (width + 31) / 32 * 4; }
};

// Reads the icon directory and checks that each image's header and size agree with it.
std::vector<IconImage> IconDirectory(const std::vector<uint8_t>& ico) {
    std::vector<IconImage> images;
    if (ico.size() < 6 || U16(ico, 0) != 0 || U16(ico, 2) != 1) {
        ADD_FAILURE() << "not an icon file";
        return images;
    }
    for (uint32_t i = 0; i < U16(ico, 4); ++i) {
        const size_t e = 6 + 16 * i;
        IconImage image{ico.at(e) == 0 ? 256u : ico.at(e),
                        ico.at(e + 1) == 0 ? 256u : ico.at(e + 1), U16(ico, e + 6),
                        U32(ico, e + 12), U32(ico, e + 8)};
        EXPECT_LE(image.offset + image.size, ico.size());
        EXPECT_EQ(U32(ico, image.offset), 40u);
        EXPECT_EQ(U32(ico, image.offset + 4), image.width);
        EXPECT_EQ(U32(ico, image.offset + 8), 2 * image.height); // colour rows and mask rows
        EXPECT_EQ(U16(ico, image.offset + 14), image.bitCount);
        EXPECT_EQ(image.size,
                  40 + image.Palette() + (image.ColourRow() + image.MaskRow()) * image.height);
        EXPECT_EQ(ico.at(e + 2), image.bitCount == 4 ? 16 : 0);
        images.push_back(image);
    }
    return images;
}

// The AND-mask bit of the pixel at (x, y) as seen: set where the screen shows through.
bool Masked(const std::vector<uint8_t>& ico, const IconImage& image, uint32_t x, uint32_t y) {
    const size_t mask = image.offset + 40 + image.Palette() + image.ColourRow() * image.height;
    const uint8_t bits = ico.at(mask + (image.height - 1 - y) * image.MaskRow() + x / 8);
    return (bits & (0x80 >> (x % 8))) != 0;
}

const std::set<uint32_t> ICON_SIZES = {16, 20, 24, 32, 40, 48};

TEST(ShippedIcons, ApplicationIconHoldsEverySizeAndTheInstallersTwo) {
    for (const auto& [file, sizes] :
         {std::pair{"tarnwell.ico", ICON_SIZES},
          std::pair{"tarnwell_setup.ico", std::set<uint32_t>{16, 32}}}) {
        const std::vector<uint8_t> ico = ReadRes(file);
        std::set<uint32_t> found;
        for (const IconImage& image : IconDirectory(ico)) {
            EXPECT_EQ(image.width, image.height) << file;
            EXPECT_EQ(image.bitCount, 32u) << file;
            EXPECT_TRUE(found.insert(image.width).second) << file << " twice " << image.width;
        }
        EXPECT_EQ(found, sizes) << file;
    }
}

// 16 colours at 16 pixels, 32-bit at the larger sizes.
TEST(ShippedIcons, TrayIconsAreSquaresOfEverySizeWithTransparentCorners) {
    for (const char* file :
         {"tray_alive.ico", "tray_dead.ico", "tray_waiting.ico", "tray_slow.ico"}) {
        const std::vector<uint8_t> ico = ReadRes(file);
        std::set<uint32_t> found;
        for (const IconImage& image : IconDirectory(ico)) {
            const uint32_t size = image.width;
            EXPECT_EQ(image.height, size) << file;
            EXPECT_EQ(image.bitCount, size == 16 ? 4u : 32u) << file;
            EXPECT_TRUE(Masked(ico, image, 0, 0)) << file << " " << size;
            EXPECT_TRUE(Masked(ico, image, size - 1, size - 1)) << file << " " << size;
            EXPECT_FALSE(Masked(ico, image, size / 2, size / 2)) << file << " " << size;
            found.insert(size);
        }
        EXPECT_EQ(found, ICON_SIZES) << file;
    }
}

} // namespace
