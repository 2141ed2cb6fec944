// Data exchange between a dialog's members and its controls, run in either direction by
// CDialog::UpdateData. A failed validation shows its message, puts the focus back on the
// control and stops the exchange: no member after the failing one is read.
#pragma once

#include "framework/wnd.h"

#include <cstdint>
#include <string>

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}

    // The control's window; the exchange fails when the dialog has no such control.
    HWND PrepareCtrl(int id);
    // Reports a rejected text: message box, focus and selection on the control, stop.
    void Fail(int id, const char* message);

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    bool m_bFailed = false;
};

// Binds a member object to the dialog's control, unless it is bound already.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
// A check box: loading resets a member outside 0 to 2 to 0; saving stores 0, 1 or 2.
void DDX_Check(CDataExchange* dx, int id, int32_t& value);
// A text, whole, with no length limit and no check.
void DDX_Text(CDataExchange* dx, int id, std::string& value);
