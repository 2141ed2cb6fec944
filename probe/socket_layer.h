// Winsock as the probe's ways and its lookups share it: started once for the process, and the
// end of the process on a socket failure that cannot pass.
#pragma once

#include <winsock2.h>
#include <windows.h>

constexpr UINT PROBE_EXIT_CODE = 65535;

// Starts Winsock on the first call; ends the process when it cannot start.
void StartSocketLayer();

// Ends the process with PROBE_EXIT_CODE.
[[noreturn]] void EndProcessOnSocketFailure();
