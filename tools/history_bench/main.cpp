// The History window's benchmark: a day of checks at a 1 s period (86,400, with lost runs,
// slow stretches and events), then the picture drawn again and again over them as the window
// draws it, at the window's first size and at the size of a large window at 200 % scaling, for
// the day's span and for ten minutes. Prints the time to record the checks, the memory the
// history holds (its own count and the process's working set) and the drawing times.
#include "framework/local_time.h"
#include "history/history_picture.h"

#include <windows.h>

#include <psapi.h>

#include <cstdio>

namespace {

double NowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The process's working set, MB.
double WorkingSetMb() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters));
    return static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0);
}

// A day of checks ending at `end`: mostly 1 to 40 ms, every hour a minute lost (a break and a
// make), and a slow afternoon.
void FillDay(CheckHistory& history, uint32_t end) {
    const uint32_t start = end - 86400u * 1000u;
    history.Start(start, "server.example", 10000); // the silence limit at a 1 s period
    bool alive = false;
    for (uint32_t k = 0; k < 86400; ++k) {
        const uint32_t sent = start + k * 1000;
        history.OnCheckSent(sent);
        if (k % 3600 >= 1800 && k % 3600 < 1860) {
            if (alive && k % 3600 == 1811) {
                history.OnEvent(sent, HistoryEventKind::Break);
                alive = false;
            }
            continue;
        }
        const uint32_t roundTrip = 1 + (k * 7919u) % 40 + (k > 50000 && k < 60000 ? 200 : 0);
        history.OnAnswer(sent + roundTrip, roundTrip);
        if (!alive) {
            history.OnEvent(sent + roundTrip, HistoryEventKind::Make);
            alive = true;
        }
    }
}

void TimeDrawing(const CheckHistory& history, uint32_t now, int width, int height, HistoryMs spanMs,
                 const char* what) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    const RECT area{0, 0, width, height};
    const int64_t utcNow = UtcNowMs();
    constexpr int DRAWS = 40;
    DrawHistoryPicture(dc, area, nullptr, history, spanMs, now, utcNow); // warm up
    double worst = 0;
    const double begin = NowMs();
    for (int i = 0; i < DRAWS; ++i) {
        const double one = NowMs();
        DrawHistoryPicture(dc, area, nullptr, history, spanMs, now, utcNow);
        const double took = NowMs() - one;
        worst = took > worst ? took : worst;
    }
    const double mean = (NowMs() - begin) / DRAWS;
    std::printf("draw %-26s %4d x %-4d  mean %6.2f ms  worst %6.2f ms\n", what, width, height, mean,
                worst);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    ::DeleteObject(bitmap);
}

} // namespace

int main() {
    const uint32_t now = ::GetTickCount();
    const double before = WorkingSetMb();
    static CheckHistory history;
    const double fillStart = NowMs();
    FillDay(history, now);
    const double fillMs = NowMs() - fillStart;
    const double after = WorkingSetMb();
    const CheckFigures figures = history.Figures(now);
    std::printf("checks recorded   %llu (%llu lost, %llu makes, %llu breaks) in %.1f ms\n",
                static_cast<unsigned long long>(figures.sent),
                static_cast<unsigned long long>(figures.lost),
                static_cast<unsigned long long>(figures.makes),
                static_cast<unsigned long long>(figures.breaks), fillMs);
    std::printf("memory held       %.0f KB by the history (%.1f bytes a check); process working "
                "set grew %.2f MB\n",
                static_cast<double>(history.MemoryBytes()) / 1024.0,
                static_cast<double>(history.MemoryBytes()) /
                    static_cast<double>(history.CheckCount()),
                after - before);
    // The same day again over the ring: the memory stays.
    FillDay(history, now);
    std::printf("after a second day %.0f KB held; process working set %+.2f MB since "
                "the first\n",
                static_cast<double>(history.MemoryBytes()) / 1024.0, WorkingSetMb() - after);
    // The picture of the window at its first size (100 %), and of a large window at 200 %.
    TimeDrawing(history, now, 600, 250, 86400000, "24 hours");
    TimeDrawing(history, now, 600, 250, 600000, "10 minutes");
    TimeDrawing(history, now, 2400, 1000, 86400000, "24 hours, a large window");
    TimeDrawing(history, now, 2400, 1000, 600000, "10 minutes, a large window");
    return 0;
}
