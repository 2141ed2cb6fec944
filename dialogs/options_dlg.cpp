// COptionsDlg; see options_dlg.h.
#include "dialogs/options_dlg.h"

#include "dialogs/about_dlg.h"
#include "dialogs/action_dlg.h"
#include "dialogs/period_exchange.h"
#include "framework/data_exchange.h"

const MessageMap* COptionsDlg::ThisMessageMap() {
    static constexpr MsgEntry entries[] = {
        msg::Command<&COptionsDlg::OnMakeAction>(IDC_MAKE_ACTION),
        msg::Command<&COptionsDlg::OnBreakAction>(IDC_BREAK_ACTION),
        msg::Command<&COptionsDlg::OnSlowAction>(IDC_SLOW_ACTION),
        msg::Command<&COptionsDlg::OnAbout>(IDC_ABOUT),
    };
    static constexpr MessageMap map = MakeMessageMap(&CDialog::ThisMessageMap, entries);
    return &map;
}

void COptionsDlg::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_ABOUT, m_btnAbout);
    DDX_Control(dx, IDCANCEL, m_btnCancel);
    DDX_Control(dx, IDOK, m_btnOK);
    DDX_Check(dx, IDC_ALWAYS_ON_TOP, m_bAlwaysOnTop);
    DDX_Check(dx, IDC_CHECK_BREAK, m_bCheckBreak);
    DDX_PeriodField(dx, IDC_PERIOD, m_dwCheckFrequency);
    DDX_Check(dx, IDC_CHECK_MAKE, m_bCheckMake);
    DDX_Check(dx, IDC_HIDE, m_bHide);
    DDX_Check(dx, IDC_START_AT_SIGN_IN, m_bStartAtSignIn);
    // The thresholds take the period's rule: a whole number, 0 for off.
    DDX_PeriodField(dx, IDC_SLOW_ROUND_TRIP, m_dwSlowRoundTripMs);
    DDX_PeriodField(dx, IDC_SLOW_LOSS, m_dwSlowLossPercent);
    // More than 100 % can never be lost: refused, not kept as a rule that never holds.
    if (dx->m_bSaveAndValidate && !dx->m_bFailed && m_dwSlowLossPercent > MAX_SLOW_LOSS_PERCENT)
        dx->Fail(IDC_SLOW_LOSS, SLOW_LOSS_ERROR);
}

BOOL COptionsDlg::OnInitDialog() {
    m_btnOK.AttachAnim(IDOK, this, IDB_BUTTON_OK, 10, 4, 0);
    m_btnCancel.AttachAnim(IDCANCEL, this, IDB_BUTTON_CANCEL, 10, 4, 0);
    m_btnAbout.AttachAnim(IDC_ABOUT, this, IDB_BUTTON_ABOUT, 10, 4, 0);
    CDialog::OnInitDialog();
    return TRUE;
}

void COptionsDlg::OnAbout() {
    CAboutDlg about;
    about.DoModal();
}

void COptionsDlg::LoadFrom(const WatchSettings& settings) {
    PairWithSettings(settings, *this, [](const auto& setting, auto& member) { member = setting; });
}

void COptionsDlg::StoreTo(WatchSettings& settings) const {
    PairWithSettings(settings, *this, [](auto& setting, const auto& member) { setting = member; });
}

void COptionsDlg::EditEventAction(EventAction& action) {
    CActionDlg dlg;
    dlg.LoadFrom(action);
    if (dlg.DoModal() == IDOK)
        dlg.StoreTo(action);
}
