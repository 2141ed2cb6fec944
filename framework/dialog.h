// CDialog: a dialog built from a template resource, run modally by the framework's own loop
// on the calling thread. Modal runs nest; the outer windows' timers and messages go on.
#pragma once

#include "framework/wnd.h"

class CDataExchange;

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);

    // Runs the dialog until EndDialog or a quit request; returns IDOK (1), IDCANCEL (2) or
    // the value given to EndDialog, and -1 when a quit request or a failure ended the run.
    virtual INT_PTR DoModal();
    void EndDialog(int result);
    // Creates the dialog as a modeless window, hidden; the caller shows it. Its keyboard
    // navigation comes from PreTranslateMessage, which every framework loop calls.
    BOOL Create(CWnd* owner = nullptr);

    // Exchanges the members with the controls: true loads the members from the controls
    // (with validation), false loads the controls from the members.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    BOOL PreTranslateMessage(MSG* msg) override;

    static const MessageMap* ThisMessageMap();
    const MessageMap* GetMessageMap() const override { return ThisMessageMap(); }

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

protected:
    // Runs the data exchange into the controls; TRUE gives the focus to the first control.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange* dx);
    // IDOK: validates and ends the run with IDOK. IDCANCEL (Escape, close): ends with IDCANCEL.
    virtual void OnOK();
    virtual void OnCancel();

private:
    friend INT_PTR CALLBACK FrameworkDlgProc(HWND, UINT, WPARAM, LPARAM);
    HWND OwnerForModalRun() const;

    INT_PTR m_nModalResult = -1;
    bool m_bContinueModal = false;
};

INT_PTR CALLBACK FrameworkDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
