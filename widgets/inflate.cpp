// Deflate decoding with canonical Huffman codes decoded bit by bit: small and slow, which the
// few pictures decoded at start can afford.
#include "widgets/inflate.h"

#include <array>

namespace {

constexpr int MAX_BITS = 15;      // longest code
constexpr int LENGTH_CODES = 286; // literal/length symbols that may be sent
constexpr int DISTANCE_CODES = 30;
constexpr int FIXED_LITERALS = 288; // the fixed code also lists the two unused symbols
constexpr uint32_t ADLER_BASE = 65521;

class BitReader {
public:
    BitReader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    // The next `count` bits (at most 16), first bit lowest. Past the end: 0 and Overrun().
    uint32_t Bits(int count) {
        uint32_t value = m_buffer;
        while (m_buffered < count) {
            if (m_pos == m_size) {
                m_overrun = true;
                return 0;
            }
            value |= static_cast<uint32_t>(m_data[m_pos++]) << m_buffered;
            m_buffered += 8;
        }
        m_buffer = value >> count;
        m_buffered -= count;
        return value & ((1u << count) - 1);
    }

    // Drops the bits left of the current byte; the next read starts at a byte.
    void AlignToByte() {
        m_buffer = 0;
        m_buffered = 0;
    }

    bool Byte(uint8_t& byte) {
        if (m_pos == m_size) {
            m_overrun = true;
            return false;
        }
        byte = m_data[m_pos++];
        return true;
    }

    bool Overrun() const { return m_overrun; }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
    uint32_t m_buffer = 0;
    int m_buffered = 0;
    bool m_overrun = false;
};

// A canonical Huffman code: how many codes each length has, and the symbols ordered by code.
struct Huffman {
    std::array<uint16_t, MAX_BITS + 1> count{};
    std::array<uint16_t, FIXED_LITERALS> symbol{};
};

// Builds the code from the symbols' code lengths. Returns 0 for a complete code, a positive
// number for an incomplete one and a negative one for a code with too many codes of a length.
int BuildHuffman(Huffman& h, const uint8_t* lengths, int symbols) {
    h.count.fill(0);
    for (int s = 0; s < symbols; ++s) {
        ++h.count[lengths[s]];
    }
    if (h.count[0] == symbols) {
        return 0; // no codes: complete, but nothing decodes
    }
    int left = 1;
    for (int len = 1; len <= MAX_BITS; ++len) {
        left <<= 1;
        left -= h.count[len];
        if (left < 0) {
            return left;
        }
    }
    std::array<uint16_t, MAX_BITS + 1> offset{};
    for (int len = 1; len < MAX_BITS; ++len) {
        offset[len + 1] = static_cast<uint16_t>(offset[len] + h.count[len]);
    }
    for (int s = 0; s < symbols; ++s) {
        if (lengths[s] != 0) {
            h.symbol[offset[lengths[s]]++] = static_cast<uint16_t>(s);
        }
    }
    return left;
}

// The next symbol of the code; -1 when the input ends or no code matches.
int DecodeSymbol(BitReader& in, const Huffman& h) {
    int code = 0;
    int first = 0;
    int index = 0;
    for (int len = 1; len <= MAX_BITS; ++len) {
        code |= static_cast<int>(in.Bits(1));
        if (in.Overrun()) {
            return -1;
        }
        const int count = h.count[len];
        if (code - count < first) {
            return h.symbol[index + (code - first)];
        }
        index += count;
        first = (first + count) << 1;
        code <<= 1;
    }
    return -1;
}

class Inflater {
public:
    Inflater(BitReader& in, size_t maxOutput, std::vector<uint8_t>& out)
        : m_in(in), m_max(maxOutput), m_out(out) {}

    bool Run() {
        int last = 0;
        do {
            last = static_cast<int>(m_in.Bits(1));
            const uint32_t type = m_in.Bits(2);
            bool ok = false;
            if (type == 0) {
                ok = Stored();
            } else if (type == 1) {
                ok = Fixed();
            } else if (type == 2) {
                ok = Dynamic();
            }
            if (!ok || m_in.Overrun()) {
                return false;
            }
        } while (last == 0);
        return true;
    }

private:
    bool Put(uint8_t byte) {
        if (m_out.size() >= m_max) {
            return false;
        }
        m_out.push_back(byte);
        return true;
    }

    bool Stored() {
        m_in.AlignToByte();
        uint8_t b[4] = {};
        for (uint8_t& byte : b) {
            if (!m_in.Byte(byte)) {
                return false;
            }
        }
        const auto length = static_cast<uint32_t>(b[0] | b[1] << 8);
        if (static_cast<uint32_t>(b[2] | b[3] << 8) != (~length & 0xFFFF)) {
            return false;
        }
        for (uint32_t i = 0; i < length; ++i) {
            uint8_t byte = 0;
            if (!m_in.Byte(byte) || !Put(byte)) {
                return false;
            }
        }
        return true;
    }

    bool Fixed() {
        static const std::array<Huffman, 2> codes = [] {
            std::array<uint8_t, FIXED_LITERALS> lengths{};
            for (int s = 0; s < FIXED_LITERALS; ++s) {
                lengths[s] = s < 144 ? 8 : s < 256 ? 9 : s < 280 ? 7 : 8;
            }
            std::array<Huffman, 2> built;
            BuildHuffman(built[0], lengths.data(), FIXED_LITERALS);
            lengths.fill(5);
            BuildHuffman(built[1], lengths.data(), DISTANCE_CODES);
            return built;
        }();
        return Codes(codes[0], codes[1]);
    }

