// The end-to-end test driver: a small Windows console program, run in the same Wine prefix as
// tarnwell.exe, that finds Tarnwell's watch window and reads or drives it, and reads or writes
// the settings section in the registry.
//
//   tarnwell_driver wait-window MS              wait until the watch window exists
//   tarnwell_driver text ID                     print a control's text
//   tarnwell_driver wait-text ID TEXT MS        wait until a control shows TEXT (TEXT* for a
//                                               start); prints the ms waited and the
//                                               wall-clock time (Unix seconds)
//   tarnwell_driver wait-change ID OLD MS       wait until a control's text differs from OLD;
//                                               prints the new text
//   tarnwell_driver info                        print the client size in pixels and in dialog
//                                               units, what 215 x 33 units map to, visibility
//                                               and topmost
//   tarnwell_driver rect                        print the window's screen rectangle
//   tarnwell_driver wait-visible 0|1 MS         wait until the window is hidden (0) or shown (1)
//   tarnwell_driver never-shown MS HOLD         wait up to MS for the watch window, then poll it
//                                               for HOLD ms; fails if it was ever visible;
//                                               prints "ready" first, then the poll counts
//   tarnwell_driver find-window CAPTION         print how many top-level windows have CAPTION;
//                                               exit code 0 when there is one at least
//   tarnwell_driver history CAPTION MS          wait until the History window captioned CAPTION
//                                               shows, then print its figures (one line), its
//                                               events (one line each, newest first) and how
//                                               many pixels of its picture on the screen have
//                                               the answered checks' and the lost checks' colour
//   tarnwell_driver save-as CAPTION PATH MS     press Save as... in the window captioned
//                                               CAPTION, type PATH in its file dialog, save
//   tarnwell_driver set-text ID TEXT            set a control's text
//   tarnwell_driver key ID VK                   post a key press to a control (0: the window)
//   tarnwell_driver command ID                  send a button click command to the window
//   tarnwell_driver click CAPTION ID            post a button click to the top-level window
//                                               captioned CAPTION (a dialog the program opened)
//   tarnwell_driver close                       send a close request
//   tarnwell_driver post MSG WPARAM LPARAM      post a message to the window (the tray icon's
//                                               click is "post 1125 0 0x201")
//   tarnwell_driver pointer X Y                 move the mouse pointer to screen point X, Y
//   tarnwell_driver menu-key KEY MS            wait for a shown pop-up menu (the tray menu),
//                                               press KEY in it (a mnemonic letter, or
//                                               "escape") and wait until it has closed
//   tarnwell_driver balloon 1|0 MS             wait until a balloon of the notification
//                                               area is shown (1) or none is (0)
//   tarnwell_driver registry APPNAME            print the settings section's values and types
//   tarnwell_driver reg-value KEY NAME          print a value of HKEY_CURRENT_USER\KEY: a text
//                                               as it is (UTF-8), a number, bytes in hex;
//                                               "missing"
//   tarnwell_driver clear-settings              delete every program's settings
//   tarnwell_driver set-dword APPNAME NAME N [NAME N]...       store REG_DWORD settings
//   tarnwell_driver set-string APPNAME NAME TEXT [NAME TEXT]... store REG_SZ settings
//   tarnwell_driver resources                   print the watch window's process id and its
//                                               GDI, USER and handle counts and memory, each
//                                               value or "unsupported"
//   tarnwell_driver options-cycle COUNT MS      COUNT times: open the Options dialog with the
//                                               Options button, wait until it shows, cancel it
//                                               and wait until it is gone (MS per wait); prints
//                                               the count done and the mean and longest times
//   tarnwell_driver options-period TEXT MS      open Options, type TEXT as the period, press
//                                               OK and wait until it is gone (MS per wait)
//   tarnwell_driver options-check ID 0|1 MS [cancel]  the same with check box ID: prints the
//                                               state it showed, then clears or checks it
//                                               (and presses Cancel instead of OK)
//   tarnwell_driver follow-text ID MS           for MS ms, print "<Unix seconds> <text>" each
//                                               time a control's text changes (the first line
//                                               is the text at the start)
//   tarnwell_driver stalls MS [LIMIT]           for MS ms, every 100 ms, time how long the
//                                               window takes to answer WM_NULL; prints the
//                                               samples, the worst and mean times, how many
//                                               took over 50 ms and the share of the time the
//                                               window kept us waiting; with LIMIT, fails when
//                                               an answer took longer than LIMIT ms
//
// Exit code 0 on success, 1 on a failed wait or a missing window, 2 on bad arguments.
#include "history/history_picture.h"
#include "res/resource.h"

