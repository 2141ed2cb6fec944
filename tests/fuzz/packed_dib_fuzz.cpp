// Fuzz target: a packed bitmap (as a bitmap resource holds it) of any bytes through the reader
// and the 24-to-32-bit conversion, with a buffer one word too small refused.
#include "widgets/dib_pixels.h"

#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> dib(data, data + size);
    DibSource source;
    if (!LocatePackedDib(dib.data(), dib.size(), source))
        return 0;
    const size_t words = static_cast<size_t>(source.width) * static_cast<size_t>(source.height);
    std::vector<uint32_t> bits(words);
    if (ConvertRows24To32(source, bits.data(), words - 1))
        std::abort();
    if (!ConvertRows24To32(source, bits.data(), words))
        std::abort();
    return 0;
}