    bool Dynamic() {
        const int literals = static_cast<int>(m_in.Bits(5)) + 257;
        const int distances = static_cast<int>(m_in.Bits(5)) + 1;
        const int lengthCodes = static_cast<int>(m_in.Bits(4)) + 4;
        if (literals > LENGTH_CODES || distances > DISTANCE_CODES) {
            return false;
        }
        static constexpr uint8_t ORDER[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                              11, 4,  12, 3, 13, 2, 14, 1, 15};
        std::array<uint8_t, LENGTH_CODES + DISTANCE_CODES> lengths{};
        for (int i = 0; i < lengthCodes; ++i) {
            lengths[ORDER[i]] = static_cast<uint8_t>(m_in.Bits(3));
        }
        Huffman lengthCode;
        if (BuildHuffman(lengthCode, lengths.data(), 19) != 0) {
            return false; // the code-length code must be complete
        }
        int index = 0;
        lengths.fill(0);
        while (index < literals + distances) {
            const int symbol = DecodeSymbol(m_in, lengthCode);
            if (symbol < 0) {
                return false;
            }
            if (symbol < 16) {
                lengths[index++] = static_cast<uint8_t>(symbol);
                continue;
            }
            uint8_t repeated = 0;
            int times = 0;
            if (symbol == 16) {
                if (index == 0) {
                    return false; // nothing to repeat
                }
                repeated = lengths[index - 1];
                times = 3 + static_cast<int>(m_in.Bits(2));
            } else if (symbol == 17) {
                times = 3 + static_cast<int>(m_in.Bits(3));
            } else {
                times = 11 + static_cast<int>(m_in.Bits(7));
            }
            if (index + times > literals + distances) {
                return false;
            }
            while (times-- > 0) {
                lengths[index++] = repeated;
            }
        }
        if (lengths[256] == 0) {
            return false; // no end-of-block code
        }
        // An incomplete code is allowed only when it holds a single code.
        Huffman literal;
        int err = BuildHuffman(literal, lengths.data(), literals);
        if (err < 0 || (err > 0 && literals - literal.count[0] != 1)) {
            return false;
        }
        Huffman distance;
        err = BuildHuffman(distance, lengths.data() + literals, distances);
        if (err < 0 || (err > 0 && distances - distance.count[0] != 1)) {
            return false;
        }
        return Codes(literal, distance);
    }

    bool Codes(const Huffman& literal, const Huffman& distance) {
        static constexpr uint16_t LENGTH_BASE[29] = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                                     15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                                     67, 83, 99, 115, 131, 163, 195, 227, 258};
        static constexpr uint8_t LENGTH_EXTRA[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                     2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
        static constexpr uint16_t DISTANCE_BASE[30] = {
            1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
            193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
        static constexpr uint8_t DISTANCE_EXTRA[30] = {0, 0, 0,  0,  1,  1,  2,  2,  3,  3,
                                                       4, 4, 5,  5,  6,  6,  7,  7,  8,  8,
                                                       9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
        for (;;) {
            int symbol = DecodeSymbol(m_in, literal);
            if (symbol < 0) {
                return false;
            }
            if (symbol < 256) {
                if (!Put(static_cast<uint8_t>(symbol))) {
                    return false;
                }
                continue;
            }
            if (symbol == 256) {
                return true;
            }
            symbol -= 257;
            if (symbol >= 29) {
                return false;
            }
            const size_t length = LENGTH_BASE[symbol] + m_in.Bits(LENGTH_EXTRA[symbol]);
            symbol = DecodeSymbol(m_in, distance);
            if (symbol < 0 || symbol >= DISTANCE_CODES) {
                return false;
            }
            const size_t back = DISTANCE_BASE[symbol] + m_in.Bits(DISTANCE_EXTRA[symbol]);
            if (m_in.Overrun() || back > m_out.size()) {
                return false;
            }
            // Byte by byte: a copy may overlap the bytes it makes.
            for (size_t i = 0; i < length; ++i) {
                if (!Put(m_out[m_out.size() - back])) {
                    return false;
                }
            }
        }
    }

    BitReader& m_in;
    size_t m_max;
    std::vector<uint8_t>& m_out;
};

uint32_t Adler32(const std::vector<uint8_t>& bytes) {
    uint32_t a = 1;
    uint32_t b = 0;
    for (uint8_t byte : bytes) {
        a = (a + byte) % ADLER_BASE;
        b = (b + a) % ADLER_BASE;
    }
    return b << 16 | a;
}

} // namespace

bool InflateZlib(const uint8_t* data, size_t size, size_t maxOutput, std::vector<uint8_t>& out) {
    out.clear();
    // Header: deflate with a window of at most 32 KB, no preset dictionary, and a check value
    // that makes the two bytes a multiple of 31.
    if (data == nullptr || size < 2) {
        return false;
    }
    const uint32_t method = data[0];
    const uint32_t flags = data[1];
    if ((method & 0x0F) != 8 || (method >> 4) > 7 || (flags & 0x20) != 0 ||
        (method << 8 | flags) % 31 != 0) {
        return false;
    }
    BitReader in(data + 2, size - 2);
    if (!Inflater(in, maxOutput, out).Run()) {
        out.clear();
        return false;
    }
    in.AlignToByte();
    uint32_t check = 0;
    for (int i = 0; i < 4; ++i) {
        uint8_t byte = 0;
        if (!in.Byte(byte)) {
            out.clear();
            return false;
        }
        check = check << 8 | byte;
    }
    if (check != Adler32(out)) {
        out.clear();
        return false;
    }
    return true;
}
