// CSmallIcons; see small_icons.h.
#include "tray/small_icons.h"

#include "framework/win_app.h"

namespace {

// comctl32's LoadIconMetric (Windows Vista and later), looked up once.
using LoadIconMetricFn = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, HICON*);
constexpr int LIM_SMALL_ICON = 0;

LoadIconMetricFn FindLoadIconMetric() {
    // The manifest makes this Common Controls 6, the version that has the function; the
    // library stays loaded for the process's life.
    HMODULE comctl = ::LoadLibraryA("comctl32.dll");
    if (comctl == nullptr)
        return nullptr;
    return reinterpret_cast<LoadIconMetricFn>(
        reinterpret_cast<void*>(::GetProcAddress(comctl, "LoadIconMetric")));
}

HICON LoadSmallIcon(UINT resourceId) {
    static const LoadIconMetricFn loadIconMetric = FindLoadIconMetric();
    HINSTANCE instance = AfxGetInstanceHandle();
    HICON icon = nullptr;
    if (loadIconMetric != nullptr &&
        SUCCEEDED(loadIconMetric(instance, MAKEINTRESOURCEW(resourceId), LIM_SMALL_ICON, &icon)))
        return icon;
    return static_cast<HICON>(::LoadImageA(instance, MAKEINTRESOURCEA(resourceId), IMAGE_ICON,
                                           ::GetSystemMetrics(SM_CXSMICON),
                                           ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
}

} // namespace

CSmallIcons::~CSmallIcons() {
    for (const Loaded& loaded : m_loaded)
        ::DestroyIcon(loaded.icon);
}

HICON CSmallIcons::Get(UINT resourceId) {
    const int size = ::GetSystemMetrics(SM_CXSMICON);
    for (const Loaded& loaded : m_loaded) {
        if (loaded.resourceId == resourceId && loaded.size == size)
            return loaded.icon;
    }
    HICON icon = LoadSmallIcon(resourceId);
    if (icon != nullptr)
        m_loaded.push_back({resourceId, size, icon});
    return icon;
}
