// CWatchApp: the whole life of the process. It reads the settings into the watch window,
// runs that window modally, writes the settings back and ends.
#pragma once

#include "framework/win_app.h"

// The registry-key text; the framework creates it below HKEY_CURRENT_USER\Software as it
// stands, so its first level is a key literally named HKEY_CURRENT_USER. Settings of earlier
// runs live there.
extern const char* const TARNWELL_REGISTRY_KEY;

class CWatchApp : public CWinApp {
public:
    CWatchApp() = default;
    ~CWatchApp() override = default;

    BOOL InitInstance() override;

    static const MessageMap* ThisMessageMap();
    const MessageMap* GetMessageMap() const override { return ThisMessageMap(); }
};
