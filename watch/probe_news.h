// What the news of the probe's lookups and web requests means for the watch, told to the machine.
#pragma once

#include "probe/probe_session.h"
#include "watch/watch_machine.h"

// WM_HOST_RESOLVED's news: an unknown name, a name found, a first request refused or failed;
// None changes nothing.
void TellWatch(WatchMachine& watch, LookupNews news);
// WM_WEB_EVENT's news: an unknown name, a name found, a bad certificate, a failing lookup, a
// refusing proxy, a check made again after those two. None and Answer change nothing: an answer
// comes as WM_ECHO_REPLY. The caller notes a check made again in the history before it tells the
// watch.
void TellWatch(WatchMachine& watch, WebNews news);
