// Fuzz target: a bitmap file of any bytes through the file reader and the 24-to-32-bit
// conversion, as the image loader uses them.
#include "widgets/dib_pixels.h"

#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> file(data, data + size);
    DibSource source;
    if (!LocateBitmapFile(file.data(), file.size(), source))
        return 0;
    const size_t words = static_cast<size_t>(source.width) * static_cast<size_t>(source.height);
    std::vector<uint32_t> bits(words);
    if (!ConvertRows24To32(source, bits.data(), bits.size()))
        std::abort(); // located rows always convert into a buffer of their size
    RecolorKey(bits.data(), source.width, source.height, 1, 1, 0x00FEFEFE, true);
    return 0;
}
