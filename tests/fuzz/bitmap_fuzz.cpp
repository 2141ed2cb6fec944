// Fuzz target: any bytes read as a bitmap file, or else as a packed bitmap (as a bitmap
// resource holds it), then converted to 32-bit words and recoloured, as the image loader does.
// A buffer one word too small is refused. The same bytes are also inflated with zlib as a
// compact strip resource, and read as the inflated bytes of one, and expanded.
#include "widgets/dib_pixels.h"
#include "widgets/packed_strip.h"
#include "tests/fuzz/fuzz_input.h"

#include <vector>

namespace {

void ExpandCompactStrip(const PackedStrip& strip) {
    std::vector<uint32_t> bits(static_cast<size_t>(strip.width) * strip.Height());
    Require(!ExpandPackedStrip(strip, bits.data(), bits.size() - 1) &&
            ExpandPackedStrip(strip, bits.data(), bits.size()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact-size copy, so that a read past the data is caught.
    const std::vector<uint8_t> bytes(data, data + size);
    std::vector<uint8_t> inflated;
    PackedStrip strip;
    if (LocatePackedStrip(bytes.data(), bytes.size(), strip))
        ExpandCompactStrip(strip);
    if (InflatePackedStrip(bytes.data(), bytes.size(), inflated, strip))
        ExpandCompactStrip(strip);
    DibSource source;
    if (!LocateBitmapFile(bytes.data(), bytes.size(), source) &&
        !LocatePackedDib(bytes.data(), bytes.size(), source))
        return 0;
    const size_t words = static_cast<size_t>(source.width) * static_cast<size_t>(source.height);
    std::vector<uint32_t> bits(words);
    Require(!ConvertRows24To32(source, bits.data(), words - 1) &&
            ConvertRows24To32(source, bits.data(), words));
    RecolorKey(bits.data(), source.width, source.height, 1, 1, 0x00FEFEFE, true);
    return 0;
}
