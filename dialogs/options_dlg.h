// COptionsDlg: edits copies of every setting, and whether the program starts at sign-in; the
// watch window copies them back on OK.
#pragma once

#include "framework/dialog.h"
#include "res/resource.h"
#include "settings/event_action.h"
#include "settings/watch_settings.h"
#include "widgets/anim_button.h"

#include <cstdint>

class COptionsDlg : public CDialog {
public:
    enum { IDD = IDD_OPTIONS };
    explicit COptionsDlg(CWnd* parent = nullptr) : CDialog(IDD, parent) {}

    static const MessageMap* ThisMessageMap();
    const MessageMap* GetMessageMap() const override { return ThisMessageMap(); }

    // Copies every setting into the members, or the members back into the settings.
    void LoadFrom(const WatchSettings& settings);
    void StoreTo(WatchSettings& settings) const;

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
    uint32_t m_dwSlowRoundTripMs = 0;
    uint32_t m_dwSlowLossPercent = 0;
    EventAction m_slowAction;
    // Not a setting: whether the program starts when the user signs in, as the caller finds it
    // before the run and carries it out after OK.
    int32_t m_bStartAtSignIn = 0;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    // Button 1017: the make event's actions in an Action dialog.
    void OnMakeAction() { EditEventAction(m_makeAction); }
    // Button 1018: the break event's actions.
    void OnBreakAction() { EditEventAction(m_breakAction); }
    // Button 1041: the slow event's actions.
    void OnSlowAction() { EditEventAction(m_slowAction); }
    // Button 3: the About box, above this dialog.
    void OnAbout();

private:
    // Calls visit(setting, member) for each setting and the member that edits it, in order.
    template <class Settings, class Dialog, class Visit>
    static void PairWithSettings(Settings& settings, Dialog& dialog, Visit visit) {
        visit(settings.AlwaysOnTop, dialog.m_bAlwaysOnTop);
        visit(settings.CheckBreak, dialog.m_bCheckBreak);
        visit(settings.CheckFrequency, dialog.m_dwCheckFrequency);
        visit(settings.CheckMake, dialog.m_bCheckMake);
        visit(settings.Hide, dialog.m_bHide);
        visit(settings.makeAction, dialog.m_makeAction);
        visit(settings.breakAction, dialog.m_breakAction);
        visit(settings.SlowRoundTripMs, dialog.m_dwSlowRoundTripMs);
        visit(settings.SlowLossPercent, dialog.m_dwSlowLossPercent);
        visit(settings.slowAction, dialog.m_slowAction);
    }

    // Runs an Action dialog over a copy of the action; OK copies the six fields back.
    static void EditEventAction(EventAction& action);
};