#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Where the settings of every copy of the program live: the registry-key text is taken as a
// relative path below HKCU\Software, so it starts with a key literally named HKEY_CURRENT_USER.
const char* const SETTINGS_ROOT = "Software\\HKEY_CURRENT_USER";

std::string SettingsPath(const char* appName) {
    return std::string(SETTINGS_ROOT) + "\\Software\\Larkspindle\\Tarnwell\\" + appName +
           "\\Settings";
}

std::string ClassOf(HWND hwnd) {
    char name[64] = {};
    ::GetClassNameA(hwnd, name, sizeof(name));
    return name;
}

std::string TitleOf(HWND hwnd) {
    char title[256] = {};
    ::GetWindowTextA(hwnd, title, sizeof(title));
    return title;
}

// The top-level windows for which `match` holds, in Z order.
template <class Match> std::vector<HWND> TopLevelWindows(Match match) {
    std::vector<HWND> all;
    ::EnumWindows(
        [](HWND hwnd, LPARAM list) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&all));
    std::vector<HWND> found;
    for (HWND hwnd : all)
        if (match(hwnd))
            found.push_back(hwnd);
    return found;
}

template <class Match> HWND FirstWindow(Match match) {
    const std::vector<HWND> found = TopLevelWindows(match);
    return found.empty() ? nullptr : found.front();
}

// The watch window is the dialog captioned "Tarnwell" that has a host field.
HWND FindWatchWindow() {
    return FirstWindow([](HWND hwnd) {
        return ClassOf(hwnd) == "#32770" && TitleOf(hwnd) == "Tarnwell" &&
               ::GetDlgItem(hwnd, 1001) != nullptr;
    });
}

// A shown top-level window of the class (with the balloon style when asked), a dialog of the
// process captioned so, a visible dialog owned by the window: null when there is none.
HWND FindShownWindow(const char* className, bool balloon) {
    constexpr LONG BALLOON_STYLE = 0x40; // TTS_BALLOON
    return FirstWindow([&](HWND hwnd) {
        return ClassOf(hwnd) == className && ::IsWindowVisible(hwnd) &&
               (!balloon || (::GetWindowLongA(hwnd, GWL_STYLE) & BALLOON_STYLE));
    });
}

HWND FindProcessDialog(DWORD processId, const char* caption) {
    return FirstWindow([&](HWND hwnd) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(hwnd, &owner);
        return owner == processId && ClassOf(hwnd) == "#32770" && TitleOf(hwnd) == caption;
    });
}

HWND FindOwnedDialog(HWND window) {
    return FirstWindow([&](HWND hwnd) {
        return ClassOf(hwnd) == "#32770" && ::GetWindow(hwnd, GW_OWNER) == window &&
               ::IsWindowVisible(hwnd);
    });
}

// Posts a button's click to its window, as the button itself would send it.
void PostClick(HWND window, int id) {
    ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(window, id)));
}

std::string TextOf(HWND hwnd) {
    // WM_GETTEXT works across processes, where GetWindowText does not for controls.
    const LRESULT length = ::SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0);
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    ::SendMessageA(hwnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    return std::string(buffer.data());
}

HWND Control(HWND window, int id) {
    return id == 0 ? window : ::GetDlgItem(window, id);
}

