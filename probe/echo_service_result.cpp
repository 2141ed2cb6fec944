// The echo service's answers, read.
#include "probe/echo_service_result.h"

namespace {

constexpr uint32_t NO_ERROR_CODE = 0;
constexpr uint32_t ACCESS_DENIED = 5;
constexpr uint32_t IO_PENDING = 997;
constexpr uint32_t IP_SUCCESS = 0;

} // namespace

SendOutcome EchoServiceSendOutcome(uint32_t result, uint32_t lastError) {
    if (result != 0 || lastError == IO_PENDING)
        return SendOutcome::Sent;
    return lastError == ACCESS_DENIED ? SendOutcome::Refused : SendOutcome::NotSent;
}

EchoServiceResult ReadEchoServiceResult(uint32_t replyCount, uint32_t lastError,
                                        uint32_t replyStatus, Ipv4Word replyAddress,
                                        uint32_t roundTripMs) {
    if (replyCount > 0) {
        if (replyStatus == IP_SUCCESS)
            return {EchoServiceResult::Reply, replyAddress, roundTripMs};
        return {EchoServiceResult::NoReply, 0, 0};
    }
    // A time-out says so (11010); a refusal finishes with no reply and no error at all.
    if (lastError == NO_ERROR_CODE || lastError == ACCESS_DENIED)
        return {EchoServiceResult::Refused, 0, 0};
    return {EchoServiceResult::NoReply, 0, 0};
}
