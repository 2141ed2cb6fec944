// CActionDlg; see action_dlg.h.
#include "dialogs/action_dlg.h"

#include "actions/event_actions.h"
#include "actions/event_actions_win.h"
#include "dialogs/viewer_command.h"
#include "framework/data_exchange.h"
#include "framework/file_dialog.h"

namespace {
// Each browse offers exactly one filter: description, pattern, and the list's end.
const char LAUNCH_FILTER[] = "Executable files (*.exe)\0*.exe\0";
const char SOUND_FILTER[] = "Sound files (*.wav)\0*.wav\0";
const char LOG_FILTER[] = "Text files (*.txt)\0*.txt\0";
} // namespace

const MessageMap* CActionDlg::ThisMessageMap() {
    static constexpr MsgEntry entries[] = {
        msg::Command<&CActionDlg::OnBrowseLaunch>(IDC_LAUNCH_BROWSE),
        msg::Command<&CActionDlg::OnBrowseSound>(IDC_SOUND_BROWSE),
        msg::Command<&CActionDlg::OnBrowseLog>(IDC_LOG_BROWSE),
        msg::Command<&CActionDlg::OnTestSound>(IDC_SOUND_TEST),
        msg::Command<&CActionDlg::OnTestLaunch>(IDC_LAUNCH_TEST),
        msg::Command<&CActionDlg::OnTestLog>(IDC_LOG_TEST),
        msg::Command<&CActionDlg::OnTestNotify>(IDC_NOTIFY_TEST),
    };
    static constexpr MessageMap map = MakeMessageMap(&CDialog::ThisMessageMap, entries);
    return &map;
}

void CActionDlg::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_LOG_PATH, m_editLog);
    DDX_Control(dx, IDC_SOUND_PATH, m_editSound);
    DDX_Control(dx, IDC_LAUNCH_PATH, m_editLaunch);
    DDX_Control(dx, IDCANCEL, m_btnCancel);
    DDX_Control(dx, IDOK, m_btnOK);
    DDX_Check(dx, IDC_LAUNCH_CHECK, m_bLaunch);
    DDX_Text(dx, IDC_LAUNCH_PATH, m_strLaunchPath);
    DDX_Check(dx, IDC_SOUND_CHECK, m_bPlaySound);
    DDX_Text(dx, IDC_SOUND_PATH, m_strSoundPath);
    DDX_Text(dx, IDC_LOG_PATH, m_strLogPath);
    DDX_Check(dx, IDC_LOG_CHECK, m_bLog);
    DDX_Check(dx, IDC_NOTIFY_CHECK, m_bNotify);
}

BOOL CActionDlg::OnInitDialog() {
    m_btnOK.AttachAnim(IDOK, this, IDB_BUTTON_OK, 10, 4, 0);
    m_btnCancel.AttachAnim(IDCANCEL, this, IDB_BUTTON_CANCEL, 10, 4, 0);
    CDialog::OnInitDialog();
    return TRUE;
}

void CActionDlg::LoadFrom(const EventAction& action) {
    PairWithAction(action, *this, [](const auto& field, auto& member) { member = field; });
}

void CActionDlg::StoreTo(EventAction& action) const {
    PairWithAction(action, *this, [](auto& field, const auto& member) { field = member; });
}

void CActionDlg::BrowseForFile(CEdit& edit, const char* defaultExtension, const char* filter) {
    const std::string current = edit.GetWindowText();
    CFileDialog dialog(TRUE, defaultExtension, current.c_str(),
                       OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, nullptr, nullptr);
    dialog.m_ofn.lpstrFilter = filter;
    if (dialog.DoModal() == IDOK)
        edit.SetWindowText(dialog.GetPathName());
}

void CActionDlg::OnBrowseLaunch() {
    BrowseForFile(m_editLaunch, "EXE", LAUNCH_FILTER);
}
void CActionDlg::OnBrowseSound() {
    BrowseForFile(m_editSound, "WAV", SOUND_FILTER);
}
void CActionDlg::OnBrowseLog() {
    BrowseForFile(m_editLog, "TXT", LOG_FILTER);
}

ActionRunner& CActionDlg::Runner() {
    static PlatformActionRunner platform;
    return platform;
}

void CActionDlg::OnTestSound() {
    Runner().PlaySoundFile(m_editSound.GetWindowText());
}

void CActionDlg::OnTestLaunch() {
    Runner().LaunchCommand(m_editLaunch.GetWindowText());
}

void CActionDlg::OnTestLog() {
    const std::string path = m_editLog.GetWindowText();
    if (!AppendLogLine(path, LogLineFormat::Test, std::string()))
        return;
    // The viewer shows the file with its new line; composed whole, however long the path.
    Runner().LaunchCommand(ComposeViewerCommand(path));
}

void CActionDlg::OnTestNotify() {
    Runner().ShowNotification(TestNotification(FormatLogTime()));
}