template <class Condition> bool WaitFor(DWORD timeoutMs, Condition condition) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (::GetTickCount() - start >= timeoutMs)
            return false;
        ::Sleep(20);
    }
}

// Presses Save as... in the window, types the path into its file dialog and saves.
int SaveAs(const char* caption, const char* path, DWORD timeoutMs) {
    HWND window = ::FindWindowA(nullptr, caption), dialog = nullptr;
    if (window == nullptr)
        return 1;
    PostClick(window, IDC_HISTORY_SAVE);
    if (!WaitFor(timeoutMs, [&] { return (dialog = FindOwnedDialog(window)) != nullptr; }))
        return 1;
    ::Sleep(300);
    // The file name: the edit inside the combo box cmb13 (1148), or an edit of its own (edt1).
    HWND name = nullptr;
    ::EnumChildWindows(
        dialog,
        [](HWND child, LPARAM found) -> BOOL {
            char kind[16] = {};
            ::GetClassNameA(child, kind, sizeof kind);
            const int id = ::GetDlgCtrlID(child);
            if (std::strcmp(kind, "Edit") != 0 || (id != 1148 && id != 1152))
                return TRUE;
            *reinterpret_cast<HWND*>(found) = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&name));
    if (name == nullptr || !::SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path)))
        return 1;
    PostClick(dialog, IDOK);
    return WaitFor(timeoutMs, [&] { return FindOwnedDialog(window) == nullptr; }) ? 0 : 1;
}

// The History window's texts and how its picture looks on the screen.
int PrintHistory(const char* caption, DWORD timeoutMs) {
    HWND window = nullptr;
    if (!WaitFor(timeoutMs, [&] {
            window = ::FindWindowA(nullptr, caption);
            return window != nullptr && ::IsWindowVisible(window);
        }))
        return 1;
    ::Sleep(500); // its first paint
    std::string figures = TextOf(::GetDlgItem(window, IDC_HISTORY_FIGURES));
    for (std::size_t at; (at = figures.find("\r\n")) != std::string::npos;)
        figures.replace(at, 2, " | ");
    std::printf("figures: %s\n", figures.c_str());
    HWND list = ::GetDlgItem(window, IDC_HISTORY_EVENTS);
    const LRESULT count = ::SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        // Wide: Wine hands another process a list box's text in UTF-16 whatever was asked.
        wchar_t wide[256] = {}; // the events are short lines
        if (::SendMessageW(list, LB_GETTEXTLEN, i, 0) < 256)
            ::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide));
        char line[256] = {};
        ::WideCharToMultiByte(CP_ACP, 0, wide, -1, line, sizeof(line) - 1, nullptr, nullptr);
        std::printf("event: %s\n", line);
    }
    // What the screen shows of the picture, copied and read here.
    RECT r;
    ::GetWindowRect(::GetDlgItem(window, IDC_HISTORY_PICTURE), &r);
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, r.right - r.left, r.bottom - r.top);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, r.right - r.left, r.bottom - r.top, screen, r.left, r.top, SRCCOPY);
    int answered = 0;
    int lost = 0;
    for (int y = 0; y < r.bottom - r.top; ++y) {
        for (int x = 0; x < r.right - r.left; ++x) {
            answered += ::GetPixel(memory, x, y) == HISTORY_ANSWER_COLOR;
            lost += ::GetPixel(memory, x, y) == HISTORY_LOST_COLOR;
        }
    }
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    std::printf("answered-pixels: %d\nlost-pixels: %d\n", answered, lost);
    return 0;
}

