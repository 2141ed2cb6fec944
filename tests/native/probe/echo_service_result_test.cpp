// How the echo service's answers are read, with the codes seen from Wine's service: a reply,
// a time-out, and the two ways it refuses a user.
#include "probe/echo_service_result.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t ACCESS_DENIED = 5;
constexpr uint32_t TIMED_OUT = 11010;
constexpr Ipv4Word LOOPBACK = 0x0100007F;

TEST(EchoServiceSend, PendingIsSentAccessDeniedIsRefusedAnyOtherErrorIsNotSent) {
    EXPECT_EQ(SendOutcome::Sent, EchoServiceSendOutcome(0, 997)); // pending
    EXPECT_EQ(SendOutcome::Sent, EchoServiceSendOutcome(1, 0));   // finished at once
    EXPECT_EQ(SendOutcome::Refused, EchoServiceSendOutcome(0, ACCESS_DENIED));
    EXPECT_EQ(SendOutcome::NotSent, EchoServiceSendOutcome(0, 1231)); // network unreachable
}

TEST(EchoServiceResult, AReplyAnErrorReplyATimeOutAndTheTwoRefusals) {
    const struct {
        uint32_t replies, lastError, status;
        EchoServiceResult::Kind kind;
    } cases[] = {
        {1, TIMED_OUT, 0, EchoServiceResult::Reply},
        {1, 0, 11003, EchoServiceResult::NoReply}, // destination host unreachable
        {0, TIMED_OUT, TIMED_OUT, EchoServiceResult::NoReply},
        {0, 0, 0, EchoServiceResult::Refused}, // no reply and no error: not a time-out
        {0, ACCESS_DENIED, 0, EchoServiceResult::Refused},
    };
    for (const auto& c : cases) {
        const EchoServiceResult result =
            ReadEchoServiceResult(c.replies, c.lastError, c.status, LOOPBACK, 3);
        EXPECT_EQ(c.kind, result.kind) << c.replies << " " << c.lastError << " " << c.status;
    }
    const EchoServiceResult reply = ReadEchoServiceResult(1, 0, 0, LOOPBACK, 3);
    EXPECT_EQ(LOOPBACK, reply.from);
    EXPECT_EQ(3u, reply.roundTripMs);
}

} // namespace
