// The zlib stream decoder for the program's compressed pictures: a two-byte header, deflate
// blocks (stored, fixed and dynamic Huffman codes) and the Adler-32 check of the output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Inflates the zlib stream of `size` bytes into `out`. False, with `out` cleared, for a stream
// that is cut short, malformed, fails its check, or would inflate to more than maxOutput bytes.
bool InflateZlib(const uint8_t* data, size_t size, size_t maxOutput, std::vector<uint8_t>& out);