// Wall-clock seconds since 1970, to set beside the times the shell script takes with date.
double UnixSeconds() {
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    const ULONGLONG ticks = (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    const ULONGLONG fromWindowsEpochTo1970 = 116444736000000000ULL;
    return static_cast<double>(ticks - fromWindowsEpochTo1970) / 1e7;
}

// What a rectangle in dialog units covers in pixels with the watch window's font. MapDialogRect
// works only on dialogs of the calling process, so the driver makes a hidden dialog of its own
// with the same font (8-point MS Sans Serif) and maps with that.
bool MapWithDialogFont(RECT& rect) {
    alignas(4) WORD buffer[64] = {};
    auto* header = reinterpret_cast<DLGTEMPLATE*>(buffer);
    header->style = DS_SETFONT | WS_POPUP;
    header->cx = 10;
    header->cy = 10;
    WORD* next = reinterpret_cast<WORD*>(header + 1);
    *next++ = 0; // no menu
    *next++ = 0; // the standard dialog class
    *next++ = 0; // no caption
    *next++ = 8; // point size
    for (const char* face = "MS Sans Serif"; *face != '\0'; ++face)
        *next++ = static_cast<WORD>(*face);
    *next++ = 0;
    HWND dialog = ::CreateDialogIndirectParamA(
        ::GetModuleHandleA(nullptr), header, nullptr,
        [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    if (dialog == nullptr)
        return false;
    const BOOL mapped = ::MapDialogRect(dialog, &rect);
    ::DestroyWindow(dialog);
    return mapped != FALSE;
}

int PrintInfo(HWND window) {
    RECT client = {};
    ::GetClientRect(window, &client);
    RECT base = {0, 0, 4, 8};
    RECT wanted = {0, 0, 215, 33};
    if (!MapWithDialogFont(base) || !MapWithDialogFont(wanted) || base.right <= 0 ||
        base.bottom <= 0) {
        std::fprintf(stderr, "cannot map dialog units\n");
        return 1;
    }
    const LONG_PTR exStyle = ::GetWindowLongPtrA(window, GWL_EXSTYLE);
    std::printf("client %ld %ld\n", client.right, client.bottom);
    std::printf("units %d %d\n", ::MulDiv(client.right, 4, base.right),
                ::MulDiv(client.bottom, 8, base.bottom));
    std::printf("mapped 215 33 %ld %ld\n", wanted.right, wanted.bottom);
    std::printf("visible %d\n", ::IsWindowVisible(window) ? 1 : 0);
    std::printf("topmost %d\n", (exStyle & WS_EX_TOPMOST) ? 1 : 0);
    return 0;
}

// Polls the watch window's visibility from before it exists until HOLD ms after it appeared.
// Wine reports no show events to other processes, so the caller adds a check of its own (the
// X server's map notifications) for a show shorter than one poll.
int NeverShown(DWORD waitMs, DWORD holdMs) {
    std::printf("ready\n");
    std::fflush(stdout);
    const DWORD start = ::GetTickCount();
    HWND window = nullptr;
    DWORD foundAt = 0;
    int polls = 0;
    int visiblePolls = 0;
    for (;;) {
        if (window == nullptr) {
            window = FindWatchWindow();
            foundAt = ::GetTickCount();
            if (window == nullptr && foundAt - start >= waitMs)
                break;
        }
        if (window != nullptr) {
            ++polls;
            if (::IsWindowVisible(window))
                ++visiblePolls;
            if (::GetTickCount() - foundAt >= holdMs)
                break;
        }
        ::Sleep(1);
    }
    if (window == nullptr) {
        std::printf("no window\n");
        return 1;
    }
    std::printf("polls %d visible %d\n", polls, visiblePolls);
    return visiblePolls == 0 ? 0 : 1;
}

// A value as the scripts read it: a text as it is (UTF-8), a number, bytes in hex.
std::string ValueText(DWORD type, const BYTE* data, DWORD size) {
    DWORD number = 0;
    if (type == REG_SZ)
        return reinterpret_cast<const char*>(data);
    if (type == REG_DWORD && size == sizeof(number)) {
        std::memcpy(&number, data, sizeof(number));
        return std::to_string(number);
    }
    std::string hex;
    for (DWORD i = 0; i < size; ++i) {
        char digits[3];
        std::snprintf(digits, sizeof(digits), "%02x", data[i]);
        hex += digits;
    }
    return hex;
}

int PrintRegistry(const char* appName) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, SettingsPath(appName).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        std::printf("no key\n");
        return 1;
    }
    for (DWORD index = 0;; ++index) {
        char name[256] = {};
        DWORD nameLength = sizeof(name);
        DWORD type = 0;
        // One byte more than the query may fill, so that a text always ends in a zero.
        BYTE data[4097] = {};
        DWORD dataLength = sizeof(data) - 1;
        if (::RegEnumValueA(key, index, name, &nameLength, nullptr, &type, data, &dataLength) !=
            ERROR_SUCCESS)
            break;
        const std::string kind = type == REG_SZ ? "REG_SZ"
                                 : type == REG_DWORD && dataLength == sizeof(DWORD)
                                     ? "REG_DWORD"
                                     : "TYPE" + std::to_string(type);
        std::printf("%s %s %s\n", name, kind.c_str(), ValueText(type, data, dataLength).c_str());
    }
    ::RegCloseKey(key);
    return 0;
}

int PrintValue(const char* keyPath, const char* name) {
    BYTE data[4097] = {};
    DWORD size = sizeof(data) - 1, type = 0;
    if (::RegGetValueA(HKEY_CURRENT_USER, keyPath, name,
                       RRF_RT_REG_SZ | RRF_RT_REG_BINARY | RRF_RT_REG_DWORD, &type, data,
                       &size) != ERROR_SUCCESS) {
        std::printf("missing\n");
        return 1;
    }
    std::printf("%s\n", ValueText(type, data, size).c_str());
    return 0;
}

// Stores NAME VALUE pairs as values of one program's settings section.
int StoreSettings(const char* appName, char** pairs, int count, bool asText) {
    if (count <= 0 || count % 2 != 0)
        return 2;
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, SettingsPath(appName).c_str(), 0, nullptr, 0,
                          KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        std::fprintf(stderr, "cannot create the settings key\n");
        return 1;
    }
    LONG result = ERROR_SUCCESS;
    for (int i = 0; i + 1 < count && result == ERROR_SUCCESS; i += 2) {
        if (asText) {
            const char* text = pairs[i + 1];
            result = ::RegSetValueExA(key, pairs[i], 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                      static_cast<DWORD>(std::strlen(text) + 1));
        } else {
            const DWORD value = static_cast<DWORD>(std::strtoul(pairs[i + 1], nullptr, 0));
            result = ::RegSetValueExA(key, pairs[i], 0, REG_DWORD,
                                      reinterpret_cast<const BYTE*>(&value), sizeof(value));
        }
    }
    ::RegCloseKey(key);
    return result == ERROR_SUCCESS ? 0 : 1;
}

