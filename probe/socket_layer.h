// Winsock as the probe's ways and its lookups share it: started once for the process.
#pragma once

#include <winsock2.h>
#include <windows.h>

// Starts Winsock on the first call that succeeds; false while it cannot start.
bool StartSocketLayer();
