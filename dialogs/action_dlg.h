// CActionDlg: edits one event kind's four actions, with a Browse button per path and a Test
// button per row.
#pragma once

#include "actions/event_actions.h"
#include "framework/controls.h"
#include "framework/dialog.h"
#include "res/resource.h"
#include "settings/event_action.h"
#include "widgets/anim_button.h"

#include <cstdint>
#include <string>

class CActionDlg : public CDialog {
public:
    enum { IDD = IDD_ACTION };
    explicit CActionDlg(CWnd* parent = nullptr) : CDialog(IDD, parent) {}

    static const MessageMap* ThisMessageMap();
    const MessageMap* GetMessageMap() const override { return ThisMessageMap(); }

    // Copies the six fields of an event's action into the members, or the members back.
    void LoadFrom(const EventAction& action);
    void StoreTo(EventAction& action) const;

    CEdit m_editLog;
    CEdit m_editSound;
    CEdit m_editLaunch;
    CAnimButton m_btnCancel;
    CAnimButton m_btnOK;
    int32_t m_bLaunch = 0;
    std::string m_strLaunchPath;
    int32_t m_bPlaySound = 0;
    std::string m_strSoundPath;
    std::string m_strLogPath;
    int32_t m_bLog = 0;
    int32_t m_bNotify = 0;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    // Browse buttons: the file-open dialog fills the row's field with the chosen path.
    void OnBrowseLaunch();
    void OnBrowseSound();
    void OnBrowseLog();
    // Test buttons: the row's action at once, with the text in its field, whatever its box.
    void OnTestSound();
    void OnTestLaunch();
    void OnTestLog();
    void OnTestNotify();
    // How the Test buttons play, launch and show: the platform's own ways.
    virtual ActionRunner& Runner();

private:
    // Calls visit(field, member) for each field of the action and its member, in field order.
    template <class Action, class Dialog, class Visit>
    static void PairWithAction(Action& action, Dialog& dialog, Visit visit) {
        visit(action.bLaunch, dialog.m_bLaunch);
        visit(action.strLaunchPath, dialog.m_strLaunchPath);
        visit(action.bPlaySound, dialog.m_bPlaySound);
        visit(action.strSoundPath, dialog.m_strSoundPath);
        visit(action.bLog, dialog.m_bLog);
        visit(action.strLogPath, dialog.m_strLogPath);
        visit(action.bNotify, dialog.m_bNotify);
    }

    static void BrowseForFile(CEdit& edit, const char* defaultExtension, const char* filter);
};
