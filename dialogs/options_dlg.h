// COptionsDlg: edits copies of every setting; the watch window copies them back on OK.
#pragma once

#include "framework/dialog.h"
#include "res/resource.h"
#include "watch/event_action.h"
#include "widgets/anim_button.h"

#include <cstdint>

class COptionsDlg : public CDialog {
public:
    enum { IDD = IDD_OPTIONS };
    explicit COptionsDlg(CWnd* parent = nullptr) : CDialog(IDD, parent) {}

    static const MessageMap* ThisMessageMap();
    const MessageMap* GetMessageMap() const override { return ThisMessageMap(); }

    CAnimButton m_btnAbout;
    CAnimButton m_btnCancel;
    CAnimButton m_btnOK;
    int32_t m_bAlwaysOnTop = 0;
    int32_t m_bCheckBreak = 0;
    uint32_t m_dwCheckFrequency = 0;
    int32_t m_bCheckMake = 0;
    int32_t m_bHide = 0;
    EventAction m_makeAction;
    EventAction m_breakAction;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    // Button 1017: the make event's actions in an Action dialog.
    void OnMakeAction() { EditEventAction(m_makeAction); }
    // Button 1018: the break event's actions.
    void OnBreakAction() { EditEventAction(m_breakAction); }
    // Button 3: the About box, above this dialog.
    void OnAbout();

private:
    // Runs an Action dialog over a copy of the action; OK copies the six fields back.
    static void EditEventAction(EventAction& action);
};
