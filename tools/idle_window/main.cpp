// An empty Win32 program for the idle benchmark: one window and a message loop, nothing else,
// so that what Wine itself costs while a program waits can be set beside Tarnwell's figures.
//
//   tarnwell_idle_window           a plain window
//   tarnwell_idle_window caret     the same window with a focused edit field, whose caret blinks
#include <windows.h>

#include <cstring>

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "TarnwellIdleWindow";
    if (::RegisterClassA(&windowClass) == 0)
        return 1;
    HWND window = ::CreateWindowA(windowClass.lpszClassName, "Idle window", WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 320, 120, nullptr, nullptr,
                                  instance, nullptr);
    if (window == nullptr)
        return 1;
    if (commandLine != nullptr && std::strcmp(commandLine, "caret") == 0) {
        HWND edit = ::CreateWindowA("EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 280, 24,
                                    window, nullptr, instance, nullptr);
        ::SetFocus(edit);
    }
    ::ShowWindow(window, SW_SHOW);
    ::UpdateWindow(window);
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
