// What the probe's news means for the watch: a finished lookup's (WM_HOST_RESOLVED) and a
// finished web request's (WM_WEB_EVENT) news told to the watch machine.
#pragma once

#include "probe/probe_session.h"
#include "watch/watch_machine.h"

// An unknown name, a name found, a first request refused or failed; None changes nothing.
void TellWatch(WatchMachine& watch, LookupNews news);
// An unknown name, a name found, a bad certificate, a failing lookup, a refusing proxy, a
// check made again after those two. None and Answer change nothing: an answer comes as
// WM_ECHO_REPLY. The caller notes a check made again in the history before it tells the watch.
void TellWatch(WatchMachine& watch, WebNews news);
