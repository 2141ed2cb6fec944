// Winsock started once.
#include "probe/socket_layer.h"

bool StartSocketLayer() {
    static bool started = false;
    if (!started) {
        WSADATA data;
        started = ::WSAStartup(0x0102, &data) == 0;
    }
    return started;
}
