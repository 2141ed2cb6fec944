// CActionDlg: edits one event kind's three actions, with a Browse and a Test button per row.
#pragma once

#include "framework/controls.h"
#include "framework/dialog.h"
#include "res/resource.h"
#include "widgets/anim_button.h"

#include <cstdint>
#include <string>

class CActionDlg : public CDialog {
public:
    enum { IDD = IDD_ACTION };
    explicit CActionDlg(CWnd* parent = nullptr) : CDialog(IDD, parent) {}

    static const MessageMap* ThisMessageMap();
    const MessageMap* GetMessageMap() const override { return ThisMessageMap(); }

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

private:
    static void BrowseForFile(CEdit& edit, const char* defaultExtension, const char* filter);
};
