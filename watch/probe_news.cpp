// What the probe's news means for the watch; see probe_news.h.
#include "watch/probe_news.h"

void TellWatch(WatchMachine& watch, LookupNews news) {
    switch (news) {
    case LookupNews::None:
        break;
    case LookupNews::HostUnknown:
        watch.OnProbeFailed(ProbeFailure::UnknownHost);
        break;
    case LookupNews::HostFound:
        watch.OnHostFound();
        break;
    case LookupNews::AccessDenied:
        watch.OnProbeFailed(ProbeFailure::AccessDenied);
        break;
    case LookupNews::NetworkError:
        watch.OnProbeFailed(ProbeFailure::NetworkError);
        break;
    }
}

void TellWatch(WatchMachine& watch, WebNews news) {
    switch (news) {
    case WebNews::None:
    case WebNews::Answer: // sent as WM_ECHO_REPLY
        break;
    case WebNews::HostUnknown:
        watch.OnProbeFailed(ProbeFailure::UnknownHost);
        break;
    case WebNews::HostFound:
        watch.OnHostFound();
        break;
    case WebNews::BadCertificate:
        watch.OnProbeFailed(ProbeFailure::BadCertificate);
        break;
    case WebNews::LookupFails:
        watch.OnProbeFailed(ProbeFailure::LookupFails);
        break;
    case WebNews::ProxyRefuses:
        watch.OnProbeFailed(ProbeFailure::ProxyRefuses);
        break;
    case WebNews::CheckMade:
        watch.OnCheckMade();
        break;
    }
}
