// CWatchApp: start-up, the modal run of the watch window, and shutdown.
#include "app/watch_app.h"

#include "watch/watch_dlg.h"

const char* const TARNWELL_REGISTRY_KEY = "HKEY_CURRENT_USER\\Software\\Larkspindle\\Tarnwell";

const MessageMap* CWatchApp::ThisMessageMap() {
    static constexpr MsgEntry entries[] = {
        msg::Command<&CWatchApp::OnHelp>(ID_HELP, 0),
    };
    static constexpr MessageMap map = MakeMessageMap(&CWinApp::ThisMessageMap, entries);
    return &map;
}

BOOL CWatchApp::InitInstance() {
    Enable3dControlsStatic();
    SetRegistryKey(TARNWELL_REGISTRY_KEY);

    {
        CWatchDlg dlg(nullptr);
        m_pMainWnd = &dlg;
        dlg.m_settings = LoadWatchSettings(*this);
        dlg.DoModal();
        SaveWatchSettings(*this, dlg.m_settings);
        m_pMainWnd = nullptr;
    }
    // No message loop of the application's own: the process ends here.
    return FALSE;
}
