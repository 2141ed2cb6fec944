// The probe's web way: one GET per check tick over WinHTTP in its asynchronous mode. WinHTTP's
// callbacks run on its own threads; they only judge the outcome (the status line, an error,
// WinHTTP's notice of a bad certificate), answer a proxy's request for sign-in, and post
// WM_WEB_EVENT to the window, whose thread takes the outcomes, closes the handles and keeps
// each request's deadline. The window never waits.
#pragma once

#include "probe/probe_session.h"
#include "probe/web_address.h"

#include <windows.h>

#include <optional>
#include <string>

constexpr UINT WM_WEB_EVENT = WM_APP + 4; // a request has news; the parameters are unused

// Reads the text with the system's URL reader (WinHttpCrackUrl) and the web way's rules;
// nothing for a text that cannot be watched.
std::optional<WebAddress> ReadWebAddress(const std::string& text);

// Opens the process's WinHTTP session on the first call; false when it cannot be opened. It
// asks through the system's proxy, or through the one TARNWELL_WEB_PROXY names ("host:port").
bool OpenWebSession();

// Sends one GET for the address; its outcome reaches `window` as WM_WEB_EVENT. The request is
// closed, unanswered, lifetimeMs after it was sent. NotSent when a few requests are still in
// flight or none can begin; `tag` is set to the request's number when Sent.
SendOutcome StartWebRequest(const WebAddress& address, uint32_t lifetimeMs, HWND window,
                            uint32_t& tag);

// What became of a request.
struct WebOutcome {
    uint32_t tag;
    WebVerdict verdict;
    uint32_t roundTripMs; // from sending to the status line, for an Answer
};

// WM_WEB_EVENT: the next outcome not yet taken, each request's once (a request closed before
// its outcome, by its deadline or abandoned, has TimedOut or NoLookup); nothing when none is
// left.
std::optional<WebOutcome> TakeWebOutcome();

// Whether a request newer than this tag, still in flight, has been looking its name up for
// longer than WEB_LOOKUP_STALL_MS: the name server is silent.
bool IsWebLookupStalled(uint32_t newerThanTag);

// Closes the request with this tag, if it is still in flight: its outcome no longer matters.
void AbandonWebRequest(uint32_t tag);

// Closes every request in flight: their outcomes no longer matter (a new start).
void AbandonWebRequests();

// At exit: closes every handle and waits, a few seconds at most, until WinHTTP's last callback
// has run, so that none runs while the process ends.
void CloseWebSession();