int ClearSettings() {
    const LONG result = ::RegDeleteTreeA(HKEY_CURRENT_USER, SETTINGS_ROOT);
    return (result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND) ? 0 : 1;
}

// GetGuiResources and GetProcessHandleCount may be missing from an emulation layer, which then
// answers 0: a process that owns a dialog always holds GDI and USER objects and handles, so 0
// is reported as unsupported rather than as a count.
void PrintCount(const char* name, DWORD count) {
    if (count == 0)
        std::printf("%s unsupported\n", name);
    else
        std::printf("%s %lu\n", name, static_cast<unsigned long>(count));
}

int PrintResources(HWND window) {
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    std::printf("pid %lu\n", static_cast<unsigned long>(processId));
    HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (process == nullptr)
        process = ::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId);
    if (process == nullptr) {
        std::fprintf(stderr, "cannot open process %lu (error %lu)\n",
                     static_cast<unsigned long>(processId),
                     static_cast<unsigned long>(::GetLastError()));
        return 1;
    }
    PrintCount("gdi", ::GetGuiResources(process, GR_GDIOBJECTS));
    PrintCount("user", ::GetGuiResources(process, GR_USEROBJECTS));
    DWORD handles = 0;
    PrintCount("handles", ::GetProcessHandleCount(process, &handles) ? handles : 0);
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof(memory);
    if (::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                               sizeof(memory)) &&
        memory.WorkingSetSize != 0) {
        std::printf("working-set-kb %llu\n",
                    static_cast<unsigned long long>(memory.WorkingSetSize / 1024));
        std::printf("private-kb %llu\n",
                    static_cast<unsigned long long>(memory.PrivateUsage / 1024));
    } else {
        std::printf("working-set-kb unsupported\nprivate-kb unsupported\n");
    }
    ::CloseHandle(process);
    return 0;
}

