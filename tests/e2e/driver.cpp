// The end-to-end test driver: a small Windows console program, run in the same Wine prefix as
// tarnwell.exe, that finds Tarnwell's watch window and reads or drives it.
//
//   tarnwell_driver wait-window MS              wait until the watch window exists
//   tarnwell_driver wait-gone MS                wait until no watch window exists
//   tarnwell_driver text ID                     print a control's text
//   tarnwell_driver wait-text ID TEXT MS        wait until a control shows TEXT; prints the ms
//   tarnwell_driver info                        print size in dialog units, visibility, topmost
//   tarnwell_driver wait-visible 0|1 MS         wait until the window is hidden (0) or shown (1)
//   tarnwell_driver set-text ID TEXT            set a control's text
//   tarnwell_driver key ID VK                   post a key press to a control (0: the window)
//   tarnwell_driver command ID                  send a button click command to the window
//   tarnwell_driver close                       send a close request
//   tarnwell_driver registry APPNAME            print the settings section's values and types
//
// Exit code 0 on success, 1 on a failed wait or a missing window, 2 on bad arguments.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

HWND FindWatchWindow() {
    struct Search {
        HWND found = nullptr;
    } search;
    ::EnumWindows(
        [](HWND hwnd, LPARAM param) -> BOOL {
            char className[64] = {};
            char title[64] = {};
            ::GetClassNameA(hwnd, className, sizeof(className));
            ::GetWindowTextA(hwnd, title, sizeof(title));
            // The watch window is the dialog captioned "Tarnwell" that has a host field.
            if (std::strcmp(className, "#32770") == 0 && std::strcmp(title, "Tarnwell") == 0 &&
                ::GetDlgItem(hwnd, 1001) != nullptr) {
                reinterpret_cast<Search*>(param)->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string TextOf(HWND hwnd) {
    // WM_GETTEXT works across processes, where GetWindowText does not for controls.
    const LRESULT length = ::SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0);
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    ::SendMessageA(hwnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    return std::string(buffer.data());
}

HWND Control(HWND window, int id) { return id == 0 ? window : ::GetDlgItem(window, id); }

template <class Condition> bool WaitFor(DWORD timeoutMs, Condition condition) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (::GetTickCount() - start >= timeoutMs)
            return false;
        ::Sleep(50);
    }
}

int Usage() {
    std::fprintf(stderr, "usage: tarnwell_driver COMMAND ARGS (see the source)\n");
    return 2;
}

int PrintRegistry(const char* appName) {
    const std::string path = std::string("Software\\HKEY_CURRENT_USER\\Software\\Larkspindle\\"
                                         "Tarnwell\\") +
                             appName + "\\Settings";
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        std::printf("no key\n");
        return 1;
    }
    for (DWORD index = 0;; ++index) {
        char name[256] = {};
        DWORD nameLength = sizeof(name);
        DWORD type = 0;
        BYTE data[4096] = {};
        DWORD dataLength = sizeof(data);
        if (::RegEnumValueA(key, index, name, &nameLength, nullptr, &type, data, &dataLength) !=
            ERROR_SUCCESS)
            break;
        if (type == REG_DWORD) {
            DWORD value = 0;
            std::memcpy(&value, data, sizeof(value));
            std::printf("%s REG_DWORD %lu\n", name, static_cast<unsigned long>(value));
        } else if (type == REG_SZ) {
            std::printf("%s REG_SZ %s\n", name, reinterpret_cast<const char*>(data));
        } else {
            std::printf("%s TYPE%lu\n", name, static_cast<unsigned long>(type));
        }
    }
    ::RegCloseKey(key);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return Usage();
    const std::string command = argv[1];
    auto arg = [&](int i) -> const char* { return i < argc ? argv[i] : ""; };
    auto number = [&](int i) { return std::strtol(arg(i), nullptr, 0); };

    if (command == "registry")
        return argc < 3 ? Usage() : PrintRegistry(arg(2));
    if (command == "wait-window") {
        const bool found = WaitFor(static_cast<DWORD>(number(2)),
                                   [] { return FindWatchWindow() != nullptr; });
        return found ? 0 : 1;
    }
    if (command == "wait-gone") {
        const bool gone = WaitFor(static_cast<DWORD>(number(2)),
                                  [] { return FindWatchWindow() == nullptr; });
        return gone ? 0 : 1;
    }

    HWND window = FindWatchWindow();
    if (window == nullptr) {
        std::fprintf(stderr, "no Tarnwell window\n");
        return 1;
    }
    if (command == "text") {
        std::printf("%s\n", TextOf(Control(window, static_cast<int>(number(2)))).c_str());
        return 0;
    }
    if (command == "wait-text") {
        HWND control = Control(window, static_cast<int>(number(2)));
        const std::string wanted = arg(3);
        const DWORD start = ::GetTickCount();
        const bool seen = WaitFor(static_cast<DWORD>(number(4)),
                                  [&] { return TextOf(control) == wanted; });
        std::printf("%lu\n", static_cast<unsigned long>(::GetTickCount() - start));
        if (!seen)
            std::fprintf(stderr, "status is \"%s\"\n", TextOf(control).c_str());
        return seen ? 0 : 1;
    }
    if (command == "info") {
        RECT client = {};
        ::GetClientRect(window, &client);
        RECT units = {0, 0, 215, 33};
        ::MapDialogRect(window, &units);
        const LONG_PTR exStyle = ::GetWindowLongPtrA(window, GWL_EXSTYLE);
        std::printf("client %ld %ld\n", client.right, client.bottom);
        std::printf("units %ld %ld\n", units.right, units.bottom);
        std::printf("visible %d\n", ::IsWindowVisible(window) ? 1 : 0);
        std::printf("topmost %d\n", (exStyle & WS_EX_TOPMOST) ? 1 : 0);
        return 0;
    }
    if (command == "wait-visible") {
        const bool wanted = number(2) != 0;
        const bool seen = WaitFor(static_cast<DWORD>(number(3)), [&] {
            return (::IsWindowVisible(window) != FALSE) == wanted;
        });
        return seen ? 0 : 1;
    }
    if (command == "set-text") {
        ::SendMessageA(Control(window, static_cast<int>(number(2))), WM_SETTEXT, 0,
                       reinterpret_cast<LPARAM>(arg(3)));
        return 0;
    }
    if (command == "key") {
        HWND target = Control(window, static_cast<int>(number(2)));
        const WPARAM key = static_cast<WPARAM>(number(3));
        ::PostMessageA(target, WM_KEYDOWN, key, 1);
        ::PostMessageA(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
        return 0;
    }
    if (command == "command") {
        const int id = static_cast<int>(number(2));
        ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(window, id)));
        return 0;
    }
    if (command == "close") {
        ::PostMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    }
    return Usage();
}
