// Reading and expanding the compact strips; see packed_strip.h.
#include "widgets/packed_strip.h"

#include "framework/byte_order.h"
#include "widgets/dib_pixels.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

// zlib's inflate into a buffer that grows as needed, up to MAX_PACKED_STRIP_BYTES.
bool Inflate(const uint8_t* data, size_t size, std::vector<uint8_t>& out) {
    out.clear();
    z_stream stream{};
    if (data == nullptr || size > UINT_MAX || inflateInit(&stream) != Z_OK)
        return false;
    stream.next_in = const_cast<Bytef*>(data);
    stream.avail_in = static_cast<uInt>(size);
    int status = Z_OK;
    while (status == Z_OK && out.size() < MAX_PACKED_STRIP_BYTES) {
        const size_t done = out.size();
        out.resize(std::min(MAX_PACKED_STRIP_BYTES, std::max(2 * done, size_t{64} << 10)));
        stream.next_out = out.data() + done;
        stream.avail_out = static_cast<uInt>(out.size() - done);
        status = inflate(&stream, Z_NO_FLUSH);
        out.resize(out.size() - stream.avail_out);
    }
    inflateEnd(&stream);
    return status == Z_STREAM_END;
}

} // namespace

bool InflatePackedStrip(const uint8_t* data, size_t size, std::vector<uint8_t>& inflated,
                        PackedStrip& strip) {
    return Inflate(data, size, inflated) &&
           LocatePackedStrip(inflated.data(), inflated.size(), strip);
}

bool LocatePackedStrip(const uint8_t* data, size_t size, PackedStrip& strip) {
    constexpr size_t ROWS_AT = PACKED_STRIP_HEADER_SIZE + 2 * TONE_TABLE_SIZE;
    if (data == nullptr || size < ROWS_AT ||
        std::memcmp(data, PACKED_STRIP_MAGIC, sizeof PACKED_STRIP_MAGIC) != 0) {
        return false;
    }
    const uint32_t width = ReadLe32(data + 4);
    const uint32_t rowHeight = ReadLe32(data + 8);
    constexpr auto MAX_SIDE = static_cast<uint32_t>(MAX_IMAGE_SIDE);
    if (width < 1 || width > MAX_SIDE || rowHeight < 1 || rowHeight > MAX_SIDE / 3) {
        return false;
    }
    if (size - ROWS_AT != size_t{width} * rowHeight * 3) {
        return false;
    }
    strip.width = static_cast<int32_t>(width);
    strip.rowHeight = static_cast<int32_t>(rowHeight);
    strip.hoverTone = data + PACKED_STRIP_HEADER_SIZE;
    strip.pressedTone = strip.hoverTone + TONE_TABLE_SIZE;
    strip.normalRows = data + ROWS_AT;
    return true;
}

bool ExpandPackedStrip(const PackedStrip& strip, uint32_t* bits, size_t capacity) {
    if (strip.normalRows == nullptr || bits == nullptr || strip.width < 1 || strip.rowHeight < 1) {
        return false;
    }
    const auto width = static_cast<size_t>(strip.width);
    const auto rowHeight = static_cast<size_t>(strip.rowHeight);
    const size_t height = 3 * rowHeight;
    if (capacity / width < height) {
        return false;
    }
    const uint8_t* key = strip.normalRows;
    const uint8_t* tones[3] = {nullptr, strip.hoverTone, strip.pressedTone};
    for (size_t y = 0; y < rowHeight; ++y) {
        const uint8_t* row = strip.normalRows + y * width * 3;
        for (size_t band = 0; band < 3; ++band) {
            // Picture row band x H + y; the buffer holds the bottom row first.
            uint32_t* out = bits + (height - 1 - (band * rowHeight + y)) * width;
            for (size_t x = 0; x < width; ++x) {
                const uint8_t* bgr = row + 3 * x;
                uint32_t blue = bgr[0];
                uint32_t green = bgr[1];
                uint32_t red = bgr[2];
                if (band > 0 && std::memcmp(bgr, key, 3) != 0) {
                    blue = tones[band][blue];
                    green = tones[band][green];
                    red = tones[band][red];
                }
                out[x] = red << 16 | green << 8 | blue;
            }
        }
    }
    return true;
}
