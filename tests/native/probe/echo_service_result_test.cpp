// How the echo service's answers are read, with the codes seen from Wine's service: a reply,
// a time-out, and the two ways it refuses a user.
#include "probe/echo_service_result.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t IO_PENDING = 997;
constexpr uint32_t ACCESS_DENIED = 5;
constexpr uint32_t TIMED_OUT = 11010;

TEST(EchoServiceSend, PendingIsSentAccessDeniedIsRefused) {
    EXPECT_EQ(SendOutcome::Sent, EchoServiceSendOutcome(0, IO_PENDING));
    EXPECT_EQ(SendOutcome::Sent, EchoServiceSendOutcome(1, 0)); // finished at once
    EXPECT_EQ(SendOutcome::Refused, EchoServiceSendOutcome(0, ACCESS_DENIED));
    // Network unreachable, host unreachable, out of memory: nothing went out this time.
    for (uint32_t code : {1231u, 1232u, 8u, TIMED_OUT}) {
        EXPECT_EQ(SendOutcome::NotSent, EchoServiceSendOutcome(0, code)) << code;
    }
}

TEST(EchoServiceResult, AReplyGivesItsAddressAndRoundTrip) {
    const EchoServiceResult result = ReadEchoServiceResult(1, TIMED_OUT, 0, 0x0100007F, 3);
    EXPECT_EQ(EchoServiceResult::Reply, result.kind);
    EXPECT_EQ(0x0100007Fu, result.from);
    EXPECT_EQ(3u, result.roundTripMs);
}

TEST(EchoServiceResult, ATimeOutOrAnErrorReplyIsNoReply) {
    EXPECT_EQ(EchoServiceResult::NoReply,
              ReadEchoServiceResult(0, TIMED_OUT, TIMED_OUT, 0, 0).kind);
    // Destination host unreachable, reported as a reply with its status.
    EXPECT_EQ(EchoServiceResult::NoReply, ReadEchoServiceResult(1, 0, 11003, 0x0100007F, 0).kind);
}

TEST(EchoServiceResult, NoReplyAndNoErrorIsARefusalNotATimeOut) {
    EXPECT_EQ(EchoServiceResult::Refused, ReadEchoServiceResult(0, 0, 0, 0, 0).kind);
    EXPECT_EQ(EchoServiceResult::Refused, ReadEchoServiceResult(0, ACCESS_DENIED, 0, 0, 0).kind);
}

} // namespace
