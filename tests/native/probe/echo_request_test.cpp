// The Internet checksum and the bytes of the echo request.
#include "probe/echo_packet.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

uint16_t Checksum(const std::vector<uint8_t>& bytes) {
    return IcmpChecksum(bytes.data(), bytes.size());
}

// Words are read least significant byte first, an odd last byte counts as its value, and the
// carry of the first fold is folded again; nothing to sum is all ones.
TEST(IcmpChecksum, OnesComplementSumOfLittleEndianWords) {
    EXPECT_EQ(0xFFFF, IcmpChecksum(nullptr, 0));
    for (int b : {0x00, 0x01, 0x45, 0x80, 0xFF}) {
        EXPECT_EQ(0xFFFF - b, Checksum({static_cast<uint8_t>(b)})) << "byte " << b;
    }
    // The worked example of RFC 1071 (bytes 00 01 f2 03 f4 f5 f6 f7, checksum 220d on the
    // wire), read as little-endian words: the result, stored LSB first, is the same bytes.
    EXPECT_EQ(0x0D22, Checksum({0x00, 0x01, 0xF2, 0x03, 0xF4, 0xF5, 0xF6, 0xF7}));
    // FFFF + FFFF + 01 = 1FFFF: the first fold gives 10000, only the second gives 0001.
    EXPECT_EQ(0xFFFE, Checksum({0xFF, 0xFF, 0xFF, 0xFF, 0x01}));
}

TEST(EchoRequest, HoldsTheFieldsLeastSignificantByteFirst) {
    const EchoRequest request = BuildEchoRequest(0x1234, 0xA1B2C3D4);
    ASSERT_EQ(44u, request.size());
    // Echo request (8), code 0, the checksum, the identifier, sequence 0, the send tick.
    const std::vector<uint8_t> head(request.begin(), request.begin() + 12);
    EXPECT_EQ(
        (std::vector<uint8_t>{8, 0, head[2], head[3], 0x34, 0x12, 0, 0, 0xD4, 0xC3, 0xB2, 0xA1}),
        head);
    for (size_t i = 12; i < request.size(); ++i) {
        EXPECT_EQ(0x45, request[i]) << "offset " << i;
    }
}

TEST(EchoRequest, StoredChecksumMakesTheWholeRequestSumToZero) {
    for (uint16_t identifier : {0x0000, 0x1234, 0xFFFF}) {
        for (uint32_t tick : {0u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
            const EchoRequest request = BuildEchoRequest(identifier, tick);
            EXPECT_EQ(0, IcmpChecksum(request.data(), request.size())) << identifier << " " << tick;
        }
    }
}

// Fixed fields only, clipped to the length: the send time (offsets 8 to 11) stays as it was.
TEST(FillEchoRequest, NeverWritesPastTheLength) {
    const std::vector<uint8_t> whole = {8,    0,    0,    0,    0xEF, 0xBE, 0,    0,
                                        0xAA, 0xAA, 0xAA, 0xAA, 0x45, 0x45, 0xAA, 0xAA};
    for (size_t length = 0; length <= 14; ++length) {
        std::vector<uint8_t> buffer(16, 0xAA);
        FillEchoRequest(buffer.data(), length, 0xBEEF);
        for (size_t i = 0; i < buffer.size(); ++i) {
            EXPECT_EQ(i < length ? whole[i] : 0xAA, buffer[i])
                << "length " << length << ", at " << i;
        }
    }
}

} // namespace