// Opens Options with the watch window's button, lets `edit` change it and closes it with BUTTON
// (IDOK or IDCANCEL), as a user would; true once it has gone and the window is enabled again.
template <class Edit> bool RunOptions(HWND window, DWORD waitMs, int button, Edit edit) {
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    PostClick(window, 1004); // the Options button
    HWND dialog = nullptr;
    if (!WaitFor(waitMs, [&] {
            dialog = FindProcessDialog(processId, "Options");
            return dialog != nullptr && ::IsWindowVisible(dialog);
        })) {
        std::fprintf(stderr, "no Options dialog within %lu ms\n",
                     static_cast<unsigned long>(waitMs));
        return false;
    }
    edit(dialog);
    PostClick(dialog, button);
    // The watch window is enabled again once the modal run has ended.
    if (WaitFor(waitMs, [&] { return !::IsWindow(dialog) && ::IsWindowEnabled(window); }))
        return true;
    std::fprintf(stderr, "the Options dialog did not close within %lu ms\n",
                 static_cast<unsigned long>(waitMs));
    return false;
}

// Opens and cancels the Options dialog COUNT times, as a user clicking Options then Cancel.
int CycleOptions(HWND window, long count, DWORD waitMs) {
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    if (FindProcessDialog(processId, "Options") != nullptr) {
        std::fprintf(stderr, "an Options dialog is already open\n");
        return 1;
    }
    DWORD longest = 0;
    ULONGLONG total = 0;
    long done = 0;
    for (; done < count; ++done) {
        const DWORD start = ::GetTickCount();
        if (!RunOptions(window, waitMs, IDCANCEL, [](HWND) {}))
            break;
        const DWORD took = ::GetTickCount() - start;
        total += took;
        if (took > longest)
            longest = took;
    }
    std::printf("cycles %ld mean-ms %.1f longest-ms %lu\n", done,
                done > 0 ? static_cast<double>(total) / static_cast<double>(done) : 0.0,
                static_cast<unsigned long>(longest));
    return done == count ? 0 : 1;
}

// Prints a control's text with the time whenever it changes, until MS have passed or the
// window is gone.
int FollowText(HWND window, HWND control, DWORD durationMs) {
    const DWORD start = ::GetTickCount();
    std::string last;
    bool first = true;
    while (::GetTickCount() - start < durationMs && ::IsWindow(window)) {
        const std::string text = TextOf(control);
        if (first || text != last) {
            std::printf("%.3f %s\n", UnixSeconds(), text.c_str());
            std::fflush(stdout);
            last = text;
            first = false;
        }
        ::Sleep(25);
    }
    return 0;
}

