// The program's entry point and its one application object.
#include "app/watch_app.h"

#include <cstdlib>

CWatchApp theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return AfxWinMain(instance);
}

#if defined(__GLIBCXX__)
// A program that ends in std::terminate ends at once: it has no console to print the name of an
// uncaught exception to. Taking the place of the library's verbose handler leaves its name
// demangler (about 45 KB) out of the program.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
} // namespace __gnu_cxx
#endif
