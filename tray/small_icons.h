// The tray's icons, loaded from the program's resources at the size Windows asks for in the
// notification area: the small icon size, 16 pixels at 100 % scaling, 24 at 150 %, 32 at
// 200 %. Each resource is loaded once per size and destroyed with this object.
#pragma once

#include <windows.h>

#include <vector>

class CSmallIcons {
public:
    CSmallIcons() = default;
    ~CSmallIcons();
    CSmallIcons(const CSmallIcons&) = delete;
    CSmallIcons& operator=(const CSmallIcons&) = delete;

    // The icon resource at the size asked for now (LoadIconMetric where the system has it,
    // else the SM_CXSMICON x SM_CYSMICON image); null when the resource is missing. Icons of
    // a size asked for earlier are kept, since the shell may still show one of them.
    HICON Get(UINT resourceId);

private:
    struct Loaded {
        UINT resourceId;
        int size;
        HICON icon;
    };
    std::vector<Loaded> m_loaded;
};