// Measures how long the window's thread keeps a caller waiting, from outside its process: a
// stalled thread answers a sent message only when it gets back to its message loop.
int MeasureStalls(HWND window, DWORD durationMs, DWORD limitMs) {
    const DWORD intervalMs = 100;
    LARGE_INTEGER frequency;
    LARGE_INTEGER begin;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&begin);
    auto elapsedMs = [&] {
        LARGE_INTEGER now;
        ::QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart - begin.QuadPart) * 1000.0 /
               static_cast<double>(frequency.QuadPart);
    };
    long samples = 0;
    long over50 = 0;
    double worst = 0;
    double total = 0;
    bool answered = true;
    while (elapsedMs() < durationMs) {
        const double sentAt = elapsedMs();
        DWORD_PTR result = 0;
        answered = ::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 120000, &result) != 0;
        if (!answered)
            break;
        const double took = elapsedMs() - sentAt;
        ++samples;
        total += took;
        if (took > worst)
            worst = took;
        if (took > 50)
            ++over50;
        const double next = static_cast<double>(samples) * intervalMs;
        const double now = elapsedMs();
        if (next > now)
            ::Sleep(static_cast<DWORD>(next - now));
    }
    const double elapsed = elapsedMs();
    std::printf("samples %ld worst-ms %.0f mean-ms %.1f over-50ms %ld blocked-pct %.1f\n", samples,
                worst, samples > 0 ? total / static_cast<double>(samples) : 0.0, over50,
                elapsed > 0 ? total * 100.0 / elapsed : 0.0);
    if (!answered) {
        std::fprintf(stderr, "the window went away or stopped answering\n");
        return 1;
    }
    return limitMs != 0 && worst > limitMs ? 1 : 0;
}

int PressInMenu(const std::string& key, DWORD timeoutMs) {
    HWND menu = nullptr;
    if (!WaitFor(timeoutMs, [&] { return (menu = FindShownWindow("#32768", false)) != nullptr; })) {
        std::fprintf(stderr, "no menu\n");
        return 1;
    }
    if (key == "escape")
        ::PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    else
        ::PostMessageA(menu, WM_CHAR, static_cast<WPARAM>(key.empty() ? 0 : key[0]), 0);
    return WaitFor(timeoutMs, [] { return FindShownWindow("#32768", false) == nullptr; }) ? 0 : 1;
}

