// Packing a compact strip, and the check that the program reads it back as drawn.
#include "packed_strip_file.h"

#include "widgets/packed_strip.h"

#include <zlib.h>

namespace {

void PutLe32(std::vector<uint8_t>& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

} // namespace

std::string PackStrip(const RgbImage& normalRow, const std::array<uint8_t, 256>& hoverTone,
                      const std::array<uint8_t, 256>& pressedTone, std::vector<uint8_t>& file,
                      RgbImage& shown) {
    std::vector<uint8_t> payload(PACKED_STRIP_MAGIC, PACKED_STRIP_MAGIC + 4);
    PutLe32(payload, static_cast<uint32_t>(normalRow.width));
    PutLe32(payload, static_cast<uint32_t>(normalRow.height));
    payload.insert(payload.end(), hoverTone.begin(), hoverTone.end());
    payload.insert(payload.end(), pressedTone.begin(), pressedTone.end());
    for (const Rgb8& p : normalRow.pixels) {
        payload.insert(payload.end(), {p.b, p.g, p.r});
    }

    uLongf size = compressBound(static_cast<uLong>(payload.size()));
    file.resize(size);
    if (compress2(file.data(), &size, payload.data(), static_cast<uLong>(payload.size()),
                  Z_BEST_COMPRESSION) != Z_OK) {
        return "cannot be compressed";
    }
    file.resize(size);

    std::vector<uint8_t> inflated;
    PackedStrip strip;
    if (!InflatePackedStrip(file.data(), file.size(), inflated, strip) || inflated != payload) {
        return "does not read back as packed";
    }
    const auto width = static_cast<size_t>(strip.width);
    const auto height = static_cast<size_t>(strip.Height());
    std::vector<uint32_t> words(width * height);
    if (!ExpandPackedStrip(strip, words.data(), words.size())) {
        return "does not expand";
    }
    shown = {strip.width, strip.Height(), std::vector<Rgb8>(words.size())};
    for (size_t y = 0; y < height; ++y) {
        for (size_t x = 0; x < width; ++x) {
            const uint32_t w = words[(height - 1 - y) * width + x];
            shown.pixels[y * width + x] = {static_cast<uint8_t>(w >> 16),
                                           static_cast<uint8_t>(w >> 8), static_cast<uint8_t>(w)};
        }
    }
    const Rgb8 key = normalRow.pixels[0];
    for (size_t i = normalRow.pixels.size(); i < shown.pixels.size(); ++i) {
        const Rgb8& normal = normalRow.pixels[i % normalRow.pixels.size()];
        if ((shown.pixels[i] == key) != (normal == key)) {
            return "a toned pixel is the key background";
        }
    }
    return "";
}
