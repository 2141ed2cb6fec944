// The program's entry point and its one application object.
#include "app/watch_app.h"

CWatchApp theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return AfxWinMain(instance);
}
