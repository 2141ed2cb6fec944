// Winsock started once, and the probe's exit on a fatal socket failure.
#include "probe/socket_layer.h"

void StartSocketLayer() {
    static bool started = false;
    if (started)
        return;
    WSADATA data;
    if (::WSAStartup(0x0102, &data) != 0)
        EndProcessOnSocketFailure();
    started = true;
}

void EndProcessOnSocketFailure() {
    ::ExitProcess(PROBE_EXIT_CODE);
}
