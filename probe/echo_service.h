// The echo probe's second way: the system's ICMP echo service (IcmpCreateFile and the
// asynchronous IcmpSendEcho2), which a user who may not open a raw socket may still use. Each
// request has its own event and reply buffer; the framework's message loop waits on the
// events, and the check tick collects whatever finished while another loop ran.
#pragma once

#include "probe/echo_service_result.h"

#include <cstdint>
#include <functional>

// Opens the service's handle once for the process; false when the service cannot be reached.
// The framework's loop calls onRequestFinished whenever a request finishes.
bool OpenEchoService(void (*onRequestFinished)());

// Sends one echo request to the address; `started` marks its result, and `tag` is set to the
// request's own number when it is sent.
SendOutcome SendServiceEchoRequest(Ipv4Word address, uint32_t started, uint32_t& tag);

// Reads every finished request and hands each result, with its start and number, to `report`.
void CollectServiceEchoResults(
    const std::function<void(const EchoServiceResult&, uint32_t started, uint32_t tag)>& report);
