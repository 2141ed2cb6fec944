// Data exchange rules; see data_exchange.h.
#include "framework/data_exchange.h"

#include "framework/check_state.h"
#include "framework/win_app.h"

HWND CDataExchange::PrepareCtrl(int id) {
    HWND control = m_pDlgWnd != nullptr ? m_pDlgWnd->GetDlgItem(id) : nullptr;
    if (control == nullptr)
        m_bFailed = true;
    return control;
}

void CDataExchange::Fail(int id, const char* message) {
    m_bFailed = true;
    CWinApp* app = AfxGetApp();
    ::MessageBoxA(m_pDlgWnd->m_hWnd, message, app != nullptr ? app->m_strAppName.c_str() : "",
                  MB_OK | MB_ICONEXCLAMATION);
    if (HWND control = m_pDlgWnd->GetDlgItem(id)) {
        ::SetFocus(control);
        ::SendMessageA(control, EM_SETSEL, 0, -1);
    }
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (dx->m_bFailed || control.m_hWnd != nullptr)
        return;
    if (!control.SubclassDlgItem(static_cast<UINT>(id), dx->m_pDlgWnd))
        dx->m_bFailed = true;
}

void DDX_Check(CDataExchange* dx, int id, int32_t& value) {
    if (dx->m_bFailed)
        return;
    HWND control = dx->PrepareCtrl(id);
    if (control == nullptr)
        return;
    if (dx->m_bSaveAndValidate) {
        value = static_cast<int32_t>(::SendMessageA(control, BM_GETCHECK, 0, 0));
    } else {
        value = CheckStateToLoad(value);
        ::SendMessageA(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
    }
}

void DDX_Text(CDataExchange* dx, int id, std::string& value) {
    if (dx->m_bFailed)
        return;
    HWND control = dx->PrepareCtrl(id);
    if (control == nullptr)
        return;
    if (dx->m_bSaveAndValidate)
        value = WindowTextOf(control);
    else
        ::SetWindowTextA(control, value.c_str());
}