int Usage() {
    std::fprintf(stderr, "usage: tarnwell_driver COMMAND ARGS (see the source)\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return Usage();
    const std::string command = argv[1];
    auto arg = [&](int i) -> const char* { return i < argc ? argv[i] : ""; };
    auto number = [&](int i) { return std::strtol(arg(i), nullptr, 0); };
    auto milliseconds = [&](int i) { return static_cast<DWORD>(number(i)); };
    auto code = [](bool ok) { return ok ? 0 : 1; };

    if (command == "registry")
        return argc < 3 ? Usage() : PrintRegistry(arg(2));
    if (command == "reg-value")
        return argc < 4 ? Usage() : PrintValue(arg(2), arg(3));
    if (command == "clear-settings")
        return ClearSettings();
    if (command == "set-dword" || command == "set-string") {
        if (argc < 5)
            return Usage();
        return StoreSettings(arg(2), argv + 3, argc - 3, command == "set-string");
    }
    if (command == "find-window") {
        const std::size_t count =
            TopLevelWindows([&](HWND hwnd) { return TitleOf(hwnd) == arg(2); }).size();
        std::printf("%zu\n", count);
        return count > 0 ? 0 : 1;
    }
    if (command == "click") {
        HWND dialog = ::FindWindowA(nullptr, arg(2));
        if (dialog != nullptr)
            PostClick(dialog, static_cast<int>(number(3)));
        return dialog != nullptr ? 0 : 1;
    }
    if (command == "history")
        return PrintHistory(arg(2), milliseconds(3));
    if (command == "never-shown")
        return NeverShown(milliseconds(2), milliseconds(3));
    if (command == "wait-window")
        return code(WaitFor(milliseconds(2), [] { return FindWatchWindow() != nullptr; }));

    if (command == "menu-key")
        return argc < 4 ? Usage() : PressInMenu(arg(2), milliseconds(3));
    if (command == "balloon")
        return code(WaitFor(milliseconds(3), [&] {
            return (FindShownWindow("tooltips_class32", true) != nullptr) == (number(2) != 0);
        }));

    if (command == "pointer")
        return argc < 4
                   ? Usage()
                   : code(::SetCursorPos(static_cast<int>(number(2)), static_cast<int>(number(3))));

    HWND window = FindWatchWindow();
    if (window == nullptr) {
        std::fprintf(stderr, "no Tarnwell window\n");
        return 1;
    }
    auto control = [&](int i) { return Control(window, static_cast<int>(number(i))); };
    if (command == "text") {
        std::printf("%s\n", TextOf(control(2)).c_str());
        return 0;
    }
    if (command == "wait-text" || command == "wait-change") {
        const std::string given = arg(3);
        const bool change = command == "wait-change";
        const bool prefix = !change && !given.empty() && given.back() == '*';
        const std::string stem = prefix ? given.substr(0, given.size() - 1) : given;
        const DWORD start = ::GetTickCount();
        std::string text;
        const bool seen = WaitFor(milliseconds(4), [&] {
            text = TextOf(control(2));
            return change ? text != given : prefix ? text.rfind(stem, 0) == 0 : text == given;
        });
        if (change)
            std::printf("%s\n", text.c_str());
        else
            std::printf("%lu %.3f\n", static_cast<unsigned long>(::GetTickCount() - start),
                        UnixSeconds());
        if (!seen && !change)
            std::fprintf(stderr, "text is \"%s\"\n", text.c_str());
        return code(seen);
    }
    if (command == "info")
        return PrintInfo(window);
    if (command == "rect") {
        RECT rect = {};
        ::GetWindowRect(window, &rect);
        std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
        return 0;
    }
    if (command == "wait-visible")
        return code(WaitFor(milliseconds(3), [&] {
            return (::IsWindowVisible(window) != FALSE) == (number(2) != 0);
        }));
    if (command == "save-as")
        return argc < 5 ? Usage() : SaveAs(arg(2), arg(3), milliseconds(4));
    if (command == "set-text") {
        ::SendMessageA(control(2), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(arg(3)));
        return 0;
    }
    if (command == "key") {
        const WPARAM key = static_cast<WPARAM>(number(3));
        ::PostMessageA(control(2), WM_KEYDOWN, key, 1);
        ::PostMessageA(control(2), WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
        return 0;
    }
    if (command == "command") {
        PostClick(window, static_cast<int>(number(2)));
        return 0;
    }
    if (command == "resources")
        return PrintResources(window);
    if (command == "options-cycle")
        return argc < 4 ? Usage() : CycleOptions(window, number(2), milliseconds(3));
    if (command == "options-period" || command == "options-check") {
        const bool period = command == "options-period";
        if (argc < (period ? 4 : 5))
            return Usage();
        const int button = std::strcmp(arg(5), "cancel") == 0 ? IDCANCEL : IDOK;
        return code(RunOptions(window, milliseconds(period ? 3 : 4), button, [&](HWND dialog) {
            const int box = static_cast<int>(number(2));
            if (period) {
                ::SetDlgItemTextA(dialog, 1005, arg(2));
                return;
            }
            std::printf("%d\n", ::IsDlgButtonChecked(dialog, box));
            ::CheckDlgButton(dialog, box, static_cast<UINT>(number(3)));
        }));
    }
    if (command == "follow-text")
        return argc < 4 ? Usage() : FollowText(window, control(2), milliseconds(3));
    if (command == "stalls")
        return argc < 3 ? Usage() : MeasureStalls(window, milliseconds(2), milliseconds(3));
    if (command == "post") {
        if (argc < 5)
            return Usage();
        const auto value = [&](int i) { return std::strtoll(arg(i), nullptr, 0); };
        return code(::PostMessageA(window, static_cast<UINT>(value(2)),
                                   static_cast<WPARAM>(value(3)), static_cast<LPARAM>(value(4))));
    }
    if (command == "close")
        return code(::PostMessageA(window, WM_CLOSE, 0, 0));
    return Usage();
}
