// The check of a received datagram, and the socket errors the probe survives.
#include "probe/echo_packet.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

constexpr uint16_t OUR_ID = 0x4D2A;

// An IPv4 datagram of headerSize bytes of header (version 4) followed by a 44-byte ICMP
// message, laid out here by hand.
std::vector<uint8_t> Datagram(size_t headerSize, uint8_t type, uint16_t identifier,
                              uint16_t sequence, uint32_t sendTick) {
    std::vector<uint8_t> bytes(headerSize, 0);
    bytes[0] = static_cast<uint8_t>(0x40 | (headerSize / 4));
    // Type, code, a checksum; the identifier, sequence and send tick least significant byte first.
    bytes.insert(bytes.end(), {type, 0, 0x12, 0x34});
    const uint64_t fields = identifier | uint64_t{sequence} << 16 | uint64_t{sendTick} << 32;
    for (int i = 0; i < 8; ++i)
        bytes.push_back(static_cast<uint8_t>(fields >> (8 * i)));
    bytes.insert(bytes.end(), 32, 0x45);
    return bytes;
}

// Parses the first `length` bytes from an allocation of exactly that size, so that the
// sanitizer catches any read past them.
std::optional<EchoReply> ParseFirst(const std::vector<uint8_t>& bytes, size_t length,
                                    uint32_t nowTick = 1000) {
    const std::vector<uint8_t> received(bytes.begin(), bytes.begin() + length);
    return ParseEchoReply(received.data(), received.size(), OUR_ID, nowTick);
}

std::optional<EchoReply> Parse(const std::vector<uint8_t>& bytes, uint32_t nowTick = 1000) {
    return ParseFirst(bytes, bytes.size(), nowTick);
}

// The round trip wraps with the tick counter.
TEST(ParseEchoReply, AcceptsOurReplyWithSequenceAndRoundTrip) {
    for (const auto& [sent, now, roundTrip] :
         {std::tuple{700u, 1000u, 300u}, {0xFFFFFF00u, 0x64u, 0x100u + 0x64u}}) {
        const auto reply = Parse(Datagram(20, 0, OUR_ID, 0xBEEF, sent), now);
        ASSERT_TRUE(reply.has_value()) << sent;
        EXPECT_EQ(0xBEEF, reply->sequence);
        EXPECT_EQ(roundTrip, reply->roundTripMs);
    }
}

TEST(ParseEchoReply, FindsTheMessageBehindHeaderOptions) {
    for (size_t headerSize : {24u, 40u, 60u}) {
        auto bytes = Datagram(headerSize, 0, OUR_ID, 7, 990);
        // Where a 20-byte header would end, plant something that is not our reply.
        bytes[20] = 8;
        bytes[24] = bytes[25] = 0;
        const auto reply = Parse(bytes, 1000);
        ASSERT_TRUE(reply.has_value()) << headerSize;
        EXPECT_EQ(7, reply->sequence);
        EXPECT_EQ(10u, reply->roundTripMs);
    }
}

TEST(ParseEchoReply, IgnoresOtherTypesAndIdentifiers) {
    for (uint8_t type : {3, 8, 11}) {
        EXPECT_FALSE(Parse(Datagram(20, type, OUR_ID, 0, 0)).has_value()) << int(type);
    }
    EXPECT_FALSE(Parse(Datagram(20, 0, OUR_ID + 1, 0, 0)).has_value());
    // The identifier with its bytes swapped is another identifier.
    EXPECT_FALSE(Parse(Datagram(20, 0, 0x2A4D, 0, 0)).has_value());
}

TEST(ParseEchoReply, IgnoresDatagramsShorterThanHeaderAndTwelveBytes) {
    EXPECT_FALSE(ParseEchoReply(nullptr, 0, OUR_ID, 0).has_value());
    for (size_t headerSize : {20u, 60u}) {
        const auto bytes = Datagram(headerSize, 0, OUR_ID, 0, 0);
        for (size_t length = 1; length < headerSize + 12; ++length) {
            EXPECT_FALSE(ParseFirst(bytes, length).has_value()) << headerSize << " " << length;
        }
        EXPECT_TRUE(ParseFirst(bytes, headerSize + 12).has_value()) << headerSize;
    }
}

TEST(ParseEchoReply, IgnoresHeaderLengthBelowTwenty) {
    for (uint8_t words = 0; words < 5; ++words) {
        // Taken at words * 4, the message would read as our echo reply.
        std::vector<uint8_t> bytes(64, 0);
        bytes[0] = words;
        bytes[words * 4u + 4] = static_cast<uint8_t>(OUR_ID);
        bytes[words * 4u + 5] = static_cast<uint8_t>(OUR_ID >> 8);
        EXPECT_FALSE(Parse(bytes).has_value()) << int(words);
    }
}

TEST(SocketErrors, SendFailuresThatOnlyMeanNothingWasSent) {
    // Time-out, would block (a socket without its time-outs), network down, network
    // unreachable, host unreachable, no buffer space, broadcast refused, address not available.
    for (int code : {10060, 10035, 10050, 10051, 10065, 10055, 10013, 10049}) {
        EXPECT_TRUE(IsSendFailureRecoverable(code)) << code;
    }
    // Not a socket, not initialised, and no error at all.
    for (int code : {10038, 10093, 0, -1}) {
        EXPECT_FALSE(IsSendFailureRecoverable(code)) << code;
    }
}

TEST(SocketErrors, ReadFailuresThatAreDropped) {
    // Time-out, would block, datagram larger than the buffer.
    for (int code : {10060, 10035, 10040}) {
        EXPECT_TRUE(IsReadFailureIgnorable(code)) << code;
    }
    for (int code : {10038, 10050, 10054, 10093, 0}) {
        EXPECT_FALSE(IsReadFailureIgnorable(code)) << code;
    }
}

} // namespace
