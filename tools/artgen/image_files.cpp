// BMP and ICO encoders, written field by field in little-endian order.
#include "image_files.h"

#include <fstream>

namespace {

constexpr uint32_t INFO_HEADER_SIZE = 40;
constexpr uint32_t FILE_HEADER_SIZE = 14;
constexpr uint32_t PELS_PER_METRE = 2835; // 72 dots per inch

class ByteWriter {
public:
    explicit ByteWriter(std::vector<uint8_t>& out) : out_(out) {}
    void U8(uint32_t v) { out_.push_back(static_cast<uint8_t>(v)); }
    void U16(uint32_t v) {
        U8(v);
        U8(v >> 8);
    }
    void U32(uint32_t v) {
        U16(v);
        U16(v >> 16);
    }

private:
    std::vector<uint8_t>& out_;
};

void InfoHeader(ByteWriter& w, int width, int height, int bitCount, uint32_t imageSize,
                uint32_t colorsUsed) {
    w.U32(INFO_HEADER_SIZE);
    w.U32(static_cast<uint32_t>(width));
    w.U32(static_cast<uint32_t>(height));
    w.U16(1);
    w.U16(static_cast<uint32_t>(bitCount));
    w.U32(0); // BI_RGB
    w.U32(imageSize);
    w.U32(0);
    w.U32(0);
    w.U32(colorsUsed);
    w.U32(0);
}

size_t PaddedRow(size_t bits) {
    return (bits + 31) / 32 * 4;
}

// AND mask rows, bottom-up, one bit per pixel, most significant bit first.
void MaskRows(std::vector<uint8_t>& out, int width, int height,
              const std::vector<bool>& transparent) {
    const size_t stride = PaddedRow(static_cast<size_t>(width));
    for (int y = height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(stride, 0);
        for (int x = 0; x < width; ++x) {
            if (transparent[static_cast<size_t>(y * width + x)]) {
                row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
}

} // namespace

size_t BmpRowStride(int width) {
    return PaddedRow(static_cast<size_t>(width) * 24);
}

std::vector<uint8_t> EncodeBmp24(const RgbImage& image) {
    const size_t stride = BmpRowStride(image.width);
    const auto imageSize = static_cast<uint32_t>(stride * static_cast<size_t>(image.height));
    std::vector<uint8_t> out;
    ByteWriter w(out);
    w.U8('B');
    w.U8('M');
    w.U32(FILE_HEADER_SIZE + INFO_HEADER_SIZE + imageSize);
    w.U16(0);
    w.U16(0);
    w.U32(FILE_HEADER_SIZE + INFO_HEADER_SIZE);
    InfoHeader(w, image.width, image.height, 24, imageSize, 0);
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const Rgb8& p = image.At(x, y);
            w.U8(p.b);
            w.U8(p.g);
            w.U8(p.r);
        }
        for (size_t pad = static_cast<size_t>(image.width) * 3; pad < stride; ++pad) {
            w.U8(0);
        }
    }
    return out;
}

IconEntry EncodeIconImage(const RgbaImage& image) {
    IconEntry entry{image.width, image.height, 32, {}};
    const size_t pixels = static_cast<size_t>(image.width * image.height);
    const size_t maskBytes = PaddedRow(static_cast<size_t>(image.width)) * image.height;
    ByteWriter w(entry.data);
    InfoHeader(w, image.width, image.height * 2, 32, static_cast<uint32_t>(pixels * 4 + maskBytes),
               0);
    std::vector<bool> transparent(pixels);
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const Rgba8& p = image.pixels[static_cast<size_t>(y * image.width + x)];
            w.U8(p.b);
            w.U8(p.g);
            w.U8(p.r);
            w.U8(p.a);
        }
    }
    for (size_t i = 0; i < pixels; ++i) {
        transparent[i] = image.pixels[i].a < 128;
    }
    MaskRows(entry.data, image.width, image.height, transparent);
    return entry;
}

IconEntry EncodeIconImage(const IndexedImage& image) {
    IconEntry entry{image.width, image.height, 4, {}};
    const size_t stride = PaddedRow(static_cast<size_t>(image.width) * 4);
    const size_t maskBytes = PaddedRow(static_cast<size_t>(image.width)) * image.height;
    ByteWriter w(entry.data);
    InfoHeader(w, image.width, image.height * 2, 4,
               static_cast<uint32_t>(stride * image.height + maskBytes), 16);
    for (const Rgb8& c : image.palette) {
        w.U8(c.b);
        w.U8(c.g);
        w.U8(c.r);
        w.U8(0);
    }
    for (int y = image.height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(stride, 0);
        for (int x = 0; x < image.width; ++x) {
            const auto i = static_cast<size_t>(y * image.width + x);
            // Masked pixels are black, so that the XOR step leaves the screen alone.
            const uint8_t index = image.transparent[i] ? 0 : image.indexes[i] & 0x0F;
            row[static_cast<size_t>(x / 2)] |= static_cast<uint8_t>(x % 2 ? index : index << 4);
        }
        entry.data.insert(entry.data.end(), row.begin(), row.end());
    }
    MaskRows(entry.data, image.width, image.height, image.transparent);
    return entry;
}

std::vector<uint8_t> EncodeIco(const std::vector<IconEntry>& entries) {
    constexpr uint32_t DIRECTORY_SIZE = 6;
    constexpr uint32_t ENTRY_SIZE = 16;
    std::vector<uint8_t> out;
    ByteWriter w(out);
    w.U16(0);
    w.U16(1); // icon
    w.U16(static_cast<uint32_t>(entries.size()));
    auto offset = static_cast<uint32_t>(DIRECTORY_SIZE + ENTRY_SIZE * entries.size());
    for (const IconEntry& e : entries) {
        w.U8(e.width >= 256 ? 0 : static_cast<uint32_t>(e.width));
        w.U8(e.height >= 256 ? 0 : static_cast<uint32_t>(e.height));
        w.U8(e.bitCount == 4 ? 16 : 0);
        w.U8(0);
        w.U16(1);
        w.U16(static_cast<uint32_t>(e.bitCount));
        w.U32(static_cast<uint32_t>(e.data.size()));
        w.U32(offset);
        offset += static_cast<uint32_t>(e.data.size());
    }
    for (const IconEntry& e : entries) {
        out.insert(out.end(), e.data.begin(), e.data.end());
    }
    return out;
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}
